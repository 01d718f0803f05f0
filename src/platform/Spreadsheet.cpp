#include "platform/Spreadsheet.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <optional>
#include <QFileInfo>
#include <QTemporaryFile>
#include <system_error>
#include <vector>
#include <xlsxwriter.h>

namespace {

// What a worksheet cell and column can hold.
constexpr qsizetype kMaxCellChars = 32767;
constexpr double kMaxColumnWidth = 255;

WriteResult refused()
{
    return {WriteResult::Status::TargetRefused, 0, {}};
}

WriteResult failed(int number, const QString& description)
{
    return {WriteResult::Status::Failed, number, description};
}

WriteResult libraryFailure(lxw_error error)
{
    if (error == LXW_ERROR_CREATING_XLSX_FILE)
        return refused();
    return failed(int(error), QString::fromUtf8(lxw_strerror(error)));
}

bool isRefusal(const std::error_code& error)
{
    const auto c = std::errc(error.value());
    return error.category() == std::generic_category() &&
           (c == std::errc::permission_denied || c == std::errc::operation_not_permitted ||
            c == std::errc::read_only_file_system || c == std::errc::device_or_resource_busy ||
            c == std::errc::text_file_busy || c == std::errc::is_a_directory);
}

// Kept alive until the library has copied it.
struct CellText
{
    explicit CellText(const QString& text) : bytes(text.left(kMaxCellChars).toUtf8()) {}
    operator const char*() const { return bytes.constData(); }
    QByteArray bytes;
};

std::optional<lxw_datetime> excelDateTime(const QDateTime& t)
{
    // Worksheet dates start with 1900.
    if (!t.isValid() || t.date().year() < 1900 || t.date().year() > 9999)
        return std::nullopt;
    const QDate d = t.date();
    const QTime h = t.time();
    return lxw_datetime{d.year(), d.month(), d.day(), h.hour(), h.minute(), double(h.second())};
}

// Column widths in characters, from the longest text of each column.
std::vector<double> fittedWidths(const SpreadsheetSource& source, int columns)
{
    std::vector<double> widths(columns, 0);
    const QStringList header = source.header();
    // "AM/PM" shows as two letters.
    const qsizetype dateWidth = QString(source.dateTimeFormat())
                                    .replace(QStringLiteral("AM/PM"), QStringLiteral("AM"))
                                    .size();
    for (int c = 0; c < columns; ++c)
        widths[c] = double(header.at(c).size());
    for (qsizetype row = 0; row < source.rowCount(); ++row) {
        for (int c = 0; c < columns; ++c) {
            const qsizetype size =
                c == source.dateTimeColumn() ? dateWidth : source.text(row, c).size();
            widths[c] = std::max(widths[c], double(size));
        }
    }
    for (double& w : widths)
        w = std::min(w + 2, kMaxColumnWidth); // a little air, as the programs' own fitting leaves
    return widths;
}

lxw_error writeSheet(lxw_workbook* book, const SpreadsheetSource& source)
{
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* bold = workbook_add_format(book);
    lxw_format* dateTime = workbook_add_format(book);
    if (!sheet || !bold || !dateTime)
        return LXW_ERROR_MEMORY_MALLOC_FAILED;
    format_set_bold(bold);
    const QByteArray pattern = source.dateTimeFormat().toUtf8();
    format_set_num_format(dateTime, pattern.constData());

    const QStringList header = source.header();
    const int columns = int(header.size());
    const std::vector<double> widths = fittedWidths(source, columns);
    for (int c = 0; c < columns; ++c) {
        if (const lxw_error e =
                worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr))
            return e;
        const CellText text(header.at(c));
        if (const lxw_error e = worksheet_write_string(sheet, 0, lxw_col_t(c), text, bold))
            return e;
    }
    for (qsizetype row = 0; row < source.rowCount(); ++row) {
        const auto r = lxw_row_t(row + 1);
        for (int c = 0; c < columns; ++c) {
            lxw_error e = LXW_NO_ERROR;
            std::optional<lxw_datetime> when;
            if (c == source.dateTimeColumn())
                when = excelDateTime(source.dateTime(row));
            if (when)
                e = worksheet_write_datetime(sheet, r, lxw_col_t(c), &*when, dateTime);
            else
                e = worksheet_write_string(sheet, r, lxw_col_t(c), CellText(source.text(row, c)),
                                           nullptr);
            if (e)
                return e;
        }
    }
    return LXW_NO_ERROR;
}

} // namespace

WriteResult XlsxSpreadsheet::write(const QString& path, const SpreadsheetSource& source)
{
    const QFileInfo target(path);
    if (target.isDir() || (target.exists() && !target.isWritable()))
        return refused();

    // Written beside the target, then put in its place in one rename.
    QTemporaryFile part(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!part.open())
        return refused();
    part.close();
    // A temporary file is private to its owner; the workbook is an ordinary document.
    part.setPermissions(target.exists() ? target.permissions()
                                        : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
    const QByteArray partName = QFile::encodeName(part.fileName());
    QByteArray folder = QFile::encodeName(target.absolutePath());

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = folder.data();
    lxw_workbook* book = workbook_new_opt(partName.constData(), &options);
    if (!book)
        return {WriteResult::Status::CannotCreate, 0, {}};
    QByteArray title = source.title().toUtf8();
    lxw_doc_properties properties{};
    properties.title = title.data();
    workbook_set_properties(book, &properties);
    const lxw_error written = writeSheet(book, source);
    const lxw_error closed = workbook_close(book);
    if (written)
        return libraryFailure(written);
    if (closed)
        return libraryFailure(closed);

    std::error_code error;
    std::filesystem::rename(std::filesystem::path(part.fileName().toStdU16String()),
                            std::filesystem::path(path.toStdU16String()), error);
    if (error)
        return isRefusal(error) ? refused()
                                : failed(error.value(), QString::fromStdString(error.message()));
    part.setAutoRemove(false);
    return {};
}
