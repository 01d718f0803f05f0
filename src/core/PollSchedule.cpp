#include "core/PollSchedule.h"

#include "platform/Clock.h"
#include "platform/Platform.h"
#include "settings/Settings.h"

namespace {

constexpr qint64 kSecondsPerHour = 3600;

// The last moment the date picker can show; a start beyond it would never come.
const QDateTime& lastMoment()
{
    static const QDateTime last = wallClock(QDate(9999, 12, 31), QTime(23, 59, 59));
    return last;
}

QDateTime wholeSecondsNow()
{
    const QDateTime now = Platform::clock().localNow();
    return now.addMSecs(-now.time().msec());
}

} // namespace

PollSchedule::PollSchedule(Settings& settings, QObject* parent)
    : QObject(parent), m_settings(settings)
{}

void PollSchedule::restartFromSettings()
{
    m_firstTick = true;
    m_fired = false;
}

void PollSchedule::cycleStarted()
{
    m_previousTick = QDateTime();
}

QDateTime PollSchedule::startMoment(const QDate& date, int slot)
{
    if (slot < 0 || slot >= kSlotsPerDay)
        slot = 0;
    return wallClock(date, QTime(0, 0)).addSecs(qint64(slot) * 30 * 60);
}

qint32 PollSchedule::repeatHours(const Settings& settings)
{
    // Zero or fewer hours would never move the next start forward.
    return settings.repeatHours() < 1 ? 24 : settings.repeatHours();
}

QString PollSchedule::countdownText(qint64 seconds, int operatingMode)
{
    const QString prefix = operatingMode == 1
                               ? QStringLiteral("Countdown to next synchronization: ")
                               : QStringLiteral("Countdown to next poll: ");
    const auto twoDigits = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')); };
    return prefix + twoDigits(seconds / 3600) + u':' + twoDigits(seconds / 60 % 60) + u':' +
           twoDigits(seconds % 60);
}

void PollSchedule::tick(bool cycleActive, int operatingMode)
{
    const QDateTime now = wholeSecondsNow();
    if (m_firstTick) {
        m_firstTick = false;
        m_onceDone = false;
        m_previousTick = QDateTime();
        Q_EMIT statusText(QString());
        m_next = startMoment(m_settings.startDate(), m_settings.startTime());
    }
    if (cycleActive) {
        m_previousTick = QDateTime();
        return;
    }
    if (!m_next.isValid()) {
        m_onceDone = true;
        Q_EMIT countdownOff();
        return;
    }

    qint64 d = now.secsTo(m_next);
    // A tick that comes late (a busy or suspended machine, a clock put forward) must not skip a
    // start that fell due since the previous one.
    if (d < 0 && m_previousTick.isValid() && m_previousTick <= m_next)
        d = 0;
    m_previousTick = now;
    const bool onceOnly = m_settings.option(Settings::Option::AutomaticOnce) == 1;

    if (!m_fired && d < 0) {
        if (onceOnly) {
            m_onceDone = true;
            Q_EMIT countdownOff();
            return;
        }
        moveForward(now);
        if (!m_next.isValid())
            return;
        d = now.secsTo(m_next);
    } else if (m_fired && d < 0) {
        moveForward(now);
        if (m_next.isValid())
            Q_EMIT statusText(countdownText(now.secsTo(m_next), operatingMode));
        return;
    }

    if (d > 0)
        Q_EMIT statusText(countdownText(d, operatingMode));
    else
        start(onceOnly && !m_fired);
}

void PollSchedule::start(bool onceOnly)
{
    if (onceOnly) {
        m_onceDone = true;
        Q_EMIT countdownOff();
    } else {
        m_fired = true;
        advanceOnePeriod();
    }
    Q_EMIT startDue();
}

void PollSchedule::advanceOnePeriod()
{
    m_next = m_next.addSecs(repeatHours(m_settings) * kSecondsPerHour);
    if (m_next > lastMoment()) {
        // No start is left; the cycle may still run, the countdown does not come back after it.
        m_next = QDateTime();
        m_onceDone = true;
    }
}

void PollSchedule::moveForward(const QDateTime& now)
{
    const qint64 behind = m_next.secsTo(now);
    if (behind > 0) {
        const qint64 period = repeatHours(m_settings) * kSecondsPerHour;
        const qint64 periods = (behind + period - 1) / period;
        // Compared in seconds first: a date far past the calendar's end is not representable.
        if (m_next.secsTo(lastMoment()) < periods * period)
            m_next = QDateTime();
        else
            m_next = m_next.addSecs(periods * period);
    }
    if (!m_next.isValid()) {
        m_onceDone = true;
        Q_EMIT countdownOff();
    }
}
