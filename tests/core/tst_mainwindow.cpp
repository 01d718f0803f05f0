#include "core/forms/frmVigilStat.h"
#include "core/SingleInstance.h"
#include "core/UnitListLoader.h"
#include "directory/AddressListFile.h"
#include "ModalDriver.h"
#include "platform/forms/IconFile.h"
#include "ScriptedPlatform.h"
#include "settings/AppPassword.h"
#include "TestFiles.h"
#include "UnitLists.h"

#include <memory>
#include <optional>
#include <QAction>
#include <QComboBox>
#include <QDir>
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

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_instance.reset(); // unlocked before its folder goes
        m_platform.emplace();
        m_lockDir.emplace();
        m_instance.emplace(lockPath());
    }

    void startUp()
    {
        auto w = startWindow();
        QCOMPARE(w->windowTitle(), u"VigilStat"_s);
        QStringList menus;
        for (QAction* bar : w->menuBar()->actions()) {
            menus << bar->text();
            for (QAction* a : bar->menu() ? bar->menu()->actions() : QList<QAction*>{}) {
                menus << a->objectName() + u'=' + a->text();
                if (a->menu())
                    for (QAction* sub : a->menu()->actions())
                        menus << sub->objectName() + u'=' + sub->text();
            }
        }
        QCOMPARE(menus,
                 (QStringList{"&File", "mnuPreview=Preview &Report", "mnuChoose=&Choose Report",
                              "mnuPrintReport=&Print Report", "mnuViewLog=&View Exception Log",
                              "mnuExit=E&xit", "Se&tup", "mnuAddressSetup=Setup Unit Address &List",
                              "mnuPrintSaveConfigure=Configure &Report Printing and Saving ",
                              "mnuConfigurePoll=C&onfigure Poll Frequency",
                              "mnuExceptionSetup=&Exception Filters Setup", "=Operating &Mode",
                              "mnuStatus=Status Message Retrieval",
                              "mnuUnitTime=Unit Time Synchronization",
                              "mnuChangePassword=&Change Password",
                              "mnuActivatePassword=&Activate Password", "A&bout"}));
        QCOMPARE(child<QTimer>(*w, "tmrPoll")->interval(), 1000);
        QCOMPARE(child<QTimer>(*w, "tmrAutoStart")->interval(), 1000);
        QCOMPARE(child<QTimer>(*w, "tmrMain")->interval(), 900);
        for (const char* name : {"tmrPoll", "tmrAutoStart", "tmrMain"})
            QVERIFY2(!child<QTimer>(*w, name)->isActive(), name);
        QCOMPARE(child<QPushButton>(*w, "cmdStart")->text(), u"&Start"_s);
        // Built in: no icon file lies in the test's program folder or beside it.
        const QImage icon = w->windowIcon().pixmap(48, 48).toImage();
        QCOMPARE(icon.size(), QSize(48, 48));
        QCOMPARE(icon, iconFile(u"KELP.ico"_s).pixmap(48, 48).toImage());
        QCOMPARE(iconFile(u"W95MBX03.ico"_s).pixmap(48, 48).size(), QSize(48, 48));
        QCOMPARE(child<QRadioButton>(*w, "Option1")->text(), u"Status Message"_s);
        QCOMPARE(child<QRadioButton>(*w, "Option2")->text(), u"Unit Synchronization"_s);
        QVERIFY(!w->isUnlocked());
        QVERIFY(m_platform->registry.isEmpty());

        // Stored options take effect at start-up; "&Choose Report" follows its option live.
        QVERIFY(!child(*w, "mnuChoose")->isVisible());
        w->settings().SaveOption(Settings::Option::FileSaveOption, 1);
        QVERIFY(child(*w, "mnuChoose")->isVisible());
        w->settings().SaveOption(Settings::Option::FileSaveOption, 0);
        QVERIFY(!child(*w, "mnuChoose")->isVisible());
        seedOption(u"FileSaveOption"_s, u"1"_s);
        seedOption(u"PollingOption"_s, u"1"_s);
        w = startWindow();
        QVERIFY(child(*w, "mnuChoose")->isVisible());
        QVERIFY(child<QTimer>(*w, "tmrAutoStart")->isActive());

        // "&System Info..." only where a viewer is installed.
        for (const QString& viewer : {QString(), u"/usr/bin/hardinfo"_s}) {
            m_platform->launcher.viewer = viewer;
            ModalDriver::onNext(u"frmAbout"_s, [](QWidget* d) {
                const QString version = d->findChild<QLabel*>(u"lblVersion"_s)->text();
                QVERIFY(version.contains(QStringLiteral(VIGILSTAT_VERSION)));
                if (auto* sysInfo = d->findChild<QPushButton*>(u"cmdSysInfo"_s))
                    QTest::mouseClick(sysInfo, Qt::LeftButton);
                ModalDriver::click(d, "cmdOK");
            });
            child(*w, "mnuAbout")->trigger();
        }
        QCOMPARE(m_platform->launcher.calls.size(), 1);
    }

    void operatingMode_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("mode");
        QTest::newRow("nothing stored") << QString() << 0;
        QTest::newRow("synchronization") << "1" << 1;
        QTest::newRow("unknown value") << "2" << 0;
    }

    // The menu entries switch the mode for good; the option buttons only for this run.
    void operatingMode()
    {
        QFETCH(QString, stored);
        QFETCH(int, mode);
        if (!stored.isNull())
            seedOption(u"OperatingMode"_s, stored);
        auto w = startWindow();
        QCOMPARE(w->operatingMode(), mode);
        QCOMPARE(child(*w, "mnuStatus")->isChecked(), mode == 0);
        QCOMPARE(child(*w, "mnuUnitTime")->isChecked(), mode == 1);
        QCOMPARE(child<QRadioButton>(*w, "Option2")->isChecked(), mode == 1);

        QTest::mouseClick(child<QRadioButton>(*w, mode ? "Option1" : "Option2"), Qt::LeftButton);
        QCOMPARE(w->operatingMode(), 1 - mode);
        QCOMPARE(child(*w, "mnuUnitTime")->isChecked(), mode == 1);
        QCOMPARE(startWindow()->operatingMode(), mode);

        child(*w, mode ? "mnuStatus" : "mnuUnitTime")->trigger();
        child(*w, mode ? "mnuStatus" : "mnuUnitTime")->trigger(); // the checked entry stays checked
        QVERIFY(child(*w, mode ? "mnuStatus" : "mnuUnitTime")->isChecked());
        QCOMPARE(startWindow()->operatingMode(), 1 - mode);
    }

    void singleInstance()
    {
        SingleInstance first(lockPath());
        QVERIFY(first.tryAcquire());
        frmVigilStat second;
        QVERIFY(!second.Load(*m_instance));
        QCOMPARE(
            m_platform->prompts.texts(),
            QStringList{u"You can't run the second instance of VigilStat on the same computer!"_s});
        QCOMPARE(m_platform->prompts.shown[0].title, u"Message"_s);
        QVERIFY(m_platform->registry.isEmpty());
        first.release();

        // A lock left behind by an instance that crashed does not block the next start.
        QProcess gone;
        gone.start(u"true"_s, {});
        QVERIFY(gone.waitForStarted());
        const qint64 deadPid = gone.processId();
        QVERIFY(gone.waitForFinished());
        TestFiles::write(lockPath(), QByteArray::number(deadPid) + '\n' +
                                         QCoreApplication::applicationName().toUtf8() + '\n' +
                                         QSysInfo::machineHostName().toUtf8() + '\n');
        frmVigilStat afterCrash;
        QVERIFY(afterCrash.Load(*m_instance));
    }

    // Asked once per run, again after "&Activate Password" and after a restart; a wrong
    // password or Cancel refuses. A changed password is in force at once.
    void passwordGateAndChange()
    {
        auto w = startWindow();
        answerGate(u"Admin"_s);
        QVERIFY(w->PasswordGate());
        QCOMPARE(m_platform->prompts.texts(), QStringList{u"Incorrect Password Entered..."_s});
        QCOMPARE(m_platform->prompts.shown[0].title, u"Message"_s);
        answerGate(u" admin  "_s, true); // blanks around count for nothing
        QVERIFY(!w->PasswordGate());
        QVERIFY(w->isUnlocked());
        QVERIFY(!w->PasswordGate()); // no dialog this time
        QVERIFY(!startWindow()->isUnlocked());

        m_platform->prompts.clear();
        bool stayedOpen = false;
        ModalDriver::onNext(u"frmChangePassword"_s, [&](QWidget* d) {
            ModalDriver::type(d, "txtNewPassword", u"night"_s);
            ModalDriver::type(d, "txtRetypePassword", u"nigth"_s);
            ModalDriver::click(d, "cmdOK");
            stayedOpen = d->isVisible();
            QVERIFY(d->findChild<QLineEdit*>(u"txtRetypePassword"_s)->text().isEmpty());
            ModalDriver::type(d, "txtNewPassword", QString()); // empty entries are refused too
            ModalDriver::click(d, "cmdOK");
            ModalDriver::type(d, "txtNewPassword", u"night"_s);
            ModalDriver::type(d, "txtRetypePassword", u"night"_s);
            QTest::keyClick(d->findChild<QLineEdit*>(u"txtRetypePassword"_s), Qt::Key_Return);
        });
        child(*w, "mnuChangePassword")->trigger();
        QVERIFY(stayedOpen);
        QCOMPARE(m_platform->prompts.texts(),
                 (QStringList{"Please Reenter the password", "Please Reenter the password",
                              "Password Accepted!"}));
        QCOMPARE(m_platform->registry.value(u"VigilStat"_s, u"Security"_s, u"EncodedPassword"_s)
                     .value_or(QString()),
                 EncodeAppPassword(u"night"_s));

        child(*w, "mnuActivatePassword")->trigger();
        QVERIFY(!w->isUnlocked());
        answerGate(u"admin"_s);
        QVERIFY(w->PasswordGate());
        // Every protected command asks; closing the gate refuses.
        QStringList opened;
        ModalDriver::onNext({}, [&](QWidget* d) {
            opened << d->objectName();
            d->close();
        });
        child(*w, "mnuAddressSetup")->trigger();
        QCOMPARE(opened, QStringList{u"frmEnterPassword"_s});
        answerGate(u"night"_s);
        QVERIFY(!w->PasswordGate());
    }

    // The Setup dialogs open behind the gate; the countdown rests while the poll frequency is
    // edited, cancelling keeps its next start, saving starts it over, and the schedule starts the
    // cycle itself.
    void setupDialogsAndTheCountdown()
    {
        m_platform->clock.setLocal(wallClock(QDate(2026, 6, 10), QTime(12, 0)));
        seedOption(u"PollingOption"_s, u"1"_s);
        auto w = startWindow();
        answerGate(u"admin"_s);
        QVERIFY(!w->PasswordGate());
        auto* countdown = w->findChild<QTimer*>(u"tmrAutoStart"_s);
        const auto open = [&](const char* entry, const char* dialog, auto act) {
            QString opened;
            ModalDriver::onNext(QString(), [&](QWidget* d) {
                opened = d->objectName();
                act(d);
            });
            child(*w, entry)->trigger();
            QCOMPARE(opened, QString::fromLatin1(dialog));
        };
        const auto cancel = [](QWidget* d) { ModalDriver::click(d, "cmdCancel"); };
        open("mnuPrintSaveConfigure", "frmConfiguration", cancel);
        open("mnuExceptionSetup", "frmExceptionSetup", cancel);
        w->schedule().tick(false, 0);
        open("mnuConfigurePoll", "frmConfigurePoll", [&](QWidget* d) {
            QVERIFY(!countdown->isActive());
            cancel(d);
        });
        w->schedule().tick(false, 0);
        QCOMPARE(w->schedule().nextStart(), wallClock(QDate(2026, 6, 11), QTime(0, 0)));
        open("mnuConfigurePoll", "frmConfigurePoll", [](QWidget* d) {
            ModalDriver::child<QComboBox>(d, u"Combo1"_s)->setCurrentIndex(47);
            ModalDriver::child<QRadioButton>(d, u"Option2"_s)->click();
            ModalDriver::click(d, "cmdOK");
        });
        QVERIFY(countdown->isActive());
        w->schedule().tick(false, 0);
        const QDateTime start = wallClock(QDate(2026, 6, 10), QTime(23, 30));
        QCOMPARE(w->schedule().nextStart(), start);

        // One unit, not selected: the cycle ends at its first tick; once only, the countdown
        // stays off after it.
        w->unitLists().append({"127.0.0.1", "Unit", "", "GMT", "OFF", "0", "0"});
        w->cycle().setTimings(CycleTimings{10, 10, {}});
        QSignalSpy ended(&w->cycle(), &PollCycle::cycleEnded);
        m_platform->clock.setLocal(start);
        QTRY_COMPARE(ended.size(), 1);
        QVERIFY(!countdown->isActive());
    }

    // The list file named by "IPFileName": relative names lie in the program folder.
    void unitListLoader()
    {
        m_platform->registry.seed(u"VigilStat"_s, u"Folder"_s, u"IPFileName"_s,
                                  u"lists\\north.ipl"_s);
        Settings settings;
        settings.LoadSettings();
        UnitAddressList units;
        UnitListLoader loader(units, settings);
        const QString path = m_platform->programFolder.file(u"lists/north.ipl"_s);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QVERIFY(SaveAddressList(path, UnitLists::threeUnits()));
        QVERIFY(loader.load());
        QCOMPARE(units, UnitLists::threeUnits());
    }

private:
    QString lockPath() const { return m_lockDir->filePath(u"VigilStat.lock"_s); }
    std::unique_ptr<frmVigilStat> startWindow()
    {
        m_instance->release();
        auto w = std::make_unique<frmVigilStat>();
        if (!w->Load(*m_instance))
            qFatal("start-up refused");
        return w;
    }
    template <typename T = QAction> T* child(frmVigilStat& w, const char* name)
    {
        return w.findChild<T*>(QString::fromLatin1(name));
    }
    void seedOption(const QString& key, const QString& value)
    {
        m_platform->registry.seed(u"VigilStat"_s, u"Options"_s, key, value);
    }
    // Gives the password to the gate's dialog when it opens.
    static void answerGate(const QString& password, bool pressEnter = false)
    {
        ModalDriver::onNext(u"frmEnterPassword"_s, [=](QWidget* d) {
            auto* box = d->findChild<QLineEdit*>(u"txtPassword"_s);
            QVERIFY(box->maxLength() == 8 && box->echoMode() == QLineEdit::Password);
            ModalDriver::type(d, "txtPassword", password);
            if (pressEnter)
                QTest::keyClick(d->findChild<QLineEdit*>(u"txtPassword"_s), Qt::Key_Return);
            else
                ModalDriver::click(d, "cmdOK");
        });
    }

    std::optional<ScriptedPlatform> m_platform;
    std::optional<QTemporaryDir> m_lockDir;
    std::optional<SingleInstance> m_instance;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
