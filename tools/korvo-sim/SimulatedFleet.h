#pragma once

#include "SimulatedUnit.h"

#include <QList>
#include <QObject>
#include <QStringList>

// Any number of simulated units, each on its own loopback address and port.
class SimulatedFleet : public QObject
{
    Q_OBJECT

public:
    explicit SimulatedFleet(QObject* parent = nullptr);

    // Reads a fleet description:
    //   {"port": 1024, "password": "1234", "live": true,
    //    "generate": {"count": 10, "firstAddress": "127.0.0.2", "types": [0, 1, 2, 3, 4, 80, 96]},
    //    "units": [{"address": "127.0.0.9", "port": 1024, "type": 3, "password": "abcd",
    //               "live": false, "rebootEverySeconds": 0,
    //               "faults": {"answerDelayMs": 0, "pieces": 1, "pieceDelayMs": 200,
    //                          "refuseConnection": false, "silent": false, "closeAtOnce": false,
    //                          "neverAnswer": false, "refuseLogin": 2, "ignoreBlockRead": false,
    //                          "shortBlock": 0, "garbage": false, "oversizedLength": false}}]}
    // Returns the unit configurations, or nothing with the reason in error.
    static std::optional<QList<SimulatedUnit::Config>> parseJson(const QByteArray& json,
                                                                 QString* error);
    // count units of the given types in turn, from firstAddress upwards.
    static std::optional<QList<SimulatedUnit::Config>>
    generate(int count, const QString& firstAddress, quint16 port, const QList<int>& types,
             const QString& password, QString* error);
    // Applies a fault written as "name" or "name=value" (refuse-connection, silent,
    // close-at-once, never-answer, answer-late=MS, pieces=N, refuse-login=0|2|3,
    // ignore-block-read, short-block=N, garbage, oversized-length, scripted-answer=HEX).
    static bool applyFault(UnitFaults& faults, const QString& faultText, QString* error);

    // A random 127.x.y.z address away from 127.0.0.0/16, so parallel test runs never meet.
    static QHostAddress randomLoopbackAddress();

    SimulatedUnit* addUnit(const SimulatedUnit::Config& config);
    // Starts every unit; false with the reasons of those that could not start.
    bool start(QStringList* errors = nullptr);
    void stop();

    const QList<SimulatedUnit*>& units() const { return m_units; }
    SimulatedUnit* unitAt(const QString& address) const;

    // Callers the fleet serves at this moment, and the most it served at once since the last
    // reset. A caller that hangs up and the next that calls in are often noticed in the same
    // round of events; the most is taken once that round is over, so they do not count as two.
    int openConnections() const { return m_open; }
    int peakConnections() const { return m_peak; }
    void resetPeakConnections() { m_peak = m_open; }

private:
    void onCallerConnected();

    QList<SimulatedUnit*> m_units;
    int m_open = 0;
    int m_peak = 0;
    bool m_peakCheckPending = false;
};
