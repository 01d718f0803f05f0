#include "exceptions/forms/ExceptionLogPrintout.h"

#include "exceptions/ExceptionLogModel.h"

#include <algorithm>
#include <array>
#include <QApplication>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

constexpr int kColumns = ExceptionLogModel::ColumnCount;
constexpr qreal kMarginMm = 12.7;

QFont timesNewRoman(int pointSize, bool bold)
{
    QFont font(QStringLiteral("Times New Roman"), pointSize);
    font.setStyleHint(QFont::Serif);
    font.setBold(bold);
    return font;
}

} // namespace

struct ExceptionLogPrintout::Layout
{
    QRectF page;
    QFont headerFont;
    QFont footerFont;
    QFont titleFont; // the column titles
    qreal headerHeight = 0;
    qreal footerHeight = 0;
    qreal rowHeight = 0;
    qreal padding = 0;
    std::array<qreal, kColumns> left{};
    std::array<qreal, kColumns> width{};
    int rowsPerPage = 1;
    int pageCount = 1;
};

std::unique_ptr<QPrinter> ExceptionLogPrintout::defaultPrinter()
{
    const QString pdf = qEnvironmentVariable("VIGILSTAT_PRINT_PDF");
    if (pdf.isEmpty() && QPrinterInfo::defaultPrinter().isNull())
        return nullptr;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(QStringLiteral("VigilStat Exception Event Log"));
    if (!pdf.isEmpty()) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
    }
    printer->setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                            QPageLayout::Millimeter);
    return printer;
}

ExceptionLogPrintout::ExceptionLogPrintout(const ExceptionLogModel& model, const QDate& today)
    : m_model(model), m_today(today), m_bodyFont(QApplication::font())
{
    m_bodyFont.setPointSize(9);
}

ExceptionLogPrintout::Layout ExceptionLogPrintout::layout(QPrinter& printer) const
{
    Layout l;
    l.page = printer.pageLayout().paintRectPixels(printer.resolution());
    l.page.moveTo(0, 0);
    l.headerFont = timesNewRoman(14, true);
    l.footerFont = timesNewRoman(10, false);
    l.titleFont = m_bodyFont;
    l.titleFont.setBold(true);
    const QFontMetricsF body(m_bodyFont, &printer);
    const QFontMetricsF titles(l.titleFont, &printer);
    l.headerHeight = QFontMetricsF(l.headerFont, &printer).lineSpacing() * 2;
    l.footerHeight = QFontMetricsF(l.footerFont, &printer).lineSpacing() * 2;
    l.rowHeight = body.lineSpacing() * 1.3;
    l.padding = body.averageCharWidth();

    // Each column as wide as its longest text (by characters, so a year of events is measured
    // quickly), then all of them scaled to the page's width.
    const QList<EventListEntry>& rows = m_model.entries();
    std::array<qreal, kColumns> natural{};
    for (int c = 0; c < kColumns; ++c) {
        QString longest;
        for (const EventListEntry& e : rows) {
            QString text = ExceptionLogModel::text(e, c);
            if (text.size() > longest.size())
                longest = std::move(text);
        }
        natural[c] = std::max(titles.horizontalAdvance(ExceptionLogModel::columnTitle(c)),
                              body.horizontalAdvance(longest)) +
                     2 * l.padding;
    }
    // Addresses and times are short and must read whole; the two free texts share the rest.
    const qreal fixed =
        natural[ExceptionLogModel::Address] + natural[ExceptionLogModel::PollingTime];
    const qreal free =
        natural[ExceptionLogModel::Description] + natural[ExceptionLogModel::EventText];
    const qreal room = l.page.width() - fixed;
    const qreal fixedScale = room > 0 ? 1 : l.page.width() / (fixed + free);
    const qreal freeScale = room > 0 ? room / free : fixedScale;
    qreal x = 0;
    for (int c = 0; c < kColumns; ++c) {
        const bool isFree =
            c == ExceptionLogModel::Description || c == ExceptionLogModel::EventText;
        l.left[c] = x;
        l.width[c] = natural[c] * (isFree ? freeScale : fixedScale);
        x += l.width[c];
    }

    const qreal rowsHeight = l.page.height() - l.headerHeight - l.footerHeight - l.rowHeight;
    l.rowsPerPage = std::max(1, int(rowsHeight / l.rowHeight));
    l.pageCount = std::max<qsizetype>(1, (rows.size() + l.rowsPerPage - 1) / l.rowsPerPage);
    return l;
}

bool ExceptionLogPrintout::paint(QPrinter& printer) const
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const Layout l = layout(printer);
    for (int page = 0; page < l.pageCount; ++page) {
        if (page > 0 && !printer.newPage())
            return false;
        paintPage(painter, l, page);
    }
    return painter.end();
}

void ExceptionLogPrintout::paintPage(QPainter& painter, const Layout& l, int page) const
{
    const qreal right = l.page.width();
    painter.setPen(Qt::black);
    painter.setFont(l.headerFont);
    painter.drawText(QRectF(0, 0, right, l.headerHeight), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("VIGILSTAT EXCEPTION EVENT LOG"));

    const auto drawRow = [&](qreal y, const std::array<QString, kColumns>& texts) {
        const QFontMetricsF metrics(painter.font(), painter.device());
        for (int c = 0; c < kColumns; ++c) {
            const QRectF cell(l.left[c] + l.padding, y, l.width[c] - 2 * l.padding, l.rowHeight);
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter,
                             metrics.elidedText(texts[c], Qt::ElideRight, cell.width()));
        }
    };
    qreal y = l.headerHeight;
    painter.setFont(l.titleFont);
    drawRow(y, {ExceptionLogModel::columnTitle(0), ExceptionLogModel::columnTitle(1),
                ExceptionLogModel::columnTitle(2), ExceptionLogModel::columnTitle(3)});
    y += l.rowHeight;
    painter.drawLine(QPointF(0, y), QPointF(right, y));

    painter.setFont(m_bodyFont);
    const QList<EventListEntry>& rows = m_model.entries();
    const qsizetype first = qsizetype(page) * l.rowsPerPage;
    const qsizetype last = std::min<qsizetype>(rows.size(), first + l.rowsPerPage);
    for (qsizetype r = first; r < last; ++r) {
        const EventListEntry& e = rows.at(r);
        drawRow(y, {e.address, e.description, e.pollingTime, e.eventText});
        y += l.rowHeight;
    }

    painter.setFont(l.footerFont);
    const QRectF footer(0, l.page.height() - l.footerHeight, right, l.footerHeight);
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom,
                     QLocale().toString(m_today, QLocale::LongFormat));
    painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                     QStringLiteral("Page ") + QString::number(page + 1) + QStringLiteral(" of ") +
                         QString::number(l.pageCount));
}
