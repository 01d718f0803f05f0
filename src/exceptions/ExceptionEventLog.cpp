#include "exceptions/ExceptionEventLog.h"

#include "exceptions/EventLogReader.h"
#include "exceptions/ExceptionLogViews.h"
#include "exceptions/WallClockMath.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

#include <filesystem>
#include <optional>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#if defined(Q_OS_WIN)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr qint64 kCopyChunkBytes = 256 * 1024;
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

bool syncToDisk(QFile& file)
{
    if (!file.flush())
        return false;
#if defined(Q_OS_WIN)
    return ::_commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

// Renames over an existing file in one step, so the target is always either the old file or the
// new one.
bool replaceFile(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), error);
    return !error;
}

// Copies bytes [offset, offset + size) of source to target, and a line end if they lack one.
bool copyRange(QFile& source, qint64 offset, qint64 size, QFile& target)
{
    if (!source.isOpen() && !source.open(QIODevice::ReadOnly))
        return false;
    if (!source.seek(offset))
        return false;
    char last = 0;
    for (qint64 left = size; left > 0;) {
        const QByteArray chunk = source.read(std::min(left, kCopyChunkBytes));
        if (chunk.isEmpty() || target.write(chunk) != chunk.size())
            return false;
        last = chunk.back();
        left -= chunk.size();
    }
    return size == 0 || last == '\n' || target.write(kLineEnd) == kLineEnd.size();
}

} // namespace

ExceptionEventLog::ExceptionEventLog(const Settings& settings)
    : ExceptionEventLog(settings, ExceptionLogViews::shared())
{}

ExceptionEventLog::ExceptionEventLog(const Settings& settings, ExceptionLogViews& views)
    : m_settings(settings), m_views(views)
{}

QString ExceptionEventLog::loadCopyPath(const QString& logPath)
{
    return logPath.chopped(std::min<qsizetype>(4, logPath.size())) + QStringLiteral("Temp.evt");
}

QString ExceptionEventLog::pruneCopyPath(const QString& logPath)
{
    return logPath.chopped(std::min<qsizetype>(4, logPath.size())) + QStringLiteral("Temp1.evt");
}

bool ExceptionEventLog::AddToLog(const QString& address, const QString& description,
                                 const QDateTime& pollTime, const QString& exceptionString,
                                 const QString& alarmDetail, const QString& videolossDetail)
{
    const QDateTime when =
        pollTime.isValid() ? wallClockOf(pollTime) : Platform::clock().localNow();
    EventRecord record;
    record.address = address;
    record.description = description;
    record.pollingTime = Platform::locale().generalDateTimeText(when);
    record.exceptionString = exceptionString;
    record.alarmDetail = alarmDetail;
    record.videolossDetail = videolossDetail;
    QByteArray line = record.toLine() + kLineEnd;

    QFile file(m_settings.exceptionLogPath());
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const qint64 size = file.size();
    if (size > 0) {
        // A write cut short leaves a line without its end; end it so this record stands alone.
        char last = 0;
        if (!file.seek(size - 1) || file.read(&last, 1) != 1)
            return false;
        if (last != '\n')
            line.prepend(kLineEnd);
    }
    return file.seek(size) && file.write(line) == line.size() && file.flush();
}

QString ExceptionEventLog::GetFromLog()
{
    m_views.clear();
    const QString logPath = m_settings.exceptionLogPath();
    QFile log(logPath);
    if (!log.exists())
        return {};
    // A log that is there but cannot be read must not pass for one without events.
    const auto unreadable = [&logPath] {
        Platform::prompts().message(QStringLiteral("Cannot open ") + logPath,
                                    QStringLiteral("Exception Log"), PromptIcon::Warning);
        return QStringLiteral("TooBig");
    };
    if (!log.open(QIODevice::ReadOnly))
        return unreadable();
    const QString copyPath = loadCopyPath(logPath);
    QFile copy(copyPath);
    const bool copying = copy.open(QIODevice::WriteOnly | QIODevice::Truncate);

    const QDateTime now = Platform::clock().localNow();
    const qint64 window = qint32(m_settings.logKeepDays()) * 1440;
    const Locale& locale = Platform::locale();
    QList<EventRecord> records;
    EventLogReader reader(log);
    EventLogReader::Line line;
    while (reader.next(line)) {
        if (line.oversized)
            continue;
        std::optional<EventRecord> record = EventRecord::fromLine(line.bytes);
        if (!record)
            continue;
        const std::optional<QDateTime> time = locale.parseGeneralDateTime(record->pollingTime);
        if (!time)
            continue;
        const qint64 minutes = minuteBoundariesBetween(*time, now);
        if (minutes > window) {
            if (minutes >= kVeryOldMinutes)
                m_views.veryOld = true;
            continue;
        }
        record->time = *time;
        if (copying) {
            copy.write(line.bytes.data(), line.bytes.size());
            copy.write(kLineEnd);
        }
        records.append(std::move(*record));
    }
    copy.close();
    if (log.error() != QFileDevice::NoError) {
        if (copying)
            QFile::remove(copyPath);
        return unreadable();
    }

    if (records.size() > kAskAboveRecords) {
        const Prompt question{
            QStringLiteral("Message"),
            QStringLiteral("There are more than 5000 exceptions in the database. It will take a "
                           "few minutes to process.") +
                QStringLiteral(" (To improve performance, choose a smaller number of days in the "
                               "'Show only events of the last __ days' option in the Exception "
                               "Filters Setup.)") +
                QStringLiteral("\r\nDo you want to continue?"),
            PromptButtons::YesNo, PromptIcon::None, 0};
        if (Platform::prompts().ask(question) != PromptAnswer::Yes)
            return QStringLiteral("TooBig");
    }
    if (copying)
        QFile::remove(copyPath);
    m_views.loaded = std::move(records);
    return m_views.loaded.isEmpty() ? QString() : QStringLiteral("Something");
}

bool ExceptionEventLog::SaveToLog()
{
    return replaceLogWithPrunedCopy(writePrunedCopy());
}

ExceptionEventLog::PrunedCopy ExceptionEventLog::writePrunedCopy()
{
    PrunedCopy result;
    const QString logPath = m_settings.exceptionLogPath();
    const QString copyPath = pruneCopyPath(logPath);
    QFile::remove(copyPath);
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly))
        return result;
    QFile copy(copyPath);
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return result;
    QFile rawLog(logPath); // for lines too long to hold

    const QDateTime now = Platform::clock().localNow();
    const Locale& locale = Platform::locale();
    EventLogReader reader(log);
    EventLogReader::Line line;
    bool ok = true;
    while (ok && reader.next(line)) {
        if (line.oversized) {
            ok = copyRange(rawLog, line.offset, line.size, copy);
            ++result.keptLines;
            continue;
        }
        if (line.bytes.trimmed().isEmpty())
            continue;
        // Only a record known to be old goes; a line that cannot be read stays as it is.
        if (const auto record = EventRecord::fromLine(line.bytes)) {
            const auto time = locale.parseGeneralDateTime(record->pollingTime);
            if (time && minuteBoundariesBetween(*time, now) >= kVeryOldMinutes) {
                ++result.removedRecords;
                continue;
            }
        }
        ok = copy.write(line.bytes.data(), line.bytes.size()) == line.bytes.size() &&
             copy.write(kLineEnd) == kLineEnd.size();
        ++result.keptLines;
    }
    ok = ok && log.error() == QFileDevice::NoError && syncToDisk(copy);
    copy.close();
    if (!ok) {
        QFile::remove(copyPath);
        return result;
    }
    result.written = true;
    result.sourceBytes = reader.consumed();
    return result;
}

bool ExceptionEventLog::replaceLogWithPrunedCopy(const PrunedCopy& pruned)
{
    if (!pruned.written)
        return false;
    const QString logPath = m_settings.exceptionLogPath();
    const QString copyPath = pruneCopyPath(logPath);
    qint64 kept = pruned.keptLines;

    const qint64 logBytes = QFileInfo(logPath).size();
    if (logBytes > pruned.sourceBytes) {
        QFile log(logPath);
        QFile copy(copyPath);
        if (!copy.open(QIODevice::WriteOnly | QIODevice::Append) ||
            !copyRange(log, pruned.sourceBytes, logBytes - pruned.sourceBytes, copy) ||
            !syncToDisk(copy)) {
            copy.close();
            QFile::remove(copyPath);
            return false;
        }
        ++kept;
    }
    if (kept == 0) {
        QFile::remove(copyPath);
        return !QFile::exists(logPath) || QFile::remove(logPath);
    }
    if (replaceFile(copyPath, logPath))
        return true;
    QFile::remove(copyPath);
    return false;
}

bool ExceptionEventLog::SetFileContents(const QString& fileName, const QString& contents)
{
    const QString now = Platform::locale().generalDateTimeText(Platform::clock().localNow());
    const QString text = QStringLiteral("\r\n\r\n") + QString(18, u' ') +
                         QStringLiteral("VigilStat Exception Event Log\r\n\r\n") +
                         QString(25, u' ') + now + QStringLiteral("\r\n\r\n\r\n") + contents +
                         QStringLiteral("\r\n");
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = CodePage::encode(text);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
