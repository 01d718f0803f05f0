#include "core/PollCycle.h"

#include "comm/DialUpLink.h"
#include "core/UnitListLoader.h"
#include "exceptions/clsExceptionHandler.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

#include <algorithm>

namespace {

const QString selected = QStringLiteral("1");

QString nowText()
{
    return Platform::locale().generalDateTimeText(Platform::clock().localNow());
}

} // namespace

PollCycle::PollCycle(Settings& settings, UnitAddressList& unitLists, DialUpLink* dialUp,
                     QObject* parent)
    : QObject(parent), m_settings(settings), m_unitLists(unitLists), m_dialUp(dialUp),
      m_reports(settings), m_tmrPoll(this), m_stopWait(this)
{
    m_tmrPoll.setObjectName(QStringLiteral("tmrPoll"));
    m_tmrPoll.setInterval(m_timings.tickMs);
    connect(&m_tmrPoll, &QTimer::timeout, this, &PollCycle::tmrPoll_Timer);
    m_stopWait.setSingleShot(true);
    connect(&m_stopWait, &QTimer::timeout, this, [this] {
        m_stopWaitOver = true;
        finishStopWhenDone();
    });
}

PollCycle::~PollCycle()
{
    // The program ends: conversations still running are abandoned with their connections.
    for (const RunningUnit& unit : m_running)
        delete unit.conversation;
}

void PollCycle::setTimings(const CycleTimings& timings)
{
    m_timings = timings;
    m_tmrPoll.setInterval(timings.tickMs);
}

void PollCycle::setConcurrentUnits(int units)
{
    m_concurrentOverride = qBound(0, units, Settings::kMaxConcurrentUnits);
}

QString PollCycle::modeText(const char* polling, const char* synchronizing) const
{
    return QString::fromLatin1(m_mode == 1 ? synchronizing : polling);
}

bool PollCycle::Start(int operatingMode)
{
    if (m_phase != Phase::Idle)
        return false;
    if (m_unitLists.count() == 0) {
        if (!m_automaticStart) {
            Platform::prompts().message(QStringLiteral("No Unit Address list loaded!"));
            return false;
        }
        UnitListLoader(m_unitLists, m_settings).load();
        if (m_unitLists.count() == 0) {
            m_automaticStart = false;
            return false;
        }
    }

    // The cycle keeps its own copy: the lists may be edited while it runs.
    m_units = m_unitLists;
    for (QStringList* list : {&m_units.DataStr, &m_units.Descript, &m_units.Password,
                              &m_units.TimeZone, &m_units.DST, &m_units.Status, &m_units.Syn}) {
        if (list->size() > UnitAddressList::kMaxUnits)
            list->resize(UnitAddressList::kMaxUnits); // one slot each in the status table
    }
    m_mode = operatingMode == 1 ? 1 : 0;
    const QStringList& selection = m_mode == 1 ? m_units.Syn : m_units.Status;
    m_concurrent = m_concurrentOverride > 0 ? m_concurrentOverride : m_settings.concurrentUnits();
    m_selectedAddresses.clear();
    m_waiting.clear();
    for (int i = 0; i < m_units.count(); ++i) {
        if (selection.at(i) != selected)
            continue;
        if (concurrent())
            m_waiting.append(WaitingUnit{i, int(m_selectedAddresses.size())});
        m_selectedAddresses.append(m_units.DataStr.at(i));
    }
    m_selectedCount = qint16(m_selectedAddresses.size());
    m_done = 0;

    m_reportLines = true;
    m_scanPosition = 0;
    m_visited = 0;
    m_currentSlot = 0;
    setPhase(Phase::Running);
    Q_EMIT cycleStarted();
    if (m_dialUp)
        m_dialUp->setCycleActive(true);
    Q_EMIT reportCleared();
    m_table.clear();
    m_tmrPoll.stop();
    if (concurrent())
        QMetaObject::invokeMethod(this, &PollCycle::startWaitingUnits, Qt::QueuedConnection);
    else
        m_tmrPoll.start();

    setStatusText(QString());
    addLine(QStringLiteral("                    --- ") + nowText() + QStringLiteral(" ---"));
    if (concurrent())
        showProgress();
    else
        setStatusText(modeText("Polling Units...", "Synchronizing Units..."));
    return true;
}

void PollCycle::tmrPoll_Timer()
{
    if (isBusy() || m_phase != Phase::Running)
        return;
    int ordinal = 0;
    if (nextUnit(ordinal))
        startConversation(ordinal);
    else
        endCycle();
}

bool PollCycle::nextUnit(int& ordinal)
{
    if (m_visited >= m_selectedCount) {
        m_visited = 0;
        return false;
    }
    ordinal = m_visited;
    const QStringList& selection = m_mode == 1 ? m_units.Syn : m_units.Status;
    bool found = false;
    for (int i = m_scanPosition; i < selection.size(); ++i) {
        if (selection.at(i) == selected) {
            m_currentSlot = i;
            m_scanPosition = qint16(i + 1);
            found = true;
            break;
        }
    }
    ++m_visited;
    return found;
}

void PollCycle::startWaitingUnits()
{
    if (m_phase != Phase::Running)
        return;
    while (int(m_running.size()) < m_concurrent) {
        const int next = nextStartable();
        if (next < 0)
            break;
        const WaitingUnit unit = m_waiting.takeAt(next);
        m_currentSlot = unit.slot;
        startConversation(unit.ordinal);
    }
    if (m_running.empty() && m_waiting.isEmpty())
        endCycle();
}

int PollCycle::nextStartable() const
{
    bool modemInUse = false;
    for (const RunningUnit& unit : m_running)
        modemInUse = modemInUse || UnitConversation::dialsFirst(unit.conversation->address());
    for (int i = 0; i < m_waiting.size(); ++i) {
        const QString& address = m_units.DataStr.at(m_waiting.at(i).slot);
        if (modemInUse && UnitConversation::dialsFirst(address))
            continue;
        // A unit listed twice is polled twice in turn, so its exception history stays in order.
        const bool talking =
            std::any_of(m_running.begin(), m_running.end(), [&](const RunningUnit& unit) {
                return unit.conversation->address() == address;
            });
        if (!talking)
            return i;
    }
    return -1;
}

QString PollCycle::unitHeading(int slot, int ordinal) const
{
    return QLatin1Char('[') + QString::number(ordinal + 1) + QStringLiteral("] ") +
           m_units.DataStr.at(slot) + QStringLiteral(" - ") + m_units.Descript.at(slot);
}

void PollCycle::startConversation(int ordinal)
{
    const UnitRecord unit = m_units.record(m_currentSlot);
    if (!concurrent()) {
        addLine(unitHeading(m_currentSlot, ordinal));
        setStatusText(modeText("Polling Unit ", "Synchronizing Unit ") +
                      QString::number(ordinal + 1) + QStringLiteral(" of ") +
                      QString::number(m_selectedCount));
    }

    auto* conversation = new UnitConversation(m_settings, m_table, m_currentSlot, unit, m_mode,
                                              m_dialUp, m_timings.conversation, this);
    m_running.push_back(RunningUnit{conversation, ordinal, {}});
    connect(conversation, &UnitConversation::reportLine, this,
            [this, conversation](const QString& line) {
                onConversationLine(conversation, line, false);
            });
    connect(conversation, &UnitConversation::logWriteFailed, this,
            [this, conversation](const QString& path) {
                onConversationLine(
                    conversation,
                    QStringLiteral("    Could not add an exception record to ") + path, true);
            });
    connect(conversation, &UnitConversation::finished, this,
            [this, conversation] { onConversationFinished(conversation); });
    conversation->Connect(unit.DataStr, UnitConversation::UnitPort);
}

PollCycle::RunningUnit* PollCycle::runningUnit(UnitConversation* conversation)
{
    for (RunningUnit& unit : m_running) {
        if (unit.conversation == conversation)
            return &unit;
    }
    return nullptr;
}

void PollCycle::onConversationLine(UnitConversation* conversation, const QString& line,
                                   bool evenAfterStop)
{
    // After a Stop the conversation runs to its end without reporting; a record that could not
    // be written is still told.
    if (!m_reportLines && !evenAfterStop)
        return;
    RunningUnit* unit = runningUnit(conversation);
    if (concurrent() && unit)
        unit->lines.append({line, evenAfterStop});
    else
        addLine(line);
}

void PollCycle::onConversationFinished(UnitConversation* conversation)
{
    RunningUnit* running = runningUnit(conversation);
    if (!running)
        return;
    const RunningUnit unit = *running;
    m_running.erase(m_running.begin() + (running - m_running.data()));
    conversation->deleteLater();

    if (concurrent()) {
        // The unit's lines go out together, so lines of units polled at once never mix.
        if (m_reportLines)
            addLine(unitHeading(conversation->slot(), unit.ordinal));
        for (const RunningUnit::Line& line : unit.lines) {
            if (m_reportLines || line.evenAfterStop)
                addLine(line.text);
        }
    }

    if (m_mode == 0) {
        const UnitStatusSlot& slot = m_table[conversation->slot()];
        clsExceptionHandler exceptions(m_settings);
        const QString change = exceptions.GetConnectionChangeString(slot.address, slot.connected);
        if (!change.isEmpty() && !exceptions.AddToLog(slot.address, slot.description, slot.pollTime,
                                                      change, QString(), QString()))
            addLogWriteFailure(m_settings.exceptionLogPath());
    }
    if (conversation->invalidUnitDate())
        Platform::prompts().notify(Prompt{QStringLiteral("Error Message"),
                                          UnitConversation::InvalidUnitDateText, PromptButtons::Ok,
                                          PromptIcon::None, 0});
    if (m_phase == Phase::Stopping) {
        finishStopWhenDone();
    } else if (concurrent() && m_phase == Phase::Running) {
        ++m_done;
        showProgress();
        startWaitingUnits();
    }
}

void PollCycle::showProgress()
{
    setStatusText(modeText("Polling Units: ", "Synchronizing Units: ") + QString::number(m_done) +
                  QStringLiteral(" of ") + QString::number(m_selectedCount) +
                  QStringLiteral(" done"));
}

void PollCycle::endCycle()
{
    m_tmrPoll.stop();
    setStatusText(modeText("Finished Polling", "Finished Synchronizing"));
    addLine(QString());
    addLine(modeText("    The Polling Process Was Sucessfully Finished!",
                     "    The Synchronizing Process Was Sucessfully Finished!"));
    addLine(QString());

    // Cycles run unattended: a file that cannot be written is told in the report, not in a box.
    const ReportOutput::SaveResult saved = m_reports.SaveReportFile(report());
    if (!saved.ok)
        addLine(QStringLiteral("    Could not write the report file ") + saved.path);
    // Idle from here on for the menus; the marks follow below.
    setPhase(Phase::Idle);
    notifyExceptions();
    if (m_settings.option(Settings::Option::PrinterOption) == 1)
        m_reports.PrintReport(report());
    becomeIdle();
}

void PollCycle::Stop()
{
    if (m_phase != Phase::Running)
        return;
    m_tmrPoll.stop();
    addLine(QString());
    const bool automatic = m_settings.option(Settings::Option::PollingOption) == 1;
    addLine(automatic ? modeText("    The Automatic Polling Process Was Cancelled By User!",
                                 "    The Automatic Synchronizing Process Was Cancelled By User!")
                      : modeText("    The Polling Process Was Cancelled By User!",
                                 "    The Synchronizing Process Was Cancelled By User!"));
    m_reportLines = false;
    // A dial that the stop cuts short is no error to tell the user about.
    if (m_dialUp)
        m_dialUp->setCycleActive(false);
    setPhase(Phase::Stopping);
    setStatusText(QStringLiteral("Please wait..."));

    m_stopWaitOver = false;
    // One modem: at most one running conversation holds a line.
    const bool lineUp = std::any_of(m_running.begin(), m_running.end(), [](const RunningUnit& u) {
        return u.conversation->takeDialUpMark();
    });
    if (lineUp && m_dialUp) {
        connect(m_dialUp, &DialUpLink::hungUp, this, &PollCycle::startStopWait,
                Qt::SingleShotConnection);
        m_dialUp->HangUp();
    } else {
        startStopWait();
    }
}

void PollCycle::startStopWait()
{
    m_stopWait.start(m_timings.stopWaitMs);
}

void PollCycle::finishStopWhenDone()
{
    if (m_phase == Phase::Stopping && m_stopWaitOver && !isBusy())
        finishStop();
}

void PollCycle::finishStop()
{
    setPhase(Phase::Idle);
    setStatusText(modeText("Polling Stopped!", "Synchronizing Stopped!"));
    notifyExceptions();
    becomeIdle();
}

void PollCycle::becomeIdle()
{
    if (m_dialUp)
        m_dialUp->setCycleActive(false);
    m_automaticStart = false;
    Q_EMIT cycleEnded();
}

void PollCycle::notifyExceptions()
{
    if (!clsExceptionHandler::notifyFlag())
        return;
    clsExceptionHandler::clearNotifyFlag();
    Q_EMIT exceptionNotification(m_settings.option(Settings::Option::NotifyBy));
}

CycleReport PollCycle::report() const
{
    return CycleReport{m_mode < 0 ? 0 : m_mode, m_selectedAddresses, &m_table};
}

void PollCycle::addLine(const QString& line)
{
    Q_EMIT reportLine(line);
}

void PollCycle::addLogWriteFailure(const QString& path)
{
    addLine(QStringLiteral("    Could not add an exception record to ") + path);
}

void PollCycle::setStatusText(const QString& text)
{
    m_statusText = text;
    Q_EMIT statusTextChanged(text);
}

void PollCycle::setPhase(Phase phase)
{
    if (m_phase == phase)
        return;
    m_phase = phase;
    Q_EMIT phaseChanged(phase);
}
