#include "platform/SiteDatabase.h"

#include <array>
#include <cstring>
#include <QFileInfo>
#include <vector>

extern "C" {
#include <mdbtools.h>
}

namespace {

const char* const kColumns[] = {"Description", "PhoneIP", "EthernetPOTS", "UnitPassword",
                                "Address3"};
constexpr int kColumnCount = 5;
constexpr unsigned long kCatalogPage = 2;
constexpr int kTableObject = 1;

QString quotedName(const QString& text)
{
    return u'\'' + text + u'\'';
}

// libmdb only hands out the catalog through a reader that trusts each table's page usage map;
// a damaged one makes it read through a null map. The catalog is read here instead, and every
// table is checked before its rows are fetched.
struct OpenedTable
{
    MdbCatalogEntry entry{};
    MdbTableDef* def = nullptr;

    OpenedTable() = default;
    OpenedTable(const OpenedTable&) = delete;
    OpenedTable& operator=(const OpenedTable&) = delete;
    ~OpenedTable()
    {
        if (def)
            mdb_free_tabledef(def);
    }

    bool open(MdbHandle* mdb, const char* name, unsigned long page)
    {
        entry.mdb = mdb;
        entry.object_type = MDB_TABLE;
        entry.table_pg = page;
        std::snprintf(entry.object_name, sizeof entry.object_name, "%s", name);
        def = mdb_read_table(&entry);
        return def && def->usage_map && def->map_sz >= 1 && mdb_read_columns(def);
    }

    // The 1-based number of the column, matched without regard to case as Jet does; 0 if none.
    int column(const char* name) const
    {
        for (guint i = 0; i < def->columns->len; ++i) {
            auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, i));
            if (g_ascii_strcasecmp(col->name, name) == 0)
                return static_cast<int>(i) + 1;
        }
        return 0;
    }
};

// Buffers that libmdb fills with a column's text at every fetched row.
class BoundText
{
public:
    explicit BoundText(MdbHandle* mdb) : m_buffer(mdb->bind_size + 1, '\0') {}
    BoundText(const BoundText&) = delete;
    BoundText& operator=(const BoundText&) = delete;
    bool bind(MdbTableDef* def, int column)
    {
        return mdb_bind_column(def, column, m_buffer.data(), nullptr) > 0;
    }
    QString text() const
    {
        return QString::fromUtf8(m_buffer.data(), qstrnlen(m_buffer.data(), m_buffer.size()));
    }

private:
    std::vector<char> m_buffer;
};

class MdbSiteTable : public SiteTable
{
public:
    MdbSiteTable(MdbHandle* mdb, QString path) : m_mdb(mdb), m_path(std::move(path)) {}
    ~MdbSiteTable() override
    {
        m_sites.reset();
        mdb_close(m_mdb);
    }

    // The error text, or "" when the table is ready to be read.
    QString open()
    {
        const std::optional<unsigned long> page = sitesPage();
        if (!page)
            return QStringLiteral("The database ") + quotedName(m_path) +
                   QStringLiteral(" has no table 'Sites' that can be read.");
        m_sites = std::make_unique<OpenedTable>();
        if (!m_sites->open(m_mdb, "Sites", *page))
            return QStringLiteral("The table 'Sites' of ") + quotedName(m_path) +
                   QStringLiteral(" is damaged.");
        for (int i = 0; i < kColumnCount; ++i) {
            m_text[i] = std::make_unique<BoundText>(m_mdb);
            if (!m_text[i]->bind(m_sites->def, m_sites->column(kColumns[i])))
                return QStringLiteral("The table 'Sites' has no column ") +
                       quotedName(QString::fromLatin1(kColumns[i])) + u'.';
        }
        mdb_rewind_table(m_sites->def);
        return {};
    }

    qint64 rowCount() const override { return m_sites->def->num_rows; }

    std::optional<SiteRow> next() override
    {
        if (m_done || !mdb_fetch_row(m_sites->def)) {
            // libmdb skips rows it cannot read; fewer than announced means damage.
            if (!m_done && m_read < rowCount())
                m_error = QStringLiteral("The table 'Sites' of ") + quotedName(m_path) +
                          QStringLiteral(" is damaged: %1 of its %2 rows could be read.")
                              .arg(m_read)
                              .arg(rowCount());
            m_done = true;
            return std::nullopt;
        }
        ++m_read;
        return SiteRow{m_text[0]->text(), m_text[1]->text(), m_text[2]->text(), m_text[3]->text(),
                       m_text[4]->text()};
    }

    QString error() const override { return m_error; }

private:
    // The first page of the user table "Sites", from the catalog.
    std::optional<unsigned long> sitesPage()
    {
        OpenedTable catalog;
        if (!catalog.open(m_mdb, "MSysObjects", kCatalogPage))
            return std::nullopt;
        BoundText id(m_mdb), name(m_mdb), type(m_mdb);
        if (!id.bind(catalog.def, catalog.column("Id")) ||
            !name.bind(catalog.def, catalog.column("Name")) ||
            !type.bind(catalog.def, catalog.column("Type")))
            return std::nullopt;
        mdb_rewind_table(catalog.def);
        while (mdb_fetch_row(catalog.def)) {
            if (type.text().toInt() == kTableObject &&
                name.text().compare(QStringLiteral("Sites"), Qt::CaseInsensitive) == 0)
                return id.text().toULong() & 0x00FFFFFFul;
        }
        return std::nullopt;
    }

    MdbHandle* m_mdb;
    QString m_path;
    std::unique_ptr<OpenedTable> m_sites;
    std::array<std::unique_ptr<BoundText>, kColumnCount> m_text;
    qint64 m_read = 0;
    bool m_done = false;
    QString m_error;
};

} // namespace

std::unique_ptr<SiteTable> MdbSiteDatabase::openSites(const QString& path, const QString&,
                                                      QString& error)
{
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("Could not find file ") + quotedName(path) + u'.';
        return nullptr;
    }
    MdbHandle* mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!mdb) {
        error = quotedName(path) + QStringLiteral(" is not a database that can be read.");
        return nullptr;
    }
    auto table = std::make_unique<MdbSiteTable>(mdb, path);
    error = table->open();
    if (!error.isEmpty())
        return nullptr;
    return table;
}
