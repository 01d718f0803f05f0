#include "platform/forms/QtPrinter.h"
#include "platform/PrintDocument.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestQtPrinter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void longDocumentGoesToPdfPages()
    {
        QTemporaryDir dir;
        QFile pdf(dir.filePath(QStringLiteral("report.pdf")));
        qputenv("VIGILSTAT_PRINT_PDF", QFile::encodeName(pdf.fileName()));
        PrintDocument document;
        for (int i = 0; i < 150; ++i)
            document.print(QString(i, QLatin1Char('w'))); // the longer lines wrap
        QVERIFY(QtPrinter().print(document));

        QVERIFY(pdf.open(QIODevice::ReadOnly));
        // One "/Type /Page" per page and one more in "/Type /Pages".
        QVERIFY(pdf.readAll().count("/Type /Page") > 2);
    }
};

QTEST_MAIN(TestQtPrinter)
#include "tst_qtprinter.moc"
