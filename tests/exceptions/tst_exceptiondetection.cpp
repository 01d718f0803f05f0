#include "core/Settings.h"
#include "exceptions/clsExceptionHandler.h"
#include "exceptions/DetectionFields.h"
#include "exceptions/DetectionMemory.h"
#include "ScriptedPlatform.h"

#include <optional>
#include <QTest>

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
class BlockBuilder
{
public:
    explicit BlockBuilder(quint8 typeByte) : m_bytes(sizeFor(typeByte & 0x7F), char(0xEE))
    {
        m_bytes[0] = char(typeByte);
    }

    static qsizetype sizeFor(int kind)
    {
        switch (kind) {
        case 0:
        case 96:
            return 51;
        case 1:
        case 80:
            return 59;
        case 2:
        case 3:
            return 108;
        case 4:
            return 103;
        default:
            return 120;
        }
    }

    BlockBuilder& u8(int at, quint8 v)
    {
        m_bytes[at] = char(v);
        return *this;
    }
    BlockBuilder& u16(int at, quint16 v) { return u8(at, v >> 8).u8(at + 1, v & 0xFF); }
    BlockBuilder& u32(int at, quint32 v) { return u16(at, v >> 16).u16(at + 2, v & 0xFFFF); }

    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

QByteArray blockOf(const UnitState& s)
{
    const int kind = s.typeByte & 0x7F;
    const bool vehicle = kind == 4;
    BlockBuilder b(s.typeByte);
    b.u8(11, s.recordStatus);
    if (!vehicle)
        b.u8(20, s.archiveStatus);
    const int clockAt = vehicle ? 20 : 29;
    b.u32(clockAt, unitSeconds(kUnitNow.addSecs(s.clockShift)));
    b.u32(clockAt + 4, s.powerOn);
    const int swAt = vehicle ? 28 : 39;
    b.u8(swAt, s.swMajor).u8(swAt + 1, s.swMinor).u16(swAt + 2, s.capacity);
    int masksAt = 43;
    int step = 2;
    if (kind == 1 || kind == 2 || kind == 3 || kind == 80) {
        masksAt = 43;
        step = 4;
        // 32-bit masks: the high halves (channels 17 to 32) are set and must be ignored.
        for (int i = 0; i < 4; ++i)
            b.u16(masksAt + 4 * i, 0xFFFF);
        masksAt += 2;
    } else if (vehicle) {
        masksAt = 32;
    }
    b.u16(masksAt, s.currentAlarm)
        .u16(masksAt + step, s.currentVidloss)
        .u16(masksAt + 2 * step, s.historyAlarm)
        .u16(masksAt + 3 * step, s.historyVidloss);
    if (kind == 2 || kind == 3)
        b.u8(106, s.hardware);
    if (vehicle)
        b.u8(102, s.hardware);
    return b.bytes();
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

    void firstStatusAppliesOnlyAbsoluteRules();
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
    void thresholdsAreReadWhenTheTextIsMade();
    void channelList_data();
    void channelList();
    void unitClockText();

private:
    QString detect(const UnitState& state, const QString& key = QStringLiteral("10.0.0.7"))
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
    QTest::addColumn<bool>("hasArchive");
    QTest::addColumn<bool>("hasHardware");
    QTest::addColumn<QString>("capacity");
    QTest::newRow("Korvo (0)") << quint8(0) << true << false << QStringLiteral("2,80");
    QTest::newRow("YQM (96)") << quint8(96) << true << false << QStringLiteral("2,80");
    QTest::newRow("XCR (1)") << quint8(1) << true << false << QStringLiteral("2,80");
    QTest::newRow("ZPT (80)") << quint8(80) << true << false << QStringLiteral("2,80");
    QTest::newRow("XCR (2)") << quint8(2) << true << true << QStringLiteral("2,80");
    QTest::newRow("Korvo Tri (3)") << quint8(3) << true << true << QStringLiteral("2,80");
    QTest::newRow("vehicle (4)") << quint8(4) << false << true << QStringLiteral("2,80");
    QTest::newRow("Korvo, capacity in GB")
        << quint8(0x80) << true << false << QStringLiteral("592");
    QTest::newRow("vehicle, capacity in GB")
        << quint8(0x84) << false << true << QStringLiteral("592");
}

void TestExceptionDetection::fieldsAtTheirOffsets()
{
    QFETCH(quint8, typeByte);
    QFETCH(bool, hasArchive);
    QFETCH(bool, hasHardware);
    QFETCH(QString, capacity);
    UnitState s;
    s.typeByte = typeByte;
    s.recordStatus = 2;
    s.archiveStatus = 3;
    s.clockShift = 17;
    s.powerOn = 123456;
    s.swMajor = 6;
    s.swMinor = 1;
    s.capacity = 0x0250; // 2 and 80, or 592
    s.currentAlarm = 0x0001;
    s.currentVidloss = 0x0102;
    s.historyAlarm = 0x8004;
    s.historyVidloss = 0x0040;
    s.hardware = 0x81;

    const auto f = DetectionFields::read(blockOf(s), QStringLiteral(","));
    QVERIFY(f.has_value());
    QCOMPARE(f->kind, typeByte & 0x7F);
    QCOMPARE(f->recordStatus, quint8(2));
    QCOMPARE(f->archiveStatus.has_value(), hasArchive);
    if (hasArchive)
        QCOMPARE(*f->archiveStatus, quint8(3));
    QCOMPARE(f->clock, double(unitSeconds(kUnitNow) + 17));
    QCOMPARE(f->powerOnSeconds, 123456.0);
    QCOMPARE(f->softwareVersion, QStringLiteral("6,01"));
    QCOMPARE(f->diskCapacity, capacity);
    QCOMPARE(f->currentAlarm, 0x0001);
    QCOMPARE(f->currentVidloss, 0x0102);
    QCOMPARE(f->historyAlarm, 0x8004);
    QCOMPARE(f->historyVidloss, 0x0040);
    QCOMPARE(f->hardware.has_value(), hasHardware);
    if (hasHardware)
        QCOMPARE(*f->hardware, quint8(0x81));
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
    UnitState s;
    s.typeByte = typeByte;
    s.recordStatus = 0; // an absolute rule fires whenever the block is read
    QByteArray block = blockOf(s);
    block.resize(size, char(0xEE));
    if (size > 0)
        block[0] = char(typeByte);

    DetectionMemory& memory = DetectionMemory::shared();
    memory.addAlarmMask(9); // left over from an earlier poll
    const QString result = handler().CreatExceptionString(block, QStringLiteral("u"), 0, 0);
    QCOMPARE(result, detected ? QStringLiteral("1") : QString());
    QCOMPARE(memory.previousStatusCount(), detected ? 1 : 0);
    QCOMPARE(memory.connectionStateCount(), 0);
    QCOMPARE(memory.alarmDetail(), QString());
}

void TestExceptionDetection::firstStatusAppliesOnlyAbsoluteRules()
{
    UnitState s;
    s.recordStatus = 0;
    s.historyAlarm = 5;
    s.currentAlarm = 1;
    s.clockShift = 3600; // an hour off: would be code 7 if compared
    QCOMPARE(detect(s), QStringLiteral("1,11,19"));
    QCOMPARE(clsExceptionHandler::alarmDetail(), QStringLiteral("5+1"));
    QCOMPARE(clsExceptionHandler::videolossDetail(), QString());
}

void TestExceptionDetection::absoluteRulesFireOnEveryPoll()
{
    UnitState s;
    s.recordStatus = 0;
    s.historyAlarm = 5;
    s.currentAlarm = 1;
    s.currentVidloss = 4;
    QCOMPARE(detect(s), QStringLiteral("1,11,19,20"));
    QCOMPARE(detect(s), QStringLiteral("1,11,19,20"));
    QCOMPARE(clsExceptionHandler::alarmDetail(), QStringLiteral("5+1"));
    QCOMPARE(clsExceptionHandler::videolossDetail(), QStringLiteral("4"));

    s.recordStatus = 1;
    s.historyAlarm = 0;
    s.currentAlarm = 0;
    s.currentVidloss = 0;
    QCOMPARE(detect(s), QString());
    QCOMPARE(clsExceptionHandler::alarmDetail(), QString());
    QCOMPARE(clsExceptionHandler::videolossDetail(), QString());
}

void TestExceptionDetection::rules_data()
{
    QTest::addColumn<UnitState>("first");
    QTest::addColumn<UnitState>("second");
    QTest::addColumn<QString>("expected");

    const UnitState base;
    const auto with = [&base](auto change) {
        UnitState s = base;
        change(s);
        return s;
    };
    QTest::newRow("nothing changed") << base << base << QString();
    QTest::newRow("recording disk failure")
        << base << with([](UnitState& s) { s.recordStatus = 4; }) << QStringLiteral("16");
    QTest::newRow("recording disk full (2)")
        << base << with([](UnitState& s) { s.recordStatus = 2; }) << QStringLiteral("17");
    QTest::newRow("recording disk full (3)")
        << base << with([](UnitState& s) { s.recordStatus = 3; }) << QStringLiteral("17");
    QTest::newRow("archive device full")
        << with([](UnitState& s) { s.archiveStatus = 3; })
        << with([](UnitState& s) { s.archiveStatus = 3; }) << QStringLiteral("18");
    QTest::newRow("archive status changed to full")
        << base << with([](UnitState& s) { s.archiveStatus = 3; }) << QStringLiteral("4,18");
    QTest::newRow("clock advanced 600 s, powered on 100 s")
        << with([](UnitState& s) { s.clockShift = -300; })
        << with([](UnitState& s) { s.clockShift = 300, s.powerOn = 100; }) << QStringLiteral("8");
    QTest::newRow("clock advanced 600 s, powered on 597 s")
        << with([](UnitState& s) { s.clockShift = -300; })
        << with([](UnitState& s) { s.clockShift = 300, s.powerOn = 597; }) << QString();
    QTest::newRow("clock advanced 600 s, powered on 596 s")
        << with([](UnitState& s) { s.clockShift = -300; })
        << with([](UnitState& s) { s.clockShift = 300, s.powerOn = 596; }) << QStringLiteral("8");
    QTest::newRow("clock 15 minutes fast")
        << base << with([](UnitState& s) { s.clockShift = 15 * 60; }) << QString();
    QTest::newRow("clock 16 minutes fast")
        << base << with([](UnitState& s) { s.clockShift = 16 * 60; }) << QStringLiteral("7");
    QTest::newRow("clock 16 minutes slow")
        << base << with([](UnitState& s) { s.clockShift = -16 * 60; }) << QStringLiteral("7");
    QTest::newRow("clock 15 minutes 30 s slow: 16 minute boundaries")
        << base << with([](UnitState& s) { s.clockShift = -(15 * 60 + 30); })
        << QStringLiteral("7");
    QTest::newRow("software version")
        << base << with([](UnitState& s) { s.swMinor = 6; }) << QStringLiteral("9");
    QTest::newRow("disk capacity")
        << base << with([](UnitState& s) { s.capacity = 0x0251; }) << QStringLiteral("10");
    QTest::newRow("hardware of an XCR 2")
        << with([](UnitState& s) { s.typeByte = 2; })
        << with([](UnitState& s) { s.typeByte = 2, s.hardware = 1; }) << QStringLiteral("13");
    QTest::newRow("hardware of a vehicle unit")
        << with([](UnitState& s) { s.typeByte = 4; })
        << with([](UnitState& s) { s.typeByte = 4, s.hardware = 1; }) << QStringLiteral("13");
    QTest::newRow("history video loss with current")
        << base << with([](UnitState& s) { s.historyVidloss = 2, s.currentVidloss = 8; })
        << QStringLiteral("12,20");
    QTest::newRow("everything at once") << with([](UnitState& s) {
        s.typeByte = 3, s.clockShift = -300;
    }) << with([](UnitState& s) {
        s.typeByte = 3, s.recordStatus = 0, s.archiveStatus = 3, s.clockShift = 1800;
        s.powerOn = 10, s.swMajor = 7, s.capacity = 1, s.hardware = 2;
        s.historyAlarm = 1, s.currentAlarm = 1, s.historyVidloss = 1;
        s.currentVidloss = 1;
    }) << QStringLiteral("1,4,7,8,9,10,11,12,13,18,19,20");
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
    UnitState xcr;
    xcr.typeByte = 2;
    xcr.archiveStatus = 5;
    xcr.hardware = 1;
    UnitState korvo = xcr;
    korvo.typeByte = 0;
    korvo.hardware = 7;
    UnitState vehicle = xcr;
    vehicle.typeByte = 4;
    vehicle.archiveStatus = 0;

    detect(xcr);
    QCOMPARE(detect(korvo), QString());   // kind 0 has no hardware byte: nothing compared
    QCOMPARE(detect(vehicle), QString()); // vehicle: no archive state, hardware 1 as stored
    QCOMPARE(detect(xcr), QString());     // archive state 5 kept through the vehicle poll
}

void TestExceptionDetection::resetMarkSkipsOneComparison()
{
    const QString key = QStringLiteral("10.0.0.7");
    clsExceptionHandler::SetResetMark(key); // unit never polled: nothing to mark
    QCOMPARE(DetectionMemory::shared().previousStatusCount(), 0);

    UnitState s;
    s.recordStatus = 0;
    detect(s, key);
    clsExceptionHandler::SetResetMark(key);
    s.clockShift = 3600; // the clock was just set, and the jump is no fault
    QCOMPARE(detect(s, key), QStringLiteral("1"));
    QVERIFY(!DetectionMemory::shared().previousStatus(key)->resetMark);
    s.clockShift = 3600 + 60;
    s.swMinor = 9;
    QCOMPARE(detect(s, key), QStringLiteral("1,7,9"));
}

void TestExceptionDetection::allFiltersOff()
{
    for (int i = static_cast<int>(Option::RecordStatus);
         i <= static_cast<int>(Option::CurrentVidloss); ++i)
        m_settings->SaveOption(static_cast<Option>(i), 0);
    UnitState bad;
    bad.typeByte = 2;
    bad.recordStatus = 0;
    bad.archiveStatus = 3;
    bad.historyAlarm = bad.currentAlarm = bad.historyVidloss = bad.currentVidloss = 1;
    UnitState worse = bad;
    worse.clockShift = 7200;
    worse.powerOn = 1;
    worse.swMajor = 9;
    worse.capacity = 9;
    worse.hardware = 9;
    worse.archiveStatus = 1;

    QCOMPARE(detect(bad), QString());
    QCOMPARE(detect(worse), QString());
    QCOMPARE(handler().GetConnectionChangeString(QStringLiteral("x"), false), QString());
    QCOMPARE(handler().GetConnectionChangeString(QStringLiteral("x"), true), QString());
    QVERIFY(!clsExceptionHandler::notifyFlag());
    QCOMPARE(clsExceptionHandler::alarmDetail(), QString());
}

void TestExceptionDetection::notifyFlag_data()
{
    QTest::addColumn<UnitState>("state");
    QTest::addColumn<int>("notifyOption");
    QTest::addColumn<bool>("notifies");
    UnitState notRecording;
    notRecording.recordStatus = 0;
    UnitState alarm;
    alarm.currentAlarm = 1;
    UnitState clockOff;
    clockOff.clockShift = 3600;
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
    const QString none;
    const QString made = QStringLiteral("14");
    const QString failed = QStringLiteral("15");
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
        results.append(handler().GetConnectionChangeString(QStringLiteral("5551234"), connected));
    QCOMPARE(results, expected);
    QCOMPARE(clsExceptionHandler::notifyFlag(), notifies);
    // Another unit has its own history.
    QCOMPARE(handler().GetConnectionChangeString(QStringLiteral("5551235"), true), QString());
}

void TestExceptionDetection::texts_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("longText");
    QTest::addColumn<QString>("shortText");
    QTest::newRow("3 with RTL") << 3 << QStringLiteral("Record Time left is less than 45 minutes.")
                                << QStringLiteral("Record Time left < 45 minutes");
    QTest::newRow("6 with ATL") << 6 << QStringLiteral("Archive Time left is less than 90 minutes.")
                                << QStringLiteral("Archive Time left < 90 minutes");
    QTest::newRow("7 with LTDiff")
        << 7
        << QStringLiteral("The local time difference between PC and unit is more than 30 "
                          "minutes.")
        << QStringLiteral("The local time diff. between PC and unit: > 30 minutes");
    QTest::newRow("11") << 11 << QStringLiteral("Alarm Since Last Polling: ")
                        << QStringLiteral("Alarm Since Last Polling: ");
    QTest::newRow("0") << 0 << QString() << QString();
    QTest::newRow("21") << 21 << QString() << QString();
}

void TestExceptionDetection::texts()
{
    QFETCH(int, code);
    QFETCH(QString, longText);
    QFETCH(QString, shortText);
    m_settings->setRTL(45);
    m_settings->setATL(90);
    m_settings->setLTDiff(30);
    const clsExceptionHandler h(*m_settings);
    QCOMPARE(h.ExceptionLongText(qint16(code)), longText);
    QCOMPARE(h.ExceptionShortText(qint16(code)), shortText);
}

void TestExceptionDetection::thresholdsAreReadWhenTheTextIsMade()
{
    const clsExceptionHandler h(*m_settings);
    QCOMPARE(h.ExceptionShortText(3), QStringLiteral("Record Time left < 60 minutes"));
    m_settings->setRTL(120);
    QCOMPARE(h.ExceptionShortText(3), QStringLiteral("Record Time left < 120 minutes"));

    // The time difference rule reads LTDiff at detection too.
    UnitState s;
    detect(s);
    s.clockShift = 20 * 60;
    QCOMPARE(detect(s), QStringLiteral("7"));
    m_settings->setLTDiff(25);
    QCOMPARE(detect(s), QString());
}

void TestExceptionDetection::channelList_data()
{
    QTest::addColumn<qint32>("mask");
    QTest::addColumn<QString>("expected");
    QTest::newRow("none") << 0 << QString();
    QTest::newRow("1 and 3") << 5 << QStringLiteral("1,3");
    QTest::newRow("16") << 0x8000 << QStringLiteral("16");
    QTest::newRow("20 is the last") << 0x180000 << QStringLiteral("20");
    QTest::newRow("all bits") << -1
                              << QStringLiteral(
                                     "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20");
}

void TestExceptionDetection::channelList()
{
    QFETCH(qint32, mask);
    QFETCH(QString, expected);
    QCOMPARE(clsExceptionHandler::ChannelList(mask), expected);
}

void TestExceptionDetection::unitClockText()
{
    QCOMPARE(clsExceptionHandler::UnitClockText(0), QStringLiteral("1/1/1960 12:00:00 AM"));
    QCOMPARE(clsExceptionHandler::UnitClockText(4294967295.0),
             QStringLiteral("2/6/2096 6:28:15 AM"));
    QCOMPARE(clsExceptionHandler::UnitClockText(2097144000.0),
             QStringLiteral("6/15/2026 12:00:00 PM"));
}

QTEST_GUILESS_MAIN(TestExceptionDetection)
#include "tst_exceptiondetection.moc"
