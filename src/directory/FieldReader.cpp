#include "directory/FieldReader.h"

#include "platform/CodePage.h"

#include <QIODevice>

FieldReader::FieldReader(QIODevice& device) : m_device(device) {}

int FieldReader::peek()
{
    if (m_peeked == -2) {
        char c = 0;
        m_peeked = m_device.getChar(&c) ? static_cast<unsigned char>(c) : -1;
    }
    return m_peeked;
}

int FieldReader::get()
{
    const int c = peek();
    if (c != -1)
        m_peeked = -2;
    return c;
}

void FieldReader::skipLineEnd(int first)
{
    if (first == '\r' && peek() == '\n')
        get();
}

std::optional<QString> FieldReader::next()
{
    if (m_failed)
        return std::nullopt;

    // Leading blanks; blank lines only between records, not right after a comma.
    for (;;) {
        const int c = peek();
        if (c == ' ' || c == '\t') {
            get();
        } else if (isLineEnd(c) && !m_afterComma) {
            skipLineEnd(get());
        } else {
            break;
        }
    }

    if (peek() == -1) {
        if (m_afterComma) {
            m_afterComma = false;
            return QString();
        }
        return std::nullopt;
    }

    QByteArray bytes;
    auto append = [&](int c) {
        if (bytes.size() >= kMaxFieldLength) {
            m_failed = true;
            return false;
        }
        bytes.append(static_cast<char>(c));
        return true;
    };

    int terminator = -1;
    if (peek() == '"') {
        get();
        // A missing closing quote ends the field at the line end, so a damaged line cannot
        // swallow the lines after it.
        for (int c = peek(); c != -1 && c != '"' && !isLineEnd(c); c = peek()) {
            if (!append(get()))
                return std::nullopt;
        }
        if (peek() == '"')
            get();
        // Whatever stands between the closing quote and the separator is dropped.
        for (int c = get(); c != -1; c = get()) {
            if (c == ',' || isLineEnd(c)) {
                terminator = c;
                break;
            }
        }
    } else {
        for (int c = get(); c != -1; c = get()) {
            if (c == ',' || isLineEnd(c)) {
                terminator = c;
                break;
            }
            if (!append(c))
                return std::nullopt;
        }
        while (!bytes.isEmpty() && (bytes.back() == ' ' || bytes.back() == '\t'))
            bytes.chop(1);
    }

    if (isLineEnd(terminator))
        skipLineEnd(terminator);
    m_afterComma = terminator == ',';
    return CodePage::decode(bytes);
}
