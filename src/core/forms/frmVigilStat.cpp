#include "core/forms/frmVigilStat.h"

#include "comm/DialUpLink.h"
#include "comm/forms/frmDialUpProgress.h"
#include "core/forms/frmAbout.h"
#include "core/forms/frmConfiguration.h"
#include "core/forms/frmConfigurePoll.h"
#include "core/SingleInstance.h"
#include "core/UnitListLoader.h"
#include "directory/forms/frmAddressSetup.h"
#include "directory/forms/frmChangePassword.h"
#include "directory/forms/frmEnterPassword.h"
#include "directory/TimeZones.h"
#include "exceptions/forms/frmExceptionLog.h"
#include "exceptions/forms/frmExceptionSetup.h"
#include "platform/forms/IconFile.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("VigilStat");
constexpr int kBeepSpacingMs = 400; // three beeps at once would sound as one

QTimer* makeTimer(QObject* parent, const char* name, int intervalMs)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(intervalMs);
    return timer;
}

} // namespace

frmVigilStat::frmVigilStat(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmVigilStat"));
    m_dialUp = new DialUpLink(m_settings, this);
    frmDialUpProgress::attach(m_dialUp, this);
    m_cycle = new PollCycle(m_settings, m_unitLists, m_dialUp, this);
    m_schedule = new PollSchedule(m_settings, this);
    setWindowTitle(kCaption);
    createControls();
    createMenus();
    resize(720, 520);
}

frmVigilStat::~frmVigilStat() = default;

void frmVigilStat::createControls()
{
    auto* central = new QWidget(this);

    Option1 = new QRadioButton(QStringLiteral("Status Message"), central);
    Option1->setObjectName(QStringLiteral("Option1"));
    Option2 = new QRadioButton(QStringLiteral("Unit Synchronization"), central);
    Option2->setObjectName(QStringLiteral("Option2"));
    // The option buttons switch the mode for this run only; the menu is what persists it.
    connect(Option1, &QRadioButton::clicked, this, [this] { m_operatingMode = 0; });
    connect(Option2, &QRadioButton::clicked, this, [this] { m_operatingMode = 1; });

    cmdStart = new QPushButton(QStringLiteral("&Start"), central);
    cmdStart->setObjectName(QStringLiteral("cmdStart"));
    cmdStart->setMinimumWidth(96);
    connect(cmdStart, &QPushButton::clicked, this, &frmVigilStat::cmdStart_Click);

    Text2 = new QTextEdit(central);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setReadOnly(true);
    Text2->setLineWrapMode(QTextEdit::NoWrap);
    Text2->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* top = new QHBoxLayout;
    top->addWidget(Option1);
    top->addSpacing(12);
    top->addWidget(Option2);
    top->addStretch();
    top->addWidget(cmdStart);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top);
    layout->addWidget(Text2, 1);
    setCentralWidget(central);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    Panel1 = new QLabel(StatusBar1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    StatusBar1->addWidget(Panel1, 1);
    setStatusBar(StatusBar1);

    // tmrPoll belongs to the cycle, each conversation has its own tmrTimeout.
    tmrAutoStart = makeTimer(this, "tmrAutoStart", 1000);
    tmrMain = makeTimer(this, "tmrMain", 900);
    connect(tmrAutoStart, &QTimer::timeout, this, &frmVigilStat::tmrAutoStart_Timer);
    connect(m_schedule, &PollSchedule::statusText, Panel1, &QLabel::setText);
    connect(m_schedule, &PollSchedule::countdownOff, tmrAutoStart, &QTimer::stop);
    connect(m_schedule, &PollSchedule::startDue, this, [this] {
        m_cycle->setAutomaticStart(true);
        m_cycle->Start(m_operatingMode);
    });

    connect(m_cycle, &PollCycle::reportCleared, this, [this] {
        Text2->clear();
        m_reportHasLine = false;
    });
    connect(m_cycle, &PollCycle::reportLine, this, &frmVigilStat::addReportLine);
    connect(m_cycle, &PollCycle::statusTextChanged, Panel1, &QLabel::setText);
    connect(m_cycle, &PollCycle::phaseChanged, this, &frmVigilStat::onCyclePhase);
    connect(m_cycle, &PollCycle::exceptionNotification, this,
            &frmVigilStat::onExceptionNotification);
    // The schedule's countdown pauses while a cycle runs, and goes on after it unless its
    // single run is over.
    connect(m_cycle, &PollCycle::cycleStarted, this, [this] {
        tmrAutoStart->stop();
        m_schedule->cycleStarted();
    });
    connect(m_cycle, &PollCycle::cycleEnded, this, [this] {
        if (m_settings.option(Settings::Option::PollingOption) == 1 && !m_schedule->isOnceDone())
            tmrAutoStart->start();
    });

    setTabOrder(Option1, Option2);
    setTabOrder(Option2, cmdStart);
    setTabOrder(cmdStart, Text2);
}

QAction* frmVigilStat::addEntry(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void frmVigilStat::createMenus()
{
    QMenuBar* bar = menuBar();

    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuPreview = addEntry(mnuFile, "mnuPreview", QStringLiteral("Preview &Report"));
    mnuChoose = addEntry(mnuFile, "mnuChoose", QStringLiteral("&Choose Report"));
    mnuPrintReport = addEntry(mnuFile, "mnuPrintReport", QStringLiteral("&Print Report"));
    mnuViewLog = addEntry(mnuFile, "mnuViewLog", QStringLiteral("&View Exception Log"));
    mnuExit = addEntry(mnuFile, "mnuExit", QStringLiteral("E&xit"));
    mnuChoose->setVisible(false);

    mnuSetup = bar->addMenu(QStringLiteral("Se&tup"));
    mnuSetup->setObjectName(QStringLiteral("mnuSetup"));
    mnuAddressSetup =
        addEntry(mnuSetup, "mnuAddressSetup", QStringLiteral("Setup Unit Address &List"));
    mnuPrintSaveConfigure = addEntry(mnuSetup, "mnuPrintSaveConfigure",
                                     QStringLiteral("Configure &Report Printing and Saving "));
    mnuConfigurePoll =
        addEntry(mnuSetup, "mnuConfigurePoll", QStringLiteral("C&onfigure Poll Frequency"));
    mnuExceptionSetup =
        addEntry(mnuSetup, "mnuExceptionSetup", QStringLiteral("&Exception Filters Setup"));
    mnuOperatingMode = mnuSetup->addMenu(QStringLiteral("Operating &Mode"));
    mnuOperatingMode->setObjectName(QStringLiteral("mnuOperatingMode"));
    mnuStatus = addEntry(mnuOperatingMode, "mnuStatus", QStringLiteral("Status Message Retrieval"));
    mnuUnitTime =
        addEntry(mnuOperatingMode, "mnuUnitTime", QStringLiteral("Unit Time Synchronization"));
    mnuStatus->setCheckable(true);
    mnuUnitTime->setCheckable(true);
    mnuChangePassword = addEntry(mnuSetup, "mnuChangePassword", QStringLiteral("&Change Password"));
    mnuActivatePassword =
        addEntry(mnuSetup, "mnuActivatePassword", QStringLiteral("&Activate Password"));

    mnuAbout = bar->addAction(QStringLiteral("A&bout"));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));

    connect(mnuPreview, &QAction::triggered, this, &frmVigilStat::mnuPreview_Click);
    connect(mnuChoose, &QAction::triggered, this, &frmVigilStat::mnuChoose_Click);
    connect(mnuPrintReport, &QAction::triggered, this, &frmVigilStat::mnuPrintReport_Click);
    connect(mnuViewLog, &QAction::triggered, this, &frmVigilStat::mnuViewLog_Click);

    connect(mnuExit, &QAction::triggered, this, &frmVigilStat::mnuExit_Click);
    connect(mnuStatus, &QAction::triggered, this, &frmVigilStat::mnuStatus_Click);
    connect(mnuUnitTime, &QAction::triggered, this, &frmVigilStat::mnuUnitTime_Click);
    connect(mnuAddressSetup, &QAction::triggered, this, &frmVigilStat::mnuAddressSetup_Click);
    connect(mnuPrintSaveConfigure, &QAction::triggered, this,
            &frmVigilStat::mnuPrintSaveConfigure_Click);
    connect(mnuConfigurePoll, &QAction::triggered, this, &frmVigilStat::mnuConfigurePoll_Click);
    connect(mnuExceptionSetup, &QAction::triggered, this, &frmVigilStat::mnuExceptionSetup_Click);
    connect(mnuChangePassword, &QAction::triggered, this, &frmVigilStat::mnuChangePassword_Click);
    connect(mnuActivatePassword, &QAction::triggered, this,
            &frmVigilStat::mnuActivatePassword_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmVigilStat::mnuAbout_Click);
    connect(&m_settings, &Settings::optionSaved, this, &frmVigilStat::onOptionSaved);
}

bool frmVigilStat::Load(SingleInstance& instance)
{
    if (!instance.tryAcquire()) {
        Platform::prompts().message(
            QStringLiteral("You can't run the second instance of VigilStat on the same computer!"));
        return false;
    }
    TakePcTimeZone();
    m_unitLists.clear();
    m_settings.LoadSettings();
    m_unlocked = false;

    m_operatingMode = m_settings.option(Settings::Option::OperatingMode) == 1 ? 1 : 0;
    mnuStatus->setChecked(m_operatingMode == 0);
    mnuUnitTime->setChecked(m_operatingMode == 1);
    Option1->setChecked(m_operatingMode == 0);
    Option2->setChecked(m_operatingMode == 1);

    mnuChoose->setVisible(m_settings.option(Settings::Option::FileSaveOption) == 1);

    if (m_settings.option(Settings::Option::PollingOption) == 1) {
        m_schedule->restartFromSettings();
        tmrAutoStart->start();
    }
    showNormalIcon();
    return true;
}

QIcon frmVigilStat::normalIcon()
{
    return iconFile(QStringLiteral("KELP.ico"));
}

void frmVigilStat::showNormalIcon()
{
    setWindowTitle(kCaption);
    setWindowIcon(normalIcon());
}

void frmVigilStat::cmdStart_Click()
{
    if (m_cycle->isRunning())
        m_cycle->Stop();
    else
        m_cycle->Start(m_operatingMode);
}

void frmVigilStat::StartWithListFile()
{
    if (m_cycle->isCycleActive() || !UnitListLoader(m_unitLists, m_settings).load())
        return;
    cmdStart_Click();
}

void frmVigilStat::addReportLine(const QString& line)
{
    // Written at the end without moving the view or the focus; a cycle the user started keeps its
    // newest line in sight, one the schedule started leaves the view where the user put it.
    QTextDocument* document = Text2->document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    if (m_reportHasLine)
        cursor.insertBlock();
    cursor.insertText(line);
    m_reportHasLine = true;
    if (!m_cycle->automaticStart())
        Text2->verticalScrollBar()->setValue(Text2->verticalScrollBar()->maximum());
}

void frmVigilStat::onCyclePhase(PollCycle::Phase phase)
{
    const bool idle = phase == PollCycle::Phase::Idle;
    if (phase == PollCycle::Phase::Stopping)
        m_startHadFocus = cmdStart->hasFocus();
    cmdStart->setText(idle ? QStringLiteral("&Start") : QStringLiteral("&Stop"));
    cmdStart->setEnabled(phase != PollCycle::Phase::Stopping);
    if (idle && m_startHadFocus) {
        m_startHadFocus = false;
        cmdStart->setFocus();
    }
    // The mode is fixed for the cycle that runs.
    mnuSetup->menuAction()->setEnabled(idle);
    for (QWidget* option : {static_cast<QWidget*>(Option1), static_cast<QWidget*>(Option2)})
        option->setEnabled(idle);
    mnuStatus->setEnabled(idle);
    mnuUnitTime->setEnabled(idle);
    mnuViewLog->setVisible(idle || m_cycle->operatingMode() != 0);
}

void frmVigilStat::onExceptionNotification(int notifyBy)
{
    if (notifyBy != 0) {
        setWindowIcon(iconFile(QStringLiteral("W95MBX03.ico")));
        setWindowTitle(QStringLiteral("VigilStat-Exception Log Updated!"));
        m_logUpdated = true;
    }
    if (notifyBy != 1)
        Beep(3);
}

void frmVigilStat::Beep(int times)
{
    for (int i = 0; i < times; ++i) {
        QTimer::singleShot(i * kBeepSpacingMs, this, [this] {
            QApplication::beep();
            Q_EMIT beeped();
        });
    }
}

int frmVigilStat::reportMode() const
{
    // The report is that of the last cycle, in that cycle's mode.
    return m_cycle->operatingMode() < 0 ? m_operatingMode : m_cycle->operatingMode();
}

void frmVigilStat::mnuPreview_Click()
{
    m_cycle->reports().PreviewReport(reportMode());
}

void frmVigilStat::mnuChoose_Click()
{
    m_cycle->reports().ChooseReport();
}

void frmVigilStat::mnuPrintReport_Click()
{
    CycleReport report = m_cycle->report();
    report.operatingMode = reportMode();
    m_cycle->reports().PrintReportCommand(report);
}

void frmVigilStat::mnuViewLog_Click()
{
    if (m_logUpdated) {
        m_logUpdated = false;
        showNormalIcon();
    }
    frmExceptionLog::ViewExceptionLog(m_settings, this);
}

bool frmVigilStat::PasswordGate()
{
    if (m_unlocked)
        return false;
    m_passwordAccepted = false;
    QPointer<frmEnterPassword> dialog = new frmEnterPassword(m_settings.encodedPassword(), this);
    dialog->exec();
    if (!dialog)
        return true;
    m_passwordAccepted = dialog->passwordAccepted();
    delete dialog;
    if (!m_passwordAccepted)
        return true;
    m_unlocked = true;
    return false;
}

void frmVigilStat::mnuStatus_Click()
{
    mnuStatus->setChecked(true);
    mnuUnitTime->setChecked(false);
    setOperatingMode(0);
}

void frmVigilStat::mnuUnitTime_Click()
{
    mnuStatus->setChecked(false);
    mnuUnitTime->setChecked(true);
    setOperatingMode(1);
}

void frmVigilStat::setOperatingMode(int mode)
{
    m_operatingMode = mode;
    m_settings.SaveOption(Settings::Option::OperatingMode, static_cast<qint16>(mode));
    Option1->setChecked(mode == 0);
    Option2->setChecked(mode == 1);
}

void frmVigilStat::mnuAddressSetup_Click()
{
    if (PasswordGate())
        return;
    QPointer<frmAddressSetup> dialog = new frmAddressSetup(m_unitLists, m_settings, this);
    dialog->exec();
    delete dialog;
}

void frmVigilStat::mnuPrintSaveConfigure_Click()
{
    if (PasswordGate())
        return;
    QPointer<frmConfiguration> dialog = new frmConfiguration(m_settings, this);
    dialog->exec();
    delete dialog;
}

void frmVigilStat::mnuConfigurePoll_Click()
{
    if (PasswordGate())
        return;
    // The countdown rests while its settings are edited, and goes on after with what was saved.
    if (tmrAutoStart->isActive()) {
        tmrAutoStart->stop();
        Panel1->clear();
    }
    QPointer<frmConfigurePoll> dialog = new frmConfigurePoll(m_settings, *m_schedule, this);
    dialog->exec();
    delete dialog;
    if (m_settings.option(Settings::Option::PollingOption) == 1)
        tmrAutoStart->start();
}

void frmVigilStat::mnuExceptionSetup_Click()
{
    if (PasswordGate())
        return;
    QPointer<frmExceptionSetup> dialog = new frmExceptionSetup(m_settings, this);
    dialog->exec();
    delete dialog;
}

void frmVigilStat::mnuChangePassword_Click()
{
    if (PasswordGate())
        return;
    QPointer<frmChangePassword> dialog = new frmChangePassword(m_settings, this);
    dialog->exec();
    delete dialog;
}

void frmVigilStat::mnuActivatePassword_Click()
{
    m_unlocked = false;
}

void frmVigilStat::mnuAbout_Click()
{
    QPointer<frmAbout> dialog = new frmAbout(this);
    dialog->exec();
    delete dialog;
}

void frmVigilStat::mnuExit_Click()
{
    close();
}

void frmVigilStat::closeEvent(QCloseEvent* event)
{
    event->accept();
    QCoreApplication::quit();
}

void frmVigilStat::tmrAutoStart_Timer()
{
    m_schedule->tick(m_cycle->isCycleActive(), m_operatingMode);
}

void frmVigilStat::onOptionSaved(Settings::Option option)
{
    if (option == Settings::Option::FileSaveOption)
        mnuChoose->setVisible(m_settings.option(option) == 1);
}
