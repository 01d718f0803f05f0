#pragma once

#include "core/ReportOutput.h"
#include "core/UnitConversation.h"
#include "core/UnitStatusTable.h"
#include "directory/UnitAddressList.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <vector>

class DialUpLink;
class Settings;

// The pace of a cycle, in milliseconds. The program keeps these; tests shorten them.
struct CycleTimings
{
    int tickMs = 1000;     // tmrPoll: at most one unit is started per tick
    int stopWaitMs = 1000; // the pause after a Stop
    ConversationTimings conversation;
};

// A poll cycle: one pass over the selected units of the unit lists. In status retrieval mode it
// collects each unit's status and logs exceptions; in unit time synchronization mode it sets each
// unit's clock. It writes the live report (reportLine), saves and prints the report at the end,
// and raises the notification of new exceptions. It knows nothing of windows: the main window and
// the command-line poller drive it alike.
//
// With one unit at a time (the default) each tick of the poll timer starts the next unit and its
// lines are reported as they come. With several, the next unit starts as soon as one ends, in
// list order, and each unit's lines are reported together when it ends. Units on a telephone line
// share the one modem, and two conversations never talk to the same address at once, so the
// outcome of a cycle does not depend on how many run together.
class PollCycle : public QObject
{
    Q_OBJECT

public:
    enum class Phase {
        Idle,
        Running,
        Stopping, // stopped by the user; waiting for the running conversation and the line
    };

    PollCycle(Settings& settings, UnitAddressList& unitLists, DialUpLink* dialUp,
              QObject* parent = nullptr);
    ~PollCycle() override;

    void setTimings(const CycleTimings& timings);
    // How many conversations the next cycles keep running at once (1 to 256), in place of the
    // setting "ConcurrentUnits"; 0 goes back to the setting.
    void setConcurrentUnits(int units);

    // The Start button while no cycle runs. operatingMode 0 polls status, 1 sets clocks; the mode
    // holds for the whole cycle. Returns false when no cycle started: no unit list (the user is
    // told, unless the schedule started it), or a cycle still running or stopping.
    bool Start(int operatingMode);
    // The Start button while a cycle runs. The conversation in progress runs to its end, without
    // report lines; Start stays unavailable until it and the pause after a Stop are over.
    void Stop();

    Phase phase() const { return m_phase; }
    // The running mark: Start starts when clear and stops when set.
    bool isRunning() const { return m_phase == Phase::Running; }
    // The cycle-active mark, read by the schedule: from Start until the cycle is wholly over.
    bool isCycleActive() const { return m_phase != Phase::Idle; }
    // The busy mark: a conversation is in progress.
    bool isBusy() const { return !m_running.empty(); }
    int runningCount() const { return int(m_running.size()); }
    // The conversations the running or last cycle kept going at once, at most.
    int concurrentUnits() const { return m_concurrent; }
    // The automatic-start mark: set by the schedule before it starts a cycle; cleared when the
    // cycle is over. The live report of such a cycle does not follow its newest line.
    bool automaticStart() const { return m_automaticStart; }
    void setAutomaticStart(bool automatic) { m_automaticStart = automatic; }

    // The operating mode of the running or last cycle; -1 before the first.
    int operatingMode() const { return m_mode; }
    int selectedCount() const { return m_selectedCount; }
    int currentSlot() const { return m_currentSlot; }
    QString statusText() const { return m_statusText; }
    const UnitStatusTable& table() const { return m_table; }
    // The last cycle's report, for printing it later.
    CycleReport report() const;
    ReportOutput& reports() { return m_reports; }

Q_SIGNALS:
    void phaseChanged(PollCycle::Phase phase);
    void reportCleared();
    void reportLine(const QString& line);
    void statusTextChanged(const QString& text);
    // A cycle that logged a notifying exception is over; notifyBy is the "NotifyBy" setting
    // (0 three beeps, 1 caption and icon, 2 both).
    void exceptionNotification(int notifyBy);
    // For the schedule: its countdown stops while a cycle runs and may go on after it.
    void cycleStarted();
    void cycleEnded();

private:
    // A conversation in progress and the lines it holds back until it ends.
    struct RunningUnit
    {
        UnitConversation* conversation = nullptr;
        int ordinal = 0;
        struct Line
        {
            QString text;
            bool evenAfterStop = false;
        };
        QList<Line> lines;
    };
    struct WaitingUnit
    {
        int slot = 0;
        int ordinal = 0;
    };

    bool concurrent() const { return m_concurrent > 1; }
    void tmrPoll_Timer();
    bool nextUnit(int& ordinal);
    void startWaitingUnits();
    int nextStartable() const;
    void startConversation(int ordinal);
    QString unitHeading(int slot, int ordinal) const;
    RunningUnit* runningUnit(UnitConversation* conversation);
    void onConversationLine(UnitConversation* conversation, const QString& line,
                            bool evenAfterStop);
    void onConversationFinished(UnitConversation* conversation);
    void showProgress();
    void endCycle();
    void startStopWait();
    void finishStopWhenDone();
    void finishStop();
    void notifyExceptions();
    void becomeIdle();
    void addLine(const QString& line);
    void addLogWriteFailure(const QString& path);
    void setStatusText(const QString& text);
    void setPhase(Phase phase);
    QString modeText(const char* polling, const char* synchronizing) const;

    Settings& m_settings;
    UnitAddressList& m_unitLists;
    QPointer<DialUpLink> m_dialUp;
    ReportOutput m_reports;
    CycleTimings m_timings;
    QTimer m_tmrPoll;
    QTimer m_stopWait;

    UnitAddressList m_units; // the lists as they were at Start
    UnitStatusTable m_table;
    QStringList m_selectedAddresses;
    Phase m_phase = Phase::Idle;
    int m_mode = -1;
    bool m_reportLines = false;
    bool m_automaticStart = false;
    bool m_stopWaitOver = false;
    qint16 m_selectedCount = 0; // N
    qint16 m_scanPosition = 0;  // P
    qint16 m_visited = 0;       // C
    int m_currentSlot = 0;
    int m_concurrentOverride = 0;
    int m_concurrent = 1;
    QList<WaitingUnit> m_waiting; // not yet started, in list order; only with several at once
    int m_done = 0;
    QString m_statusText;
    std::vector<RunningUnit> m_running;
};
