#include "settings/Settings.h"
#include "exceptions/clsExceptionHandler.h"
#include "exceptions/DetectionFields.h"
#include "exceptions/DetectionMemory.h"
#include "ScriptedPlatform.h"

#include <optional>
#include <QTest>

using namespace Qt::StringLiterals;

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

const QDateTime kUnitNow = wallClock(QDate(2026, 6, 15), QTime(12, 0));

quint32 unitSeconds(const QDateTime& t)
{
    return static_cast<quint32>(wallClock(QDate(1960, 1, 1), QTime(0, 0)).secsTo(t));
}

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
                     : kind == 0 || kind == 96 ? 51
                                               : 120;
    QByteArray b(size, char(0xEE));
    const auto put = [&b](int at, quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            b[at + i] = char(v >> 8 * (bytes - 1 - i));
    };
    put(0, s.typeByte, 1);
    put(11, s.recordStatus, 1);
    if (!vehicle)
        put(20, s.archiveStatus, 1);
    const int clockAt = vehicle ? 20 : 29;
    put(clockAt, unitSeconds(kUnitNow.addSecs(s.clockShift)), 4);
    put(clockAt + 4, s.powerOn, 4);
    const int swAt = vehicle ? 28 : 39;
    put(swAt, s.swMajor, 1);
    put(swAt + 1, s.swMinor, 1);
    put(swAt + 2, s.capacity, 2);
    const quint16 masks[] = {s.currentAlarm, s.currentVidloss, s.historyAlarm, s.historyVidloss};
    for (int i = 0; i < 4; ++i) {
        if (wide)
            put(43 + 4 * i, 0xFFFF, 2); // channels 17 to 32, which must be ignored
        put((vehicle ? 32 : wide ? 45 : 43) + (wide ? 4 : 2) * i, masks[i], 2);
    }
    if (kind == 2 || kind == 3 || vehicle)
        put(vehicle ? 102 : 106, s.hardware, 1);
    return b;
}

} // namespace

Q_DECLARE_METATYPE(UnitState)

class TestExceptionDetection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void fieldsAtTheirOffsets_data();
    void fieldsAtTheirOffsets();
    void blockTooShortOrUnknownKind_data();
    void blockTooShortOrUnknownKind();

    void absoluteRulesFireOnEveryPoll();
    void rules_data();
    void rules();
    void fieldsNotReportedKeepTheirStoredValue();
    void resetMarkSkipsOneComparison();
    void allFiltersOff();
    void notifyFlag_data();
    void notifyFlag();
    void connectionChanges_data();
    void connectionChanges();

    void texts_data();
    void texts();
    void thresholdsAreReadWhenUsed();
    void channelList_data();
    void channelList();
    void unitClockText();

private:
    QString detect(const UnitState& state, const QString& key = u"10.0.0.7"_s)
    {
        return handler().CreatExceptionString(blockOf(state), key, 0, 0);
    }
    clsExceptionHandler handler() { return clsExceptionHandler(*m_settings); }

    std::optional<ScriptedPlatform> m_platform;
    std::optional<Settings> m_settings;
};

void TestExceptionDetection::init()
{
    m_platform.emplace();
    m_platform->clock.utc = kUnitNow; // the PC runs on GMT; units below are GMT, no DST
    m_settings.emplace();
    m_settings->LoadSettings();
    DetectionMemory::shared().clear();
}

void TestExceptionDetection::cleanup()
{
    DetectionMemory::shared().clear();
    m_settings.reset();
    m_platform.reset();
}

void TestExceptionDetection::fieldsAtTheirOffsets_data()
{
    QTest::addColumn<quint8>("typeByte");
    const std::pair<const char*, quint8> kinds[] = {
        {"Korvo (0)", 0},   {"YQM (96)", 96},    {"XCR (1)", 1},
        {"ZPT (80)", 80},   {"XCR (2)", 2},      {"Korvo Tri (3)", 3},
        {"vehicle (4)", 4}, {"Korvo, GB", 0x80}, {"vehicle, GB", 0x84}};
    for (const auto& [name, typeByte] : kinds)
        QTest::newRow(name) << typeByte;
}

void TestExceptionDetection::fieldsAtTheirOffsets()
{
    QFETCH(quint8, typeByte);
    const int kind = typeByte & 0x7F;
    UnitState s{.typeByte = typeByte, .recordStatus = 2, .archiveStatus = 3, .clockShift = 17};
    s.powerOn = 123456, s.swMajor = 6, s.swMinor = 1, s.hardware = 0x81;
    s.currentAlarm = 0x0001, s.currentVidloss = 0x0102;
    s.historyAlarm = 0x8004, s.historyVidloss = 0x0040;

    const auto f = DetectionFields::read(blockOf(s), u","_s);
    QVERIFY(f.has_value());
    QCOMPARE(f->kind, kind);
    QCOMPARE(f->recordStatus, quint8(2));
    QCOMPARE(f->archiveStatus, kind == 4 ? std::nullopt : std::optional<quint8>(3));
    QCOMPARE(f->clock, double(unitSeconds(kUnitNow) + 17));
    QCOMPARE(f->powerOnSeconds, 123456.0);
    QCOMPARE(f->softwareVersion, u"6,01"_s);
    QCOMPARE(f->diskCapacity, typeByte & 0x80 ? u"592"_s : u"2,80"_s);
    QCOMPARE(f->currentAlarm, 0x0001);
    QCOMPARE(f->currentVidloss, 0x0102);
    QCOMPARE(f->historyAlarm, 0x8004);
    QCOMPARE(f->historyVidloss, 0x0040);
    const bool hasHardware = kind == 2 || kind == 3 || kind == 4;
    QCOMPARE(f->hardware, hasHardware ? std::optional<quint8>(0x81) : std::nullopt);
}

void TestExceptionDetection::blockTooShortOrUnknownKind_data()
{
    QTest::addColumn<quint8>("typeByte");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("detected");
    QTest::newRow("Korvo, complete") << quint8(0) << 51 << true;
    QTest::newRow("Korvo, one byte short") << quint8(0) << 50 << false;
    QTest::newRow("XCR 1, complete") << quint8(1) << 59 << true;
    QTest::newRow("XCR 1, one byte short") << quint8(1) << 58 << false;
    QTest::newRow("XCR 2, complete") << quint8(2) << 107 << true;
    QTest::newRow("XCR 2, no hardware byte") << quint8(2) << 106 << false;
    QTest::newRow("vehicle, complete") << quint8(4) << 103 << true;
    QTest::newRow("vehicle, no hardware byte") << quint8(4) << 102 << false;
    QTest::newRow("empty block") << quint8(0) << 0 << false;
    QTest::newRow("unknown kind 5") << quint8(5) << 120 << false;
    QTest::newRow("unknown kind 5 with capacity bit") << quint8(0x85) << 120 << false;
}

void TestExceptionDetection::blockTooShortOrUnknownKind()
{
    QFETCH(quint8, typeByte);
    QFETCH(int, size);
    QFETCH(bool, detected);
    // An absolute rule fires whenever the block is read.
    QByteArray block = blockOf({.typeByte = typeByte, .recordStatus = 0});
    block.resize(size, char(0xEE));

    DetectionMemory& memory = DetectionMemory::shared();
    memory.addAlarmMask(9); // left over from an earlier poll
    const QString result = handler().CreatExceptionString(block, u"u"_s, 0, 0);
    QCOMPARE(result, detected ? u"1"_s : QString());
    QCOMPARE(memory.previousStatusCount(), detected ? 1 : 0);
    QCOMPARE(memory.connectionStateCount(), 0);
    QCOMPARE(memory.alarmDetail(), QString());
}

void TestExceptionDetection::absoluteRulesFireOnEveryPoll()
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
}

void TestExceptionDetection::rules_data()
{
    QTest::addColumn<UnitState>("first");
    QTest::addColumn<UnitState>("second");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const UnitState& second, const QString& expected) {
        QTest::newRow(name) << UnitState{} << second << expected;
    };
    row("nothing changed", {}, {});
    row("recording disk failure", {.recordStatus = 4}, u"16"_s);
    row("recording disk full (2)", {.recordStatus = 2}, u"17"_s);
    row("recording disk full (3)", {.recordStatus = 3}, u"17"_s);
    row("archive status changed to full", {.archiveStatus = 3}, u"4,18"_s);
    row("clock 15 minutes fast", {.clockShift = 15 * 60}, {});
    row("clock 16 minutes fast", {.clockShift = 16 * 60}, u"7"_s);
    row("clock 16 minutes slow", {.clockShift = -16 * 60}, u"7"_s);
    row("clock 15 minutes 30 s slow: 16 minute boundaries", {.clockShift = -(15 * 60 + 30)},
        u"7"_s);
    row("software version", {.swMinor = 6}, u"9"_s);
    row("disk capacity", {.capacity = 0x0251}, u"10"_s);
    row("history video loss with current", {.currentVidloss = 8, .historyVidloss = 2}, u"12,20"_s);

    QTest::newRow("archive device full")
        << UnitState{.archiveStatus = 3} << UnitState{.archiveStatus = 3} << u"18"_s;
    const UnitState early{.clockShift = -300};
    QTest::newRow("clock advanced 600 s, powered on 100 s")
        << early << UnitState{.clockShift = 300, .powerOn = 100} << u"8"_s;
    QTest::newRow("clock advanced 600 s, powered on 597 s")
        << early << UnitState{.clockShift = 300, .powerOn = 597} << QString();
    QTest::newRow("clock advanced 600 s, powered on 596 s")
        << early << UnitState{.clockShift = 300, .powerOn = 596} << u"8"_s;
    for (const quint8 kind : {2, 4})
        QTest::addRow("hardware of kind %d", kind)
            << UnitState{.typeByte = kind} << UnitState{.typeByte = kind, .hardware = 1} << u"13"_s;
    UnitState all{.typeByte = 3, .recordStatus = 0, .archiveStatus = 3, .clockShift = 1800};
    all.powerOn = 10, all.swMajor = 7, all.capacity = 1, all.hardware = 2;
    all.currentAlarm = all.currentVidloss = all.historyAlarm = all.historyVidloss = 1;
    QTest::newRow("everything at once") << UnitState{.typeByte = 3, .clockShift = -300} << all
                                        << u"1,4,7,8,9,10,11,12,13,18,19,20"_s;
}

void TestExceptionDetection::rules()
{
    QFETCH(UnitState, first);
    QFETCH(UnitState, second);
    QFETCH(QString, expected);
    detect(first);
    QCOMPARE(detect(second), expected);
}

void TestExceptionDetection::fieldsNotReportedKeepTheirStoredValue()
{
    // A unit that changes kind keeps the values its new kind does not report, so changing
    // back compares them with what was last seen.
    const UnitState xcr{.typeByte = 2, .archiveStatus = 5, .hardware = 1};
    const UnitState korvo{.typeByte = 0, .archiveStatus = 5, .hardware = 7};
    const UnitState vehicle{.typeByte = 4, .archiveStatus = 0, .hardware = 1};

    detect(xcr);
    QCOMPARE(detect(korvo), QString());   // kind 0 has no hardware byte: nothing compared
    QCOMPARE(detect(vehicle), QString()); // vehicle: no archive state, hardware 1 as stored
    QCOMPARE(detect(xcr), QString());     // archive state 5 kept through the vehicle poll
}

void TestExceptionDetection::resetMarkSkipsOneComparison()
{
    const QString key = u"10.0.0.7"_s;
    clsExceptionHandler::SetResetMark(key); // unit never polled: nothing to mark
    QCOMPARE(DetectionMemory::shared().previousStatusCount(), 0);

    UnitState s{.recordStatus = 0};
    detect(s, key);
    clsExceptionHandler::SetResetMark(key);
    s.clockShift = 3600; // the clock was just set, and the jump is no fault
    QCOMPARE(detect(s, key), u"1"_s);
    QVERIFY(!DetectionMemory::shared().previousStatus(key)->resetMark);
    s.clockShift = 3600 + 60;
    s.swMinor = 9;
    QCOMPARE(detect(s, key), u"1,7,9"_s);
}

void TestExceptionDetection::allFiltersOff()
{
    for (int i = int(Option::RecordStatus); i <= int(Option::CurrentVidloss); ++i)
        m_settings->SaveOption(static_cast<Option>(i), 0);
    UnitState bad{.typeByte = 2, .recordStatus = 0, .archiveStatus = 3};
    bad.currentAlarm = bad.currentVidloss = bad.historyAlarm = bad.historyVidloss = 1;
    UnitState worse = bad;
    worse.archiveStatus = 1, worse.clockShift = 7200, worse.powerOn = 1, worse.swMajor = 9;
    worse.capacity = 9, worse.hardware = 9;

    QCOMPARE(detect(bad), QString());
    QCOMPARE(detect(worse), QString());
    QCOMPARE(handler().GetConnectionChangeString(u"x"_s, false), QString());
    QCOMPARE(handler().GetConnectionChangeString(u"x"_s, true), QString());
    QVERIFY(!clsExceptionHandler::notifyFlag());
    QCOMPARE(clsExceptionHandler::alarmDetail(), QString());
}

void TestExceptionDetection::notifyFlag_data()
{
    QTest::addColumn<UnitState>("state");
    QTest::addColumn<int>("notifyOption");
    QTest::addColumn<bool>("notifies");
    const UnitState notRecording{.recordStatus = 0}, alarm{.currentAlarm = 1};
    const UnitState clockOff{.clockShift = 3600};
    QTest::newRow("not recording, switch on")
        << notRecording << int(Option::NotRecordingNotify) << true;
    QTest::newRow("not recording, switch off")
        << notRecording << int(Option::NotRecordingNotify) << false;
    QTest::newRow("current alarm, switch on") << alarm << int(Option::CAlarmNotify) << true;
    QTest::newRow("current alarm, switch off") << alarm << int(Option::CAlarmNotify) << false;
    QTest::newRow("time difference never notifies") << clockOff << -1 << false;
}

void TestExceptionDetection::notifyFlag()
{
    QFETCH(UnitState, state);
    QFETCH(int, notifyOption);
    QFETCH(bool, notifies);
    if (notifyOption >= 0 && !notifies)
        m_settings->SaveOption(static_cast<Option>(notifyOption), 0);
    detect(UnitState{});
    QVERIFY(!clsExceptionHandler::notifyFlag());
    QVERIFY(!detect(state).isEmpty());
    QCOMPARE(clsExceptionHandler::notifyFlag(), notifies);
    detect(UnitState{});
    QCOMPARE(clsExceptionHandler::notifyFlag(), notifies); // only the poll engine clears it
    clsExceptionHandler::clearNotifyFlag();
    QVERIFY(!clsExceptionHandler::notifyFlag());
}

void TestExceptionDetection::connectionChanges_data()
{
    QTest::addColumn<QList<bool>>("attempts");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QList<int>>("switchedOff");
    QTest::addColumn<bool>("notifies");
    const QString none, made = u"14"_s, failed = u"15"_s;
    QTest::newRow("failed, then connected")
        << QList<bool>{false, true} << QStringList{failed, made} << QList<int>{} << true;
    QTest::newRow("connected twice")
        << QList<bool>{true, true} << QStringList{none, none} << QList<int>{} << false;
    QTest::newRow("every failure counts")
        << QList<bool>{true, false, false, true, true}
        << QStringList{none, failed, failed, made, none} << QList<int>{} << true;
    QTest::newRow("unable to connect switched off")
        << QList<bool>{false, true} << QStringList{none, made}
        << QList<int>{int(Option::FirstUnsuccessfullPoll)} << false;
    QTest::newRow("first successful switched off")
        << QList<bool>{false, true} << QStringList{failed, none}
        << QList<int>{int(Option::FirstSuccessfullPoll)} << true;
    QTest::newRow("unable to connect does not notify")
        << QList<bool>{false} << QStringList{failed} << QList<int>{int(Option::UnableConnectNotify)}
        << false;
}

void TestExceptionDetection::connectionChanges()
{
    QFETCH(QList<bool>, attempts);
    QFETCH(QStringList, expected);
    QFETCH(QList<int>, switchedOff);
    QFETCH(bool, notifies);
    for (const int option : switchedOff)
        m_settings->SaveOption(static_cast<Option>(option), 0);
    QStringList results;
    for (const bool connected : attempts)
        results.append(handler().GetConnectionChangeString(u"5551234"_s, connected));
    QCOMPARE(results, expected);
    QCOMPARE(clsExceptionHandler::notifyFlag(), notifies);
    // Another unit has its own history.
    QCOMPARE(handler().GetConnectionChangeString(u"5551235"_s, true), QString());
}

void TestExceptionDetection::texts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("longText");
    QTest::addColumn<QString>("shortText");
    QTest::newRow("3 with RTL") << 3 << u"Record Time left is less than 45 minutes."_s
                                << u"Record Time left < 45 minutes"_s;
    QTest::newRow("6 with ATL") << 6 << u"Archive Time left is less than 90 minutes."_s
                                << u"Archive Time left < 90 minutes"_s;
    QTest::newRow("7 with LTDiff")
        << 7 << u"The local time difference between PC and unit is more than 30 minutes."_s
        << u"The local time diff. between PC and unit: > 30 minutes"_s;
    QTest::newRow("11") << 11 << u"Alarm Since Last Polling: "_s << u"Alarm Since Last Polling: "_s;
    QTest::newRow("0") << 0 << QString() << QString();
    QTest::newRow("21") << 21 << QString() << QString();
}

void TestExceptionDetection::texts()
{
    QFETCH(int, code);
    QFETCH(QString, longText);
    QFETCH(QString, shortText);
    const clsExceptionHandler h(*m_settings);
    m_settings->setRTL(45); // read when the text is made, not when the handler was
    m_settings->setATL(90);
    m_settings->setLTDiff(30);
    QCOMPARE(h.ExceptionLongText(qint16(code)), longText);
    QCOMPARE(h.ExceptionShortText(qint16(code)), shortText);
}

void TestExceptionDetection::thresholdsAreReadWhenUsed()
{
    // The time difference rule reads LTDiff at detection.
    UnitState s;
    detect(s);
    s.clockShift = 20 * 60;
    QCOMPARE(detect(s), u"7"_s);
    m_settings->setLTDiff(25);
    QCOMPARE(detect(s), QString());
}

void TestExceptionDetection::channelList_data()
{
    QTest::addColumn<qint32>("mask");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << 0 << QString();
    QTest::newRow("1 and 3") << 5 << u"1,3"_s;
    QTest::newRow("20 is the last") << 0x180000 << u"20"_s;
    QTest::newRow("all bits") << -1 << u"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20"_s;
}

void TestExceptionDetection::channelList()
{
    QFETCH(qint32, mask);
    QFETCH(QString, expected);
    QCOMPARE(clsExceptionHandler::ChannelList(mask), expected);
}

void TestExceptionDetection::unitClockText()
{
    QCOMPARE(clsExceptionHandler::UnitClockText(0), u"1/1/1960 12:00:00 AM"_s);
    QCOMPARE(clsExceptionHandler::UnitClockText(4294967295.0), u"2/6/2096 6:28:15 AM"_s);
}

QTEST_GUILESS_MAIN(TestExceptionDetection)
#include "tst_exceptiondetection.moc"
