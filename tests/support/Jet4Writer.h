#pragma once

#include <QByteArray>
#include <QStringList>

// A minimal Jet 4 database file: the page header, the catalog table and one user table of text
// columns whose rows fit on a single data page. A null QString cell is stored as a null value.
// Good enough for a reader of the format; nothing else (indexes, memo pages) is written.
QByteArray Jet4Database(const QString& table, const QStringList& columns,
                        const QList<QStringList>& rows);
