#include "exceptions/ExceptionLogModel.h"

#include <algorithm>

QString ExceptionLogModel::columnTitle(int column)
{
    switch (column) {
    case Address:
        return QStringLiteral("IP/Phone No.");
    case Description:
        return QStringLiteral("Description");
    case PollingTime:
        return QStringLiteral("Polling Time");
    case EventText:
        return QStringLiteral("Exception Event");
    }
    return {};
}

QString ExceptionLogModel::text(const EventListEntry& entry, int column)
{
    switch (column) {
    case Address:
        return entry.address;
    case Description:
        return entry.description;
    case PollingTime:
        return entry.pollingTime;
    case EventText:
        return entry.eventText;
    }
    return {};
}

int ExceptionLogModel::compare(const EventListEntry& a, const EventListEntry& b, int column)
{
    if (column == PollingTime)
        return a.time < b.time ? -1 : (b.time < a.time ? 1 : 0);
    const QString& x = column == Address       ? a.address
                       : column == Description ? a.description
                                               : a.eventText;
    const QString& y = column == Address       ? b.address
                       : column == Description ? b.description
                                               : b.eventText;
    return x.compare(y, Qt::CaseInsensitive);
}

ExceptionLogModel::ExceptionLogModel(QObject* parent) : QAbstractTableModel(parent) {}

void ExceptionLogModel::setEntries(QList<EventListEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

void ExceptionLogModel::resetSortState()
{
    m_sortColumn = PollingTime;
    m_descending.fill(false);
    m_lastDirection = Ascending;
}

void ExceptionLogModel::sortByColumn(int column)
{
    m_sortColumn = column;
    const bool descending = m_descending.at(column);
    m_lastDirection = descending ? Descending : Ascending;
    std::array<int, ColumnCount> keys{column};
    int next = 1;
    for (int c = 0; c < ColumnCount; ++c) {
        if (c != column)
            keys[next++] = c;
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [&](const EventListEntry& a, const EventListEntry& b) {
                         int order = compare(a, b, keys[0]);
                         if (order != 0)
                             return descending ? order > 0 : order < 0;
                         for (int k = 1; k < ColumnCount; ++k) {
                             order = compare(a, b, keys[k]);
                             if (order != 0)
                                 return order < 0;
                         }
                         return false;
                     });
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    m_descending[column] = !descending;
}

int ExceptionLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int ExceptionLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ExceptionLogModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_entries.size())
        return {};
    return text(m_entries.at(index.row()), index.column());
}

QVariant ExceptionLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return columnTitle(section);
}
