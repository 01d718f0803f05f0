#include "platform/CodePage.h"

#include <array>

namespace {

// 0x80..0x9F; 0 marks the five codes that Windows-1252 leaves undefined (kept as C1 controls).
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

namespace CodePage {

unsigned char byteOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<unsigned char>(u);
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == u || (kHighControls[i] == 0 && u == 0x80 + i))
            return static_cast<unsigned char>(0x80 + i);
    }
    return '?';
}

std::optional<QString> firstUnstorable(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (byteOf(c) != '?' || c == u'?')
            continue;
        const bool pair = c.isHighSurrogate() && i + 1 < text.size();
        return text.mid(i, pair ? 2 : 1).toString();
    }
    return std::nullopt;
}

QByteArray encode(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text)
        out.append(static_cast<char>(byteOf(c)));
    return out;
}

QString decode(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u >= 0x80 && u <= 0x9F && kHighControls[u - 0x80] != 0)
            out.append(QChar(kHighControls[u - 0x80]));
        else
            out.append(QChar(u));
    }
    return out;
}

} // namespace CodePage
