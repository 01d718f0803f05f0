#pragma once

#include "comm/clsSocketsDLL.h"
#include "SimulatedFleet.h"

#include <memory>
#include <optional>
#include <QSignalSpy>

// Simulated units on random loopback addresses and a transport that talks to them. For tests
// that link korvo_sim.
namespace SimulatedUnits {

struct Answer
{
    int code = -1;
    int subCode = -1;
    QByteArray data;
};

// A request frame: group, command, and a payload of up to 255 bytes.
inline QByteArray request(quint8 group, quint8 command, const QByteArray& payload = {})
{
    return QByteArray::fromHex("FFFF") + char(group) + char(command) + QByteArray(3, '\0') +
           char(payload.size()) + payload;
}

// A serving unit, or nothing when no loopback address could be had.
inline std::unique_ptr<SimulatedUnit> start(SimulatedUnit::Config config)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        config.address = SimulatedFleet::randomLoopbackAddress();
        auto unit = std::make_unique<SimulatedUnit>(config);
        if (unit->start())
            return unit;
    }
    return nullptr;
}

inline std::unique_ptr<SimulatedUnit> start(const UnitFaults& faults = {})
{
    SimulatedUnit::Config config;
    config.faults = faults;
    config.live = false;
    return start(config);
}

inline QString hostOf(const SimulatedUnit& unit)
{
    return unit.config().address.toString();
}

// Connects and waits for the outcome; true when connected.
inline bool connectTo(clsSocketsDLL& transport, const QString& host)
{
    QSignalSpy finished(&transport, &clsSocketsDLL::ConnectFinished);
    transport.Connect(host, 1024);
    if (!finished.wait(clsSocketsDLL::ConnectTimeoutMs + 2000) && finished.isEmpty())
        return false;
    return finished.first().first().toBool();
}

// Sends a frame and waits for the answer.
inline std::optional<Answer> ask(clsSocketsDLL& transport, const QByteArray& frame,
                                 int timeoutMs = 3000)
{
    QSignalSpy messages(&transport, &clsSocketsDLL::MessageDataReceived);
    transport.SendByteArray(frame);
    if (!messages.wait(timeoutMs) && messages.isEmpty())
        return std::nullopt;
    const QList<QVariant> args = messages.first();
    return Answer{args.at(0).toInt(), args.at(1).toInt(), args.at(2).toByteArray()};
}

} // namespace SimulatedUnits
