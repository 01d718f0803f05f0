#include "exceptions/DetectionFields.h"

#include "status/StatusBlock.h"
#include "status/StatusFormat.h"

std::optional<DetectionFields> DetectionFields::read(const QByteArray& bytes,
                                                     const QString& decimalSeparator)
{
    const StatusBlock block(bytes);
    const auto kind = block.typeCode();
    if (!kind || !StatusBlock::isKnownType(*kind))
        return std::nullopt;
    const auto recordStatus = block.recordState();
    const auto clock = block.unitTime();
    const auto powerOn = block.timeSincePowerUp();
    const auto version = block.powerPcVersion();
    const auto capacity = block.diskCapacity();
    const auto currentAlarm = block.alarmStatus();
    const auto currentVidloss = block.videolossStatus();
    const auto historyAlarm = block.alarmsSinceLastPolling();
    const auto historyVidloss = block.videolossSinceLastPolling();
    const auto hardware = block.hardwareByte();
    const bool hasHardware = *kind == StatusBlock::XcrC || *kind == StatusBlock::KorvoTri ||
                             *kind == StatusBlock::Roadscope;
    if (!recordStatus || !clock || !powerOn || !version || !capacity || !currentAlarm ||
        !currentVidloss || !historyAlarm || !historyVidloss || (hasHardware && !hardware))
        return std::nullopt;

    // Only channels 1 to 16 take part: the low half of a 32-channel mask.
    const auto low16 = [](quint32 mask) { return qint32(mask & 0xFFFF); };
    DetectionFields f;
    f.kind = *kind;
    f.recordStatus = *recordStatus;
    f.archiveStatus = block.archiveState();
    f.clock = *clock;
    f.powerOnSeconds = *powerOn;
    f.softwareVersion = StatusFormat::versionText(*version, decimalSeparator);
    f.diskCapacity =
        StatusFormat::diskCapacityText(*capacity, block.capacityIsNumber(), decimalSeparator);
    f.currentAlarm = low16(*currentAlarm);
    f.currentVidloss = low16(*currentVidloss);
    f.historyAlarm = low16(*historyAlarm);
    f.historyVidloss = low16(*historyVidloss);
    f.hardware = hardware;
    return f;
}
