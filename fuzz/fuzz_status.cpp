// A unit's status blocks: each block through the status text and every field reader, and the
// whole sequence through exception detection as the polls of one unit.

#include "exceptions/clsExceptionHandler.h"
#include "exceptions/DetectionMemory.h"
#include "FuzzEnvironment.h"
#include "settings/Settings.h"
#include "status/clsStatusString.h"
#include "status/StatusBlock.h"

namespace {

void readEveryField(const StatusBlock& block)
{
    (void)block.unitTypeName();
    (void)block.normalAddress();
    (void)block.liveAddress();
    (void)block.archiveState();
    (void)block.archivingDuration();
    (void)block.archivingTimeLeft();
    if (const auto seconds = block.unitTime())
        FUZZ_CHECK(StatusBlock::unitClock(*seconds).isValid());
    (void)block.timeSincePowerUp();
    (void)block.mainVersion();
    (void)block.powerPcVersion();
    (void)block.diskCapacity();
    (void)block.alarmsSinceLastPolling();
    (void)block.serialNumber();
    (void)block.modelName();
    (void)block.macAddress();
    (void)block.playStatus();
    (void)block.vehicleId();
    if (const auto connections = block.connections())
        FUZZ_CHECK(connections->size() <= block.size());
    for (int i = 0; i < StatusBlock::DiskCount; ++i)
        (void)block.disk(i);
    (void)block.recordedUnitId();
}

} // namespace

// Input: a byte for the unit's time zone in quarter hours, a byte for its daylight-saving code,
// then polls: a byte whose bit 0 tells that the connection failed, and the block as a
// little-endian length and its bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzEnvironment& environment = FuzzEnvironment::get();
    static Settings settings; // every filter on: the defaults
    static const bool loaded = (settings.LoadSettings(), true);
    (void)loaded;

    FuzzInput input(data, size);
    const qint32 zoneMinutes = (qint32(qint8(input.byte()))) * 15;
    const int dstCode = input.byte() % 8;
    const QString unit = QStringLiteral("127.0.0.9");
    DetectionMemory::shared().clear();

    clsStatusString statusText;
    clsExceptionHandler handler(settings);
    for (int poll = 0; !input.atEnd() && poll < 64; ++poll) {
        const bool connected = !(input.byte() & 1);
        const QByteArray bytes = input.piece();
        const StatusBlock block(bytes);
        readEveryField(block);
        const QString text = statusText.CreatStatusString(bytes, QStringLiteral("Unit 9"));
        FUZZ_CHECK(text.startsWith(QStringLiteral("Unit 9")));

        (void)handler.GetConnectionChangeString(unit, connected);
        const QString codes = handler.CreatExceptionString(bytes, unit, zoneMinutes, dstCode);
        for (const QString& code : codes.split(u',', Qt::SkipEmptyParts)) {
            bool ok = false;
            const int number = code.toInt(&ok);
            FUZZ_CHECK(ok && number >= 1 && number <= 32);
            FUZZ_CHECK(!handler.ExceptionLongText(qint16(number)).isNull());
        }
        (void)clsExceptionHandler::alarmDetail();
        (void)clsExceptionHandler::videolossDetail();
        if (const auto seconds = block.unitTime())
            (void)clsExceptionHandler::UnitClockText(*seconds);
    }
    FUZZ_CHECK(DetectionMemory::shared().previousStatusCount() <= 1);
    (void)environment;
    return 0;
}
