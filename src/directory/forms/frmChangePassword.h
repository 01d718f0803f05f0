#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class Settings;

// Takes a new application password twice and stores it when both entries agree.
class frmChangePassword : public QDialog
{
    Q_OBJECT

public:
    explicit frmChangePassword(Settings& settings, QWidget* parent = nullptr);

private:
    void cmdOK_Click();

    Settings& m_settings;
    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* txtNewPassword;
    QLineEdit* txtRetypePassword;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
