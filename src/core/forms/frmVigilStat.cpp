#include "core/forms/frmVigilStat.h"

#include "core/forms/frmAbout.h"
#include "core/forms/frmConfiguration.h"
#include "core/forms/frmConfigurePoll.h"
#include "core/SingleInstance.h"
#include "directory/forms/frmAddressSetup.h"
#include "directory/forms/frmChangePassword.h"
#include "directory/forms/frmEnterPassword.h"
#include "directory/TimeZones.h"
#include "exceptions/forms/frmExceptionLog.h"
#include "exceptions/forms/frmExceptionSetup.h"
#include "platform/forms/WindowRules.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("VigilStat");

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
    cmdStart->setEnabled(false); // the poll cycle is not part of this build yet

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

    tmrPoll = makeTimer(this, "tmrPoll", 1000);
    tmrAutoStart = makeTimer(this, "tmrAutoStart", 1000);
    tmrTimeout = makeTimer(this, "tmrTimeout", 5000);
    tmrTimeout->setSingleShot(true);
    tmrMain = makeTimer(this, "tmrMain", 900);
    connect(tmrAutoStart, &QTimer::timeout, this, &frmVigilStat::tmrAutoStart_Timer);
    connect(m_schedule, &PollSchedule::statusText, Panel1, &QLabel::setText);
    connect(m_schedule, &PollSchedule::countdownOff, tmrAutoStart, &QTimer::stop);

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

    // Entries whose windows are not part of this build yet stay visible but unavailable.
    for (QAction* pending : {mnuPreview, mnuChoose, mnuPrintReport})
        pending->setEnabled(false);

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
    connect(mnuViewLog, &QAction::triggered, this, &frmVigilStat::mnuViewLog_Click);
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
    m_busy = false;
    m_settings.LoadSettings();
    m_unitStatus.clear();
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
    return WindowRules::iconFile(QStringLiteral("KELP.ico"));
}

void frmVigilStat::showNormalIcon()
{
    setWindowTitle(kCaption);
    setWindowIcon(normalIcon());
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

void frmVigilStat::mnuViewLog_Click()
{
    frmExceptionLog::ViewExceptionLog(m_settings, this);
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
    m_schedule->tick(false, m_operatingMode);
}

void frmVigilStat::onOptionSaved(Settings::Option option)
{
    if (option == Settings::Option::FileSaveOption)
        mnuChoose->setVisible(m_settings.option(option) == 1);
}
