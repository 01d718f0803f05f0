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
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable())
        return exeDir;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/vigilstat");
    QDir().mkpath(data);
    return data;
}
