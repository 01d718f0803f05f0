#include "settings/Settings.h"

#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "platform/Registry.h"
#include "settings/AppPassword.h"

#include <limits>
#include <QDir>

namespace {

constexpr const char* kOptionKeys[] = {
    "PrinterOption",
    "FileSaveOption",
    "PollingOption",
    "AutomaticOnce",
    "OperatingMode",
    "RecordStatus",
    "RecordDuration",
    "RTimeLeft",
    "RDFull",
    "RDFailure",
    "ArchiveStatus",
    "ArchiveDuration",
    "ATimeLeft",
    "ADFull",
    "LocalTimeDiff",
    "Rebooted",
    "PPCSoftware",
    "DiskCapacity",
    "HistoryAlarm",
    "HistoryVidloss",
    "Hardware",
    "FirstSuccessfullPoll",
    "FirstUnsuccessfullPoll",
    "CurrentAlarm",
    "CurrentVidloss",
    "RTimeLeftNotify",
    "RDFullNotify",
    "RDFailureNotify",
    "ATimeLeftNotify",
    "ADFullNotify",
    "RebootedNotify",
    "AlarmNotify",
    "VidlossNotify",
    "UnableConnectNotify",
    "CAlarmNotify",
    "CVidlossNotify",
    "NotRecordingNotify",
    "FullDetails",
    "LogMode",
    "NotifyBy",
};
static_assert(std::size(kOptionKeys) == Settings::kOptionCount);

constexpr auto kSecurity = "Security";
constexpr auto kFolder = "Folder";
constexpr auto kOptions = "Options";
constexpr auto kGeneral = "General";
constexpr auto kConcurrentUnits = "ConcurrentUnits";

std::optional<QString> stored(const char* section, const char* key)
{
    return Platform::registry().value(Settings::kAppKey, QString::fromLatin1(section),
                                      QString::fromLatin1(key));
}

QString readText(const char* section, const char* key, const QString& fallback)
{
    return stored(section, key).value_or(fallback);
}

// A whole decimal number within [lo, hi]; anything else reads as the default.
qint64 readNumber(const char* section, const char* key, qint64 fallback, qint64 lo, qint64 hi)
{
    const auto text = stored(section, key);
    if (!text)
        return fallback;
    bool ok = false;
    const qint64 n = text->trimmed().toLongLong(&ok);
    return ok && n >= lo && n <= hi ? n : fallback;
}

qint16 readInt16(const char* section, const char* key, qint16 fallback)
{
    return static_cast<qint16>(readNumber(section, key, fallback,
                                          std::numeric_limits<qint16>::min(),
                                          std::numeric_limits<qint16>::max()));
}

} // namespace

const QString Settings::kAppKey = QStringLiteral("VigilStat");

QString Settings::optionKey(Option option)
{
    return QString::fromLatin1(kOptionKeys[static_cast<int>(option)]);
}

quint8 Settings::optionDefault(Option option)
{
    switch (option) {
    case Option::PrinterOption:
    case Option::FileSaveOption:
    case Option::PollingOption:
    case Option::AutomaticOnce:
    case Option::OperatingMode:
    case Option::FullDetails:
    case Option::LogMode:
        return 0;
    case Option::NotifyBy:
        return 2;
    default:
        return 1; // every exception filter and notify switch
    }
}

Settings::Settings(QObject* parent) : QObject(parent)
{
    for (int i = 0; i < kOptionCount; ++i)
        m_options[i] = optionDefault(static_cast<Option>(i));
}

void Settings::LoadSettings()
{
    const auto loadOption = [this](int i) {
        const auto option = static_cast<Option>(i);
        m_options[i] = static_cast<quint8>(
            readNumber(kOptions, kOptionKeys[i], optionDefault(option), 0, 255));
    };

    m_encodedPassword =
        readText(kSecurity, "EncodedPassword", QString::fromUtf16(kFactoryEncodedPassword));
    m_reportSaveFolder = readText(kFolder, "ReportSaveFolder", Platform::programFolder().path());
    m_reportFileName = readText(kFolder, "ReportFileName", QStringLiteral("report.txt"));
    for (int i = 0; i <= static_cast<int>(Option::OperatingMode); ++i)
        loadOption(i);
    m_rollingNumber = readInt16(kFolder, "RollingNumber", 0);
    m_ipFileName = readText(kFolder, "IPFileName", QStringLiteral("IPAddressList.ipl"));

    m_startDate = Platform::clock().localNow().date();
    if (const auto text = stored(kGeneral, "StartDate")) {
        if (const auto date = Platform::locale().parseShortDate(text->trimmed()))
            m_startDate = *date;
    }
    m_startTime = readInt16(kGeneral, "StartTime", 0);
    m_repeatHours = static_cast<qint32>(readNumber(kGeneral, "RepeatHours", 24,
                                                   std::numeric_limits<qint32>::min(),
                                                   std::numeric_limits<qint32>::max()));
    m_exceptionLogPath =
        QDir(Platform::programFolder().path()).filePath(QStringLiteral("ExceptionEventLog.evt"));
    for (int i = static_cast<int>(Option::OperatingMode) + 1; i < kOptionCount; ++i)
        loadOption(i);
    m_rtl = readInt16(kGeneral, "RTL", 60);
    m_atl = readInt16(kGeneral, "ATL", 60);
    m_ltDiff = readInt16(kGeneral, "LTDiff", 15);
    m_logKeepDays = readInt16(kGeneral, "LogKeepDays", 7);
    m_logFileName = readText(kGeneral, "LogFileName", QStringLiteral("ExceptionLogFile.txt"));
    m_concurrentUnits = int(readNumber(kOptions, kConcurrentUnits, 1, 1, kMaxConcurrentUnits));
}

bool Settings::write(const char* section, const QString& key, const QString& text)
{
    const bool ok = Platform::registry().setValue(kAppKey, QString::fromLatin1(section), key, text);
    return ok;
}

bool Settings::setPassword(const QString& plainPassword)
{
    const QString encoded = EncodeAppPassword(plainPassword);
    const bool ok = write(kSecurity, QStringLiteral("EncodedPassword"), encoded);
    m_encodedPassword = encoded;
    Q_EMIT valueSaved(QStringLiteral("EncodedPassword"));
    return ok;
}

#define VIGILSTAT_SETTER(Name, Type, Section, Key, Member, ToText)                                 \
    bool Settings::Name(Type value)                                                                \
    {                                                                                              \
        const bool ok = write(Section, QStringLiteral(Key), ToText);                               \
        Member = value;                                                                            \
        Q_EMIT valueSaved(QStringLiteral(Key));                                                    \
        return ok;                                                                                 \
    }

VIGILSTAT_SETTER(setReportSaveFolder, const QString&, kFolder, "ReportSaveFolder",
                 m_reportSaveFolder, value)
VIGILSTAT_SETTER(setReportFileName, const QString&, kFolder, "ReportFileName", m_reportFileName,
                 value)
VIGILSTAT_SETTER(setRollingNumber, qint16, kFolder, "RollingNumber", m_rollingNumber,
                 QString::number(value))
VIGILSTAT_SETTER(setIPFileName, const QString&, kFolder, "IPFileName", m_ipFileName, value)
VIGILSTAT_SETTER(setStartDate, const QDate&, kGeneral, "StartDate", m_startDate,
                 Platform::locale().shortDateText(value))
VIGILSTAT_SETTER(setStartTime, qint16, kGeneral, "StartTime", m_startTime, QString::number(value))
VIGILSTAT_SETTER(setRepeatHours, qint32, kGeneral, "RepeatHours", m_repeatHours,
                 QString::number(value))
VIGILSTAT_SETTER(setRTL, qint16, kGeneral, "RTL", m_rtl, QString::number(value))
VIGILSTAT_SETTER(setATL, qint16, kGeneral, "ATL", m_atl, QString::number(value))
VIGILSTAT_SETTER(setLTDiff, qint16, kGeneral, "LTDiff", m_ltDiff, QString::number(value))
VIGILSTAT_SETTER(setLogKeepDays, qint16, kGeneral, "LogKeepDays", m_logKeepDays,
                 QString::number(value))
VIGILSTAT_SETTER(setLogFileName, const QString&, kGeneral, "LogFileName", m_logFileName, value)

#undef VIGILSTAT_SETTER

bool Settings::setConcurrentUnits(int units)
{
    const int value = units >= 1 && units <= kMaxConcurrentUnits ? units : 1;
    const bool ok = write(kOptions, QString::fromLatin1(kConcurrentUnits), QString::number(value));
    m_concurrentUnits = value;
    Q_EMIT valueSaved(QString::fromLatin1(kConcurrentUnits));
    return ok;
}

bool Settings::SaveOption(const QString& key, qint16 value)
{
    const bool ok = write(kOptions, key, QString::number(value));
    for (int i = 0; i < kOptionCount; ++i) {
        if (key == QLatin1String(kOptionKeys[i])) {
            // Flags hold 0..255; a value outside that range cannot be a flag's.
            m_options[i] = static_cast<quint8>(qBound<qint16>(qint16(0), value, qint16(255)));
            Q_EMIT optionSaved(static_cast<Option>(i));
            break;
        }
    }
    return ok;
}
