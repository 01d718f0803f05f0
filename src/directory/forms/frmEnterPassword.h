#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the application password; passwordAccepted() tells whether the right one was given.
class frmEnterPassword : public QDialog
{
    Q_OBJECT

public:
    frmEnterPassword(const QString& encodedPassword, QWidget* parent = nullptr);

    bool passwordAccepted() const { return m_passwordAccepted; }

private:
    void cmdOK_Click();

    QString m_encodedPassword;
    bool m_passwordAccepted = false;
    QLabel* Label1;
    QLineEdit* txtPassword;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
