#pragma once

#include "directory/ImportCandidates.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class QRadioButton;
class UnitAddressModel;
struct ImportTarget;

// The site import: offers the companion viewer's connection list and the sites of list files
// for import into the unit address list, and imports the viewer's site database at once.
// Imported sites reach the list and its rows through the model as they are added.
class frmImport : public QDialog
{
    Q_OBJECT

public:
    // Lists the viewer's connection list, every row selected.
    explicit frmImport(UnitAddressModel& units, QWidget* parent = nullptr);

    const ImportCandidates& candidates() const { return m_candidates; }
    TimeZoneOption timeZoneOption() const;

    void readListFile();
    void importSiteDatabase();
    void importSelectedSites();
    void clearList();

private:
    void showNewRows(int from);
    ImportTarget target();

    UnitAddressModel& m_units;
    ImportCandidates m_candidates;

    QListWidget* List1;
    QRadioButton* optLocalTime;
    QRadioButton* optGMTTime;
    QRadioButton* optStateFilter;
    QPushButton* cmdAddressBook;
    QPushButton* cmdSiteDatabase;
    QPushButton* cmdImportSelected;
    QPushButton* cmdSelectAll;
    QPushButton* cmdClearList;
    QPushButton* cmdCancel;
};
