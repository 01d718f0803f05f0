// The settings file as a user edits it by hand: every value is read, and the values are then
// put to work by what depends on them (detection thresholds, the log's day window and prune,
// the address list's path).

#include "directory/AddressListFile.h"
#include "exceptions/clsExceptionHandler.h"
#include "exceptions/DetectionMemory.h"
#include "FuzzEnvironment.h"
#include "settings/Settings.h"
#include "SimulatedUnitStatus.h"

#include <QDir>
#include <QFile>

namespace {

// Two polls of a unit that fell behind: less recording time, a clock off, a reboot, alarms.
QList<QByteArray> twoPolls(int type)
{
    SimulatedUnitStatus status = SimulatedUnitStatus::typical(type, 1);
    const QByteArray first = status.encode();
    status.recordingTimeLeft = 30;
    status.archivingTimeLeft = 30;
    status.unitTime += 7200;
    status.timeSincePowerUp = 5;
    status.alarmStatus = 0x3;
    status.alarmsSinceLastPolling = 0x5;
    status.recordState = 0;
    return {first, status.encode()};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzEnvironment& environment = FuzzEnvironment::get();
    IniRegistry& registry = static_cast<IniRegistry&>(environment.freshRegistry());
    {
        QFile ini(registry.filePath(Settings::kAppKey));
        QDir().mkpath(QFileInfo(ini).absolutePath());
        FUZZ_CHECK(ini.open(QIODevice::WriteOnly));
        ini.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    Settings settings;
    settings.LoadSettings();
    FUZZ_CHECK(settings.startDate().isValid());
    (void)AddressListPath(settings.ipFileName());

    DetectionMemory::shared().clear();
    clsExceptionHandler handler(settings);
    for (int type : {0, 3, 4, 80}) {
        const QString unit = QStringLiteral("unit %1").arg(type);
        for (const QByteArray& block : twoPolls(type)) {
            (void)handler.GetConnectionChangeString(unit, true);
            const QString codes = handler.CreatExceptionString(block, unit, 60, 1);
            for (const QString& code : codes.split(u',', Qt::SkipEmptyParts))
                (void)handler.ExceptionLongText(qint16(code.toInt()));
        }
    }

    QFile::remove(settings.exceptionLogPath());
    const QDateTime now = environment.clock.localNow();
    for (qint64 daysAgo : {0, 3, 40, 400, 40000})
        handler.AddToLog(QStringLiteral("127.0.0.9"), QStringLiteral("unit"), now.addDays(-daysAgo),
                         QStringLiteral("1,2"), QStringLiteral("3"), QString());
    (void)handler.GetFromLog();
    handler.GetListLogF();
    handler.GetListLog();
    (void)handler.GetReport(true);
    FUZZ_CHECK(handler.SaveToLog());
    return 0;
}
