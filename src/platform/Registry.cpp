#include "platform/Registry.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <sys/stat.h>

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

// A bare stat: every value read checks the file for hand edits, and a settings load reads
// dozens of values.
std::optional<IniRegistry::FileStamp> IniRegistry::stampOf(const QByteArray& nativePath)
{
    struct stat st = {};
    if (::stat(nativePath.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp{qint64(st.st_size),
                     qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

const IniRegistry::FileSnapshot* IniRegistry::snapshot(const QString& appKey) const
{
    auto cached = m_files.find(appKey);
    const QByteArray nativePath =
        cached != m_files.end() ? cached->nativePath : QFile::encodeName(filePath(appKey));
    const std::optional<FileStamp> stamp = stampOf(nativePath);
    if (!stamp) {
        m_files.remove(appKey);
        return nullptr;
    }
    if (cached != m_files.end() && cached->stamp == *stamp)
        return &*cached;

    FileSnapshot fresh;
    fresh.nativePath = nativePath;
    fresh.stamp = *stamp;
    QSettings ini(QFile::decodeName(nativePath), QSettings::IniFormat);
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
    return &*m_files.insert(appKey, std::move(fresh));
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
