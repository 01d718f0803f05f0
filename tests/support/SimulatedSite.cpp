#include "SimulatedSite.h"

#include <QTest>

CycleTimings SimulatedSite::fastTimings()
{
    CycleTimings t;
    t.tickMs = 10;
    t.stopWaitMs = 50;
    t.conversation.connectMs = 400;
    t.conversation.firstAnswerMs = 1500;
    t.conversation.dataBlockMs = 1500;
    t.conversation.clockWriteMs = 1500;
    return t;
}

SimulatedUnit* SimulatedSite::addUnit(const QString& faults, int type)
{
    SimulatedUnit::Config config;
    config.address = SimulatedFleet::randomLoopbackAddress();
    config.status = SimulatedUnitStatus::typical(type, lists.count() + 1);
    config.live = false;
    for (const QString& fault : faults.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        QString error;
        if (!SimulatedFleet::applyFault(config.faults, fault, &error)) {
            [&] { QVERIFY2(false, qPrintable(error)); }();
            return nullptr;
        }
    }
    SimulatedUnit* unit = fleet.addUnit(config);
    QString error;
    if (!unit->start(&error)) {
        [&] { QVERIFY2(false, qPrintable(error)); }();
        return nullptr;
    }
    lists.append({config.address.toString(), QStringLiteral("Unit %1").arg(lists.count() + 1),
                  config.password, QStringLiteral("GMT"), QStringLiteral("OFF"),
                  QStringLiteral("1"), QStringLiteral("1")});
    return unit;
}

void SimulatedSite::addRecord(const QString& address, const QString& selected)
{
    lists.append({address, QStringLiteral("Unit %1").arg(lists.count() + 1), QStringLiteral("1234"),
                  QStringLiteral("GMT"), QStringLiteral("OFF"), selected, selected});
}

ReportRecorder::ReportRecorder(PollCycle& cycle)
{
    connect(&cycle, &PollCycle::reportCleared, this, [this] { lines.clear(); });
    connect(&cycle, &PollCycle::reportLine, this,
            [this](const QString& line) { lines.append(line); });
}
