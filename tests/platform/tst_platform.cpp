#include "platform/CodePage.h"
#include "ScriptedAdapters.h"

#include <QFile>
#include <QTest>

// The locale's date-time texts, the INI registry and the file code page.
class TestPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void generalText_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                               << QStringLiteral("3/8/2026 2:05:09 PM");
        QTest::newRow("ja_JP letters as literals") << QLocale(QLocale::Japanese, QLocale::Japan)
                                                   << QStringLiteral("2026/03/08 14時05分09秒");
        QTest::newRow("ee_GH upper-case day period")
            << QLocale(QStringLiteral("ee_GH")) << QStringLiteral("3/8/2026 ƔETRƆ ga 2:05:09");
    }

    void generalText()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        const LocaleFormats formats(locale);
        const QDateTime t = wallClock(QDate(2026, 3, 8), QTime(14, 5, 9));
        QCOMPARE(formats.generalDateTimeText(t), expected);
        QCOMPARE(formats.parseGeneralDateTime(expected), t);
    }

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
                QLocale plain = locale;
                plain.setNumberOptions(QLocale::OmitGroupSeparator);
                // Locales whose digits do not read back fall back to Latin digits.
                if (!text.contains(plain.toString(m.date().year())) &&
                    !text.contains(QString::number(m.date().year())))
                    failures.append(locale.name() + QStringLiteral(" year: ") + text);
            }
        }
        QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 10).join(u'\n')));
    }

    void rejectsForeignText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("date only") << QStringLiteral("3/8/2026");
        QTest::newRow("two-digit year") << QStringLiteral("3/8/26 2:05:09 PM");
        QTest::newRow("day out of range") << QStringLiteral("2/30/2026 2:05:09 PM");
        QTest::newRow("trailing junk") << QStringLiteral("3/8/2026 2:05:09 PM x");
    }

    void rejectsForeignText()
    {
        QFETCH(QString, text);
        const PinnedLocale locale;
        QVERIFY(!locale.parseGeneralDateTime(text).has_value());
    }

    void shortDateHasFourDigitYear()
    {
        const PinnedLocale locale;
        QCOMPARE(locale.shortDateText(QDate(2026, 12, 6)), QStringLiteral("12/6/2026"));
        QCOMPARE(locale.parseShortDate(QStringLiteral("12/6/2026")), QDate(2026, 12, 6));
        QCOMPARE(locale.decimalSeparator(), QStringLiteral("."));
        QCOMPARE(LocaleFormats(QLocale(QLocale::German)).decimalSeparator(), QStringLiteral(","));
    }

    void namesAndFolders()
    {
        ScriptedRegistry r;
        QVERIFY(!r.value("VigilStat", "General", "RTL"));
        QVERIFY(r.setValue("VigilStat", "General", "RTL", "30"));
        QVERIFY(!r.value("VigilStat", "Folder", "RTL"));
        QVERIFY(!r.value("SVControl", "General", "RTL"));
        // A name already stored keeps its spelling; no second entry is added.
        QVERIFY(r.setValue("VigilStat", "GENERAL", "rtl", "31"));
        QFile ini(r.filePath("VigilStat"));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        QVERIFY2(text.contains("RTL=31") && text.count('=') == 1, text.constData());

        IniRegistry unwritable(QStringLiteral("/proc/vigilstat-cannot-exist"));
        QVERIFY(!unwritable.setValue("VigilStat", "General", "RTL", "30"));
        QVERIFY(!unwritable.value("VigilStat", "General", "RTL"));
    }

    void textsSurviveAsTheyAre_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("comma") << "C:\\Reports, old";
        QTest::newRow("leading at") << "@Variant(nonsense)";
        QTest::newRow("quotes") << "say \"hi\"";
        QTest::newRow("non-ASCII") << "Überwachung ☃";
    }

    void textsSurviveAsTheyAre()
    {
        QFETCH(QString, text);
        ScriptedRegistry r;
        QVERIFY(r.setValue("VigilStat", "Folder", "ReportSaveFolder", text));
        QCOMPARE(r.value("VigilStat", "Folder", "ReportSaveFolder"), std::optional<QString>(text));
    }

    void handEditedListValueReadsAsText()
    {
        ScriptedRegistry r;
        r.seed("VigilStat", "Folder", "Placeholder", "x");
        QFile ini(r.filePath("VigilStat"));
        QVERIFY(ini.open(QIODevice::Append));
        ini.write("\n[Extra]\nReportFileName=a,b\n");
        ini.close();
        QCOMPARE(r.value("VigilStat", "Extra", "ReportFileName"), std::optional<QString>("a,b"));
    }

    void seesWhatAnotherWriterStored()
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

    void codePageRoundTrip()
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
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
