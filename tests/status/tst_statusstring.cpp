#include "BlockWriter.h"
#include "ScriptedPlatform.h"
#include "status/clsStatusString.h"
#include "status/StatusFormat.h"

#include <optional>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString header = u"10.0.0.5  -  Lobby   3/8/2026 2:06:00 PM"_s;
const QString sixteen = QString(16, QLatin1Char(' '));

QString lines(const QStringList& parts)
{
    return parts.join(u"\r\n"_s);
}

// The first 43 bytes of a test unit: one access level of each kind, recording, archiving.
BlockWriter common(int size, quint8 typeByte)
{
    // clang-format off
    return BlockWriter(size, typeByte).bytes(1, QByteArray::fromHex(
        "01" "C0A80014" "0B" "0A000007"  // normal 192.168.0.20, live 10.0.0.7
        "01" "00000E8D" "00057E40"       // recording 3725 s, 360000 s left
        "05" "0001517F" "00000000"       // archiving 86399 s, none left
        "7C7D7995" "00015FCD"            // unit clock 3/8/2026 2:05:09 PM, 90061 s since power up
        "0305" "040A" "0140"));          // versions 3.05 and 4.10, capacity 1.64
    // clang-format on
}

const QString ethernetLine = QStringLiteral(
    "Ethernet :  Normal Connection:  192.168.0.20  Access Level:  2;  Live Connection:  "
    "10.0.0.7  Access Level:  2");
const QString recordLine =
    u"Record   :  Status:  Recording;  Duration:  01:02:05;  Time Left:  100:00:00"_s;
const QString archiveLine = QStringLiteral(
    "Archive  :  Status:  Archiving In Progress;  Duration:  23:59:59;  Time Left:  00:00:00");
const QString generalLine = QStringLiteral(
    "General  :  Unit's Current Time:  3/8/2026 2:05:09 PM;  Time Since Power Up:  25:01:01");

const QString mainVersions =
    sixteen +
    u"  Main Software Version:  3.05;  Power PC Software Version:  4.10;  Disk Capacity:  "
    u"1.64GB"_s;
const QString ppcVersions =
    sixteen + u"  Power PC Software Version:  4.10;  Disk Capacity:  1.64GB"_s;

// The lines that end most status texts.
QStringList maskLines(const QString& alarms = u"None"_s, const QString& alarmsSince = u"None"_s,
                      const QString& videoloss = u"None"_s,
                      const QString& videolossSince = u"None"_s)
{
    return {u"Alarm Status:  "_s + alarms, u"Alarms Since Last Polling:  "_s + alarmsSince,
            u"Videoloss Status:  "_s + videoloss,
            u"Videoloss Since Last Polling:  "_s + videolossSince};
}

QByteArray connectionEntry(quint8 code, const char* hexAddress)
{
    return QByteArray(1, char(code)) + QByteArray::fromHex(hexAddress);
}

} // namespace

class TestStatusString : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_platform.emplace(); }
    void cleanup() { m_platform.reset(); }

    void goldenText_data();
    void goldenText();
    void textLines_data();
    void textLines();
    void badBlock_data();
    void badBlock();
    void decimalSeparatorOfTheLocale();
    void extremes();

private:
    std::optional<ScriptedPlatform> m_platform;
};

void TestStatusString::goldenText_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("expected");

    const QStringList plain = {ethernetLine, recordLine, archiveLine, generalLine};
    QTest::newRow("type 0, no channels") << QByteArray(common(51, 0))
                                         << lines(QStringList{header, u"Unit Type:  Korvo  "_s} +
                                                  plain + QStringList{mainVersions} + maskLines());
    QTest::newRow("type 96, 16-channel masks")
        << QByteArray(common(51, 96).set("43:0005 45:8000 47:0001 49:FFFF"))
        << lines(QStringList{header, u"Unit Type:  YQM  "_s} + plain + QStringList{mainVersions} +
                 maskLines(u"1,3"_s, u"1"_s, u"16"_s, u"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16"_s));

    QTest::newRow("type 1, 32-channel masks, capacity as a number")
        << QByteArray(BlockWriter(79, 0x81)
                          .set("1:07 6:0C 7:7F000001 39:05 40:63 41:01F4 43:00010005 51:80000001 "
                               "55:00008000")
                          .text(59, "XCR-0042"))
        << lines(QStringList{
                     header, u"Unit Type:  XCR  "_s, u"Unit Serial Number:  XCR-0042"_s,
                     QStringLiteral(
                         "Ethernet :  Normal Connection:  0.0.0.0  Access Level:  0;  Live "
                         "Connection:  127.0.0.1  Access Level:  3"),
                     u"Record   :  Status:  Not Recording"_s,
                     u"Archive  :  Status:  Archiving Disabled"_s,
                     QStringLiteral("General  :  Unit's Current Time:  1/1/1960 12:00:00 AM;  Time "
                                    "Since Power Up:  00:00:00"),
                     sixteen + u"  Power PC Software Version:  5.99;  Disk Capacity:  500GB"_s} +
                 maskLines(u"1,3,17"_s, u"1,32"_s, u"None"_s, u"16"_s));

    // Alarm and video loss masks, play status and hardware byte, in hex.
    const auto type2 = [](const char* fields) {
        return QByteArray(common(107, 2)
                              .set("11:02 20:03 " + QByteArray(fields))
                              .text(60, "XCR-16C")
                              .text(80, "S2")
                              .bytes(100, QByteArray::fromHex("000A1B2C3D4E")));
    };
    const auto type2Text = [](const QString& play, const QString& audio, const QString& alarms,
                              const QString& videoIn) {
        return lines({header, u"Unit Type:  XCR  "_s, u"Unit Serial Number:  S2"_s,
                      u"Model Name:  XCR-16C"_s, u"Ethernet MAC Address:  00-0A-1B-2C-3D-4E"_s,
                      u"Play Status:  "_s + play, u"Audio Card Present:  "_s + audio, ethernetLine,
                      u"Record   :  Status:  Disk Full"_s, u"Archive  :  Status:  Device Full"_s,
                      generalLine, ppcVersions, u"Alarm Status:  "_s + alarms,
                      u"Alarms Since Last Polling:  None"_s, u"XCR Video In:  "_s + videoIn});
    };
    QTest::newRow("type 2, videoloss on channel 12")
        << type2("43:00000001 47:00000800 59:01 106:01")
        << type2Text(u"Play"_s, u"Yes"_s, u"External Alarm"_s, u"No Signal Connected"_s);
    QTest::newRow("type 2, videoloss on channel 3")
        << type2("43:00010001 47:00000004 59:00 106:00")
        << type2Text(u"Stop"_s, u"No"_s, u"1,17"_s, u"Present"_s);

    const auto type3 = [](const char* ppcVersion) {
        return QByteArray(common(108, 3)
                              .set("20:01 37:0201 39:" + QByteArray(ppcVersion) + " 106:81 107:02")
                              .text(60, "KT-3200")
                              .text(80, "T3")
                              .bytes(100, QByteArray::fromHex("FFEEDDCCBBAA"))
                              .append(connectionEntry(1, "0A010101"))
                              .append(connectionEntry(10, "0A020202")));
    };
    const auto type3Text = [](const QString& name, const QString& ppc) {
        return lines(
            QStringList{header, u"Unit Type:  "_s + name + u"  "_s, u"Unit Serial Number:  T3"_s,
                        u"Model Name:  KT-3200"_s, u"Ethernet MAC Address:  FF-EE-DD-CC-BB-AA"_s,
                        u"Play Status:  Stop"_s, u"Hardware Fitted:  PAL, Audio Card"_s,
                        u"There is one ServerSocket connection."_s,
                        u"Ethernet :  Normal Connection:  10.1.1.1  Access Level:  2"_s,
                        u"There is one StreamSocket connection."_s,
                        u"Ethernet :  Live Connection:  10.2.2.2  Access Level:  1"_s, recordLine,
                        u"Archive  :  Status:  Enabled but not Archiving"_s, generalLine,
                        sixteen +
                            u"  Main Software Version:  2.01;  Power PC Software Version:  "_s +
                            ppc + u";  Disk Capacity:  1.64GB"_s} +
            maskLines());
    };
    QTest::newRow("type 3 on 6.00 shows its model name")
        << type3("0600") << type3Text(u"KT-3200"_s, u"6.00"_s);
    QTest::newRow("type 3 on 5.99 is a Korvo Tri")
        << type3("0563") << type3Text(u"Korvo Tri"_s, u"5.99"_s);

    QTest::newRow("type 4, vehicle layout")
        << QByteArray(BlockWriter(103, 0x84)
                          .set("1:02 2:C0A80014 6:0A 7:0A000007 11:04 20:7C7D7995 24:0000003B "
                               "28:0102 30:0078 32:8001 38:0002 102:00")
                          .text(40, "RS3-8")
                          .text(60, "RS-9")
                          .bytes(80, QByteArray::fromHex("0102030405A0"))
                          .text(86, "BUS 12"))
        << lines(QStringList{
                     header, u"Unit Type:  Roadscope 3  "_s, u"Unit Serial Number:  RS-9"_s,
                     u"Model Name:  RS3-8"_s, u"Ethernet MAC Address:  01-02-03-04-05-A0"_s,
                     u"RS3 Vehicle ID:  BUS 12"_s, u"Audio Card Present:  No"_s,
                     QStringLiteral(
                         "Ethernet :  Normal Connection:  192.168.0.20  Access Level:  3;  "
                         "Live Connection:  10.0.0.7  Access Level:  1"),
                     u"Record   :  Status:  Disk Test Failed"_s,
                     QStringLiteral("General  :  Unit's Current Time:  3/8/2026 2:05:09 PM;  Time "
                                    "Since Power Up:  00:00:59"),
                     sixteen + u"  Power PC Software Version:  1.02;  Disk Capacity:  120GB"_s} +
                 maskLines(u"1,16"_s, u"None"_s, u"None"_s, u"2"_s));

    QStringList zpt = QStringList{header, u"Unit Type:  ZPT  "_s, u"Unit Serial Number:  Z-80"_s} +
                      plain + QStringList{ppcVersions} + maskLines(u"32"_s);
    for (int i = 1; i <= 8; ++i) {
        zpt << u"Disk%1:  Number of Two Meg Blocks Recorded:  %2"_s.arg(i).arg(i == 1 ? 5 : 0)
            << u"            Oldest Data Time:  1/1/1960 12:00:00 AM"_s
            << u"            Newest Data Time:  "_s +
                   (i == 1 ? u"3/8/2026 2:05:09 PM"_s : u"1/1/1960 12:00:00 AM"_s);
    }
    zpt << u"Unit ID of Recorded Data :  XCR"_s;
    QTest::newRow("type 80, disks")
        << QByteArray(
               common(176, 80).set("43:80000000 79:00000005 87:7C7D7995 175:10").text(59, "Z-80"))
        << lines(zpt);
}

void TestStatusString::goldenText()
{
    QFETCH(QByteArray, block);
    QFETCH(QString, expected);
    clsStatusString status;
    QCOMPARE(status.CreatStatusString(block, header), expected);
    QVERIFY(!status.decodeError());
    QVERIFY(!status.invalidUnitDate());
}

// Lines that must appear whole in the text.
void TestStatusString::textLines_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("expected");
    const auto type3 = [](const QByteArray& entries) -> QByteArray {
        return QByteArray(common(108, 3).u8(106, 0).u8(107, quint8(entries.size() / 5))) + entries;
    };
    QTest::newRow("no connections")
        << type3({}) << u"No ServerSocket or StreamSocket connections."_s;
    QTest::newRow("one normal connection")
        << type3(connectionEntry(0, "01020304"))
        << lines({u"There is one ServerSocket connection."_s,
                  u"Ethernet :  Normal Connection:  1.2.3.4  Access Level:  1"_s,
                  u"No StreamSocket connection."_s});
    QTest::newRow("two normal, one live")
        << type3(connectionEntry(4, "01010101") + connectionEntry(12, "03030303") +
                 connectionEntry(2, "02020202"))
        << lines({u"There are two ServerSocket connections."_s,
                  u"Ethernet :  Normal Connection1:  1.1.1.1  Access Level:  5"_s,
                  sixteen + u"  Normal Connection2:  2.2.2.2  Access Level:  3"_s,
                  u"There is one StreamSocket connection."_s,
                  u"Ethernet :  Live Connection:  3.3.3.3  Access Level:  3"_s});
}

void TestStatusString::textLines()
{
    QFETCH(QByteArray, block);
    QFETCH(QString, expected);
    clsStatusString status;
    const QString text = u"\r\n"_s + status.CreatStatusString(block, header) + u"\r\n"_s;
    QVERIFY2(text.contains(u"\r\n"_s + expected + u"\r\n"_s), qPrintable(text));
}

void TestStatusString::badBlock_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("dateBox");
    const auto shortBlock = [](const char* name, const QByteArray& block, bool dateBox = false) {
        QTest::newRow(name) << block
                            << u"Internal Error: Create Status String %1 Subscript out of range 9"_s
                                   .arg(block.size() - 1)
                            << dateBox;
    };
    shortBlock("empty", {}, true);
    shortBlock("type 0 cut in the unit time", QByteArray(common(51, 0)).left(31), true);
    shortBlock("type 1 cut in the serial number", BlockWriter(70, 1).text(59, "ABCDEFGHIJK"));
    shortBlock("type 3 with a missing entry",
               common(108, 3).u8(107, 2).append(connectionEntry(1, "01020304")));
    shortBlock("type 4 cut early, no date box", BlockWriter(10, 4));
    shortBlock("type 4 without its audio byte", BlockWriter(102, 4));
    QTest::newRow("type 97, capacity bit")
        << QByteArray(common(120, 0x80 | 97)) << u"Unsupported Unit Type"_s << false;
    QTest::newRow("disk count overflow")
        << QByteArray(common(176, 80).u32(79 + 12 * 3, 0x80000000))
        << u"Internal Error: Create Status String 175 Overflow 6"_s << false;
}

void TestStatusString::badBlock()
{
    QFETCH(QByteArray, block);
    QFETCH(QString, error);
    QFETCH(bool, dateBox);
    clsStatusString status;
    QCOMPARE(status.CreatStatusString(block, header), header + u"\r\n"_s + error);
    QCOMPARE(status.decodeError(), error.startsWith(u"Internal"_s));
    QCOMPARE(status.invalidUnitDate(), dateBox);
    QVERIFY(m_platform->prompts.shown.isEmpty()); // the box is the caller's, after the conversation
}

void TestStatusString::decimalSeparatorOfTheLocale()
{
    m_platform->locale = PinnedLocale(QLocale(QLocale::German, QLocale::Germany));
    clsStatusString status;
    const QString text = status.CreatStatusString(common(51, 0), header);
    QVERIFY2(text.contains(QStringLiteral("Main Software Version:  3,05;  Power PC Software "
                                          "Version:  4,10;  Disk Capacity:  1,64GB")),
             qPrintable(text));
    QVERIFY2(text.contains(u"Unit's Current Time:  08.03.2026 14:05:09;"_s), qPrintable(text));
}

void TestStatusString::extremes()
{
    QCOMPARE(StatusFormat::durationText(4294967295.0), u"1193046:28:15"_s);
    const std::pair<quint32, QString> times[] = {{0u, u"1/1/1960 12:00:00 AM"_s},
                                                 {2147483647u, u"1/19/2028 3:14:07 AM"_s},
                                                 {4294967295u, u"2/6/2096 6:28:15 AM"_s}};
    for (const auto& [seconds, text] : times) {
        QCOMPARE(StatusFormat::unitTimeText(seconds), text);
        QCOMPARE(StatusBlock::unitTimeOf(StatusBlock::unitClock(seconds)), seconds);
    }
}

QTEST_GUILESS_MAIN(TestStatusString)
#include "tst_statusstring.moc"
