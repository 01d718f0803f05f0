#pragma once

#include <QStringList>

// The unit address list as seven parallel lists in file order; index i of each list belongs to
// the same unit.
struct UnitAddressList
{
    static constexpr int kMaxUnits = 3000;

    QStringList DataStr;  // address: contains "." for an Ethernet unit, else a phone number
    QStringList Descript; // description
    QStringList Password; // unit password, plain text
    QStringList TimeZone; // time zone string
    QStringList DST;      // DST zone name
    QStringList Status;   // "1" = selected for polling
    QStringList Syn;      // "1" = selected for clock setting

    int count() const { return static_cast<int>(DataStr.size()); }
    void clear()
    {
        for (QStringList* l : {&DataStr, &Descript, &Password, &TimeZone, &DST, &Status, &Syn})
            l->clear();
    }
};
