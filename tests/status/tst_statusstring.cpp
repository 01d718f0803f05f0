#include "ScriptedPlatform.h"
#include "status/clsStatusString.h"
#include "status/StatusFormat.h"

#include <optional>
#include <QTest>

namespace {

const QString header = QStringLiteral("10.0.0.5  -  Lobby   3/8/2026 2:06:00 PM");
const QString sixteen = QString(16, QLatin1Char(' '));
constexpr quint32 march8 = 2088597909; // 3/8/2026 2:05:09 PM

QString lines(const QStringList& parts)
{
    return parts.join(QStringLiteral("\r\n"));
}

// A status block written byte by byte, as a unit would send it.
class Block
{
public:
    Block(int size, quint8 typeByte) : m_bytes(size, '\0') { m_bytes[0] = char(typeByte); }
    Block& u8(int pos, quint8 v)
    {
        m_bytes[pos] = char(v);
        return *this;
    }
    Block& u16(int pos, quint16 v) { return u8(pos, quint8(v >> 8)).u8(pos + 1, quint8(v)); }
    Block& u32(int pos, quint32 v) { return u16(pos, quint16(v >> 16)).u16(pos + 2, quint16(v)); }
    Block& bytes(int pos, const QByteArray& b)
    {
        for (int i = 0; i < b.size(); ++i)
            m_bytes[pos + i] = b.at(i);
        return *this;
    }
    Block& text(int pos, const char* s) { return bytes(pos, QByteArray(s)); }
    Block& append(const QByteArray& b)
    {
        m_bytes.append(b);
        return *this;
    }
    operator QByteArray() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// The first 43 bytes of a test unit: one access level of each kind, recording, archiving.
Block common(int size, quint8 typeByte)
{
    return Block(size, typeByte)
        .u8(1, 1)
        .bytes(2, QByteArray::fromHex("C0A80014")) // 192.168.0.20
        .u8(6, 11)
        .bytes(7, QByteArray::fromHex("0A000007")) // 10.0.0.7
        .u8(11, 1)
        .u32(12, 3725)
        .u32(16, 360000)
        .u8(20, 5)
        .u32(21, 86399)
        .u32(25, 0)
        .u32(29, march8)
        .u32(33, 90061)
        .u8(37, 3)
        .u8(38, 5)
        .u8(39, 4)
        .u8(40, 10)
        .u8(41, 1)
        .u8(42, 64);
}

const QString ethernetLine = QStringLiteral(
    "Ethernet :  Normal Connection:  192.168.0.20  Access Level:  2;  Live Connection:  "
    "10.0.0.7  Access Level:  2");
const QString recordLine =
    QStringLiteral("Record   :  Status:  Recording;  Duration:  01:02:05;  Time Left:  100:00:00");
const QString archiveLine = QStringLiteral(
    "Archive  :  Status:  Archiving In Progress;  Duration:  23:59:59;  Time Left:  00:00:00");
const QString generalLine = QStringLiteral(
    "General  :  Unit's Current Time:  3/8/2026 2:05:09 PM;  Time Since Power Up:  25:01:01");

QByteArray connectionEntry(quint8 code, const char* hexAddress)
{
    return QByteArray(1, char(code)) + QByteArray::fromHex(hexAddress);
}

QString connectionPart(const QString& text)
{
    const QStringList all = text.split(QStringLiteral("\r\n"));
    QStringList part;
    bool in = false;
    for (const QString& line : all) {
        if (line.startsWith(QLatin1String("Record")))
            break;
        if (line.startsWith(QLatin1String("Hardware Fitted")))
            in = true;
        else if (in)
            part.append(line);
    }
    return lines(part);
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
    void connectionTable_data();
    void connectionTable();
    void stateTexts_data();
    void stateTexts();
    void shortBlock_data();
    void shortBlock();
    void unsupportedType();
    void diskCountOverflow();
    void decimalSeparatorOfTheLocale();
    void durations_data();
    void durations();
    void unitTimes_data();
    void unitTimes();

private:
    std::optional<ScriptedPlatform> m_platform;
};

void TestStatusString::goldenText_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("expected");

    QTest::newRow("type 0, no channels")
        << QByteArray(common(51, 0))
        << lines({header, QStringLiteral("Unit Type:  Korvo  "), ethernetLine, recordLine,
                  archiveLine, generalLine,
                  sixteen + QStringLiteral("  Main Software Version:  3.05;  Power PC Software "
                                           "Version:  4.10;  Disk Capacity:  1.64GB"),
                  QStringLiteral("Alarm Status:  None"),
                  QStringLiteral("Alarms Since Last Polling:  None"),
                  QStringLiteral("Videoloss Status:  None"),
                  QStringLiteral("Videoloss Since Last Polling:  None")});

    QTest::newRow("type 96, 16-channel masks")
        << QByteArray(
               common(51, 96).u16(43, 0x0005).u16(45, 0x8000).u16(47, 0x0001).u16(49, 0xFFFF))
        << lines({header, QStringLiteral("Unit Type:  YQM  "), ethernetLine, recordLine,
                  archiveLine, generalLine,
                  sixteen + QStringLiteral("  Main Software Version:  3.05;  Power PC Software "
                                           "Version:  4.10;  Disk Capacity:  1.64GB"),
                  QStringLiteral("Alarm Status:  1,3"),
                  QStringLiteral("Alarms Since Last Polling:  1"),
                  QStringLiteral("Videoloss Status:  16"),
                  QStringLiteral("Videoloss Since Last Polling:  "
                                 "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16")});

    QTest::newRow("type 1, 32-channel masks, capacity as a number")
        << QByteArray(Block(79, 0x81)
                          .u8(1, 7)
                          .u8(6, 12)
                          .bytes(7, QByteArray::fromHex("7F000001"))
                          .u8(39, 5)
                          .u8(40, 99)
                          .u16(41, 500)
                          .bytes(43, QByteArray::fromHex("00010005"))
                          .u32(51, 0x80000001)
                          .u32(55, 0x00008000)
                          .text(59, "XCR-0042"))
        << lines({header, QStringLiteral("Unit Type:  XCR  "),
                  QStringLiteral("Unit Serial Number:  XCR-0042"),
                  QStringLiteral("Ethernet :  Normal Connection:  0.0.0.0  Access Level:  0;  Live "
                                 "Connection:  127.0.0.1  Access Level:  3"),
                  QStringLiteral("Record   :  Status:  Not Recording"),
                  QStringLiteral("Archive  :  Status:  Archiving Disabled"),
                  QStringLiteral("General  :  Unit's Current Time:  1/1/1960 12:00:00 AM;  Time "
                                 "Since Power Up:  00:00:00"),
                  sixteen +
                      QStringLiteral("  Power PC Software Version:  5.99;  Disk Capacity:  500GB"),
                  QStringLiteral("Alarm Status:  1,3,17"),
                  QStringLiteral("Alarms Since Last Polling:  1,32"),
                  QStringLiteral("Videoloss Status:  None"),
                  QStringLiteral("Videoloss Since Last Polling:  16")});

    const auto type2 = [](quint32 alarm, quint32 videoloss, quint8 play, quint8 audio) {
        return QByteArray(common(107, 2)
                              .u8(11, 2)
                              .u8(20, 3)
                              .u32(43, alarm)
                              .u32(47, videoloss)
                              .u8(59, play)
                              .text(60, "XCR-16C")
                              .text(80, "S2")
                              .bytes(100, QByteArray::fromHex("000A1B2C3D4E"))
                              .u8(106, audio));
    };
    const auto type2Text = [](const QString& play, const QString& audio, const QString& alarms,
                              const QString& videoIn) {
        return lines(
            {header, QStringLiteral("Unit Type:  XCR  "), QStringLiteral("Unit Serial Number:  S2"),
             QStringLiteral("Model Name:  XCR-16C"),
             QStringLiteral("Ethernet MAC Address:  00-0A-1B-2C-3D-4E"),
             QStringLiteral("Play Status:  ") + play,
             QStringLiteral("Audio Card Present:  ") + audio, ethernetLine,
             QStringLiteral("Record   :  Status:  Disk Full"),
             QStringLiteral("Archive  :  Status:  Device Full"), generalLine,
             sixteen +
                 QStringLiteral("  Power PC Software Version:  4.10;  Disk Capacity:  1.64GB"),
             QStringLiteral("Alarm Status:  ") + alarms,
             QStringLiteral("Alarms Since Last Polling:  None"),
             QStringLiteral("XCR Video In:  ") + videoIn});
    };
    QTest::newRow("type 2, videoloss on channel 12")
        << type2(0x00000001, 0x00000800, 1, 1)
        << type2Text(QStringLiteral("Play"), QStringLiteral("Yes"),
                     QStringLiteral("External Alarm"), QStringLiteral("No Signal Connected"));
    QTest::newRow("type 2, videoloss on channel 3")
        << type2(0x00010001, 0x00000004, 0, 0)
        << type2Text(QStringLiteral("Stop"), QStringLiteral("No"), QStringLiteral("1,17"),
                     QStringLiteral("Present"));

    const auto type3 = [](quint8 ppcMajor, quint8 ppcMinor) {
        return QByteArray(common(108, 3)
                              .u8(20, 1)
                              .u8(37, 2)
                              .u8(38, 1)
                              .u8(39, ppcMajor)
                              .u8(40, ppcMinor)
                              .text(60, "KT-3200")
                              .text(80, "T3")
                              .bytes(100, QByteArray::fromHex("FFEEDDCCBBAA"))
                              .u8(106, 129)
                              .u8(107, 2)
                              .append(connectionEntry(1, "0A010101"))
                              .append(connectionEntry(10, "0A020202")));
    };
    const auto type3Text = [](const QString& name, const QString& ppc) {
        return lines(
            {header, QStringLiteral("Unit Type:  ") + name + QStringLiteral("  "),
             QStringLiteral("Unit Serial Number:  T3"), QStringLiteral("Model Name:  KT-3200"),
             QStringLiteral("Ethernet MAC Address:  FF-EE-DD-CC-BB-AA"),
             QStringLiteral("Play Status:  Stop"),
             QStringLiteral("Hardware Fitted:  PAL, Audio Card"),
             QStringLiteral("There is one ServerSocket connection."),
             QStringLiteral("Ethernet :  Normal Connection:  10.1.1.1  Access Level:  2"),
             QStringLiteral("There is one StreamSocket connection."),
             QStringLiteral("Ethernet :  Live Connection:  10.2.2.2  Access Level:  1"), recordLine,
             QStringLiteral("Archive  :  Status:  Enabled but not Archiving"), generalLine,
             sixteen +
                 QStringLiteral("  Main Software Version:  2.01;  Power PC Software Version:  ") +
                 ppc + QStringLiteral(";  Disk Capacity:  1.64GB"),
             QStringLiteral("Alarm Status:  None"),
             QStringLiteral("Alarms Since Last Polling:  None"),
             QStringLiteral("Videoloss Status:  None"),
             QStringLiteral("Videoloss Since Last Polling:  None")});
    };
    QTest::newRow("type 3 on 6.00 shows its model name")
        << type3(6, 0) << type3Text(QStringLiteral("KT-3200"), QStringLiteral("6.00"));
    QTest::newRow("type 3 on 5.99 is a Korvo Tri")
        << type3(5, 99) << type3Text(QStringLiteral("Korvo Tri"), QStringLiteral("5.99"));

    QTest::newRow("type 4, vehicle layout")
        << QByteArray(Block(103, 0x84)
                          .u8(1, 2)
                          .bytes(2, QByteArray::fromHex("C0A80014"))
                          .u8(6, 10)
                          .bytes(7, QByteArray::fromHex("0A000007"))
                          .u8(11, 4)
                          .u32(20, march8)
                          .u32(24, 59)
                          .u8(28, 1)
                          .u8(29, 2)
                          .u16(30, 120)
                          .u16(32, 0x8001)
                          .u16(38, 0x0002)
                          .text(40, "RS3-8")
                          .text(60, "RS-9")
                          .bytes(80, QByteArray::fromHex("0102030405A0"))
                          .text(86, "BUS 12")
                          .u8(102, 0))
        << lines({header, QStringLiteral("Unit Type:  Roadscope 3  "),
                  QStringLiteral("Unit Serial Number:  RS-9"), QStringLiteral("Model Name:  RS3-8"),
                  QStringLiteral("Ethernet MAC Address:  01-02-03-04-05-A0"),
                  QStringLiteral("RS3 Vehicle ID:  BUS 12"),
                  QStringLiteral("Audio Card Present:  No"),
                  QStringLiteral("Ethernet :  Normal Connection:  192.168.0.20  Access Level:  3;  "
                                 "Live Connection:  10.0.0.7  Access Level:  1"),
                  QStringLiteral("Record   :  Status:  Disk Test Failed"),
                  QStringLiteral("General  :  Unit's Current Time:  3/8/2026 2:05:09 PM;  Time "
                                 "Since Power Up:  00:00:59"),
                  sixteen +
                      QStringLiteral("  Power PC Software Version:  1.02;  Disk Capacity:  120GB"),
                  QStringLiteral("Alarm Status:  1,16"),
                  QStringLiteral("Alarms Since Last Polling:  None"),
                  QStringLiteral("Videoloss Status:  None"),
                  QStringLiteral("Videoloss Since Last Polling:  2")});

    QStringList disks;
    for (int i = 1; i <= 8; ++i) {
        disks << QStringLiteral("Disk%1:  Number of Two Meg Blocks Recorded:  %2")
                     .arg(i)
                     .arg(i == 1 ? 5 : 0)
              << QStringLiteral("            Oldest Data Time:  1/1/1960 12:00:00 AM")
              << QStringLiteral("            Newest Data Time:  ") +
                     (i == 1 ? QStringLiteral("3/8/2026 2:05:09 PM")
                             : QStringLiteral("1/1/1960 12:00:00 AM"));
    }
    QStringList zpt = {
        header,
        QStringLiteral("Unit Type:  ZPT  "),
        QStringLiteral("Unit Serial Number:  Z-80"),
        ethernetLine,
        recordLine,
        archiveLine,
        generalLine,
        sixteen + QStringLiteral("  Power PC Software Version:  4.10;  Disk Capacity:  1.64GB"),
        QStringLiteral("Alarm Status:  32"),
        QStringLiteral("Alarms Since Last Polling:  None"),
        QStringLiteral("Videoloss Status:  None"),
        QStringLiteral("Videoloss Since Last Polling:  None")};
    zpt << disks << QStringLiteral("Unit ID of Recorded Data :  XCR");
    QTest::newRow("type 80, disks") << QByteArray(common(176, 80)
                                                      .u32(43, 0x80000000)
                                                      .text(59, "Z-80")
                                                      .u32(79, 5)
                                                      .u32(87, march8)
                                                      .u8(175, 16))
                                    << lines(zpt);
}

void TestStatusString::goldenText()
{
    QFETCH(QByteArray, block);
    QFETCH(QString, expected);
    clsStatusString status;
    QCOMPARE(status.CreatStatusString(block, header), expected);
    QVERIFY(!status.decodeError());
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestStatusString::connectionTable_data()
{
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<QString>("expected");

    QTest::newRow("none") << QByteArray()
                          << QStringLiteral("No ServerSocket or StreamSocket connections.");
    QTest::newRow("one normal") << connectionEntry(0, "01020304")
                                << lines({QStringLiteral("There is one ServerSocket connection."),
                                          QStringLiteral("Ethernet :  Normal Connection:  1.2.3.4  "
                                                         "Access Level:  1"),
                                          QStringLiteral("No StreamSocket connection.")});
    QTest::newRow("two normal, one live")
        << connectionEntry(4, "01010101") + connectionEntry(12, "03030303") +
               connectionEntry(2, "02020202")
        << lines({QStringLiteral("There are two ServerSocket connections."),
                  QStringLiteral("Ethernet :  Normal Connection1:  1.1.1.1  Access Level:  5"),
                  sixteen + QStringLiteral("  Normal Connection2:  2.2.2.2  Access Level:  3"),
                  QStringLiteral("There is one StreamSocket connection."),
                  QStringLiteral("Ethernet :  Live Connection:  3.3.3.3  Access Level:  3")});

    QByteArray many;
    QStringList manyText = {QStringLiteral("No ServerSocket connection."),
                            QStringLiteral("There are  StreamSocket connections.")};
    for (int i = 1; i <= 21; ++i) {
        many += QByteArray(1, char(11)) + QByteArray::fromHex("0A000000");
        many[many.size() - 1] = char(i);
        manyText << (i == 1 ? QStringLiteral("Ethernet :") : sixteen) +
                        QStringLiteral("  Live Connection%1:  10.0.0.%1  Access Level:  2").arg(i);
    }
    QTest::newRow("21 live") << many << lines(manyText);
}

void TestStatusString::connectionTable()
{
    QFETCH(QByteArray, entries);
    QFETCH(QString, expected);
    const QByteArray block =
        QByteArray(common(108, 3).u8(106, 0).u8(107, quint8(entries.size() / 5))) + entries;
    clsStatusString status;
    const QString text = status.CreatStatusString(block, header);
    QCOMPARE(connectionPart(text), expected);
}

void TestStatusString::stateTexts_data()
{
    QTest::addColumn<int>("record");
    QTest::addColumn<int>("archive");
    QTest::addColumn<QString>("recordText");
    QTest::addColumn<QString>("archiveText");
    const QString r = QStringLiteral("Record   :  Status:  ");
    const QString a = QStringLiteral("Archive  :  Status:  ");
    QTest::newRow("idle") << 0 << 0 << r + QStringLiteral("Not Recording")
                          << a + QStringLiteral("Archiving Disabled");
    QTest::newRow("disk full 3, archive 2") << 3 << 2 << r + QStringLiteral("Disk Full") << a;
    QTest::newRow("disk test failed 255, archive 4")
        << 255 << 4 << r + QStringLiteral("Disk Test Failed") << a;
}

void TestStatusString::stateTexts()
{
    QFETCH(int, record);
    QFETCH(int, archive);
    QFETCH(QString, recordText);
    QFETCH(QString, archiveText);
    clsStatusString status;
    const QStringList text =
        status
            .CreatStatusString(common(51, 0).u8(11, quint8(record)).u8(20, quint8(archive)), header)
            .split(QStringLiteral("\r\n"));
    QCOMPARE(text.value(3), recordText);
    QCOMPARE(text.value(4), archiveText);
}

void TestStatusString::shortBlock_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("dateBox");

    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("type 0 cut in the unit time") << QByteArray(common(51, 0)).left(31) << true;
    QTest::newRow("type 0 cut in the masks") << QByteArray(common(51, 0)).left(50) << false;
    QTest::newRow("type 1 cut in the serial number")
        << QByteArray(Block(70, 1).text(59, "ABCDEFGHIJK")) << false;
    QTest::newRow("type 2 without its hardware byte") << QByteArray(common(106, 2)) << false;
    QTest::newRow("type 3 without its connection count") << QByteArray(common(107, 3)) << false;
    QTest::newRow("type 3 with a missing entry")
        << QByteArray(common(108, 3).u8(107, 2).append(connectionEntry(1, "01020304"))) << false;
    QTest::newRow("type 4 cut early, no date box") << QByteArray(Block(10, 4)) << false;
    QTest::newRow("type 4 without its audio byte") << QByteArray(Block(102, 4)) << false;
    QTest::newRow("type 80 without its unit ID") << QByteArray(common(175, 80)) << false;
    QTest::newRow("type 96 cut in the masks") << QByteArray(common(44, 96)) << false;
}

void TestStatusString::shortBlock()
{
    QFETCH(QByteArray, block);
    QFETCH(bool, dateBox);
    clsStatusString status;
    QCOMPARE(status.CreatStatusString(block, header),
             header + QStringLiteral("\r\nInternal Error: Create Status String ") +
                 QString::number(block.size() - 1) + QStringLiteral(" Subscript out of range 9"));
    QVERIFY(status.decodeError());
    if (dateBox) {
        QCOMPARE(m_platform->prompts.shown.size(), 1);
        QCOMPARE(
            m_platform->prompts.shown.first().text,
            QStringLiteral("Invalid unit date detected. Please set unit to the correct date."));
        QCOMPARE(m_platform->prompts.shown.first().title, QStringLiteral("Error Message"));
    } else {
        QVERIFY(m_platform->prompts.shown.isEmpty());
    }
}

void TestStatusString::unsupportedType()
{
    clsStatusString status;
    QCOMPARE(status.CreatStatusString(common(120, 5), header),
             header + QStringLiteral("\r\nUnsupported Unit Type"));
    QCOMPARE(status.CreatStatusString(common(120, 0x80 | 97), header),
             header + QStringLiteral("\r\nUnsupported Unit Type"));
}

void TestStatusString::diskCountOverflow()
{
    clsStatusString status;
    QCOMPARE(status.CreatStatusString(common(176, 80).u32(79 + 12 * 3, 0x80000000), header),
             header + QStringLiteral("\r\nInternal Error: Create Status String 175 Overflow 6"));
}

void TestStatusString::decimalSeparatorOfTheLocale()
{
    PinnedLocale german(QLocale(QLocale::German, QLocale::Germany));
    PlatformServices services = Platform::services();
    services.locale = &german;
    Platform::install(services);
    clsStatusString status;
    const QString text = status.CreatStatusString(common(51, 0), header);
    QVERIFY2(text.contains(QStringLiteral("Main Software Version:  3,05;  Power PC Software "
                                          "Version:  4,10;  Disk Capacity:  1,64GB")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Unit's Current Time:  08.03.2026 14:05:09;")),
             qPrintable(text));
}

void TestStatusString::durations_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0.0 << QStringLiteral("00:00:00");
    QTest::newRow("3725") << 3725.0 << QStringLiteral("01:02:05");
    QTest::newRow("86399") << 86399.0 << QStringLiteral("23:59:59");
    QTest::newRow("360000") << 360000.0 << QStringLiteral("100:00:00");
    QTest::newRow("4294967295") << 4294967295.0 << QStringLiteral("1193046:28:15");
}

void TestStatusString::durations()
{
    QFETCH(double, seconds);
    QFETCH(QString, expected);
    QCOMPARE(StatusFormat::durationText(seconds), expected);
}

void TestStatusString::unitTimes_data()
{
    QTest::addColumn<quint32>("seconds");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0u << QStringLiteral("1/1/1960 12:00:00 AM");
    QTest::newRow("one year") << 86400u * 365u << QStringLiteral("12/31/1960 12:00:00 AM");
    QTest::newRow("2^31 - 1") << 2147483647u << QStringLiteral("1/19/2028 3:14:07 AM");
    QTest::newRow("largest") << 4294967295u << QStringLiteral("2/6/2096 6:28:15 AM");
}

void TestStatusString::unitTimes()
{
    QFETCH(quint32, seconds);
    QFETCH(QString, expected);
    QCOMPARE(StatusFormat::unitTimeText(seconds), expected);
    QCOMPARE(StatusBlock::unitTimeOf(StatusBlock::unitClock(seconds)), seconds);
}

QTEST_GUILESS_MAIN(TestStatusString)
#include "tst_statusstring.moc"
