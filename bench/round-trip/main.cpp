// Prints how many status request / answer round trips per second the transport makes with a
// simulated unit on a loopback address. Bounded in count and time; stops by itself.
#include "comm/clsSocketsDLL.h"
#include "SimulatedFleet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimer>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    constexpr int maxRoundTrips = 200000;
    constexpr int measureMs = 3000;

    SimulatedUnit::Config config;
    config.live = false;
    std::unique_ptr<SimulatedUnit> unit;
    for (int attempt = 0; attempt < 5 && !unit; ++attempt) {
        config.address = SimulatedFleet::randomLoopbackAddress();
        unit = std::make_unique<SimulatedUnit>(config);
        if (!unit->start())
            unit.reset();
    }
    QTextStream out(stdout);
    if (!unit) {
        out << "no loopback address could be served" << Qt::endl;
        return 1;
    }

    const QByteArray statusRequest = QByteArray::fromHex("FFFF050100000000");
    clsSocketsDLL transport;
    QElapsedTimer clock;
    qint64 roundTrips = 0;
    qint64 bytes = 0;
    const auto finish = [&] {
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        out << "round trips per second (status request, " << bytes / qMax<qint64>(1, roundTrips)
            << "-byte status block, one connection on " << config.address.toString()
            << "): " << qRound64(double(roundTrips) / seconds) << " (" << roundTrips << " in "
            << QString::number(seconds, 'f', 2) << " s)" << Qt::endl;
        QCoreApplication::quit();
    };
    QObject::connect(&transport, &clsSocketsDLL::MessageDataReceived, &app,
                     [&](quint8, quint8, const QByteArray& data) {
                         ++roundTrips;
                         bytes += data.size();
                         if (roundTrips >= maxRoundTrips || clock.elapsed() >= measureMs)
                             finish();
                         else
                             transport.SendByteArray(statusRequest);
                     });
    QObject::connect(&transport, &clsSocketsDLL::ConnectFinished, &app, [&](bool connected) {
        if (!connected) {
            out << "could not connect to the simulated unit" << Qt::endl;
            QCoreApplication::exit(1);
            return;
        }
        clock.start();
        transport.SendByteArray(statusRequest);
    });
    // A stall can never keep the benchmark running.
    QTimer::singleShot(measureMs + 10000, &app, [] {
        QTextStream(stdout) << "stalled" << Qt::endl;
        QCoreApplication::exit(1);
    });
    transport.Connect(config.address.toString(), config.port);
    return app.exec();
}
