// Times a poll cycle over simulated units that all answer, and watches the resident memory over
// many conversations.
//
//   bench-cycle [--units N] [--tick-ms MS] [--conversations N]
//
// The timed cycle runs at the program's pace, one unit per 1000 ms tick, unless --tick-ms says
// otherwise; the memory run polls the same units cycle after cycle with a 1 ms tick. The units are
// served by a korvo-sim process of their own, so that memory and processor time are the
// program's alone. Settings, the exception log and the report file live in a temporary folder.
#include "core/PollCycle.h"
#include "directory/TimeZones.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"
#include "platform/UnattendedPrompts.h"
#include "settings/Settings.h"
#include "SimulatedFleet.h"

#include <algorithm>
#include <malloc.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QTextStream out(stdout);
QTextStream err(stderr);

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1
               ? double(fields[1].toLongLong()) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0)
               : 0;
}

// Bytes the allocator has handed out and not had back: growth here is memory held per
// conversation, where resident memory also moves with fragmentation.
double heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd);
}

QString ms(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" ms");
}

// Runs one cycle to its end; false when it did not start or did not end in time.
bool runCycle(PollCycle& cycle, int timeoutMs)
{
    QEventLoop loop;
    QObject::connect(&cycle, &PollCycle::cycleEnded, &loop, &QEventLoop::quit);
    // A timer of its own, gone with the call: a single-shot timer would stay pending after it.
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, [&loop] { loop.exit(1); });
    timeout.start(timeoutMs);
    return cycle.Start(0) && loop.exec() == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption unitsOption(QStringLiteral("units"), QStringLiteral("Units (100)."),
                                         QStringLiteral("n"), QStringLiteral("100"));
    const QCommandLineOption tickOption(QStringLiteral("tick-ms"),
                                        QStringLiteral("Tick of the timed cycle (1000)."),
                                        QStringLiteral("ms"), QStringLiteral("1000"));
    const QCommandLineOption conversationsOption(
        QStringLiteral("conversations"), QStringLiteral("Conversations of the memory run (10000)."),
        QStringLiteral("n"), QStringLiteral("10000"));
    parser.addOptions({unitsOption, tickOption, conversationsOption});
    parser.process(app);
    const int units = qBound(1, parser.value(unitsOption).toInt(), 3000);
    const int tickMs = qBound(0, parser.value(tickOption).toInt(), 1000);
    const int conversations = qMax(units, parser.value(conversationsOption).toInt());

    QTemporaryDir folder;
    qputenv("VIGILSTAT_HOME", folder.filePath(QStringLiteral("home")).toUtf8());
    IniRegistry registry(folder.filePath(QStringLiteral("registry")));
    UnattendedPrompts prompts(err);
    SystemClock clock;
    SystemLocale locale;
    SystemProgramFolder programFolder;
    PlatformServices services;
    services.registry = &registry;
    services.prompts = &prompts;
    services.clock = &clock;
    services.locale = &locale;
    services.programFolder = &programFolder;
    Platform::install(services);
    TakePcTimeZone();

    // A block of loopback addresses of its own, so parallel runs do not meet.
    const QString first =
        QHostAddress((SimulatedFleet::randomLoopbackAddress().toIPv4Address() & 0xFFFFFF00u) | 1u)
            .toString();
    const QString types = QStringLiteral("0,1,2,3,4,80,96");
    QString error;
    const auto configs = SimulatedFleet::generate(units, first, 1024, {0, 1, 2, 3, 4, 80, 96},
                                                  QStringLiteral("1234"), &error);
    if (!configs) {
        err << "bench-cycle: " << error << Qt::endl;
        return 1;
    }
    UnitAddressList lists;
    for (const SimulatedUnit::Config& config : *configs)
        lists.append({config.address.toString(), QStringLiteral("Unit %1").arg(lists.count() + 1),
                      config.password, QStringLiteral("GMT"), QStringLiteral("OFF"),
                      QStringLiteral("1"), QStringLiteral("1")});
    QProcess simulator;
    simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    simulator.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/korvo-sim"),
                    {QStringLiteral("--units"), QString::number(units),
                     QStringLiteral("--first-address"), first, QStringLiteral("--types"), types,
                     QStringLiteral("--password"), QStringLiteral("1234")});
    QByteArray simulatorOutput;
    while (!simulatorOutput.contains("serving") && simulator.waitForReadyRead(10000))
        simulatorOutput += simulator.readAllStandardOutput();
    if (!simulatorOutput.contains("serving")) {
        err << "bench-cycle: korvo-sim did not start" << Qt::endl;
        return 1;
    }

    Settings settings;
    settings.LoadSettings();
    PollCycle cycle(settings, lists, nullptr);

    // A unit's time is from its heading line, written on its tick, to its outcome line.
    QList<double> unitMs;
    QElapsedTimer unitClock;
    bool timing = true;
    bool unitOpen = false;
    int failures = 0;
    QObject::connect(&cycle, &PollCycle::reportLine, [&](const QString& line) {
        if (line.startsWith(QLatin1Char('['))) {
            unitClock.start();
            unitOpen = true;
        } else if (unitOpen) {
            if (timing)
                unitMs.append(double(unitClock.nsecsElapsed()) / 1e6);
            unitOpen = false;
            failures += line != QLatin1String("    Connected and Received Status Successfully!");
        }
    });

    out << "bench-cycle: " << units << " simulated units on loopback addresses, all answering, "
        << "status retrieval" << Qt::endl;
    cycle.setTimings(CycleTimings{tickMs, 1000, {}});
    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = cpuSeconds();
    if (!runCycle(cycle, (units + 2) * (tickMs + 6000))) {
        err << "bench-cycle: the timed cycle did not end" << Qt::endl;
        return 1;
    }
    const double elapsedMs = double(wall.nsecsElapsed()) / 1e6;
    const double cpuMs = (cpuSeconds() - cpuBefore) * 1000.0;
    std::sort(unitMs.begin(), unitMs.end());
    const auto percentile = [&](double p) {
        return unitMs.isEmpty() ? 0.0
                                : unitMs.at(qMin(unitMs.size() - 1, qsizetype(p * unitMs.size())));
    };
    out << "timed cycle, " << tickMs << " ms tick: " << QString::number(elapsedMs / 1000, 'f', 2)
        << " s, " << failures << " unit(s) failed" << Qt::endl
        << "  beyond the " << units + 1
        << " ticks: " << ms((elapsedMs - double(units + 1) * tickMs) / units) << " per unit"
        << Qt::endl
        << "  tick to outcome line per unit: median " << ms(percentile(0.5)) << ", 95th percentile "
        << ms(percentile(0.95)) << ", max " << ms(unitMs.isEmpty() ? 0 : unitMs.last()) << Qt::endl
        << "  processor time of the program per unit: " << ms(cpuMs / units) << Qt::endl;

    // Memory: cycles back to back. Caches fill during the first half; growth is taken over the
    // second.
    timing = false;
    cycle.setTimings(CycleTimings{1, 1000, {}});
    const int cycles = (conversations + units - 1) / units;
    const int warmCycles = qMax(1, cycles / 2);
    double warmMiB = 0;
    double warmHeap = 0;
    out << "resident memory over " << cycles * units << " conversations:";
    for (int i = 1; i <= cycles; ++i) {
        if (!runCycle(cycle, units * 7000)) {
            err << Qt::endl << "bench-cycle: a memory cycle did not end" << Qt::endl;
            return 1;
        }
        if (i == warmCycles) {
            warmMiB = residentMiB();
            warmHeap = heapInUse();
        }
        if (i == 1 || i == warmCycles || i % qMax(1, cycles / 5) == 0)
            out << ' ' << i * units << ": " << QString::number(residentMiB(), 'f', 1) << " MiB ("
                << QString::number(heapInUse() / 1024, 'f', 0) << " KiB heap)";
    }
    const double endMiB = residentMiB();
    const double endHeap = heapInUse();
    const int measured = qMax(1, (cycles - warmCycles) * units);
    out << Qt::endl
        << "  after the first " << warmCycles * units << ", per conversation: resident memory "
        << QString::number((endMiB - warmMiB) * 1024 * 1024 / measured, 'f', 1)
        << " bytes, heap in use " << QString::number((endHeap - warmHeap) / measured, 'f', 1)
        << " bytes (" << QString::number(warmHeap / 1024, 'f', 0) << " KiB, then "
        << QString::number(endHeap / 1024, 'f', 0) << " KiB); " << failures
        << " unit(s) failed in all" << Qt::endl;
    simulator.terminate();
    simulator.waitForFinished(5000);
    return 0;
}
