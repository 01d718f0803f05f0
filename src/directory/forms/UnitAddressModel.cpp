#include "directory/forms/UnitAddressModel.h"

UnitAddressModel::UnitAddressModel(UnitAddressList& units, QObject* parent)
    : QAbstractTableModel(parent), m_units(units)
{}

void UnitAddressModel::append(const UnitRecord& record)
{
    const int row = m_units.count();
    beginInsertRows({}, row, row);
    m_units.append(record);
    endInsertRows();
}

void UnitAddressModel::replace(int row, const UnitRecord& record)
{
    m_units.replace(row, record);
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void UnitAddressModel::removeAt(int row)
{
    beginRemoveRows({}, row, row);
    m_units.removeAt(row);
    endRemoveRows();
}

void UnitAddressModel::replaceAll(const UnitAddressList& units)
{
    beginResetModel();
    m_units = units;
    endResetModel();
}

int UnitAddressModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_units.count();
}

int UnitAddressModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant UnitAddressModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_units.count())
        return {};
    const int row = index.row();
    switch (index.column()) {
    case Address:
        return m_units.DataStr.at(row);
    case Description:
        return m_units.Descript.at(row);
    case Zone:
        return m_units.TimeZone.at(row);
    case Dst:
        return m_units.DST.at(row);
    case Status:
        return m_units.Status.at(row);
    case Syn:
        return m_units.Syn.at(row);
    }
    return {};
}

QVariant UnitAddressModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Address:
        return QStringLiteral("IP/Phone No.");
    case Description:
        return QStringLiteral("Description");
    case Zone:
        return QStringLiteral("Time Zone");
    case Dst:
        return QStringLiteral("DST");
    case Status:
        return QStringLiteral("Status");
    case Syn:
        return QStringLiteral("Time Syn.");
    }
    return {};
}
