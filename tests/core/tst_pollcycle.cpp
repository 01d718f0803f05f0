#include "directory/AddressListFile.h"
#include "exceptions/DetectionMemory.h"
#include "platform/DialUp.h"
#include "ScriptedPlatform.h"
#include "SimulatedSite.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The outcome line of each result code; 1 is the status mode's.
const QStringList outcomes{u"    Unable to Connect..."_s,
                           u"    Connected and Received Status Successfully!"_s,
                           u"    Unable to Connect ( Invalid Password )..."_s,
                           u"    Unable to Connect ( Rejected )..."_s,
                           u"    Operation Timed out"_s,
                           u"    Operation Timed out from Data Block"_s,
                           u"    Internal Error!"_s,
                           u"    Modem could not Connect..."_s};

QString outcome(int mode, int result)
{
    return mode == 1 && result == 1 ? u"    Connected and Synchronized Unit Successfully!"_s
                                    : outcomes.at(result);
}

// "group/command" of every frame a unit received.
QString requestsOf(const SimulatedUnit& unit)
{
    QStringList out;
    for (const QByteArray& frame : unit.framesReceived())
        out << u"%1/%2"_s.arg(quint8(frame.at(2))).arg(quint8(frame.at(3)));
    return out.join(u' ');
}

QByteArray logText(const Settings& settings)
{
    return TestFiles::read(settings.exceptionLogPath());
}

// The log-in, the block read, and the clock (23:59:59 sends 60) before the rest of the block.
const QByteArray syncFrames = "ffff050000000005020d370c01ffff0400000000013dffff0401000000113d"
                              "173b3c010f1a30313233343536373839";

enum Flags { DateBox = 1, FullLength = 2, Stop = 4, Automatic = 8 };

// Every fault of the simulator and every unit type; a unit listed twice, one not selected, and
// two on a telephone line (one of them busy) that lead to the first unit.
void addMixedFleet(SimulatedSite& site, ScriptedPlatform& platform)
{
    for (const char* faults :
         {"", "refuse-connection", "never-answer", "silent", "answer-late=300", "pieces=3",
          "close-at-once", "refuse-login=0", "refuse-login=2", "ignore-block-read",
          "short-block=10", "garbage", "oversized-length", "scripted-answer=ffff6900000000010a"})
        QVERIFY(site.addUnit(QString::fromLatin1(faults)));
    for (int type : {1, 2, 3, 4, 80, 96})
        QVERIFY(site.addUnit({}, type));
    site.lists.append(site.lists.record(2));
    site.lists.Status[5] = site.lists.Syn[5] = u"0"_s;
    for (const QString& phone : {u"555 0101"_s, u"555 0102"_s})
        site.lists.append(
            {phone, phone, SimulatedSite::unitPassword, u"GMT"_s, u"OFF"_s, u"1"_s, u"1"_s});
    platform.dialUp.farEnd = site.lists.DataStr[0];
    platform.dialUp.outcomes[u"555 0102"_s].steps = {{DialUp::StateConnecting, 676}};
}

// What a cycle leaves behind: the slots' outcomes, each unit's lines (which must come together),
// the event log and the report file, with times blanked, since unit clocks run on.
QStringList outcomeOf(const SimulatedSite& site)
{
    QStringList slots, blocks, log = QString::fromLatin1(logText(site.settings)).split(u"\r\n"_s);
    for (int i = 0; i < site.lists.count(); ++i) {
        const UnitStatusSlot& slot = site.cycle->table()[i];
        slots << u"%1 %2 %3"_s.arg(slot.attempted).arg(slot.connected).arg(slot.resultCode);
    }
    for (const QString& line : site.report.mid(1, site.report.size() - 4))
        (line.startsWith(u'[') ? blocks.emplaceBack() : blocks.last()) += line;
    blocks.sort();
    log.sort();
    slots << QString::fromUtf8(TestFiles::read(site.cycle->reports().lastReportPath()));
    return (slots + blocks + log)
        .replaceInStrings(QRegularExpression(u"\\d+[:/]\\d+[:/]\\d+( [AP]M)?"_s), u"#"_s);
}

} // namespace

class TestPollCycle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void oneUnit_data();
    void oneUnit();
    void wholeCycle_data();
    void wholeCycle();
    void severalAtOnce_data() { wholeCycle_data(); }
    void severalAtOnce();
    void passwordValue();
    void scheduleLoadsTheListFile();
};

void TestPollCycle::oneUnit_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("faults"); // of the simulator, or "no address" or "phone=how"
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("requests");
    QTest::addColumn<int>("flags");
    const auto row = [](const char* name, int mode, const char* faults, int result,
                        const char* requests, int flags = 0) {
        QTest::newRow(name) << mode << QString::fromLatin1(faults) << result
                            << QString::fromLatin1(requests) << flags;
    };
    row("never answers, real time-out", 0, "never-answer", 4, "5/1", FullLength);
    row("status without a clock", 0, "scripted-answer=ffff69010000000400000000", 1, "5/1", DateBox);
    row("refusal code 10", 0, "scripted-answer=ffff6900000000010a", 6, "5/1");
    row("refusal without a code", 0, "scripted-answer=ffff690000000000", 6, "5/1");
    row("empty address", 0, "no address", 0, "");
    row("dialled", 0, "phone", 1, "5/1");
    row("dialled, line busy", 0, "phone=busy", 7, "");
    row("dialled, too slow", 0, "phone=slow", 7, "");
    row("stopped while dialling", 0, "phone=hang", 7, "", Stop);
    row("password refused", 1, "refuse-login=2", 2, "5/0");
    row("log-in rejected", 1, "refuse-login=0", 3, "5/0");
    row("block read ignored", 1, "ignore-block-read", 5, "5/0 4/0");
    row("block too short", 1, "short-block=10", 5, "5/0 4/0");
    row("stopped while synchronizing", 1, "never-answer", 4, "5/0", Stop | Automatic);
}

void TestPollCycle::oneUnit()
{
    QFETCH(int, mode);
    QFETCH(QString, faults);
    QFETCH(int, result);
    QFETCH(QString, requests);
    QFETCH(int, flags);
    ScriptedPlatform platform;
    SimulatedSite site;
    site.settings.SaveOption(Settings::Option::PollingOption, (flags & Automatic) ? 1 : 0);
    const bool dialled = faults.startsWith(u"phone"_s);
    SimulatedUnit* unit = site.addUnit(dialled || faults == u"no address"_s ? QString() : faults);
    QVERIFY(unit);
    if (faults == u"no address"_s)
        site.lists.DataStr[0].clear();
    if (dialled) { // the scripted line leads to the simulated unit
        const QString how = faults.section(u'=', 1);
        site.lists.DataStr[0] = u"555 0100"_s;
        platform.dialUp.farEnd = unit->config().address.toString();
        if (how == u"busy"_s || how == u"hang"_s) // busy, or no answer at all
            platform.dialUp.defaultOutcome.steps = {
                {DialUp::StateConnecting, how == u"busy"_s ? 676 : 0}};
        platform.dialUp.defaultOutcome.speed = how == u"slow"_s ? 9600 : 0;
    }
    PollCycle& cycle = site.newCycle((flags & FullLength) ? CycleTimings{10, 50, {}}
                                                          : SimulatedSite::fastTimings());
    QElapsedTimer clock;
    clock.start();
    QString line = outcome(mode, result);
    if (flags & Stop) {
        QVERIFY(cycle.Start(mode));
        QTRY_VERIFY(cycle.isBusy());
        cycle.Stop();
        QVERIFY(cycle.statusText() == u"Please wait..."_s && !cycle.Start(mode));
        // Idle only once the conversation has ended, on its own, in its own slot, unreported.
        QTRY_VERIFY_WITH_TIMEOUT(cycle.phase() == PollCycle::Phase::Idle, 30000);
        QCOMPARE(cycle.table()[0].resultCode, result);
        QCOMPARE(cycle.statusText(),
                 mode == 0 ? u"Polling Stopped!"_s : u"Synchronizing Stopped!"_s);
        line = u"    The %1%2 Process Was Cancelled By User!"_s.arg(
            (flags & Automatic) ? u"Automatic "_s : QString(),
            mode == 0 ? u"Polling"_s : u"Synchronizing"_s);
        QCOMPARE(site.report.size(), 4); // nothing after the cancellation
        site.report = QStringList{site.report[1], site.report[3]};
    } else {
        site.report = site.run(mode);
    }
    QVERIFY(!(flags & FullLength) || clock.elapsed() >= 5000);
    const QString address = site.lists.DataStr[0];
    QCOMPARE(site.report.mid(0, 2), QStringList({u"[1] "_s + address + u" - Unit 1"_s, line}));
    const UnitStatusSlot& slot = cycle.table()[0];
    QVERIFY(slot.attempted && slot.pollTime.isValid() && slot.connected == (result == 1));
    QCOMPARE(u"%1 %2 %3"_s.arg(slot.resultCode).arg(slot.address, slot.description),
             u"%1 %2 Unit 1"_s.arg(result).arg(address));
    QTRY_COMPARE(requestsOf(*unit), requests); // a status poll never sends the password
    QCOMPARE(platform.prompts.notified.size(), (flags & DateBox) ? 1 : 0);
    QVERIFY(!(flags & DateBox) ||
            platform.prompts.notified.first().text.startsWith(u"Invalid unit date"_s));
    // A failed dial tells why; no line stays up.
    QCOMPARE(platform.prompts.shown.size(),
             faults.startsWith(u"phone="_s) && !(flags & Stop) ? 1 : 0);
    QCOMPARE(platform.dialUp.connectionCount(), 0);
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
    ScriptedPlatform platform;
    platform.clock.utc = QDateTime(QDate(2026, 1, 15), QTime(23, 59, 59), Qt::UTC);
    SimulatedSite site;
    SimulatedUnit* first = site.addUnit();
    SimulatedUnit* skipped = site.addUnit();
    QVERIFY(first && skipped && site.addUnit(u"refuse-connection"_s) &&
            site.addUnit(u"pieces=3"_s, 3));
    (mode == 0 ? site.lists.Status : site.lists.Syn)[1] = u"0"_s;
    const QStringList a = site.lists.DataStr;
    site.settings.SaveOption(Settings::Option::FileSaveOption, 1);
    site.settings.SaveOption(Settings::Option::PrinterOption, 1);
    site.newCycle();
    if (mode == 1)
        site.run(0); // so that the clock writes have previous statuses to mark
    const QByteArray logBefore = logText(site.settings);
    const qsizetype skippedBefore = skipped->framesReceived().size();

    QVERIFY(site.cycle->Start(mode));
    site.lists.clear(); // the cycle keeps the lists it started with
    QTRY_VERIFY_WITH_TIMEOUT(site.cycle->phase() == PollCycle::Phase::Idle, 30000);
    const QString ok = outcome(mode, 1);
    QCOMPARE(site.report.mid(1),
             QStringList({u"[1] "_s + a[0] + u" - Unit 1"_s, ok, u"[2] "_s + a[2] + u" - Unit 3"_s,
                          outcomes[0], u"[3] "_s + a[3] + u" - Unit 4"_s, ok, QString(),
                          mode == 0 ? u"    The Polling Process Was Sucessfully Finished!"_s
                                    : u"    The Synchronizing Process Was Sucessfully Finished!"_s,
                          QString()}));
    QCOMPARE(site.cycle->statusText(),
             mode == 0 ? u"Finished Polling"_s : u"Finished Synchronizing"_s);
    const UnitStatusTable& table = site.cycle->table();
    QCOMPARE(QList<int>({table[0].resultCode, table[2].resultCode, table[3].resultCode}),
             QList<int>({1, 0, 1}));
    QVERIFY(!table[1].attempted && skipped->framesReceived().size() == skippedBefore);
    QCOMPARE(site.cycle->report().selectedAddresses, QStringList({a[0], a[2], a[3]}));
    QCOMPARE(site.cycle->reports().lastReportPath().section(u'/', -1),
             mode == 0 ? u"report0000.txt"_s : u"report0001.txt"_s);
    QCOMPARE(platform.printer.jobs.size(), mode + 1);
    if (mode == 0) {
        QCOMPARE(first->framesReceived().first().toHex(), QByteArray("ffff050100000000"));
        QVERIFY(table[0].statusText.startsWith(a[0] + u"  -  Unit 1   "_s));
        QCOMPARE(logText(site.settings), // the refused unit
                 u"\"%1\",\"Unit 3\",\"1/15/2026 11:59:59 PM\",\"15\",\"\",\"\"\r\n"_s.arg(a[2])
                     .toLatin1());
    } else {
        QVERIFY(table[0].statusText.isEmpty());
        QCOMPARE(logText(site.settings), logBefore);
        QTRY_COMPARE(first->framesReceived().mid(1).join().toHex(), syncFrames);
        // The next status poll does not take the clock jump for a reboot.
        const auto marked = [&](int i) {
            return DetectionMemory::shared().previousStatus(a[i])->resetMark;
        };
        QVERIFY(marked(0) && marked(3) && !marked(1));
    }
    // A list with nothing selected ends at the first tick.
    site.lists.append({u"127.0.0.1"_s, {}, {}, {}, {}, u"0"_s, u"0"_s});
    QCOMPARE(site.run(mode).size(), 3);
    QCOMPARE(site.settings.rollingNumber(), mode + 2);
    if (mode == 0) { // a record or report file that cannot be written is told in the report
        const QString log = site.settings.exceptionLogPath();
        QVERIFY(QFile::remove(log) && QDir().mkpath(log));
        site.settings.setReportSaveFolder(site.cycle->reports().lastReportPath()); // a file
        QVERIFY(site.addUnit(u"refuse-connection"_s));
        const QStringList lines = site.run(0);
        QCOMPARE(lines.value(2), u"    Could not add an exception record to "_s + log);
        QVERIFY(lines.last().startsWith(u"    Could not write the report file "_s +
                                        site.settings.reportSaveFolder()));
    }
}

void TestPollCycle::severalAtOnce()
{
    QFETCH(int, mode);
    ScriptedPlatform platform;
    SimulatedSite site;
    addMixedFleet(site, platform);
    QStringList outcomes[2];
    for (int units : {1, 8}) {
        site.settings.setConcurrentUnits(units);
        QFile::remove(site.settings.exceptionLogPath());
        DetectionMemory::shared().clear(); // both cycles meet the units for the first time
        QCOMPARE(site.run(mode).last(), QString());
        outcomes[units > 1] = outcomeOf(site);
    }
    QCOMPARE(outcomes[1], outcomes[0]);
    // Passwords go to the units and nowhere else.
    QVERIFY(!outcomes[0].join(u'\n').contains(SimulatedSite::unitPassword));
    QVERIFY2(site.fleet.peakConnections() > 1 && site.fleet.peakConnections() <= 8,
             qPrintable(QString::number(site.fleet.peakConnections())));

    // Stopped while four run: nothing is told after the cancellation, and no further unit starts.
    site.cycle->setConcurrentUnits(4); // in place of the setting
    QVERIFY(site.cycle->Start(mode));
    QTRY_VERIFY(site.cycle->runningCount() == 4 && site.report.size() > 2);
    const int told = site.report.size();
    site.cycle->Stop();
    QVERIFY(!site.cycle->Start(mode));
    QTRY_VERIFY_WITH_TIMEOUT(site.cycle->phase() == PollCycle::Phase::Idle, 10000);
    QVERIFY(site.report.size() == told + 2 && site.report.last().endsWith(u"By User!"_s));
    QVERIFY(!site.cycle->table()[site.lists.count() - 1].attempted);
    QCOMPARE(platform.dialUp.connectionCount(), 0);
}

void TestPollCycle::passwordValue()
{
    // Computed in 64 bits; the low 32 are sent.
    const QList<std::pair<QString, quint32>> values{{u"abc"_s, 980000},
                                                    {u"ab"_s, 0},
                                                    {u"abcde"_s, 0},
                                                    {u"\u00ff\u00ff\u00ff\u00ff"_s, 0xfd03fe00}};
    for (const auto& [password, value] : values)
        QCOMPARE(quint32(UnitConversation::PasswordValue(password)), value);
}

// With no list loaded, a start by the schedule loads the list file.
void TestPollCycle::scheduleLoadsTheListFile()
{
    ScriptedPlatform platform;
    SimulatedSite site;
    QVERIFY(site.addUnit());
    QVERIFY(SaveAddressList(platform.programFolder.file(u"IPAddressList.ipl"_s), site.lists));
    site.lists.clear();
    site.newCycle().setAutomaticStart(true);
    QCOMPARE(site.run(0).value(1), outcomes[1]);
    QVERIFY(!site.cycle->automaticStart());
}

QTEST_GUILESS_MAIN(TestPollCycle)
#include "tst_pollcycle.moc"
