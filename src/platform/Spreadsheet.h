#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// One worksheet to be written: a bold header row, then rows of text cells, except one column of
// date-time cells.
class SpreadsheetSource
{
public:
    virtual ~SpreadsheetSource() = default;

    virtual QString title() const = 0;
    virtual QStringList header() const = 0;
    virtual qsizetype rowCount() const = 0;
    virtual QString text(qsizetype row, int column) const = 0;
    // -1 when every column holds text.
    virtual int dateTimeColumn() const = 0;
    virtual QString dateTimeFormat() const = 0;
    // A wall-clock time; an invalid one is written as the cell's text instead.
    virtual QDateTime dateTime(qsizetype row) const = 0;
};

// How writing a file went.
struct WriteResult
{
    enum class Status {
        Written,
        CannotCreate,  // no workbook could be started
        TargetRefused, // the file is in use, read-only, a folder, or its folder is closed to us
        Failed,        // anything else: number and description tell what
    };
    Status status = Status::Written;
    int number = 0;
    QString description;
};

// Writes workbooks that the common spreadsheet programs open.
class Spreadsheet
{
public:
    // A worksheet holds this many rows, header included.
    static constexpr qsizetype kMaxRows = 1048576;

    virtual ~Spreadsheet() = default;
    // Replaces the file only with a complete workbook: a failure leaves an earlier file as it was.
    virtual WriteResult write(const QString& path, const SpreadsheetSource& source) = 0;
};

// Office Open XML (.xlsx) through libxlsxwriter, row by row, so memory stays flat for any size.
class XlsxSpreadsheet : public Spreadsheet
{
public:
    WriteResult write(const QString& path, const SpreadsheetSource& source) override;
};
