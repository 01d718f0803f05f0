#include "core/ReportFileName.h"

#include "platform/Platform.h"
#include "platform/ProgramFolder.h"

#include <cstdlib>
#include <limits>

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

bool endsWithSeparator(const QString& folder)
{
#ifdef Q_OS_WIN
    if (folder.endsWith(QLatin1Char('\\')))
        return true;
#endif
    return folder.endsWith(QLatin1Char('/'));
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
    return reportSaveFolder.isEmpty() ? Platform::programFolder().path() : reportSaveFolder;
}

QString ReportFileName::path(const QString& reportSaveFolder, const QString& fileName)
{
    const QString base = folder(reportSaveFolder);
    if (endsWithSeparator(base))
        return base + fileName;
    return base + QLatin1Char('/') + fileName;
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
