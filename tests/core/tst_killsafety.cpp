// A writer process is killed with SIGKILL at random moments while it appends to the exception
// log, prunes it, and replaces the address list file and a report file. After every kill, each
// record the writer had been told was written must still be there, and each file must be a whole
// version.

#include "core/ReportOutput.h"
#include "core/UnitStatusTable.h"
#include "directory/AddressListFile.h"
#include "exceptions/EventRecord.h"
#include "exceptions/ExceptionEventLog.h"
#include "platform/ProgramFolder.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"
#include "TestFiles.h"

#include <cstdio>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

const QString kWriterFlag = QStringLiteral("--writer");
// The address list and the report file.
const QString kFiles[2] = {QStringLiteral("IPAddressList.ipl"), QStringLiteral("report.txt")};

// Writes version k of a file into folder: a list of 1 + k % 7 units or a report of 1 + k % 5,
// each naming its version. No passwords: their encoding differs from one save to the next.
bool writeVersion(const QString& folder, int file, int k)
{
    if (file == 0) {
        UnitAddressList list;
        for (int i = 0; i <= k % 7; ++i)
            list.append({QStringLiteral("127.0.%1.%2").arg(k % 250).arg(i + 1),
                         QStringLiteral("v%1").arg(k), QString(), QStringLiteral("GMT-05:00"),
                         QStringLiteral("USA"), QStringLiteral("1"), QStringLiteral("0")});
        return SaveAddressList(QDir(folder).filePath(kFiles[0]), list);
    }
    UnitStatusTable table;
    for (int i = 0; i <= k % 5; ++i) {
        table[i].attempted = table[i].connected = true;
        table[i].address = QStringLiteral("127.0.0.%1").arg(i + 2);
        table[i].statusText = QStringLiteral("version %1 of unit %2").arg(k).arg(i);
    }
    Settings settings;
    settings.setReportSaveFolder(folder);
    settings.setReportFileName(kFiles[1]);
    return ReportOutput(settings).SaveReportFile({0, {}, &table}).ok;
}

// The bytes of version k, as the writer writes them.
QByteArray versionBytes(int file, int k)
{
    static QTemporaryDir scratch;
    return writeVersion(scratch.path(), file, k) ? TestFiles::read(scratch.filePath(kFiles[file]))
                                                 : QByteArray();
}

void acknowledge(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fflush(stdout);
}

// The child: writes until it is killed (or gives up after a while, should nobody kill it).
int runWriter(const QString& folder, int firstRecord, const int firstVersion[2])
{
    ScriptedPlatform platform;
    qputenv("VIGILSTAT_HOME", folder.toLocal8Bit());
    SystemProgramFolder programFolder;
    PlatformServices services = Platform::services();
    services.programFolder = &programFolder;
    Platform::install(services);
    Settings settings;
    settings.LoadSettings();
    ExceptionEventLog log(settings);
    const QDateTime now = platform.clock.localNow();

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
        const int version = firstVersion[i % 2] + i / 2;
        if (writeVersion(folder, i % 2, version))
            acknowledge(QByteArray::number(i % 2) + ' ' + QByteArray::number(version) + '\n');
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

    QSet<int> acknowledged;
    int last[2] = {-1, -1}; // the versions of the files acknowledged last, none yet
    int prunes = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(),
                     {kWriterFlag, dir.path(), QString::number(kill * 1000000),
                      QString::number(last[0] + 1), QString::number(last[1] + 1)});
        QVERIFY(writer.waitForReadyRead(20000));
        QThread::usleep(QRandomGenerator::global()->bounded(40000));
        writer.kill();
        QVERIFY(writer.waitForFinished(20000));

        for (const QByteArray& line : writer.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            const int number = words.value(1).toInt();
            if (words.at(0) == "log")
                acknowledged.insert(number);
            else if (words.at(0) == "0" || words.at(0) == "1")
                last[words.at(0).toInt()] = number;
            else
                prunes += words.at(0) == "prune";
        }

        QSet<int> present;
        for (QByteArray line :
             TestFiles::read(dir.filePath(QStringLiteral("ExceptionEventLog.evt"))).split('\n')) {
            const auto record = EventRecord::fromLine(line.trimmed());
            if (record && record->description.startsWith(QStringLiteral("seq ")))
                present.insert(record->description.mid(4).toInt());
        }
        QVERIFY2((acknowledged - present).isEmpty(), qPrintable(QString::number(kill)));

        // Each file holds the version acknowledged last or the one after it, whole.
        for (int file : {0, 1}) {
            if (last[file] < 0)
                continue;
            const QByteArray bytes = TestFiles::read(dir.filePath(kFiles[file]));
            last[file] += bytes != versionBytes(file, last[file]);
            QVERIFY2(
                bytes == versionBytes(file, last[file]),
                qPrintable(QStringLiteral("kill %1: %2 not whole").arg(kill).arg(kFiles[file])));
        }
        QVERIFY(platform.prompts.shown.isEmpty());
    }
    qInfo("%d kills, %d records acknowledged, %d prunes, last list %d, last report %d", kills,
          int(acknowledged.size()), prunes, last[0], last[1]);
    // The kills must have landed in the middle of the work, not only before it.
    QVERIFY(acknowledged.size() > kills && prunes > 0 && last[0] > 0 && last[1] > 0);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 6 && arguments.at(1) == kWriterFlag) {
        const int firstVersion[2] = {arguments.at(4).toInt(), arguments.at(5).toInt()};
        return runWriter(arguments.at(2), arguments.at(3).toInt(), firstVersion);
    }
    TestKillSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_killsafety.moc"
