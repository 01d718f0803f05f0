#include "SimulatedSite.h"

#include "exceptions/DetectionMemory.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/Platform.h"

#include <QTest>

SimulatedSite::SimulatedSite()
{
    settings.LoadSettings();
    DetectionMemory::shared().clear();
    dialUp.setWaits({10, 100});
}

CycleTimings SimulatedSite::fastTimings()
{
    return CycleTimings{10, 50, ConversationTimings{1000, 1500, 1500, 1500}};
}

SimulatedUnit* SimulatedSite::addUnit(const QString& faults, int type)
{
    SimulatedUnit::Config config;
    config.address = SimulatedFleet::randomLoopbackAddress();
    config.status = SimulatedUnitStatus::typical(type, lists.count() + 1);
    config.live = false;
    config.password = unitPassword;
    QString error;
    for (const QString& fault : faults.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!SimulatedFleet::applyFault(config.faults, fault, &error))
            break;
    }
    SimulatedUnit* unit = error.isEmpty() ? fleet.addUnit(config) : nullptr;
    if (!unit || !unit->start(&error)) {
        [&] { QVERIFY2(false, qPrintable(error)); }();
        return nullptr;
    }
    lists.append({config.address.toString(), QStringLiteral("Unit %1").arg(lists.count() + 1),
                  config.password, QStringLiteral("GMT"), QStringLiteral("OFF"),
                  QStringLiteral("1"), QStringLiteral("1")});
    return unit;
}

PollCycle& SimulatedSite::newCycle(const CycleTimings& timings)
{
    cycle = std::make_unique<PollCycle>(settings, lists, &dialUp);
    cycle->setTimings(timings);
    QObject::connect(cycle.get(), &PollCycle::reportCleared, cycle.get(),
                     [this] { report.clear(); });
    QObject::connect(cycle.get(), &PollCycle::reportLine, cycle.get(),
                     [this](const QString& line) { report << line; });
    return *cycle;
}

QStringList SimulatedSite::run(int mode)
{
    if (!cycle)
        newCycle();
    if (!cycle->Start(mode))
        return {QStringLiteral("(no start)")};
    if (!QTest::qWaitFor([this] { return cycle->phase() == PollCycle::Phase::Idle; }, 30000))
        return {QStringLiteral("(no end)")};
    const QString heading = QStringLiteral("                    --- ") +
                            Platform::locale().generalDateTimeText(Platform::clock().localNow()) +
                            QStringLiteral(" ---");
    return report.value(0) == heading ? report.mid(1) : report;
}
