#pragma once

#include <memory>
#include <QDate>
#include <QFont>

class ExceptionLogModel;
class QPainter;
class QPrinter;

// The viewer's list on paper: its rows in the four columns under a repeated column header, the
// page header "VIGILSTAT EXCEPTION EVENT LOG" and a footer with the date and "Page n of N".
class ExceptionLogPrintout
{
public:
    // The default printer, or the PDF file named by VIGILSTAT_PRINT_PDF; nothing when there is
    // neither.
    static std::unique_ptr<QPrinter> defaultPrinter();

    ExceptionLogPrintout(const ExceptionLogModel& model, const QDate& today);

    // Paints every page; false when the printer refused.
    bool paint(QPrinter& printer) const;

private:
    struct Layout;
    Layout layout(QPrinter& printer) const;
    void paintPage(QPainter& painter, const Layout& layout, int page) const;

    const ExceptionLogModel& m_model;
    QDate m_today;
    QFont m_bodyFont;
};
