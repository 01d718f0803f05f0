#include "directory/clsRegistryDataEntry.h"

#include "directory/UnitPassword.h"
#include "platform/Platform.h"
#include "platform/Registry.h"

#include <limits>
#include <optional>

namespace {

const QString kSection = QStringLiteral("DataComSets");

// A stored whole number within [lo, hi]; the default when the value is missing; nothing when it
// is there but not such a number.
std::optional<int> readNumber(const QString& app, const QString& name, int fallback, int lo, int hi)
{
    const std::optional<QString> text = Platform::registry().value(app, kSection, name);
    if (!text)
        return fallback;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok);
    if (!ok || value < lo || value > hi)
        return std::nullopt;
    return value;
}

QString readText(const QString& app, const QString& name, const QString& fallback)
{
    return Platform::registry().value(app, kSection, name).value_or(fallback);
}

} // namespace

void clsRegistryDataEntry::LoadSetting(const QString& appName)
{
    m_appName = appName;
    m_comTotal = 0;
    m_activeIndex = 0;
    m_slots = {};

    constexpr int kMin16 = std::numeric_limits<qint16>::min();
    constexpr int kMax16 = std::numeric_limits<qint16>::max();
    const std::optional<int> total =
        readNumber(appName, QStringLiteral("TotalKey"), 0, kMin16, kMax16);
    if (!total)
        return;
    // The active entry matters to the viewer only; a damaged one must not cost the list.
    const int active =
        readNumber(appName, QStringLiteral("ActiveIndex"), 0, kMin16, kMax16).value_or(0);
    m_activeIndex = static_cast<qint16>(active < 0 ? 0 : active);

    const int wanted = qBound(0, *total, kSlots);
    for (int i = 0; i < wanted; ++i) {
        const QString n = QString::number(i);
        const std::optional<int> comType = readNumber(appName, n + QStringLiteral("ComType"), 0, 0,
                                                      std::numeric_limits<quint8>::max());
        if (!comType)
            break;
        clsEthernet& entry = m_slots[static_cast<size_t>(i)];
        entry.setComType(static_cast<quint8>(*comType));
        entry.setDescript(readText(appName, n + QStringLiteral("Descript"), QStringLiteral("0")));
        entry.setPassword(DecodeUnitPassword(readText(appName, n + QStringLiteral("PW"), {})));
        entry.setDataStr(readText(appName, n + QStringLiteral("DataKey"), QStringLiteral("0")));
        m_comTotal = static_cast<qint16>(i + 1);
    }
    if (m_activeIndex >= m_comTotal)
        m_activeIndex = 0;
}

const clsEthernet* clsRegistryDataEntry::EthernetData(int index) const
{
    if (index < 0 || index >= m_comTotal)
        return nullptr;
    return &m_slots[static_cast<size_t>(index)];
}
