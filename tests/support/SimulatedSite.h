#pragma once

#include "core/PollCycle.h"
#include "directory/UnitAddressList.h"
#include "SimulatedFleet.h"

#include <QObject>
#include <QStringList>

// Simulated units on loopback addresses and the unit lists that name them, for tests that run
// whole cycles.
class SimulatedSite
{
public:
    // Waits that keep tests quick and still give a loopback unit ample time on a busy machine.
    static CycleTimings fastTimings();

    // Starts a unit of the given type with faults such as "silent" or "refuse-login=2" (blank
    // separated) and lists it as "Unit n", selected in both modes, in zone "GMT" without DST.
    // Returns null (after a failed QVERIFY) when the unit cannot start.
    SimulatedUnit* addUnit(const QString& faults = {}, int type = 0);
    // Lists a unit that no simulator serves, such as a phone number.
    void addRecord(const QString& address, const QString& selected = QStringLiteral("1"));

    UnitAddressList lists;
    SimulatedFleet fleet;
};

// The live report of a cycle as it is written.
class ReportRecorder : public QObject
{
public:
    explicit ReportRecorder(PollCycle& cycle);
    QStringList lines;
};
