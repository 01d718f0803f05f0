#pragma once

#include "core/PollReport.h"

#include <QObject>
#include <QString>

class Settings;

// The report of a cycle as a file in the report folder and on the printer, and the File menu
// commands that show or print it.
class ReportOutput : public QObject
{
    Q_OBJECT

public:
    explicit ReportOutput(Settings& settings, QObject* parent = nullptr);

    struct SaveResult
    {
        bool ok = false;
        QString path; // the path tried, also on failure
    };

    // Writes the report file, replacing any file of that name only once the new one is complete.
    // Shows nothing: cycles run unattended, so the caller reports a failure.
    SaveResult SaveReportFile(const CycleReport& report);
    // Prints without a word; false on any failure.
    bool PrintReport(const CycleReport& report);
    // The file written last in this run; "" until then.
    QString lastReportPath() const { return m_lastReportPath; }

    // The File menu commands; they show their own messages. The operating mode is the one of
    // the cycle the command is about.
    void PreviewReport(int operatingMode);
    void ChooseReport();
    void PrintReportCommand(const CycleReport& report);

Q_SIGNALS:
    // A numbered save took a rolling number; this is the one the next save takes.
    void rollingNumberChanged(qint16 next);

private:
    QString now() const;
    void openInEditor(const QString& path);

    Settings& m_settings;
    QString m_lastReportPath;
};
