#include "core/PollReport.h"

#include "core/UnitStatusTable.h"
#include "platform/Locale.h"
#include "platform/Platform.h"

#include <QRegularExpression>

namespace {

// Slot 3000 is the table's spare; no unit of a list ever has it.
constexpr int kReportedSlots = 3000;
const QString kNone = QStringLiteral("None");

// The text starting in the given column, counted from 1.
QString atColumn(int column, const QString& text)
{
    return QString(column - 1, QLatin1Char(' ')) + text;
}

QStringList linesOf(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineBreak);
}

// Why a unit's clock could not be set, by its result code.
QString synchronizationFailure(int resultCode)
{
    switch (resultCode) {
    case 0:
        return QStringLiteral("Unable to Connect...");
    case 2:
        return QStringLiteral("Unable to Connect ( Invalid Password )...");
    case 3:
        return QStringLiteral("Unable to Connect ( Rejected )...");
    case 4:
        return QStringLiteral("Operation Timed out...");
    case 5:
        return QStringLiteral("Operation Timed out from Data Block...");
    case 6:
        return QStringLiteral("Internal Error!");
    case 7:
        return QStringLiteral("Modem could not Connect...");
    default:
        return {};
    }
}

} // namespace

PollReport::PollReport(const CycleReport& report, const QString& now) : m_report(report), m_now(now)
{}

template <typename Visit> void PollReport::forEachAttempted(Visit visit) const
{
    if (!m_report.table)
        return;
    for (int slot = 0; slot < kReportedSlots; ++slot) {
        const UnitStatusSlot& unit = (*m_report.table)[slot];
        if (unit.attempted)
            visit(unit);
    }
}

bool PollReport::hasData() const
{
    bool attempted = false;
    forEachAttempted([&attempted](const UnitStatusSlot&) { attempted = true; });
    return attempted;
}

QString PollReport::title() const
{
    return isSynchronization() ? QStringLiteral("VigilStat Unit Synchronization Report")
                               : QStringLiteral("VigilStat Status Report");
}

QString PollReport::fileText() const
{
    QStringList lines{QString(), atColumn(5, title()),
                      atColumn(isSynchronization() ? 15 : 5, QStringLiteral("  ") + m_now),
                      QString()};
    lines += body();
    lines += atColumn(10, QStringLiteral("---000---"));
    const QString crlf = QStringLiteral("\r\n");
    return lines.join(crlf) + crlf;
}

PrintDocument PollReport::printDocument() const
{
    PrintDocument document(title());
    document.setFont(12, true);
    if (isSynchronization()) {
        document.print(QStringLiteral("    ") + title());
        document.print();
    } else {
        document.print(QString(13, QLatin1Char(' ')) + title());
    }
    document.print(QString(17, QLatin1Char(' ')) + m_now);
    document.setFont(8, true);
    document.print(body());
    document.setFont(12, true);
    document.print(QString(22, QLatin1Char(' ')) + QStringLiteral("---000---"));
    return document;
}

QStringList PollReport::body() const
{
    // Each block ends with a line break of its own, and one more follows it.
    QStringList lines = summary();
    lines += QString();
    if (isSynchronization()) {
        lines += QString();
        return lines;
    }
    lines += {QStringLiteral("Report Details:"), QString()};
    forEachAttempted([this, &lines](const UnitStatusSlot& unit) {
        lines += details(unit);
        lines += QString();
    });
    return lines;
}

QStringList PollReport::summary() const
{
    const bool synchronization = isSynchronization();
    QStringList connected;
    QStringList failed;
    forEachAttempted([&](const UnitStatusSlot& unit) {
        if (unit.connected) {
            connected += QLatin1Char('[') + ordinal(unit) + QStringLiteral("] ") + heading(unit);
            return;
        }
        failed += QLatin1Char('[') + ordinal(unit) + QStringLiteral("] ") + heading(unit);
        const QString reason = synchronizationFailure(unit.resultCode);
        if (synchronization && !reason.isEmpty())
            failed += reason;
    });
    if (synchronization && !connected.isEmpty())
        connected += QStringLiteral("Unit Time of ") +
                     (connected.size() == 1 ? QStringLiteral("this unit was")
                                            : QStringLiteral("these units were")) +
                     QStringLiteral(" successfully updated!");

    QStringList lines{QString(), QStringLiteral("Report Summary:"), QString(),
                      QStringLiteral("Successful Connections:")};
    lines += connected.isEmpty() ? QStringList{kNone} : connected;
    lines += {QString(), QStringLiteral("Unsuccessful Connections:")};
    lines += failed.isEmpty() ? QStringList{kNone} : failed;
    lines += QString();
    return lines;
}

QStringList PollReport::details(const UnitStatusSlot& unit) const
{
    QStringList lines{QLatin1Char('[') + ordinal(unit) + QStringLiteral("] ") +
                      QString(63, QLatin1Char('*'))};
    if (unit.connected) {
        lines += linesOf(unit.statusText);
        lines += QString();
    } else {
        lines += heading(unit);
        lines += unit.address.contains(QLatin1Char('.'))
                     ? QStringLiteral("Could not connect ...")
                     : QStringLiteral("Modem could not Connect...");
    }
    return lines;
}

QString PollReport::heading(const UnitStatusSlot& unit) const
{
    const QString pollTime =
        unit.pollTime.isValid() ? Platform::locale().generalDateTimeText(unit.pollTime) : QString();
    return unit.address + QStringLiteral("  -  ") + unit.description + QStringLiteral("   ") +
           pollTime;
}

QString PollReport::ordinal(const UnitStatusSlot& unit) const
{
    // Units that share an address share the ordinal of the first of them.
    return QString::number(m_report.selectedAddresses.indexOf(unit.address) + 1);
}
