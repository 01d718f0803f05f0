#include "ScriptedAdapters.h"

#include <QTest>

class TestLocale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void generalText_data();
    void generalText();
    void everyLocaleReadsBackWhatItWrites();
    void rejectsForeignText_data();
    void rejectsForeignText();
    void shortDateHasFourDigitYear();
};

void TestLocale::generalText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("expected");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates)
                           << QStringLiteral("3/8/2026 2:05:09 PM");
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom)
                           << QStringLiteral("08/03/2026 14:05:09");
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany)
                           << QStringLiteral("08.03.2026 14:05:09");
    QTest::newRow("ja_JP letters as literals")
        << QLocale(QLocale::Japanese, QLocale::Japan) << QStringLiteral("2026/03/08 14時05分09秒");
    QTest::newRow("ee_GH upper-case day period")
        << QLocale(QStringLiteral("ee_GH")) << QStringLiteral("3/8/2026 ƔETRƆ ga 2:05:09");
}

void TestLocale::generalText()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, expected);
    const LocaleFormats formats(locale);
    const QDateTime t = wallClock(QDate(2026, 3, 8), QTime(14, 5, 9));
    QCOMPARE(formats.generalDateTimeText(t), expected);
    QCOMPARE(formats.parseGeneralDateTime(expected), t);
}

void TestLocale::everyLocaleReadsBackWhatItWrites()
{
    const QList<QDateTime> moments = {
        wallClock(QDate(2026, 3, 8), QTime(2, 30, 0)), // inside a US daylight-saving gap
        wallClock(QDate(2026, 11, 30), QTime(23, 0, 1)),
        wallClock(QDate(2000, 2, 29), QTime(12, 59, 59)),
        wallClock(QDate(2099, 6, 1), QTime(0, 0, 0)),
    };
    const auto locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
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

void TestLocale::rejectsForeignText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("date only") << QStringLiteral("3/8/2026");
    QTest::newRow("two-digit year") << QStringLiteral("3/8/26 2:05:09 PM");
    QTest::newRow("no seconds") << QStringLiteral("3/8/2026 2:05 PM");
    QTest::newRow("day out of range") << QStringLiteral("2/30/2026 2:05:09 PM");
    QTest::newRow("trailing junk") << QStringLiteral("3/8/2026 2:05:09 PM x");
    QTest::newRow("garbage") << QStringLiteral("not a time");
}

void TestLocale::rejectsForeignText()
{
    QFETCH(QString, text);
    const PinnedLocale locale;
    QVERIFY(!locale.parseGeneralDateTime(text).has_value());
}

void TestLocale::shortDateHasFourDigitYear()
{
    const PinnedLocale locale;
    QCOMPARE(locale.shortDateText(QDate(2026, 12, 6)), QStringLiteral("12/6/2026"));
    QCOMPARE(locale.parseShortDate(QStringLiteral("12/6/2026")), QDate(2026, 12, 6));
    QCOMPARE(locale.decimalSeparator(), QStringLiteral("."));
    QCOMPARE(LocaleFormats(QLocale(QLocale::German)).decimalSeparator(), QStringLiteral(","));
}

QTEST_GUILESS_MAIN(TestLocale)
#include "tst_locale.moc"
