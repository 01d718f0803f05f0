#pragma once

#include "directory/UnitAddressList.h"

#include <QString>

// The unit address list file (.ipl): a quoted header word, the record count, then one line of
// seven quoted fields per unit, the password encoded. Files of the older header carry only the
// address and the description.

enum class AddressListLoad {
    Loaded,        // read to its end
    UnknownFormat, // header not recognised; the list is empty
    Failed,        // missing, unreadable or cut short; the records read before stay
};

// Clears the list and reads the file into it without telling the user. Records of the older
// header get oldFormatZone, its default DST zone and both flags set.
AddressListLoad ReadAddressList(const QString& path, UnitAddressList& list,
                                const QString& oldFormatZone);

// ReadAddressList with the PC's zone; shows "Unknown data format: " or "Cannot open "
// with the path when that goes wrong.
AddressListLoad LoadAddressList(const QString& path, UnitAddressList& list);

// Replaces the file with the list, through a temporary file so that a failed write leaves the
// old file whole. Passwords the file cannot carry are written blank and the units named in a
// warning. Returns false, after telling the user, when the file could not be written.
bool SaveAddressList(const QString& path, const UnitAddressList& list);

// The file that the setting "IPFileName" names: a relative name lies in the program's folder;
// Windows separators are accepted.
QString AddressListPath(const QString& ipFileName);
