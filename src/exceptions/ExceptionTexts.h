#pragma once

#include "settings/Settings.h"

#include <optional>
#include <QString>

// The exception kinds. Each number is also a bit of the detection mask: code n is bit n - 1.
namespace ExceptionCode {
enum Code : int {
    NotRecording = 1,
    RecordDuration = 2,
    RecordTimeLeft = 3,
    ArchiveStatusChanged = 4,
    ArchiveDuration = 5,
    ArchiveTimeLeft = 6,
    LocalTimeDifference = 7,
    UnitRebooted = 8,
    SoftwareChanged = 9,
    DiskCapacityChanged = 10,
    AlarmSinceLastPoll = 11,
    VidlossSinceLastPoll = 12,
    HardwareChanged = 13,
    FirstSuccessfulConnection = 14,
    UnableToConnect = 15,
    RecordDiskFailure = 16,
    RecordDiskFull = 17,
    ArchiveDeviceFull = 18,
    CurrentAlarm = 19,
    CurrentVidloss = 20,
};
} // namespace ExceptionCode

namespace ExceptionTexts {

constexpr int kFirstCode = 1;
constexpr int kLastCode = 20;

// The switch that lets a code be recorded, and the one that makes it notify (none for some).
std::optional<Settings::Option> filterOption(int code);
std::optional<Settings::Option> notifyOption(int code);

// The thresholds are read from the settings on every call, so a text always shows the values in
// force when it is made. A code outside 1..20 has the empty text.
QString longText(int code, const Settings& settings);
QString shortText(int code, const Settings& settings);

// The numbers n (1 to 20) of the set bits n - 1, ascending, joined by ","; "" for none.
QString channelList(qint32 mask);

} // namespace ExceptionTexts
