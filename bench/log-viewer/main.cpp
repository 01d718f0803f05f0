// Times the exception log viewer on a log of 100 000 events: loading it and filling the viewer's
// model in both modes, sorting by each column both ways, and exporting each format.
//
//   bench-log-viewer [FOLDER]
//
// With a folder, the log and the exported files stay there (point VIGILSTAT_HOME at it to browse
// the same log in the program); otherwise a temporary folder is used.

#include "exceptions/clsExceptionHandler.h"
#include "exceptions/ExceptionLogExport.h"
#include "exceptions/ExceptionLogModel.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"
#include "platform/Registry.h"
#include "platform/Spreadsheet.h"
#include "settings/Settings.h"

#include <cstdio>
#include <functional>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

constexpr int kEvents = 100000;

class FixedFolder : public ProgramFolder
{
public:
    explicit FixedFolder(QString path) : m_path(std::move(path)) {}
    QString path() const override { return m_path; }

private:
    QString m_path;
};

class AlwaysYes : public Prompts
{
public:
    PromptAnswer ask(const Prompt&) override { return PromptAnswer::Yes; }
};

// A fleet's week: 3000 units, one to three codes per record, the newest last.
void writeLog(const QString& path, int records)
{
    static const char* const kCodeSets[] = {"1", "15", "1,11,19", "12,20", "8", "7,9", "17", "14"};
    static const char* const kSites[] = {"Lobby",       "Gate, north",   "Car park",
                                         "Loading bay", "Warehouse <B>", "Reception & hall"};
    QRandomGenerator random(2026);
    const QDateTime now = Platform::clock().localNow();
    const Locale& locale = Platform::locale();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the log");
    for (int i = 0; i < records; ++i) {
        const qint64 age = qint64(records - i) * (6 * 86400) / records;
        const QString codes = QString::fromLatin1(kCodeSets[random.bounded(8)]);
        const int unit = random.bounded(3000);
        const QString address =
            unit % 10 == 0
                ? QStringLiteral("555%1").arg(unit, 4, 10, QChar(u'0'))
                : QStringLiteral("10.%1.%2.%3").arg(unit / 250).arg(unit % 250).arg(unit % 7 + 1);
        const QStringList fields{address,
                                 QString::fromLatin1(kSites[unit % 6]) + u' ' +
                                     QString::number(unit),
                                 locale.generalDateTimeText(now.addSecs(-age)),
                                 codes,
                                 codes.contains(u"11") ? QStringLiteral("5+1") : QString(),
                                 codes.contains(u"12") ? QStringLiteral("4+2") : QString()};
        const QString line = u'"' + fields.join(QStringLiteral("\",\"")) + QStringLiteral("\"\r\n");
        file.write(line.toLatin1());
    }
}

double ms(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir scratch;
    const QString folder =
        argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).absolutePath() : scratch.path();
    QDir().mkpath(folder);
    QTemporaryDir registryRoot;
    IniRegistry registry(registryRoot.path());
    AlwaysYes prompts;
    SystemClock clock;
    LocaleFormats locale(QLocale(QLocale::English, QLocale::UnitedStates));
    FixedFolder programFolder(folder);
    XlsxSpreadsheet spreadsheet;
    PlatformServices services;
    services.registry = &registry;
    services.prompts = &prompts;
    services.clock = &clock;
    services.locale = &locale;
    services.programFolder = &programFolder;
    services.spreadsheet = &spreadsheet;
    Platform::install(services);

    Settings settings;
    settings.LoadSettings();
    writeLog(settings.exceptionLogPath(), kEvents);
    clsExceptionHandler handler(settings);
    ExceptionLogModel model;

    std::printf("Exception log viewer, %d log records, en_US dates, one run each.\n", kEvents);
    const double load = ms([&] { handler.GetFromLog(); });
    const double full = ms([&] {
        handler.GetListLogF();
        model.setEntries(clsExceptionHandler::fullList());
    });
    std::printf("open: GetFromLog %.1f ms; Full Details list + model %.1f ms (%lld rows)\n", load,
                full, qlonglong(model.rowCount()));
    const double latest = ms([&] {
        handler.GetListLog();
        model.setEntries(clsExceptionHandler::latestList());
    });
    std::printf("      Latest Events list + model %.1f ms (%lld rows)\n", latest,
                qlonglong(model.rowCount()));

    model.setEntries(clsExceptionHandler::fullList());
    model.resetSortState();
    for (int column = 0; column < ExceptionLogModel::ColumnCount; ++column) {
        const double up = ms([&] { model.sortByColumn(column); });
        const double down = ms([&] { model.sortByColumn(column); });
        std::printf("sort %-16s ascending %7.1f ms, descending %7.1f ms\n",
                    qPrintable(ExceptionLogModel::columnTitle(column)), up, down);
    }

    const ExceptionLogExport exporter(model, clsExceptionHandler::fullList());
    const QString base = QDir(folder).filePath(QStringLiteral("Exception Log bench"));
    for (const int format :
         {ExceptionLogExport::Delimited, ExceptionLogExport::Html, ExceptionLogExport::Excel}) {
        const QString path = base + u'.' + ExceptionLogExport::suffix(format);
        WriteResult result;
        const double took = ms([&] { result = exporter.write(format, path); });
        if (result.status != WriteResult::Status::Written)
            qFatal("export failed: %s", qPrintable(ExceptionLogExport::failureText(result, path)));
        std::printf("export %-5s %8.1f ms, %6.1f MB\n",
                    qPrintable(ExceptionLogExport::suffix(format)), took,
                    QFileInfo(path).size() / 1e6);
    }
    return 0;
}
