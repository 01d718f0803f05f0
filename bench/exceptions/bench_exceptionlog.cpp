// Times the exception event log on logs of 10 000 and 100 000 records: loading (GetFromLog),
// the full list (GetListLogF), the latest-events list (GetListLog), and the report text of
// 100 000 entries (GetReport). Prints the best of a few runs of each.

#include "exceptions/clsExceptionHandler.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"
#include "platform/Registry.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

constexpr int kRuns = 3;

class TemporaryProgramFolder : public ProgramFolder
{
public:
    QString path() const override { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

class AlwaysYes : public Prompts
{
public:
    PromptAnswer ask(const Prompt&) override { return PromptAnswer::Yes; }
};

// A log as months of polling leave it: 3000 units over the last six days, one to three codes per
// record, alarm and videoloss details where the codes carry them.
void writeLog(const QString& path, int records, bool oneCodeEach)
{
    static const char* const kCodeSets[] = {"1", "15", "1,11,19", "12,20", "8", "7,9", "17"};
    QRandomGenerator random(2026);
    const QDateTime now = Platform::clock().localNow();
    const Locale& locale = Platform::locale();
    QByteArray out;
    out.reserve(qsizetype(records) * 90);
    for (int i = 0; i < records; ++i) {
        const qint64 age = qint64(records - i) * (6 * 86400) / records;
        const QString codes =
            oneCodeEach ? QStringLiteral("1") : QString::fromLatin1(kCodeSets[random.bounded(7)]);
        const int unit = random.bounded(3000);
        const QString line =
            QStringLiteral("\"10.%1.%2.%3\",\"Camera site %4\",\"%5\",\"%6\",\"%7\",\"%8\"\r\n")
                .arg(unit / 250)
                .arg(unit % 250)
                .arg(random.bounded(1, 255))
                .arg(unit)
                .arg(locale.generalDateTimeText(now.addSecs(-age)))
                .arg(codes)
                .arg(codes.contains(u"11") ? QStringLiteral("5+1") : QString())
                .arg(codes.contains(u"12") ? QStringLiteral("4+2") : QString());
        out += line.toLatin1();
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(out) != out.size())
        qFatal("cannot write the log");
}

double bestMs(const std::function<void()>& step)
{
    double best = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        step();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

void benchLoadAndLists(Settings& settings, int records)
{
    writeLog(settings.exceptionLogPath(), records, false);
    clsExceptionHandler handler(settings);
    const double load = bestMs([&] {
        if (handler.GetFromLog() != QStringLiteral("Something"))
            qFatal("nothing loaded");
    });
    const double full = bestMs([&] { handler.GetListLogF(); });
    const double latest = bestMs([&] { handler.GetListLog(); });
    std::printf("%7d records: GetFromLog %8.1f ms  GetListLogF %7.1f ms (%lld entries)  "
                "GetListLog %7.1f ms (%lld entries)  total %8.1f ms\n",
                records, load, full, qlonglong(clsExceptionHandler::fullList().size()), latest,
                qlonglong(clsExceptionHandler::latestList().size()), load + full + latest);
}

void benchReport(Settings& settings, int entries)
{
    writeLog(settings.exceptionLogPath(), entries, true);
    clsExceptionHandler handler(settings);
    handler.GetFromLog();
    handler.GetListLogF();
    qsizetype size = 0;
    const double report = bestMs([&] { size = handler.GetReport(true).size(); });
    std::printf("%7lld entries: GetReport %8.1f ms (%lld characters)\n",
                qlonglong(clsExceptionHandler::fullList().size()), report, qlonglong(size));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir registryRoot;
    IniRegistry registry(registryRoot.path());
    AlwaysYes prompts;
    SystemClock clock;
    LocaleFormats locale(QLocale(QLocale::English, QLocale::UnitedStates));
    TemporaryProgramFolder folder;
    PlatformServices services;
    services.registry = &registry;
    services.prompts = &prompts;
    services.clock = &clock;
    services.locale = &locale;
    services.programFolder = &folder;
    Platform::install(services);

    Settings settings;
    settings.LoadSettings();
    std::printf("Best of %d runs each; LogKeepDays %d; en_US dates.\n", kRuns,
                int(settings.logKeepDays()));
    benchLoadAndLists(settings, 10000);
    benchLoadAndLists(settings, 100000);
    benchReport(settings, 100000);
    return 0;
}
