#pragma once

#include "directory/UnitAddressList.h"

// Unit address lists for tests.
namespace UnitLists {

// Unit i of a made-up fleet: 10.0.x.y, selected for polling and clock setting.
inline UnitRecord unit(int i)
{
    return {
        QStringLiteral("10.0.%1.%2").arg(i / 256).arg(i % 256), "u", {}, "GMT", "EUR", "1", "1"};
}

inline UnitAddressList fleet(int count)
{
    UnitAddressList list;
    for (int i = 0; i < count; ++i)
        list.append(unit(i));
    return list;
}

// An Ethernet unit, a telephone unit, and one with a comma in its description.
inline UnitAddressList threeUnits()
{
    UnitAddressList u;
    u.append({"10.1.1.1", "First", "123", "GMT-05:00", "USA", "1", "1"});
    u.append({"5551234", "Second", "", "GMT", "EUR", "0", "1"});
    u.append({"10.1.1.3", "Third, with comma", "4567", "GMT+10:00", "AUS", "1", "0"});
    return u;
}

// A unit as "address|description|password|zone|DST|status|sync", to compare whole records at
// once and see what differs.
inline QString line(const UnitRecord& r)
{
    return QStringList{r.DataStr, r.Descript, r.Password, r.TimeZone, r.DST, r.Status, r.Syn}.join(
        u'|');
}

inline QStringList lines(const UnitAddressList& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << line(list.record(i));
    return out;
}

} // namespace UnitLists
