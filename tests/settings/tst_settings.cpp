#include "ScriptedPlatform.h"
#include "settings/Settings.h"

#include <optional>
#include <QSignalSpy>
#include <QTest>

using Option = Settings::Option;

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_platform.emplace(); }
    void cleanup() { m_platform.reset(); }

    void emptyRegistryGivesDefaultsAndWritesNothing();
    void settersRoundTrip_data();
    void settersRoundTrip();
    void namesMatchWithoutRegardToCase();
    void badStoredValuesReadAsDefault_data();
    void badStoredValuesReadAsDefault();
    void startDateReadsBackItsOwnText();
    void saveOptionWritesUnknownKeysToo();
    void saveOptionMatchesTheCachedFlagByExactName();
    void passwordIsStoredEncodedOnce();

private:
    QString stored(const QString& section, const QString& key) const
    {
        return m_platform->registry.value(QStringLiteral("VigilStat"), section, key)
            .value_or(QStringLiteral("<missing>"));
    }
    std::optional<ScriptedPlatform> m_platform;
};

void TestSettings::emptyRegistryGivesDefaultsAndWritesNothing()
{
    m_platform->clock.setLocal(wallClock(QDate(2026, 12, 6), QTime(9, 0)));
    Settings s;
    s.LoadSettings();

    QCOMPARE(s.encodedPassword(), QStringLiteral("99C9"));
    QCOMPARE(s.reportSaveFolder(), m_platform->programFolder.path());
    QCOMPARE(s.reportFileName(), QStringLiteral("report.txt"));
    QCOMPARE(s.rollingNumber(), qint16(0));
    QCOMPARE(s.ipFileName(), QStringLiteral("IPAddressList.ipl"));
    QCOMPARE(s.startDate(), QDate(2026, 12, 6));
    QCOMPARE(s.startTime(), qint16(0));
    QCOMPARE(s.repeatHours(), 24);
    QCOMPARE(s.rtl(), qint16(60));
    QCOMPARE(s.atl(), qint16(60));
    QCOMPARE(s.ltDiff(), qint16(15));
    QCOMPARE(s.logKeepDays(), qint16(7));
    QCOMPARE(s.logFileName(), QStringLiteral("ExceptionLogFile.txt"));
    QCOMPARE(s.concurrentUnits(), 1);
    QCOMPARE(s.exceptionLogPath(),
             m_platform->programFolder.file(QStringLiteral("ExceptionEventLog.evt")));
    for (int i = 0; i < Settings::kOptionCount; ++i) {
        const auto o = static_cast<Option>(i);
        QCOMPARE(s.option(o), Settings::optionDefault(o));
    }
    QCOMPARE(s.option(Option::OperatingMode), quint8(0));
    QCOMPARE(s.option(Option::PollingOption), quint8(0));
    QCOMPARE(s.option(Option::NotifyBy), quint8(2));
    QCOMPARE(s.option(Option::RecordStatus), quint8(1));
    QCOMPARE(s.option(Option::NotRecordingNotify), quint8(1));
    QVERIFY(m_platform->registry.isEmpty());
}

void TestSettings::settersRoundTrip_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("storedText");
    QTest::addColumn<std::function<void(Settings&)>>("set");
    QTest::addColumn<std::function<QString(const Settings&)>>("get");

    const auto row = [](const char* name, const char* section, const char* key, const char* text,
                        std::function<void(Settings&)> set,
                        std::function<QString(const Settings&)> get) {
        QTest::newRow(name) << QString::fromLatin1(section) << QString::fromLatin1(key)
                            << QString::fromUtf8(text) << set << get;
    };
    row(
        "ReportSaveFolder", "Folder", "ReportSaveFolder", "/srv/reports, daily",
        [](Settings& s) { s.setReportSaveFolder(QStringLiteral("/srv/reports, daily")); },
        [](const Settings& s) { return s.reportSaveFolder(); });
    row(
        "ReportFileName", "Folder", "ReportFileName", "Größe.txt",
        [](Settings& s) { s.setReportFileName(QStringLiteral("Größe.txt")); },
        [](const Settings& s) { return s.reportFileName(); });
    row(
        "RollingNumber", "Folder", "RollingNumber", "-32768",
        [](Settings& s) { s.setRollingNumber(-32768); },
        [](const Settings& s) { return QString::number(s.rollingNumber()); });
    row(
        "IPFileName", "Folder", "IPFileName", "sites/north.ipl",
        [](Settings& s) { s.setIPFileName(QStringLiteral("sites/north.ipl")); },
        [](const Settings& s) { return s.ipFileName(); });
    row(
        "StartDate", "General", "StartDate", "2/29/2028",
        [](Settings& s) { s.setStartDate(QDate(2028, 2, 29)); },
        [](const Settings& s) { return s.startDate().toString(Qt::ISODate); });
    row(
        "StartTime", "General", "StartTime", "47", [](Settings& s) { s.setStartTime(47); },
        [](const Settings& s) { return QString::number(s.startTime()); });
    row(
        "RepeatHours", "General", "RepeatHours", "100000",
        [](Settings& s) { s.setRepeatHours(100000); },
        [](const Settings& s) { return QString::number(s.repeatHours()); });
    row(
        "RTL", "General", "RTL", "90", [](Settings& s) { s.setRTL(90); },
        [](const Settings& s) { return QString::number(s.rtl()); });
    row(
        "ATL", "General", "ATL", "0", [](Settings& s) { s.setATL(0); },
        [](const Settings& s) { return QString::number(s.atl()); });
    row(
        "LTDiff", "General", "LTDiff", "32767", [](Settings& s) { s.setLTDiff(32767); },
        [](const Settings& s) { return QString::number(s.ltDiff()); });
    row(
        "LogKeepDays", "General", "LogKeepDays", "30", [](Settings& s) { s.setLogKeepDays(30); },
        [](const Settings& s) { return QString::number(s.logKeepDays()); });
    row(
        "LogFileName", "General", "LogFileName", "log.txt",
        [](Settings& s) { s.setLogFileName(QStringLiteral("log.txt")); },
        [](const Settings& s) { return s.logFileName(); });
    row(
        "ConcurrentUnits", "Options", "ConcurrentUnits", "256",
        [](Settings& s) { s.setConcurrentUnits(256); },
        [](const Settings& s) { return QString::number(s.concurrentUnits()); });
}

void TestSettings::settersRoundTrip()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, storedText);
    QFETCH(std::function<void(Settings&)>, set);
    QFETCH(std::function<QString(const Settings&)>, get);

    Settings writer;
    writer.LoadSettings();
    set(writer);
    const QString cached = get(writer);
    QCOMPARE(stored(section, key), storedText);

    Settings reader;
    reader.LoadSettings();
    QCOMPARE(get(reader), cached);
}

void TestSettings::namesMatchWithoutRegardToCase()
{
    m_platform->registry.seed(QStringLiteral("VigilStat"), QStringLiteral("general"),
                              QStringLiteral("LOGKEEPDAYS"), QStringLiteral("21"));
    m_platform->registry.seed(QStringLiteral("VigilStat"), QStringLiteral("OPTIONS"),
                              QStringLiteral("operatingmode"), QStringLiteral("1"));
    Settings s;
    s.LoadSettings();
    QCOMPARE(s.logKeepDays(), qint16(21));
    QCOMPARE(s.option(Option::OperatingMode), quint8(1));

    // A setter updates the value under the name already stored instead of adding a second one.
    s.setLogKeepDays(3);
    Settings again;
    again.LoadSettings();
    QCOMPARE(again.logKeepDays(), qint16(3));
    QCOMPARE(stored(QStringLiteral("GENERAL"), QStringLiteral("logkeepdays")), QStringLiteral("3"));
}

void TestSettings::badStoredValuesReadAsDefault_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("int16 overflow") << "General"
                                    << "RTL"
                                    << "40000"
                                    << "60";
    QTest::newRow("not a number") << "General"
                                  << "LTDiff"
                                  << "fifteen"
                                  << "15";
    QTest::newRow("fraction") << "General"
                              << "LogKeepDays"
                              << "7.5"
                              << "7";
    QTest::newRow("empty") << "General"
                           << "ATL"
                           << ""
                           << "60";
    QTest::newRow("blanks around") << "General"
                                   << "ATL"
                                   << " 45 "
                                   << "45";
    QTest::newRow("int32 overflow") << "General"
                                    << "RepeatHours"
                                    << "3000000000"
                                    << "24";
    QTest::newRow("flag out of range") << "Options"
                                       << "NotifyBy"
                                       << "256"
                                       << "2";
    QTest::newRow("negative flag") << "Options"
                                   << "PollingOption"
                                   << "-1"
                                   << "0";
    QTest::newRow("rolling number hex") << "Folder"
                                        << "RollingNumber"
                                        << "0x10"
                                        << "0";
    for (const char* units : {"0", "257", "eight"})
        QTest::addRow("units %s", units) << "Options"
                                         << "ConcurrentUnits" << units << "1";
}

void TestSettings::badStoredValuesReadAsDefault()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    m_platform->registry.seed(QStringLiteral("VigilStat"), section, key, text);

    Settings s;
    s.LoadSettings();
    const QHash<QString, QString> values = {
        {QStringLiteral("RTL"), QString::number(s.rtl())},
        {QStringLiteral("LTDiff"), QString::number(s.ltDiff())},
        {QStringLiteral("LogKeepDays"), QString::number(s.logKeepDays())},
        {QStringLiteral("ATL"), QString::number(s.atl())},
        {QStringLiteral("RepeatHours"), QString::number(s.repeatHours())},
        {QStringLiteral("NotifyBy"), QString::number(s.option(Option::NotifyBy))},
        {QStringLiteral("PollingOption"), QString::number(s.option(Option::PollingOption))},
        {QStringLiteral("RollingNumber"), QString::number(s.rollingNumber())},
        {QStringLiteral("ConcurrentUnits"), QString::number(s.concurrentUnits())},
    };
    QCOMPARE(values.value(key), expected);
}

void TestSettings::startDateReadsBackItsOwnText()
{
    m_platform->clock.setLocal(wallClock(QDate(2026, 12, 6), QTime(23, 59)));
    for (const QString& bad : {QStringLiteral("12/6/26"), QStringLiteral("2026-01-02"),
                               QStringLiteral("13/1/2026"), QStringLiteral("soon")}) {
        m_platform->registry.seed(QStringLiteral("VigilStat"), QStringLiteral("General"),
                                  QStringLiteral("StartDate"), bad);
        Settings s;
        s.LoadSettings();
        QVERIFY2(s.startDate() == QDate(2026, 12, 6), qPrintable(bad));
    }

    // Another locale writes and reads its own form.
    m_platform->locale = PinnedLocale(QLocale(QLocale::German, QLocale::Germany));
    Settings writer;
    writer.LoadSettings();
    writer.setStartDate(QDate(2027, 1, 31));
    QCOMPARE(stored(QStringLiteral("General"), QStringLiteral("StartDate")),
             QStringLiteral("31.01.2027"));
    Settings reader;
    reader.LoadSettings();
    QCOMPARE(reader.startDate(), QDate(2027, 1, 31));
}

void TestSettings::saveOptionWritesUnknownKeysToo()
{
    Settings s;
    s.LoadSettings();
    QSignalSpy spy(&s, &Settings::optionSaved);
    s.SaveOption(QStringLiteral("SomethingNew"), 5);
    QCOMPARE(stored(QStringLiteral("Options"), QStringLiteral("SomethingNew")),
             QStringLiteral("5"));
    QCOMPARE(spy.count(), 0);
}

void TestSettings::saveOptionMatchesTheCachedFlagByExactName()
{
    Settings s;
    s.LoadSettings();
    QSignalSpy spy(&s, &Settings::optionSaved);

    s.SaveOption(QStringLiteral("fileSaveOption"), 1); // wrong case: written, not cached
    QCOMPARE(s.option(Option::FileSaveOption), quint8(0));
    QCOMPARE(spy.count(), 0);

    s.SaveOption(QStringLiteral("FileSaveOption"), 1);
    QCOMPARE(s.option(Option::FileSaveOption), quint8(1));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<Option>(), Option::FileSaveOption);

    Settings reader;
    reader.LoadSettings();
    QCOMPARE(reader.option(Option::FileSaveOption), quint8(1));
}

void TestSettings::passwordIsStoredEncodedOnce()
{
    Settings s;
    s.LoadSettings();
    s.setPassword(QStringLiteral("abc"));
    QCOMPARE(s.encodedPassword(), QStringLiteral("F06"));
    QCOMPARE(stored(QStringLiteral("Security"), QStringLiteral("EncodedPassword")),
             QStringLiteral("F06"));

    // A password stored by an older installation keeps working as it is.
    m_platform->registry.seed(QStringLiteral("VigilStat"), QStringLiteral("Security"),
                              QStringLiteral("EncodedPassword"), QStringLiteral("7C2E"));
    Settings reader;
    reader.LoadSettings();
    QCOMPARE(reader.encodedPassword(), QStringLiteral("7C2E"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
