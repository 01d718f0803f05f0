#pragma once

#include <QDialog>

class PrintDocument;
class QFileSystemModel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QRadioButton;
class QTreeView;
class Settings;

// Where and under which name reports are saved, and whether they are printed after each cycle.
class frmConfiguration : public QDialog
{
    Q_OBJECT

public:
    explicit frmConfiguration(Settings& settings, QWidget* parent = nullptr);

    // The test page "&Print Test Report" prints; now is its date and time.
    static PrintDocument testReport(const QString& now);

private:
    void loadSettings();
    void showFolder(const QString& folder);
    void folderChosen(const QModelIndex& index);
    void cmdOK_Click();
    void Command1_Click();

    Settings& m_settings;
    bool m_showingFolder = false;

    QLineEdit* Text1;
    QFileSystemModel* m_folders;
    QTreeView* Dir1;
    QLineEdit* txtFilename;
    QRadioButton* OptAddRollingNumber;
    QRadioButton* OptOverwriteReportFile;
    QLineEdit* Text2;
    QRadioButton* OptPrintAutomatic;
    QRadioButton* OptPrintManually;
    QPushButton* Command1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
