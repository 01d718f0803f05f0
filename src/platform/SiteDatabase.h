#pragma once

#include <memory>
#include <optional>
#include <QString>

// One row of the companion viewer's site table. A null value reads as "".
struct SiteRow
{
    QString Description;
    QString PhoneIP;
    QString EthernetPOTS;
    QString UnitPassword;
    QString Address3;
};

// The table "Sites", read forwards in stored order.
class SiteTable
{
public:
    virtual ~SiteTable() = default;
    // The number of rows the table says it holds.
    virtual qint64 rowCount() const = 0;
    // The next row; nothing after the last one, or when the rest cannot be read (error()).
    virtual std::optional<SiteRow> next() = 0;
    virtual QString error() const = 0;
};

// The companion viewer's site database, read only.
class SiteDatabase
{
public:
    virtual ~SiteDatabase() = default;
    // The table "Sites" of the database file; nothing, with the reason in error, when the file
    // or the table cannot be read.
    virtual std::unique_ptr<SiteTable> openSites(const QString& path, const QString& password,
                                                 QString& error) = 0;
};

// Jet 4 files through libmdb, which does not check the database password.
class MdbSiteDatabase : public SiteDatabase
{
public:
    std::unique_ptr<SiteTable> openSites(const QString& path, const QString& password,
                                         QString& error) override;
};
