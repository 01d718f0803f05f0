#pragma once

#include "directory/UnitAddressList.h"
#include "settings/Settings.h"

#include <optional>
#include <QObject>
#include <QString>

class DialUpLink;
class PollCycle;
class QTextStream;

// vigilstat-poll: one poll cycle without a window, for cron and scripts. It runs the program's
// own cycle with its settings and files (report file, rolling number, exception log), writes the
// live report to one stream and tells the rest on the other, and ends with an exit code.
class PollCommand : public QObject
{
    Q_OBJECT

public:
    enum ExitCode { AllSucceeded = 0, SomeFailed = 1, UsageError = 2 };

    struct Options
    {
        bool sync = false;
        QString listPath;        // empty: the file the setting "IPFileName" names
        int concurrentUnits = 0; // 0: the setting "ConcurrentUnits"
    };

    PollCommand(QTextStream& report, QTextStream& messages, QObject* parent = nullptr);
    ~PollCommand() override;

    // The whole run for a command line (program name first); finished() follows exactly once,
    // possibly from inside the call.
    void run(const QStringList& arguments);
    // An interrupt: the cycle stops as the Stop button stops it, and the run ends with
    // SomeFailed once the unit being talked to has finished.
    void stop();

    // The exit code of a command line that needs no cycle (help, version, a usage error, with
    // its text written), or nothing when the options are good to run.
    std::optional<int> parse(const QStringList& arguments, Options& options);

Q_SIGNALS:
    void finished(int exitCode);

private:
    bool loadList(const Options& options);
    void onCycleEnded();
    void finish(int exitCode);

    QTextStream& m_report;
    QTextStream& m_messages;
    Settings m_settings;
    UnitAddressList m_units;
    DialUpLink* m_dialUp = nullptr;
    PollCycle* m_cycle = nullptr;
    bool m_stopped = false;
    bool m_finished = false;
};
