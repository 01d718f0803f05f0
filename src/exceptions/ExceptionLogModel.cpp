#include "exceptions/ExceptionLogModel.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <QHash>
#include <vector>

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

const QString& ExceptionLogModel::text(const EventListEntry& entry, int column)
{
    static const QString none;
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
    return none;
}

QList<qsizetype> ExceptionLogModel::sortedOrder(const QList<EventListEntry>& entries,
                                                const QList<SortKey>& keys)
{
    // Every key becomes a number per entry first (a year of events holds few distinct texts),
    // so the sort itself compares numbers only.
    const qsizetype n = entries.size();
    std::vector<std::array<qint64, ColumnCount>> ranks(n);
    for (const SortKey& key : keys) {
        const int c = key.column;
        if (c == PollingTime) {
            for (qsizetype i = 0; i < n; ++i) {
                const QDateTime& t = entries.at(i).time;
                ranks[i][c] =
                    t.isValid() ? t.toMSecsSinceEpoch() : std::numeric_limits<qint64>::min();
            }
            continue;
        }
        QHash<QString, qsizetype> distinct;
        QList<QString> folded;
        std::vector<qsizetype> textOf(n);
        for (qsizetype i = 0; i < n; ++i) {
            const QString& value = text(entries.at(i), c);
            auto it = distinct.constFind(value);
            if (it == distinct.cend()) {
                it = distinct.insert(value, folded.size());
                folded.append(value.toCaseFolded());
            }
            textOf[i] = it.value();
        }
        std::vector<qsizetype> byText(folded.size());
        std::iota(byText.begin(), byText.end(), 0);
        std::sort(byText.begin(), byText.end(),
                  [&](qsizetype a, qsizetype b) { return folded.at(a) < folded.at(b); });
        std::vector<qint64> rankOf(folded.size());
        qint64 rank = 0;
        for (qsizetype k = 0; k < qsizetype(byText.size()); ++k) {
            if (k > 0 && folded.at(byText[k]) != folded.at(byText[k - 1]))
                ++rank;
            rankOf[byText[k]] = rank;
        }
        for (qsizetype i = 0; i < n; ++i)
            ranks[i][c] = rankOf[textOf[i]];
    }

    QList<qsizetype> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype x, qsizetype y) {
        for (const SortKey& key : keys) {
            const qint64 a = ranks[x][key.column];
            const qint64 b = ranks[y][key.column];
            if (a != b)
                return key.descending ? a > b : a < b;
        }
        return false;
    });
    return order;
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
    QList<SortKey> keys{{column, descending}};
    for (int c = 0; c < ColumnCount; ++c) {
        if (c != column)
            keys.append(SortKey{c});
    }
    const QList<qsizetype> order = sortedOrder(m_entries, keys);
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QList<EventListEntry> sorted;
    sorted.reserve(order.size());
    for (const qsizetype i : order)
        sorted.append(m_entries.at(i));
    m_entries = std::move(sorted);
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
