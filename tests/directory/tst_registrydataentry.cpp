#include "directory/clsRegistryDataEntry.h"
#include "directory/UnitPassword.h"
#include "ScriptedPlatform.h"

#include <QFile>
#include <QTest>

class TestRegistryDataEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entriesAreRead();
    void total_data();
    void total();

private:
    // The companion viewer's settings as it stores them, written in one go.
    static void writeList(ScriptedPlatform& platform, const QStringList& lines);
};

void TestRegistryDataEntry::writeList(ScriptedPlatform& platform, const QStringList& lines)
{
    QFile f(platform.registry.filePath(QStringLiteral("SVControl")));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Text));
    f.write("[DataComSets]\n" + lines.join(u'\n').toUtf8() + '\n');
}

void TestRegistryDataEntry::entriesAreRead()
{
    ScriptedPlatform platform;
    writeList(platform, {"TotalKey=3", "ActiveIndex=1", "0ComType=0", "0Descript=Lobby",
                         "0DataKey=10.1.1.1", "0PW=" + EncodeUnitPassword(QStringLiteral("123")),
                         "1ComType=1", "1DataKey=5551234", "2ComType=0"});
    clsRegistryDataEntry list;
    list.LoadSetting(QStringLiteral("SVControl"));
    QCOMPARE(list.ComTotal(), 3);
    QCOMPARE(list.ActiveIndex(), 1);
    const clsEthernet* first = list.EthernetData(0);
    QVERIFY(first);
    QCOMPARE(first->Descript(), QStringLiteral("Lobby"));
    QCOMPARE(first->DataStr(), QStringLiteral("10.1.1.1"));
    QCOMPARE(first->ComType(), 0);
    QCOMPARE(first->Password(), QStringLiteral("123"));
    QCOMPARE(list.EthernetData(1)->ComType(), 1);
    QCOMPARE(list.EthernetData(1)->Password(), QString());
    // Values the viewer never wrote take their defaults.
    QCOMPARE(list.EthernetData(2)->Descript(), QStringLiteral("0"));
    QCOMPARE(list.EthernetData(2)->DataStr(), QStringLiteral("0"));
    QVERIFY(!list.EthernetData(3));
    QVERIFY(!list.EthernetData(-1));
}

void TestRegistryDataEntry::total_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("comTotal");
    QTest::addColumn<int>("activeIndex");

    auto entries = [](int n) {
        QStringList out;
        for (int i = 0; i < n; ++i)
            out << QStringLiteral("%1ComType=0").arg(i)
                << QStringLiteral("%1DataKey=10.0.%2.%3").arg(i).arg(i / 256).arg(i % 256);
        return out;
    };
    QTest::newRow("no list") << QStringList{} << 0 << 0;
    QTest::newRow("TotalKey missing") << entries(2) << 0 << 0;
    QTest::newRow("TotalKey zero") << (QStringList{"TotalKey=0"} + entries(2)) << 0 << 0;
    QTest::newRow("TotalKey negative") << (QStringList{"TotalKey=-3"} + entries(2)) << 0 << 0;
    QTest::newRow("TotalKey not a number") << (QStringList{"TotalKey=many"} + entries(2)) << 0 << 0;
    QTest::newRow("TotalKey beyond 16 bits")
        << (QStringList{"TotalKey=70000"} + entries(2)) << 0 << 0;
    QTest::newRow("TotalKey oversized")
        << (QStringList{"TotalKey=800", "ActiveIndex=600"} + entries(502)) << 501 << 0;
    QTest::newRow("active index not below total")
        << (QStringList{"TotalKey=2", "ActiveIndex=2"} + entries(2)) << 2 << 0;
    QTest::newRow("active index damaged")
        << (QStringList{"TotalKey=2", "ActiveIndex=x"} + entries(2)) << 2 << 0;
    QTest::newRow("unreadable type stops")
        << (QStringList{"TotalKey=4", "ActiveIndex=3", "2ComType=ethernet"} + entries(2)) << 2 << 0;
    QTest::newRow("type beyond a byte stops")
        << (QStringList{"TotalKey=3", "1ComType=256", "0ComType=1"}) << 1 << 0;
}

void TestRegistryDataEntry::total()
{
    QFETCH(QStringList, lines);
    QFETCH(int, comTotal);
    QFETCH(int, activeIndex);
    ScriptedPlatform platform;
    if (!lines.isEmpty())
        writeList(platform, lines);
    clsRegistryDataEntry list;
    list.LoadSetting(QStringLiteral("SVControl"));
    QCOMPARE(list.ComTotal(), comTotal);
    QCOMPARE(list.ActiveIndex(), activeIndex);
    if (comTotal > 0)
        QVERIFY(list.EthernetData(comTotal - 1));
    QVERIFY(!list.EthernetData(comTotal));
}

QTEST_GUILESS_MAIN(TestRegistryDataEntry)
#include "tst_registrydataentry.moc"
