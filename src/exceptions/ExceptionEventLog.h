#pragma once

#include "exceptions/EventRecord.h"

#include <QDateTime>
#include <QString>

class Settings;
struct ExceptionLogViews;

// The exception event log file ("ExceptionEventLog.evt" in the program's folder): appending,
// loading the recent records, and pruning the old ones. Every operation opens and closes the
// file itself; nothing is held open between calls.
class ExceptionEventLog
{
public:
    static constexpr int kAskAboveRecords = 5000;
    // More than 365 days.
    static constexpr qint64 kVeryOldMinutes = 525601;

    explicit ExceptionEventLog(const Settings& settings);
    ExceptionEventLog(const Settings& settings, ExceptionLogViews& views);

    // The working copies beside the log: the load's and the prune's.
    static QString loadCopyPath(const QString& logPath);
    static QString pruneCopyPath(const QString& logPath);

    // Appends one record, creating the file when absent. Returns false when it could not be
    // written.
    bool AddToLog(const QString& address, const QString& description, const QDateTime& pollTime,
                  const QString& exceptionString, const QString& alarmDetail,
                  const QString& videolossDetail);

    // Loads the records of the last LogKeepDays days: "" when there are none (or no log),
    // "TooBig" when the user declined to load more than 5000, "Something" otherwise.
    QString GetFromLog();

    // Rewrites the log without the records more than 365 days old, in two steps so that the log
    // is replaced only by a complete copy.
    bool SaveToLog();

    struct PrunedCopy
    {
        bool written = false;
        qint64 sourceBytes = 0; // how much of the log the copy was made from
        qint64 keptLines = 0;
        qint64 removedRecords = 0;
    };
    // Step one: writes the records to keep to the prune copy.
    PrunedCopy writePrunedCopy();
    // Step two: adds what was appended to the log since step one, then puts the copy in the
    // log's place in one rename (or removes the log when nothing is left).
    bool replaceLogWithPrunedCopy(const PrunedCopy& copy);

    // Writes a text file: the log banner with the present date and time, then the contents.
    static bool SetFileContents(const QString& fileName, const QString& contents);

private:
    const Settings& m_settings;
    ExceptionLogViews& m_views;
};
