#include "directory/AddressListFile.h"
#include "directory/TimeZones.h"
#include "ScriptedPlatform.h"

#include <optional>
#include <QFile>
#include <QTest>

class TestAddressListFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_platform.emplace(); }
    void cleanup() { m_platform.reset(); }

    void roundTripKeepsEveryField();
    void writesTheKnownLayout();
    void oldHeaderTakesDefaults();
    void capsAtThreeThousand();
    void readsFieldForms_data();
    void readsFieldForms();
    void unreadableFiles_data();
    void unreadableFiles();
    void quotesAndLineBreaksCannotBreakLines();
    void unstorablePasswordsAreBlankedAndNamed();
    void failedWriteKeepsOldFile();

private:
    QString file(const QString& name) const { return m_platform->programFolder.file(name); }

    std::optional<ScriptedPlatform> m_platform;
};

namespace {

void writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readRaw(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A file of the current layout with the given record lines.
QByteArray ipl(const QByteArray& header, int count, const QList<QByteArray>& lines)
{
    QByteArray out = header + "\r\n" + QByteArray::number(count) + "\r\n";
    for (const QByteArray& l : lines)
        out += l + "\r\n";
    return out;
}

QByteArray unitLine(const QByteArray& address)
{
    return '"' + address + "\",\"u\",\"\",\"GMT\",\"EUR\",\"1\",\"1\"";
}

const QByteArray kHeader = "\"IPADDRESSLISTWithUnitPassword\"";

} // namespace

void TestAddressListFile::roundTripKeepsEveryField()
{
    UnitAddressList list;
    list.append({"10.90.253.38", "Lobby, east door", "", "GMT-05:00", "USA", "1", "1"});
    list.append({"1-800-234-5678", "Depot", "123", "GMT+01:00", "EUR", "0", "1"});
    list.append({"192.168.1.2", " spaced ", "9876", "GMT+10:00", "AUS", "1", "0"});
    list.append(
        {"2345678", QStringLiteral("Caf\u00e9 \u2013 S\u00fcd"), "111", "GMT", "OFF", "0", "0"});
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
    QCOMPARE(readRaw(path), kHeader + "\r\n2\r\n"
                                      "\"10.90.253.38\",\"Lobby\",\"\",\"GMT-05:00\",\"USA\","
                                      "\"1\",\"1\"\r\n"
                                      "\"1.2.3.4\",\"Caf\xe9\",\"\",\"GMT\",\"EUR\",\"0\",\"1\""
                                      "\r\n");
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
        lines.append(
            unitLine("10.0." + QByteArray::number(i / 256) + '.' + QByteArray::number(i % 256)));
    const QString path = file("big.ipl");
    writeRaw(path, ipl(kHeader, 3500, lines));

    UnitAddressList list;
    QCOMPARE(LoadAddressList(path, list), AddressListLoad::Loaded);
    QCOMPARE(list.count(), 3000);
    QCOMPARE(list.DataStr.last(), QStringLiteral("10.0.11.183"));
}

void TestAddressListFile::readsFieldForms_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("units"); // address|description

    const QByteArray old = "\"IPADDRESSLIST\"\r\n";
    QTest::newRow("LF line ends") << QByteArray(
                                         "\"IPADDRESSLIST\"\n2\n\"1.1.1.1\",\"a\"\n\"2\",\"b\"\n")
                                  << QStringList{"1.1.1.1|a", "2|b"};
    QTest::newRow("no line end at the end")
        << old + "1\r\n\"1.1.1.1\",\"a\"" << QStringList{"1.1.1.1|a"};
    QTest::newRow("unquoted fields are trimmed")
        << QByteArray("IPADDRESSLIST\r\n 1 \r\n  1.1.1.1 , two words \r\n")
        << QStringList{"1.1.1.1|two words"};
    QTest::newRow("quoted comma and blanks stay") << old + "1\r\n\"1.1.1.1\",\" a, b \"\r\n"
                                                  << QStringList{"1.1.1.1| a, b "};
    QTest::newRow("blank lines between records")
        << QByteArray("\"IPADDRESSLIST\"\r\n\r\n2\r\n\"1.1.1.1\",\"a\"\r\n\r\n\"2\",\"b\"\r\n")
        << QStringList{"1.1.1.1|a", "2|b"};
    QTest::newRow("empty field before a line end") << old + "2\r\n\"1.1.1.1\",\r\n\"2\",\"b\"\r\n"
                                                   << QStringList{"1.1.1.1|", "2|b"};
    QTest::newRow("missing closing quote ends at the line end")
        << old + "2\r\n\"1.1.1.1\",\"open\r\n\"2\",\"b\"\r\n"
        << QStringList{"1.1.1.1|open", "2|b"};
    QTest::newRow("negative count") << old + "-4\r\n\"1.1.1.1\",\"a\"\r\n" << QStringList{};
}

void TestAddressListFile::readsFieldForms()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, units);
    const QString path = file("forms.ipl");
    writeRaw(path, bytes);
    UnitAddressList list;
    QCOMPARE(LoadAddressList(path, list), AddressListLoad::Loaded);
    QStringList read;
    for (int i = 0; i < list.count(); ++i)
        read << list.DataStr.at(i) + u'|' + list.Descript.at(i);
    QCOMPARE(read, units);
}

void TestAddressListFile::unreadableFiles_data()
{
    QTest::addColumn<QByteArray>("bytes"); // null: no file at all
    QTest::addColumn<bool>("knownFormat");
    QTest::addColumn<QStringList>("kept");

    const QByteArray old = "\"IPADDRESSLIST\"\r\n";
    QTest::newRow("missing") << QByteArray() << true << QStringList{};
    QTest::newRow("empty") << QByteArray("") << true << QStringList{};
    QTest::newRow("no count") << old << true << QStringList{};
    QTest::newRow("count not a number") << old + "many\r\n" << true << QStringList{};
    QTest::newRow("count beyond 16 bits") << old + "40000\r\n" << true << QStringList{};
    QTest::newRow("overlong field") << old + "1\r\n\"" + QByteArray(100000, 'x') + "\",\"a\"\r\n"
                                    << true << QStringList{};
    QTest::newRow("cut short keeps the records before")
        << ipl(kHeader, 5, {unitLine("1.1.1.1"), unitLine("1.1.1.2"), "\"1.1.1.3\",\"c\",\"\""})
        << true << QStringList{"1.1.1.1", "1.1.1.2"};
    // The header word is case sensitive.
    for (const char* header :
         {"\"ipaddresslistwithunitpassword\"", "\"IPAddressList\"", "\"ADDRESSBOOK\"", "3"}) {
        QTest::addRow("header %s", header)
            << ipl(header, 1, {unitLine("1.1.1.1")}) << false << QStringList{};
    }
}

void TestAddressListFile::unreadableFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, knownFormat);
    QFETCH(QStringList, kept);
    const QString path = file("bad.ipl");
    if (!bytes.isNull())
        writeRaw(path, bytes);
    UnitAddressList list;
    list.append({"stale", "", "", "", "", "", ""});
    QCOMPARE(LoadAddressList(path, list),
             knownFormat ? AddressListLoad::Failed : AddressListLoad::UnknownFormat);
    QCOMPARE(list.DataStr, kept);
    QCOMPARE(m_platform->prompts.texts(),
             QStringList{(knownFormat ? QStringLiteral("Cannot open ")
                                      : QStringLiteral("Unknown data format: ")) +
                         path});
    QCOMPARE(m_platform->prompts.shown.at(0).title,
             knownFormat ? QStringLiteral("Message") : QStringLiteral("VigilStat"));
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
    // The name leaves no room for the temporary file's suffix, so the write fails after the
    // old file was found in place.
    const QString path = file(QString(250, u'k') + QStringLiteral(".ipl"));
    writeRaw(path, "old contents");
    UnitAddressList list;
    list.append({"1.1.1.1", "a", "", "GMT", "EUR", "1", "1"});
    QVERIFY(!SaveAddressList(path, list));
    QCOMPARE(m_platform->prompts.texts(), QStringList{QStringLiteral("Cannot save ") + path});
    QCOMPARE(readRaw(path), QByteArray("old contents"));
}

QTEST_GUILESS_MAIN(TestAddressListFile)
#include "tst_addresslistfile.moc"
