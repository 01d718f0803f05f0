#pragma once

#include "directory/UnitAddressList.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The record dialog of the address list editor: one unit, checked on OK before it is handed
// back. The list window stores the record; the dialog only reads the list for duplicates.
class frmAddEdit : public QDialog
{
    Q_OBJECT

public:
    explicit frmAddEdit(const UnitAddressList& units, QWidget* parent = nullptr);

    // A new unit with the preset zones and description, the sample address, both boxes ticked.
    void prepareAdd(const QString& presetZone, const QString& presetDst,
                    const QString& description);
    // The unit at index, to be changed in place.
    void prepareEdit(int index, const UnitRecord& record);

    bool editMode() const { return m_editIndex >= 0; }
    // True after a successful OK; record() is then what the user entered.
    bool accepted() const { return m_accepted; }
    UnitRecord record() const { return m_record; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void selectPresets(const QString& zone, const QString& dst);
    void linkTypeChosen(bool pots);
    void ok();
    bool addressAccepted(const QString& address);
    bool dstAccepted();
    void focusAddress();

    const UnitAddressList& m_units;
    int m_editIndex = -1;
    bool m_accepted = false;
    bool m_passwordTouched = false;
    QString m_storedPassword;
    UnitRecord m_record;

    QRadioButton* optEthernet;
    QRadioButton* optPOTS;
    QLabel* lblAddress;
    QLineEdit* txtAddress;
    QLineEdit* txtDescript;
    QLineEdit* txtPassword;
    QComboBox* cboTimeZone;
    QComboBox* cboDST;
    QCheckBox* chkStatus;
    QCheckBox* chkSyn;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
