#include "platform/Clock.h"

#include <QTimeZone>

QDateTime SystemClock::utcNow() const
{
    return QDateTime::currentDateTimeUtc();
}

QDateTime SystemClock::localNow() const
{
    return wallClockOf(QDateTime::currentDateTime());
}

int SystemClock::standardBiasMinutes() const
{
    const QTimeZone zone = QTimeZone::systemTimeZone();
    return -zone.standardTimeOffset(QDateTime::currentDateTimeUtc()) / 60;
}

bool SystemClock::inDaylightTime() const
{
    return QTimeZone::systemTimeZone().isDaylightTime(QDateTime::currentDateTimeUtc());
}
