#include "core/ReportFileName.h"
#include "core/ReportOutput.h"
#include "core/UnitStatusTable.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"

#include <optional>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestReportOutput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void reportOfACycle_data();
    void reportOfACycle();
    void rollingSavesOfNothingAndTheirCommands();
    void failedWriteAndPrintKeepQuiet();

private:
    // Slot 0 connected, slot 2 failed with slot 0's address, slot 3 a phone unit.
    void fillTable(int failure)
    {
        const auto put = [this](int slot, const QString& address, const QString& name, int result) {
            UnitStatusSlot& unit = m_table[slot];
            unit.attempted = true, unit.address = address, unit.description = name;
            unit.connected = result == 1, unit.resultCode = result;
            unit.pollTime = wallClock({2026, 6, 15}, QTime(9, slot));
        };
        put(0, u"10.0.0.1"_s, u"Lobby"_s, 1);
        m_table[0].statusText = u"head\r\nUnit Type:  Korvo"_s;
        put(2, u"10.0.0.1"_s, u"Annex"_s, failure);
        put(3, u"5551234"_s, u"Depot"_s, 7);
    }

    std::optional<ScriptedPlatform> m_platform;
    std::optional<Settings> m_settings;
    UnitStatusTable m_table;
    CycleReport m_report;
};

void TestReportOutput::init()
{
    m_platform.emplace();
    m_platform->clock.biasMinutes = 300; // local time is not UTC
    m_platform->clock.setLocal(wallClock({2026, 6, 15}, QTime(9, 30)));
    m_settings.emplace();
    m_settings->LoadSettings();
    m_table.clear();
    m_report = {0, {"10.0.0.1", "10.0.0.1", "5551234"}, &m_table};
}

// The expected files below: the time of the report is 6/15/2026 9:30:00 AM, unit n was polled
// at 9:0n. The first and last lines are left out; they are the same for every report.
void TestReportOutput::reportOfACycle_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("file");
    QTest::newRow("status") << 0 << uR"(    VigilStat Status Report
      6/15/2026 9:30:00 AM


Report Summary:

Successful Connections:
[1] 10.0.0.1  -  Lobby   6/15/2026 9:00:00 AM

Unsuccessful Connections:
[1] 10.0.0.1  -  Annex   6/15/2026 9:02:00 AM
[3] 5551234  -  Depot   6/15/2026 9:03:00 AM


Report Details:

[1] ***************************************************************
head
Unit Type:  Korvo


[1] ***************************************************************
10.0.0.1  -  Annex   6/15/2026 9:02:00 AM
Could not connect ...

[3] ***************************************************************
5551234  -  Depot   6/15/2026 9:03:00 AM
Modem could not Connect...
)"_s;
    QTest::newRow("synchronization") << 1 << uR"(    VigilStat Unit Synchronization Report
                6/15/2026 9:30:00 AM


Report Summary:

Successful Connections:
[1] 10.0.0.1  -  Lobby   6/15/2026 9:00:00 AM
Unit Time of this unit was successfully updated!

Unsuccessful Connections:
[1] 10.0.0.1  -  Annex   6/15/2026 9:02:00 AM
Unable to Connect ( Invalid Password )...
[3] 5551234  -  Depot   6/15/2026 9:03:00 AM
Modem could not Connect...


)"_s;
}

void TestReportOutput::reportOfACycle()
{
    QFETCH(int, mode);
    QFETCH(QString, file);
    fillTable(2);
    m_report.operatingMode = mode;
    ReportOutput output(*m_settings);
    QFile saved(output.SaveReportFile(m_report).path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QStringList lines = file.split(u'\n');
    QCOMPARE(QString::fromUtf8(saved.readAll()),
             u"\r\n"_s + lines.join(u"\r\n"_s) + u"\r\n         ---000---\r\n"_s);

    // The printout: its own title lines, then the file's summary and details in small print.
    output.PrintReportCommand(m_report);
    QCOMPARE(m_platform->prompts.texts(), {u"Report has been printed!"_s});
    QList<PrintLine> expected{{QString(mode ? 4 : 13, u' ') + lines[0].trimmed(), 12, true}};
    if (mode == 1)
        expected += PrintLine{"", 12, true};
    expected += PrintLine{QString(17, u' ') + lines[1].trimmed(), 12, true};
    for (const QString& line : lines.mid(3))
        expected += PrintLine{line, 8, true};
    expected += PrintLine{QString(22, u' ') + "---000---", 12, true};
    QVERIFY(m_platform->printer.jobs.at(0).lines() == expected);
}

void TestReportOutput::rollingSavesOfNothingAndTheirCommands()
{
    QCOMPARE(ReportFileName::fileName(u"daily"_s, false, 4), u"daily.txt"_s);
    QCOMPARE(ReportFileName::fileName(u"daily"_s, true, 0), u"daily0000.txt"_s);
    QCOMPARE(ReportFileName::fileName(u"site.a.log"_s, true, 12), u"site0012.a.log"_s);
    m_settings->setReportFileName(u"site.rpt"_s);
    m_settings->SaveOption(Settings::Option::FileSaveOption, 1);
    m_settings->setRollingNumber(32766);
    ReportOutput output(*m_settings);
    QSignalSpy numbers(&output, &ReportOutput::rollingNumberChanged);
    output.PreviewReport(1); // nothing saved in this run yet
    output.PrintReportCommand(m_report);
    const QString none = u"There is no valid data available. Please %1 the units first!"_s;
    QCOMPARE(m_platform->prompts.texts(), QStringList({none.arg("Synchronize"), none.arg("Poll")}));

    const QString folder = m_platform->programFolder.path() + u'/';
    for (const char* name : {"site32766.rpt", "site32767.rpt", "site0000.rpt"})
        QCOMPARE(output.SaveReportFile(m_report).path, folder + QLatin1String(name));
    QFile saved(folder + u"site0000.rpt");
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().endsWith("Successful Connections:\r\nNone\r\n\r\nUnsuccessful "
                                     "Connections:\r\nNone\r\n\r\n\r\nReport Details:\r\n\r\n"
                                     "         ---000---\r\n"));
    QCOMPARE(numbers.size(), 3);
    QCOMPARE(m_settings->rollingNumber(), 1);

    output.PreviewReport(0);
    m_platform->fileDialogs.answers.enqueue(folder + u"site0001.rpt");
    output.ChooseReport();
    const FileDialogRequest& asked = m_platform->fileDialogs.requests.at(0).request;
    QCOMPARE(asked.title, u"Choose VigilStat Report"_s);
    QCOMPARE(asked.filter, u"Report Files (*.txt)|*.txt|Special Report Files (*.rpt)|*.rpt"_s);
    QCOMPARE(asked.folder, m_settings->reportSaveFolder());
    QCOMPARE(m_platform->launcher.calls.value(0).path, folder + u"site0000.rpt");
    QCOMPARE(m_platform->launcher.calls.value(1).path, folder + u"site0001.rpt");
}

void TestReportOutput::failedWriteAndPrintKeepQuiet()
{
    // The name leaves no room for the temporary file's suffix, so only the new file fails.
    const QString name = QString(250, u'r') + u".txt"_s;
    QFile old(m_platform->programFolder.file(name));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old report") == 10);
    old.close();
    m_settings->setReportFileName(name);
    fillTable(0);
    m_platform->printer.fail = true;
    ReportOutput output(*m_settings);
    const auto saved = output.SaveReportFile(m_report);
    QVERIFY(!saved.ok);
    QCOMPARE(saved.path, old.fileName());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), "old report");
    QVERIFY(!output.PrintReport(m_report));
    QVERIFY(m_platform->prompts.shown.isEmpty());

    output.PrintReportCommand(m_report);
    QCOMPARE(m_platform->prompts.texts(), {u"There has been a problem printing the report.\n"
                                           "Please ensure that a printer is installed on your "
                                           "computer!"_s});
}

QTEST_GUILESS_MAIN(TestReportOutput)
#include "tst_reportoutput.moc"
