#pragma once

#include <QDialog>

class QPushButton;

// The program's title and version; starts the system information viewer when one is installed.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

private:
    void cmdSysInfo_Click();

    QPushButton* cmdOK;
    QPushButton* cmdSysInfo = nullptr;
};
