// Times whole status poll cycles over a simulated fleet of 3000 units served by one korvo-sim
// process: all answering with 64 and 256 units at once, a third silent (each holds its place for
// the five-second connection time-out) with 256 at once, and 100 units one per second as the
// cycle has always run, extrapolated to 3000. Then repeats the 256-at-once cycle and prints the
// process's resident memory after each.
//
//   bench-parallel-cycle [--pace-units N] [--repeats N] [--korvo-sim PATH]

#include "comm/DialUpLink.h"
#include "core/PollCycle.h"
#include "directory/UnitAddressList.h"
#include "OpenFileLimit.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"
#include "SimulatedFleet.h"

#include <memory>
#include <optional>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

constexpr int kFleet = 3000;
constexpr int kTypes[] = {0, 1, 2, 3, 4, 80, 96};

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// A korvo-sim process serving kFleet units from base upwards; every third is silent if asked.
class SimulatorProcess
{
public:
    SimulatorProcess(const QString& program, quint32 base, bool thirdSilent)
    {
        QJsonArray units;
        for (int i = 0; i < kFleet; ++i) {
            QJsonObject unit{
                {QStringLiteral("address"), QHostAddress(base + quint32(i)).toString()},
                {QStringLiteral("type"), kTypes[i % 7]}};
            if (thirdSilent && i % 3 == 2)
                unit.insert(QStringLiteral("faults"),
                            QJsonObject{{QStringLiteral("silent"), true}});
            units.append(unit);
        }
        QFile config(m_dir.filePath(QStringLiteral("fleet.json")));
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write(QJsonDocument(QJsonObject{{QStringLiteral("live"), false},
                                               {QStringLiteral("units"), units}})
                         .toJson(QJsonDocument::Compact));
        config.close();
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, {QStringLiteral("--config"), config.fileName(),
                                  QStringLiteral("--seconds"), QStringLiteral("3600")});
    }
    ~SimulatorProcess() { stop(); }

    // Waits for "korvo-sim: serving ..."; false if the simulator could not serve the fleet.
    bool waitUntilServing()
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60000 && m_process.state() != QProcess::NotRunning) {
            if (!m_process.canReadLine() && !m_process.waitForReadyRead(1000))
                continue;
            if (m_process.readLine().startsWith("korvo-sim: serving"))
                return true;
        }
        return false;
    }
    // Stops the simulator; its last line says how many callers it served at once, at most.
    QString stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return {};
        m_process.terminate();
        m_process.waitForFinished(30000);
        const QList<QByteArray> lines = m_process.readAllStandardOutput().trimmed().split('\n');
        return QString::fromUtf8(lines.last());
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

// A /16 of its own, away from 127.0.0.0/16; another run on this machine may hold an address of
// it, so a few are tried.
std::unique_ptr<SimulatorProcess> serveFleet(const QString& program, bool thirdSilent,
                                             quint32& base)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        base = (SimulatedFleet::randomLoopbackAddress().toIPv4Address() & 0xFFFF0000u) | 1;
        auto fleet = std::make_unique<SimulatorProcess>(program, base, thirdSilent);
        if (fleet->waitUntilServing())
            return fleet;
    }
    out() << "korvo-sim could not serve " << kFleet << " units" << Qt::endl;
    return nullptr;
}

class Bench
{
public:
    Bench() { m_settings.LoadSettings(); }

    void listFleet(quint32 base, int count)
    {
        m_lists.clear();
        for (int i = 0; i < count; ++i)
            m_lists.append({QHostAddress(base + quint32(i)).toString(),
                            QStringLiteral("Site %1").arg(i + 1), QStringLiteral("1234"),
                            QStringLiteral("GMT"), QStringLiteral("OFF"), QStringLiteral("1"),
                            QStringLiteral("0")});
    }

    // Runs one status cycle; the seconds it took, or nothing when it did not end.
    std::optional<double> cycle(int units, int atOnce, const QString& what)
    {
        PollCycle cycle(m_settings, m_lists, &m_dialUp);
        cycle.setConcurrentUnits(atOnce);
        QEventLoop loop;
        QObject::connect(&cycle, &PollCycle::cycleEnded, &loop, &QEventLoop::quit);
        QTimer::singleShot(30 * 60 * 1000, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        if (!cycle.Start(0))
            return std::nullopt;
        loop.exec();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        if (cycle.isCycleActive()) {
            out() << what << ": did not end" << Qt::endl;
            return std::nullopt;
        }
        int answered = 0;
        for (int i = 0; i < units; ++i)
            answered += cycle.table()[i].resultCode == 1 ? 1 : 0;
        out() << qSetFieldWidth(46) << Qt::left << what << qSetFieldWidth(0)
              << QString::number(seconds, 'f', 2) << " s   (" << answered << " of " << units
              << " answered, " << QString::number(units / seconds, 'f', 0) << " units/s)"
              << Qt::endl;
        return seconds;
    }

private:
    ScriptedPlatform m_platform;
    Settings m_settings;
    UnitAddressList m_lists;
    DialUpLink m_dialUp{m_settings};
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption paceOption(QStringLiteral("pace-units"),
                                        QStringLiteral("Units for the one-per-second cycle."),
                                        QStringLiteral("count"), QStringLiteral("100"));
    const QCommandLineOption repeatsOption(QStringLiteral("repeats"),
                                           QStringLiteral("Cycles for the memory check."),
                                           QStringLiteral("count"), QStringLiteral("5"));
    const QCommandLineOption simOption(QStringLiteral("korvo-sim"),
                                       QStringLiteral("The simulator program."),
                                       QStringLiteral("path"), QStringLiteral(KORVO_SIM_PATH));
    parser.addHelpOption();
    parser.addOptions({paceOption, repeatsOption, simOption});
    parser.process(app);
    const int paceUnits = qBound(1, parser.value(paceOption).toInt(), kFleet);
    const int repeats = qBound(1, parser.value(repeatsOption).toInt(), 100);
    const QString simulator = parser.value(simOption);

    // 256 connections at once and the files of the report and the log.
    const OpenFileLimit limit = OpenFileLimit::raiseTo(OpenFileLimit::neededFor(0, 0, 256));
    if (!limit.enough())
        out() << "warning: " << limit.shortfall() << Qt::endl;
    Bench bench;
    out() << "status poll cycles over " << kFleet << " simulated units served by one korvo-sim"
          << Qt::endl;
    quint32 base = 0;
    {
        const auto fleet = serveFleet(simulator, false, base);
        if (!fleet)
            return 1;
        bench.listFleet(base, kFleet);
        bench.cycle(kFleet, 64, QStringLiteral("3000 answering, 64 at once"));
        bench.cycle(kFleet, 256, QStringLiteral("3000 answering, 256 at once"));

        bench.listFleet(base, paceUnits);
        if (const auto paced = bench.cycle(
                paceUnits, 1, QStringLiteral("%1 answering, one per second").arg(paceUnits)))
            out() << qSetFieldWidth(46) << Qt::left << "  extrapolated to 3000" << qSetFieldWidth(0)
                  << QString::number(*paced * kFleet / paceUnits / 60, 'f', 1) << " min"
                  << Qt::endl;

        bench.listFleet(base, kFleet);
        QStringList memory;
        for (int i = 0; i < repeats; ++i) {
            bench.cycle(kFleet, 256, QStringLiteral("  repeat %1 of 256 at once").arg(i + 1));
            memory << QString::number(residentKiB() / 1024.0, 'f', 1);
        }
        out() << "resident memory after each repeat (MiB): " << memory.join(QStringLiteral(", "))
              << Qt::endl;
        out() << fleet->stop() << Qt::endl;
    }
    {
        const auto fleet = serveFleet(simulator, true, base);
        if (!fleet)
            return 1;
        bench.listFleet(base, kFleet);
        bench.cycle(kFleet, 256, QStringLiteral("3000, a third silent, 256 at once"));
        out() << fleet->stop() << Qt::endl;
    }
    return 0;
}
