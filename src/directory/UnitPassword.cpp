#include "directory/UnitPassword.h"

#include "platform/CodePage.h"

#include <QRandomGenerator>
#include <QVarLengthArray>

namespace {

constexpr int kMinKey = 11;
constexpr int kMaxKey = 33;
constexpr int kMaxEncodedChars = 5;

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

int decimalDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') ? u - u'0' : -1;
}

} // namespace

QString EncodeUnitPassword(const QString& password)
{
    if (password.isEmpty() || password.size() > kMaxEncodedChars)
        return {};

    const QByteArray codes = CodePage::encode(password);
    // A pair outside 10..FF would not be two digits long, and the decoder could not find it.
    QVarLengthArray<int, kMaxKey - kMinKey + 1> keys;
    for (int key = kMinKey; key <= kMaxKey; ++key) {
        bool fits = true;
        for (qsizetype i = 0; i < codes.size() && fits; ++i) {
            const int value = static_cast<unsigned char>(codes[i]) + static_cast<int>(i + 1) * key;
            fits = value >= 0x10 && value <= 0xFF;
        }
        if (fits)
            keys.append(key);
    }
    if (keys.isEmpty())
        return {};

    const int key = keys[QRandomGenerator::global()->bounded(static_cast<int>(keys.size()))];
    QString out = QString::number(key);
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const int value = static_cast<unsigned char>(codes[i]) + static_cast<int>(i + 1) * key;
        out += QString::number(value, 16).toUpper();
    }
    return out;
}

QString DecodeUnitPassword(const QString& encoded)
{
    if (encoded.size() != 8 && encoded.size() != 10)
        return {};
    const int k1 = decimalDigit(encoded[0]);
    const int k2 = decimalDigit(encoded[1]);
    if (k1 < 0 || k2 < 0)
        return {};
    const int key = k1 * 10 + k2;

    QByteArray codes;
    for (qsizetype j = 1; j < encoded.size() / 2; ++j) {
        const int hi = hexDigit(encoded[2 * j]);
        const int lo = hexDigit(encoded[2 * j + 1]);
        if (hi < 0 || lo < 0)
            return {};
        const int code = hi * 16 + lo - static_cast<int>(j) * key;
        if (code < 0 || code > 255)
            return {};
        codes.append(static_cast<char>(code));
    }
    return CodePage::decode(codes);
}

bool IsStorableUnitPassword(const QString& password)
{
    return password.isEmpty() || DecodeUnitPassword(EncodeUnitPassword(password)) == password;
}
