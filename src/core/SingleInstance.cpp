#include "core/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& lockPath) : m_path(lockPath) {}

QString SingleInstance::defaultLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                 QStringLiteral("/vigilstat");
    return QDir(folder).filePath(QStringLiteral("VigilStat.lock"));
}

bool SingleInstance::tryAcquire()
{
    if (m_lock && m_lock->isLocked())
        return true;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    m_lock = std::make_unique<QLockFile>(m_path);
    // Never stale by age: an instance may run for months. A dead owner's lock is still
    // recognised by its process id and removed.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    if (m_lock->error() == QLockFile::LockFailedError) {
        m_lock.reset();
        return false;
    }
    // The folder is unusable (permissions, read-only); better to run than to refuse forever.
    m_lock.reset();
    return true;
}

void SingleInstance::release()
{
    m_lock.reset();
}
