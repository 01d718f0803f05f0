#pragma once

#include "directory/UnitAddressList.h"

#include <QString>

// The address rules of the record dialog and the site import. Comparisons are exact and
// case-sensitive.

// Not empty, and only the digits 0 to 9 and the separator.
bool IsDigitsOrSeparator(const QString& text, QChar separator);
// Four numbers up to 255 joined by three dots, the dots where a dotted address can have them.
bool IsValidIpAddress(const QString& text);
// 2345678, 234-5678 or 1-800-234-5678 shapes.
bool IsValidPhoneNumber(const QString& text);
bool IsNewAddress(const UnitAddressList& list, const QString& address);
bool IsUniqueAddressExcept(const UnitAddressList& list, const QString& address, int index);
