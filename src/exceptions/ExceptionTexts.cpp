#include "exceptions/ExceptionTexts.h"

#include <array>

namespace {

using Option = Settings::Option;

struct CodeInfo
{
    std::optional<Option> filter;
    std::optional<Option> notify;
    const char* longText;
    const char* shortText; // nullptr: the same as the long text
};

// Texts that carry a threshold hold the part before it.
const std::array<CodeInfo, ExceptionTexts::kLastCode + 1> kCodes = {{
    {{}, {}, "", ""},
    {Option::RecordStatus, Option::NotRecordingNotify, "The unit has not been recording.",
     "Not Recording"},
    {Option::RecordDuration,
     {},
     "The unit has not been recording all the time since the last poll.",
     "The unit not recording all the time"},
    {Option::RTimeLeft, Option::RTimeLeftNotify, "Record Time left is less than ",
     "Record Time left < "},
    {Option::ArchiveStatus, {}, "Archive Status has changed.", "Archive Status changed"},
    {Option::ArchiveDuration,
     {},
     "The unit has not been archiving all the time since the last poll.",
     "The unit not archiving all the time"},
    {Option::ATimeLeft, Option::ATimeLeftNotify, "Archive Time left is less than ",
     "Archive Time left < "},
    {Option::LocalTimeDiff,
     {},
     "The local time difference between PC and unit is more than ",
     "The local time diff. between PC and unit: > "},
    {Option::Rebooted, Option::RebootedNotify, "The unit has rebooted since the last poll.",
     "The unit rebooted"},
    {Option::PPCSoftware, {}, "Software Version has been changed.", "Software Version changed"},
    {Option::DiskCapacity, {}, "Disk Capacity has changed.", "Disk Capacity changed"},
    {Option::HistoryAlarm, Option::AlarmNotify, "Alarm Since Last Polling: ", nullptr},
    {Option::HistoryVidloss, Option::VidlossNotify, "Videoloss Since Last Polling: ", nullptr},
    {Option::Hardware, {}, "Hardware Configuration has changed.", "Hardware Configuration changed"},
    {Option::FirstSuccessfullPoll,
     {},
     "A successful connection has been made with the unit for the first time.",
     "First successful connection"},
    {Option::FirstUnsuccessfullPoll, Option::UnableConnectNotify,
     "Unable to connect with the unit.", "Unable to connect"},
    {Option::RDFailure, Option::RDFailureNotify, "Recording-A Disk Failure has been detected.",
     "Recording-Disk Failure"},
    {Option::RDFull, Option::RDFullNotify, "Recording-Disk is Full", "Recording-Disk Full"},
    {Option::ADFull, Option::ADFullNotify, "Archiving-Device is Full", "Archiving-Device Full"},
    {Option::CurrentAlarm, Option::CAlarmNotify, "Alarm Status: ", nullptr},
    {Option::CurrentVidloss, Option::CVidlossNotify, "Videoloss Status: ", nullptr},
}};

bool known(int code)
{
    return code >= ExceptionTexts::kFirstCode && code <= ExceptionTexts::kLastCode;
}

// The threshold a text carries, or nothing.
std::optional<qint16> thresholdOf(int code, const Settings& settings)
{
    switch (code) {
    case ExceptionCode::RecordTimeLeft:
        return settings.rtl();
    case ExceptionCode::ArchiveTimeLeft:
        return settings.atl();
    case ExceptionCode::LocalTimeDifference:
        return settings.ltDiff();
    default:
        return std::nullopt;
    }
}

// A threshold goes between the text's head and " minutes" (with a full stop in the long text).
QString withThreshold(const char* head, std::optional<qint16> threshold, bool longForm)
{
    QString text = QString::fromLatin1(head);
    if (threshold)
        text += QString::number(*threshold) + QStringLiteral(" minutes") +
                (longForm ? QStringLiteral(".") : QString());
    return text;
}

} // namespace

namespace ExceptionTexts {

std::optional<Settings::Option> filterOption(int code)
{
    return known(code) ? kCodes[code].filter : std::nullopt;
}

std::optional<Settings::Option> notifyOption(int code)
{
    return known(code) ? kCodes[code].notify : std::nullopt;
}

QString longText(int code, const Settings& settings)
{
    if (!known(code))
        return {};
    return withThreshold(kCodes[code].longText, thresholdOf(code, settings), true);
}

QString shortText(int code, const Settings& settings)
{
    if (!known(code))
        return {};
    const CodeInfo& info = kCodes[code];
    return withThreshold(info.shortText ? info.shortText : info.longText,
                         thresholdOf(code, settings), false);
}

QString channelList(qint32 mask)
{
    QString out;
    for (int n = 1; n <= 20; ++n) {
        if (mask & (qint32(1) << (n - 1))) {
            if (!out.isEmpty())
                out += u',';
            out += QString::number(n);
        }
    }
    return out;
}

} // namespace ExceptionTexts
