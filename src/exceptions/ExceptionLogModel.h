#pragma once

#include "exceptions/EventRecord.h"

#include <array>
#include <QAbstractTableModel>
#include <QList>

// The rows the log viewer shows (address, description, polling time, event text) and how they
// are sorted. A column's direction flag alternates with every sort by that column, so clicking a
// header twice sorts one way and then the other.
class ExceptionLogModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Address, Description, PollingTime, EventText, ColumnCount };
    // Spreadsheet terms for the last direction.
    enum Direction { Ascending = 1, Descending = 2 };

    static QString columnTitle(int column);
    static const QString& text(const EventListEntry& entry, int column);
    struct SortKey
    {
        int column;
        bool descending = false;
    };
    // Positions of entries in the order of the keys, each key breaking the ties of the ones
    // before; equal entries keep their order. Polling times compare as date-times, the other
    // columns as text, case aside.
    static QList<qsizetype> sortedOrder(const QList<EventListEntry>& entries,
                                        const QList<SortKey>& keys);

    explicit ExceptionLogModel(QObject* parent = nullptr);

    void setEntries(QList<EventListEntry> entries);
    const QList<EventListEntry>& entries() const { return m_entries; }

    // A fresh opening: "Polling Time" is the sort column and every direction flag is clear.
    void resetSortState();
    int sortColumn() const { return m_sortColumn; }
    Direction lastDirection() const { return m_lastDirection; }
    bool directionFlag(int column) const { return m_descending.at(column); }
    void invertDirectionFlag(int column) { m_descending[column] = !m_descending[column]; }
    // Sorts by column, descending when its flag is set, then inverts the flag. Ties go by the
    // other columns in column order, ascending.
    void sortByColumn(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QList<EventListEntry> m_entries;
    int m_sortColumn = PollingTime;
    std::array<bool, ColumnCount> m_descending{};
    Direction m_lastDirection = Ascending;
};
