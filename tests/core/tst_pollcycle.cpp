#include "core/PollCycle.h"
#include "directory/AddressListFile.h"
#include "exceptions/DetectionMemory.h"
#include "exceptions/EventRecord.h"
#include "platform/Locale.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"
#include "SimulatedSite.h"

#include <memory>
#include <optional>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString statusOk = u"    Connected and Received Status Successfully!"_s;
const QString syncOk = u"    Connected and Synchronized Unit Successfully!"_s;
const QString timedOut = u"    Operation Timed out"_s;
const QString unableToConnect = u"    Unable to Connect..."_s;
const QString statusRequest = u"ffff050100000000"_s;

// An answer frame as a unit sends it.
QByteArray answer(quint8 code, quint8 subCode, const QByteArray& payload)
{
    return UnitConversation::RequestFrame(code, subCode, payload);
}

// "group/command" of every frame a unit received.
QStringList requestsOf(const SimulatedUnit& unit)
{
    QStringList out;
    for (const QByteArray& frame : unit.framesReceived())
        out << u"%1/%2"_s.arg(quint8(frame.at(2))).arg(quint8(frame.at(3)));
    return out;
}

} // namespace

class TestPollCycle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void oneUnit_data();
    void oneUnit();
    void wholeCycle_data();
    void wholeCycle();
    void logInFrame_data();
    void logInFrame();
    void clockFrame_data();
    void clockFrame();
    void stopLetsTheConversationEnd_data();
    void stopLetsTheConversationEnd();
    void nothingSelected();
    void startWithoutAList_data();
    void startWithoutAList();
    void unwritableLogIsReported();
    void timeOutAtFullLength();

private:
    PollCycle& newCycle(const CycleTimings& timings = SimulatedSite::fastTimings());
    // Runs a cycle to its end and returns its live report.
    QStringList run(int mode);
    QString heading() const;
    QStringList closing(int mode) const;
    QStringList logRecords() const;

    std::optional<ScriptedPlatform> m_platform;
    std::optional<Settings> m_settings;
    std::optional<SimulatedSite> m_site;
    std::unique_ptr<PollCycle> m_cycle;
    std::unique_ptr<ReportRecorder> m_report;
};

void TestPollCycle::init()
{
    m_platform.emplace();
    m_settings.emplace();
    m_settings->LoadSettings();
    m_site.emplace();
    DetectionMemory::shared().clear();
}

void TestPollCycle::cleanup()
{
    m_report.reset();
    m_cycle.reset();
    m_site.reset();
    m_settings.reset();
    m_platform.reset();
}

PollCycle& TestPollCycle::newCycle(const CycleTimings& timings)
{
    m_cycle = std::make_unique<PollCycle>(*m_settings, m_site->lists, nullptr);
    m_cycle->setTimings(timings);
    m_report = std::make_unique<ReportRecorder>(*m_cycle);
    return *m_cycle;
}

QStringList TestPollCycle::run(int mode)
{
    if (!m_cycle)
        newCycle();
    if (!m_cycle->Start(mode))
        return {u"(no start)"_s};
    if (!QTest::qWaitFor([this] { return m_cycle->phase() == PollCycle::Phase::Idle; }, 30000))
        return {u"(no end)"_s};
    return m_report->lines;
}

QString TestPollCycle::heading() const
{
    return u"                    --- "_s +
           m_platform->locale.generalDateTimeText(m_platform->clock.localNow()) + u" ---"_s;
}

QStringList TestPollCycle::closing(int mode) const
{
    return {QString(),
            mode == 0 ? u"    The Polling Process Was Sucessfully Finished!"_s
                      : u"    The Synchronizing Process Was Sucessfully Finished!"_s,
            QString()};
}

QStringList TestPollCycle::logRecords() const
{
    QFile file(m_settings->exceptionLogPath());
    QStringList out;
    if (!file.open(QIODevice::ReadOnly))
        return out;
    for (QByteArray line : file.readAll().split('\n')) {
        if (const auto record = EventRecord::fromLine(line.trimmed()))
            out << record->description + u':' + record->exceptionString;
    }
    return out;
}

void TestPollCycle::oneUnit_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("address"); // "sim": the simulated unit's
    QTest::addColumn<QString>("faults");
    QTest::addColumn<QByteArray>("scripted"); // raw answer in place of every answer
    QTest::addColumn<QString>("password");    // as listed; "" keeps the unit's own
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<bool>("dateBox");

    const QString sim = u"sim"_s;
    const QStringList status{u"5/1"_s};
    const QStringList login{u"5/0"_s};
    const QStringList read{u"5/0"_s, u"4/0"_s};
    const auto row = [&](const char* name, int mode, const QString& faults, const QString& outcome,
                         int result, const QStringList& requests) {
        QTest::newRow(name) << mode << sim << faults << QByteArray() << QString() << outcome
                            << result << requests << false;
    };
    row("answers", 0, {}, statusOk, 1, status);
    row("answers in pieces", 0, u"pieces=4"_s, statusOk, 1, status);
    row("never answers", 0, u"never-answer"_s, timedOut, 4, status);
    row("closes at once", 0, u"close-at-once"_s, timedOut, 4, {});
    row("answers garbage", 0, u"garbage"_s, timedOut, 4, status);
    row("announces a huge length", 0, u"oversized-length"_s, timedOut, 4, status);
    row("refuses the connection", 0, u"refuse-connection"_s, unableToConnect, 0, {});
    row("silent", 0, u"silent"_s, unableToConnect, 0, {});
    row("synchronizes", 1, {}, syncOk, 1, {u"5/0"_s, u"4/0"_s, u"4/1"_s});
    row("answers the log-in in pieces", 1, u"pieces=3"_s, syncOk, 1,
        {u"5/0"_s, u"4/0"_s, u"4/1"_s});
    row("log-in refused as invalid", 1, u"refuse-login=2"_s,
        u"    Unable to Connect ( Invalid Password )..."_s, 2, login);
    row("log-in rejected", 1, u"refuse-login=0"_s, u"    Unable to Connect ( Rejected )..."_s, 3,
        login);
    row("log-in internal error", 1, u"refuse-login=3"_s, u"    Internal Error!"_s, 6, login);
    row("log-in never answered", 1, u"never-answer"_s, timedOut, 4, login);
    row("block read ignored", 1, u"ignore-block-read"_s,
        u"    Operation Timed out from Data Block"_s, 5, read);
    row("block too short", 1, u"short-block=10"_s, u"    Operation Timed out from Data Block"_s, 5,
        read);

    QTest::newRow("wrong password")
        << 1 << sim << QString() << QByteArray() << u"4321"_s
        << u"    Unable to Connect ( Invalid Password )..."_s << 2 << login << false;
    const auto scripted = [&](const char* name, const QByteArray& answer, const QString& outcome,
                              int result) {
        QTest::newRow(name) << 0 << sim << QString() << answer << QString() << outcome << result
                            << status << false;
    };
    scripted("refusal 0", answer(105, 0, QByteArray(1, 0)),
             u"    Unable to Connect ( Rejected )..."_s, 3);
    scripted("refusal code 9", answer(105, 0, QByteArray(1, 9)), u"    Internal Error!"_s, 6);
    scripted("refusal code 10", answer(105, 0, QByteArray(1, 10)), u"    Internal Error!"_s, 6);
    scripted("refusal without its code", answer(105, 0, {}), u"    Internal Error!"_s, 6);
    QTest::newRow("status without a clock")
        << 0 << sim << QString() << answer(105, 1, QByteArray(20, 0)) << QString() << statusOk << 1
        << status << true;

    QTest::newRow("empty address") << 0 << QString() << QString() << QByteArray() << QString()
                                   << unableToConnect << 0 << QStringList() << false;
    QTest::newRow("blank address, synchronizing")
        << 1 << u"  "_s << QString() << QByteArray() << QString() << unableToConnect << 0
        << QStringList() << false;
}

void TestPollCycle::oneUnit()
{
    QFETCH(int, mode);
    QFETCH(QString, address);
    QFETCH(QString, faults);
    QFETCH(QByteArray, scripted);
    QFETCH(QString, password);
    QFETCH(QString, outcome);
    QFETCH(int, result);
    QFETCH(QStringList, requests);
    QFETCH(bool, dateBox);

    SimulatedUnit* unit = m_site->addUnit(faults);
    QVERIFY(unit);
    if (!scripted.isEmpty())
        unit->faults().scriptedAnswer = {scripted};
    if (!password.isEmpty())
        m_site->lists.Password[0] = password;
    if (address != u"sim"_s)
        m_site->lists.DataStr[0] = address;
    const QString listed = m_site->lists.DataStr[0];

    const QStringList expected =
        QStringList{heading(), u"[1] "_s + listed + u" - Unit 1"_s, outcome} + closing(mode);
    QCOMPARE(run(mode), expected);
    const UnitStatusSlot& slot = m_cycle->table()[0];
    QVERIFY(slot.attempted);
    QCOMPARE(slot.address, listed);
    QCOMPARE(slot.description, u"Unit 1"_s);
    QCOMPARE(slot.resultCode, result);
    QCOMPARE(slot.connected, result == 1);
    QVERIFY(slot.pollTime.isValid());
    // What the unit received, once its last frame has made it there.
    QTRY_COMPARE(requestsOf(*unit), requests);
    // A status poll never gives the password away.
    if (mode == 0)
        QVERIFY(!requestsOf(*unit).contains(u"5/0"_s));
    QCOMPARE(m_platform->prompts.notified.size(), dateBox ? 1 : 0);
    if (dateBox)
        QCOMPARE(m_platform->prompts.notified.first().text,
                 u"Invalid unit date detected. Please set unit to the correct date."_s);
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestPollCycle::wholeCycle_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("status") << 0;
    QTest::newRow("synchronization") << 1;
}

void TestPollCycle::wholeCycle()
{
    QFETCH(int, mode);
    SimulatedUnit* first = m_site->addUnit();
    SimulatedUnit* skipped = m_site->addUnit();
    m_site->addUnit(u"refuse-connection"_s);
    SimulatedUnit* last = m_site->addUnit(u"pieces=3"_s, 3);
    QVERIFY(first && skipped && last);
    (mode == 0 ? m_site->lists.Status : m_site->lists.Syn)[1] = u"0"_s;
    const QStringList addresses = m_site->lists.DataStr;
    newCycle();
    if (mode == 1)
        run(0); // so that the clock write has a previous status to mark
    const QStringList logBefore = logRecords();
    const qsizetype skippedBefore = skipped->framesReceived().size();
    QSignalSpy notified(m_cycle.get(), &PollCycle::exceptionNotification);

    QVERIFY(m_cycle->Start(mode));
    // The cycle keeps the lists it started with.
    m_site->lists.clear();
    QTRY_VERIFY_WITH_TIMEOUT(m_cycle->phase() == PollCycle::Phase::Idle, 30000);
    const QString ok = mode == 0 ? statusOk : syncOk;
    QCOMPARE(m_report->lines,
             QStringList({heading(), u"[1] "_s + addresses[0] + u" - Unit 1"_s, ok,
                          u"[2] "_s + addresses[2] + u" - Unit 3"_s, unableToConnect,
                          u"[3] "_s + addresses[3] + u" - Unit 4"_s, ok}) +
                 closing(mode));
    QCOMPARE(m_cycle->statusText(),
             mode == 0 ? u"Finished Polling"_s : u"Finished Synchronizing"_s);
    const UnitStatusTable& table = m_cycle->table();
    QCOMPARE(QList<int>({table[0].resultCode, table[2].resultCode, table[3].resultCode}),
             QList<int>({1, 0, 1}));
    QVERIFY(!table[1].attempted);
    QCOMPARE(skipped->framesReceived().size(), skippedBefore);
    QCOMPARE(m_cycle->report().selectedAddresses,
             QStringList({addresses[0], addresses[2], addresses[3]}));

    if (mode == 0) {
        QCOMPARE(first->framesReceived(),
                 QList<QByteArray>{QByteArray::fromHex(statusRequest.toLatin1())});
        QVERIFY(table[0].statusText.startsWith(addresses[0] + u"  -  Unit 1   "_s));
        QVERIFY(table[3].statusText.contains(u"Unit Type:  Korvo Tri"_s));
        // The refused unit is logged and announced.
        QCOMPARE(logRecords(), QStringList{u"Unit 3:15"_s});
        QCOMPARE(notified.size(), 1);
        QCOMPARE(notified.first().first().toInt(), 2);
    } else {
        QVERIFY(first->lastClockWrite().has_value());
        QVERIFY(table[0].statusText.isEmpty());
        QCOMPARE(logRecords(), logBefore);
        QVERIFY(notified.isEmpty());
        // The next status poll does not take the clock jump for a reboot.
        for (int i : {0, 3})
            QVERIFY(DetectionMemory::shared().previousStatus(addresses[i])->resetMark);
        QVERIFY(!DetectionMemory::shared().previousStatus(addresses[1])->resetMark);
    }
}

void TestPollCycle::logInFrame_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("value"); // the four bytes sent, in hex
    QTest::newRow("three characters") << u"abc"_s << u"000ef420"_s;
    QTest::newRow("four characters") << u"1234"_s << u"0071a120"_s;
    QTest::newRow("high characters, low 32 bits") << u"\u00ff\u00ff\u00ff\u00ff"_s << u"fd03fe00"_s;
    QTest::newRow("two characters") << u"ab"_s << u"00000000"_s;
    QTest::newRow("five characters") << u"abcde"_s << u"00000000"_s;
}

void TestPollCycle::logInFrame()
{
    QFETCH(QString, password);
    QFETCH(QString, value);
    SimulatedUnit* unit = m_site->addUnit();
    QVERIFY(unit);
    m_site->lists.Password[0] = password;
    run(1);
    QVERIFY(!unit->framesReceived().isEmpty());
    QCOMPARE(unit->framesReceived().first().toHex(), (u"ffff05000000000502"_s + value).toLatin1());
}

void TestPollCycle::clockFrame_data()
{
    QTest::addColumn<QDateTime>("utc");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QString>("dst");
    QTest::addColumn<QString>("clock"); // hour, minute, second + 1, month, day, year, in hex

    QTest::newRow("23:59:59 sends 60") << QDateTime(QDate(2026, 1, 15), QTime(22, 59, 59), Qt::UTC)
                                       << u"GMT+01:00"_s << u"OFF"_s << u"173b3c010f1a"_s;
    QTest::newRow("US summer time") << QDateTime(QDate(2026, 7, 4), QTime(3, 30, 0), Qt::UTC)
                                    << u"GMT-05:00"_s << u"USA"_s << u"171e0107031a"_s;
    QTest::newRow("year 2009 gives 9") << QDateTime(QDate(2009, 3, 1), QTime(10, 0, 0), Qt::UTC)
                                       << u"GMT"_s << u"OFF"_s << u"0a0001030109"_s;
}

void TestPollCycle::clockFrame()
{
    QFETCH(QDateTime, utc);
    QFETCH(QString, zone);
    QFETCH(QString, dst);
    QFETCH(QString, clock);
    m_platform->clock.utc = utc;
    SimulatedUnit* unit = m_site->addUnit();
    QVERIFY(unit);
    m_site->lists.TimeZone[0] = zone;
    m_site->lists.DST[0] = dst;
    run(1);
    QCOMPARE(m_cycle->table()[0].resultCode, 1);
    QTRY_COMPARE(unit->framesReceived().size(), 3);
    // The block read is sent back behind the new clock, unchanged.
    QCOMPARE(unit->framesReceived().at(1).toHex(), QByteArray("ffff0400000000013d"));
    QCOMPARE(unit->framesReceived().at(2).toHex(),
             (u"ffff0401000000113d"_s + clock + u"30313233343536373839"_s).toLatin1());
}

void TestPollCycle::stopLetsTheConversationEnd_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("automatic");
    QTest::addColumn<QString>("cancelled");
    QTest::addColumn<QString>("stopped");
    QTest::newRow("polling") << 0 << 0 << u"    The Polling Process Was Cancelled By User!"_s
                             << u"Polling Stopped!"_s;
    QTest::newRow("automatic polling")
        << 0 << 1 << u"    The Automatic Polling Process Was Cancelled By User!"_s
        << u"Polling Stopped!"_s;
    QTest::newRow("synchronizing")
        << 1 << 0 << u"    The Synchronizing Process Was Cancelled By User!"_s
        << u"Synchronizing Stopped!"_s;
    QTest::newRow("automatic synchronizing")
        << 1 << 1 << u"    The Automatic Synchronizing Process Was Cancelled By User!"_s
        << u"Synchronizing Stopped!"_s;
}

void TestPollCycle::stopLetsTheConversationEnd()
{
    QFETCH(int, mode);
    QFETCH(int, automatic);
    QFETCH(QString, cancelled);
    QFETCH(QString, stopped);
    m_settings->SaveOption(Settings::Option::PollingOption, qint16(automatic));
    QVERIFY(m_site->addUnit(u"never-answer"_s));
    SimulatedUnit* second = m_site->addUnit();
    PollCycle& cycle = newCycle();
    QList<bool> busyWhenIdle;
    connect(&cycle, &PollCycle::phaseChanged, this, [&](PollCycle::Phase phase) {
        if (phase == PollCycle::Phase::Idle)
            busyWhenIdle << cycle.isBusy();
    });

    QVERIFY(cycle.Start(mode));
    QTRY_VERIFY(cycle.isBusy());
    cycle.Stop();
    QCOMPARE(cycle.phase(), PollCycle::Phase::Stopping);
    QVERIFY(cycle.isCycleActive());
    QCOMPARE(cycle.statusText(), u"Please wait..."_s);
    QCOMPARE(m_report->lines.mid(2), QStringList({QString(), cancelled}));
    QVERIFY(!cycle.Start(mode)); // not before the conversation has ended

    QTRY_VERIFY_WITH_TIMEOUT(cycle.phase() == PollCycle::Phase::Idle, 30000);
    QCOMPARE(busyWhenIdle, QList<bool>{false});
    QCOMPARE(cycle.statusText(), stopped);
    // The conversation ended on its own, in its own slot, without a word in the report.
    QCOMPARE(m_report->lines.mid(2), QStringList({QString(), cancelled}));
    QCOMPARE(cycle.table()[0].resultCode, 4);
    QVERIFY(!cycle.table()[1].attempted);
    QVERIFY(second->framesReceived().isEmpty());
}

void TestPollCycle::nothingSelected()
{
    m_site->addRecord(u"127.0.0.1"_s, u"0"_s);
    QCOMPARE(run(0), QStringList{heading()} + closing(0));
    QCOMPARE(m_cycle->statusText(), u"Finished Polling"_s);
    QVERIFY(!m_cycle->table()[0].attempted);
}

void TestPollCycle::startWithoutAList_data()
{
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("by the user") << false << true << QStringList{u"No Unit Address list loaded!"_s};
    QTest::newRow("by the schedule, no file") << true << false << QStringList{u"Cannot open "_s};
    QTest::newRow("by the schedule, from the file") << true << true << QStringList();
}

void TestPollCycle::startWithoutAList()
{
    QFETCH(bool, automatic);
    QFETCH(bool, fileThere);
    QFETCH(QStringList, boxes);
    const QString file = m_platform->programFolder.file(u"IPAddressList.ipl"_s);
    if (fileThere) {
        QVERIFY(m_site->addUnit());
        QVERIFY(SaveAddressList(file, m_site->lists));
    }
    const UnitAddressList listed = m_site->lists;
    m_site->lists.clear();
    PollCycle& cycle = newCycle();
    cycle.setAutomaticStart(automatic);

    const bool starts = automatic && fileThere;
    QCOMPARE(cycle.Start(0), starts);
    QCOMPARE(m_platform->prompts.shown.size(), boxes.size());
    for (int i = 0; i < boxes.size(); ++i)
        QVERIFY(m_platform->prompts.shown[i].text.startsWith(boxes[i]));
    if (starts) {
        QTRY_VERIFY_WITH_TIMEOUT(cycle.phase() == PollCycle::Phase::Idle, 30000);
        QCOMPARE(m_site->lists, listed);
        QCOMPARE(cycle.table()[0].resultCode, 1);
    }
    QVERIFY(!cycle.automaticStart());
}

void TestPollCycle::unwritableLogIsReported()
{
    QVERIFY(QDir().mkpath(m_settings->exceptionLogPath())); // a folder where the file should be
    QVERIFY(m_site->addUnit(u"refuse-connection"_s));
    const QStringList lines = run(0);
    QCOMPARE(lines.at(3),
             u"    Could not add an exception record to "_s + m_settings->exceptionLogPath());
}

void TestPollCycle::timeOutAtFullLength()
{
    QVERIFY(m_site->addUnit(u"never-answer"_s));
    CycleTimings timings;
    timings.tickMs = 10;
    newCycle(timings);
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(run(0).at(2), timedOut);
    QVERIFY(clock.elapsed() >= 5000);
}

QTEST_GUILESS_MAIN(TestPollCycle)
#include "tst_pollcycle.moc"
