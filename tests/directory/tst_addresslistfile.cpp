#include "directory/AddressListFile.h"
#include "directory/TimeZones.h"
#include "directory/UnitPassword.h"
#include "platform/CodePage.h"
#include "ScriptedPlatform.h"

#include <optional>
#include <QFile>
#include <QTest>

class TestAddressListFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { m_platform.reset(); }

    void roundTripKeepsEveryField();
    void writesTheKnownLayout();
    void passwordsDifferFromSaveToSave();
    void oldHeaderTakesDefaults();
    void capsAtThreeThousand();
    void truncatedFileKeepsRecordsBefore();
    void headerIsCaseSensitive_data();
    void headerIsCaseSensitive();
    void readsFieldForms_data();
    void readsFieldForms();
    void unreadableFiles_data();
    void unreadableFiles();
    void quotesAndLineBreaksCannotBreakLines();
    void unstorablePasswordsAreBlankedAndNamed();
    void failedWriteKeepsOldFile();

private:
    QString file(const QString& name) const { return m_platform->programFolder.file(name); }
    void writeRaw(const QString& path, const QByteArray& bytes);
    QByteArray readRaw(const QString& path);

    std::optional<ScriptedPlatform> m_platform;
};

namespace {

UnitAddressList sampleList()
{
    UnitAddressList list;
    list.append({"10.90.253.38", "Lobby, east door", "", "GMT-05:00", "USA", "1", "1"});
    list.append({"1-800-234-5678", "Depot", "123", "GMT+01:00", "EUR", "0", "1"});
    list.append({"192.168.1.2", " spaced ", "9876", "GMT+10:00", "AUS", "1", "0"});
    list.append(
        {"2345678", QStringLiteral("Caf\u00e9 \u2013 S\u00fcd"), "111", "GMT", "OFF", "0", "0"});
    return list;
}

QByteArray ipl(const QByteArray& header, int count, const QList<QByteArray>& lines)
{
    QByteArray out = header + "\r\n" + QByteArray::number(count) + "\r\n";
    for (const QByteArray& l : lines)
        out += l + "\r\n";
    return out;
}

} // namespace

void TestAddressListFile::init()
{
    m_platform.emplace();
}

void TestAddressListFile::writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray TestAddressListFile::readRaw(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TestAddressListFile::roundTripKeepsEveryField()
{
    const UnitAddressList list = sampleList();
    const QString path = file("units.ipl");
    QVERIFY(SaveAddressList(path, list));

    UnitAddressList back;
    back.append({"stale", "", "", "", "", "", ""});
    QCOMPARE(LoadAddressList(path, back), AddressListLoad::Loaded);
    QCOMPARE(back, list);
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestAddressListFile::writesTheKnownLayout()
{
    UnitAddressList list;
    list.append({"10.90.253.38", "Lobby", "", "GMT-05:00", "USA", "1", "1"});
    list.append({"1.2.3.4", QStringLiteral("Caf\u00e9"), "", "GMT", "EUR", "0", "1"});
    const QString path = file("layout.ipl");
    QVERIFY(SaveAddressList(path, list));
    QCOMPARE(readRaw(path), QByteArray("\"IPADDRESSLISTWithUnitPassword\"\r\n"
                                       "2\r\n"
                                       "\"10.90.253.38\",\"Lobby\",\"\",\"GMT-05:00\",\"USA\","
                                       "\"1\",\"1\"\r\n"
                                       "\"1.2.3.4\",\"Caf\xe9\",\"\",\"GMT\",\"EUR\",\"0\",\"1\""
                                       "\r\n"));
}

void TestAddressListFile::passwordsDifferFromSaveToSave()
{
    UnitAddressList list;
    list.append({"1.1.1.1", "a", "1234", "GMT", "EUR", "1", "1"});
    QSet<QByteArray> stored;
    for (int i = 0; i < 20; ++i) {
        const QString path = file("p.ipl");
        QVERIFY(SaveAddressList(path, list));
        const QList<QByteArray> fields = readRaw(path).split('\n').at(2).split(',');
        stored.insert(fields.at(2));
        UnitAddressList back;
        QCOMPARE(LoadAddressList(path, back), AddressListLoad::Loaded);
        QCOMPARE(back.Password, QStringList{"1234"});
    }
    QVERIFY2(stored.size() > 1, "the key is drawn afresh at every save");
}

void TestAddressListFile::oldHeaderTakesDefaults()
{
    m_platform->clock.biasMinutes = 300; // GMT-05:00
    TakePcTimeZone();
    const QString path = file("old.ipl");
    writeRaw(path,
             ipl("\"IPADDRESSLIST\"", 2, {"\"10.1.1.1\",\"Old one\"", "\"5551234\",\"Two\""}));

    UnitAddressList list;
    QCOMPARE(LoadAddressList(path, list), AddressListLoad::Loaded);
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.record(0), (UnitRecord{"10.1.1.1", "Old one", "", "GMT-05:00", "USA", "1", "1"}));
    QCOMPARE(list.record(1).DataStr, QStringLiteral("5551234"));

    m_platform->clock.biasMinutes = -330; // GMT+05:30, no DST zone of its own
    TakePcTimeZone();
    QCOMPARE(LoadAddressList(path, list), AddressListLoad::Loaded);
    QCOMPARE(list.TimeZone.at(0), QStringLiteral("GMT+05:30"));
    QCOMPARE(list.DST.at(0), QStringLiteral("OFF"));
}

void TestAddressListFile::capsAtThreeThousand()
{
    QList<QByteArray> lines;
    for (int i = 0; i < 3500; ++i)
        lines.append("\"10.0." + QByteArray::number(i / 256) + '.' + QByteArray::number(i % 256) +
                     "\",\"u\",\"\",\"GMT\",\"EUR\",\"1\",\"1\"");
    const QString path = file("big.ipl");
    writeRaw(path, ipl("\"IPADDRESSLISTWithUnitPassword\"", 3500, lines));

    UnitAddressList list;
    QCOMPARE(LoadAddressList(path, list), AddressListLoad::Loaded);
    QCOMPARE(list.count(), 3000);
    QCOMPARE(list.DataStr.last(), QStringLiteral("10.0.11.183"));
}

void TestAddressListFile::truncatedFileKeepsRecordsBefore()
{
    const QString path = file("cut.ipl");
    writeRaw(path, ipl("\"IPADDRESSLISTWithUnitPassword\"", 5,
                       {"\"1.1.1.1\",\"a\",\"\",\"GMT\",\"EUR\",\"1\",\"1\"",
                        "\"1.1.1.2\",\"b\",\"\",\"GMT\",\"EUR\",\"1\",\"1\"",
                        "\"1.1.1.3\",\"c\",\"\",\"GMT\""}));
    UnitAddressList list;
    QCOMPARE(LoadAddressList(path, list), AddressListLoad::Failed);
    QCOMPARE(list.DataStr, (QStringList{"1.1.1.1", "1.1.1.2"}));
    QCOMPARE(m_platform->prompts.texts(), QStringList{QStringLiteral("Cannot open ") + path});
    QCOMPARE(m_platform->prompts.shown.at(0).title, QStringLiteral("Message"));
}

void TestAddressListFile::headerIsCaseSensitive_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("lower case") << QByteArray("\"ipaddresslistwithunitpassword\"");
    QTest::newRow("mixed old") << QByteArray("\"IPAddressList\"");
    QTest::newRow("other word") << QByteArray("\"ADDRESSBOOK\"");
    QTest::newRow("unquoted number") << QByteArray("3");
}

void TestAddressListFile::headerIsCaseSensitive()
{
    QFETCH(QByteArray, header);
    const QString path = file("h.ipl");
    writeRaw(path, ipl(header, 1, {"\"1.1.1.1\",\"a\",\"\",\"GMT\",\"EUR\",\"1\",\"1\""}));
    UnitAddressList list;
    QCOMPARE(LoadAddressList(path, list), AddressListLoad::UnknownFormat);
    QCOMPARE(list.count(), 0);
    QCOMPARE(m_platform->prompts.texts(),
             QStringList{QStringLiteral("Unknown data format: ") + path});
    QCOMPARE(m_platform->prompts.shown.at(0).title, QStringLiteral("VigilStat"));
}

void TestAddressListFile::readsFieldForms_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QStringList>("descriptions");

    QTest::newRow("LF line ends")
        << QByteArray("\"IPADDRESSLIST\"\n2\n\"1.1.1.1\",\"a\"\n\"1.1.1.2\",\"b\"\n")
        << QStringList{"1.1.1.1", "1.1.1.2"} << QStringList{"a", "b"};
    QTest::newRow("no line end at the end")
        << QByteArray("\"IPADDRESSLIST\"\r\n1\r\n\"1.1.1.1\",\"a\"") << QStringList{"1.1.1.1"}
        << QStringList{"a"};
    QTest::newRow("unquoted fields are trimmed")
        << QByteArray("IPADDRESSLIST\r\n 1 \r\n  1.1.1.1 , two words \r\n")
        << QStringList{"1.1.1.1"} << QStringList{"two words"};
    QTest::newRow("quoted comma and blanks stay")
        << QByteArray("\"IPADDRESSLIST\"\r\n1\r\n\"1.1.1.1\",\" a, b \"\r\n")
        << QStringList{"1.1.1.1"} << QStringList{" a, b "};
    QTest::newRow("blank lines between records")
        << QByteArray("\"IPADDRESSLIST\"\r\n\r\n2\r\n\"1.1.1.1\",\"a\"\r\n\r\n\"2\",\"b\"\r\n")
        << QStringList{"1.1.1.1", "2"} << QStringList{"a", "b"};
    QTest::newRow("empty field before a line end")
        << QByteArray("\"IPADDRESSLIST\"\r\n2\r\n\"1.1.1.1\",\r\n\"2\",\"b\"\r\n")
        << QStringList{"1.1.1.1", "2"} << QStringList{"", "b"};
    QTest::newRow("missing closing quote ends at the line end")
        << QByteArray("\"IPADDRESSLIST\"\r\n2\r\n\"1.1.1.1\",\"open\r\n\"2\",\"b\"\r\n")
        << QStringList{"1.1.1.1", "2"} << QStringList{"open", "b"};
    QTest::newRow("negative count")
        << QByteArray("\"IPADDRESSLIST\"\r\n-4\r\n\"1.1.1.1\",\"a\"\r\n") << QStringList{}
        << QStringList{};
}

void TestAddressListFile::readsFieldForms()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, addresses);
    QFETCH(QStringList, descriptions);
    const QString path = file("forms.ipl");
    writeRaw(path, bytes);
    UnitAddressList list;
    QCOMPARE(LoadAddressList(path, list), AddressListLoad::Loaded);
    QCOMPARE(list.DataStr, addresses);
    QCOMPARE(list.Descript, descriptions);
}

void TestAddressListFile::unreadableFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("exists");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("empty") << QByteArray() << true;
    QTest::newRow("count not a number") << QByteArray("\"IPADDRESSLIST\"\r\nmany\r\n") << true;
    QTest::newRow("count beyond 16 bits") << QByteArray("\"IPADDRESSLIST\"\r\n40000\r\n") << true;
    QTest::newRow("no count") << QByteArray("\"IPADDRESSLIST\"\r\n") << true;
    QTest::newRow("overlong field")
        << QByteArray("\"IPADDRESSLIST\"\r\n1\r\n\"") + QByteArray(100000, 'x') + "\",\"a\"\r\n"
        << true;
}

void TestAddressListFile::unreadableFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, exists);
    const QString path = file("bad.ipl");
    if (exists)
        writeRaw(path, bytes);
    UnitAddressList list;
    QCOMPARE(LoadAddressList(path, list), AddressListLoad::Failed);
    QCOMPARE(list.count(), 0);
    QCOMPARE(m_platform->prompts.texts(), QStringList{QStringLiteral("Cannot open ") + path});
}

void TestAddressListFile::quotesAndLineBreaksCannotBreakLines()
{
    UnitAddressList list;
    list.append({"1.1.1.1", "say \"hi\"\r\nthere", "", "GMT", "EUR", "1", "1"});
    list.append({"1.1.1.2", "next", "123", "GMT", "EUR", "0", "1"});
    const QString path = file("q.ipl");
    QVERIFY(SaveAddressList(path, list));
    QCOMPARE(readRaw(path).count("\r\n"), 4);

    UnitAddressList back;
    QCOMPARE(LoadAddressList(path, back), AddressListLoad::Loaded);
    QCOMPARE(back.Descript, (QStringList{"say 'hi'  there", "next"}));
    QCOMPARE(back.record(1), list.record(1));
}

void TestAddressListFile::unstorablePasswordsAreBlankedAndNamed()
{
    UnitAddressList list;
    list.append({"1.1.1.1", "five", "12345", "GMT", "EUR", "1", "1"});
    list.append({"1.1.1.2", "two", "12", "GMT", "EUR", "1", "1"});
    list.append({"1.1.1.3", "high", QStringLiteral("\u00ff\u00ff\u00ff"), "GMT", "EUR", "1", "1"});
    list.append({"1.1.1.4", "fine", "987", "GMT", "EUR", "1", "1"});
    const QString path = file("pw.ipl");
    QVERIFY(SaveAddressList(path, list));

    QCOMPARE(m_platform->prompts.shown.size(), 1);
    const Prompt& warning = m_platform->prompts.shown.at(0);
    QCOMPARE(warning.title, QStringLiteral("Warning"));
    QVERIFY2(warning.text.contains(QStringLiteral("1.1.1.1, 1.1.1.2, 1.1.1.3")),
             qPrintable(warning.text));
    QVERIFY(!warning.text.contains(QStringLiteral("1.1.1.4")));

    UnitAddressList back;
    QCOMPARE(LoadAddressList(path, back), AddressListLoad::Loaded);
    QCOMPARE(back.Password, (QStringList{"", "", "", "987"}));
    QCOMPARE(list.Password.at(0), QStringLiteral("12345")); // the list in memory keeps them
}

void TestAddressListFile::failedWriteKeepsOldFile()
{
    const QString path = file("keep.ipl");
    writeRaw(path, "old contents");
    const QString blocked = file("missing-folder/keep.ipl");
    QVERIFY(!SaveAddressList(blocked, sampleList()));
    QCOMPARE(m_platform->prompts.texts(), QStringList{QStringLiteral("Cannot save ") + blocked});
    QCOMPARE(readRaw(path), QByteArray("old contents"));
}

QTEST_GUILESS_MAIN(TestAddressListFile)
#include "tst_addresslistfile.moc"
