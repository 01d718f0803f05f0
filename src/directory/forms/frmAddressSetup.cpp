#include "directory/forms/frmAddressSetup.h"

#include "directory/AddressListFile.h"
#include "directory/forms/frmAddEdit.h"
#include "directory/forms/frmImport.h"
#include "directory/forms/UnitAddressModel.h"
#include "directory/TimeZones.h"
#include "platform/FileDialogs.h"
#include "platform/forms/WindowRules.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const QString kFilter = QStringLiteral("IP Address List (*.ipl)|*.ipl");

QPushButton* button(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

void pleaseAddFirst()
{
    Platform::prompts().message(QStringLiteral("Please add an address to the list first..."));
}

// Any IPv4 address, and a phone number of 15 characters, in the widest characters they can have.
QStringList longestAddresses(const QFontMetrics& metrics)
{
    QChar widest = u'-';
    for (const QChar c : QStringLiteral("0123456789")) {
        if (metrics.horizontalAdvance(c) > metrics.horizontalAdvance(widest))
            widest = c;
    }
    const QString part(3, widest);
    return {part + u'.' + part + u'.' + part + u'.' + part, QString(15, widest)};
}

} // namespace

frmAddressSetup::frmAddressSetup(UnitAddressList& units, Settings& settings, QWidget* parent)
    : QDialog(parent), m_units(units), m_settings(settings)
{
    setObjectName(QStringLiteral("frmAddressSetup"));
    setWindowTitle(QStringLiteral("Unit Address List Setup"));
    setModal(true);

    m_model = new UnitAddressModel(m_units, this);
    lstAddress = new QTreeView(this);
    lstAddress->setObjectName(QStringLiteral("lstAddress"));
    lstAddress->setModel(m_model);
    lstAddress->setRootIsDecorated(false);
    lstAddress->setUniformRowHeights(true);
    lstAddress->setItemsExpandable(false);
    lstAddress->setAllColumnsShowFocus(true);
    lstAddress->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstAddress->setSelectionMode(QAbstractItemView::SingleSelection);
    lstAddress->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sizeColumns();

    cmdAdd = button(QStringLiteral("&Add"), "cmdAdd", this);
    cmdEdit = button(QStringLiteral("&Edit"), "cmdEdit", this);
    cmdRemove = button(QStringLiteral("&Remove"), "cmdRemove", this);
    cmdCopy = button(QStringLiteral("&Copy"), "cmdCopy", this);
    cmdImport = button(QStringLiteral("&Import"), "cmdImport", this);
    cmdDone = button(QStringLiteral("&Done"), "cmdDone", this);

    m_menuBar = new QMenuBar(this);
    QMenu* mnuFile = m_menuBar->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    QAction* mnuOpen = mnuFile->addAction(QStringLiteral("&Open Unit Address File"));
    mnuOpen->setObjectName(QStringLiteral("mnuOpen"));
    QAction* mnuSaveAs = mnuFile->addAction(QStringLiteral("&Save Unit Address File As ..."));
    mnuSaveAs->setObjectName(QStringLiteral("mnuSaveAs"));
    QAction* mnuDone = mnuFile->addAction(QStringLiteral("&Done"));
    mnuDone->setObjectName(QStringLiteral("mnuDone"));

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdAdd, cmdEdit, cmdRemove, cmdCopy, cmdImport})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdDone);
    auto* body = new QHBoxLayout(this);
    body->setMenuBar(m_menuBar);
    body->addWidget(lstAddress, 1);
    body->addLayout(buttons);

    m_copyPause = new QTimer(this);
    m_copyPause->setSingleShot(true);
    m_copyPause->setInterval(1000);

    connect(cmdAdd, &QPushButton::clicked, this, &frmAddressSetup::add);
    connect(cmdEdit, &QPushButton::clicked, this, &frmAddressSetup::edit);
    connect(cmdRemove, &QPushButton::clicked, this, &frmAddressSetup::remove);
    connect(cmdCopy, &QPushButton::clicked, this, &frmAddressSetup::copy);
    connect(cmdImport, &QPushButton::clicked, this, &frmAddressSetup::importSites);
    connect(cmdDone, &QPushButton::clicked, this, &frmAddressSetup::saveAndClose);
    connect(mnuDone, &QAction::triggered, this, &frmAddressSetup::saveAndClose);
    connect(mnuOpen, &QAction::triggered, this, &frmAddressSetup::openListFile);
    connect(mnuSaveAs, &QAction::triggered, this, &frmAddressSetup::saveListFileAs);
    connect(m_copyPause, &QTimer::timeout, this, &frmAddressSetup::finishCopy);
    // Enter, or a double-click, edits the row.
    connect(lstAddress, &QTreeView::activated, this, [this](const QModelIndex& index) {
        setCurrentRow(index.row());
        edit();
    });

    UnitAddressList loaded;
    // On a first start there is no list file yet, and nothing that could have been lost.
    if (QFileInfo::exists(listPath()))
        m_openedIncomplete = LoadAddressList(listPath(), loaded) != AddressListLoad::Loaded;
    showList(loaded);
}

void frmAddressSetup::sizeColumns()
{
    QHeaderView* header = lstAddress->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(UnitAddressModel::Description, QHeaderView::Stretch);
    WindowRules::fitColumn(header, UnitAddressModel::Address,
                           longestAddresses(lstAddress->fontMetrics()));
    WindowRules::fitColumn(header, UnitAddressModel::Zone, TimeZoneList());
    WindowRules::fitColumn(header, UnitAddressModel::Dst, {DstNameFromCode(0)});
    WindowRules::fitColumn(header, UnitAddressModel::Status, {QStringLiteral("0")});
    WindowRules::fitColumn(header, UnitAddressModel::Syn, {QStringLiteral("0")});
    int fixed = 0;
    for (int column = 0; column < UnitAddressModel::ColumnCount; ++column) {
        if (column != UnitAddressModel::Description)
            fixed += header->sectionSize(column);
    }
    const int descriptionRoom = lstAddress->fontMetrics().averageCharWidth() * 30;
    lstAddress->setMinimumSize(fixed + descriptionRoom, lstAddress->fontMetrics().height() * 18);
}

void frmAddressSetup::showList(const UnitAddressList& units)
{
    m_model->replaceAll(units);
    m_saved = units;
    setCurrentRow(0);
}

bool frmAddressSetup::hasUnsavedChanges() const
{
    // A copy still waiting for its dialog goes anyway when the window closes.
    if (m_copyPause->isActive()) {
        UnitAddressList shown = m_units;
        shown.removeAt(shown.count() - 1);
        return shown != m_saved;
    }
    return m_units != m_saved;
}

bool frmAddressSetup::changesMayGo()
{
    if (!hasUnsavedChanges())
        return true;
    return Platform::prompts().ask(Prompt{QStringLiteral("Message"),
                                          QStringLiteral("Discard the changes to the unit "
                                                         "address list?"),
                                          PromptButtons::YesNo, PromptIcon::Question, 1}) ==
           PromptAnswer::Yes;
}

QString frmAddressSetup::listPath() const
{
    return AddressListPath(m_settings.ipFileName());
}

int frmAddressSetup::currentRow() const
{
    const QModelIndex current = lstAddress->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void frmAddressSetup::setCurrentRow(int row)
{
    if (m_units.count() == 0)
        return;
    const QModelIndex index = m_model->index(qBound(0, row, m_units.count() - 1), 0);
    lstAddress->setCurrentIndex(index);
    lstAddress->scrollTo(index);
}

void frmAddressSetup::showMaximumMessage()
{
    Platform::prompts().message(QStringLiteral("A maximum of ") +
                                QString::number(UnitAddressList::kMaxUnits) +
                                QStringLiteral(" Addresses are allowed..."));
}

bool frmAddressSetup::runRecordDialog(int editIndex, const UnitRecord* record)
{
    QPointer<frmAddressSetup> self(this);
    QPointer<frmAddEdit> dialog = new frmAddEdit(m_units, this);
    if (record) {
        dialog->prepareEdit(editIndex, *record);
    } else {
        const QString zone = PcStartupZone().zone;
        dialog->prepareAdd(zone, DstNameFromCode(DefaultDstCode(zone)),
                           QStringLiteral("Address ") + QString::number(m_units.count() + 1));
    }
    dialog->exec();
    // The window may have gone with its parent while the dialog was open.
    if (!self || !dialog)
        return false;
    const bool accepted = dialog->accepted();
    const UnitRecord result = dialog->record();
    delete dialog;
    if (!accepted)
        return false;
    if (record && editIndex >= m_units.count())
        return false; // the list was reloaded under the dialog
    if (record) {
        m_model->replace(editIndex, result);
        setCurrentRow(editIndex);
    } else {
        m_model->append(result);
        setCurrentRow(m_units.count() - 1);
    }
    return true;
}

void frmAddressSetup::add()
{
    if (m_units.isFull()) {
        showMaximumMessage();
        return;
    }
    runRecordDialog(-1, nullptr);
}

void frmAddressSetup::edit()
{
    if (m_units.count() == 0) {
        pleaseAddFirst();
        return;
    }
    const int row = qMax(0, currentRow());
    const UnitRecord record = m_units.record(row);
    runRecordDialog(row, &record);
}

void frmAddressSetup::remove()
{
    if (m_units.count() == 0)
        return;
    const int row = qMax(0, currentRow());
    m_model->removeAt(row);
    setCurrentRow(row);
}

void frmAddressSetup::copy()
{
    if (m_units.count() == 0) {
        pleaseAddFirst();
        return;
    }
    if (m_units.isFull()) {
        showMaximumMessage();
        return;
    }
    m_model->append(m_units.record(qMax(0, currentRow())));
    setCurrentRow(m_units.count() - 1);
    // Nothing else may change the list while the copy waits for its dialog.
    setCommandsEnabled(false);
    m_copyPause->start();
}

void frmAddressSetup::finishCopy()
{
    setCommandsEnabled(true);
    const int row = m_units.count() - 1;
    Platform::prompts().message(m_units.DataStr.at(row).contains(u'.')
                                    ? QStringLiteral("You must change this IP Address!")
                                    : QStringLiteral("You must change this Phone Number!"));
    QPointer<frmAddressSetup> self(this);
    const UnitRecord record = m_units.record(row);
    const bool accepted = runRecordDialog(row, &record);
    if (self && !accepted) {
        setCurrentRow(row);
        remove();
    }
}

void frmAddressSetup::importSites()
{
    if (m_units.isFull()) {
        showMaximumMessage();
        return;
    }
    QPointer<frmAddressSetup> self(this);
    QPointer<frmImport> dialog = new frmImport(*m_model, this);
    dialog->exec();
    if (!self || !dialog)
        return;
    delete dialog;
    setCurrentRow(currentRow());
}

void frmAddressSetup::setCommandsEnabled(bool enabled)
{
    for (QPushButton* b : {cmdAdd, cmdEdit, cmdRemove, cmdCopy, cmdImport, cmdDone})
        b->setEnabled(enabled);
    m_menuBar->setEnabled(enabled);
    lstAddress->setEnabled(enabled);
}

void frmAddressSetup::reject()
{
    if (changesMayGo())
        QDialog::reject();
}

void frmAddressSetup::done(int result)
{
    // Closed while a copy waited for its dialog: the copy goes, as if its dialog was cancelled.
    if (m_copyPause->isActive()) {
        m_copyPause->stop();
        setCommandsEnabled(true);
        m_model->removeAt(m_units.count() - 1);
    }
    // Discarded changes leave the list as the file has it, for the cycle as well.
    if (result == QDialog::Rejected && m_units != m_saved)
        m_model->replaceAll(m_saved);
    QDialog::done(result);
}

void frmAddressSetup::saveAndClose()
{
    if (m_openedIncomplete && !keepIncompleteOriginal(listPath()))
        return;
    if (SaveAddressList(listPath(), m_units))
        accept();
}

bool frmAddressSetup::keepIncompleteOriginal(const QString& path)
{
    const QString kept = path + QStringLiteral(".bak");
    QFile::remove(kept);
    if (!QFile::copy(path, kept)) {
        Platform::prompts().message(QStringLiteral("Cannot save ") + kept);
        return false;
    }
    m_openedIncomplete = false;
    Platform::prompts().message(
        QStringLiteral("The unit address list file could not be read completely. Its original is "
                       "kept as ") +
        kept);
    return true;
}

void frmAddressSetup::openListFile()
{
    if (!changesMayGo())
        return;
    const std::optional<QString> path =
        Platform::fileDialogs().openFile({QStringLiteral("Open IP Adress List File"),
                                          kFilter,
                                          Platform::programFolder().path(),
                                          {}});
    if (!path)
        return;
    // A file that does not load leaves the list and the current path as they were, so that
    // "&Done" cannot write a partial list over it.
    UnitAddressList loaded;
    if (LoadAddressList(*path, loaded) != AddressListLoad::Loaded)
        return;
    showList(loaded);
    m_settings.setIPFileName(*path);
    m_openedIncomplete = false;
}

void frmAddressSetup::saveListFileAs()
{
    const std::optional<QString> path =
        Platform::fileDialogs().saveFile({QStringLiteral("Save IP Adress List File"), kFilter,
                                          Platform::programFolder().path(), QStringLiteral("ipl")});
    if (!path)
        return;
    const bool overIncomplete = m_openedIncomplete && QFileInfo(*path).absoluteFilePath() ==
                                                          QFileInfo(listPath()).absoluteFilePath();
    if (overIncomplete && !keepIncompleteOriginal(*path))
        return;
    if (SaveAddressList(*path, m_units)) {
        m_settings.setIPFileName(*path);
        m_saved = m_units;
        m_openedIncomplete = false;
    }
}
