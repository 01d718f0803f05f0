#include "ExceptionLogFixture.h"
#include "exceptions/clsExceptionHandler.h"
#include "exceptions/ExceptionLogExport.h"
#include "exceptions/ExceptionLogModel.h"
#include "exceptions/forms/frmExceptionLog.h"
#include "exceptions/forms/frmExportType.h"
#include "ModalDriver.h"
#include "platform/PrintDocument.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A printed document, one "size weight|text" line per printed line.
QStringList printed(const PrintDocument& job)
{
    QString page;
    for (const PrintLine& line : job.lines())
        page +=
            u"%1 %2|%3\n"_s.arg(line.pointSize).arg(line.bold ? u"bold"_s : u"plain"_s, line.text);
    return page.split(u'\n');
}

QString unzipped(const QString& archive, const QString& member)
{
    QProcess unzip;
    unzip.start(u"unzip"_s, {u"-p"_s, archive, member});
    unzip.waitForFinished();
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

// The cells of the workbook's first sheet: "A1" -> text or value, "A1#s" -> its style index.
QMap<QString, QString> workbookCells(const QString& path)
{
    QMap<QString, QString> cells;
    static const QRegularExpression cell(
        uR"re(<c r="([A-Z]+\d+)"(?: s="(\d+)")?[^>]*>(?:<is><t>([^<]*)</t></is>|<v>([^<]*)</v>))re"_s);
    const QString sheet = unzipped(path, u"xl/worksheets/sheet1.xml"_s);
    for (const auto& m : cell.globalMatch(sheet)) {
        cells[m.captured(1)] = m.captured(3).isEmpty() ? m.captured(4) : m.captured(3);
        cells[m.captured(1) + u"#s"_s] = m.captured(2);
    }
    return cells;
}

} // namespace

class TestExceptionLogViewer : public QObject, ExceptionLogFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setUp(); }
    void cleanup()
    {
        m_viewer.reset();
        tearDown();
    }

    void statusLabel_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("previewBox");
        QTest::newRow("none, one day") << 0 << 1 << u"  Exception Log:   0 Event in past 1 day"_s
                                       << u"No new exception event happened during past 1 day!"_s;
        QTest::newRow("none, a week") << 0 << 7 << u"  Exception Log:   0 Event in past 7 days"_s
                                      << u"No new exception event happened during past 7 days!"_s;
        QTest::newRow("one") << 1 << 7 << u"  Exception Log:   1 Event in past 7 days"_s
                             << QString();
        QTest::newRow("many, one day")
            << 4 << 1 << u"  Exception Log:   5 Events in past 1 day"_s << QString();
    }

    void statusLabel()
    {
        QFETCH(int, records);
        QFETCH(int, days);
        m_settings->setLogKeepDays(qint16(days));
        if (records > 0)
            writeLog(someRecords(records));
        open(1);
        QFETCH(QString, label);
        QCOMPARE(m_viewer->findChild<QLabel*>(u"lblStatus"_s)->text(), label);
        QFETCH(QString, previewBox);
        if (!previewBox.isEmpty()) {
            QTest::mouseClick(m_viewer->findChild<QPushButton*>(u"cmdPreview"_s), Qt::LeftButton);
            QCOMPARE(m_platform->prompts.texts(), QStringList{previewBox});
        }
    }

    void sortOrders_data()
    {
        QTest::addColumn<int>("fullDetails");
        QTest::addColumn<QString>("clicks"); // header sections, and "m" for the other mode
        QTest::addColumn<QString>("rows");
        const auto row = [](const char* name, int fullDetails, const char* clicks,
                            const char* rows) {
            QTest::newRow(name) << fullDetails << QString::fromLatin1(clicks)
                                << QString::fromLatin1(rows);
        };
        row("opens newest first", 1, "", "11N 11T 10N 09U 08T");
        row("latest events open newest first", 0, "", "11N 11T 09U 08T");
        row("polling time again: oldest first", 1, "2", "08T 09U 10N 11N 11T");
        row("address ascending, as text", 1, "0", "09U 10N 11N 11T 08T");
        row("description, case aside", 1, "1", "09U 10N 11N 11T 08T");
        row("description twice: descending", 1, "1 1", "08T 10N 11N 11T 09U");
        row("event, ties by address", 1, "3", "10N 11N 11T 08T 09U");
        row("mode switch keeps descending", 0, "1 1 m", "08T 10N 11N 11T 09U");
        row("mode switch keeps ascending", 1, "3 m", "11N 11T 08T 09U");
    }

    void sortOrders()
    {
        QFETCH(int, fullDetails);
        QFETCH(QString, clicks);
        writeLog(someRecords());
        open(fullDetails);
        QHeaderView* header = m_viewer->findChild<QTableView*>(u"TDBList1"_s)->horizontalHeader();
        for (const QString& click : clicks.split(u' ', Qt::SkipEmptyParts)) {
            if (click == u"m")
                m_viewer->findChild<QRadioButton*>(fullDetails ? u"Option1_0"_s : u"Option1_1"_s)
                    ->click();
            else
                Q_EMIT header->sectionClicked(click.toInt());
        }
        QFETCH(QString, rows);
        QCOMPARE(shownRows().join(u' '), rows);
        QCOMPARE(m_settings->option(Settings::Option::FullDetails) != 0,
                 m_viewer->findChild<QRadioButton*>(u"Option1_1"_s)->isChecked());
        QVERIFY(m_platform->prompts.shown.isEmpty());
    }

    void textModePreviewAndPrint()
    {
        m_settings->SaveOption(Settings::Option::LogMode, 1);
        m_settings->setLogFileName(u"report"_s);
        writeLog(someRecords());
        open(1);
        QTest::mouseClick(m_viewer->findChild<QPushButton*>(u"cmdPreview"_s), Qt::LeftButton);
        const QString path = folder(u"report.txt"_s);
        // The report follows the list's own order, not the sorted rows.
        QCOMPARE(linesOf(path), golden("text-report.txt"));
        QCOMPARE(m_platform->launcher.calls.size(), 1);
        QCOMPARE(m_platform->launcher.calls[0].what, u"editor"_s);
        QCOMPARE(m_platform->launcher.calls[0].path, path);

        QTest::mouseClick(m_viewer->findChild<QPushButton*>(u"cmdPrint"_s), Qt::LeftButton);
        QCOMPARE(printed(m_platform->printer.jobs.at(0)), golden("printed-report.txt"));
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList{u"Exception Event Log has been printed!"_s});

        m_platform->printer.fail = true;
        QTest::mouseClick(m_viewer->findChild<QPushButton*>(u"cmdPrint"_s), Qt::LeftButton);
        QCOMPARE(
            m_platform->prompts.texts().last(),
            u"There has been a problem printing the event log.\r\nPlease ensure that a printer "
            "is installed on your computer!"_s);
    }

    void listPrintsToPdf()
    {
        QByteArray log;
        for (int i = 0; i < 150; ++i)
            log += line(u"10.0.%1.1"_s.arg(i), kNow.addSecs(-60 * i), u"1"_s);
        writeLog(log);
        open(1);
        const QString pdf = folder(u"log.pdf"_s);
        qputenv("VIGILSTAT_PRINT_PDF", QFile::encodeName(pdf));
        QTest::mouseClick(m_viewer->findChild<QPushButton*>(u"cmdPrint"_s), Qt::LeftButton);
        qunsetenv("VIGILSTAT_PRINT_PDF");
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList{u"Exception Event Log has been printed!"_s});
        const QString bytes = QString::fromLatin1(TestFiles::read(pdf));
        QVERIFY(bytes.startsWith(u"%PDF"_s));
        QVERIFY2(bytes.count(QRegularExpression(u"/Type\\s*/Page[^s]"_s)) > 1,
                 "150 rows take more than one page");
    }

    // Two formats by one name, the workbook alone, and targets that cannot be written; closing
    // the viewer afterwards prunes the very old record.
    void exports()
    {
        writeLog(line(u"10.0.0.1"_s, kNow.addDays(-400), u"1"_s, {}, {}, u"Old"_s) + someRecords());
        open(1);
        m_platform->prompts.answers.enqueue(PromptAnswer::No);
        exportAs("chkDelimited,chkHtml", folder(u"X"_s));
        QVERIFY(!QFile::exists(folder(u"X"_s)));
        QCOMPARE(linesOf(folder(u"X.txt"_s)), golden("export.txt"));
        QCOMPARE(linesOf(folder(u"X.html"_s)), golden("export.html"));

        const QString path = folder(u"Y.xlsx"_s);
        exportAs("chkExcel", path);
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList({u"The files have been exported! Do you want to launch them?"_s,
                              u"The file has been exported! Do you want to launch it?"_s}));
        QCOMPARE(m_platform->launcher.calls.size(), 1);
        QCOMPARE(m_platform->launcher.calls[0].path, path);
        const FileDialogRequest& request = m_platform->fileDialogs.requests.at(1);
        QCOMPARE(request.title, u"Export Exception Log to:"_s);
        QCOMPARE(request.folder, m_platform->programFolder.path());
        QCOMPARE(request.fileName, u"Exception Log 2026-06-15 12h00"_s);
        QCOMPARE(request.filter, u"Excel File (*.xlsx)|*.xlsx"_s);

        const QMap<QString, QString> cells = workbookCells(path);
        QCOMPARE(QStringList({cells[u"A1"_s], cells[u"B1"_s], cells[u"C1"_s], cells[u"D1"_s]}),
                 QStringList({u"IP/Phone No."_s, u"Description"_s, u"Polling Time"_s,
                              u"Exception Event"_s}));
        // Newest first, as the viewer opened.
        const double day = double(QDate(1899, 12, 30).daysTo(kNow.date()));
        QCOMPARE(cells[u"A2"_s], u"10.0.0.9"_s);
        QCOMPARE(cells[u"C2"_s].toDouble(), day + 11.0 / 24);
        QCOMPARE(cells[u"D3"_s], u"The unit rebooted"_s);
        QCOMPARE(cells[u"B6"_s], u"Zone &lt;B&gt; &amp; co"_s);
        QCOMPARE(cells[u"C6"_s].toDouble(), day + 8.0 / 24);
        QVERIFY(!cells.contains(u"A7"_s));

        // The times carry their date-time format; without one they show as bare numbers.
        QVERIFY(!cells[u"C2#s"_s].isEmpty());
        QVERIFY(unzipped(path, u"xl/styles.xml"_s)
                    .contains(u"formatCode=\"mm/dd/yyyy hh:mm:ss AM/PM\""_s));
        QVERIFY(unzipped(path, u"docProps/core.xml"_s)
                    .contains(u"<dc:title>Exception Log</dc:title>"_s));

        // Root may write any file; a folder in the file's place refuses everyone alike.
        for (const auto& [boxes, name] :
             {std::pair{"chkExcel", "Z.xlsx"}, {"chkDelimited", "Z.txt"}}) {
            const QString blocked = folder(QString::fromLatin1(name));
            QVERIFY(QDir().mkpath(blocked));
            exportAs(boxes, blocked);
            QCOMPARE(m_platform->prompts.texts().last(),
                     blocked + u" already in use.\r\nPlease close it first!"_s);
            QCOMPARE(m_platform->prompts.shown.last().icon, PromptIcon::Warning);
        }
        QCOMPARE(m_platform->launcher.calls.size(), 1);

        QTest::mouseClick(m_viewer->findChild<QPushButton*>(u"cmdClose"_s), Qt::LeftButton);
        QCOMPARE(TestFiles::read(logPath()), someRecords());

        // A quote cannot come from the log, but must not break a field if one ever does.
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const QList<EventListEntry> quoted{{u"a"_s, u"say \"hi\""_s, u"t"_s, u"e"_s, {}}};
        QVERIFY(ExceptionLogExport::writeDelimited(buffer, quoted));
        QVERIFY(ExceptionLogExport::writeHtml(buffer, quoted));
        QVERIFY(buffer.data().startsWith("\"a\",\"say \"\"hi\"\"\",\"t\",\"e\"\r\n"));
        QVERIFY(buffer.data().contains("<td>say &quot;hi&quot;</td>"));
    }

    void exportTypeChecks_data()
    {
        QTest::addColumn<qsizetype>("rows");
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("formats");
        QTest::newRow("nothing ticked")
            << qsizetype(10) << QString() << u"You must select at least one check box!"_s << 0;
        QTest::newRow("a full worksheet") << qsizetype(1048575) << u"chkExcel"_s << QString() << 4;
        QTest::newRow("one row too many")
            << qsizetype(1048576) << u"chkExcel"_s
            << u"There are more Exceptions than the maximum number of rows that are allowed in an "
               "Excel Worksheet(1048576). Therefore the data cannot be exported to an Excel "
               "format. Please uncheck the Excel checkbox."_s
            << 0;
        QTest::newRow("rows limit only the workbook")
            << qsizetype(1048576) << u"chkDelimited,chkHtml"_s << QString() << 3;
    }

    void exportTypeChecks()
    {
        QFETCH(QString, boxes);
        QFETCH(qsizetype, rows);
        QFETCH(int, formats);
        frmExportType dialog(rows);
        for (const QString& box : boxes.split(u',', Qt::SkipEmptyParts))
            dialog.findChild<QCheckBox*>(box)->setChecked(true);
        ModalDriver::click(&dialog, "cmdOK");
        QFETCH(QString, message);
        QCOMPARE(m_platform->prompts.texts(),
                 message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(dialog.formats(), formats);
    }

    void hundredThousandEvents()
    {
        QByteArray log;
        for (int i = 0; i < 100000; ++i)
            log += line(u"10.%1.%2.1"_s.arg(i % 40).arg(i % 250),
                        kNow.addSecs(-5 * ((i * 7919) % 100000)), u"1"_s);
        writeLog(log);

        // Declining the load opens no viewer (one would be closed at once, and tell).
        bool opened = false;
        QTimer closer;
        closer.setSingleShot(true);
        connect(&closer, &QTimer::timeout, [&opened] {
            if (QWidget* viewer = QApplication::activeModalWidget()) {
                opened = true;
                viewer->close();
            }
        });
        closer.start(0);
        m_platform->prompts.answers.enqueue(PromptAnswer::No);
        frmExceptionLog::ViewExceptionLog(*m_settings, nullptr);
        QVERIFY(!opened);

        m_settings->SaveOption(Settings::Option::LogMode, 1);
        open(1);
        QCOMPARE(m_viewer->statusText(), u"  Exception Log:   100000 Events in past 7 days"_s);
        const QList<EventListEntry>& rows = m_viewer->model().entries();
        for (qsizetype i = 1; i < rows.size(); ++i)
            QVERIFY(rows[i - 1].time >= rows[i].time);
        QCOMPARE(m_platform->prompts.shown.size(), 3); // the refused load, the load, the sort
        QVERIFY(m_platform->prompts.texts().last().contains(
            u"It will take a few minutes to sort.\r\n"_s));

        m_platform->prompts.answers.enqueue(PromptAnswer::No);
        QTest::mouseClick(m_viewer->findChild<QPushButton*>(u"cmdPreview"_s), Qt::LeftButton);
        QVERIFY(m_platform->prompts.texts().last().contains(u"to create the text file.\r\n"_s));
        QVERIFY(m_platform->launcher.calls.isEmpty());
    }

private:
    // Five list entries in Full Details, four in Latest Events; every one is named in the tests
    // by the hour of its time and the first letter of its event ("11T": 11:00, "The unit
    // rebooted").
    QByteArray someRecords(int count = 4) const
    {
        const QList<QByteArray> records{
            line(u"10.0.0.9"_s, kNow.addSecs(-7200), u"1"_s),
            line(u"10.0.0.10"_s, kNow.addSecs(-3 * 3600), u"15"_s, {}, {}, u"gate"_s),
            line(u"10.0.0.9"_s, kNow.addSecs(-3600), u"1,8"_s),
            line(u"5551234"_s, kNow.addSecs(-4 * 3600), u"8"_s, {}, {}, u"Zone <B> & co"_s)};
        return records.mid(0, count).join();
    }

    void open(int fullDetails)
    {
        m_settings->SaveOption(Settings::Option::FullDetails, qint16(fullDetails));
        const QString loaded = clsExceptionHandler(*m_settings).GetFromLog();
        m_viewer = std::make_unique<frmExceptionLog>(*m_settings, loaded);
    }

    QStringList shownRows() const
    {
        QStringList rows;
        for (const EventListEntry& e : m_viewer->model().entries())
            rows.append(e.time.toString(u"HH"_s) + e.eventText.left(1));
        return rows;
    }

    // Exports through the dialogs: ticks the boxes, answers the save dialog with the path.
    void exportAs(const char* boxes, const QString& path)
    {
        m_platform->fileDialogs.answers.enqueue(path);
        ModalDriver::onNext(u"frmExportType"_s, [boxes](QWidget* dialog) {
            for (const QString& box : QString::fromLatin1(boxes).split(u','))
                dialog->findChild<QCheckBox*>(box)->setChecked(true);
            ModalDriver::click(dialog, "cmdOK");
        });
        QTest::mouseClick(m_viewer->findChild<QPushButton*>(u"cmdExport"_s), Qt::LeftButton);
    }

    QString folder(const QString& name) const { return m_platform->programFolder.file(name); }

    std::unique_ptr<frmExceptionLog> m_viewer;
};

QTEST_MAIN(TestExceptionLogViewer)
#include "tst_exceptionlogviewer.moc"
