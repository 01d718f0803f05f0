#include "platform/forms/IconFile.h"

QIcon iconFile(const QString& name)
{
    return QIcon(QStringLiteral(":/icons/") + name);
}
