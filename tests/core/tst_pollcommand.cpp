#include "directory/AddressListFile.h"
#include "ScriptedPlatform.h"
#include "SimulatedSite.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// vigilstat-poll itself, with the real adapters, against simulated units served by this process.
class TestPollCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exitCodes_data();
    void exitCodes();
};

void TestPollCommand::exitCodes_data()
{
    QTest::addColumn<QStringList>("arguments"); // "@list" stands for the list file
    QTest::addColumn<QStringList>("units");     // faults of each unit
    QTest::addColumn<int>("exitCode");
    // A line of the report, lines and parts of lines around a line break, or "2>" and a message
    // start.
    QTest::addColumn<QString>("expected");
    const QStringList list{u"--list"_s, u"@list"_s};
    const QString success = u"    Connected and Received Status Successfully!"_s;
    QTest::newRow("help") << QStringList{u"--help"_s} << QStringList() << 0 << u"Exit status:"_s;
    QTest::newRow("unknown option") << QStringList{u"--every"_s} << QStringList() << 2
                                    << u"2>vigilstat-poll: Unknown option 'every'."_s;
    QTest::newRow("extra argument") << QStringList{u"now"_s} << QStringList() << 2
                                    << u"2>vigilstat-poll: unexpected argument: now"_s;
    QTest::newRow("missing list") << QStringList{u"--list"_s, u"none.ipl"_s} << QStringList() << 2
                                  << u"2>vigilstat-poll: Cannot open "_s;
    QTest::newRow("empty list") << list << QStringList() << 2
                                << u"2>vigilstat-poll: No Unit Address list loaded!"_s;
    QTest::newRow("all answer, the list of the settings")
        << QStringList() << QStringList{u""_s, u"pieces=3"_s} << 0 << success;
    QTest::newRow("one refuses") << list << QStringList{u"refuse-connection"_s, u""_s} << 1
                                 << u"    Unable to Connect..."_s;
    QTest::newRow("parallel 257") << QStringList{u"--parallel=257"_s} << QStringList() << 2
                                  << u"2>vigilstat-poll: --parallel takes a number from 1 to 256"_s;
    // The unit that never answers is told last.
    QTest::newRow("three at once")
        << QStringList{u"--parallel=3"_s} + list << QStringList{u"never-answer"_s, u""_s, u""_s}
        << 1 << u"Successfully!\n[1] "_s;
    QTest::newRow("clocks set") << QStringList{u"--sync"_s} + list << QStringList{u""_s} << 0
                                << u"    Connected and Synchronized Unit Successfully!"_s;
    QTest::newRow("interrupted") << list << QStringList{u"never-answer"_s} << 1
                                 << u"    The Polling Process Was Cancelled By User!"_s;
}

void TestPollCommand::exitCodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, units);
    QFETCH(int, exitCode);
    QFETCH(QString, expected);
    ScriptedPlatform platform;
    SimulatedSite site;
    for (const QString& faults : units)
        QVERIFY(site.addUnit(faults));
    QTemporaryDir folder;
    const QString home = folder.filePath(u"home"_s);
    QVERIFY(QDir().mkpath(home));
    const QString listFile = home + u"/IPAddressList.ipl"_s; // the setting's default
    QVERIFY(SaveAddressList(listFile, site.lists));
    arguments.replaceInStrings(u"@list"_s, listFile);

    QProcess command;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"VIGILSTAT_REGISTRY_DIR"_s, folder.filePath(u"registry"_s));
    environment.insert(u"VIGILSTAT_HOME"_s, home);
    command.setProcessEnvironment(environment);
    command.setWorkingDirectory(folder.path());
    command.start(QStringLiteral(VIGILSTAT_POLL_COMMAND), arguments);
    QString out;
    const bool interrupt = QTest::currentDataTag() == "interrupted"_L1;
    // The simulated units answer from this event loop, so the wait must keep it running.
    QVERIFY(QTest::qWaitFor(
        [&] {
            out += QString::fromUtf8(command.readAllStandardOutput());
            if (interrupt && out.contains(u"[1] "_s) && command.state() == QProcess::Running)
                command.terminate();
            return command.state() == QProcess::NotRunning;
        },
        60000));
    out += QString::fromUtf8(command.readAllStandardOutput());
    const QString err = QString::fromUtf8(command.readAllStandardError());
    QCOMPARE(command.exitStatus(), QProcess::NormalExit);
    QCOMPARE(command.exitCode(), exitCode);
    if (expected.startsWith(u"2>"_s))
        QVERIFY2(err.startsWith(expected.mid(2)), qPrintable(err));
    else
        QVERIFY2(expected.contains(u'\n') ? out.contains(expected)
                                          : out.split(u'\n').contains(expected),
                 qPrintable(out));
    // Only a cycle that ran to its end saves its report.
    QCOMPARE(QFile::exists(home + u"/report.txt"_s),
             !units.isEmpty() && exitCode != 2 && !interrupt);
}

QTEST_GUILESS_MAIN(TestPollCommand)
#include "tst_pollcommand.moc"
