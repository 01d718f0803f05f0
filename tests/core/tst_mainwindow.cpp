#include "core/forms/frmVigilStat.h"
#include "core/SingleInstance.h"
#include "ModalDriver.h"
#include "platform/forms/IconFile.h"
#include "ScriptedPlatform.h"
#include "settings/AppPassword.h"

#include <memory>
#include <optional>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void captionsMenusAndAccessKeys();
    void controlsAndTimersAtStart();
    void startsInTheStoredMode_data();
    void startsInTheStoredMode();
    void menuModePersistsOptionButtonsDoNot();
    void chooseReportFollowsFileSaveOption();
    void storedPollingOptionStartsTheCountdown();
    void setupDialogsAndTheCountdown();
    void secondInstanceIsRefused();
    void gateAsksOnceThenAgainAfterActivate();
    void wrongPasswordIsRefused();
    void enterKeyConfirmsThePassword();
    void changePasswordNeedsTwoEqualEntries();
    void aboutOffersSystemInfoOnlyWhenInstalled();

private:
    std::unique_ptr<frmVigilStat> startWindow();
    void seedOption(const char* key, const char* value)
    {
        m_platform->registry.seed(QStringLiteral("VigilStat"), QStringLiteral("Options"),
                                  QString::fromLatin1(key), QString::fromLatin1(value));
    }
    QAction* action(frmVigilStat& w, const char* name)
    {
        auto* a = w.findChild<QAction*>(QString::fromLatin1(name));
        if (!a)
            qFatal("no action %s", name);
        return a;
    }
    // Triggers mnuChangePassword and reports which dialogs opened, closing each with Cancel
    // unless a password is given for the gate.
    QStringList openChangePassword(frmVigilStat& w, const QString& password);

    std::optional<ScriptedPlatform> m_platform;
    std::optional<QTemporaryDir> m_lockDir;
    std::optional<SingleInstance> m_instance;
};

void TestMainWindow::init()
{
    m_platform.emplace();
    m_lockDir.emplace();
    m_instance.emplace(m_lockDir->filePath(QStringLiteral("VigilStat.lock")));
}

void TestMainWindow::cleanup()
{
    m_instance.reset();
    m_lockDir.reset();
    m_platform.reset();
}

std::unique_ptr<frmVigilStat> TestMainWindow::startWindow()
{
    m_instance->release();
    auto w = std::make_unique<frmVigilStat>();
    if (!w->Load(*m_instance))
        qFatal("start-up refused");
    return w;
}

void TestMainWindow::captionsMenusAndAccessKeys()
{
    auto w = startWindow();
    QCOMPARE(w->windowTitle(), QStringLiteral("VigilStat"));

    QStringList bar;
    for (QAction* a : w->menuBar()->actions())
        bar << a->text();
    QCOMPARE(bar, (QStringList{"&File", "Se&tup", "A&bout"}));

    const auto entries = [](QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions())
            out << a->objectName() + u'=' + a->text();
        return out;
    };
    QCOMPARE(entries(w->findChild<QMenu*>(QStringLiteral("mnuFile"))),
             (QStringList{"mnuPreview=Preview &Report", "mnuChoose=&Choose Report",
                          "mnuPrintReport=&Print Report", "mnuViewLog=&View Exception Log",
                          "mnuExit=E&xit"}));
    QCOMPARE(entries(w->findChild<QMenu*>(QStringLiteral("mnuSetup"))),
             (QStringList{"mnuAddressSetup=Setup Unit Address &List",
                          "mnuPrintSaveConfigure=Configure &Report Printing and Saving ",
                          "mnuConfigurePoll=C&onfigure Poll Frequency",
                          "mnuExceptionSetup=&Exception Filters Setup", "=Operating &Mode",
                          "mnuChangePassword=&Change Password",
                          "mnuActivatePassword=&Activate Password"}));
    QCOMPARE(entries(w->findChild<QMenu*>(QStringLiteral("mnuOperatingMode"))),
             (QStringList{"mnuStatus=Status Message Retrieval",
                          "mnuUnitTime=Unit Time Synchronization"}));
    QVERIFY(action(*w, "mnuChangePassword")->isEnabled());
    QVERIFY(action(*w, "mnuActivatePassword")->isEnabled());
    QVERIFY(action(*w, "mnuExit")->isEnabled());
}

void TestMainWindow::controlsAndTimersAtStart()
{
    auto w = startWindow();
    const auto timer = [&](const char* name) {
        return w->findChild<QTimer*>(QString::fromLatin1(name));
    };
    QCOMPARE(timer("tmrPoll")->interval(), 1000);
    QCOMPARE(timer("tmrAutoStart")->interval(), 1000);
    QCOMPARE(timer("tmrMain")->interval(), 900);
    for (const char* name : {"tmrPoll", "tmrAutoStart", "tmrMain"})
        QVERIFY2(!timer(name)->isActive(), name);
    QCOMPARE(w->findChild<QPushButton*>(QStringLiteral("cmdStart"))->text(),
             QStringLiteral("&Start"));
    // Built in: no icon file lies in the test's program folder or beside it.
    const QImage icon = w->windowIcon().pixmap(48, 48).toImage();
    QCOMPARE(icon.size(), QSize(48, 48));
    QCOMPARE(icon, iconFile(QStringLiteral("KELP.ico")).pixmap(48, 48).toImage());
    QCOMPARE(iconFile(QStringLiteral("W95MBX03.ico")).pixmap(48, 48).size(), QSize(48, 48));
    QCOMPARE(w->findChild<QRadioButton*>(QStringLiteral("Option1"))->text(),
             QStringLiteral("Status Message"));
    QCOMPARE(w->findChild<QRadioButton*>(QStringLiteral("Option2"))->text(),
             QStringLiteral("Unit Synchronization"));
    QVERIFY(w->findChild<QWidget*>(QStringLiteral("StatusBar1")));
    QVERIFY(!w->isUnlocked());
    QVERIFY(m_platform->registry.isEmpty());
}

void TestMainWindow::startsInTheStoredMode_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("mode");
    QTest::newRow("nothing stored") << QString() << 0;
    QTest::newRow("status") << "0" << 0;
    QTest::newRow("synchronization") << "1" << 1;
    QTest::newRow("unknown value") << "2" << 0;
}

void TestMainWindow::startsInTheStoredMode()
{
    QFETCH(QString, stored);
    QFETCH(int, mode);
    if (!stored.isNull())
        seedOption("OperatingMode", qPrintable(stored));
    auto w = startWindow();
    QCOMPARE(w->operatingMode(), mode);
    QCOMPARE(action(*w, "mnuStatus")->isChecked(), mode == 0);
    QCOMPARE(action(*w, "mnuUnitTime")->isChecked(), mode == 1);
    QCOMPARE(w->findChild<QRadioButton*>(QStringLiteral("Option2"))->isChecked(), mode == 1);
}

void TestMainWindow::menuModePersistsOptionButtonsDoNot()
{
    {
        auto w = startWindow();
        action(*w, "mnuUnitTime")->trigger();
        QCOMPARE(w->operatingMode(), 1);
        QVERIFY(!action(*w, "mnuStatus")->isChecked());
        QVERIFY(action(*w, "mnuUnitTime")->isChecked());
    }
    {
        auto w = startWindow();
        QCOMPARE(w->operatingMode(), 1);
        QTest::mouseClick(w->findChild<QRadioButton*>(QStringLiteral("Option1")), Qt::LeftButton);
        QCOMPARE(w->operatingMode(), 0);
        QVERIFY(action(*w, "mnuUnitTime")->isChecked()); // the menu is left as it was
    }
    auto w = startWindow();
    QCOMPARE(w->operatingMode(), 1);
    action(*w, "mnuUnitTime")->trigger(); // choosing the checked entry keeps it checked
    QVERIFY(action(*w, "mnuUnitTime")->isChecked());
    action(*w, "mnuStatus")->trigger();
    auto again = startWindow();
    QCOMPARE(again->operatingMode(), 0);
}

void TestMainWindow::chooseReportFollowsFileSaveOption()
{
    auto w = startWindow();
    QVERIFY(!action(*w, "mnuChoose")->isVisible());
    w->settings().SaveOption(Settings::Option::FileSaveOption, 1);
    QVERIFY(action(*w, "mnuChoose")->isVisible());
    w->settings().SaveOption(Settings::Option::FileSaveOption, 0);
    QVERIFY(!action(*w, "mnuChoose")->isVisible());

    seedOption("FileSaveOption", "1");
    auto numbered = startWindow();
    QVERIFY(action(*numbered, "mnuChoose")->isVisible());
}

void TestMainWindow::storedPollingOptionStartsTheCountdown()
{
    {
        auto manual = startWindow();
        QVERIFY(!manual->findChild<QTimer*>(QStringLiteral("tmrAutoStart"))->isActive());
    }
    seedOption("PollingOption", "1");
    auto automatic = startWindow();
    QVERIFY(automatic->findChild<QTimer*>(QStringLiteral("tmrAutoStart"))->isActive());
}

void TestMainWindow::setupDialogsAndTheCountdown()
{
    m_platform->clock.setLocal(wallClock(QDate(2026, 6, 10), QTime(12, 0)));
    seedOption("PollingOption", "1");
    auto w = startWindow();
    openChangePassword(*w, QStringLiteral("admin"));
    auto* countdown = w->findChild<QTimer*>(QStringLiteral("tmrAutoStart"));
    const auto open = [&](const char* entry, const char* dialog, auto act) {
        QString opened;
        ModalDriver::onNext(QString(), [&](QWidget* d) {
            opened = d->objectName();
            act(d);
        });
        action(*w, entry)->trigger();
        QCOMPARE(opened, QString::fromLatin1(dialog));
    };
    const auto cancel = [](QWidget* d) { ModalDriver::click(d, "cmdCancel"); };
    open("mnuPrintSaveConfigure", "frmConfiguration", cancel);
    open("mnuExceptionSetup", "frmExceptionSetup", cancel);
    w->schedule().tick(false, 0);
    // The countdown rests while the poll frequency is edited; cancelling keeps its next start,
    // saving starts it over from the settings.
    open("mnuConfigurePoll", "frmConfigurePoll", [&](QWidget* d) {
        QVERIFY(!countdown->isActive());
        cancel(d);
    });
    w->schedule().tick(false, 0);
    QCOMPARE(w->schedule().nextStart(), wallClock(QDate(2026, 6, 11), QTime(0, 0)));
    open("mnuConfigurePoll", "frmConfigurePoll", [](QWidget* d) {
        ModalDriver::child<QComboBox>(d, QStringLiteral("Combo1"))->setCurrentIndex(47);
        ModalDriver::child<QRadioButton>(d, QStringLiteral("Option2"))->click();
        ModalDriver::click(d, "cmdOK");
    });
    QVERIFY(countdown->isActive());
    w->schedule().tick(false, 0);
    const QDateTime start = wallClock(QDate(2026, 6, 10), QTime(23, 30));
    QCOMPARE(w->schedule().nextStart(), start);

    // The schedule starts the cycle itself (one unit, not selected: it ends at its first tick);
    // once only, the countdown stays off after it.
    w->unitLists().append({"127.0.0.1", "Unit", "", "GMT", "OFF", "0", "0"});
    w->cycle().setTimings(CycleTimings{10, 10, {}});
    QSignalSpy ended(&w->cycle(), &PollCycle::cycleEnded);
    m_platform->clock.setLocal(start);
    QTRY_COMPARE(ended.size(), 1);
    QVERIFY(!countdown->isActive());
}

void TestMainWindow::secondInstanceIsRefused()
{
    SingleInstance first(m_lockDir->filePath(QStringLiteral("VigilStat.lock")));
    QVERIFY(first.tryAcquire());

    frmVigilStat second;
    QVERIFY(!second.Load(*m_instance));
    QCOMPARE(m_platform->prompts.shown.size(), 1);
    QCOMPARE(m_platform->prompts.shown[0].title, QStringLiteral("Message"));
    QCOMPARE(
        m_platform->prompts.shown[0].text,
        QStringLiteral("You can't run the second instance of VigilStat on the same computer!"));
    QVERIFY(m_platform->registry.isEmpty());

    first.release();
    frmVigilStat later;
    QVERIFY(later.Load(*m_instance));
    m_instance->release();

    // A lock left behind by an instance that crashed does not block the next start.
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    QVERIFY(gone.waitForStarted());
    const qint64 deadPid = gone.processId();
    QVERIFY(gone.waitForFinished());
    QFile stale(m_lockDir->filePath(QStringLiteral("VigilStat.lock")));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write(QByteArray::number(deadPid) + '\n' + QCoreApplication::applicationName().toUtf8() +
                '\n' + QSysInfo::machineHostName().toUtf8() + '\n');
    stale.close();
    frmVigilStat afterCrash;
    QVERIFY(afterCrash.Load(*m_instance));
}

QStringList TestMainWindow::openChangePassword(frmVigilStat& w, const QString& password)
{
    QStringList opened;
    if (!password.isNull()) {
        ModalDriver::onNext(QStringLiteral("frmEnterPassword"), [&](QWidget* d) {
            opened << d->objectName();
            ModalDriver::type(d, "txtPassword", password);
            ModalDriver::click(d, "cmdOK");
        });
    }
    // Whatever opens next (the gate again, or the protected dialog) is cancelled.
    QTimer::singleShot(0, this, [&] {
        ModalDriver::onNext(QString(), [&](QWidget* d) {
            if (opened.isEmpty() || d->objectName() != opened.last())
                opened << d->objectName();
            ModalDriver::click(d, "cmdCancel");
        });
    });
    action(w, "mnuChangePassword")->trigger();
    return opened;
}

void TestMainWindow::gateAsksOnceThenAgainAfterActivate()
{
    auto w = startWindow();
    QCOMPARE(openChangePassword(*w, QStringLiteral("admin")),
             (QStringList{"frmEnterPassword", "frmChangePassword"}));
    QVERIFY(w->isUnlocked());
    QCOMPARE(openChangePassword(*w, QString()), QStringList{"frmChangePassword"});

    action(*w, "mnuActivatePassword")->trigger();
    QVERIFY(!w->isUnlocked());
    QCOMPARE(openChangePassword(*w, QStringLiteral("admin")),
             (QStringList{"frmEnterPassword", "frmChangePassword"}));

    // A restart locks again.
    auto restarted = startWindow();
    QVERIFY(!restarted->isUnlocked());
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestMainWindow::wrongPasswordIsRefused()
{
    auto w = startWindow();
    QStringList opened;
    ModalDriver::onNext(QStringLiteral("frmEnterPassword"), [&](QWidget* d) {
        opened << d->objectName();
        ModalDriver::type(d, "txtPassword", QStringLiteral("Admin"));
        ModalDriver::click(d, "cmdOK");
    });
    action(*w, "mnuChangePassword")->trigger();
    QCOMPARE(opened, QStringList{"frmEnterPassword"});
    QCOMPARE(m_platform->prompts.texts(), QStringList{"Incorrect Password Entered..."});
    QCOMPARE(m_platform->prompts.shown[0].title, QStringLiteral("Message"));
    QVERIFY(!w->isUnlocked());

    // Cancel refuses as well, without a message.
    m_platform->prompts.clear();
    ModalDriver::onNext(QStringLiteral("frmEnterPassword"),
                        [](QWidget* d) { ModalDriver::click(d, "cmdCancel"); });
    QVERIFY(w->PasswordGate());
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestMainWindow::enterKeyConfirmsThePassword()
{
    auto w = startWindow();
    ModalDriver::onNext(QStringLiteral("frmEnterPassword"), [](QWidget* d) {
        auto* box = d->findChild<QLineEdit*>(QStringLiteral("txtPassword"));
        QCOMPARE(box->maxLength(), 8);
        QCOMPARE(box->echoMode(), QLineEdit::Password);
        QVERIFY(box->text().isEmpty());
        QTest::keyClicks(box, QStringLiteral(" admin  "));
        QCOMPARE(box->text(), QStringLiteral(" admin  ")); // eight characters fit
        QTest::keyClick(box, Qt::Key_Return);
    });
    QVERIFY(!w->PasswordGate());
    QVERIFY(w->isUnlocked());
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestMainWindow::changePasswordNeedsTwoEqualEntries()
{
    auto w = startWindow();
    // Unlock first so that only the change dialog opens.
    ModalDriver::onNext(QStringLiteral("frmEnterPassword"), [](QWidget* d) {
        ModalDriver::type(d, "txtPassword", QStringLiteral("admin"));
        ModalDriver::click(d, "cmdOK");
    });
    QVERIFY(!w->PasswordGate());

    bool stayedOpen = false;
    ModalDriver::onNext(QStringLiteral("frmChangePassword"), [&](QWidget* d) {
        ModalDriver::type(d, "txtNewPassword", QStringLiteral("night"));
        ModalDriver::type(d, "txtRetypePassword", QStringLiteral("nigth"));
        ModalDriver::click(d, "cmdOK");
        stayedOpen = d->isVisible();
        QVERIFY(d->findChild<QLineEdit*>(QStringLiteral("txtRetypePassword"))->text().isEmpty());
        QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("txtNewPassword"))->text(),
                 QStringLiteral("night"));
        // Empty entries are refused too.
        ModalDriver::type(d, "txtNewPassword", QString());
        ModalDriver::click(d, "cmdOK");
        // Now the same entry twice; Enter in the second box confirms.
        ModalDriver::type(d, "txtNewPassword", QStringLiteral("night"));
        ModalDriver::type(d, "txtRetypePassword", QStringLiteral("night"));
        QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("txtRetypePassword")),
                        Qt::Key_Return);
    });
    action(*w, "mnuChangePassword")->trigger();
    QVERIFY(stayedOpen);
    QCOMPARE(m_platform->prompts.texts(),
             (QStringList{"Please Reenter the password", "Please Reenter the password",
                          "Password Accepted!"}));
    const QString encoded = EncodeAppPassword(QStringLiteral("night"));
    QCOMPARE(w->settings().encodedPassword(), encoded);
    QCOMPARE(m_platform->registry.value(QStringLiteral("VigilStat"), QStringLiteral("Security"),
                                        QStringLiteral("EncodedPassword")),
             std::optional<QString>(encoded));

    // The new password is in force at once.
    action(*w, "mnuActivatePassword")->trigger();
    m_platform->prompts.clear();
    ModalDriver::onNext(QStringLiteral("frmEnterPassword"), [](QWidget* d) {
        ModalDriver::type(d, "txtPassword", QStringLiteral("admin"));
        ModalDriver::click(d, "cmdOK");
    });
    QVERIFY(w->PasswordGate());
    ModalDriver::onNext(QStringLiteral("frmEnterPassword"), [](QWidget* d) {
        ModalDriver::type(d, "txtPassword", QStringLiteral("night"));
        ModalDriver::click(d, "cmdOK");
    });
    QVERIFY(!w->PasswordGate());
}

void TestMainWindow::aboutOffersSystemInfoOnlyWhenInstalled()
{
    auto w = startWindow();
    bool hadButton = true;
    ModalDriver::onNext(QStringLiteral("frmAbout"), [&](QWidget* d) {
        hadButton = d->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")) != nullptr;
        QVERIFY(d->findChild<QLabel*>(QStringLiteral("lblVersion"))
                    ->text()
                    .contains(QStringLiteral(VIGILSTAT_VERSION)));
        ModalDriver::click(d, "cmdOK");
    });
    action(*w, "mnuAbout")->trigger();
    QVERIFY(!hadButton);

    m_platform->launcher.viewer = QStringLiteral("/usr/bin/hardinfo");
    ModalDriver::onNext(QStringLiteral("frmAbout"), [&](QWidget* d) {
        ModalDriver::click(d, "cmdSysInfo");
        ModalDriver::click(d, "cmdOK");
    });
    action(*w, "mnuAbout")->trigger();
    QCOMPARE(m_platform->launcher.calls.size(), 1);
    QCOMPARE(m_platform->launcher.calls[0].what, QStringLiteral("sysinfo"));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
