#pragma once

#include "status/StatusBlock.h"

#include <array>
#include <QByteArray>
#include <QList>
#include <QString>

// Everything a simulated unit reports in its status block, in plain values.
struct SimulatedUnitStatus
{
    int typeCode = StatusBlock::Korvo;
    bool capacityIsNumber = false;
    quint8 normalAccessCode = 0;
    QByteArray normalAddress = QByteArray(4, '\0');
    quint8 liveAccessCode = 0;
    QByteArray liveAddress = QByteArray(4, '\0');
    quint8 recordState = 1;
    quint32 recordingDuration = 0;
    quint32 recordingTimeLeft = 0;
    quint8 archiveState = 0;
    quint32 archivingDuration = 0;
    quint32 archivingTimeLeft = 0;
    quint32 unitTime = 0;
    quint32 timeSincePowerUp = 0;
    StatusBlock::Version mainVersion;
    StatusBlock::Version powerPcVersion;
    quint16 diskCapacity = 0;
    // Bit i is channel i + 1; layouts with 16 channels keep only the low half.
    quint32 alarmStatus = 0;
    quint32 videolossStatus = 0;
    quint32 alarmsSinceLastPolling = 0;
    quint32 videolossSinceLastPolling = 0;
    QString serialNumber;
    QString modelName;
    QByteArray macAddress = QByteArray(6, '\0');
    quint8 playStatus = 0;
    quint8 hardwareByte = 0;
    QString vehicleId;
    QList<StatusBlock::Connection> connections; // type 3; addresses dotted
    std::array<StatusBlock::Disk, StatusBlock::DiskCount> disks{};
    quint8 recordedUnitId = 0;

    int channelCount() const;
    // The block the unit sends for a status request.
    QByteArray encode() const;
    // Plausible values for a unit of the given type; number makes serials and addresses differ.
    static SimulatedUnitStatus typical(int typeCode, int number);
};
