#pragma once

#include <array>
#include <QDate>
#include <QObject>
#include <QString>

// The settings cache: every preference of the program, loaded once from the registry and kept
// equal to it by the setters. Setters write the registry first, then the cache.
class Settings : public QObject
{
    Q_OBJECT

public:
    // The keys of the section "Options", in the order they are stored and loaded.
    enum class Option {
        PrinterOption,
        FileSaveOption,
        PollingOption,
        AutomaticOnce,
        OperatingMode,
        RecordStatus,
        RecordDuration,
        RTimeLeft,
        RDFull,
        RDFailure,
        ArchiveStatus,
        ArchiveDuration,
        ATimeLeft,
        ADFull,
        LocalTimeDiff,
        Rebooted,
        PPCSoftware,
        DiskCapacity,
        HistoryAlarm,
        HistoryVidloss,
        Hardware,
        FirstSuccessfullPoll,
        FirstUnsuccessfullPoll,
        CurrentAlarm,
        CurrentVidloss,
        RTimeLeftNotify,
        RDFullNotify,
        RDFailureNotify,
        ATimeLeftNotify,
        ADFullNotify,
        RebootedNotify,
        AlarmNotify,
        VidlossNotify,
        UnableConnectNotify,
        CAlarmNotify,
        CVidlossNotify,
        NotRecordingNotify,
        FullDetails,
        LogMode,
        NotifyBy,
    };
    static constexpr int kOptionCount = static_cast<int>(Option::NotifyBy) + 1;

    static const QString kAppKey;
    static QString optionKey(Option option);
    static quint8 optionDefault(Option option);

    explicit Settings(QObject* parent = nullptr);

    // Reads every key; missing or unreadable values take their defaults. Writes nothing.
    void LoadSettings();

    QString encodedPassword() const { return m_encodedPassword; }
    QString reportSaveFolder() const { return m_reportSaveFolder; }
    QString reportFileName() const { return m_reportFileName; }
    qint16 rollingNumber() const { return m_rollingNumber; }
    QString ipFileName() const { return m_ipFileName; }
    QDate startDate() const { return m_startDate; }
    qint16 startTime() const { return m_startTime; }
    qint32 repeatHours() const { return m_repeatHours; }
    qint16 rtl() const { return m_rtl; }
    qint16 atl() const { return m_atl; }
    qint16 ltDiff() const { return m_ltDiff; }
    qint16 logKeepDays() const { return m_logKeepDays; }
    QString logFileName() const { return m_logFileName; }
    // How many units a poll cycle talks to at once (Options "ConcurrentUnits"); 1 keeps the
    // one-unit-per-second pace.
    int concurrentUnits() const { return m_concurrentUnits; }
    quint8 option(Option option) const { return m_options[static_cast<int>(option)]; }
    bool isOn(Option o) const { return option(o) != 0; }
    // The exception event log file in the program's folder; derived at load, not stored.
    QString exceptionLogPath() const { return m_exceptionLogPath; }

    // Each returns false when the registry could not store the value; the cache takes the new
    // value either way, so the running program behaves as the user asked.
    bool setPassword(const QString& plainPassword);
    bool setReportSaveFolder(const QString& folder);
    bool setReportFileName(const QString& fileName);
    bool setRollingNumber(qint16 number);
    bool setIPFileName(const QString& path);
    bool setStartDate(const QDate& date);
    bool setStartTime(qint16 halfHourSlot);
    bool setRepeatHours(qint32 hours);
    bool setRTL(qint16 minutes);
    bool setATL(qint16 minutes);
    bool setLTDiff(qint16 minutes);
    bool setLogKeepDays(qint16 days);
    bool setLogFileName(const QString& fileName);
    // Values outside 1 to kMaxConcurrentUnits are stored and cached as 1.
    bool setConcurrentUnits(int units);
    static constexpr int kMaxConcurrentUnits = 256;

    // Writes an "Options" value by key name. The cached flag whose name equals key exactly takes
    // the value; a key that names no flag is still written.
    bool SaveOption(const QString& key, qint16 value);
    bool SaveOption(Option option, qint16 value) { return SaveOption(optionKey(option), value); }

Q_SIGNALS:
    void optionSaved(Settings::Option option);
    void valueSaved(const QString& key);

private:
    bool write(const char* section, const QString& key, const QString& text);

    QString m_encodedPassword;
    QString m_reportSaveFolder;
    QString m_reportFileName;
    qint16 m_rollingNumber = 0;
    QString m_ipFileName;
    QDate m_startDate;
    qint16 m_startTime = 0;
    qint32 m_repeatHours = 24;
    qint16 m_rtl = 60;
    qint16 m_atl = 60;
    qint16 m_ltDiff = 15;
    qint16 m_logKeepDays = 7;
    QString m_logFileName;
    int m_concurrentUnits = 1;
    QString m_exceptionLogPath;
    std::array<quint8, kOptionCount> m_options{};
};
