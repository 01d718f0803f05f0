#include "platform/forms/QtPrinter.h"

#include "platform/PrintDocument.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextLayout>

namespace {

bool paint(const PrintDocument& document, QPrinter& printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QFont base = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // Lines wider than the page wrap, at a blank where there is one.
    QTextOption wrapping;
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    qreal y = 0;
    for (const PrintLine& line : document.lines()) {
        QFont font = base;
        font.setPointSize(line.pointSize);
        font.setBold(line.bold);
        QTextLayout layout(line.text, font, &printer);
        layout.setTextOption(wrapping);
        layout.beginLayout();
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine())
            row.setLineWidth(page.width());
        layout.endLayout();
        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine row = layout.lineAt(i);
            if (y > 0 && y + row.height() > page.height()) {
                if (!printer.newPage())
                    return false;
                y = 0;
            }
            row.draw(&painter, QPointF(0, y));
            y += row.height();
        }
    }
    return painter.end();
}

} // namespace

bool QtPrinter::print(const PrintDocument& document)
{
    const QString pdf = qEnvironmentVariable("VIGILSTAT_PRINT_PDF");
    if (pdf.isEmpty() && QPrinterInfo::defaultPrinter().isNull())
        return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(document.name());
    if (!pdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    }
    return paint(document, printer);
}
