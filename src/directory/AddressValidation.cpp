#include "directory/AddressValidation.h"

#include <algorithm>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

bool IsDigitsOrSeparator(const QString& text, QChar separator)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (!isAsciiDigit(c) && c != separator)
            return false;
    }
    return true;
}

bool IsValidIpAddress(const QString& text)
{
    if (text.count(u'.') != 3)
        return false;
    const qsizetype p1 = text.indexOf(u'.') + 1;
    const qsizetype p2 = text.indexOf(u'.', p1) + 1;
    const qsizetype p3 = text.indexOf(u'.', p2) + 1;
    if (p1 < 2 || p1 > 4 || p2 < 4 || p2 > 8 || p3 < 6 || p3 > 12 || p2 <= p1 + 1 || p3 <= p2 + 1)
        return false;
    for (const QString& part : text.split(u'.')) {
        if (part.isEmpty() || !std::all_of(part.begin(), part.end(), isAsciiDigit))
            return false;
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || value > 255)
            return false;
    }
    return true;
}

bool IsValidPhoneNumber(const QString& text)
{
    if (text.startsWith(u'-') || !IsDigitsOrSeparator(text, u'-'))
        return false;
    switch (text.count(u'-')) {
    case 0:
        return text.size() < 12;
    case 1:
        return text.indexOf(u'-') == 3;
    case 3:
        return text.indexOf(u'-') == 1 && text.indexOf(u'-', 2) == 5 && text.indexOf(u'-', 6) == 9;
    default:
        return false;
    }
}

bool IsNewAddress(const UnitAddressList& list, const QString& address)
{
    return !list.DataStr.contains(address);
}

bool IsUniqueAddressExcept(const UnitAddressList& list, const QString& address, int index)
{
    for (int i = 0; i < list.count(); ++i) {
        if (i != index && list.DataStr.at(i) == address)
            return false;
    }
    return true;
}
