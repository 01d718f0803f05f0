#include "settings/Settings.h"
#include "exceptions/clsExceptionHandler.h"
#include "exceptions/ExceptionEventLog.h"
#include "exceptions/ExceptionLogViews.h"
#include "ScriptedPlatform.h"

#include <optional>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QDateTime kNow = wallClock(QDate(2026, 6, 15), QTime(12, 0));

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QStringList textsOf(const QList<EventListEntry>& list)
{
    QStringList out;
    for (const EventListEntry& e : list)
        out.append(e.eventText);
    return out;
}

} // namespace

class TestExceptionEventLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void addToLogAppendsOneQuotedLine();
    void eventTexts_data();
    void eventTexts();
    void latestEventsKeepFirstPlaceAndLatestTime();
    void report();
    void daysWindow_data();
    void daysWindow();
    void missingLog();
    void unreadableLogIsNotAnEmptyOne();
    void moreThan5000Records_data();
    void moreThan5000Records();

    void damagedLineSkippedByLoadKeptByPrune_data();
    void damagedLineSkippedByLoadKeptByPrune();
    void writeCutShortDoesNotSwallowTheNextRecord();
    void pruneSurvivesBeingKilled();
    void pruneOfOnlyOldRecordsRemovesTheLog();
    void setFileContents();

private:
    QString logPath() const { return m_settings->exceptionLogPath(); }
    QString timeText(const QDateTime& t) const { return m_platform->locale.generalDateTimeText(t); }
    QByteArray line(const QString& address, const QDateTime& time, const QString& codes,
                    const QString& alarm = {}, const QString& vidloss = {},
                    const QString& description = u"Lobby"_s) const
    {
        return u"\"%1\",\"%2\",\"%3\",\"%4\",\"%5\",\"%6\"\r\n"_s
            .arg(address, description, timeText(time), codes, alarm, vidloss)
            .toLatin1();
    }
    clsExceptionHandler handler() { return clsExceptionHandler(*m_settings); }

    std::optional<ScriptedPlatform> m_platform;
    std::optional<Settings> m_settings;
};

void TestExceptionEventLog::init()
{
    m_platform.emplace();
    m_platform->clock.utc = kNow;
    m_settings.emplace();
    m_settings->LoadSettings();
    ExceptionLogViews::shared().clear();
}

void TestExceptionEventLog::cleanup()
{
    ExceptionLogViews::shared().clear();
    m_settings.reset();
    m_platform.reset();
}

void TestExceptionEventLog::addToLogAppendsOneQuotedLine()
{
    const QDateTime poll = kNow.addSecs(-90);
    QVERIFY(handler().AddToLog(u"10.0.0.1"_s, u"Front, door"_s, poll, u"1,11,19"_s, u"5+1"_s,
                               QString()));
    QVERIFY(handler().AddToLog(u"5551234"_s, u"Gate \"B\"\r\nrear"_s, poll, u"15"_s, QString(),
                               QString()));
    QCOMPARE(readFile(logPath()),
             QByteArray("\"10.0.0.1\",\"Front, door\",\"6/15/2026 11:58:30 AM\",\"1,11,19\","
                        "\"5+1\",\"\"\r\n"
                        "\"5551234\",\"Gate 'B'  rear\",\"6/15/2026 11:58:30 AM\",\"15\",\"\","
                        "\"\"\r\n"));

    QCOMPARE(handler().GetFromLog(), u"Something"_s);
    const auto& loaded = clsExceptionHandler::loadedRecords();
    QCOMPARE(loaded.size(), 2);
    QCOMPARE(loaded[0].description, u"Front, door"_s);
    QCOMPARE(loaded[0].time, poll);
    QCOMPARE(loaded[1].description, u"Gate 'B'  rear"_s);
}

void TestExceptionEventLog::eventTexts_data()
{
    QTest::addColumn<QString>("codes");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<QString>("vidloss");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("history and current alarm")
        << u"11,19"_s << u"4+1"_s << QString()
        << QStringList{u"Alarm Since Last Polling: 3"_s, u"Alarm Status: 1"_s};
    QTest::newRow("current alarm alone")
        << u"19"_s << u"1"_s << QString() << QStringList{u"Alarm Status: 1"_s};
    QTest::newRow("history alarm alone")
        << u"11"_s << u"5"_s << QString() << QStringList{u"Alarm Since Last Polling: 1,3"_s};
    QTest::newRow("video loss beside an alarm")
        << u"1,12,19,20"_s << u"2"_s << u"32768+3"_s
        << QStringList{u"Not Recording"_s, u"Videoloss Since Last Polling: 16"_s,
                       u"Alarm Status: 2"_s, u"Videoloss Status: 1,2"_s};
    QTest::newRow("threshold texts use the present settings")
        << u"3,6"_s << QString() << QString()
        << QStringList{u"Record Time left < 45 minutes"_s, u"Archive Time left < 60 minutes"_s};
    QTest::newRow("connection failure")
        << u"15"_s << QString() << QString() << QStringList{u"Unable to connect"_s};
    QTest::newRow("unknown codes have no text")
        << u"21,x,8"_s << QString() << QString()
        << QStringList{QString(), QString(), u"The unit rebooted"_s};
    QTest::newRow("unreadable mask")
        << u"11"_s << u"junk"_s << QString() << QStringList{u"Alarm Since Last Polling: "_s};
}

void TestExceptionEventLog::eventTexts()
{
    QFETCH(QString, codes);
    QFETCH(QString, alarm);
    QFETCH(QString, vidloss);
    QFETCH(QStringList, expected);
    writeFile(logPath(), line(u"10.0.0.1"_s, kNow, codes, alarm, vidloss));
    m_settings->setRTL(45);
    QCOMPARE(handler().GetFromLog(), u"Something"_s);
    handler().GetListLogF();
    QVERIFY(clsExceptionHandler::fullListBuilt());
    QCOMPARE(textsOf(clsExceptionHandler::fullList()), expected);
    for (const EventListEntry& e : clsExceptionHandler::fullList())
        QCOMPARE(e.pollingTime, timeText(kNow));
}

void TestExceptionEventLog::latestEventsKeepFirstPlaceAndLatestTime()
{
    const QString a = u"10.0.0.1"_s;
    const QString b = u"10.0.0.2"_s;
    const QDateTime day = wallClock(QDate(2026, 6, 10), QTime(0, 0));
    // Times that sort wrongly as text: "6/9/2026 ..." reads later than "6/10/2026 ...".
    writeFile(logPath(), line(a, day.addSecs(-3600), u"19"_s, u"1"_s, {}, u"first name"_s) +
                             line(b, day.addSecs(1800), u"1"_s) +
                             line(a, day.addSecs(3600), u"1,19"_s, u"1"_s, {}, u"second name"_s) +
                             line(a, day.addSecs(-7200), u"19"_s, u"1"_s) +
                             line(a, day.addSecs(7200), u"19"_s, u"2"_s));
    QCOMPARE(handler().GetFromLog(), u"Something"_s);
    handler().GetListLog(); // builds the full list on the way
    QVERIFY(clsExceptionHandler::fullListBuilt());
    QVERIFY(clsExceptionHandler::latestListBuilt());
    QCOMPARE(clsExceptionHandler::fullList().size(), 6);

    const auto& latest = clsExceptionHandler::latestList();
    QCOMPARE(latest.size(), 4);
    QCOMPARE(latest[0].address, a);
    QCOMPARE(latest[0].eventText, u"Alarm Status: 1"_s);
    QCOMPARE(latest[0].pollingTime, timeText(day.addSecs(3600)));
    QCOMPARE(latest[0].description, u"first name"_s);
    QCOMPARE(latest[1].address, b);
    QCOMPARE(latest[2].eventText, u"Not Recording"_s);
    QCOMPARE(latest[2].address, a);
    QCOMPARE(latest[3].eventText, u"Alarm Status: 2"_s);

    clsExceptionHandler::clearListFlags();
    QVERIFY(!clsExceptionHandler::fullListBuilt());
    QVERIFY(!clsExceptionHandler::latestListBuilt());
}

void TestExceptionEventLog::report()
{
    const QDateTime t1 = kNow.addSecs(-3600);
    writeFile(logPath(), line(u"10.0.0.1"_s, t1, u"1,8"_s) +
                             line(u"10.0.0.1"_s, kNow, u"1"_s, {}, {}, u"Back"_s));
    QCOMPARE(handler().GetFromLog(), u"Something"_s);
    const QString full = handler().GetReport(true);
    QCOMPARE(full, QStringLiteral("\r\n10.0.0.1 ( Lobby ) ---6/15/2026 11:00:00 AM\r\n"
                                  "    Not Recording"
                                  "\r\n10.0.0.1 ( Lobby ) ---6/15/2026 11:00:00 AM\r\n"
                                  "    The unit rebooted"
                                  "\r\n10.0.0.1 ( Back ) ---6/15/2026 12:00:00 PM\r\n"
                                  "    Not Recording"));
    QCOMPARE(handler().GetReport(false),
             QStringLiteral("\r\n10.0.0.1 ( Lobby ) ---6/15/2026 12:00:00 PM\r\n"
                            "    Not Recording"
                            "\r\n10.0.0.1 ( Lobby ) ---6/15/2026 11:00:00 AM\r\n"
                            "    The unit rebooted"));
}

void TestExceptionEventLog::daysWindow_data()
{
    QTest::addColumn<int>("keepDays");
    QTest::addColumn<qint64>("ageSeconds");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<bool>("veryOld");
    const qint64 minute = 60;
    QTest::newRow("1 day, 1440 minutes old") << 1 << 1440 * minute << true << false;
    QTest::newRow("1 day, 1440.5 minutes old: 1441 boundaries")
        << 1 << 1440 * minute + 30 << false << false;
    QTest::newRow("1 day, 1439.5 minutes old: 1440 boundaries")
        << 1 << 1439 * minute + 30 << true << false;
    QTest::newRow("from the future") << 1 << -3600LL << true << false;
    QTest::newRow("exactly 365 days") << 7 << 525600 * minute << false << false;
    QTest::newRow("525601 minutes") << 7 << 525601 * minute << false << true;
    QTest::newRow("400 days inside a 500-day window")
        << 500 << 400 * 1440 * minute << true << false;
}

void TestExceptionEventLog::daysWindow()
{
    QFETCH(int, keepDays);
    QFETCH(qint64, ageSeconds);
    QFETCH(bool, loaded);
    QFETCH(bool, veryOld);
    m_settings->setLogKeepDays(qint16(keepDays));
    writeFile(logPath(), line(u"10.0.0.1"_s, kNow.addSecs(-ageSeconds), u"1"_s));
    QCOMPARE(handler().GetFromLog(), loaded ? u"Something"_s : QString());
    QCOMPARE(clsExceptionHandler::loadedRecords().size(), loaded ? 1 : 0);
    QCOMPARE(clsExceptionHandler::veryOldFlag(), veryOld);
    QVERIFY(!QFile::exists(ExceptionEventLog::loadCopyPath(logPath())));
}

void TestExceptionEventLog::missingLog()
{
    ExceptionLogViews::shared().veryOld = true; // from an earlier load
    QCOMPARE(handler().GetFromLog(), QString());
    QVERIFY(!clsExceptionHandler::veryOldFlag());
    QVERIFY(m_platform->prompts.shown.isEmpty());
    QVERIFY(!QFile::exists(logPath()));
}

void TestExceptionEventLog::unreadableLogIsNotAnEmptyOne()
{
    QVERIFY(QDir().mkpath(logPath())); // there, but no file that can be read
    QCOMPARE(handler().GetFromLog(), u"TooBig"_s);
    QCOMPARE(m_platform->prompts.texts(), QStringList{u"Cannot open "_s + logPath()});
    QCOMPARE(m_platform->prompts.shown[0].title, u"Exception Log"_s);
}

void TestExceptionEventLog::moreThan5000Records_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<PromptAnswer>("answer");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("asked");
    QTest::newRow("5000: no question") << 5000 << PromptAnswer::No << u"Something"_s << false;
    QTest::newRow("5001, continue") << 5001 << PromptAnswer::Yes << u"Something"_s << true;
    QTest::newRow("5001, declined") << 5001 << PromptAnswer::No << u"TooBig"_s << true;
}

void TestExceptionEventLog::moreThan5000Records()
{
    QFETCH(int, records);
    QFETCH(PromptAnswer, answer);
    QFETCH(QString, result);
    QFETCH(bool, asked);
    QByteArray log;
    const QByteArray old = line(u"10.0.0.9"_s, kNow.addDays(-30), u"1"_s);
    for (int i = 0; i < 100; ++i)
        log += old; // outside the window: not counted
    for (int i = 0; i < records; ++i)
        log += line(u"10.0.0.%1"_s.arg(i % 250), kNow.addSecs(-i), u"1"_s);
    writeFile(logPath(), log);
    m_platform->prompts.answers.enqueue(answer);

    QCOMPARE(handler().GetFromLog(), result);
    QCOMPARE(m_platform->prompts.shown.size(), asked ? 1 : 0);
    if (asked) {
        const Prompt& p = m_platform->prompts.shown.first();
        QCOMPARE(p.title, u"Message"_s);
        QCOMPARE(p.buttons, PromptButtons::YesNo);
        QCOMPARE(p.text,
                 QStringLiteral(
                     "There are more than 5000 exceptions in the database. It will take a few "
                     "minutes to process. (To improve performance, choose a smaller number of "
                     "days in the 'Show only events of the last __ days' option in the "
                     "Exception Filters Setup.)\r\nDo you want to continue?"));
    }
    const bool declined = result == u"TooBig"_s;
    QCOMPARE(clsExceptionHandler::loadedRecords().size(), declined ? 0 : records);
    const QString copy = ExceptionEventLog::loadCopyPath(logPath());
    QCOMPARE(QFile::exists(copy), declined);
    if (declined)
        QCOMPARE(readFile(copy), log.mid(old.size() * 100));
    QCOMPARE(readFile(logPath()), log); // loading never changes the log
}

void TestExceptionEventLog::damagedLineSkippedByLoadKeptByPrune_data()
{
    QTest::addColumn<QByteArray>("damaged");
    QTest::newRow("five fields") << QByteArray(
        R"("10.0.0.1","Lobby","6/15/2026 11:00:00 AM","1","")");
    QTest::newRow("seven fields") << QByteArray(
        R"("10.0.0.1","Lobby","6/15/2026 11:00:00 AM","1","","","")");
    QTest::newRow("not quoted") << QByteArray("10.0.0.1,Lobby,6/15/2026 11:00:00 AM,1,,");
    QTest::newRow("time unreadable") << QByteArray(R"("10.0.0.1","Lobby","yesterday","1","","")");
    QTest::newRow("time in another format")
        << QByteArray(R"("10.0.0.1","Lobby","15.06.2026 11:00:00","1","","")");
    QTest::newRow("stray quote") << QByteArray(
        R"("10.0.0.1","Lo"bby","6/15/2026 11:00:00 AM","1","","")");
    QTest::newRow("binary junk") << QByteArray("\x01\xff\xfe\x00\x7f junk", 10);
    QTest::newRow("longer than any record")
        << (QByteArray("\"10.0.0.1\",\"") + QByteArray(100 * 1024, 'x') +
            QByteArray(R"(","6/15/2026 11:00:00 AM","1","","")"));
    QTest::newRow("longer than what is read at once")
        << (QByteArray(600 * 1024, '"') + "\r" + QByteArray(300 * 1024, ','));
}

void TestExceptionEventLog::damagedLineSkippedByLoadKeptByPrune()
{
    QFETCH(QByteArray, damaged);
    const QByteArray first = line(u"10.0.0.1"_s, kNow.addSecs(-60), u"1"_s);
    const QByteArray old = line(u"10.0.0.2"_s, kNow.addDays(-400), u"8"_s);
    const QByteArray last = line(u"10.0.0.3"_s, kNow, u"15"_s);
    const QByteArray log = first + damaged + "\r\n" + old + last;
    writeFile(logPath(), log);

    QCOMPARE(handler().GetFromLog(), u"Something"_s);
    QCOMPARE(clsExceptionHandler::loadedRecords().size(), 2);
    QCOMPARE(clsExceptionHandler::loadedRecords()[1].address, u"10.0.0.3"_s);
    QVERIFY(clsExceptionHandler::veryOldFlag());
    QCOMPARE(readFile(logPath()), log);

    QVERIFY(handler().SaveToLog());
    QCOMPARE(readFile(logPath()), first + damaged + "\r\n" + last);
    QVERIFY(!QFile::exists(ExceptionEventLog::pruneCopyPath(logPath())));
}

void TestExceptionEventLog::writeCutShortDoesNotSwallowTheNextRecord()
{
    const QByteArray good = line(u"10.0.0.1"_s, kNow, u"1"_s);
    const QByteArray cut = R"("10.0.0.2","Lobby","6/15/20)";
    writeFile(logPath(), good + cut);
    QVERIFY(handler().AddToLog(u"10.0.0.3"_s, u"Lobby"_s, kNow, u"8"_s, {}, {}));
    QCOMPARE(readFile(logPath()), good + cut + "\r\n" + line(u"10.0.0.3"_s, kNow, u"8"_s));
    QCOMPARE(handler().GetFromLog(), u"Something"_s);
    QCOMPARE(clsExceptionHandler::loadedRecords().size(), 2);
    QCOMPARE(clsExceptionHandler::loadedRecords()[1].address, u"10.0.0.3"_s);
}

void TestExceptionEventLog::pruneSurvivesBeingKilled()
{
    const QByteArray recent1 = line(u"10.0.0.1"_s, kNow, u"1"_s);
    const QByteArray old = line(u"10.0.0.2"_s, kNow.addDays(-400), u"8"_s);
    const QByteArray recent2 = line(u"10.0.0.3"_s, kNow, u"15"_s);
    const QByteArray added = line(u"10.0.0.4"_s, kNow, u"1"_s);
    const QByteArray log = recent1 + old + recent2;
    writeFile(logPath(), log);
    const QString copy = ExceptionEventLog::pruneCopyPath(logPath());

    // Killed after the copy was written, before it replaced the log.
    ExceptionEventLog store(*m_settings);
    const ExceptionEventLog::PrunedCopy pruned = store.writePrunedCopy();
    QVERIFY(pruned.written);
    QCOMPARE(pruned.removedRecords, 1);
    QCOMPARE(readFile(logPath()), log);
    QCOMPARE(readFile(copy), recent1 + recent2);
    QCOMPARE(handler().GetFromLog(), u"Something"_s);
    QCOMPARE(clsExceptionHandler::loadedRecords().size(), 2);

    // A record appended while the copy was made is not lost when it replaces the log.
    QVERIFY(store.AddToLog(u"10.0.0.4"_s, u"Lobby"_s, kNow, u"1"_s, {}, {}));
    QVERIFY(store.replaceLogWithPrunedCopy(pruned));
    QCOMPARE(readFile(logPath()), recent1 + recent2 + added);

    // Killed halfway through writing the copy: the next prune starts afresh.
    writeFile(logPath(), log);
    writeFile(copy, recent1.left(10));
    QVERIFY(handler().SaveToLog());
    QCOMPARE(readFile(logPath()), recent1 + recent2);
    QVERIFY(!QFile::exists(copy));
}

void TestExceptionEventLog::pruneOfOnlyOldRecordsRemovesTheLog()
{
    writeFile(logPath(), line(u"10.0.0.2"_s, kNow.addDays(-400), u"8"_s) + "\r\n \r\n");
    QCOMPARE(handler().GetFromLog(), QString());
    QVERIFY(clsExceptionHandler::veryOldFlag());
    QVERIFY(handler().SaveToLog());
    QVERIFY(!QFile::exists(logPath()));
    QVERIFY(handler().AddToLog(u"10.0.0.1"_s, u"Lobby"_s, kNow, u"1"_s, {}, {}));
    QCOMPARE(readFile(logPath()), line(u"10.0.0.1"_s, kNow, u"1"_s));
}

void TestExceptionEventLog::setFileContents()
{
    const QString path = m_platform->programFolder.file(u"ExceptionLogFile.txt"_s);
    writeFile(path, QByteArray(5000, 'z')); // replaced, not appended to
    QVERIFY(clsExceptionHandler::SetFileContents(path, u"\r\nA\r\n    B"_s));
    QCOMPARE(readFile(path), QByteArray("\r\n\r\n") + QByteArray(18, ' ') +
                                 "VigilStat Exception Event Log\r\n\r\n" + QByteArray(25, ' ') +
                                 "6/15/2026 12:00:00 PM\r\n\r\n\r\n\r\nA\r\n    B\r\n");
}

QTEST_GUILESS_MAIN(TestExceptionEventLog)
#include "tst_exceptioneventlog.moc"
