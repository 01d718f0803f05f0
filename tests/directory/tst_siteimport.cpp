#include "directory/SiteImport.h"
#include "directory/TimeZones.h"
#include "Jet4Writer.h"
#include "platform/SiteDatabase.h"
#include "ScriptedPlatform.h"
#include "TestFiles.h"
#include "UnitLists.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QStringList kSiteColumns = {"Description", "PhoneIP", "EthernetPOTS", "UnitPassword",
                                  "Address3"};
const QString kNoneAdded = u"No new sites were added to the Address List."_s;

} // namespace

class TestSiteImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_platform.emplace();
        m_platform->clock.biasMinutes = 300; // the PC is on GMT-05:00
        TakePcTimeZone();
        m_platform->install(PlatformServices{.siteDatabase = &m_database});
        m_units.clear();
    }

    // Address books, address lists and values files as the import lists them: the unit, its
    // link type, and where its address begins in the list row. The password is 123 in both files.
    void listFiles()
    {
        const std::pair<const char*, TimeZoneOption> files[] = {
            {"short.lst", TimeZoneOption::LocalTime}, // announces 999 records, holds one
            {"passwords.lst", TimeZoneOption::GmtTime},
            {"passwords.ipl", TimeZoneOption::GmtTime},
            {"old.ipl", TimeZoneOption::StateFilter},
            {"semicolons.CSV", TimeZoneOption::GmtTime}};
        ImportCandidates candidates;
        for (const auto& [name, option] : files)
            candidates.ReadListFile(QFINDTESTDATA(u"../data/directory/"_s + name), option);

        QStringList got;
        for (int i = 0; i < candidates.count(); ++i)
            got.append(
                UnitLists::line(candidates.site(i)) + u' ' + candidates.lstType.at(i) + u' ' +
                QString::number(candidates.List1.at(i).indexOf(candidates.lstDataStr.at(i))));
        QCOMPARE(got, (QStringList{u"555-1234|Shop||GMT-05:00|USA|1|1 1 43"_s,
                                   u"2345678|Back|123|GMT|EUR|1|1 1 41"_s,
                                   u"10.1.1.1|Gate|123|GMT+10:00|AUS|0|1 0 43"_s,
                                   u"1-800-234-5678|Far||GMT-05:00|USA|1|1 1 43"_s,
                                   u"10.2.2.2|Lobby||GMT|EUR|1|1 0 43"_s,
                                   u"5551234|Caf\u00e9; \"east\"|321|GMT+01:00|EUR|1|1 1 43"_s}));
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList{u"There has been an error Importing from: "_s +
                             QFINDTESTDATA("../data/directory/short.lst")});
    }

    // A values line longer than 64 KiB is damage: the import stops there with the error message,
    // keeping the rows before it. The line before it is one byte short of the limit.
    void overlongValuesLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"long.csv"_s);
        TestFiles::write(path, "Address,Description\r\n10.0.0.1," + QByteArray(65523, 'x') +
                                   "\r\n10.0.0.2," + QByteArray(70000, 'y') +
                                   "\r\n10.0.0.3,After\r\n");
        ImportCandidates candidates;
        candidates.ReadListFile(path, TimeZoneOption::GmtTime);
        QCOMPARE(candidates.count(), 1);
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList{u"There has been an error Importing from: "_s + path});
    }

    void importSelected()
    {
        m_units = UnitLists::fleet(2998);
        ImportCandidates candidates;
        // Taken as POTS, an IP address is invalid; the last one is not selected.
        for (const QString& a :
             {u"10.0.0.1/0"_s, u"10.0.0.300/0"_s, u"10.9.9.1/1"_s, u"555-1234/1"_s, u"10.9.9.2/0"_s,
              u"10.9.9.3/0"_s, u"10.9.9.4/0"_s, u"10.9.9.5/0"_s, u"10.9.9.6/0"_s})
            candidates.append(
                {a.section(u'/', 0, 0), {}, u"12"_s, u"GMT+10:00"_s, u"AUS"_s, "1", "1"},
                a.section(u'/', 1));
        ImportTarget to{m_units, [this](const UnitRecord& r) { m_units.append(r); }};
        QCOMPARE(
            ImportSummary(ImportSelectedSites(candidates, {0, 1, 2, 3, 4, 5, 6, 7},
                                              TimeZoneOption::GmtTime, to)),
            u"3 Duplicate or invalid sites were found! \r\n2 New sites were added to the Address "
            "List.\r\n3 selected sites were not added to the Address List because\r\nA maximum "
            "of 3000 Addresses has been reached!"_s);
        QCOMPARE(UnitLists::line(m_units.record(2999)), u"10.9.9.2||12|GMT|EUR|1|1"_s);
    }

    void siteDatabase_data()
    {
        QTest::addColumn<QString>("folder"); // "db": where the database is; "": not installed
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::addColumn<int>("damageAt");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("added");
        auto row = [](const char* tag, const QString& folder, const QList<QStringList>& rows,
                      int damageAt, const QString& message, const QStringList& added = {}) {
            QTest::newRow(tag) << folder << rows << damageAt << message << added;
        };

        const QList<QStringList> sites = {{"Gate", " 10.1.1.1", "Ethernet", QString(), "az"},
                                          {"Desert", "10.1.1.2", "Ethernet", QString(), " az "},
                                          {"Ranch", "234-5678", "POTS ", " 123 ", "TX"},
                                          {"Office", "10.1.1.3", QString(), "4", QString()}};
        const QString office = u"10.1.1.3|Office|4|GMT-05:00|USA|1|1"_s;
        row("state filter", u"db"_s, sites, -1,
            u"One duplicate or invalid site was found! \r\n3 New sites were added"_s,
            {u"10.1.1.2|Desert||GMT-07:00|OFF|1|1"_s, u"234-5678|Ranch|123|GMT-06:00|USA|1|1"_s,
             office});
        row("empty", u"db"_s, {}, -1, u"ScopeVault Site Database is empty.\r\n"_s + kNoneAdded);
        row("not installed", {}, sites, -1,
            u"No ScopeVault Ver.2.5S or later is installed on this machine!\r\n"_s + kNoneAdded);
        row("missing folder", u"/nowhere/"_s, sites, -1,
            u"Could not find file '/nowhere/SVSecurity.mdb'."_s);
        // The second row's offset points past its page, which costs the third its end too; the
        // sites added before the reader gave up stay.
        row("damaged rows", u"db"_s, sites, 5 * 4096 + 17, u"damaged: 2 of its 4 rows"_s, {office});
        // The table's page usage map points at a row that is not there.
        row("damaged table", u"db"_s, sites, 4 * 4096 + 55, u"is damaged."_s);
    }

    void siteDatabase()
    {
        QFETCH(QString, folder);
        QFETCH(QList<QStringList>, rows);
        QFETCH(int, damageAt);
        QFETCH(QString, message);
        QFETCH(QStringList, added);

        QByteArray database = Jet4Database(u"Sites"_s, kSiteColumns, rows);
        if (damageAt > 0)
            database[damageAt] = 0x1f;
        // The viewer's locator file names the database; lines that only look alike are passed over.
        TestFiles::write(file(u"Sites.mdb"_s), database);
        const QByteArray locator = "SECURITY_DB_PATH_AND_FILENAME=a=b\r\nSECURITY_DB=x\r\n\r\n"
                                   " security_db_path_and_filename =";
        TestFiles::write(file(u"bwval.dat"_s), locator + file(u"Sites.mdb"_s).toUtf8() + "\r\n");
        if (folder == u"db")
            folder = m_platform->programFolder.path();
        if (!folder.isEmpty())
            m_platform->registry.seed("strScopeVaultSpecial", {}, "ScopeVaultPath", folder);

        ImportTarget to{m_units, [this](const UnitRecord& r) { m_units.append(r); }};
        if (const auto tally = ImportSiteDatabase(TimeZoneOption::StateFilter, to))
            ShowImportSummary(*tally);
        QCOMPARE(m_platform->prompts.shown.size(), 1);
        QVERIFY2(m_platform->prompts.shown.first().text.contains(message),
                 qPrintable(m_platform->prompts.shown.first().text));
        QCOMPARE(UnitLists::lines(m_units), added);
    }

private:
    QString file(const QString& name) const { return m_platform->programFolder.file(name); }

    std::optional<ScriptedPlatform> m_platform;
    MdbSiteDatabase m_database;
    UnitAddressList m_units;
};

QTEST_MAIN(TestSiteImport)
#include "tst_siteimport.moc"
