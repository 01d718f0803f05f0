#include "platform/Registry.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString matchName(const QStringList& names, const QString& wanted)
{
    for (const QString& n : names) {
        if (n.compare(wanted, Qt::CaseInsensitive) == 0)
            return n;
    }
    return {};
}

// A hand-edited value with commas reads back from QSettings as a list; keep it as text.
QString variantText(const QVariant& v)
{
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(u',');
    return v.toString();
}

} // namespace

IniRegistry::IniRegistry(QString rootFolder) : m_root(std::move(rootFolder)) {}

QString IniRegistry::defaultRoot()
{
    const QString fromEnv = qEnvironmentVariable("VIGILSTAT_REGISTRY_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vigilstat/registry");
}

QString IniRegistry::filePath(const QString& appKey) const
{
    return QDir(m_root).filePath(appKey + QStringLiteral(".ini"));
}

std::optional<QString> IniRegistry::value(const QString& appKey, const QString& section,
                                          const QString& name) const
{
    const QString path = filePath(appKey);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    QSettings ini(path, QSettings::IniFormat);
    const QString group = matchName(ini.childGroups(), section);
    if (group.isEmpty())
        return std::nullopt;
    ini.beginGroup(group);
    const QString key = matchName(ini.childKeys(), name);
    if (key.isEmpty())
        return std::nullopt;
    return variantText(ini.value(key));
}

bool IniRegistry::setValue(const QString& appKey, const QString& section, const QString& name,
                           const QString& text)
{
    if (!QDir().mkpath(m_root))
        return false;
    QSettings ini(filePath(appKey), QSettings::IniFormat);
    QString group = matchName(ini.childGroups(), section);
    ini.beginGroup(group.isEmpty() ? section : group);
    // Keep the spelling of a name that is already stored, as the registry does.
    const QString key = matchName(ini.childKeys(), name);
    ini.setValue(key.isEmpty() ? name : key, text);
    ini.endGroup();
    ini.sync();
    return ini.status() == QSettings::NoError;
}
