#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

class QIODevice;

// Reads the comma-separated fields of the list files, one at a time. A quoted field is taken
// without its quotes, commas included; an unquoted field ends at a comma or a line end and loses
// the blanks around it. A line end (CR LF, LF or CR) separates fields like a comma does; blank
// lines are skipped. Text is in the files' code page.
class FieldReader
{
public:
    // Longer fields are damage, not data: reading stops with an error.
    static constexpr qsizetype kMaxFieldLength = 32 * 1024;

    explicit FieldReader(QIODevice& device);

    // The next field; nothing at the end of the input or on an overlong field.
    std::optional<QString> next();
    bool failed() const { return m_failed; }

private:
    int peek();
    int get();
    void skipLineEnd(int first);
    bool isLineEnd(int c) const { return c == '\r' || c == '\n'; }

    QIODevice& m_device;
    int m_peeked = -2; // -2: nothing peeked; -1: end of input
    bool m_afterComma = false;
    bool m_failed = false;
};
