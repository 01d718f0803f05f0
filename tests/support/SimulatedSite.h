#pragma once

#include "comm/DialUpLink.h"
#include "core/PollCycle.h"
#include "directory/UnitAddressList.h"
#include "settings/Settings.h"
#include "SimulatedFleet.h"

#include <memory>
#include <QStringList>

// Simulated units on loopback addresses, the unit lists that name them and a poll cycle over
// them, for tests that run whole cycles. Create it after the scripted platform: it loads the
// settings from there, and exception detection forgets every unit, as at program start.
class SimulatedSite
{
public:
    SimulatedSite();

    // Waits that keep tests quick and still give a loopback unit ample time on a busy machine.
    static CycleTimings fastTimings();

    // Starts a unit of the given type with faults such as "silent" or "refuse-login=2" (blank
    // separated) and lists it as "Unit n" with unitPassword, selected in both modes, in zone
    // "GMT" without DST. Returns null (after a failed QVERIFY) when the unit cannot start.
    SimulatedUnit* addUnit(const QString& faults = {}, int type = 0);
    // A password no report or log could contain by chance.
    static inline const QString unitPassword = QStringLiteral("Qk7z");

    // A new cycle over the lists, its live report collected in report.
    PollCycle& newCycle(const CycleTimings& timings = fastTimings());
    // Runs a cycle (a new one unless there is one) to its end. Returns its live report without
    // the heading, or "(no start)" or "(no end)".
    QStringList run(int mode);

    UnitAddressList lists;
    SimulatedFleet fleet;
    Settings settings;
    DialUpLink dialUp{settings}; // with short waits
    std::unique_ptr<PollCycle> cycle;
    QStringList report;
};
