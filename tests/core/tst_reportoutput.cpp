#include "core/ReportFileName.h"
#include "core/ReportOutput.h"
#include "core/UnitStatusTable.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"
#include "TestFiles.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestReportOutput : public QObject
{
    Q_OBJECT

    std::optional<ScriptedPlatform> m_platform;
    std::optional<Settings> m_settings;
    UnitStatusTable m_table;
    CycleReport m_report;

private Q_SLOTS:
    void init()
    {
        m_platform.emplace();
        m_platform->clock.biasMinutes = 300; // local time is not UTC
        m_platform->clock.setLocal(wallClock({2026, 6, 15}, QTime(9, 30)));
        m_settings.emplace();
        m_settings->LoadSettings();
        m_report = {0, {"10.0.0.1", "10.0.0.1", "5551234"}, &m_table};
        // Slot 0 connected, slot 2 refused with slot 0's address, slot 3 a phone unit.
        const std::tuple<int, const char*, const char*, int> units[] = {
            {0, "10.0.0.1", "Lobby", 1}, {2, "10.0.0.1", "Annex", 2}, {3, "5551234", "Depot", 7}};
        m_table.clear();
        for (const auto& [slot, address, name, result] : units) {
            UnitStatusSlot& unit = m_table[slot];
            unit.attempted = true, unit.address = address, unit.description = name;
            unit.connected = result == 1, unit.resultCode = result;
            unit.pollTime = wallClock({2026, 6, 15}, QTime(9, slot));
        }
        m_table[0].statusText = u"head\r\nUnit Type:  Korvo"_s;
    }

    // The expected files, with the CR LF line ends stored as LF: the time of the report is
    // 6/15/2026 9:30:00 AM, unit n was polled at 9:0n.
    void reportOfACycle_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("status") << 0;
        QTest::newRow("synchronization") << 1;
    }

    void reportOfACycle()
    {
        QFETCH(int, mode);
        m_report.operatingMode = mode;
        ReportOutput output(*m_settings);
        const QString file = QString::fromUtf8(TestFiles::read(
            QFINDTESTDATA(u"../data/reportoutput/"_s + QTest::currentDataTag() + u".txt"_s)));
        const QStringList lines = file.split(u'\n');
        QVERIFY(lines.size() > 10);
        QCOMPARE(TestFiles::read(output.SaveReportFile(m_report).path),
                 QString(file).replace(u"\n"_s, u"\r\n"_s).toUtf8());

        // The printout: its own title lines, then the file's summary and details in small print.
        output.PrintReportCommand(m_report);
        QCOMPARE(m_platform->prompts.texts(), {u"Report has been printed!"_s});
        QList<PrintLine> expected{{QString(mode ? 4 : 13, u' ') + lines[1].trimmed(), 12, true}};
        if (mode == 1)
            expected += PrintLine{"", 12, true};
        expected += PrintLine{QString(17, u' ') + lines[2].trimmed(), 12, true};
        for (const QString& line : lines.mid(4, lines.size() - 6))
            expected += PrintLine{line, 8, true};
        expected += PrintLine{QString(22, u' ') + "---000---", 12, true};
        QVERIFY(m_platform->printer.jobs.at(0).lines() == expected);
    }

    void rollingSavesAndTheirCommands()
    {
        QCOMPARE(ReportFileName::fileName(u"daily"_s, false, 4), u"daily.txt"_s);
        m_table.clear(); // nothing polled
        m_settings->setReportFileName(u"site.a.rpt"_s);
        m_settings->SaveOption(Settings::Option::FileSaveOption, 1);
        m_settings->setRollingNumber(32766);
        ReportOutput output(*m_settings);
        QSignalSpy numbers(&output, &ReportOutput::rollingNumberChanged);
        output.PreviewReport(1); // nothing saved in this run yet
        output.PrintReportCommand(m_report);
        const QString none = u"There is no valid data available. Please %1 the units first!"_s;
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList({none.arg("Synchronize"), none.arg("Poll")}));

        const QString folder = m_platform->programFolder.path() + u'/';
        for (const char* name : {"site32766.a.rpt", "site32767.a.rpt", "site0000.a.rpt"})
            QCOMPARE(output.SaveReportFile(m_report).path, folder + QLatin1String(name));
        const QString nothing = PollReport(m_report, {}).fileText();
        QVERIFY(
            nothing.endsWith(u"Successful Connections:\r\nNone\r\n\r\nUnsuccessful Connections:\r\n"
                             u"None\r\n\r\n\r\nReport Details:\r\n\r\n         ---000---\r\n"));
        QCOMPARE(numbers.size(), 3);
        QCOMPARE(m_settings->rollingNumber(), 1);

        output.PreviewReport(0);
        m_platform->fileDialogs.answers.enqueue(folder + u"site0001.a.rpt");
        output.ChooseReport();
        const FileDialogRequest& asked = m_platform->fileDialogs.requests.at(0);
        QCOMPARE(asked.title, u"Choose VigilStat Report"_s);
        QCOMPARE(asked.filter,
                 u"Report Files (*.txt)|*.txt|Special Report Files (*.a.rpt)|*.a.rpt"_s);
        QCOMPARE(asked.folder, m_settings->reportSaveFolder());
        QCOMPARE(m_platform->launcher.calls.value(0).path, folder + u"site0000.a.rpt");
        QCOMPARE(m_platform->launcher.calls.value(1).path, folder + u"site0001.a.rpt");

        // The name leaves no room for the temporary file's suffix: only the new file can fail.
        m_settings->setReportFileName(QString(246, u'r') + u".txt"_s);
        const QString old = folder + QString(246, u'r') + u"0001.txt"_s;
        TestFiles::write(old, "old report");
        QCOMPARE(output.SaveReportFile(m_report).path, old);
        QCOMPARE(TestFiles::read(old), "old report");
        QCOMPARE(m_settings->rollingNumber(), 1);

        m_table[0].attempted = true;
        m_platform->printer.fail = true;
        QVERIFY(!output.PrintReport(m_report));
        QCOMPARE(m_platform->prompts.texts().size(), 2); // nothing told of either failure
        output.PrintReportCommand(m_report);
        QCOMPARE(m_platform->prompts.texts().last(),
                 u"There has been a problem printing the report.\n"
                 "Please ensure that a printer is installed on "
                 "your computer!"_s);
    }
};

QTEST_GUILESS_MAIN(TestReportOutput)
#include "tst_reportoutput.moc"
