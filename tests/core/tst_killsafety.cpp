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

class FixedProgramFolder : public ProgramFolder
{
public:
    explicit FixedProgramFolder(QString folder) : m_folder(std::move(folder)) {}
    QString path() const override { return m_folder; }

private:
    QString m_folder;
};

// Version k of the address list: 1 + k % 7 units that all name their version.
UnitAddressList listVersion(int k)
{
    UnitAddressList list;
    for (int i = 0; i <= k % 7; ++i)
        list.append({QStringLiteral("127.0.%1.%2").arg(k % 250).arg(i + 1),
                     QStringLiteral("v%1").arg(k), QStringLiteral("1234"),
                     QStringLiteral("GMT-05:00"), QStringLiteral("USA"), QStringLiteral("1"),
                     QStringLiteral("0")});
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

std::optional<int> versionOf(const UnitAddressList& list)
{
    if (list.count() == 0 || !list.Descript.at(0).startsWith(u'v'))
        return std::nullopt;
    bool ok = false;
    const int k = list.Descript.at(0).mid(1).toInt(&ok);
    if (!ok || list.count() != listVersion(k).count())
        return std::nullopt;
    for (int i = 0; i < list.count(); ++i) {
        if (list.record(i) != listVersion(k).record(i))
            return std::nullopt;
    }
    return k;
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
    FixedProgramFolder programFolder(folder);
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
    const int kills = qEnvironmentVariableIntValue("VIGILSTAT_KILLS") > 0
                          ? qEnvironmentVariableIntValue("VIGILSTAT_KILLS")
                          : 300;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    ScriptedPlatform platform;
    const QString logPath = QDir(dir.path()).filePath(QStringLiteral("ExceptionEventLog.evt"));
    const QString listPath = QDir(dir.path()).filePath(kListName);

    QSet<int> acknowledged;
    int nextRecord = 0;
    int lastList = -1; // none saved yet
    int lastReport = -1;
    int prunes = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(),
                     {kWriterFlag, dir.path(), QString::number(nextRecord),
                      QString::number(lastList + 1), QString::number(lastReport + 1)});
        QVERIFY(writer.waitForReadyRead(20000));
        QThread::usleep(QRandomGenerator::global()->bounded(40000));
        writer.kill();
        QVERIFY(writer.waitForFinished(20000));

        for (const QByteArray& line : writer.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.at(0) == "log") {
                acknowledged.insert(words.at(1).toInt());
                nextRecord = qMax(nextRecord, words.at(1).toInt() + 1);
            } else if (words.at(0) == "ipl") {
                lastList = words.at(1).toInt();
            } else if (words.at(0) == "rpt") {
                lastReport = words.at(1).toInt();
            } else if (words.at(0) == "prune") {
                ++prunes;
            }
        }
        // A record written but not yet acknowledged may be written again: its number is skipped.
        ++nextRecord;

        QFile log(logPath);
        QSet<int> present;
        if (log.open(QIODevice::ReadOnly)) {
            for (QByteArray line : log.readAll().split('\n')) {
                if (line.endsWith('\r'))
                    line.chop(1);
                const auto record = EventRecord::fromLine(line);
                if (record && record->description.startsWith(QStringLiteral("seq ")))
                    present.insert(record->description.mid(4).toInt());
            }
        }
        const QSet<int> lost = acknowledged - present;
        QVERIFY2(lost.isEmpty(), qPrintable(QStringLiteral("kill %1 lost record %2")
                                                .arg(kill)
                                                .arg(lost.isEmpty() ? -1 : *lost.begin())));

        if (lastList >= 0) {
            UnitAddressList list;
            QCOMPARE(LoadAddressList(listPath, list), AddressListLoad::Loaded);
            const auto version = versionOf(list);
            QVERIFY2(version && (*version == lastList || *version == lastList + 1),
                     qPrintable(QStringLiteral("kill %1: not a whole list").arg(kill)));
            lastList = *version;
        }
        if (lastReport >= 0) {
            QFile report(QDir(dir.path()).filePath(kReportName));
            QVERIFY(report.open(QIODevice::ReadOnly));
            const QByteArray text = report.readAll();
            if (text == reportVersion(lastReport + 1))
                ++lastReport;
            else
                QVERIFY2(text == reportVersion(lastReport),
                         qPrintable(QStringLiteral("kill %1: not a whole report").arg(kill)));
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
