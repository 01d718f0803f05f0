#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

// What the last cycle learned of each unit, by position in the unit list.
struct UnitStatusSlot
{
    QString statusText;
    bool attempted = false;
    QString address;
    QString description;
    QString password;
    QString timeZone;
    QString dstZone;
    bool connected = false;
    QDateTime pollTime;
    int resultCode = 0;
};

class UnitStatusTable
{
public:
    static constexpr int kSlots = 3001;

    UnitStatusTable() : m_slots(kSlots) {}

    void clear() { m_slots.assign(kSlots, UnitStatusSlot{}); }
    UnitStatusSlot& operator[](int i) { return m_slots.at(static_cast<size_t>(i)); }
    const UnitStatusSlot& operator[](int i) const { return m_slots.at(static_cast<size_t>(i)); }

private:
    std::vector<UnitStatusSlot> m_slots;
};
