#pragma once

#include "status/StatusBlock.h"

#include <QString>

// The texts in which status values are shown, shared by the status text and the exception
// details so both always read alike.
namespace StatusFormat {

// hours:minutes:seconds, hours with at least two digits: 3725 -> 01:02:05.
QString durationText(double seconds);
// The unit time as the locale's general date-time text.
QString unitTimeText(quint32 seconds);
// Major, the decimal separator, minor with two digits: 3, 5 -> 3.05.
QString versionText(StatusBlock::Version version, const QString& decimalSeparator);
// A 16-bit number when the type byte says so, otherwise in the form of a version.
QString diskCapacityText(quint16 capacity, bool isNumber, const QString& decimalSeparator);
// Ascending channel numbers of the set bits, joined by ",": bit i is channel i + 1 (1 to 16)
// or i + 17 (17 to 32).
QString channelList1To16(quint16 mask);
QString channelList17To32(quint16 mask);
// Channels 1 to 16 and then 17 to 32 of a 32-channel mask.
QString channelList(quint32 mask);
// "one" to "twenty"; "" for any other count.
QString numberWord(int count);
// The decimal separator of the locale adapter, up to any NUL character.
QString decimalSeparator();

} // namespace StatusFormat
