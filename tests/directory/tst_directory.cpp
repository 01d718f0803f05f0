#include "directory/AddressListFile.h"
#include "directory/clsRegistryDataEntry.h"
#include "directory/TimeZones.h"
#include "directory/UnitPassword.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"
#include "UnitLists.h"

#include <optional>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

// A file of the current layout with the given record lines.
QByteArray ipl(const QByteArray& header, int count, const QList<QByteArray>& lines)
{
    QByteArray out = header + "\r\n" + QByteArray::number(count) + "\r\n";
    for (const QByteArray& l : lines)
        out += l + "\r\n";
    return out;
}

// Unit i of UnitLists::fleet() as a line of the file.
QByteArray unitLine(int i)
{
    return '"' + UnitLists::unit(i).DataStr.toLatin1() +
           "\",\"u\",\"\",\"GMT\",\"EUR\",\"1\",\"1\"";
}

const QByteArray kHeader = "\"IPADDRESSLISTWithUnitPassword\"";
const QByteArray kOld = "\"IPADDRESSLIST\"\r\n";

} // namespace

Q_DECLARE_METATYPE(AddressListLoad)

// Unit address list files, unit passwords, time zones, and the companion viewer's list.
class TestDirectory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_platform.emplace(); }
    void cleanup() { m_platform.reset(); }

    void writesTheKnownLayoutAndReadsItBack()
    {
        UnitAddressList list;
        list.append({"10.90.253.38", "Lobby, east door", "", "GMT-05:00", "USA", "1", "0"});
        list.append({"1-800-234-5678", QStringLiteral("Caf\u00e9 \u2013 S\u00fcd"), "", "GMT",
                     "OFF", "0", "1"});
        list.append({"1.1.1.1", "say \"hi\"\r\nthere", "", "GMT+10:00", "AUS", "1", "1"});
        list.append({"192.168.1.2", " spaced ", "", "GMT+01:00", "EUR", "0", "0"});
        const QString path = file("units.ipl");
        QVERIFY(SaveAddressList(path, list));
        // Windows-1252, CR LF; quotes and line breaks cannot break a line.
        QCOMPARE(TestFiles::read(path),
                 TestFiles::read(QFINDTESTDATA("../data/directory/units.ipl")));

        UnitAddressList back;
        QCOMPARE(LoadAddressList(path, back), AddressListLoad::Loaded);
        list.Descript[2] = QStringLiteral("say 'hi'  there");
        QCOMPARE(back, list);
    }

    // What a load keeps of a file and what it says. Lists of the old layout take the PC's zone
    // (GMT+01:00), its DST zone, and both selections.
    void loads_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file at all
        QTest::addColumn<AddressListLoad>("result");
        QTest::addColumn<QStringList>("units");
        const auto row = [](const char* name, const QByteArray& bytes, AddressListLoad result,
                            const QStringList& units = {}) {
            QTest::newRow(name) << bytes << result << units;
        };
        const auto loaded = AddressListLoad::Loaded, failed = AddressListLoad::Failed;
        row("LF line ends", "\"IPADDRESSLIST\"\n2\n\"1.1.1.1\",\"a\"\n\"2\",\"b\"\n", loaded,
            {"1.1.1.1|a||GMT+01:00|EUR|1|1", "2|b||GMT+01:00|EUR|1|1"});
        row("missing closing quote ends at the line end",
            kOld + "2\r\n\"1.1.1.1\",\"open\r\n\"2\",\"b\"\r\n", loaded,
            {"1.1.1.1|open||GMT+01:00|EUR|1|1", "2|b||GMT+01:00|EUR|1|1"});
        row("negative count", kOld + "-4\r\n\"1.1.1.1\",\"a\"\r\n", loaded);
        row("missing", QByteArray(), failed);
        row("count beyond 16 bits", kOld + "40000\r\n", failed);
        row("overlong field", kOld + "1\r\n\"" + QByteArray(100000, 'x') + "\",\"a\"\r\n", failed);
        row("cut short keeps the records before",
            ipl(kHeader, 5, {unitLine(0), unitLine(1), "\"10.0.0.2\",\"c\",\"\""}), failed,
            UnitLists::lines(UnitLists::fleet(2)));
        QList<QByteArray> lines;
        for (int i = 0; i < 3001; ++i)
            lines.append(unitLine(i));
        row("capped at 3000", ipl(kHeader, 3001, lines), loaded,
            UnitLists::lines(UnitLists::fleet(3000)));
        // The header word is case sensitive.
        for (const char* header : {"\"IPAddressList\"", "\"ADDRESSBOOK\"", "3"})
            row(header, ipl(header, 1, {unitLine(0)}), AddressListLoad::UnknownFormat);
    }

    void loads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(AddressListLoad, result);
        m_platform->clock.biasMinutes = -60;
        TakePcTimeZone();
        const QString path = file("bad.ipl");
        if (!bytes.isNull())
            TestFiles::write(path, bytes);
        UnitAddressList list;
        list.append({"stale", "", "", "", "", "", ""});
        QCOMPARE(LoadAddressList(path, list), result);
        QTEST(UnitLists::lines(list), "units");
        const bool known = result == AddressListLoad::Failed;
        const QString message = (known ? u"Cannot open "_s : u"Unknown data format: "_s) + path;
        QCOMPARE(m_platform->prompts.texts(),
                 result == AddressListLoad::Loaded ? QStringList() : QStringList{message});
        if (!m_platform->prompts.shown.isEmpty())
            QCOMPARE(m_platform->prompts.shown.at(0).title, known ? u"Message"_s : u"VigilStat"_s);
    }

    // A save warns of the passwords the file cannot hold; a save that fails keeps the old file.
    void saveWarnsAndFails()
    {
        UnitAddressList list = UnitLists::fleet(24);
        for (int i = 0; i < 23; ++i)
            list.Password[i] = i % 2 ? u"12345"_s : u"\u00ff\u00ff\u00ff"_s;
        list.Password[23] = u"987"_s;
        QVERIFY(SaveAddressList(file("pw.ipl"), list));
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList{u"The unit passwords of these units cannot be stored in the address "
                             "list file and were saved blank: "_s +
                             UnitLists::fleet(20).DataStr.join(u", "_s) + u" and 3 more."_s});
        QCOMPARE(m_platform->prompts.shown.at(0).title, u"Warning"_s);
        UnitAddressList back;
        QCOMPARE(LoadAddressList(file("pw.ipl"), back), AddressListLoad::Loaded);
        QCOMPARE(back.Password, QStringList(23, QString()) + QStringList{"987"});
        QCOMPARE(list.Password.at(1), u"12345"_s); // the list in memory keeps them

        // The name leaves no room for the temporary file's suffix, so the write fails after the
        // old file was found in place.
        const QString path = file(QString(250, u'k') + u".ipl"_s);
        TestFiles::write(path, "old contents");
        m_platform->prompts.clear();
        QVERIFY(!SaveAddressList(path, list));
        QCOMPARE(m_platform->prompts.texts(), QStringList{u"Cannot save "_s + path});
        QCOMPARE(TestFiles::read(path), QByteArray("old contents"));
    }

    // A key of two decimal digits, then each code plus its position times the key in two hex
    // digits. Keys are drawn afresh from 11 to 33, among those that keep every pair two digits
    // long.
    void unitPasswordLimits()
    {
        const std::tuple<QString, int, int> passwords[] = {
            {QStringLiteral("\u20acZ~9"), 11, 33}, // the euro sign is 0x80 in the file
            {QStringLiteral("\u00e012"), 11, 31},  // 0xE0 + key is one byte only for keys up to 31
            {QStringLiteral("\u000123"), 15, 33},  // 0x01 + key is two digits from key 15 on
        };
        for (const auto& [password, minKey, maxKey] : passwords) {
            QSet<int> keys;
            for (int round = 0; round < 1000; ++round) {
                const QString e = EncodeUnitPassword(password);
                keys.insert(e.left(2).toInt());
                QCOMPARE(e, e.toUpper());
                QCOMPARE(DecodeUnitPassword(e), password);
            }
            QCOMPARE(*std::min_element(keys.begin(), keys.end()), minKey);
            QCOMPARE(*std::max_element(keys.begin(), keys.end()), maxKey);
        }
        for (const char16_t* refused : {u"\u00ff12", u"123456"})
            QCOMPARE(EncodeUnitPassword(QString::fromUtf16(refused)), QString());
        const QString rejected[] = {"114244453", EncodeUnitPassword(QStringLiteral("12345")),
                                    "1A424445", "1142G445", "33010203"};
        for (const QString& encoded : rejected)
            QVERIFY2(DecodeUnitPassword(encoded).isEmpty(), qPrintable(encoded));
    }

    void zonesAndDstNames()
    {
        // Every zone of the editor's 33 reads back as the offset it names, daylight time aside.
        const QStringList zones = TimeZoneList();
        QCOMPARE(zones.size(), 33);
        QCOMPARE(zones.mid(8, 3), (QStringList{"GMT-04:00", "GMT-03:30", "GMT-03:00"}));
        QCOMPARE(zones.mid(21, 3), (QStringList{"GMT+05:30", "GMT+05:45", "GMT+06:00"}));
        m_platform->clock.daylight = true;
        for (const QString& zone : zones) {
            m_platform->clock.biasMinutes = -TimeZoneMinutes(zone);
            QCOMPARE(PcTimeZoneString(), zone);
        }
        for (const char* bad : {"gmt+01:00", "GMT+ab:00", "", "UTC+01:00"})
            QCOMPARE(TimeZoneMinutes(QString::fromLatin1(bad)), 0);

        QCOMPARE(DstCodeFromName(QStringLiteral("usa")), 0);
        QString codes;
        for (const char* zone : {"GMT-09:00", "GMT-10:00", "GMT+03:00", "GMT+03:30", "GMT+09:30"})
            codes += QString::number(DefaultDstCode(QString::fromLatin1(zone)));
        QCOMPARE(codes, u"10203"_s);
    }

    void dstWindows_data()
    {
        QTest::addColumn<int>("pcBias"); // the PC's zone; it decides the year of the switch dates
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("inDst");
        const auto row = [](const char* name, const QDateTime& now, int offset, int code,
                            bool inDst, int pcBias = 0) {
            QTest::newRow(name) << pcBias << now << offset << code << inDst;
        };
        // USA for GMT-05:00: 8 March 02:00 to 1 November 02:00 local standard time (07:00 GMT).
        row("USA before start", utc(2026, 3, 8, 6, 59, 59), -300, 1, false);
        row("USA at start", utc(2026, 3, 8, 7), -300, 1, true);
        row("USA before end", utc(2026, 11, 1, 6, 59, 59), -300, 1, true);
        row("USA at end", utc(2026, 11, 1, 7), -300, 1, false);
        row("USA 2027 starts on the 14th", utc(2027, 3, 14, 6, 59), -300, 1, false);
        // EUR: the last Sundays of March and October at 01:00 GMT.
        row("EUR+1 before start", utc(2026, 3, 29, 0, 59, 59), 60, 2, false);
        row("EUR+1 at start", utc(2026, 3, 29, 1), 60, 2, true);
        row("EUR+1 at end", utc(2026, 10, 25, 1), 60, 2, false);
        row("EUR 2027 ends on the 31st", utc(2027, 10, 31, 0, 59), 60, 2, true);
        row("EUR+3 switches at 02:00 local", utc(2026, 3, 28, 23), 180, 2, true);
        row("EUR+3 before 02:00 local", utc(2026, 3, 28, 22, 59), 180, 2, false);
        // A hand-edited pairing switches at 01:00 GMT too.
        row("EUR-5 before 01:00 GMT", utc(2026, 3, 29, 0, 59), -300, 2, false);
        row("EUR-5 at 01:00 GMT", utc(2026, 3, 29, 1), -300, 2, true);
        // AUS for GMT+10:00: from 25 October 00:00 to 29 March 00:00 local standard time.
        row("AUS before end", utc(2026, 3, 28, 13, 59, 59), 600, 3, true);
        row("AUS at end", utc(2026, 3, 28, 14), 600, 3, false);
        row("AUS at start", utc(2026, 10, 24, 14), 600, 3, true);
        row("OFF in July", utc(2026, 7, 15, 12), 60, 0, false);
        // The PC is still in 2026 while the unit is already in 2027, and the other way round.
        row("PC GMT, Sydney unit in the new year", utc(2026, 12, 31, 23, 30), 600, 3, true);
        row("PC Sydney in 2027, Adelaide unit", utc(2026, 12, 31, 20), 570, 3, true, -600);
    }

    void dstWindows()
    {
        QFETCH(int, pcBias);
        QFETCH(QDateTime, now);
        QFETCH(int, offset);
        QFETCH(int, code);
        QFETCH(bool, inDst);
        m_platform->clock.biasMinutes = pcBias;
        m_platform->clock.daylight = pcBias == -600;
        m_platform->clock.utc = now;
        QCOMPARE(IsDstInEffect(offset, code), inDst);
    }

    // The program started on a winter evening in New York and runs on into the summer: a unit's
    // time follows the PC's present daylight state and clock.
    void unitLocalTime()
    {
        m_platform->clock.biasMinutes = 300;
        m_platform->clock.utc = utc(2026, 2, 1, 23);
        TakePcTimeZone();
        QCOMPARE(UnitLocalTime(600, 3), utc(2026, 2, 2, 10)); // Sydney in its summer
        // In the PC's own DST zone the PC's word wins over the calendar.
        m_platform->clock.utc = utc(2026, 7, 1, 16);
        QCOMPARE(UnitLocalTime(-300, 1), utc(2026, 7, 1, 11));
        m_platform->clock.daylight = true;
        QCOMPARE(UnitLocalTime(-300, 1), utc(2026, 7, 1, 12));
        QCOMPARE(UnitLocalTime(-300, 0), utc(2026, 7, 1, 11));
        QCOMPARE(UnitLocalTime(345, 0), utc(2026, 7, 1, 21, 45));
        QCOMPARE(GmtNow(), wallClockOf(m_platform->clock.utc));
    }

    // The companion viewer's list of units, as that program stores it: a damaged count or entry
    // costs the entries from there on, never the list.
    void load_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("comTotal");
        QStringList entries;
        for (int i = 0; i < 502; ++i)
            entries << QStringLiteral("%1ComType=%2").arg(i).arg(i % 2)
                    << QStringLiteral("%1DataKey=10.0.0.%1").arg(i);
        QTest::newRow("no list") << QStringList{} << 0;
        QTest::newRow("TotalKey beyond 16 bits") << QStringList{"TotalKey=70000"} + entries << 0;
        QTest::newRow("TotalKey and ActiveIndex beyond the 501 entries")
            << QStringList{"TotalKey=800", "ActiveIndex=600"} + entries << 501;
        QTest::newRow("unreadable type stops")
            << QStringList{"TotalKey=4", "2ComType=ethernet"} + entries.mid(0, 4) << 2;
    }

    void load()
    {
        QFETCH(QStringList, lines);
        QFETCH(int, comTotal);
        if (!lines.isEmpty())
            TestFiles::write(m_platform->registry.filePath(u"SVControl"_s),
                             "[DataComSets]\n" + lines.join(u'\n').toUtf8() + '\n');
        clsRegistryDataEntry list;
        list.LoadSetting(u"SVControl"_s);
        QCOMPARE(list.ComTotal(), comTotal);
        QVERIFY(!list.EthernetData(comTotal));
        if (comTotal > 1) // a value the viewer never wrote takes its default
            QCOMPARE(list.EthernetData(1)->Descript(), u"0"_s);
    }

private:
    QString file(const QString& name) const { return m_platform->programFolder.file(name); }

    std::optional<ScriptedPlatform> m_platform;
};

QTEST_GUILESS_MAIN(TestDirectory)
#include "tst_directory.moc"
