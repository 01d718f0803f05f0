// The settings file as a user edits it by hand: every value is read, and the values are then
// put to work by what depends on them (the schedule, detection thresholds, the log's day window
// and prune, the address list's path).

#include "core/PollSchedule.h"
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

    // The schedule over a day, a jump of a year and a step back, as a PC clock may do.
    PollSchedule schedule(settings);
    schedule.restartFromSettings();
    const QDateTime start = environment.clock.utc;
    for (qint64 seconds : {0LL, 1LL, 1800LL, 86400LL, 366LL * 86400, -3600LL}) {
        environment.clock.utc = start.addSecs(seconds);
        schedule.tick(false, int(seconds & 1));
    }
    environment.clock.utc = start;

    DetectionMemory::shared().clear();
    clsExceptionHandler handler(settings);
    // The same for every input, so made once.
    static const QList<QList<QByteArray>> pollsByType = {twoPolls(0), twoPolls(3), twoPolls(4),
                                                         twoPolls(80)};
    int unitNumber = 0;
    for (const QList<QByteArray>& polls : pollsByType) {
        const QString unit = QStringLiteral("unit %1").arg(++unitNumber);
        for (const QByteArray& block : polls) {
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
