#include "BlockWriter.h"
#include "ExceptionLogFixture.h"
#include "exceptions/clsExceptionHandler.h"
#include "exceptions/ExceptionEventLog.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;
using TestFiles::read;

namespace {

using Option = Settings::Option;

// What a unit reports, field by field. The clock is given relative to the time the unit should
// show, so tests say "5 minutes fast" rather than a raw count.
struct UnitState
{
    quint8 typeByte = 0;
    quint8 recordStatus = 1;
    quint8 archiveStatus = 1;
    qint64 clockShift = 0;
    quint32 powerOn = 86400;
    quint8 swMajor = 3;
    quint8 swMinor = 5;
    quint16 capacity = 0x0250;
    quint16 currentAlarm = 0;
    quint16 currentVidloss = 0;
    quint16 historyAlarm = 0;
    quint16 historyVidloss = 0;
    quint8 hardware = 0;
};

// A block laid out as the unit kind lays it out. Every other byte is 0xEE, so a field read from
// the wrong place shows up as a wrong value.
QByteArray blockOf(const UnitState& s)
{
    const int kind = s.typeByte & 0x7F;
    const bool vehicle = kind == 4;
    const bool wide = kind == 1 || kind == 2 || kind == 3 || kind == 80; // 32-bit masks
    const int size = vehicle                   ? 103
                     : kind == 2 || kind == 3  ? 108
                     : kind == 1 || kind == 80 ? 59
                                               : 51;
    BlockWriter b(size, s.typeByte, char(0xEE));
    b.u8(11, s.recordStatus);
    if (!vehicle)
        b.u8(20, s.archiveStatus);
    const int clockAt = vehicle ? 20 : 29;
    const qint64 clock =
        wallClock(QDate(1960, 1, 1), QTime(0, 0)).secsTo(ExceptionLogFixture::kNow) + s.clockShift;
    b.u32(clockAt, quint32(clock)).u32(clockAt + 4, s.powerOn);
    const int swAt = vehicle ? 28 : 39;
    b.u8(swAt, s.swMajor).u8(swAt + 1, s.swMinor).u16(swAt + 2, s.capacity);
    const quint16 masks[] = {s.currentAlarm, s.currentVidloss, s.historyAlarm, s.historyVidloss};
    for (int i = 0; i < 4; ++i) {
        if (wide)
            b.u16(43 + 4 * i, 0xFFFF); // channels 17 to 32, which must be ignored
        b.u16((vehicle ? 32 : wide ? 45 : 43) + (wide ? 4 : 2) * i, masks[i]);
    }
    if (kind == 2 || kind == 3 || vehicle)
        b.u8(vehicle ? 102 : 106, s.hardware);
    return b;
}

} // namespace

Q_DECLARE_METATYPE(UnitState)

class TestExceptions : public QObject, ExceptionLogFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(); } // the PC runs on GMT; units below are GMT, no DST
    void cleanup() { tearDown(); }

    // Every field changed at once: each is read at its kind's offset, or its rule stays silent. A
    // block one byte short, or of a kind detection does not know, gives nothing and is not kept.
    void kinds_data()
    {
        QTest::addColumn<quint8>("typeByte");
        QTest::addColumn<int>("cut");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, quint8 typeByte, const char* expected, int cut = 0) {
            QTest::newRow(name) << typeByte << cut << QString::fromLatin1(expected);
        };
        const char* all = "1,4,7,8,9,10,11,12,18,19,20";
        const char* vehicle = "1,7,8,9,10,11,12,13,19,20";
        row("Korvo (0)", 0, all);
        row("Korvo, one byte short", 0, "", 1);
        row("ZPT (80)", 80, all);
        row("ZPT, one byte short", 80, "", 1);
        row("XCR (2)", 2, "1,4,7,8,9,10,11,12,13,18,19,20");
        row("XCR (2), no hardware byte", 2, "", 2);
        row("Korvo Tri (3)", 3, "1,4,7,8,9,10,11,12,13,18,19,20");
        row("vehicle (4)", 4, vehicle);
        row("vehicle, no hardware byte", 4, "", 1);
        row("vehicle, GB", 0x84, vehicle);
        row("unknown kind 5, GB", 0x85, "");
    }

    void kinds()
    {
        QFETCH(quint8, typeByte);
        QFETCH(int, cut);
        QFETCH(QString, expected);
        if (!cut)
            detect({.typeByte = typeByte, .clockShift = -300}, u"u"_s);
        UnitState all{
            .typeByte = typeByte, .recordStatus = 0, .archiveStatus = 3, .clockShift = 1800};
        all.powerOn = 10, all.swMajor = 7, all.capacity = 1, all.hardware = 2;
        all.currentAlarm = 0x0001, all.currentVidloss = 0x0102;
        all.historyAlarm = 0x8004, all.historyVidloss = 0x0040;
        QCOMPARE(handler().CreatExceptionString(blockOf(all).chopped(cut), u"u"_s, 0, 0), expected);
        QCOMPARE(DetectionMemory::shared().previousStatusCount(), expected.isEmpty() ? 0 : 1);
        QCOMPARE(clsExceptionHandler::alarmDetail(), expected.isEmpty() ? u""_s : u"32772+1"_s);
        QCOMPARE(clsExceptionHandler::videolossDetail(), expected.isEmpty() ? u""_s : u"64+258"_s);
    }

    // The codes of the second poll, "!" when they set the notify flag.
    void rules_data()
    {
        QTest::addColumn<UnitState>("first");
        QTest::addColumn<UnitState>("second");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("switchedOff"); // an option turned off, or -1
        const auto row = [](const char* name, const UnitState& second, const char* expected,
                            int switchedOff = -1, const UnitState& first = {}) {
            QTest::newRow(name) << first << second << QString::fromLatin1(expected) << switchedOff;
        };
        row("not recording", {.recordStatus = 0}, "1!");
        row("not recording, no notice", {.recordStatus = 0}, "1", int(Option::NotRecordingNotify));
        row("recording disk failure", {.recordStatus = 4}, "16!");
        row("recording disk full (2)", {.recordStatus = 2}, "17!");
        row("archive status changed to full", {.archiveStatus = 3}, "4,18!");
        row("archive device full", {.archiveStatus = 3}, "18!", -1, {.archiveStatus = 3});
        row("clock 15 minutes fast", {.clockShift = 15 * 60}, "");
        row("clock 16 minutes fast, never a notice", {.clockShift = 16 * 60}, "7");
        row("clock 15 minutes 30 s slow: 16 minute boundaries", {.clockShift = -930}, "7");
        row("current alarm", {.currentAlarm = 1}, "19!");
        row("history video loss with current", {.currentVidloss = 8, .historyVidloss = 2},
            "12,20!");
        const UnitState early{.clockShift = -300};
        row("clock 600 s on, powered on 597 s", {.clockShift = 300, .powerOn = 597}, "", -1, early);
        row("clock 600 s on, powered on 596 s", {.clockShift = 300, .powerOn = 596}, "8!", -1,
            early);
    }

    void rules()
    {
        QFETCH(UnitState, first);
        QFETCH(UnitState, second);
        QFETCH(QString, expected);
        QFETCH(int, switchedOff);
        if (switchedOff >= 0)
            m_settings->SaveOption(static_cast<Option>(switchedOff), 0);
        detect(first);
        clsExceptionHandler::clearNotifyFlag();
        const auto notice = [] { return clsExceptionHandler::notifyFlag() ? u"!"_s : u""_s; };
        const QString codes = detect(second);
        QCOMPARE(codes + notice(), expected);
        detect(UnitState{});
        QCOMPARE(notice(),
                 expected.endsWith(u'!') ? u"!"_s : u""_s); // only the poll engine clears it
    }

    void absoluteRulesFireOnEveryPoll()
    {
        // An hour off, but a first status has nothing to be compared with.
        UnitState s{.recordStatus = 0, .clockShift = 3600, .currentAlarm = 1, .currentVidloss = 4};
        s.historyAlarm = 5;
        QCOMPARE(detect(s), u"1,11,19,20"_s);
        QCOMPARE(clsExceptionHandler::alarmDetail(), u"5+1"_s);
        QCOMPARE(clsExceptionHandler::videolossDetail(), u"4"_s);
        QCOMPARE(detect(s), u"1,7,11,19,20"_s);
        QCOMPARE(detect({.clockShift = 3600}), u"7"_s);
        QCOMPARE(clsExceptionHandler::alarmDetail(), QString());
        QCOMPARE(clsExceptionHandler::videolossDetail(), QString());
        m_settings->setLTDiff(60); // the threshold is read when the rule runs
        QCOMPARE(detect({.clockShift = 3600}), QString());
    }

    void allFiltersOff()
    {
        for (int i = int(Option::RecordStatus); i <= int(Option::CurrentVidloss); ++i)
            m_settings->SaveOption(static_cast<Option>(i), 0);
        UnitState bad{.typeByte = 2, .recordStatus = 0, .archiveStatus = 3};
        bad.currentAlarm = bad.currentVidloss = bad.historyAlarm = bad.historyVidloss = 1;
        UnitState worse = bad;
        worse.archiveStatus = 1, worse.clockShift = 7200, worse.powerOn = 1, worse.swMajor = 9;
        worse.capacity = 9, worse.hardware = 9;
        QCOMPARE(detect(bad) + detect(worse) + handler().GetConnectionChangeString(u"x"_s, false) +
                     handler().GetConnectionChangeString(u"x"_s, true) +
                     clsExceptionHandler::alarmDetail(),
                 QString());
        QVERIFY(!clsExceptionHandler::notifyFlag());
    }

    void memoryOfEarlierPolls()
    {
        // A unit that changes kind keeps the values its new kind does not report, so changing
        // back compares them with what was last seen.
        const UnitState xcr{.typeByte = 2, .archiveStatus = 5, .hardware = 1};
        detect(xcr);
        QCOMPARE(detect({.typeByte = 0, .archiveStatus = 5, .hardware = 7}) +
                     detect({.typeByte = 4, .archiveStatus = 0, .hardware = 1}) + detect(xcr),
                 QString());

        // After the clock was set, one poll skips the comparisons.
        const QString key = u"10.0.0.8"_s;
        clsExceptionHandler::SetResetMark(key); // never polled: nothing to mark
        UnitState s{.recordStatus = 0};
        detect(s, key);
        clsExceptionHandler::SetResetMark(key);
        s.clockShift = 3600;
        QCOMPARE(detect(s, key), u"1"_s);
        s.clockShift = 3600 + 60;
        s.swMinor = 9;
        QCOMPARE(detect(s, key), u"1,7,9"_s);
    }

    // Attempts ("+" connected, "-" failed) and what each gives, "!" when the notify flag is set.
    void connectionChanges_data()
    {
        QTest::addColumn<QString>("attempts");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("switchedOff");
        const auto row = [](const char* name, const char* attempts, const char* expected,
                            int switchedOff = -1) {
            QTest::newRow(name) << QString::fromLatin1(attempts) << QString::fromLatin1(expected)
                                << switchedOff;
        };
        row("every failure counts", "+--++", "|15|15|14|!");
        row("unable to connect switched off", "-+", "|14", int(Option::FirstUnsuccessfullPoll));
        row("first successful switched off", "-+", "15|!", int(Option::FirstSuccessfullPoll));
        row("unable to connect does not notify", "-", "15", int(Option::UnableConnectNotify));
    }

    void connectionChanges()
    {
        QFETCH(QString, attempts);
        QFETCH(QString, expected);
        QFETCH(int, switchedOff);
        if (switchedOff >= 0)
            m_settings->SaveOption(static_cast<Option>(switchedOff), 0);
        QStringList results;
        for (const QChar attempt : attempts)
            results << handler().GetConnectionChangeString(u"5551234"_s, attempt == u'+');
        QCOMPARE(results.join(u'|') + (clsExceptionHandler::notifyFlag() ? u"!"_s : u""_s),
                 expected);
        // Another unit has its own history.
        QCOMPARE(handler().GetConnectionChangeString(u"5551235"_s, true), QString());
    }

    // The long forms take the thresholds of the moment too.
    void texts()
    {
        const clsExceptionHandler h(*m_settings);
        m_settings->setLTDiff(30);
        QCOMPARE(h.ExceptionLongText(7),
                 u"The local time difference between PC and unit is more than 30 minutes."_s);
        QCOMPARE(h.ExceptionLongText(0) + h.ExceptionShortText(21), QString());
        QCOMPARE(clsExceptionHandler::UnitClockText(4294967295.0), u"2/6/2096 6:28:15 AM"_s);
    }

    // A record cut short by a crash does not swallow the next one. The latest events keep their
    // first place and take their latest time, as a time and not as a text: "6/9/2026 ..." reads
    // later than "6/15/2026 ...".
    void appendLoadAndReport()
    {
        const QByteArray cut = "\"10.0.0.2\",\"Lobby\",\"6/15/20";
        writeLog(cut);
        const QDateTime earlier = wallClock(QDate(2026, 6, 9), QTime(23, 0));
        QVERIFY(
            handler().AddToLog(u"10.0.0.1"_s, u"Front, door"_s, earlier, u"1,8"_s, u"5+1"_s, {}));
        QVERIFY(
            handler().AddToLog(u"5551234"_s, u"Gate \"B\"\r\nrear"_s, earlier, u"15"_s, {}, {}));
        QVERIFY(handler().AddToLog(u"10.0.0.1"_s, u"Back"_s, kNow, u"1"_s, {}, {}));
        QCOMPARE(linesOf(logPath()), golden("appended-log.txt"));

        QCOMPARE(handler().GetFromLog(), u"Something"_s);
        QCOMPARE(clsExceptionHandler::loadedRecords().size(), 3);
        QCOMPARE(clsExceptionHandler::loadedRecords()[1].time, earlier);
        QCOMPARE(handler().GetReport(false),
                 QStringLiteral("\r\n10.0.0.1 ( Front, door ) ---6/15/2026 12:00:00 PM\r\n"
                                "    Not Recording"
                                "\r\n10.0.0.1 ( Front, door ) ---6/9/2026 11:00:00 PM\r\n"
                                "    The unit rebooted"
                                "\r\n5551234 ( Gate 'B'  rear ) ---6/9/2026 11:00:00 PM\r\n"
                                "    Unable to connect"));
    }

    void eventTexts_data()
    {
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("alarm");
        QTest::addColumn<QString>("vidloss");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("history and current alarm")
            << u"11,19"_s << u"1572868+1"_s << QString() // channel 20 is the last
            << QStringList{u"Alarm Since Last Polling: 3,20"_s, u"Alarm Status: 1"_s};
        QTest::newRow("video loss beside an alarm")
            << u"1,12,19,20"_s << u"2"_s << u"32768+3"_s
            << QStringList{u"Not Recording"_s, u"Videoloss Since Last Polling: 16"_s,
                           u"Alarm Status: 2"_s, u"Videoloss Status: 1,2"_s};
        QTest::newRow("threshold texts use the present settings")
            << u"3,6,7"_s << QString() << QString()
            << QStringList{u"Record Time left < 45 minutes"_s, u"Archive Time left < 60 minutes"_s,
                           u"The local time diff. between PC and unit: > 15 minutes"_s};
        QTest::newRow("unreadable mask")
            << u"11"_s << u"junk"_s << QString() << QStringList{u"Alarm Since Last Polling: "_s};
    }

    void eventTexts()
    {
        QFETCH(QString, codes);
        QFETCH(QString, alarm);
        QFETCH(QString, vidloss);
        QFETCH(QStringList, expected);
        writeLog(line(u"10.0.0.1"_s, kNow, codes, alarm, vidloss));
        m_settings->setRTL(45);
        QCOMPARE(handler().GetFromLog(), u"Something"_s);
        handler().GetListLogF();
        QVERIFY(clsExceptionHandler::fullListBuilt());
        QStringList texts;
        for (const EventListEntry& e : clsExceptionHandler::fullList())
            texts << e.eventText;
        QCOMPARE(texts, expected);
        QCOMPARE(clsExceptionHandler::fullList().first().pollingTime, u"6/15/2026 12:00:00 PM"_s);
    }

    void daysWindow_data()
    {
        QTest::addColumn<int>("keepDays");
        QTest::addColumn<qint64>("ageSeconds");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<bool>("veryOld");
        const qint64 minute = 60;
        QTest::newRow("1 day, 1440 minutes old") << 1 << 1440 * minute << true << false;
        QTest::newRow("1 day, 1440.5 minutes old: 1441 boundaries")
            << 1 << 1440 * minute + 30 << false << false;
        QTest::newRow("exactly 365 days") << 7 << 525600 * minute << false << false;
        QTest::newRow("525601 minutes") << 7 << 525601 * minute << false << true;
        QTest::newRow("400 days inside a 500-day window")
            << 500 << 400 * 1440 * minute << true << false;
    }

    void daysWindow()
    {
        QFETCH(int, keepDays);
        QFETCH(qint64, ageSeconds);
        QFETCH(bool, loaded);
        QFETCH(bool, veryOld);
        m_settings->setLogKeepDays(qint16(keepDays));
        writeLog(line(u"10.0.0.1"_s, kNow.addSecs(-ageSeconds), u"1"_s));
        QCOMPARE(handler().GetFromLog(), loaded ? u"Something"_s : QString());
        QCOMPARE(clsExceptionHandler::loadedRecords().size(), loaded ? 1 : 0);
        QCOMPARE(clsExceptionHandler::veryOldFlag(), veryOld);
        QVERIFY(!QFile::exists(ExceptionEventLog::loadCopyPath(logPath())));
    }

    // No log is an empty one; a log that cannot be read is not.
    void missingOrUnreadableLog()
    {
        ExceptionLogViews::shared().veryOld = true; // from an earlier load
        QCOMPARE(handler().GetFromLog(), QString());
        QVERIFY(!clsExceptionHandler::veryOldFlag());
        QVERIFY(m_platform->prompts.shown.isEmpty());

        QVERIFY(QDir().mkpath(logPath())); // there, but no file that can be read
        QCOMPARE(handler().GetFromLog(), u"TooBig"_s);
        QCOMPARE(m_platform->prompts.texts(), QStringList{u"Cannot open "_s + logPath()});
        QCOMPARE(m_platform->prompts.shown[0].title, u"Exception Log"_s);
    }

    void moreThan5000Records_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<QString>("result");
        QTest::newRow("5000: no question") << 5000 << PromptAnswer::No << u"Something"_s;
        QTest::newRow("5001, continue") << 5001 << PromptAnswer::Yes << u"Something"_s;
        QTest::newRow("5001, declined") << 5001 << PromptAnswer::No << u"TooBig"_s;
    }

    void moreThan5000Records()
    {
        QFETCH(int, records);
        QFETCH(PromptAnswer, answer);
        QFETCH(QString, result);
        QByteArray log =
            line(u"10.0.0.9"_s, kNow.addDays(-30), u"1"_s).repeated(100); // not counted
        const qsizetype oldPart = log.size();
        for (int i = 0; i < records; ++i)
            log += line(u"10.0.0.%1"_s.arg(i % 250), kNow.addSecs(-i), u"1"_s);
        writeLog(log);
        m_platform->prompts.answers.enqueue(answer);

        QCOMPARE(handler().GetFromLog(), result);
        QCOMPARE(m_platform->prompts.shown.size(), records > 5000 ? 1 : 0);
        if (records > 5000) {
            QCOMPARE(m_platform->prompts.shown.first().buttons, PromptButtons::YesNo);
            QCOMPARE(m_platform->prompts.texts().first(),
                     QStringLiteral(
                         "There are more than 5000 exceptions in the database. It will take a few "
                         "minutes to process. (To improve performance, choose a smaller number of "
                         "days in the 'Show only events of the last __ days' option in the "
                         "Exception Filters Setup.)\r\nDo you want to continue?"));
        }
        const bool declined = result == u"TooBig"_s;
        QCOMPARE(clsExceptionHandler::loadedRecords().size(), declined ? 0 : records);
        const QString copy = ExceptionEventLog::loadCopyPath(logPath());
        QCOMPARE(read(copy), declined ? log.mid(oldPart) : QByteArray());
        QCOMPARE(read(logPath()), log); // loading never changes the log
    }

    void damagedLineSkippedByLoadKeptByPrune_data()
    {
        QTest::addColumn<QByteArray>("damaged");
        QTest::newRow("five fields")
            << QByteArray("\"10.0.0.1\",\"Lobby\",\"6/15/2026 11:00:00 AM\",\"1\",\"\"");
        QTest::newRow("time in another format")
            << QByteArray("\"10.0.0.1\",\"Lobby\",\"15.06.2026 11:00:00\",\"1\",\"\",\"\"");
        QTest::newRow("binary junk") << QByteArray("\x01\xff\xfe\x00\x7f junk", 10);
        QTest::newRow("longer than what is read at once")
            << (QByteArray(600 * 1024, '"') + "\r" + QByteArray(300 * 1024, ','));
    }

    void damagedLineSkippedByLoadKeptByPrune()
    {
        QFETCH(QByteArray, damaged);
        const QByteArray first = line(u"10.0.0.1"_s, kNow.addSecs(-60), u"1"_s);
        const QByteArray last = line(u"10.0.0.3"_s, kNow, u"15"_s);
        const QByteArray log =
            first + damaged + "\r\n" + line(u"10.0.0.2"_s, kNow.addDays(-400), u"8"_s) + last;
        writeLog(log);
        QCOMPARE(handler().GetFromLog(), u"Something"_s);
        QCOMPARE(clsExceptionHandler::loadedRecords().size(), 2);
        QCOMPARE(clsExceptionHandler::loadedRecords()[1].address, u"10.0.0.3"_s);
        QVERIFY(clsExceptionHandler::veryOldFlag());
        QCOMPARE(read(logPath()), log);
        QVERIFY(handler().SaveToLog());
        QCOMPARE(read(logPath()), first + damaged + "\r\n" + last);
        QVERIFY(!QFile::exists(ExceptionEventLog::pruneCopyPath(logPath())));
    }

    void pruneSurvivesBeingKilled()
    {
        const QByteArray recent1 = line(u"10.0.0.1"_s, kNow, u"1"_s);
        const QByteArray old = line(u"10.0.0.2"_s, kNow.addDays(-400), u"8"_s);
        const QByteArray recent2 = line(u"10.0.0.3"_s, kNow, u"15"_s);
        const QByteArray added = line(u"10.0.0.4"_s, kNow, u"1"_s);
        const QByteArray log = recent1 + old + recent2;
        writeLog(log);
        const QString copy = ExceptionEventLog::pruneCopyPath(logPath());

        // Killed after the copy was written, before it replaced the log.
        ExceptionEventLog store(*m_settings);
        const ExceptionEventLog::PrunedCopy pruned = store.writePrunedCopy();
        QVERIFY(pruned.written);
        QCOMPARE(pruned.removedRecords, 1);
        QCOMPARE(read(logPath()), log);
        QCOMPARE(read(copy), recent1 + recent2);

        // A record appended while the copy was made is not lost when it replaces the log.
        QVERIFY(store.AddToLog(u"10.0.0.4"_s, u"Lobby"_s, kNow, u"1"_s, {}, {}));
        QVERIFY(store.replaceLogWithPrunedCopy(pruned));
        QCOMPARE(read(logPath()), recent1 + recent2 + added);

        // Killed halfway through writing the copy: the next prune starts afresh.
        writeLog(log);
        TestFiles::write(copy, recent1.left(10));
        QVERIFY(handler().SaveToLog());
        QCOMPARE(read(logPath()), recent1 + recent2);
        QVERIFY(!QFile::exists(copy));

        // A log of only old records goes, and the next record starts a new one.
        writeLog(old + "\r\n \r\n");
        QCOMPARE(handler().GetFromLog(), QString());
        QVERIFY(handler().SaveToLog());
        QVERIFY(!QFile::exists(logPath()));
        QVERIFY(handler().AddToLog(u"10.0.0.4"_s, u"Lobby"_s, kNow, u"1"_s, {}, {}));
        QCOMPARE(read(logPath()), added);
    }

private:
    QString detect(const UnitState& state, const QString& key = u"10.0.0.7"_s)
    {
        return handler().CreatExceptionString(blockOf(state), key, 0, 0);
    }
    clsExceptionHandler handler() { return clsExceptionHandler(*m_settings); }
};

QTEST_GUILESS_MAIN(TestExceptions)
#include "tst_exceptions.moc"
