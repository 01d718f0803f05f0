#pragma once

#include <QString>

// Where the report file of a cycle goes, from the settings "ReportSaveFolder", "ReportFileName"
// and "RollingNumber".
class ReportFileName
{
public:
    // The base name as it is (".txt" added when it has no "."), or with the rolling number in
    // four digits before its first ".": "report.txt" and 7 give "report0007.txt".
    static QString fileName(const QString& baseName, bool rollingNumber, qint16 number);
    // The folder the setting names; an empty or relative one is taken from the program's folder.
    static QString folder(const QString& reportSaveFolder);
    // The folder and the name joined by one separator.
    static QString path(const QString& reportSaveFolder, const QString& fileName);
    // The number after a numbered save; 32767 is followed by 0.
    static qint16 nextRollingNumber(qint16 number);
    // The file type filter of the report chooser: report files, and the base name's own
    // extension when it is not "txt".
    static QString chooserFilter(const QString& baseName);
};
