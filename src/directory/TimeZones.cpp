#include "directory/TimeZones.h"

#include "platform/Clock.h"
#include "platform/Platform.h"

#include <cstdlib>
#include <QHash>

namespace {

PcZoneAtStartup g_startup;
bool g_noDstState = false;

QString zoneText(int minutesEast)
{
    if (minutesEast == 0)
        return QStringLiteral("GMT");
    const int a = std::abs(minutesEast);
    return QStringLiteral("GMT") + (minutesEast > 0 ? u'+' : u'-') +
           QStringLiteral("%1:%2").arg(a / 60, 2, 10, QChar(u'0')).arg(a % 60, 2, 10, QChar(u'0'));
}

QDateTime at(const QDate& date, int hour)
{
    return wallClock(date, QTime(0, 0)).addSecs(3600LL * hour);
}

bool observesDst(const QString& state)
{
    return !(state == u"IN" || state == u"HI" || state == u"AZ");
}

} // namespace

const QStringList& TimeZoneList()
{
    static const QStringList zones = [] {
        QStringList list;
        for (int h = -12; h <= 13; ++h)
            list.append(zoneText(h * 60));
        // The half- and three-quarter-hour zones, at the places the editor shows them.
        list.insert(list.indexOf(QStringLiteral("GMT-03:00")), QStringLiteral("GMT-03:30"));
        for (const int m : {210, 270, 330, 345, 390, 570}) {
            const QString zone = zoneText(m);
            const QString next = zoneText((m / 60 + 1) * 60);
            list.insert(list.indexOf(next), zone);
        }
        return list;
    }();
    return zones;
}

QString PcTimeZoneString()
{
    return zoneText(-Platform::clock().standardBiasMinutes());
}

int DefaultDstCode(const QString& zone)
{
    static const QHash<QString, int> codes = {
        {QStringLiteral("GMT-05:00"), 1}, {QStringLiteral("GMT-06:00"), 1},
        {QStringLiteral("GMT-07:00"), 1}, {QStringLiteral("GMT-08:00"), 1},
        {QStringLiteral("GMT-09:00"), 1}, {QStringLiteral("GMT"), 2},
        {QStringLiteral("GMT+01:00"), 2}, {QStringLiteral("GMT+02:00"), 2},
        {QStringLiteral("GMT+03:00"), 2}, {QStringLiteral("GMT+09:30"), 3},
        {QStringLiteral("GMT+10:00"), 3}};
    return codes.value(zone, 0);
}

QString DstNameFromCode(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("OFF");
    case 1:
        return QStringLiteral("USA");
    case 2:
        return QStringLiteral("EUR");
    case 3:
        return QStringLiteral("AUS");
    default:
        return {};
    }
}

int DstCodeFromName(const QString& name)
{
    for (int code = 1; code <= 3; ++code) {
        if (name == DstNameFromCode(code))
            return code;
    }
    return 0;
}

qint32 TimeZoneMinutes(const QString& zone)
{
    if (zone == u"GMT")
        return 0;
    const QString head = zone.left(4);
    if (head != u"GMT+" && head != u"GMT-")
        return 0;
    bool hoursOk = false;
    bool minutesOk = false;
    const int hours = zone.mid(4, 2).toInt(&hoursOk);
    const int minutes = zone.right(2).toInt(&minutesOk);
    if (!hoursOk || !minutesOk)
        return 0;
    const qint32 total = hours * 60 + minutes;
    return head == u"GMT+" ? total : -total;
}

QDate NthSundayDate(int mode, int month, int day)
{
    const int year = Platform::clock().localNow().date().year();
    // Days past the end of a month roll over into the next one, as date arithmetic does.
    const QDate base = QDate(year, month, 1).addDays(day - 1);
    const int sundayOffset = 7 - base.dayOfWeek(); // dayOfWeek: Monday 1 .. Sunday 7
    switch (mode) {
    case 0:
        return base.addDays(sundayOffset % 7);
    case 1:
        return base.addDays(-(base.dayOfWeek() % 7));
    case 2:
        return base.addDays(7 + sundayOffset % 7);
    default:
        return {};
    }
}

QDateTime GmtNow()
{
    return wallClockOf(Platform::clock().utcNow());
}

bool IsDstInEffect(qint32 offsetMinutes, int dstCode)
{
    const QDateTime t = GmtNow().addSecs(60LL * offsetMinutes);
    switch (dstCode) {
    case 1: {
        const QDateTime start = at(NthSundayDate(2, 3, 1), 2);
        const QDateTime end = at(NthSundayDate(0, 11, 1), 2);
        return start <= t && t < end;
    }
    case 2: {
        // Europe switches at 01:00 GMT. For GMT to GMT+02:00 that is offset / 60 + 1 o'clock;
        // GMT+03:00 switches at 02:00 local. Other offsets (only hand-edited lists pair them
        // with EUR) take 01:00 GMT expressed in their own standard time.
        const qint64 switchMinutes = offsetMinutes == 180 ? 120 : 60 + offsetMinutes;
        const QDateTime start = at(NthSundayDate(1, 3, 31), 0).addSecs(60 * switchMinutes);
        const QDateTime end = at(NthSundayDate(1, 10, 31), 0).addSecs(60 * switchMinutes);
        return start <= t && t < end;
    }
    case 3: {
        const QDateTime start = at(NthSundayDate(1, 10, 31), 0);
        const QDateTime end = at(NthSundayDate(1, 3, 31), 0);
        return t >= start || t < end;
    }
    default:
        return false;
    }
}

QDateTime UnitLocalTime(qint32 offsetMinutes, int dstCode)
{
    const QDateTime standard = GmtNow().addSecs(60LL * offsetMinutes);
    if (dstCode == 0)
        return standard;
    if (dstCode != PcStartupZone().dstCode || Platform::clock().inDaylightTime())
        return IsDstInEffect(offsetMinutes, dstCode) ? standard.addSecs(3600) : standard;
    return standard;
}

QString StateTimeZone(const QString& state)
{
    static const QHash<QString, QString> zones = [] {
        QHash<QString, QString> h;
        const auto add = [&h](const char* zone, std::initializer_list<const char*> states) {
            for (const char* s : states)
                h.insert(QString::fromLatin1(s), QString::fromLatin1(zone));
        };
        add("GMT-10:00", {"HI"});
        add("GMT-09:00", {"AK"});
        add("GMT-08:00", {"OR", "WA", "CA", "NV"});
        add("GMT-07:00", {"ID", "MT", "WY", "UT", "CO", "AZ", "NM"});
        add("GMT-06:00", {"MN", "ND", "WI", "SD", "NE", "IA", "IL", "KS", "MO", "TN", "OK", "AR",
                          "MS", "AL", "TX", "LA"});
        add("GMT-05:00", {"GA", "FL", "SC", "NC", "KY", "IN", "MI", "OH", "PA", "WV", "VA",
                          "DC", "MD", "DE", "NJ", "NY", "CT", "RI", "MA", "NH", "VT", "ME"});
        return h;
    }();
    g_noDstState = !observesDst(state);
    return zones.value(state, PcStartupZone().zone);
}

bool NoDstState()
{
    return g_noDstState;
}

void TakePcTimeZone()
{
    g_startup.zone = PcTimeZoneString();
    g_startup.inDaylightTime = Platform::clock().inDaylightTime();
    g_startup.dstCode = DefaultDstCode(g_startup.zone);
}

const PcZoneAtStartup& PcStartupZone()
{
    return g_startup;
}
