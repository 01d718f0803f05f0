#include "core/ReportFileName.h"

#include "platform/Platform.h"
#include "platform/ProgramFolder.h"

#include <cstdlib>
#include <limits>
#include <QDir>

namespace {

const QString kTxt = QStringLiteral(".txt");

// At least four digits, the sign in front: 7 -> 0007, -5 -> -0005.
QString fourDigits(qint16 number)
{
    const QString digits = QStringLiteral("%1").arg(std::abs(int(number)), 4, 10, QLatin1Char('0'));
    if (number < 0)
        return QLatin1Char('-') + digits;
    return digits;
}

} // namespace

QString ReportFileName::fileName(const QString& baseName, bool rollingNumber, qint16 number)
{
    const qsizetype dot = baseName.indexOf(QLatin1Char('.'));
    if (!rollingNumber)
        return dot < 0 ? baseName + kTxt : baseName;
    if (dot < 0)
        return baseName + fourDigits(number) + kTxt;
    return baseName.left(dot) + fourDigits(number) + baseName.mid(dot);
}

QString ReportFileName::folder(const QString& reportSaveFolder)
{
    // Taken from the program's folder when relative, as the address list file is; a "\" is a
    // separator, as it was where the setting may have been written.
    QString folder = reportSaveFolder;
    folder.replace(u'\\', u'/');
    const QString programFolder = Platform::programFolder().path();
    return folder.isEmpty() ? programFolder : QDir(programFolder).filePath(folder);
}

QString ReportFileName::path(const QString& reportSaveFolder, const QString& fileName)
{
    return QDir(folder(reportSaveFolder)).filePath(fileName);
}

qint16 ReportFileName::nextRollingNumber(qint16 number)
{
    return number == std::numeric_limits<qint16>::max() ? 0 : qint16(number + 1);
}

QString ReportFileName::chooserFilter(const QString& baseName)
{
    const QString reports = QStringLiteral("Report Files (*.txt)|*.txt");
    const qsizetype dot = baseName.indexOf(QLatin1Char('.'));
    if (dot < 0 || baseName.contains(kTxt))
        return reports;
    const QString extension = baseName.mid(dot + 1);
    return reports + QStringLiteral("|Special Report Files (*.") + extension +
           QStringLiteral(")|*.") + extension;
}
