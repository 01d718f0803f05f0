#pragma once

#include <QDateTime>

// Wall-clock times (unit clocks, poll times, log times) are naive: a date and a time of day
// without a zone. They are carried in QDateTime marked as UTC so that arithmetic on them
// never skips or repeats an hour at a daylight-saving change of the PC.
inline QDateTime wallClock(const QDate& date, const QTime& time)
{
    return QDateTime(date, time, Qt::UTC);
}

inline QDateTime wallClockOf(const QDateTime& dt)
{
    return wallClock(dt.date(), dt.time());
}

class Clock
{
public:
    virtual ~Clock() = default;

    virtual QDateTime utcNow() const = 0;
    // The PC's local time now, as a wall-clock time.
    virtual QDateTime localNow() const = 0;
    // GMT minus local standard time in minutes, positive west of GMT; never includes daylight
    // saving.
    virtual int standardBiasMinutes() const = 0;
    virtual bool inDaylightTime() const = 0;
};

class SystemClock : public Clock
{
public:
    QDateTime utcNow() const override;
    QDateTime localNow() const override;
    int standardBiasMinutes() const override;
    bool inDaylightTime() const override;
};
