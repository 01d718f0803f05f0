#include "SimulatedUnitStatus.h"

#include "platform/CodePage.h"

#include <QHostAddress>

namespace {

class BlockWriter
{
public:
    explicit BlockWriter(int size) : m_bytes(size, '\0') {}

    void byte(int pos, quint8 value) { m_bytes[pos] = char(value); }
    void number(int pos, int count, quint32 value)
    {
        for (int i = count - 1; i >= 0; --i, value >>= 8)
            m_bytes[pos + i] = char(value & 0xFF);
    }
    void raw(int pos, const QByteArray& bytes, int count)
    {
        for (int i = 0; i < count; ++i)
            m_bytes[pos + i] = i < bytes.size() ? bytes.at(i) : '\0';
    }
    // Fixed text: padded with 0 bytes, cut to the field.
    void text(int first, int last, const QString& value)
    {
        raw(first, CodePage::encode(value).left(last - first + 1), last - first + 1);
    }
    void version(int pos, StatusBlock::Version v)
    {
        byte(pos, v.major);
        byte(pos + 1, v.minor);
    }
    void append(const QByteArray& bytes) { m_bytes.append(bytes); }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

QByteArray addressBytes(const QString& dotted)
{
    const quint32 v4 = QHostAddress(dotted).toIPv4Address();
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((v4 >> (24 - 8 * i)) & 0xFF);
    return bytes;
}

} // namespace

int SimulatedUnitStatus::channelCount() const
{
    return StatusBlock::hasWideChannelMasks(typeCode) ? 32 : 16;
}

QByteArray SimulatedUnitStatus::encode() const
{
    const quint8 type = quint8((typeCode & 0x7F) | (capacityIsNumber ? 0x80 : 0));
    // Bytes 0 to 19 are laid out alike for every type.
    const auto writeHead = [&](BlockWriter& w) {
        w.byte(0, type);
        w.byte(1, normalAccessCode);
        w.raw(2, normalAddress, 4);
        w.byte(6, liveAccessCode);
        w.raw(7, liveAddress, 4);
        w.byte(11, recordState);
        w.number(12, 4, recordingDuration);
        w.number(16, 4, recordingTimeLeft);
    };
    if (typeCode == StatusBlock::Roadscope) {
        BlockWriter w(103);
        writeHead(w);
        w.number(20, 4, unitTime);
        w.number(24, 4, timeSincePowerUp);
        w.version(28, powerPcVersion);
        w.number(30, 2, diskCapacity);
        w.number(32, 2, alarmStatus & 0xFFFF);
        w.number(34, 2, videolossStatus & 0xFFFF);
        w.number(36, 2, alarmsSinceLastPolling & 0xFFFF);
        w.number(38, 2, videolossSinceLastPolling & 0xFFFF);
        w.text(40, 59, modelName);
        w.text(60, 79, serialNumber);
        w.raw(80, macAddress, 6);
        w.text(86, 101, vehicleId);
        w.byte(102, hardwareByte);
        return w.bytes();
    }

    int size = 51;
    switch (typeCode) {
    case StatusBlock::Xcr:
        size = 79;
        break;
    case StatusBlock::XcrC:
        size = 107;
        break;
    case StatusBlock::KorvoTri:
        size = 108;
        break;
    case StatusBlock::Zpt:
        size = 176;
        break;
    default:
        break;
    }
    BlockWriter w(size);
    writeHead(w);
    w.byte(20, archiveState);
    w.number(21, 4, archivingDuration);
    w.number(25, 4, archivingTimeLeft);
    w.number(29, 4, unitTime);
    w.number(33, 4, timeSincePowerUp);
    w.version(37, mainVersion);
    w.version(39, powerPcVersion);
    w.number(41, 2, diskCapacity);
    if (StatusBlock::hasWideChannelMasks(typeCode)) {
        w.number(43, 4, alarmStatus);
        w.number(47, 4, videolossStatus);
        w.number(51, 4, alarmsSinceLastPolling);
        w.number(55, 4, videolossSinceLastPolling);
    } else {
        w.number(43, 2, alarmStatus & 0xFFFF);
        w.number(45, 2, videolossStatus & 0xFFFF);
        w.number(47, 2, alarmsSinceLastPolling & 0xFFFF);
        w.number(49, 2, videolossSinceLastPolling & 0xFFFF);
    }
    if (typeCode == StatusBlock::Xcr || typeCode == StatusBlock::Zpt)
        w.text(59, 78, serialNumber);
    if (typeCode == StatusBlock::XcrC || typeCode == StatusBlock::KorvoTri) {
        w.byte(59, playStatus);
        w.text(60, 79, modelName);
        w.text(80, 99, serialNumber);
        w.raw(100, macAddress, 6);
        w.byte(106, hardwareByte);
    }
    if (typeCode == StatusBlock::KorvoTri) {
        const qsizetype count = qMin(connections.size(), qsizetype(255));
        w.byte(107, quint8(count));
        for (qsizetype i = 0; i < count; ++i) {
            w.append(QByteArray(1, char(connections.at(i).code)));
            w.append(addressBytes(connections.at(i).address));
        }
    }
    if (typeCode == StatusBlock::Zpt) {
        for (int i = 0; i < StatusBlock::DiskCount; ++i) {
            w.number(79 + 12 * i, 4, disks[i].blocksRecorded);
            w.number(83 + 12 * i, 4, disks[i].oldestDataTime);
            w.number(87 + 12 * i, 4, disks[i].newestDataTime);
        }
        w.byte(175, recordedUnitId);
    }
    return w.bytes();
}

SimulatedUnitStatus SimulatedUnitStatus::typical(int typeCode, int number)
{
    SimulatedUnitStatus s;
    s.typeCode = typeCode;
    s.normalAccessCode = 1;
    s.normalAddress = addressBytes(QStringLiteral("127.0.0.1"));
    s.liveAccessCode = 10;
    s.liveAddress = addressBytes(QStringLiteral("127.0.0.1"));
    s.recordState = 1;
    s.recordingDuration = 3600u * 24u * 12u + 977u * quint32(number % 100);
    s.recordingTimeLeft = 3600u * 24u * 30u;
    s.archiveState = typeCode == StatusBlock::Korvo ? 5 : 1;
    s.archivingDuration = 3600;
    s.archivingTimeLeft = 7200;
    s.timeSincePowerUp = 86400u * 3u;
    s.mainVersion = {4, 12};
    s.powerPcVersion = {5, 3};
    s.diskCapacity = 0x0140; // 1.64 in the version form
    const QString numberText = QStringLiteral("%1").arg(number, 6, 10, QLatin1Char('0'));
    s.serialNumber = QStringLiteral("KS") + numberText;
    s.macAddress = QByteArray::fromHex("000A1B000000");
    s.macAddress[3] = char((number >> 16) & 0xFF);
    s.macAddress[4] = char((number >> 8) & 0xFF);
    s.macAddress[5] = char(number & 0xFF);
    switch (typeCode) {
    case StatusBlock::XcrC:
        s.modelName = QStringLiteral("XCR-16C");
        s.hardwareByte = 1;
        break;
    case StatusBlock::KorvoTri:
        s.modelName = QStringLiteral("Korvo Tri 3200");
        s.powerPcVersion = {6, 10};
        s.hardwareByte = 129;
        s.connections = {StatusBlock::Connection{1, QStringLiteral("127.0.0.1")},
                         StatusBlock::Connection{10, QStringLiteral("127.0.0.1")}};
        break;
    case StatusBlock::Roadscope:
        s.modelName = QStringLiteral("RS3-8");
        s.vehicleId = QStringLiteral("BUS-%1").arg(number);
        s.capacityIsNumber = true;
        s.diskCapacity = 500;
        break;
    case StatusBlock::Zpt:
        s.capacityIsNumber = true;
        s.diskCapacity = 2000;
        for (int i = 0; i < StatusBlock::DiskCount; ++i)
            s.disks[i] = StatusBlock::Disk{quint32(1000 * (i + 1)), 0, 0};
        s.recordedUnitId = 16;
        break;
    default:
        break;
    }
    return s;
}
