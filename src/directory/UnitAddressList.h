#pragma once

#include <QString>
#include <QStringList>

// One unit of the address list, its seven fields in file order.
struct UnitRecord
{
    QString DataStr;
    QString Descript;
    QString Password;
    QString TimeZone;
    QString DST;
    QString Status;
    QString Syn;

    bool operator==(const UnitRecord&) const = default;
};

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
    bool isFull() const { return count() >= kMaxUnits; }
    void clear()
    {
        for (QStringList* l : {&DataStr, &Descript, &Password, &TimeZone, &DST, &Status, &Syn})
            l->clear();
    }

    UnitRecord record(int i) const
    {
        return {DataStr.at(i), Descript.at(i), Password.at(i), TimeZone.at(i),
                DST.at(i),     Status.at(i),   Syn.at(i)};
    }
    void append(const UnitRecord& r)
    {
        DataStr.append(r.DataStr);
        Descript.append(r.Descript);
        Password.append(r.Password);
        TimeZone.append(r.TimeZone);
        DST.append(r.DST);
        Status.append(r.Status);
        Syn.append(r.Syn);
    }
    void replace(int i, const UnitRecord& r)
    {
        DataStr[i] = r.DataStr;
        Descript[i] = r.Descript;
        Password[i] = r.Password;
        TimeZone[i] = r.TimeZone;
        DST[i] = r.DST;
        Status[i] = r.Status;
        Syn[i] = r.Syn;
    }
    void removeAt(int i)
    {
        for (QStringList* l : {&DataStr, &Descript, &Password, &TimeZone, &DST, &Status, &Syn})
            l->removeAt(i);
    }
    bool operator==(const UnitAddressList&) const = default;
};
