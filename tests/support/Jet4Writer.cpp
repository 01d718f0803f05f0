#include "Jet4Writer.h"

#include <QtEndian>

// Only what a reader needs is written; free space counts and the like stay zero.
namespace {

constexpr int kPage = 4096;

void put(QByteArray& b, int at, quint32 v, int size = 2)
{
    for (int i = 0; i < size; ++i)
        b[at + i] = static_cast<char>(v >> (8 * i));
}

QByteArray le16(qsizetype v)
{
    return QByteArray(1, static_cast<char>(v)) + static_cast<char>(v >> 8);
}

QByteArray ucs2(const QString& s)
{
    QByteArray b(2 * s.size(), '\0');
    qToLittleEndian<quint16>(s.utf16(), s.size(), b.data());
    return b;
}

QByteArray newPage(char type, quint32 owner = 0)
{
    QByteArray page(kPage, '\0');
    page[0] = type;
    page[1] = 1;
    put(page, 4, owner, 4);
    return page;
}

// Rows are stored from the end of the page backwards, their offsets listed after the header.
QByteArray dataPage(quint32 owner, const QList<QByteArray>& rows)
{
    QByteArray page = newPage(1, owner);
    put(page, 12, static_cast<quint32>(rows.size()));
    int end = kPage;
    for (int i = 0; i < rows.size(); ++i) {
        end -= static_cast<int>(rows[i].size());
        page.replace(end, rows[i].size(), rows[i]);
        put(page, 14 + 2 * i, end);
    }
    return page;
}

// Every column is variable-length text: the column count, the values, their offsets in reverse
// ending with the end of the data, the count of those, and the null mask (a set bit: not null).
QByteArray row(const QStringList& cells)
{
    QByteArray out = le16(cells.size());
    QByteArray mask((cells.size() + 7) / 8, '\0');
    QList<qsizetype> offsets;
    for (int i = 0; i < cells.size(); ++i) {
        offsets.append(out.size());
        out += ucs2(cells[i]);
        if (!cells[i].isNull())
            mask[i / 8] = static_cast<char>(mask[i / 8] | (1 << (i % 8)));
    }
    offsets.append(out.size());
    for (auto it = offsets.crbegin(); it != offsets.crend(); ++it)
        out += le16(*it);
    return out + le16(cells.size()) + mask;
}

// The table's page usage map is row mapRow of page 1; it stands for the free space map too.
QByteArray tdefPage(bool system, qsizetype rowCount, const QStringList& columns, quint32 mapRow)
{
    QByteArray page = newPage(2);
    const auto n = static_cast<quint32>(columns.size());
    put(page, 16, static_cast<quint32>(rowCount), 4);
    page[40] = system ? 0x53 : 0x4e;
    for (const int at : {41, 43, 45}) // column counts: most ever, variable-length, all
        put(page, at, n);
    put(page, 55, 1 << 8 | mapRow, 4);
    put(page, 59, 1 << 8 | mapRow, 4);
    int at = 63;
    for (quint32 i = 0; i < n; ++i, at += 25) {
        page[at] = 0x0a;                  // text
        for (const int field : {5, 7, 9}) // number, place among the variable ones, number
            put(page, at + field, i);
    }
    for (const QString& column : columns) {
        const QByteArray name = le16(2 * column.size()) + ucs2(column);
        page.replace(at, name.size(), name);
        at += static_cast<int>(name.size());
    }
    return page;
}

} // namespace

QByteArray Jet4Database(const QString& table, const QStringList& columns,
                        const QList<QStringList>& rows)
{
    QByteArray header = newPage(0);
    header.replace(4, 15, "Standard Jet DB");
    header[0x14] = 1; // Jet 4
    // From 0x18 on the page is scrambled by RC4 under a fixed key: this is a database key of
    // 0, an unencrypted file.
    header.replace(0x3e, 4, "\xfb\x8a\xbc\x4e");
    // Type 0 maps from page 0, one bit per page: the data pages 3 and 5.
    QByteArray catalogMap(64, '\0'), tableMap(64, '\0');
    catalogMap[5] = 1 << 3;
    tableMap[5] = 1 << 5;

    // The catalog keeps its numbers as text too; readers take them as text anyway.
    const QByteArray entry = row({"4", table, "1", "0", QString()});
    QList<QByteArray> tableRows;
    for (const QStringList& cells : rows)
        tableRows.append(row(cells));

    // Pages: 0 header, 1 usage maps, 2 and 3 the catalog, 4 and 5 the table.
    return header + dataPage(0, {catalogMap, tableMap}) +
           tdefPage(true, 1, {"Id", "Name", "Type", "Flags", "LvProp"}, 0) + dataPage(2, {entry}) +
           tdefPage(false, rows.size(), columns, 1) + dataPage(4, tableRows);
}
