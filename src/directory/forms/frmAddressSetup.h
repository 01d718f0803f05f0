#pragma once

#include "directory/UnitAddressList.h"

#include <QDialog>

class QMenuBar;
class QPushButton;
class QTimer;
class QTreeView;
class Settings;
class UnitAddressModel;

// The address list window: shows the shared unit address list, changes it record by record
// through the record dialog, and reads and writes the list files. Changes act on the list at
// once; they reach the current list file through "&Done" or a save under another name.
class frmAddressSetup : public QDialog
{
    Q_OBJECT

public:
    // Loads the current list file into units.
    frmAddressSetup(UnitAddressList& units, Settings& settings, QWidget* parent = nullptr);

    int currentRow() const;
    void setCurrentRow(int row);
    // The file "&Done" writes.
    QString listPath() const;

    void add();
    void edit();
    void remove();
    void copy();
    void importSites();
    void saveAndClose();
    void openListFile();
    void saveListFileAs();

    // Closing without "&Done" asks before changes are discarded.
    void reject() override;
    void done(int result) override;

private:
    void sizeColumns();
    void showList(const UnitAddressList& units);
    bool hasUnsavedChanges() const;
    // True when there are no unsaved changes, or the user lets them go.
    bool changesMayGo();
    void showMaximumMessage();
    bool runRecordDialog(int editIndex, const UnitRecord* record);
    void finishCopy();
    void setCommandsEnabled(bool enabled);
    bool keepIncompleteOriginal(const QString& path);

    UnitAddressList& m_units;
    // The list as its file has it: loaded, opened or last saved.
    UnitAddressList m_saved;
    // The file shown at opening did not load to its end: its original is kept before the
    // first save over it, so the records the load could not read are not lost.
    bool m_openedIncomplete = false;
    Settings& m_settings;
    UnitAddressModel* m_model;
    QTimer* m_copyPause;

    QTreeView* lstAddress;
    QPushButton* cmdAdd;
    QPushButton* cmdEdit;
    QPushButton* cmdRemove;
    QPushButton* cmdCopy;
    QPushButton* cmdImport;
    QPushButton* cmdDone;
    QMenuBar* m_menuBar;
};
