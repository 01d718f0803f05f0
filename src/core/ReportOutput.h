#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class Settings;
class UnitStatusTable;

// What a report is made of, taken at the end of a cycle.
struct CycleReport
{
    int operatingMode = 0;         // 0 status retrieval, 1 synchronization
    QStringList selectedAddresses; // addresses of the cycle's selected units, polling order
    const UnitStatusTable* table = nullptr;
};

// Stand-in for the report output until it lands.
class ReportOutput : public QObject
{
    Q_OBJECT

public:
    explicit ReportOutput(Settings& settings, QObject* parent = nullptr);
    struct SaveResult
    {
        bool ok = false;
        QString path;
    };
    SaveResult SaveReportFile(const CycleReport& report);
    bool PrintReport(const CycleReport& report);
    QString lastReportPath() const { return m_lastReportPath; }
    void PreviewReport(int operatingMode);
    void ChooseReport();
    void PrintReportCommand(const CycleReport& report);

Q_SIGNALS:
    void rollingNumberChanged(qint16 next);

private:
    Settings& m_settings;
    QString m_lastReportPath;
};
