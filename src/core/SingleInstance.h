#pragma once

#include <memory>
#include <QLockFile>
#include <QString>

// One running VigilStat per user: a lock file in the user's runtime folder (or config folder
// where there is none). A lock left behind by a crashed instance is taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& lockPath = defaultLockPath());

    static QString defaultLockPath();

    // True when this process is now the only instance.
    bool tryAcquire();
    void release();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
