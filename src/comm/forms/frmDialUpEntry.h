#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Writes the peer entry pppd dials the units through: the modem, its speed and the link options.
// The number, user name and password come with each call, so they are not stored here.
class frmDialUpEntry : public QDialog
{
    Q_OBJECT

public:
    explicit frmDialUpEntry(const QString& peersFolder, QWidget* parent = nullptr);

    // The entry editor of the dial-up adapter: shows the window modally and returns 0.
    static qint32 createEntry(const QString& peersFolder);

    static QString entryText(const QString& device, const QString& speed,
                             const QString& phoneNumber);

private:
    void cmdOK_Click();
    bool fieldsValid();
    QString entryPath() const;

    QString m_peersFolder;
    QLineEdit* txtName;
    QLineEdit* txtPhoneNumber;
    QComboBox* cboModem;
    QComboBox* cboSpeed;
    QLabel* lblPath;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
