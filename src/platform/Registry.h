#pragma once

#include <optional>
#include <QByteArray>
#include <QHash>
#include <QString>

// Per-user string settings under an application key and a section, as the Windows registry
// keeps them. Value and section names are compared without regard to case; the section ""
// holds the values stored directly under the application key.
class Registry
{
public:
    virtual ~Registry() = default;

    virtual std::optional<QString> value(const QString& appKey, const QString& section,
                                         const QString& name) const = 0;
    // Returns false when the value could not be stored.
    virtual bool setValue(const QString& appKey, const QString& section, const QString& name,
                          const QString& text) = 0;
};

// One INI file per application key ("VigilStat.ini", "SVControl.ini") below a root folder.
class IniRegistry : public Registry
{
public:
    explicit IniRegistry(QString rootFolder);

    // VIGILSTAT_REGISTRY_DIR, else a "registry" folder in the user's config folder.
    static QString defaultRoot();

    QString rootFolder() const { return m_root; }
    QString filePath(const QString& appKey) const;

    std::optional<QString> value(const QString& appKey, const QString& section,
                                 const QString& name) const override;
    bool setValue(const QString& appKey, const QString& section, const QString& name,
                  const QString& text) override;

protected:
    void setRootFolder(QString root)
    {
        m_root = std::move(root);
        m_files.clear();
    }

private:
    // One file's values by lower-case section and name, read again when the file changes on
    // disk, so that a list of thousands of values is not re-scanned for every lookup.
    struct FileStamp
    {
        qint64 size = -1;
        qint64 modifiedNs = 0;
        bool operator==(const FileStamp&) const = default;
    };
    struct FileSnapshot
    {
        QByteArray nativePath;
        FileStamp stamp;
        QHash<QString, QHash<QString, QString>> sections;
    };
    static std::optional<FileStamp> stampOf(const QByteArray& nativePath);
    const FileSnapshot* snapshot(const QString& appKey) const;

    QString m_root;
    mutable QHash<QString, FileSnapshot> m_files;
};
