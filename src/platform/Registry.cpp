#include "platform/Registry.h"

#include <QDir>
#include <QFileInfo>
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

const IniRegistry::FileSnapshot* IniRegistry::snapshot(const QString& appKey) const
{
    const QString path = filePath(appKey);
    const QFileInfo info(path);
    if (!info.exists()) {
        m_files.remove(appKey);
        return nullptr;
    }
    FileSnapshot& cached = m_files[appKey];
    if (cached.size == info.size() && cached.modified == info.lastModified())
        return &cached;

    FileSnapshot fresh;
    fresh.modified = info.lastModified();
    fresh.size = info.size();
    QSettings ini(path, QSettings::IniFormat);
    // Values directly under the key, outside any section, go under "".
    QHash<QString, QString>& top = fresh.sections[QString()];
    for (const QString& key : ini.childKeys())
        top.insert(key.toLower(), variantText(ini.value(key)));
    for (const QString& group : ini.childGroups()) {
        ini.beginGroup(group);
        QHash<QString, QString>& values = fresh.sections[group.toLower()];
        for (const QString& key : ini.childKeys())
            values.insert(key.toLower(), variantText(ini.value(key)));
        ini.endGroup();
    }
    cached = std::move(fresh);
    return &cached;
}

std::optional<QString> IniRegistry::value(const QString& appKey, const QString& section,
                                          const QString& name) const
{
    const FileSnapshot* file = snapshot(appKey);
    if (!file)
        return std::nullopt;
    const auto group = file->sections.constFind(section.toLower());
    if (group == file->sections.cend())
        return std::nullopt;
    const auto value = group->constFind(name.toLower());
    if (value == group->cend())
        return std::nullopt;
    return *value;
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
    m_files.remove(appKey);
    return ini.status() == QSettings::NoError;
}
