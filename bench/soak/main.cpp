// A soak: a simulated fleet with every fault the simulator has, polled in cycles back to back,
// status retrieval and clock setting in turn, for a given time. Prints the cycles done, the
// conversations held, resident memory and open descriptors at start and end, and every cycle
// that did not end in time.
//
//   bench-soak [--minutes 10] [--units 300]

#include "comm/DialUpLink.h"
#include "core/PollCycle.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"
#include "SimulatedFleet.h"

#include <cstdio>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <unistd.h>

namespace {

// Every way a simulated unit can misbehave, and one that behaves.
const QStringList kFaults = {
    QString(),
    QStringLiteral("refuse-connection"),
    QStringLiteral("silent"),
    QStringLiteral("close-at-once"),
    QStringLiteral("never-answer"),
    QStringLiteral("answer-late=300"),
    QStringLiteral("pieces=4"),
    QStringLiteral("refuse-login=0"),
    QStringLiteral("refuse-login=2"),
    QStringLiteral("refuse-login=3"),
    QStringLiteral("ignore-block-read"),
    QStringLiteral("garbage"),
    QStringLiteral("oversized-length"),
};
const QList<int> kTypes = {0, 1, 2, 3, 4, 80, 96};

qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

qint64 openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd"))
        .entryList(QDir::NoDotAndDotDot | QDir::System | QDir::AllEntries)
        .size();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption minutesOption(QStringLiteral("minutes"), QStringLiteral("How long."),
                                           QStringLiteral("minutes"), QStringLiteral("10"));
    const QCommandLineOption unitsOption(QStringLiteral("units"), QStringLiteral("Fleet size."),
                                         QStringLiteral("count"), QStringLiteral("300"));
    parser.addOptions({minutesOption, unitsOption});
    parser.addHelpOption();
    parser.process(app);
    const double minutes = parser.value(minutesOption).toDouble();
    const int unitCount = qBound(1, parser.value(unitsOption).toInt(), UnitAddressList::kMaxUnits);

    ScriptedPlatform platform;
    Settings settings;
    settings.LoadSettings();
    settings.setReportSaveFolder(platform.programFolder.path());
    settings.SaveOption(Settings::Option::FileSaveOption, 1);

    SimulatedFleet fleet;
    UnitAddressList lists;
    for (int i = 0; i < unitCount; ++i) {
        SimulatedUnit::Config config;
        config.address = SimulatedFleet::randomLoopbackAddress();
        config.status = SimulatedUnitStatus::typical(kTypes.at(i % kTypes.size()), i + 1);
        config.password = QStringLiteral("%1").arg(1000 + i);
        QString error;
        if (!kFaults.at(i % kFaults.size()).isEmpty() &&
            !SimulatedFleet::applyFault(config.faults, kFaults.at(i % kFaults.size()), &error)) {
            std::fprintf(stderr, "bench-soak: %s\n", qPrintable(error));
            return 1;
        }
        fleet.addUnit(config);
        lists.append({config.address.toString(), QStringLiteral("Unit %1").arg(i + 1),
                      config.password, QStringLiteral("GMT"), QStringLiteral("OFF"),
                      QStringLiteral("1"), QStringLiteral("1")});
    }
    QStringList errors;
    if (!fleet.start(&errors)) {
        std::fprintf(stderr, "bench-soak: %s\n", qPrintable(errors.join(u'\n')));
        return 1;
    }

    CycleTimings timings;
    timings.tickMs = 10;
    timings.stopWaitMs = 50;
    timings.conversation = ConversationTimings{1000, 2000, 2000, 1000};
    DialUpLink dialUp(settings);
    PollCycle cycle(settings, lists, &dialUp);
    cycle.setTimings(timings);
    // The longest a whole cycle may take: every unit at every time-out, twice over.
    const qint64 cycleLimitMs =
        2LL * unitCount *
        (timings.tickMs + timings.conversation.connectMs + timings.conversation.firstAnswerMs +
         timings.conversation.dataBlockMs + timings.conversation.clockWriteMs);

    qint64 conversations = 0;
    QObject::connect(&cycle, &PollCycle::reportLine, [&](const QString& line) {
        // Each conversation opens with the unit's heading, "[n] address ...".
        if (line.startsWith(u'['))
            ++conversations;
    });

    int cyclesDone = 0;
    QStringList unfinished;
    qint64 startRss = -1, startFds = -1;
    QElapsedTimer total, thisCycle;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    const auto startNext = [&] {
        if (total.elapsed() >= qint64(minutes * 60000)) {
            app.quit();
            return;
        }
        thisCycle.start();
        if (!cycle.Start(cyclesDone % 2)) {
            unfinished << QStringLiteral("cycle %1 did not start").arg(cyclesDone + 1);
            app.quit();
            return;
        }
        watchdog.start(int(qMin<qint64>(cycleLimitMs, INT_MAX)));
    };
    QObject::connect(&cycle, &PollCycle::cycleEnded, [&] {
        watchdog.stop();
        ++cyclesDone;
        // The first cycle warms every cache up; growth is measured from its end.
        if (cyclesDone == 1) {
            startRss = residentKiB();
            startFds = openDescriptors();
        }
        std::printf("cycle %d (%s) ended in %.1f s; resident %lld KiB, %lld descriptors\n",
                    cyclesDone, cyclesDone % 2 ? "status" : "clock", thisCycle.elapsed() / 1000.0,
                    residentKiB(), openDescriptors());
        std::fflush(stdout);
        QTimer::singleShot(0, startNext);
    });
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        unfinished << QStringLiteral("cycle %1 (mode %2) had not ended after %3 s")
                          .arg(cyclesDone + 1)
                          .arg(cycle.operatingMode())
                          .arg(cycleLimitMs / 1000);
        cycle.Stop();
    });

    std::printf("bench-soak: %d units, %.1f minutes, %d fault kinds\n", unitCount, minutes,
                int(kFaults.size()));
    std::printf("at start: resident %lld KiB, %lld descriptors\n", residentKiB(),
                openDescriptors());
    total.start();
    QTimer::singleShot(0, startNext);
    app.exec();

    std::printf("cycles done: %d\nconversations: %lld\n", cyclesDone, conversations);
    std::printf("resident memory after the first cycle: %lld KiB, at end: %lld KiB\n", startRss,
                residentKiB());
    std::printf("open descriptors after the first cycle: %lld, at end: %lld\n", startFds,
                openDescriptors());
    std::printf("cycles that did not end: %lld\n", qint64(unfinished.size()));
    for (const QString& line : unfinished)
        std::printf("  %s\n", qPrintable(line));
    return unfinished.isEmpty() ? 0 : 1;
}
