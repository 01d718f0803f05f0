// korvo-sim: serves simulated Korvo units on loopback addresses until a signal or --seconds.
#include "OpenFileLimit.h"
#include "SimulatedFleet.h"

#include <csignal>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("korvo-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Serves simulated Korvo units, each on its own loopback address, until stopped."));
    parser.addHelpOption();
    const QCommandLineOption configOption(QStringLiteral("config"),
                                          QStringLiteral("Fleet description (JSON)."),
                                          QStringLiteral("file"));
    const QCommandLineOption unitsOption(QStringLiteral("units"),
                                         QStringLiteral("Number of units (default 1)."),
                                         QStringLiteral("count"));
    const QCommandLineOption firstOption(QStringLiteral("first-address"),
                                         QStringLiteral("Address of the first unit."),
                                         QStringLiteral("address"), QStringLiteral("127.0.0.2"));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Port of every unit."),
                                        QStringLiteral("port"), QStringLiteral("1024"));
    const QCommandLineOption typesOption(
        QStringLiteral("types"), QStringLiteral("Unit types in turn, e.g. 0,1,2,3,4,80,96."),
        QStringLiteral("list"), QStringLiteral("0"));
    const QCommandLineOption passwordOption(QStringLiteral("password"),
                                            QStringLiteral("Unit password."),
                                            QStringLiteral("text"), QStringLiteral("1234"));
    const QCommandLineOption faultOption(
        QStringLiteral("fault"),
        QStringLiteral("A fault for one unit, ADDRESS:NAME[=VALUE], or for all, NAME[=VALUE]: "
                       "refuse-connection, silent, close-at-once, never-answer, answer-late=MS, "
                       "pieces=N, refuse-login=0|2|3, ignore-block-read, short-block=N, garbage, "
                       "oversized-length, scripted-answer=HEX (raw bytes for every answer)."),
        QStringLiteral("fault"));
    const QCommandLineOption staticOption(QStringLiteral("static"),
                                          QStringLiteral("Keep alarms and recording still."));
    const QCommandLineOption secondsOption(QStringLiteral("seconds"),
                                           QStringLiteral("Stop after this many seconds."),
                                           QStringLiteral("seconds"));
    parser.addOptions({configOption, unitsOption, firstOption, portOption, typesOption,
                       passwordOption, faultOption, staticOption, secondsOption});
    parser.process(app);

    QString error;
    std::optional<QList<SimulatedUnit::Config>> configs;
    if (parser.isSet(configOption)) {
        QFile file(parser.value(configOption));
        if (!file.open(QIODevice::ReadOnly) || file.size() > 4 * 1024 * 1024) {
            err() << "korvo-sim: cannot read " << file.fileName() << Qt::endl;
            return 2;
        }
        configs = SimulatedFleet::parseJson(file.readAll(), &error);
    } else {
        bool ok = false;
        const int port = parser.value(portOption).toInt(&ok);
        if (!ok || port < 1 || port > 65535) {
            err() << "korvo-sim: bad port" << Qt::endl;
            return 2;
        }
        QList<int> types;
        for (const QString& t :
             parser.value(typesOption).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            const int type = t.toInt(&ok);
            if (!ok || type < 0 || type > 127) {
                err() << "korvo-sim: bad type " << t << Qt::endl;
                return 2;
            }
            types.append(type);
        }
        const int count = parser.isSet(unitsOption) ? parser.value(unitsOption).toInt(&ok) : 1;
        // A fleet of no units would serve nothing until stopped.
        if (!ok || count < 1) {
            err() << "korvo-sim: bad unit count" << Qt::endl;
            return 2;
        }
        configs = SimulatedFleet::generate(count, parser.value(firstOption), quint16(port), types,
                                           parser.value(passwordOption), &error);
    }
    if (!configs) {
        err() << "korvo-sim: " << error << Qt::endl;
        return 2;
    }

    for (const QString& fault : parser.values(faultOption)) {
        const qsizetype colon = fault.indexOf(QLatin1Char(':'));
        const QString address = colon < 0 ? QString() : fault.left(colon);
        const QString faultText = colon < 0 ? fault : fault.mid(colon + 1);
        bool matched = false;
        for (SimulatedUnit::Config& config : *configs) {
            if (!address.isEmpty() && !config.address.isEqual(QHostAddress(address)))
                continue;
            matched = true;
            if (!SimulatedFleet::applyFault(config.faults, faultText, &error)) {
                err() << "korvo-sim: " << error << Qt::endl;
                return 2;
            }
        }
        if (!matched) {
            err() << "korvo-sim: no unit at " << address << Qt::endl;
            return 2;
        }
    }
    if (parser.isSet(staticOption)) {
        for (SimulatedUnit::Config& config : *configs)
            config.live = false;
    }

    int serving = 0;
    int silent = 0;
    for (const SimulatedUnit::Config& config : *configs) {
        serving += config.faults.refuseConnection ? 0 : 1;
        silent += config.faults.silent ? 1 : 0;
    }
    const OpenFileLimit limit = OpenFileLimit::raiseTo(
        OpenFileLimit::neededFor(serving, silent, qMin<int>(int(configs->size()), 256)));
    if (!limit.enough())
        err() << "korvo-sim: " << limit.shortfall() << Qt::endl;

    SimulatedFleet fleet;
    for (const SimulatedUnit::Config& config : *configs)
        fleet.addUnit(config);
    QStringList errors;
    if (!fleet.start(&errors)) {
        constexpr int shown = 10; // the rest say the same
        for (const QString& e : errors.mid(0, shown))
            err() << "korvo-sim: " << e << Qt::endl;
        if (errors.size() > shown)
            err() << "korvo-sim: ... and " << errors.size() - shown
                  << " more unit(s) could not start" << Qt::endl;
        fleet.stop(); // gives the files back before the fleet goes
        return 1;
    }
    out() << "korvo-sim: serving " << fleet.units().size() << " unit(s)" << Qt::endl;
    for (const SimulatedUnit* unit : fleet.units())
        out() << "  " << unit->description() << Qt::endl;

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        err() << "korvo-sim: cannot watch for signals" << Qt::endl;
        return 1;
    }
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &byte, 1);
        QCoreApplication::quit();
    });
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    if (parser.isSet(secondsOption)) {
        bool ok = false;
        const double seconds = parser.value(secondsOption).toDouble(&ok);
        if (!ok || seconds < 0 || seconds > 366.0 * 86400) {
            err() << "korvo-sim: bad --seconds" << Qt::endl;
            return 2;
        }
        QTimer::singleShot(qint64(seconds * 1000), &app, &QCoreApplication::quit);
    }

    const int rc = app.exec();
    int served = 0;
    for (const SimulatedUnit* unit : fleet.units())
        served += unit->requestsServed();
    fleet.stop();
    out() << "korvo-sim: stopped after " << served << " request(s), at most "
          << fleet.peakConnections() << " caller(s) at once" << Qt::endl;
    return rc;
}
