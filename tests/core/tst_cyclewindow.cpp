#include "core/forms/frmVigilStat.h"
#include "core/SingleInstance.h"
#include "ScriptedPlatform.h"
#include "SimulatedSite.h"

#include <memory>
#include <optional>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
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
    void init();
    void cleanup();

    void cycleInTheWindow_data();
    void cycleInTheWindow();
    void stopKeepsStartUntilTheEnd();
    void notification_data();
    void notification();

private:
    frmVigilStat& startWindow();
    template <typename T> T* child(const char* name)
    {
        auto* found = m_window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no %s", name);
        return found;
    }
    bool waitForIdle()
    {
        return QTest::qWaitFor(
            [this] { return m_window->cycle().phase() == PollCycle::Phase::Idle; }, 30000);
    }

    std::optional<ScriptedPlatform> m_platform;
    std::optional<QTemporaryDir> m_lockDir;
    std::optional<SingleInstance> m_instance;
    std::optional<SimulatedSite> m_site;
    std::unique_ptr<frmVigilStat> m_window;
};

void TestCycleWindow::init()
{
    m_platform.emplace();
    m_lockDir.emplace();
    m_instance.emplace(m_lockDir->filePath(u"VigilStat.lock"_s));
    m_site.emplace();
}

void TestCycleWindow::cleanup()
{
    m_window.reset();
    m_site.reset();
    m_instance.reset();
    m_lockDir.reset();
    m_platform.reset();
}

frmVigilStat& TestCycleWindow::startWindow()
{
    m_window = std::make_unique<frmVigilStat>();
    if (!m_window->Load(*m_instance))
        qFatal("start-up refused");
    m_window->unitLists() = m_site->lists;
    m_window->cycle().setTimings(SimulatedSite::fastTimings());
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    if (!QTest::qWaitForWindowActive(m_window.get()))
        qFatal("window not active");
    return *m_window;
}

void TestCycleWindow::cycleInTheWindow_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("automatic");
    QTest::newRow("status, started by the user") << 0 << false;
    QTest::newRow("synchronization, started by the user") << 1 << false;
    QTest::newRow("status, started by the schedule") << 0 << true;
}

void TestCycleWindow::cycleInTheWindow()
{
    QFETCH(int, mode);
    QFETCH(bool, automatic);
    for (int i = 0; i < 30; ++i)
        QVERIFY(m_site->addUnit());
    frmVigilStat& w = startWindow();
    auto* start = child<QPushButton>("cmdStart");
    auto* report = child<QTextEdit>("Text2");
    child<QRadioButton>(mode == 0 ? "Option1" : "Option2")->click();
    start->setFocus();
    QSignalSpy lines(&w.cycle(), &PollCycle::reportLine);

    if (automatic) {
        w.cycle().setAutomaticStart(true);
        QVERIFY(w.cycle().Start(mode));
    } else {
        QTest::mouseClick(start, Qt::LeftButton);
    }
    QVERIFY(w.cycle().isRunning());
    QCOMPARE(start->text(), u"&Stop"_s);
    QVERIFY(start->isEnabled());
    // The mode cannot change under a running cycle, nor can the setup.
    for (const char* name : {"Option1", "Option2"})
        QVERIFY(!child<QRadioButton>(name)->isEnabled());
    QVERIFY(!child<QMenu>("mnuSetup")->menuAction()->isEnabled());
    QVERIFY(!child<QAction>("mnuUnitTime")->isEnabled());
    QCOMPARE(child<QAction>("mnuViewLog")->isVisible(), mode == 1);

    QVERIFY(waitForIdle());
    QStringList expected;
    for (const QList<QVariant>& line : lines)
        expected << line.first().toString();
    QCOMPARE(report->toPlainText(), expected.join(u'\n'));
    QScrollBar* bar = report->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), automatic ? 0 : bar->maximum());
    QCOMPARE(QApplication::focusWidget(), start); // the report never takes the focus
    QCOMPARE(start->text(), u"&Start"_s);
    QVERIFY(child<QMenu>("mnuSetup")->menuAction()->isEnabled());
    QVERIFY(child<QRadioButton>("Option1")->isEnabled());
    QVERIFY(child<QAction>("mnuViewLog")->isVisible());
}

void TestCycleWindow::stopKeepsStartUntilTheEnd()
{
    QVERIFY(m_site->addUnit(u"never-answer"_s));
    frmVigilStat& w = startWindow();
    auto* start = child<QPushButton>("cmdStart");
    start->setFocus();
    QTest::mouseClick(start, Qt::LeftButton);
    QTRY_VERIFY(w.cycle().isBusy());
    QTest::mouseClick(start, Qt::LeftButton);
    QVERIFY(!start->isEnabled());
    QVERIFY(!child<QMenu>("mnuSetup")->menuAction()->isEnabled());
    QCOMPARE(child<QLabel>("Panel1")->text(), u"Please wait..."_s);
    QVERIFY(waitForIdle());
    QVERIFY(start->isEnabled());
    QCOMPARE(start->text(), u"&Start"_s);
    QCOMPARE(QApplication::focusWidget(), start);
    QCOMPARE(child<QLabel>("Panel1")->text(), u"Polling Stopped!"_s);
}

void TestCycleWindow::notification_data()
{
    QTest::addColumn<QString>("notifyBy");
    QTest::addColumn<bool>("caption");
    QTest::addColumn<int>("beeps");
    QTest::newRow("beeps") << u"0"_s << false << 3;
    QTest::newRow("caption and icon") << u"1"_s << true << 0;
    QTest::newRow("both") << u"2"_s << true << 3;
}

void TestCycleWindow::notification()
{
    QFETCH(QString, notifyBy);
    QFETCH(bool, caption);
    QFETCH(int, beeps);
    m_platform->registry.seed(u"VigilStat"_s, u"Options"_s, u"NotifyBy"_s, notifyBy);
    QVERIFY(m_site->addUnit(u"refuse-connection"_s)); // "Unable to connect" notifies
    frmVigilStat& w = startWindow();
    QSignalSpy beeped(&w, &frmVigilStat::beeped);
    QTest::mouseClick(child<QPushButton>("cmdStart"), Qt::LeftButton);
    QVERIFY(waitForIdle());

    QCOMPARE(w.windowTitle(), caption ? u"VigilStat-Exception Log Updated!"_s : u"VigilStat"_s);
    QCOMPARE(w.logUpdated(), caption);
    QTRY_COMPARE(beeped.size(), beeps);
    child<QAction>("mnuViewLog")->trigger();
    QCOMPARE(w.windowTitle(), u"VigilStat"_s);
    QVERIFY(!w.logUpdated());
}

QTEST_MAIN(TestCycleWindow)
#include "tst_cyclewindow.moc"
