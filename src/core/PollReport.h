#pragma once

#include "platform/PrintDocument.h"

#include <QStringList>

class UnitStatusTable;
struct UnitStatusSlot;

// What a report is made of, taken at the end of a cycle.
struct CycleReport
{
    int operatingMode = 0;         // 0 status retrieval, 1 synchronization
    QStringList selectedAddresses; // addresses of the cycle's selected units, polling order
    const UnitStatusTable* table = nullptr;
};

// The texts of a cycle's report. The report file and the printout share the summary and, for a
// status cycle, the details of every unit that was attempted.
class PollReport
{
public:
    // now: the date and time the report is dated with.
    PollReport(const CycleReport& report, const QString& now);

    bool isSynchronization() const { return m_report.operatingMode == 1; }
    // True when some unit was attempted, so there is something to print.
    bool hasData() const;
    // The report file's text, every line ended by CR LF.
    QString fileText() const;
    PrintDocument printDocument() const;

private:
    QString title() const;
    QStringList body() const;
    QStringList summary() const;
    QStringList details(const UnitStatusSlot& unit) const;
    // Address, description and poll time.
    QString heading(const UnitStatusSlot& unit) const;
    QString ordinal(const UnitStatusSlot& unit) const;
    template <typename Visit> void forEachAttempted(Visit visit) const;

    CycleReport m_report;
    QString m_now;
};
