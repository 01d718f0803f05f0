#include "directory/forms/frmImport.h"

#include "directory/forms/UnitAddressModel.h"
#include "directory/SiteImport.h"
#include "platform/FileDialogs.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QPushButton* button(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QRadioButton* option(const QString& caption, const char* name, QWidget* parent)
{
    auto* o = new QRadioButton(caption, parent);
    o->setObjectName(QString::fromLatin1(name));
    return o;
}

} // namespace

frmImport::frmImport(UnitAddressModel& units, QWidget* parent) : QDialog(parent), m_units(units)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import Sites"));
    setModal(true);

    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // Column captions over the padded rows, in the same pitch.
    auto* captions = new QLabel(
        QStringLiteral("Description").leftJustified(ImportCandidates::kDescriptionWidth) +
            QStringLiteral("IP/Phone No."),
        this);
    captions->setFont(fixed);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setFont(fixed);
    // A click adds or takes away one row, so that a few can be left out after "select all".
    List1->setSelectionMode(QAbstractItemView::MultiSelection);
    List1->setUniformItemSizes(true);
    const int rowWidth = QFontMetrics(fixed).horizontalAdvance(
        QString(ImportCandidates::kDescriptionWidth + 17, u'0'));
    List1->setMinimumSize(
        rowWidth + 2 * List1->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent), 320);
    captions->setBuddy(List1);
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, List1) + 1;
    captions->setContentsMargins(List1->frameWidth() + textMargin, 0, 0, 0);

    auto* zones = new QGroupBox(QStringLiteral("Time Zone"), this);
    optLocalTime = option(QStringLiteral("Local Time"), "optLocalTime", zones);
    optGMTTime = option(QStringLiteral("GMT Time"), "optGMTTime", zones);
    optStateFilter = option(QStringLiteral("State Filter"), "optStateFilter", zones);
    auto* zoneRow = new QHBoxLayout(zones);
    for (QRadioButton* o : {optLocalTime, optGMTTime, optStateFilter})
        zoneRow->addWidget(o);
    zoneRow->addStretch();

    cmdAddressBook =
        button(QStringLiteral("Import Sites from an &Address Book File"), "cmdAddressBook", this);
    cmdSiteDatabase =
        button(QStringLiteral("Import from &ScopeVault Site Database"), "cmdSiteDatabase", this);
    cmdSelectAll = button(QStringLiteral("&Select all Sites"), "cmdSelectAll", this);
    cmdClearList = button(QStringLiteral("Clear &List"), "cmdClearList", this);
    cmdImportSelected =
        button(QStringLiteral("&Import all Selected Sites"), "cmdImportSelected", this);
    cmdCancel = button(QStringLiteral("&Cancel"), "cmdCancel", this);

    auto* left = new QVBoxLayout;
    left->addWidget(captions);
    left->addWidget(List1, 1);
    left->addWidget(zones);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdAddressBook, cmdSiteDatabase})
        buttons->addWidget(b);
    buttons->addSpacing(16);
    for (QPushButton* b : {cmdSelectAll, cmdClearList})
        buttons->addWidget(b);
    buttons->addStretch();
    for (QPushButton* b : {cmdImportSelected, cmdCancel})
        buttons->addWidget(b);
    auto* body = new QHBoxLayout(this);
    body->addLayout(left, 1);
    body->addLayout(buttons);

    const QList<QWidget*> tabOrder = {
        List1,           optLocalTime, optGMTTime,   optStateFilter,    cmdAddressBook,
        cmdSiteDatabase, cmdSelectAll, cmdClearList, cmdImportSelected, cmdCancel};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder.at(i - 1), tabOrder.at(i));

    connect(cmdAddressBook, &QPushButton::clicked, this, &frmImport::readListFile);
    connect(cmdSiteDatabase, &QPushButton::clicked, this, &frmImport::importSiteDatabase);
    connect(cmdImportSelected, &QPushButton::clicked, this, &frmImport::importSelectedSites);
    connect(cmdSelectAll, &QPushButton::clicked, List1, &QListWidget::selectAll);
    connect(cmdClearList, &QPushButton::clicked, this, &frmImport::clearList);
    connect(cmdCancel, &QPushButton::clicked, this, &frmImport::reject);

    optLocalTime->setChecked(true);
    m_candidates.LoadConnectionList();
    showNewRows(0);
    List1->setFocus();
}

TimeZoneOption frmImport::timeZoneOption() const
{
    if (optGMTTime->isChecked())
        return TimeZoneOption::GmtTime;
    return optStateFilter->isChecked() ? TimeZoneOption::StateFilter : TimeZoneOption::LocalTime;
}

void frmImport::showNewRows(int from)
{
    for (int i = from; i < m_candidates.count(); ++i)
        List1->addItem(m_candidates.List1.at(i));
    for (int i = from; i < List1->count(); ++i)
        List1->item(i)->setSelected(true);
}

ImportTarget frmImport::target()
{
    return {m_units.units(), [this](const UnitRecord& r) { m_units.append(r); },
            [](bool busy) {
                if (busy)
                    QApplication::setOverrideCursor(Qt::WaitCursor);
                else
                    QApplication::restoreOverrideCursor();
            }};
}

void frmImport::readListFile()
{
    const std::optional<QString> path = Platform::fileDialogs().openFile(
        {QStringLiteral("Open List File"),
         QStringLiteral("List (*.lst)|*.lst|IP Address List(*.ipl)|*.ipl|"
                        "Comma-separated values (*.csv)|*.csv"),
         Platform::programFolder().path(),
         {}});
    if (!path)
        return;
    const int before = m_candidates.count();
    m_candidates.ReadListFile(*path, timeZoneOption());
    showNewRows(before);
}

void frmImport::importSiteDatabase()
{
    ImportTarget to = target();
    if (const std::optional<ImportTally> tally = ImportSiteDatabase(timeZoneOption(), to)) {
        ShowImportSummary(*tally);
        accept();
    }
}

void frmImport::importSelectedSites()
{
    QList<int> rows;
    for (int i = 0; i < List1->count(); ++i) {
        if (List1->item(i)->isSelected())
            rows.append(i);
    }
    ImportTarget to = target();
    ShowImportSummary(ImportSelectedSites(m_candidates, rows, timeZoneOption(), to));
    accept();
}

void frmImport::clearList()
{
    List1->clear();
    m_candidates.clear();
}
