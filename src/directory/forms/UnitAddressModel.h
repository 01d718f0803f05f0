#pragma once

#include "directory/UnitAddressList.h"

#include <QAbstractTableModel>

// The rows of the address list window over the shared unit address list. Every change of the
// list made through it reaches the rows at once, so the two never drift apart. The password is
// never shown.
class UnitAddressModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Address, Description, Zone, Dst, Status, Syn, ColumnCount };

    explicit UnitAddressModel(UnitAddressList& units, QObject* parent = nullptr);

    const UnitAddressList& units() const { return m_units; }
    void append(const UnitRecord& record);
    void replace(int row, const UnitRecord& record);
    void removeAt(int row);
    void replaceAll(const UnitAddressList& units);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    UnitAddressList& m_units;
};
