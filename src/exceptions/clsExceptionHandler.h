#pragma once

#include "exceptions/EventRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class Settings;
struct DetectionFields;
struct PreviousStatus;
class DetectionMemory;

// Exception detection and the exception event log. The object holds nothing but the settings it
// reads; what is remembered between polls (previous status and connection outcome per unit, the
// notify flag, the details, the loaded log and its lists) is kept once for the whole process, so
// every handler the poll engine creates sees the same history. Filter switches and thresholds are
// read from the settings at the moment they are needed.
class clsExceptionHandler
{
public:
    explicit clsExceptionHandler(const Settings& settings);

    // The exception codes of one status block, ascending and comma-separated ("" for none).
    // Updates the unit's previous status, the notify flag and the alarm and videoloss details.
    // A block of an unknown kind, or too short for its kind, gives "" and changes no table.
    QString CreatExceptionString(const QByteArray& statusBlock, const QString& unitKey,
                                 qint32 unitZoneMinutes, int unitDstCode);
    // After each connection attempt of a status poll: "15" for a failed attempt, "14" for the
    // first success after failures, "" otherwise (each only while its filter is on).
    QString GetConnectionChangeString(const QString& unitKey, bool connected);

    QString ExceptionLongText(qint16 code) const;
    QString ExceptionShortText(qint16 code) const;
    static QString ChannelList(qint32 mask);
    // The unit clock (seconds since 01/01/1960) in the general date-time text.
    static QString UnitClockText(double seconds);

    // The process-wide detection state the poll engine reads.
    static bool notifyFlag();
    static void clearNotifyFlag();
    static QString alarmDetail();
    static QString videolossDetail();
    // After a unit's clock was set: its next status poll applies only the rules that need no
    // earlier value. Does nothing for a unit never polled.
    static void SetResetMark(const QString& unitKey);

    // The event log.
    bool AddToLog(const QString& address, const QString& description, const QDateTime& pollTime,
                  const QString& exceptionString, const QString& alarmDetail,
                  const QString& videolossDetail);
    QString GetFromLog();
    void GetListLogF();
    void GetListLogF1();
    void GetListLog();
    QString GetReport(bool full);
    bool SaveToLog();
    static bool SetFileContents(const QString& fileName, const QString& contents);

    static const QList<EventRecord>& loadedRecords();
    static const QList<EventListEntry>& fullList();
    static const QList<EventListEntry>& latestList();
    static bool fullListBuilt();
    static bool latestListBuilt();
    // The viewer clears both when it opens, so each opening rebuilds the lists.
    static void clearListFlags();
    static bool veryOldFlag();

private:
    bool filterOn(int code) const;
    void raise(int code, quint32& mask, DetectionMemory& memory) const;
    void applyRecordRules(const DetectionFields& now, quint32& mask, DetectionMemory& memory) const;
    void applyComparisonRules(const DetectionFields& now, const PreviousStatus& before,
                              qint32 unitZoneMinutes, int unitDstCode, quint32& mask,
                              DetectionMemory& memory) const;
    void applyAlarmRules(const DetectionFields& now, quint32& mask, DetectionMemory& memory) const;

    const Settings& m_settings;
};
