#include "core/forms/frmVigilStat.h"
#include "core/SingleInstance.h"
#include "directory/AddressListFile.h"
#include "ModalDriver.h"
#include "platform/forms/IconFile.h"
#include "ScriptedPlatform.h"
#include "SimulatedSite.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

using namespace Qt::StringLiterals;

// The poll cycle as the main window shows it.
class TestCycleWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cycleInTheWindow_data();
    void cycleInTheWindow();
};

void TestCycleWindow::cycleInTheWindow_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<QString>("notifyBy");
    QTest::addColumn<bool>("commandLine"); // vigilstat --start, on the list of the settings
    QTest::newRow("status by the user, beeps") << 0 << false << u"0"_s << false;
    QTest::newRow("status by the schedule, caption") << 0 << true << u"1"_s << false;
    QTest::newRow("synchronization by the user") << 1 << false << u"2"_s << false;
    QTest::newRow("status by --start") << 0 << false << u"2"_s << true;
}

void TestCycleWindow::cycleInTheWindow()
{
    QFETCH(int, mode);
    QFETCH(bool, automatic);
    QFETCH(QString, notifyBy);
    QFETCH(bool, commandLine);
    ScriptedPlatform platform;
    platform.registry.seed(u"VigilStat"_s, u"Options"_s, u"NotifyBy"_s, notifyBy);
    SimulatedSite site;
    QVERIFY(site.addUnit(u"refuse-connection"_s)); // it notifies
    for (int i = 0; i < 30; ++i)
        QVERIFY(site.addUnit());
    QTemporaryDir lockDir;
    SingleInstance instance(lockDir.filePath(u"VigilStat.lock"_s));
    frmVigilStat w;
    QVERIFY(w.Load(instance));
    if (!commandLine)
        w.unitLists() = site.lists;
    w.cycle().setTimings(SimulatedSite::fastTimings());
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const auto child = [&w](const char* name) { return w.findChild<QWidget*>(name); };
    const auto text = [&](const char* name) { return child(name)->property("text").toString(); };
    QWidget* start = child("cmdStart");
    QAction* setup = w.findChild<QMenu*>("mnuSetup")->menuAction();
    QAction* viewLog = w.findChild<QAction*>("mnuViewLog");
    QTest::mouseClick(child(mode == 0 ? "Option1" : "Option2"), Qt::LeftButton);
    start->setFocus();
    QSignalSpy beeped(&w, &frmVigilStat::beeped);

    w.cycle().setAutomaticStart(automatic);
    if (commandLine) {
        const QString listFile = platform.programFolder.file(u"IPAddressList.ipl"_s);
        w.StartWithListFile(); // no file yet: told, nothing starts
        QVERIFY(platform.prompts.texts().last().startsWith(u"Cannot open "_s) &&
                !w.cycle().isCycleActive());
        QVERIFY(SaveAddressList(listFile, site.lists));
        w.StartWithListFile();
    } else {
        QTest::mouseClick(start, Qt::LeftButton);
    }
    QCOMPARE(text("cmdStart"), u"&Stop"_s);
    // The mode cannot change under a running cycle, nor can the setup.
    QVERIFY(!setup->isEnabled() && !child("Option1")->isEnabled());
    QCOMPARE(viewLog->isVisible(), mode == 1);
    QVERIFY(QTest::qWaitFor([&] { return !w.cycle().isCycleActive(); }, 30000));
    auto* report = w.findChild<QTextEdit*>("Text2");
    QVERIFY(report->toPlainText().endsWith(u"Process Was Sucessfully Finished!\n"_s));
    QScrollBar* bar = report->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), automatic ? 0 : bar->maximum());
    QCOMPARE(QApplication::focusWidget(), start); // the report never takes the focus
    QVERIFY(start->isEnabled() && setup->isEnabled() && viewLog->isVisible());
    QCOMPARE(text("cmdStart"), u"&Start"_s);

    // The unit that failed is announced; opening the exception log calms the window.
    const bool caption = mode == 0 && notifyBy != u"0"_s;
    const auto image = [](const QIcon& icon) { return icon.pixmap(48, 48).toImage(); };
    QCOMPARE(w.windowTitle(), caption ? u"VigilStat-Exception Log Updated!"_s : u"VigilStat"_s);
    QCOMPARE(image(w.windowIcon()), image(iconFile(caption ? u"W95MBX03.ico"_s : u"KELP.ico"_s)));
    QTRY_COMPARE(beeped.size(), mode == 0 && notifyBy != u"1"_s ? 3 : 0);
    ModalDriver::onNext(u"frmExceptionLog"_s, [](QWidget* viewer) { viewer->close(); });
    viewLog->trigger();
    QCOMPARE(w.windowTitle(), u"VigilStat"_s);
    QCOMPARE(image(w.windowIcon()), image(iconFile(u"KELP.ico"_s)));
    QVERIFY(!w.logUpdated());
    // The report is printed in the mode of its cycle, whatever the mode is now.
    QTest::mouseClick(child(mode == 0 ? "Option2" : "Option1"), Qt::LeftButton);
    w.findChild<QAction*>("mnuPrintReport")->trigger();
    QCOMPARE(platform.prompts.texts().last(), u"Report has been printed!"_s);
    QCOMPARE(platform.printer.jobs.last().lines().first().text.contains(u"Synchronization"_s),
             mode == 1);
}

QTEST_MAIN(TestCycleWindow)
#include "tst_cyclewindow.moc"
