#include "BlockWriter.h"
#include "ScriptedPlatform.h"
#include "status/clsStatusString.h"
#include "status/StatusFormat.h"
#include "TestFiles.h"

#include <optional>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString header = u"10.0.0.5  -  Lobby   3/8/2026 2:06:00 PM"_s;

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

// The lines of a text under tests/data/status/.
QStringList golden(const char* name)
{
    const QString path = QFINDTESTDATA(u"../data/status/"_s + QLatin1StringView(name) + u".txt"_s);
    QStringList lines = QString::fromUtf8(TestFiles::read(path)).split(u'\n');
    lines.removeLast(); // after the last line end
    return lines;
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
    void badBlock_data();
    void badBlock();
    void decimalSeparatorOfTheLocale();
    void extremes();

private:
    std::optional<ScriptedPlatform> m_platform;
};

// Each row's text is the golden file named by its tag.
void TestStatusString::goldenText_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::newRow("type0-korvo") << QByteArray(common(51, 0));
    QTest::newRow("type96-16-channel-masks")
        << QByteArray(common(51, 96).set("43:0005 45:8000 47:0001 49:FFFF"));
    QTest::newRow("type1-32-channel-masks-capacity-number")
        << QByteArray(BlockWriter(79, 0x81)
                          .set("1:07 6:0C 7:7F000001 39:05 40:63 41:01F4 43:00010005 51:80000001 "
                               "55:00008000")
                          .text(59, "XCR-0042"));

    // Alarm and video loss masks, play status and hardware byte, in hex.
    const auto type2 = [](const char* fields) {
        return QByteArray(common(107, 2)
                              .set("11:02 20:03 " + QByteArray(fields))
                              .text(60, "XCR-16C")
                              .text(80, "S2")
                              .bytes(100, QByteArray::fromHex("000A1B2C3D4E")));
    };
    QTest::newRow("type2-videoloss-channel-12") << type2("43:00000001 47:00000800 59:01 106:01");
    QTest::newRow("type2-videoloss-channel-3") << type2("43:00010001 47:00000004 59:00 106:00");

    const auto type3 = [](const char* ppcVersion) {
        return QByteArray(common(108, 3)
                              .set("20:01 37:0201 39:" + QByteArray(ppcVersion) + " 106:81 107:02")
                              .text(60, "KT-3200")
                              .text(80, "T3")
                              .bytes(100, QByteArray::fromHex("FFEEDDCCBBAA"))
                              .append(connectionEntry(1, "0A010101"))
                              .append(connectionEntry(10, "0A020202")));
    };
    QTest::newRow("type3-on-6.00-shows-model-name") << type3("0600");
    QTest::newRow("type3-on-5.99-is-korvo-tri") << type3("0563");
    const auto connections = [](const QByteArray& entries) -> QByteArray {
        return QByteArray(common(108, 3).u8(106, 0).u8(107, quint8(entries.size() / 5))) + entries;
    };
    QTest::newRow("type3-no-connections") << connections({});
    QTest::newRow("type3-one-normal-connection") << connections(connectionEntry(0, "01020304"));
    QTest::newRow("type3-two-normal-one-live")
        << connections(connectionEntry(4, "01010101") + connectionEntry(12, "03030303") +
                       connectionEntry(2, "02020202"));

    QTest::newRow("type4-vehicle-layout")
        << QByteArray(BlockWriter(103, 0x84)
                          .set("1:02 2:C0A80014 6:0A 7:0A000007 11:04 20:7C7D7995 24:0000003B "
                               "28:0102 30:0078 32:8001 38:0002 102:00")
                          .text(40, "RS3-8")
                          .text(60, "RS-9")
                          .bytes(80, QByteArray::fromHex("0102030405A0"))
                          .text(86, "BUS 12"));
    QTest::newRow("type80-disks") << QByteArray(
        common(176, 80).set("43:80000000 79:00000005 87:7C7D7995 175:10").text(59, "Z-80"));
}

void TestStatusString::goldenText()
{
    QFETCH(QByteArray, block);
    clsStatusString status;
    QCOMPARE(status.CreatStatusString(block, header).split(u"\r\n"_s),
             golden(QTest::currentDataTag()));
    QVERIFY(!status.decodeError());
    QVERIFY(!status.invalidUnitDate());
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
    QCOMPARE(clsStatusString().CreatStatusString(common(51, 0), header).split(u"\r\n"_s),
             golden("type0-german-locale"));
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
