// A writer process is killed with SIGKILL at random moments while it appends to the exception
// log, prunes it, and replaces the address list file and a report file. After every kill, each
// record the writer had been told was written must still be there, and each file must be a whole
// version.

#include "core/PollReport.h"
#include "core/ReportOutput.h"
#include "core/UnitStatusTable.h"
#include "directory/AddressListFile.h"
#include "exceptions/EventRecord.h"
#include "exceptions/ExceptionEventLog.h"
#include "platform/Locale.h"
#include "platform/ProgramFolder.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"

#include <cstdio>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

const QString kWriterFlag = QStringLiteral("--writer");
const QString kListName = QStringLiteral("IPAddressList.ipl");
const QString kReportName = QStringLiteral("report.txt");

// Version k of the address list: 1 + k % 7 units that all name their version. No passwords:
// their encoding differs from one save to the next.
UnitAddressList listVersion(int k)
{
    UnitAddressList list;
    for (int i = 0; i <= k % 7; ++i)
        list.append({QStringLiteral("127.0.%1.%2").arg(k % 250).arg(i + 1),
                     QStringLiteral("v%1").arg(k), QString(), QStringLiteral("GMT-05:00"),
                     QStringLiteral("USA"), QStringLiteral("1"), QStringLiteral("0")});
    return list;
}

// Version k of the report: 1 + k % 5 units, each with a status text that names the version.
void fillReport(UnitStatusTable& table, int k)
{
    table.clear();
    for (int i = 0; i <= k % 5; ++i) {
        table[i].attempted = true;
        table[i].connected = true;
        table[i].address = QStringLiteral("127.0.0.%1").arg(i + 2);
        table[i].statusText = QStringLiteral("version %1 of unit %2").arg(k).arg(i);
    }
}

QByteArray reportVersion(int k)
{
    UnitStatusTable table;
    fillReport(table, k);
    const QString now = Platform::locale().generalDateTimeText(Platform::clock().localNow());
    return PollReport({0, {}, &table}, now).fileText().toUtf8();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The bytes of list version k, as the save writes them.
QByteArray listBytes(int k)
{
    static QTemporaryDir scratch;
    const QString path = QDir(scratch.path()).filePath(kListName);
    return SaveAddressList(path, listVersion(k)) ? contents(path) : QByteArray();
}

// The version a file holds, last or the one after it; nothing when it holds neither whole.
std::optional<int> wholeVersion(const QString& path, int last, QByteArray (*bytesOf)(int))
{
    const QByteArray bytes = contents(path);
    for (int k : {last, last + 1}) {
        if (bytes == bytesOf(k))
            return k;
    }
    return std::nullopt;
}

void acknowledge(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

// The child: writes until it is killed (or gives up after a while, should nobody kill it).
int runWriter(const QString& folder, int firstRecord, int firstList, int firstReport)
{
    ScriptedPlatform platform;
    qputenv("VIGILSTAT_HOME", folder.toLocal8Bit());
    SystemProgramFolder programFolder;
    PlatformServices services = Platform::services();
    services.programFolder = &programFolder;
    Platform::install(services);
    Settings settings;
    settings.LoadSettings();
    settings.setReportSaveFolder(folder);
    settings.setReportFileName(kReportName);
    ExceptionEventLog log(settings);
    ReportOutput reports(settings);
    UnitStatusTable table;
    const QDateTime now = platform.clock.localNow();
    const QString listPath = QDir(folder).filePath(kListName);

    acknowledge("ready\n");
    QElapsedTimer running;
    running.start();
    for (int i = 0; running.elapsed() < 10000; ++i) {
        const int record = firstRecord + i;
        if (log.AddToLog(QStringLiteral("127.0.0.2"), QStringLiteral("seq %1").arg(record), now,
                         QStringLiteral("1,3"), QStringLiteral("5"), QString()))
            acknowledge("log " + QByteArray::number(record) + '\n');
        // Something for the prune to take away.
        log.AddToLog(QStringLiteral("127.0.0.3"), QStringLiteral("old"), now.addDays(-400),
                     QStringLiteral("2"), QString(), QString());
        if (i % 4 == 3 && log.SaveToLog())
            acknowledge("prune\n");
        if (i % 2 == 1) {
            const int version = firstList + i / 2;
            if (SaveAddressList(listPath, listVersion(version)))
                acknowledge("ipl " + QByteArray::number(version) + '\n');
        } else {
            const int version = firstReport + i / 2;
            fillReport(table, version);
            if (reports.SaveReportFile({0, {}, &table}).ok)
                acknowledge("rpt " + QByteArray::number(version) + '\n');
        }
    }
    return 0;
}

} // namespace

class TestKillSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyAcknowledgedWriteSurvives();
};

void TestKillSafety::everyAcknowledgedWriteSurvives()
{
    constexpr int kills = 300;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ScriptedPlatform platform;
    const QString logPath = QDir(dir.path()).filePath(QStringLiteral("ExceptionEventLog.evt"));

    QSet<int> acknowledged;
    int lastList = -1; // none saved yet
    int lastReport = -1;
    int prunes = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(),
                     {kWriterFlag, dir.path(), QString::number(kill * 1000000),
                      QString::number(lastList + 1), QString::number(lastReport + 1)});
        QVERIFY(writer.waitForReadyRead(20000));
        QThread::usleep(QRandomGenerator::global()->bounded(40000));
        writer.kill();
        QVERIFY(writer.waitForFinished(20000));

        for (const QByteArray& line : writer.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            const int number = words.value(1).toInt();
            if (words.at(0) == "log")
                acknowledged.insert(number);
            else if (words.at(0) == "ipl")
                lastList = number;
            else if (words.at(0) == "rpt")
                lastReport = number;
            else
                prunes += words.at(0) == "prune";
        }

        QSet<int> present;
        for (QByteArray line : contents(logPath).split('\n')) {
            const auto record = EventRecord::fromLine(line.trimmed());
            if (record && record->description.startsWith(QStringLiteral("seq ")))
                present.insert(record->description.mid(4).toInt());
        }
        QVERIFY2((acknowledged - present).isEmpty(), qPrintable(QString::number(kill)));

        for (auto [name, last, bytesOf] : {std::tuple{kListName, &lastList, &listBytes},
                                           std::tuple{kReportName, &lastReport, &reportVersion}}) {
            if (*last < 0)
                continue;
            const auto version = wholeVersion(QDir(dir.path()).filePath(name), *last, bytesOf);
            QVERIFY2(version,
                     qPrintable(QStringLiteral("kill %1: %2 not whole").arg(kill).arg(name)));
            *last = *version;
        }
        QVERIFY(platform.prompts.shown.isEmpty());
    }
    qInfo("%d kills, %d records acknowledged, %d prunes, last list %d, last report %d", kills,
          int(acknowledged.size()), prunes, lastList, lastReport);
    // The kills must have landed in the middle of the work, not only before it.
    QVERIFY(acknowledged.size() > kills && prunes > 0 && lastList > 0 && lastReport > 0);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 6 && arguments.at(1) == kWriterFlag)
        return runWriter(arguments.at(2), arguments.at(3).toInt(), arguments.at(4).toInt(),
                         arguments.at(5).toInt());
    TestKillSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killsafety.moc"
