#include "exceptions/ExceptionLogExport.h"

#include "exceptions/ExceptionLogModel.h"
#include "platform/Platform.h"

#include <QSaveFile>

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

// Reads the list through the workbook order without copying it.
class WorkbookRows : public SpreadsheetSource
{
public:
    WorkbookRows(const QList<EventListEntry>& list, QList<qsizetype> order)
        : m_list(list), m_order(std::move(order))
    {}

    QString title() const override { return QStringLiteral("Exception Log"); }
    QStringList header() const override
    {
        QStringList titles;
        for (int c = 0; c < ExceptionLogModel::ColumnCount; ++c)
            titles.append(ExceptionLogModel::columnTitle(c));
        return titles;
    }
    qsizetype rowCount() const override { return m_order.size(); }
    QString text(qsizetype row, int column) const override
    {
        return ExceptionLogModel::text(entry(row), column);
    }
    int dateTimeColumn() const override { return ExceptionLogModel::PollingTime; }
    QString dateTimeFormat() const override { return QStringLiteral("mm/dd/yyyy hh:mm:ss AM/PM"); }
    QDateTime dateTime(qsizetype row) const override { return entry(row).time; }

private:
    const EventListEntry& entry(qsizetype row) const { return m_list.at(m_order.at(row)); }

    const QList<EventListEntry>& m_list;
    QList<qsizetype> m_order;
};

// Collects text and hands it to the device in UTF-8, a chunk at a time.
class ChunkWriter
{
public:
    explicit ChunkWriter(QIODevice& out) : m_out(out) { m_text.reserve(kChunk + 1024); }

    void add(QStringView text)
    {
        m_text += text;
        if (m_text.size() >= kChunk)
            flush();
    }
    bool finish()
    {
        flush();
        return m_ok;
    }

private:
    static constexpr qsizetype kChunk = 64 * 1024;

    void flush()
    {
        const QByteArray bytes = m_text.toUtf8();
        m_ok = m_ok && m_out.write(bytes) == bytes.size();
        m_text.clear();
    }

    QIODevice& m_out;
    QString m_text;
    bool m_ok = true;
};

QString quoted(const QString& field)
{
    QString out = field;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

} // namespace

QString ExceptionLogExport::proposedName(const QDateTime& now)
{
    return QStringLiteral("Exception Log ") + now.toString(QStringLiteral("yyyy-MM-dd HH'h'mm"));
}

QString ExceptionLogExport::filter(int formats)
{
    switch (formats) {
    case Delimited:
        return QStringLiteral("Delimited File (*.txt)|*.txt");
    case Html:
        return QStringLiteral("HTML (*.html)|*.html");
    case Excel:
        return QStringLiteral("Excel File (*.xlsx)|*.xlsx");
    }
    return QStringLiteral("All Files (*.*)|*.*");
}

QString ExceptionLogExport::suffix(int formats)
{
    switch (formats) {
    case Delimited:
        return QStringLiteral("txt");
    case Html:
        return QStringLiteral("html");
    case Excel:
        return QStringLiteral("xlsx");
    }
    return {};
}

QList<ExceptionLogExport::Target> ExceptionLogExport::targets(int formats,
                                                              const QString& chosenPath)
{
    QList<Target> out;
    const bool several = suffix(formats).isEmpty();
    for (const Format f : {Delimited, Html, Excel}) {
        if (formats & f)
            out.append({f, several ? chosenPath + u'.' + suffix(f) : chosenPath});
    }
    return out;
}

bool ExceptionLogExport::writeDelimited(QIODevice& out, const QList<EventListEntry>& rows)
{
    ChunkWriter writer(out);
    for (const EventListEntry& e : rows) {
        for (int c = 0; c < ExceptionLogModel::ColumnCount; ++c) {
            if (c > 0)
                writer.add(u",");
            writer.add(quoted(ExceptionLogModel::text(e, c)));
        }
        writer.add(kLineEnd);
    }
    return writer.finish();
}

bool ExceptionLogExport::writeHtml(QIODevice& out, const QList<EventListEntry>& rows)
{
    ChunkWriter writer(out);
    const auto line = [&writer](QStringView text) {
        writer.add(text);
        writer.add(kLineEnd);
    };
    // The header row when e is null.
    const auto row = [&writer](const EventListEntry* e) {
        writer.add(u"<tr>");
        for (int c = 0; c < ExceptionLogModel::ColumnCount; ++c) {
            writer.add(e ? u"<td>" : u"<th>");
            writer.add(e ? ExceptionLogModel::text(*e, c).toHtmlEscaped()
                         : ExceptionLogModel::columnTitle(c).toHtmlEscaped());
            writer.add(e ? u"</td>" : u"</th>");
        }
        writer.add(u"</tr>");
        writer.add(kLineEnd);
    };
    line(u"<!DOCTYPE html>");
    line(u"<html>");
    line(u"<head>");
    line(u"<meta charset=\"utf-8\">");
    line(u"<title>Exception Log</title>");
    line(u"<style>table{border-collapse:collapse}"
         u"th,td{border:1px solid #999;padding:2px 6px;text-align:left}</style>");
    line(u"</head>");
    line(u"<body>");
    line(u"<table width=\"100%\">");
    row(nullptr);
    for (const EventListEntry& e : rows)
        row(&e);
    line(u"</table>");
    line(u"</body>");
    line(u"</html>");
    return writer.finish();
}

QList<qsizetype> ExceptionLogExport::spreadsheetOrder(const QList<EventListEntry>& list,
                                                      int sortColumn, int lastDirection)
{
    using M = ExceptionLogModel;
    QList<M::SortKey> keys{{sortColumn, lastDirection == M::Descending}};
    switch (sortColumn) {
    case M::Address:
    case M::Description:
        keys.append(M::SortKey{M::PollingTime});
        break;
    case M::PollingTime:
        keys.append(M::SortKey{M::Address});
        break;
    default:
        keys.append({M::SortKey{M::Address}, M::SortKey{M::PollingTime}});
    }
    return M::sortedOrder(list, keys);
}

QString ExceptionLogExport::failureText(const WriteResult& result, const QString& chosenPath)
{
    switch (result.status) {
    case WriteResult::Status::Written:
        return {};
    case WriteResult::Status::CannotCreate:
        return QStringLiteral("There has been an exporting problem.\r\n"
                              "Please ensure that 'EXCEL' is installed on your computer!");
    case WriteResult::Status::TargetRefused:
        return chosenPath + QStringLiteral(" already in use.\r\nPlease close it first!");
    case WriteResult::Status::Failed:
        break;
    }
    return QString::number(result.number) + QStringLiteral("  ") + result.description;
}

ExceptionLogExport::ExceptionLogExport(const ExceptionLogModel& model,
                                       const QList<EventListEntry>& list)
    : m_model(model), m_list(list)
{}

WriteResult ExceptionLogExport::write(int formats, const QString& chosenPath) const
{
    for (const Target& target : targets(formats, chosenPath)) {
        WriteResult result;
        switch (target.format) {
        case Delimited:
            result = writeFile(target.path, writeDelimited, m_model.entries());
            break;
        case Html:
            result = writeFile(target.path, writeHtml, m_model.entries());
            break;
        case Excel:
            result = writeWorkbook(target.path);
            break;
        }
        if (result.status != WriteResult::Status::Written)
            return result;
    }
    return {};
}

WriteResult ExceptionLogExport::writeFile(const QString& path,
                                          bool (*writer)(QIODevice&, const QList<EventListEntry>&),
                                          const QList<EventListEntry>& rows)
{
    QSaveFile file(path);
    // What cannot be opened for writing is, to the user, a file in use.
    if (!file.open(QIODevice::WriteOnly))
        return {WriteResult::Status::TargetRefused, 0, {}};
    if (writer(file, rows) && file.commit())
        return {};
    return {WriteResult::Status::Failed, int(file.error()), file.errorString()};
}

WriteResult ExceptionLogExport::writeWorkbook(const QString& path) const
{
    const WorkbookRows rows(
        m_list, spreadsheetOrder(m_list, m_model.sortColumn(), m_model.lastDirection()));
    return Platform::spreadsheet().write(path, rows);
}
