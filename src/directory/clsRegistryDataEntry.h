#pragma once

#include "directory/clsEthernet.h"

#include <array>
#include <QString>

// The companion viewer's connection list, read from its registry settings (section
// "DataComSets" of its application key). Read-only: this program only imports from it.
class clsRegistryDataEntry
{
public:
    static constexpr int kSlots = 501;

    // Loads up to 501 entries. Never reports an error: a missing or damaged list loads fewer
    // entries, stopping at the first number that cannot be read.
    void LoadSetting(const QString& appName);

    qint16 ComTotal() const { return m_comTotal; }
    qint16 ActiveIndex() const { return m_activeIndex; }
    // The entry at index, or null when index is not below ComTotal.
    const clsEthernet* EthernetData(int index) const;

private:
    QString m_appName;
    std::array<clsEthernet, kSlots> m_slots;
    qint16 m_comTotal = 0;
    qint16 m_activeIndex = 0;
};
