#include "platform/CodePage.h"
#include "ScriptedAdapters.h"

#include <QFile>
#include <QTest>

class TestRegistry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingValuesAndFolders();
    void namesAreCaseInsensitiveAndKeepTheirSpelling();
    void textsSurviveAsTheyAre_data();
    void textsSurviveAsTheyAre();
    void handEditedListValueReadsAsText();
    void seesWhatAnotherWriterStored();
    void codePageRoundTrip();
};

void TestRegistry::missingValuesAndFolders()
{
    ScriptedRegistry r;
    QVERIFY(!r.value("VigilStat", "General", "RTL"));
    QVERIFY(r.setValue("VigilStat", "General", "RTL", "30"));
    QVERIFY(!r.value("VigilStat", "Folder", "RTL"));
    QVERIFY(!r.value("SVControl", "General", "RTL"));
    QVERIFY(r.isEmpty() == false);

    IniRegistry unwritable(QStringLiteral("/proc/vigilstat-cannot-exist"));
    QVERIFY(!unwritable.setValue("VigilStat", "General", "RTL", "30"));
    QVERIFY(!unwritable.value("VigilStat", "General", "RTL"));
}

void TestRegistry::namesAreCaseInsensitiveAndKeepTheirSpelling()
{
    ScriptedRegistry r;
    r.seed("VigilStat", "general", "logKEEPdays", "9");
    QCOMPARE(r.value("VigilStat", "General", "LogKeepDays"), std::optional<QString>("9"));
    QVERIFY(r.setValue("VigilStat", "GENERAL", "LOGKEEPDAYS", "10"));
    QCOMPARE(r.value("VigilStat", "general", "logkeepdays"), std::optional<QString>("10"));

    QFile ini(r.filePath("VigilStat"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY2(text.contains("logKEEPdays=10"), text.constData());
    QVERIFY2(!text.contains("LOGKEEPDAYS") && text.count("=") == 1, text.constData());
}

void TestRegistry::textsSurviveAsTheyAre_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("comma") << "C:\\Reports, old";
    QTest::newRow("leading at") << "@Variant(nonsense)";
    QTest::newRow("quotes") << "say \"hi\"";
    QTest::newRow("semicolon") << "a;b # c";
    QTest::newRow("non-ASCII") << "Überwachung ☃";
    QTest::newRow("empty") << "";
    QTest::newRow("blanks") << "  padded  ";
}

void TestRegistry::textsSurviveAsTheyAre()
{
    QFETCH(QString, text);
    ScriptedRegistry r;
    QVERIFY(r.setValue("VigilStat", "Folder", "ReportSaveFolder", text));
    QCOMPARE(r.value("VigilStat", "Folder", "ReportSaveFolder"), std::optional<QString>(text));
}

void TestRegistry::handEditedListValueReadsAsText()
{
    ScriptedRegistry r;
    r.seed("VigilStat", "Folder", "Placeholder", "x");
    QFile ini(r.filePath("VigilStat"));
    QVERIFY(ini.open(QIODevice::Append));
    ini.write("\n[Extra]\nReportFileName=a,b\n");
    ini.close();
    QCOMPARE(r.value("VigilStat", "Extra", "ReportFileName"), std::optional<QString>("a,b"));
}

void TestRegistry::seesWhatAnotherWriterStored()
{
    ScriptedRegistry r;
    r.seed("SVControl", "DataComSets", "TotalKey", "2");
    QCOMPARE(r.value("SVControl", "DataComSets", "TotalKey"), std::optional<QString>("2"));
    IniRegistry other(r.rootFolder());
    QVERIFY(other.setValue("SVControl", "DataComSets", "TotalKey", "501"));
    QVERIFY(other.setValue("SVControl", "DataComSets", "ActiveIndex", "3"));
    QCOMPARE(r.value("SVControl", "DataComSets", "TotalKey"), std::optional<QString>("501"));
    QCOMPARE(r.value("SVControl", "datacomsets", "activeindex"), std::optional<QString>("3"));
    QVERIFY(QFile::remove(r.filePath("SVControl")));
    QVERIFY(!r.value("SVControl", "DataComSets", "TotalKey"));
}

void TestRegistry::codePageRoundTrip()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = CodePage::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x99), QChar(0x2122));
    QCOMPARE(text.at(0xE9), QChar(0xE9));
    QCOMPARE(CodePage::encode(text), all);
    QCOMPARE(CodePage::encode(QStringLiteral("a\u0416b")), QByteArray("a?b"));
    QCOMPARE(CodePage::byteOf(QChar(0x0152)), 0x8C);
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
