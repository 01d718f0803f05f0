#include "core/PollSchedule.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"

#include <QTest>

class TestPollSchedule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ticks_data();
    void ticks();
    void countdownTexts();

private:
    // Every row sets the clock and each setting the schedule reads.
    ScriptedPlatform m_platform;
};

namespace {

const QDate kToday(2026, 6, 10);
constexpr int k0800 = 16;

} // namespace

void TestPollSchedule::ticks_data()
{
    QTest::addColumn<bool>("once");
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("startDay");
    // Each tick: day offset and time, then "cycle" while a cycle runs.
    QTest::addColumn<QStringList>("ticks");
    // Countdowns, "clear", "off" and "start", in the order the schedule gave them. Once off,
    // the countdown must stay off after a cycle, too.
    QTest::addColumn<QStringList>("events");

    QTest::newRow("once, a minute ahead")
        << true << 24 << 0 << QStringList{"0 07:59:01", "0 07:59:02", "0 08:00:00"}
        << QStringList{"clear", "00:00:59", "00:00:58", "off", "start"};
    QTest::newRow("every 5 h, ten days behind")
        << false << 5 << -10 << QStringList{"0 09:00:00"} << QStringList{"clear", "04:00:00"};
    QTest::newRow("stored 0 hours count as 24")
        << false << 0 << -1 << QStringList{"0 09:00:00"} << QStringList{"clear", "23:00:00"};
    QTest::newRow("late tick across the start")
        << false << 24 << 0 << QStringList{"0 07:59:58", "0 08:00:03", "0 08:00:04"}
        << QStringList{"clear", "00:00:02", "start", "23:59:56"};
    QTest::newRow("once, late tick after a suspend")
        << true << 24 << 0 << QStringList{"0 07:59:58", "1 09:30:00"}
        << QStringList{"clear", "00:00:02", "off", "start"};
    QTest::newRow("cycle across the start, repeating")
        << false << 24 << 0 << QStringList{"0 07:59:59", "0 08:00:00 cycle", "0 08:05:00"}
        << QStringList{"clear", "00:00:01", "23:55:00"};
    QTest::newRow("cycle across the start, once")
        << true << 24 << 0 << QStringList{"0 07:59:59", "0 08:00:00 cycle", "0 08:05:00"}
        << QStringList{"clear", "00:00:01", "off"};
    QTest::newRow("every hour, after a long cycle")
        << false << 1 << 0
        << QStringList{"0 08:00:00", "0 08:00:01 cycle", "0 10:00:00", "0 10:00:01", "0 10:00:02"}
        << QStringList{"clear", "start", "00:00:00", "start", "00:59:58"};
    QTest::newRow("no start left before the year 10000")
        << false << 2147483647 << 0 << QStringList{"0 08:00:00", "0 08:00:01"}
        << QStringList{"clear", "start", "off"};
}

void TestPollSchedule::ticks()
{
    QFETCH(bool, once);
    QFETCH(int, hours);
    QFETCH(int, startDay);
    QFETCH(QStringList, ticks);
    QFETCH(QStringList, events);

    Settings settings;
    settings.setStartDate(kToday.addDays(startDay));
    settings.setStartTime(k0800);
    settings.setRepeatHours(hours);
    settings.SaveOption(Settings::Option::AutomaticOnce, once ? 1 : 0);
    PollSchedule schedule(settings);
    QStringList seen;
    connect(&schedule, &PollSchedule::statusText, this, [&seen](const QString& text) {
        seen << (text.isEmpty() ? QStringLiteral("clear") : text.section(u' ', -1));
    });
    connect(&schedule, &PollSchedule::countdownOff, this, [&seen] { seen << "off"; });
    connect(&schedule, &PollSchedule::startDue, this, [&seen] { seen << "start"; });

    schedule.restartFromSettings();
    for (const QString& tick : ticks) {
        const QStringList parts = tick.split(u' ');
        // Ticks never come on the second exactly.
        m_platform.clock.setLocal(
            wallClock(kToday.addDays(parts[0].toInt()), QTime::fromString(parts[1])).addMSecs(7));
        const bool cycle = parts.size() > 2;
        if (cycle)
            schedule.cycleStarted();
        schedule.tick(cycle, 0);
    }
    QCOMPARE(seen, events);
    QCOMPARE(schedule.isOnceDone(), events.contains(QStringLiteral("off")));
}

void TestPollSchedule::countdownTexts()
{
    QCOMPARE(PollSchedule::countdownText(90061, 0),
             QStringLiteral("Countdown to next poll: 25:01:01"));
    QCOMPARE(PollSchedule::countdownText(59, 1),
             QStringLiteral("Countdown to next synchronization: 00:00:59"));
}

QTEST_GUILESS_MAIN(TestPollSchedule)
#include "tst_pollschedule.moc"
