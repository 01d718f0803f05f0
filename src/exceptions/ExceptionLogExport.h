#pragma once

#include "exceptions/EventRecord.h"
#include "platform/Spreadsheet.h"

#include <QDateTime>
#include <QList>
#include <QString>

class ExceptionLogModel;
class QIODevice;

// The log viewer's list as files: comma-delimited text and an HTML table of the rows as shown,
// and a workbook of the list in the spreadsheet's own order.
class ExceptionLogExport
{
public:
    // The chosen set is the sum of the formats.
    enum Format { Delimited = 1, Html = 2, Excel = 4 };
    static constexpr int kAllFormats = Delimited | Html | Excel;
    // The list rows a worksheet takes below its header row.
    static constexpr qsizetype kMaxExcelRows = Spreadsheet::kMaxRows - 1;

    struct Target
    {
        Format format;
        QString path;
    };

    // "Exception Log 2005-02-04 10h52".
    static QString proposedName(const QDateTime& now);
    // The save dialog's filter for a chosen set.
    static QString filter(int formats);
    // The extension of a single format ("txt", "html", "xlsx"); "" for several.
    static QString suffix(int formats);
    // One format goes to the chosen path; several each get their extension appended.
    static QList<Target> targets(int formats, const QString& chosenPath);

    // Both in UTF-8 with CR LF line ends; false when the device refused a write.
    static bool writeDelimited(QIODevice& out, const QList<EventListEntry>& rows);
    static bool writeHtml(QIODevice& out, const QList<EventListEntry>& rows);
    // Positions in list of its entries in the workbook's order: the sort column in the last
    // direction, then a further key or two, ascending.
    static QList<qsizetype> spreadsheetOrder(const QList<EventListEntry>& list, int sortColumn,
                                             int lastDirection);
    // The text of the box that reports a failed export ("" for none).
    static QString failureText(const WriteResult& result, const QString& chosenPath);

    // The delimited and HTML files take the model's rows as shown, the workbook the list they
    // came from, in its own order.
    ExceptionLogExport(const ExceptionLogModel& model, const QList<EventListEntry>& list);

    // Writes every file of the chosen set and stops at the first failure.
    WriteResult write(int formats, const QString& chosenPath) const;

private:
    static WriteResult writeFile(const QString& path,
                                 bool (*writer)(QIODevice&, const QList<EventListEntry>&),
                                 const QList<EventListEntry>& rows);
    WriteResult writeWorkbook(const QString& path) const;

    const ExceptionLogModel& m_model;
    const QList<EventListEntry>& m_list;
};
