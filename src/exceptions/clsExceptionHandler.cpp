#include "exceptions/clsExceptionHandler.h"

#include "directory/TimeZones.h"
#include "exceptions/DetectionFields.h"
#include "exceptions/DetectionMemory.h"
#include "exceptions/ExceptionEventLists.h"
#include "exceptions/ExceptionEventLog.h"
#include "exceptions/ExceptionLogViews.h"
#include "exceptions/ExceptionTexts.h"
#include "exceptions/WallClockMath.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "status/StatusFormat.h"

#include <cstdlib>

using namespace ExceptionCode;

clsExceptionHandler::clsExceptionHandler(const Settings& settings) : m_settings(settings) {}

bool clsExceptionHandler::filterOn(int code) const
{
    const auto option = ExceptionTexts::filterOption(code);
    return option && m_settings.option(*option) == 1;
}

void clsExceptionHandler::raise(int code, quint32& mask, DetectionMemory& memory) const
{
    mask |= quint32(1) << (code - 1);
    const auto notify = ExceptionTexts::notifyOption(code);
    if (notify && m_settings.option(*notify) == 1)
        memory.raiseNotifyFlag();
}

QString clsExceptionHandler::CreatExceptionString(const QByteArray& statusBlock,
                                                  const QString& unitKey, qint32 unitZoneMinutes,
                                                  int unitDstCode)
{
    DetectionMemory& memory = DetectionMemory::shared();
    memory.clearDetails();
    const auto fields = DetectionFields::read(statusBlock, StatusFormat::decimalSeparator());
    if (!fields)
        return {};

    quint32 mask = 0;
    PreviousStatus* before = memory.previousStatus(unitKey);
    // A first poll, or the first after the unit's clock was set, has nothing fair to compare.
    const bool compare = before && !before->resetMark;
    applyRecordRules(*fields, mask, memory);
    if (compare)
        applyComparisonRules(*fields, *before, unitZoneMinutes, unitDstCode, mask, memory);
    applyAlarmRules(*fields, mask, memory);
    if (compare && fields->hardware && filterOn(HardwareChanged) &&
        *fields->hardware != before->hardware)
        raise(HardwareChanged, mask, memory);

    if (before) {
        before->resetMark = false;
        before->update(*fields);
    } else {
        memory.addPreviousStatus(unitKey, *fields);
    }
    return ChannelList(static_cast<qint32>(mask));
}

void clsExceptionHandler::applyRecordRules(const DetectionFields& now, quint32& mask,
                                           DetectionMemory& memory) const
{
    if (filterOn(NotRecording) && now.recordStatus == 0)
        raise(NotRecording, mask, memory);
    if (filterOn(RecordDiskFailure) && now.recordStatus >= 4)
        raise(RecordDiskFailure, mask, memory);
    if (filterOn(RecordDiskFull) && now.recordStatus >= 2 && now.recordStatus <= 3)
        raise(RecordDiskFull, mask, memory);
    if (now.archiveStatus && filterOn(ArchiveDeviceFull) && *now.archiveStatus == 3)
        raise(ArchiveDeviceFull, mask, memory);
}

void clsExceptionHandler::applyComparisonRules(const DetectionFields& now,
                                               const PreviousStatus& before, qint32 unitZoneMinutes,
                                               int unitDstCode, quint32& mask,
                                               DetectionMemory& memory) const
{
    if (now.archiveStatus && filterOn(ArchiveStatusChanged) &&
        *now.archiveStatus != before.archiveStatus)
        raise(ArchiveStatusChanged, mask, memory);
    if (filterOn(LocalTimeDifference)) {
        const QDateTime unitClock = UnitClock(now.clock);
        const QDateTime shouldShow = UnitLocalTime(unitZoneMinutes, unitDstCode);
        if (std::abs(minuteBoundariesBetween(unitClock, shouldShow)) > m_settings.ltDiff())
            raise(LocalTimeDifference, mask, memory);
    }
    // More time passed on the unit's clock than it has been powered on: it restarted.
    if (filterOn(UnitRebooted) && now.clock - before.clock > now.powerOnSeconds + 3.0)
        raise(UnitRebooted, mask, memory);
    if (filterOn(SoftwareChanged) && now.softwareVersion != before.softwareVersion)
        raise(SoftwareChanged, mask, memory);
    if (filterOn(DiskCapacityChanged) && now.diskCapacity != before.diskCapacity)
        raise(DiskCapacityChanged, mask, memory);
}

void clsExceptionHandler::applyAlarmRules(const DetectionFields& now, quint32& mask,
                                          DetectionMemory& memory) const
{
    if (filterOn(AlarmSinceLastPoll) && now.historyAlarm > 0) {
        raise(AlarmSinceLastPoll, mask, memory);
        memory.addAlarmMask(now.historyAlarm);
    }
    if (filterOn(CurrentAlarm) && now.currentAlarm > 0) {
        raise(CurrentAlarm, mask, memory);
        memory.addAlarmMask(now.currentAlarm);
    }
    if (filterOn(VidlossSinceLastPoll) && now.historyVidloss > 0) {
        raise(VidlossSinceLastPoll, mask, memory);
        memory.addVidlossMask(now.historyVidloss);
    }
    if (filterOn(CurrentVidloss) && now.currentVidloss > 0) {
        raise(CurrentVidloss, mask, memory);
        memory.addVidlossMask(now.currentVidloss);
    }
}

QString clsExceptionHandler::GetConnectionChangeString(const QString& unitKey, bool connected)
{
    DetectionMemory& memory = DetectionMemory::shared();
    const std::optional<bool> before = memory.connectionState(unitKey);
    // The outcome is stored from the first attempt on, so a first failure followed by a success
    // reads as the first successful connection.
    memory.setConnectionState(unitKey, connected);
    if (connected) {
        if (before && !*before && filterOn(FirstSuccessfulConnection))
            return QString::number(FirstSuccessfulConnection);
        return {};
    }
    if (!filterOn(UnableToConnect))
        return {};
    quint32 mask = 0;
    raise(UnableToConnect, mask, memory);
    return QString::number(UnableToConnect);
}

QString clsExceptionHandler::ExceptionLongText(qint16 code) const
{
    return ExceptionTexts::longText(code, m_settings);
}

QString clsExceptionHandler::ExceptionShortText(qint16 code) const
{
    return ExceptionTexts::shortText(code, m_settings);
}

QString clsExceptionHandler::ChannelList(qint32 mask)
{
    return ExceptionTexts::channelList(mask);
}

QString clsExceptionHandler::UnitClockText(double seconds)
{
    return Platform::locale().generalDateTimeText(UnitClock(seconds));
}

bool clsExceptionHandler::notifyFlag()
{
    return DetectionMemory::shared().notifyFlag();
}

void clsExceptionHandler::clearNotifyFlag()
{
    DetectionMemory::shared().clearNotifyFlag();
}

QString clsExceptionHandler::alarmDetail()
{
    return DetectionMemory::shared().alarmDetail();
}

QString clsExceptionHandler::videolossDetail()
{
    return DetectionMemory::shared().videolossDetail();
}

void clsExceptionHandler::SetResetMark(const QString& unitKey)
{
    DetectionMemory::shared().setResetMark(unitKey);
}

bool clsExceptionHandler::AddToLog(const QString& address, const QString& description,
                                   const QDateTime& pollTime, const QString& exceptionString,
                                   const QString& alarmDetail, const QString& videolossDetail)
{
    return ExceptionEventLog(m_settings)
        .AddToLog(address, description, pollTime, exceptionString, alarmDetail, videolossDetail);
}

QString clsExceptionHandler::GetFromLog()
{
    return ExceptionEventLog(m_settings).GetFromLog();
}

void clsExceptionHandler::GetListLogF()
{
    ExceptionEventLists(m_settings).GetListLogF();
}

void clsExceptionHandler::GetListLogF1()
{
    ExceptionEventLists(m_settings).GetListLogF1();
}

void clsExceptionHandler::GetListLog()
{
    ExceptionEventLists(m_settings).GetListLog();
}

QString clsExceptionHandler::GetReport(bool full)
{
    return ExceptionEventLists(m_settings).GetReport(full);
}

bool clsExceptionHandler::SaveToLog()
{
    return ExceptionEventLog(m_settings).SaveToLog();
}

bool clsExceptionHandler::SetFileContents(const QString& fileName, const QString& contents)
{
    return ExceptionEventLog::SetFileContents(fileName, contents);
}

const QList<EventRecord>& clsExceptionHandler::loadedRecords()
{
    return ExceptionLogViews::shared().loaded;
}

const QList<EventListEntry>& clsExceptionHandler::fullList()
{
    return ExceptionLogViews::shared().fullList;
}

const QList<EventListEntry>& clsExceptionHandler::latestList()
{
    return ExceptionLogViews::shared().latestList;
}

bool clsExceptionHandler::fullListBuilt()
{
    return ExceptionLogViews::shared().fullListBuilt;
}

bool clsExceptionHandler::latestListBuilt()
{
    return ExceptionLogViews::shared().latestListBuilt;
}

void clsExceptionHandler::clearListFlags()
{
    ExceptionLogViews::shared().fullListBuilt = false;
    ExceptionLogViews::shared().latestListBuilt = false;
}

bool clsExceptionHandler::veryOldFlag()
{
    return ExceptionLogViews::shared().veryOld;
}
