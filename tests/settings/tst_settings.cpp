#include "ScriptedPlatform.h"
#include "settings/Settings.h"

#include <optional>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using Option = Settings::Option;

namespace {

QStringList valuesOf(const Settings& s)
{
    return {u"EncodedPassword="_s + s.encodedPassword(),
            u"ReportSaveFolder="_s + s.reportSaveFolder(),
            u"ReportFileName="_s + s.reportFileName(),
            u"RollingNumber="_s + QString::number(s.rollingNumber()),
            u"IPFileName="_s + s.ipFileName(),
            u"StartDate="_s + s.startDate().toString(Qt::ISODate),
            u"StartTime="_s + QString::number(s.startTime()),
            u"RepeatHours="_s + QString::number(s.repeatHours()),
            u"RTL="_s + QString::number(s.rtl()),
            u"ATL="_s + QString::number(s.atl()),
            u"LTDiff="_s + QString::number(s.ltDiff()),
            u"LogKeepDays="_s + QString::number(s.logKeepDays()),
            u"LogFileName="_s + s.logFileName()};
}

QString flagsOf(const Settings& s)
{
    QString flags;
    for (int i = 0; i < Settings::kOptionCount; ++i)
        flags += QString::number(s.option(static_cast<Option>(i))) + u' ';
    return flags.trimmed();
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_platform.emplace();
        m_platform->clock.setLocal(wallClock(QDate(2026, 12, 6), QTime(23, 59)));
    }
    void cleanup() { m_platform.reset(); }

    void defaultsThenEveryValueStoredAndReadBack();
    void storedTexts_data();
    void storedTexts();
    void saveOption();
    void passwordEncoding_data();
    void passwordEncoding();

private:
    QString stored(const QString& section, const QString& key) const
    {
        return m_platform->registry.value(u"VigilStat"_s, section, key).value_or(u"<missing>"_s);
    }
    void seed(const QString& section, const QString& key, const QString& text)
    {
        m_platform->registry.seed(u"VigilStat"_s, section, key, text);
    }

    std::optional<ScriptedPlatform> m_platform;
};

void TestSettings::defaultsThenEveryValueStoredAndReadBack()
{
    m_platform->locale = PinnedLocale(QLocale(QLocale::German, QLocale::Germany));
    Settings s;
    s.LoadSettings();
    const QString folder = m_platform->programFolder.path();
    QCOMPARE(
        valuesOf(s),
        (QStringList{"EncodedPassword=99C9", "ReportSaveFolder=" + folder,
                     "ReportFileName=report.txt", "RollingNumber=0", "IPFileName=IPAddressList.ipl",
                     "StartDate=2026-12-06", "StartTime=0", "RepeatHours=24", "RTL=60", "ATL=60",
                     "LTDiff=15", "LogKeepDays=7", "LogFileName=ExceptionLogFile.txt"}));
    QCOMPARE(flagsOf(s), u"0 0 0 0 0"_s + u" 1"_s.repeated(32) + u" 0 0 2"_s);
    QCOMPARE(s.exceptionLogPath(), m_platform->programFolder.file(u"ExceptionEventLog.evt"_s));
    QVERIFY(m_platform->registry.isEmpty());

    // A name stored in another spelling is written under that spelling, not added again.
    seed(u"general"_s, u"LOGKEEPDAYS"_s, u"21"_s);
    s.setPassword(u"abc"_s);
    s.setReportSaveFolder(u"/srv/reports, daily"_s);
    s.setReportFileName(u"Größe.txt"_s);
    s.setRollingNumber(-32768);
    s.setIPFileName(u"sites/north.ipl"_s);
    s.setStartDate(QDate(2028, 2, 29));
    s.setStartTime(47);
    s.setRepeatHours(100000);
    s.setRTL(90);
    s.setATL(0);
    s.setLTDiff(32767);
    s.setLogKeepDays(30);
    s.setLogFileName(u"log.txt"_s);
    const QStringList texts = {"Security/EncodedPassword=F06",
                               "Folder/ReportSaveFolder=/srv/reports, daily",
                               "Folder/ReportFileName=Größe.txt",
                               "Folder/RollingNumber=-32768",
                               "Folder/IPFileName=sites/north.ipl",
                               "General/StartDate=29.02.2028",
                               "General/StartTime=47",
                               "General/RepeatHours=100000",
                               "General/RTL=90",
                               "General/ATL=0",
                               "General/LTDiff=32767",
                               "GENERAL/logkeepdays=30",
                               "General/LogFileName=log.txt"};
    for (const QString& t : texts) {
        const QString name = t.section(u'=', 0, 0);
        QCOMPARE(stored(name.section(u'/', 0, 0), name.section(u'/', 1)), t.section(u'=', 1));
    }
    Settings reader;
    reader.LoadSettings();
    QCOMPARE(valuesOf(reader), valuesOf(s));
}

// What someone else stored: read if it is a value of its kind, the default otherwise.
void TestSettings::storedTexts_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QLocale>("locale");
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const auto row = [&](const char* name, const char* section, const char* key, const char* text,
                         const char* expected, const QLocale& locale) {
        QTest::newRow(name) << QString::fromLatin1(section) << QString::fromLatin1(key)
                            << QString::fromUtf8(text) << QString::fromLatin1(expected) << locale;
    };
    row("int16 overflow", "General", "RTL", "40000", "RTL=60", us);
    row("not a number", "General", "LTDiff", "fifteen", "LTDiff=15", us);
    row("fraction", "General", "LogKeepDays", "7.5", "LogKeepDays=7", us);
    row("empty", "General", "ATL", "", "ATL=60", us);
    row("blanks around", "General", "ATL", " 45 ", "ATL=45", us);
    row("int32 overflow", "General", "RepeatHours", "3000000000", "RepeatHours=24", us);
    row("hex", "Folder", "RollingNumber", "0x10", "RollingNumber=0", us);
    row("names in any case", "general", "LOGKEEPDAYS", "21", "LogKeepDays=21", us);
    row("older password kept", "Security", "EncodedPassword", "7C2E", "EncodedPassword=7C2E", us);
    row("two-digit year", "General", "StartDate", "12/6/26", "StartDate=2026-12-06", us);
    row("ISO date", "General", "StartDate", "2026-01-02", "StartDate=2026-12-06", us);
    row("month 13", "General", "StartDate", "13/1/2026", "StartDate=2026-12-06", us);
    row("date of the locale", "General", "StartDate", "31.01.2027", "StartDate=2027-01-31",
        QLocale(QLocale::German, QLocale::Germany));
    row("flag 256", "Options", "NotifyBy", "256", "NotifyBy=2", us);
    row("flag -1", "Options", "PollingOption", "-1", "PollingOption=0", us);
    row("flag in any case", "OPTIONS", "operatingmode", "1", "OperatingMode=1", us);
}

void TestSettings::storedTexts()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(QLocale, locale);
    m_platform->locale = PinnedLocale(locale);
    seed(section, key, text);
    Settings s;
    s.LoadSettings();
    QStringList values = valuesOf(s);
    for (int i = 0; i < Settings::kOptionCount; ++i)
        values << Settings::optionKey(Option(i)) + u'=' + QString::number(s.option(Option(i)));
    QVERIFY2(values.contains(expected), qPrintable(values.join(u", ")));
}

void TestSettings::saveOption()
{
    Settings s;
    s.LoadSettings();
    QSignalSpy spy(&s, &Settings::optionSaved);
    s.SaveOption(u"SomethingNew"_s, 5);
    s.SaveOption(u"fileSaveOption"_s, 1); // written, but names no cached flag
    QCOMPARE(stored(u"Options"_s, u"SomethingNew"_s), u"5"_s);
    QCOMPARE(s.option(Option::FileSaveOption), quint8(0));
    QCOMPARE(spy.count(), 0);

    s.SaveOption(u"FileSaveOption"_s, 300);
    QCOMPARE(s.option(Option::FileSaveOption), quint8(255));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<Option>(), Option::FileSaveOption);

    // The running program does as asked even when the registry refuses the value.
    m_platform->registry.failWrites = true;
    QVERIFY(!s.setRTL(5));
    QCOMPARE(s.rtl(), qint16(5));
}

void TestSettings::passwordEncoding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("abc") << "abc"
                         << "F06";
    QTest::newRow("factory password") << "admin"
                                      << "99C9";
    QTest::newRow("blanks around count for nothing") << "  admin "
                                                     << "99C9";
    QTest::newRow("only blanks") << "   "
                                 << "0";
    // 255 * (3 + 9 + ... + 3^8) = 255 * 9840
    QTest::newRow("eight top characters") << QString(8, QChar(0xFF)) << "264990";
    // The euro sign is code 128 in the file code page, not its Unicode value.
    QTest::newRow("code page character") << QStringLiteral("\u20AC") << "180";
}

void TestSettings::passwordEncoding()
{
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    Settings s;
    s.setPassword(text);
    QCOMPARE(s.encodedPassword(), encoded);
    QCOMPARE(stored(u"Security"_s, u"EncodedPassword"_s), encoded);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
