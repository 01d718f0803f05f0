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
            u"LogFileName="_s + s.logFileName(),
            u"ConcurrentUnits="_s + QString::number(s.concurrentUnits())};
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

    void defaultsThenEveryValueStoredAndReadBack()
    {
        m_platform->locale = PinnedLocale(QLocale(QLocale::German, QLocale::Germany));
        Settings s;
        s.LoadSettings();
        const QString folder = m_platform->programFolder.path();
        QCOMPARE(valuesOf(s),
                 (QStringList{"EncodedPassword=99C9", "ReportSaveFolder=" + folder,
                              "ReportFileName=report.txt", "RollingNumber=0",
                              "IPFileName=IPAddressList.ipl", "StartDate=2026-12-06", "StartTime=0",
                              "RepeatHours=24", "RTL=60", "ATL=60", "LTDiff=15", "LogKeepDays=7",
                              "LogFileName=ExceptionLogFile.txt", "ConcurrentUnits=1"}));
        QCOMPARE(flagsOf(s), u"0 0 0 0 0"_s + u" 1"_s.repeated(32) + u" 0 0 2"_s);
        QCOMPARE(s.exceptionLogPath(), m_platform->programFolder.file(u"ExceptionEventLog.evt"_s));
        QVERIFY(m_platform->registry.isEmpty());

        // A name stored in another spelling is written under that spelling, not added again.
        m_platform->registry.seed(u"VigilStat"_s, u"general"_s, u"LOGKEEPDAYS"_s, u"21"_s);
        // The factory password, eight top characters (255 * (3 + 9 + ... + 3^8)), and the euro
        // sign, which is code 128 in the file code page, not its Unicode value.
        QStringList encoded;
        for (const QString& password : {u"admin"_s, QString(8, QChar(0xFF)), u"\u20AC"_s}) {
            s.setPassword(password);
            encoded << stored(u"Security"_s, u"EncodedPassword"_s);
        }
        QCOMPARE(encoded, (QStringList{"99C9", "264990", "180"}));
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
        s.setConcurrentUnits(256);
        QCOMPARE(stored(u"General"_s, u"StartDate"_s), u"29.02.2028"_s);
        QCOMPARE(stored(u"GENERAL"_s, u"logkeepdays"_s), u"30"_s);
        Settings reader;
        reader.LoadSettings();
        QCOMPARE(valuesOf(reader), valuesOf(s));

        // Options by name: only a cached flag's exact name changes the flag, clamped to 0-255.
        QSignalSpy spy(&s, &Settings::optionSaved);
        s.SaveOption(u"SomethingNew"_s, 5);
        s.SaveOption(u"fileSaveOption"_s, 1); // written, but names no cached flag
        QCOMPARE(stored(u"Options"_s, u"SomethingNew"_s), u"5"_s);
        QCOMPARE(s.option(Option::FileSaveOption), quint8(0));
        QCOMPARE(spy.count(), 0);
        s.SaveOption(u"FileSaveOption"_s, 300);
        QCOMPARE(s.option(Option::FileSaveOption), quint8(255));
        QCOMPARE(spy.count(), 1);

        // The running program does as asked even when the registry refuses the value.
        m_platform->registry.failWrites = true;
        QVERIFY(!s.setRTL(5));
        QCOMPARE(s.rtl(), qint16(5));
    }

    // What someone else stored: read if it is a value of its kind, the default otherwise.
    void storedTexts_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QLocale>("locale");
        const auto row = [](const char* name, const char* section, const char* key,
                            const char* text, const char* expected,
                            const QLocale& locale = QLocale(QLocale::English)) {
            QTest::newRow(name) << QString::fromLatin1(section) << QString::fromLatin1(key)
                                << QString::fromUtf8(text) << QString::fromUtf8(expected) << locale;
        };
        row("int16 overflow", "General", "RTL", "40000", "RTL=60");
        row("blanks around", "General", "ATL", " 45 ", "ATL=45");
        row("older password kept", "Security", "EncodedPassword", "7C2E", "EncodedPassword=7C2E");
        row("date of the locale", "General", "StartDate", "31.01.2027", "StartDate=2027-01-31",
            QLocale(QLocale::German, QLocale::Germany));
        row("flag 256", "Options", "NotifyBy", "256", "NotifyBy=2");
        for (const char* units : {"0", "257", "eight"})
            row(units, "Options", "ConcurrentUnits", units, "ConcurrentUnits=1");
    }

    void storedTexts()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QFETCH(QLocale, locale);
        m_platform->locale = PinnedLocale(locale);
        m_platform->registry.seed(u"VigilStat"_s, section, key, text);
        Settings s;
        s.LoadSettings();
        QStringList values = valuesOf(s);
        for (int i = 0; i < Settings::kOptionCount; ++i)
            values << Settings::optionKey(Option(i)) + u'=' + QString::number(s.option(Option(i)));
        QVERIFY2(values.contains(expected), qPrintable(values.join(u", ")));
    }

private:
    QString stored(const QString& section, const QString& key) const
    {
        return m_platform->registry.value(u"VigilStat"_s, section, key).value_or(u"<missing>"_s);
    }

    std::optional<ScriptedPlatform> m_platform;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
