#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString SystemProgramFolder::path() const
{
    const QString fromEnv = qEnvironmentVariable("VIGILSTAT_HOME");
    if (!fromEnv.isEmpty()) {
        QDir().mkpath(fromEnv);
        return QDir(fromEnv).absolutePath();
    }
    const QString exeDir = QCoreApplication::applicationDirPath();
    if (!exeDir.isEmpty() && !isSystemFolder(exeDir) && QFileInfo(exeDir).isWritable())
        return exeDir;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/vigilstat");
    QDir().mkpath(data);
    return data;
}

bool SystemProgramFolder::isSystemFolder(const QString& folder)
{
    const QString clean = QDir::cleanPath(folder) + QLatin1Char('/');
    for (const char* root : {"/usr/", "/opt/", "/bin/", "/sbin/"}) {
        if (clean.startsWith(QLatin1String(root)))
            return true;
    }
    return false;
}
