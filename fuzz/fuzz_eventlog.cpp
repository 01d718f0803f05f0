// The exception event log as a damaged or hand-edited file: loading, the viewer's lists and
// report, the prune, and an append after it. The prune may only drop lines, never change or
// invent one, and a record appended afterwards must load.

#include "exceptions/clsExceptionHandler.h"
#include "exceptions/EventRecord.h"
#include "FuzzEnvironment.h"
#include "settings/Settings.h"

#include <QFile>

namespace {

// The log's lines as the reader cuts them: at LF, without a CR before it, blank ones left out.
QList<QByteArray> linesOf(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    for (QByteArray line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            lines.append(line);
    }
    return lines;
}

bool isOrderedSubset(const QList<QByteArray>& part, const QList<QByteArray>& whole)
{
    qsizetype at = 0;
    for (const QByteArray& line : part) {
        while (at < whole.size() && whole.at(at) != line)
            ++at;
        if (at == whole.size())
            return false;
        ++at;
    }
    return true;
}

// A field as a record line carries it: no quote, no line break.
QString asWritten(QString field)
{
    return field.replace(u'"', u'\'').replace(u'\r', u' ').replace(u'\n', u' ');
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzEnvironment& environment = FuzzEnvironment::get();
    static Settings settings;
    static const bool loaded = (settings.LoadSettings(), true);
    (void)loaded;

    const QByteArray log(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = environment.writeFile(QStringLiteral("ExceptionEventLog.evt"), log);
    FUZZ_CHECK(path == settings.exceptionLogPath());

    // A single record line reads back the same after it is written again.
    if (const auto record = EventRecord::fromLine(log)) {
        const auto again = EventRecord::fromLine(record->toLine());
        FUZZ_CHECK(again);
        FUZZ_CHECK(again->address == asWritten(record->address) &&
                   again->description == asWritten(record->description) &&
                   again->pollingTime == asWritten(record->pollingTime) &&
                   again->exceptionString == asWritten(record->exceptionString) &&
                   again->alarmDetail == asWritten(record->alarmDetail) &&
                   again->videolossDetail == asWritten(record->videolossDetail));
    }

    clsExceptionHandler handler(settings);
    (void)handler.GetFromLog();
    handler.GetListLogF();
    handler.GetListLogF1();
    handler.GetListLog();
    (void)handler.GetReport(true);
    (void)handler.GetReport(false);

    if (handler.SaveToLog())
        FUZZ_CHECK(isOrderedSubset(linesOf(contents(path)), linesOf(log)));

    const QString address = QStringLiteral("127.0.0.9");
    FUZZ_CHECK(handler.AddToLog(address, QStringLiteral("after"), QDateTime(), QStringLiteral("1"),
                                QString(), QString()));
    FUZZ_CHECK(handler.GetFromLog() == QStringLiteral("Something"));
    const QList<EventRecord>& records = clsExceptionHandler::loadedRecords();
    FUZZ_CHECK(std::any_of(records.begin(), records.end(), [&](const EventRecord& r) {
        return r.address == address && r.description == QStringLiteral("after");
    }));
    return 0;
}
