#pragma once

#include <QDateTime>
#include <QObject>

class Settings;

// The automatic schedule: a first cycle at the stored date and half-hour, then none more (once
// only) or one every "RepeatHours" hours. The main window's one-second countdown timer calls
// tick(); the schedule answers with the countdown text, by switching the countdown off, or by
// asking for a cycle to start.
class PollSchedule : public QObject
{
    Q_OBJECT

public:
    static constexpr int kSlotsPerDay = 48;

    explicit PollSchedule(Settings& settings, QObject* parent = nullptr);

    // Sets the first-tick mark and clears the fired mark: the next tick takes the first start
    // from the settings again. At start-up with automatic polling and when the dialog saves it.
    void restartFromSettings();

    // A cycle has started (by the schedule or by hand): the countdown is off until it ends, and
    // a start that falls due meanwhile is not made up afterwards.
    void cycleStarted();

    // One countdown tick. cycleActive is the cycle-active mark; operatingMode picks the text.
    void tick(bool cycleActive, int operatingMode);

    // Set when a once-only schedule has had its start (or found it past), or when no start is
    // left within the calendar: the end of a cycle then leaves the countdown off.
    bool isOnceDone() const { return m_onceDone; }
    bool hasFired() const { return m_fired; }
    // The next start T; invalid before the first tick and when none is left.
    QDateTime nextStart() const { return m_next; }

    // The wall-clock moment of a start date and half-hour slot; a slot outside the day counts
    // as midnight.
    static QDateTime startMoment(const QDate& date, int slot);
    // "RepeatHours" as the schedule uses it: a value below 1 counts as 24.
    static qint32 repeatHours(const Settings& settings);
    static QString countdownText(qint64 seconds, int operatingMode);

Q_SIGNALS:
    // The text for status bar panel 1 ("" clears it).
    void statusText(const QString& text);
    // Switch the countdown timer off.
    void countdownOff();
    // Set the automatic-start mark and press Start.
    void startDue();

private:
    // Moves T forward by whole repeat periods to the first moment not before now.
    void moveForward(const QDateTime& now);
    void advanceOnePeriod();
    void start(bool onceOnly);

    Settings& m_settings;
    QDateTime m_next;
    // The moment of the previous tick, so that a tick arriving late still starts a cycle whose
    // time passed in between; invalid when there is none to compare with.
    QDateTime m_previousTick;
    bool m_firstTick = false;
    bool m_fired = false;
    bool m_onceDone = false;
};
