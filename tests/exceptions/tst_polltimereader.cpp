#include "exceptions/PollTimeReader.h"
#include "platform/Clock.h"
#include "platform/Locale.h"

#include <QRandomGenerator>
#include <QTest>

// The reader must give exactly what the locale's own parser gives, whichever way it reads.
class TestPollTimeReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsAsTheLocaleDoes_data();
    void readsAsTheLocaleDoes();
};

void TestPollTimeReader::readsAsTheLocaleDoes_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom);
    QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("ko_KR: blanks inside the date") << QLocale(QLocale::Korean, QLocale::SouthKorea);
    QTest::newRow("ar_EG: digits that do not read back")
        << QLocale(QLocale::Arabic, QLocale::Egypt);
}

void TestPollTimeReader::readsAsTheLocaleDoes()
{
    QFETCH(QLocale, locale);
    const LocaleFormats formats(locale);
    QStringList texts;
    QRandomGenerator random(7);
    const QDateTime start = wallClock(QDate(2025, 12, 30), QTime(0, 0));
    for (int i = 0; i < 300; ++i)
        texts.append(formats.generalDateTimeText(start.addSecs(random.bounded(400 * 86400))));
    texts.append(formats.generalDateTimeText(wallClock(QDate(2026, 1, 1), QTime(23, 59, 59))));
    texts.append(texts.last()); // the same text twice in a row
    const QString good = texts.first();
    texts += {QString(),
              QStringLiteral(" "),
              good + u' ',
              u' ' + good,
              good.left(good.size() - 1),
              good.section(u' ', 0, 0),
              QStringLiteral("6/15/2026 25:00:00 PM"),
              QStringLiteral("2/30/2026 1:00:00 AM"),
              QStringLiteral("garbage text")};

    PollTimeReader learning(formats, PollTimeReader::kLearnAfter);
    PollTimeReader plain(formats);
    for (const QString& text : std::as_const(texts)) {
        const auto expected = formats.parseGeneralDateTime(text);
        QCOMPARE(learning.read(text), expected);
        QCOMPARE(plain.read(text), expected);
    }
}

QTEST_GUILESS_MAIN(TestPollTimeReader)
#include "tst_polltimereader.moc"
