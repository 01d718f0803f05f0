#include "core/UnitListLoader.h"
#include "directory/AddressListFile.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestUnitListLoader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fillsTheCycleLists_data();
    void fillsTheCycleLists();
    void failureIsReported();
};

void TestUnitListLoader::fillsTheCycleLists_data()
{
    QTest::addColumn<QString>("setting"); // "" = not stored
    QTest::addColumn<QString>("file");    // where the list is, below the program folder
    QTest::newRow("default name") << ""
                                  << "IPAddressList.ipl";
    QTest::newRow("relative name") << "site.ipl"
                                   << "site.ipl";
    QTest::newRow("Windows separators") << "lists\\north.ipl"
                                        << "lists/north.ipl";
}

void TestUnitListLoader::fillsTheCycleLists()
{
    QFETCH(QString, setting);
    QFETCH(QString, file);
    ScriptedPlatform platform;
    if (!setting.isEmpty())
        platform.registry.seed(QStringLiteral("VigilStat"), QStringLiteral("Folder"),
                               QStringLiteral("IPFileName"), setting);
    Settings settings;
    settings.LoadSettings();

    const QString path = platform.programFolder.file(file);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    UnitAddressList stored;
    stored.append({"10.1.1.1", "One", "123", "GMT", "EUR", "1", "0"});
    QVERIFY(SaveAddressList(path, stored));

    UnitAddressList units;
    UnitListLoader loader(units, settings);
    QCOMPARE(loader.path(), path);
    QVERIFY(loader.load());
    QCOMPARE(units, stored);
}

void TestUnitListLoader::failureIsReported()
{
    ScriptedPlatform platform;
    Settings settings;
    settings.LoadSettings();
    UnitAddressList units;
    units.append({"stale", "", "", "", "", "", ""});
    UnitListLoader loader(units, settings);
    QVERIFY(!loader.load());
    QCOMPARE(units.count(), 0);
    QCOMPARE(platform.prompts.texts(), QStringList{QStringLiteral("Cannot open ") + loader.path()});
}

QTEST_GUILESS_MAIN(TestUnitListLoader)
#include "tst_unitlistloader.moc"
