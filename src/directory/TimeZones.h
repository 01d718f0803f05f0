#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Time zone strings ("GMT", "GMT+05:30", "GMT-08:00") and DST zones (0 "OFF", 1 "USA",
// 2 "EUR", 3 "AUS"). The routines read the PC's time through the clock adapter.

// The 33 zones the address list editor offers, in its order.
const QStringList& TimeZoneList();

// The PC's standard-time zone now, from the clock adapter's bias.
QString PcTimeZoneString();
int DefaultDstCode(const QString& zone);
QString DstNameFromCode(int code);
int DstCodeFromName(const QString& name);
qint32 TimeZoneMinutes(const QString& zone);
// A date of the PC's current year: mode 0 the first Sunday on or after month/day, mode 1 the
// last Sunday on or before it, mode 2 the first Sunday among month/day+7 .. +13.
QDate NthSundayDate(int mode, int month, int day);
bool IsDstInEffect(qint32 offsetMinutes, int dstCode);
// The present wall-clock time of a unit with that offset and DST zone.
QDateTime UnitLocalTime(qint32 offsetMinutes, int dstCode);
// The zone of a US state abbreviation (exact, case-sensitive); the PC's zone when unlisted.
// Sets NoDstState().
QString StateTimeZone(const QString& state);
bool NoDstState();

// What the program took at start-up: the PC's zone string, whether it was on daylight time,
// and the PC's DST code. Kept for display and for the start-up checks; the conversions above
// read the PC's present state instead, so that a program running across a DST change stays
// right.
struct PcZoneAtStartup
{
    QString zone = QStringLiteral("GMT");
    bool inDaylightTime = false;
    int dstCode = 2;
};
void TakePcTimeZone();
const PcZoneAtStartup& PcStartupZone();

// Present GMT as a wall-clock time.
QDateTime GmtNow();
