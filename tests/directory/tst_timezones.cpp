#include "directory/TimeZones.h"
#include "ScriptedPlatform.h"

#include <optional>
#include <QTest>

namespace {

QDateTime utc(int y, int mo, int d, int h, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

} // namespace

class TestTimeZones : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_platform.emplace(); }
    void cleanup() { m_platform.reset(); }

    void zoneListInItsOrder();
    void timeZoneMinutes_data();
    void timeZoneMinutes();
    void pcTimeZoneString_data();
    void pcTimeZoneString();
    void dstCodesAndNames();
    void nthSundayDate_data();
    void nthSundayDate();
    void dstWindows_data();
    void dstWindows();
    void aroundNewYearAndFromAnotherZone_data();
    void aroundNewYearAndFromAnotherZone();
    void unitLocalTime_data();
    void unitLocalTime();
    void unitLocalTimeFollowsThePcAcrossItsOwnDstChange();
    void stateTimeZone_data();
    void stateTimeZone();

private:
    std::optional<ScriptedPlatform> m_platform;
};

void TestTimeZones::zoneListInItsOrder()
{
    const QStringList expected = {
        "GMT-12:00", "GMT-11:00", "GMT-10:00", "GMT-09:00", "GMT-08:00", "GMT-07:00", "GMT-06:00",
        "GMT-05:00", "GMT-04:00", "GMT-03:30", "GMT-03:00", "GMT-02:00", "GMT-01:00", "GMT",
        "GMT+01:00", "GMT+02:00", "GMT+03:00", "GMT+03:30", "GMT+04:00", "GMT+04:30", "GMT+05:00",
        "GMT+05:30", "GMT+05:45", "GMT+06:00", "GMT+06:30", "GMT+07:00", "GMT+08:00", "GMT+09:00",
        "GMT+09:30", "GMT+10:00", "GMT+11:00", "GMT+12:00", "GMT+13:00"};
    QCOMPARE(TimeZoneList(), expected);
    // Every zone reads back as the offset it names.
    for (const QString& zone : expected) {
        m_platform->clock.biasMinutes = -TimeZoneMinutes(zone);
        QCOMPARE(PcTimeZoneString(), zone);
    }
}

void TestTimeZones::timeZoneMinutes_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<int>("minutes");
    QTest::newRow("GMT") << "GMT" << 0;
    QTest::newRow("half hour west") << "GMT-03:30" << -210;
    QTest::newRow("three quarters east") << "GMT+05:45" << 345;
    QTest::newRow("far west") << "GMT-12:00" << -720;
    QTest::newRow("far east") << "GMT+13:00" << 780;
    QTest::newRow("lower case") << "gmt+01:00" << 0;
    QTest::newRow("letters for hours") << "GMT+ab:00" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("other name") << "UTC+01:00" << 0;
}

void TestTimeZones::timeZoneMinutes()
{
    QFETCH(QString, zone);
    QFETCH(int, minutes);
    QCOMPARE(TimeZoneMinutes(zone), minutes);
}

void TestTimeZones::pcTimeZoneString_data()
{
    QTest::addColumn<int>("bias");
    QTest::addColumn<QString>("zone");
    QTest::newRow("GMT never signed") << 0 << "GMT";
    QTest::newRow("US Eastern") << 300 << "GMT-05:00";
    QTest::newRow("India") << -330 << "GMT+05:30";
    QTest::newRow("Nepal") << -345 << "GMT+05:45";
    QTest::newRow("Newfoundland") << 210 << "GMT-03:30";
    QTest::newRow("Tonga") << -780 << "GMT+13:00";
}

void TestTimeZones::pcTimeZoneString()
{
    QFETCH(int, bias);
    QFETCH(QString, zone);
    m_platform->clock.biasMinutes = bias;
    m_platform->clock.daylight = true; // never part of the zone text
    QCOMPARE(PcTimeZoneString(), zone);
}

void TestTimeZones::dstCodesAndNames()
{
    QCOMPARE(DefaultDstCode(QStringLiteral("GMT-05:00")), 1);
    QCOMPARE(DefaultDstCode(QStringLiteral("GMT-09:00")), 1);
    QCOMPARE(DefaultDstCode(QStringLiteral("GMT-10:00")), 0);
    QCOMPARE(DefaultDstCode(QStringLiteral("GMT")), 2);
    QCOMPARE(DefaultDstCode(QStringLiteral("GMT+03:00")), 2);
    QCOMPARE(DefaultDstCode(QStringLiteral("GMT+03:30")), 0);
    QCOMPARE(DefaultDstCode(QStringLiteral("GMT+09:30")), 3);
    QCOMPARE(DefaultDstCode(QStringLiteral("GMT+10:00")), 3);
    QCOMPARE(DefaultDstCode(QStringLiteral("nonsense")), 0);
    const QStringList names = {"OFF", "USA", "EUR", "AUS"};
    for (int code = 0; code < 4; ++code) {
        QCOMPARE(DstNameFromCode(code), names[code]);
        QCOMPARE(DstCodeFromName(names[code]), code);
    }
    QCOMPARE(DstNameFromCode(4), QString());
    QCOMPARE(DstNameFromCode(-1), QString());
    QCOMPARE(DstCodeFromName(QStringLiteral("usa")), 0);
}

void TestTimeZones::nthSundayDate_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("2026 second Sunday of March") << 2026 << 2 << 3 << 1 << QDate(2026, 3, 8);
    QTest::newRow("2026 first Sunday of November") << 2026 << 0 << 11 << 1 << QDate(2026, 11, 1);
    QTest::newRow("2026 last Sunday of March") << 2026 << 1 << 3 << 31 << QDate(2026, 3, 29);
    QTest::newRow("2026 last Sunday of October") << 2026 << 1 << 10 << 31 << QDate(2026, 10, 25);
    QTest::newRow("2027 second Sunday of March") << 2027 << 2 << 3 << 1 << QDate(2027, 3, 14);
    QTest::newRow("2027 first Sunday of November") << 2027 << 0 << 11 << 1 << QDate(2027, 11, 7);
    QTest::newRow("2027 last Sunday of October") << 2027 << 1 << 10 << 31 << QDate(2027, 10, 31);
    QTest::newRow("2028 last Sunday of March") << 2028 << 1 << 3 << 31 << QDate(2028, 3, 26);
}

void TestTimeZones::nthSundayDate()
{
    QFETCH(int, year);
    QFETCH(int, mode);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QDate, expected);
    m_platform->clock.setLocal(wallClock(QDate(year, 6, 1), QTime(12, 0)));
    QCOMPARE(NthSundayDate(mode, month, day), expected);
}

void TestTimeZones::dstWindows_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("code");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<bool>("inDst");

    // USA for GMT-05:00: 8 March 02:00 to 1 November 02:00 local standard time (07:00 GMT).
    QTest::newRow("USA before start") << -300 << 1 << utc(2026, 3, 8, 6, 59, 59) << false;
    QTest::newRow("USA at start") << -300 << 1 << utc(2026, 3, 8, 7) << true;
    QTest::newRow("USA before end") << -300 << 1 << utc(2026, 11, 1, 6, 59, 59) << true;
    QTest::newRow("USA at end") << -300 << 1 << utc(2026, 11, 1, 7) << false;
    QTest::newRow("USA Pacific at start") << -480 << 1 << utc(2026, 3, 8, 10) << true;
    // EUR for GMT+01:00: 29 March 02:00 to 25 October 02:00 local standard time (01:00 GMT).
    QTest::newRow("EUR+1 before start") << 60 << 2 << utc(2026, 3, 29, 0, 59, 59) << false;
    QTest::newRow("EUR+1 at start") << 60 << 2 << utc(2026, 3, 29, 1) << true;
    QTest::newRow("EUR+1 before end") << 60 << 2 << utc(2026, 10, 25, 0, 59, 59) << true;
    QTest::newRow("EUR+1 at end") << 60 << 2 << utc(2026, 10, 25, 1) << false;
    QTest::newRow("EUR GMT at 01:00") << 0 << 2 << utc(2026, 3, 29, 1) << true;
    QTest::newRow("EUR GMT before 01:00") << 0 << 2 << utc(2026, 3, 29, 0, 59) << false;
    QTest::newRow("EUR+2 at 03:00 local") << 120 << 2 << utc(2026, 3, 29, 1) << true;
    QTest::newRow("EUR+3 switches at 02:00 local") << 180 << 2 << utc(2026, 3, 28, 23) << true;
    QTest::newRow("EUR+3 before 02:00 local") << 180 << 2 << utc(2026, 3, 28, 22, 59) << false;
    // A hand-edited pairing switches at 01:00 GMT too.
    QTest::newRow("EUR-5 before 01:00 GMT") << -300 << 2 << utc(2026, 3, 29, 0, 59) << false;
    QTest::newRow("EUR-5 at 01:00 GMT") << -300 << 2 << utc(2026, 3, 29, 1) << true;
    // AUS for GMT+10:00: from 25 October 00:00 to 29 March 00:00 local standard time.
    QTest::newRow("AUS January") << 600 << 3 << utc(2026, 1, 15, 12) << true;
    QTest::newRow("AUS July") << 600 << 3 << utc(2026, 7, 15, 12) << false;
    QTest::newRow("AUS before end") << 600 << 3 << utc(2026, 3, 28, 13, 59, 59) << true;
    QTest::newRow("AUS at end") << 600 << 3 << utc(2026, 3, 28, 14) << false;
    QTest::newRow("AUS before start") << 600 << 3 << utc(2026, 10, 24, 13, 59, 59) << false;
    QTest::newRow("AUS at start") << 600 << 3 << utc(2026, 10, 24, 14) << true;
    QTest::newRow("OFF in July") << 60 << 0 << utc(2026, 7, 15, 12) << false;
    QTest::newRow("unknown code") << 60 << 7 << utc(2026, 7, 15, 12) << false;
}

void TestTimeZones::dstWindows()
{
    QFETCH(int, offset);
    QFETCH(int, code);
    QFETCH(QDateTime, now);
    QFETCH(bool, inDst);
    m_platform->clock.utc = now;
    QCOMPARE(IsDstInEffect(offset, code), inDst);
}

void TestTimeZones::aroundNewYearAndFromAnotherZone_data()
{
    QTest::addColumn<int>("pcBias");
    QTest::addColumn<bool>("pcDaylight");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("inDst");

    // The PC is still in 2026 while the unit is already in 2027, and the other way round.
    QTest::newRow("PC GMT, Sydney unit in the new year")
        << 0 << false << utc(2026, 12, 31, 23, 30) << 600 << 3 << true;
    QTest::newRow("PC GMT, Chicago unit on new year's eve")
        << 0 << false << utc(2026, 12, 31, 23, 30) << -360 << 1 << false;
    QTest::newRow("PC Sydney in 2027, New York unit still in 2026")
        << -600 << true << utc(2026, 12, 31, 20) << -300 << 1 << false;
    QTest::newRow("PC Sydney in 2027, Adelaide unit")
        << -600 << true << utc(2026, 12, 31, 20) << 570 << 3 << true;
    QTest::newRow("PC Sydney in 2027, Paris unit")
        << -600 << true << utc(2026, 12, 31, 20) << 60 << 2 << false;
    QTest::newRow("PC New York in summer, Paris unit")
        << 300 << true << utc(2026, 7, 1, 16) << 60 << 2 << true;
    QTest::newRow("PC New York in summer, Sydney unit")
        << 300 << true << utc(2026, 7, 1, 16) << 600 << 3 << false;
}

void TestTimeZones::aroundNewYearAndFromAnotherZone()
{
    QFETCH(int, pcBias);
    QFETCH(bool, pcDaylight);
    QFETCH(QDateTime, now);
    QFETCH(int, offset);
    QFETCH(int, code);
    QFETCH(bool, inDst);
    m_platform->clock.biasMinutes = pcBias;
    m_platform->clock.daylight = pcDaylight;
    m_platform->clock.utc = now;
    QCOMPARE(IsDstInEffect(offset, code), inDst);
}

void TestTimeZones::unitLocalTime_data()
{
    QTest::addColumn<int>("pcBias");
    QTest::addColumn<bool>("pcDaylight");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("unitZone");
    QTest::addColumn<QString>("unitDst");
    QTest::addColumn<QDateTime>("expected");

    const QDateTime summer = utc(2026, 7, 1, 16);
    const QDateTime winter = utc(2026, 1, 15, 16);
    QTest::newRow("PC NY summer, Paris EUR") << 300 << true << summer << "GMT+01:00"
                                             << "EUR" << utc(2026, 7, 1, 18);
    QTest::newRow("PC NY summer, NY USA") << 300 << true << summer << "GMT-05:00"
                                          << "USA" << utc(2026, 7, 1, 12);
    QTest::newRow("PC NY summer, DST off") << 300 << true << summer << "GMT-05:00"
                                           << "OFF" << utc(2026, 7, 1, 11);
    QTest::newRow("PC NY summer, Sydney AUS") << 300 << true << summer << "GMT+10:00"
                                              << "AUS" << utc(2026, 7, 2, 2);
    QTest::newRow("PC NY winter, NY USA") << 300 << false << winter << "GMT-05:00"
                                          << "USA" << utc(2026, 1, 15, 11);
    QTest::newRow("PC NY winter, Sydney AUS") << 300 << false << winter << "GMT+10:00"
                                              << "AUS" << utc(2026, 1, 16, 3);
    QTest::newRow("PC NY winter, Kathmandu") << 300 << false << winter << "GMT+05:45"
                                             << "OFF" << utc(2026, 1, 15, 21, 45);
    QTest::newRow("PC GMT, Newfoundland") << 0 << false << winter << "GMT-03:30"
                                          << "OFF" << utc(2026, 1, 15, 12, 30);
}

void TestTimeZones::unitLocalTime()
{
    QFETCH(int, pcBias);
    QFETCH(bool, pcDaylight);
    QFETCH(QDateTime, now);
    QFETCH(QString, unitZone);
    QFETCH(QString, unitDst);
    QFETCH(QDateTime, expected);
    m_platform->clock.biasMinutes = pcBias;
    m_platform->clock.daylight = pcDaylight;
    m_platform->clock.utc = now;
    TakePcTimeZone();
    QCOMPARE(UnitLocalTime(TimeZoneMinutes(unitZone), DstCodeFromName(unitDst)), expected);
}

void TestTimeZones::unitLocalTimeFollowsThePcAcrossItsOwnDstChange()
{
    // Started on a winter evening in New York; months later it is summer.
    m_platform->clock.biasMinutes = 300;
    m_platform->clock.daylight = false;
    m_platform->clock.utc = utc(2026, 2, 1, 23);
    TakePcTimeZone();
    QCOMPARE(PcStartupZone().zone, QStringLiteral("GMT-05:00"));
    QCOMPARE(PcStartupZone().dstCode, 1);
    QVERIFY(!PcStartupZone().inDaylightTime);

    m_platform->clock.daylight = true;
    m_platform->clock.utc = utc(2026, 7, 1, 16);
    QCOMPARE(UnitLocalTime(-300, 1), utc(2026, 7, 1, 12));
    QCOMPARE(UnitLocalTime(60, 2), utc(2026, 7, 1, 18));
    QCOMPARE(GmtNow(), utc(2026, 7, 1, 16));
}

void TestTimeZones::stateTimeZone_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("zone");
    QTest::addColumn<bool>("noDst");
    QTest::newRow("Texas") << "TX"
                           << "GMT-06:00" << false;
    QTest::newRow("Arizona") << "AZ"
                             << "GMT-07:00" << true;
    QTest::newRow("Indiana") << "IN"
                             << "GMT-05:00" << true;
    QTest::newRow("Hawaii") << "HI"
                            << "GMT-10:00" << true;
    QTest::newRow("Alaska") << "AK"
                            << "GMT-09:00" << false;
    QTest::newRow("California") << "CA"
                                << "GMT-08:00" << false;
    QTest::newRow("lower case") << "tx"
                                << "GMT+01:00" << false;
    QTest::newRow("unlisted") << "PR"
                              << "GMT+01:00" << false;
}

void TestTimeZones::stateTimeZone()
{
    QFETCH(QString, state);
    QFETCH(QString, zone);
    QFETCH(bool, noDst);
    m_platform->clock.biasMinutes = -60;
    TakePcTimeZone();
    QCOMPARE(StateTimeZone(state), zone);
    QCOMPARE(NoDstState(), noDst);
}

QTEST_GUILESS_MAIN(TestTimeZones)
#include "tst_timezones.moc"
