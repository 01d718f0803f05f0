#include "platform/CodePage.h"
#include "platform/ProgramFolder.h"
#include "ScriptedAdapters.h"
#include "TestFiles.h"

#include <QFile>
#include <QTest>

// The locale's date-time texts, the INI registry, the program folder and the file code page.
class TestPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyLocaleReadsBackWhatItWrites()
    {
        const QList<QDateTime> moments = {
            wallClock(QDate(2026, 3, 8), QTime(2, 30, 0)), // inside a US daylight-saving gap
            wallClock(QDate(2026, 11, 30), QTime(23, 0, 1)),
            wallClock(QDate(2000, 2, 29), QTime(12, 59, 59)),
            wallClock(QDate(2099, 6, 1), QTime(0, 0, 0)),
        };
        const auto locales = QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                      QLocale::AnyTerritory);
        QVERIFY(locales.size() > 100);
        QStringList failures;
        for (const QLocale& locale : locales) {
            const LocaleFormats formats(locale);
            for (const QDateTime& m : moments) {
                const QString text = formats.generalDateTimeText(m);
                const auto back = formats.parseGeneralDateTime(text);
                if (!back || *back != m)
                    failures.append(locale.name() + QStringLiteral(": ") + text);
            }
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 10).join(u'\n')));
    }

    void shortDateAndForeignTexts()
    {
        const PinnedLocale locale;
        QCOMPARE(locale.shortDateText(QDate(2026, 12, 6)), QStringLiteral("12/6/2026"));
        QCOMPARE(locale.parseShortDate(QStringLiteral("12/6/2026")), QDate(2026, 12, 6));
        // Date only, two-digit year, day out of range, trailing junk.
        for (const char* text :
             {"3/8/2026", "3/8/26 2:05:09 PM", "2/30/2026 2:05:09 PM", "3/8/2026 2:05:09 PM x"})
            QVERIFY2(!locale.parseGeneralDateTime(QString::fromLatin1(text)), text);
    }

    // Names in any case, texts kept as they are; what another program or a hand edit stored is
    // read, a list-looking value as text.
    void registry()
    {
        ScriptedRegistry r;
        QVERIFY(!r.value("VigilStat", "General", "RTL"));
        QVERIFY(r.setValue("VigilStat", "General", "RTL", "30"));
        QVERIFY(!r.value("VigilStat", "Folder", "RTL"));
        QVERIFY(!r.value("SVControl", "General", "RTL"));
        // A name already stored keeps its spelling; no second entry is added.
        QVERIFY(r.setValue("VigilStat", "GENERAL", "rtl", "31"));
        const QByteArray text = TestFiles::read(r.filePath("VigilStat"));
        QVERIFY2(text.contains("RTL=31") && text.count('=') == 1, text.constData());
        for (const QString kept : {"@Variant(nonsense)", "say \"hi\""}) {
            QVERIFY(r.setValue("VigilStat", "Folder", "ReportSaveFolder", kept));
            QCOMPARE(r.value("VigilStat", "Folder", "ReportSaveFolder"), kept);
        }

        r.seed("SVControl", "DataComSets", "TotalKey", "2");
        QCOMPARE(r.value("SVControl", "DataComSets", "TotalKey"), "2");
        IniRegistry other(r.rootFolder());
        QVERIFY(other.setValue("SVControl", "DataComSets", "TotalKey", "501"));
        QCOMPARE(r.value("SVControl", "datacomsets", "totalkey"), "501");
        const QString ini = r.filePath("SVControl");
        TestFiles::write(ini, TestFiles::read(ini) + "\n[Extra]\nReportFileName=a,b\n");
        QCOMPARE(r.value("SVControl", "Extra", "ReportFileName"), "a,b");
        QVERIFY(QFile::remove(ini));
        QVERIFY(!r.value("SVControl", "DataComSets", "TotalKey"));

        IniRegistry unwritable(QStringLiteral("/proc/vigilstat-cannot-exist"));
        QVERIFY(!unwritable.setValue("VigilStat", "General", "RTL", "30"));
        QVERIFY(!unwritable.value("VigilStat", "General", "RTL"));
    }

    // An installed copy must keep its log per user, never beside a system executable.
    void systemFolders()
    {
        QStringList system;
        for (const char* folder : {"/usr/bin", "/usr/local/bin", "/opt/vigilstat/bin", "/bin",
                                   "/home/op/vigilstat/build/bin", "/usrdata/vigilstat"})
            if (SystemProgramFolder::isSystemFolder(QString::fromLatin1(folder)))
                system << QString::fromLatin1(folder);
        QCOMPARE(system, (QStringList{"/usr/bin", "/usr/local/bin", "/opt/vigilstat/bin", "/bin"}));
    }

    void codePageRoundTrip()
    {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        const QString text = CodePage::decode(all);
        QCOMPARE(text.at(0x80), QChar(0x20AC));
        QCOMPARE(text.at(0x99), QChar(0x2122));
        QCOMPARE(text.at(0xE9), QChar(0xE9));
        QCOMPARE(CodePage::encode(text), all);
        QCOMPARE(CodePage::encode(QStringLiteral("a\u0416b")), QByteArray("a?b"));
        QCOMPARE(CodePage::byteOf(QChar(0x0152)), 0x8C);
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
