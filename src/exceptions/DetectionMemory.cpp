#include "exceptions/DetectionMemory.h"

void PreviousStatus::update(const DetectionFields& fields)
{
    recordStatus = fields.recordStatus;
    clock = fields.clock;
    powerOnSeconds = fields.powerOnSeconds;
    if (fields.archiveStatus)
        archiveStatus = *fields.archiveStatus;
    softwareVersion = fields.softwareVersion;
    diskCapacity = fields.diskCapacity;
    historyAlarm = fields.historyAlarm;
    historyVidloss = fields.historyVidloss;
    currentAlarm = fields.currentAlarm;
    currentVidloss = fields.currentVidloss;
    if (fields.hardware)
        hardware = *fields.hardware;
}

DetectionMemory& DetectionMemory::shared()
{
    static DetectionMemory memory;
    return memory;
}

PreviousStatus* DetectionMemory::previousStatus(const QString& unitKey)
{
    const auto it = m_previous.find(unitKey);
    return it == m_previous.end() ? nullptr : &it.value();
}

PreviousStatus& DetectionMemory::addPreviousStatus(const QString& unitKey,
                                                   const DetectionFields& fields)
{
    PreviousStatus& entry = m_previous[unitKey];
    entry = PreviousStatus{};
    entry.update(fields);
    return entry;
}

bool DetectionMemory::setResetMark(const QString& unitKey)
{
    PreviousStatus* entry = previousStatus(unitKey);
    if (!entry)
        return false;
    entry->resetMark = true;
    return true;
}

std::optional<bool> DetectionMemory::connectionState(const QString& unitKey) const
{
    const auto it = m_connected.constFind(unitKey);
    if (it == m_connected.cend())
        return std::nullopt;
    return it.value();
}

void DetectionMemory::setConnectionState(const QString& unitKey, bool connected)
{
    m_connected.insert(unitKey, connected);
}

void DetectionMemory::clearDetails()
{
    m_alarmDetail.clear();
    m_videolossDetail.clear();
}

void DetectionMemory::append(QString& detail, qint32 mask)
{
    if (!detail.isEmpty())
        detail += u'+';
    detail += QString::number(mask);
}

void DetectionMemory::clear()
{
    m_previous.clear();
    m_connected.clear();
    m_notify = false;
    clearDetails();
}
