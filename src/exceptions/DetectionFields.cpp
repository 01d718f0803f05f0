#include "exceptions/DetectionFields.h"

#include <algorithm>

namespace {

constexpr int kVehicle = 4;

// Channel mask offsets (current alarm, current video loss, alarm since last poll, video loss
// since last poll). Kinds with 32-bit masks are read at their last two bytes: channels 1 to 16.
struct MaskOffsets
{
    int currentAlarm, currentVidloss, historyAlarm, historyVidloss;
};

std::optional<MaskOffsets> maskOffsets(int kind)
{
    switch (kind) {
    case 0:
    case 96:
        return MaskOffsets{43, 45, 47, 49};
    case 1:
    case 2:
    case 3:
    case 80:
        return MaskOffsets{45, 49, 53, 57};
    case kVehicle:
        return MaskOffsets{32, 34, 36, 38};
    default:
        return std::nullopt;
    }
}

std::optional<int> hardwareOffset(int kind)
{
    switch (kind) {
    case 2:
    case 3:
        return 106;
    case kVehicle:
        return 102;
    default:
        return std::nullopt;
    }
}

quint32 bigEndian(QByteArrayView block, int at, int count)
{
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | static_cast<quint8>(block[at + i]);
    return value;
}

QString versionText(quint8 major, quint8 minor, const QString& separator)
{
    return QString::number(major) + separator +
           QStringLiteral("%1").arg(int(minor), 2, 10, QChar(u'0'));
}

} // namespace

qsizetype DetectionFields::requiredSize(int kind)
{
    const auto masks = maskOffsets(kind);
    if (!masks)
        return 0;
    qsizetype end = masks->historyVidloss + 2;
    if (const auto hw = hardwareOffset(kind))
        end = std::max<qsizetype>(end, *hw + 1);
    return end;
}

std::optional<DetectionFields> DetectionFields::read(QByteArrayView block,
                                                     const QString& decimalSeparator)
{
    if (block.isEmpty())
        return std::nullopt;
    const quint8 typeByte = static_cast<quint8>(block[0]);
    const int kind = typeByte & 0x7F;
    const qsizetype need = requiredSize(kind);
    if (need == 0 || block.size() < need)
        return std::nullopt;

    const auto byteAt = [block](int at) { return static_cast<quint8>(block[at]); };
    const bool vehicle = kind == kVehicle;
    DetectionFields f;
    f.kind = kind;
    f.recordStatus = byteAt(11);
    if (!vehicle)
        f.archiveStatus = byteAt(20);
    const int clockAt = vehicle ? 20 : 29;
    f.clock = bigEndian(block, clockAt, 4);
    f.powerOnSeconds = bigEndian(block, clockAt + 4, 4);
    const int versionAt = vehicle ? 28 : 39;
    f.softwareVersion = versionText(byteAt(versionAt), byteAt(versionAt + 1), decimalSeparator);
    const int capacityAt = versionAt + 2;
    f.diskCapacity = (typeByte & 0x80) ? QString::number(bigEndian(block, capacityAt, 2))
                                       : versionText(byteAt(capacityAt), byteAt(capacityAt + 1),
                                                     decimalSeparator);
    const MaskOffsets masks = *maskOffsets(kind);
    f.currentAlarm = static_cast<qint32>(bigEndian(block, masks.currentAlarm, 2));
    f.currentVidloss = static_cast<qint32>(bigEndian(block, masks.currentVidloss, 2));
    f.historyAlarm = static_cast<qint32>(bigEndian(block, masks.historyAlarm, 2));
    f.historyVidloss = static_cast<qint32>(bigEndian(block, masks.historyVidloss, 2));
    if (const auto hw = hardwareOffset(kind))
        f.hardware = byteAt(*hw);
    return f;
}
