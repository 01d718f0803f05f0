#include "core/forms/frmConfiguration.h"

#include "core/ReportFileName.h"
#include "platform/Clock.h"
#include "platform/forms/WidgetNames.h"
#include "platform/forms/WindowRules.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "platform/PrintDocument.h"
#include "platform/Printer.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QLabel* buddyLabel(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

frmConfiguration::frmConfiguration(Settings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("frmConfiguration"));
    setWindowTitle(QStringLiteral("Print and Save Configuration"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* saveFrame = new QGroupBox(QStringLiteral("Status Report Save Settings"), this);
    Text1 = named(new QLineEdit(saveFrame), "Text1");
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    m_folders->setRootPath(QDir::rootPath());
    Dir1 = named(new QTreeView(saveFrame), "Dir1");
    Dir1->setModel(m_folders);
    Dir1->setRootIndex(m_folders->index(QString()));
    for (int column = 1; column < m_folders->columnCount(); ++column)
        Dir1->hideColumn(column);
    Dir1->setHeaderHidden(true);
    Dir1->setMinimumHeight(Dir1->fontMetrics().height() * 10);
    txtFilename = named(new QLineEdit(QStringLiteral("Report.txt"), saveFrame), "txtFilename");
    OptAddRollingNumber = named(
        new QRadioButton(QStringLiteral("A&dd rolling number to each new report file"), saveFrame),
        "OptAddRollingNumber");
    OptOverwriteReportFile =
        named(new QRadioButton(QStringLiteral("O&verwrite Report File every time it is saved"),
                               saveFrame),
              "OptOverwriteReportFile");
    Text2 = named(new QLineEdit(saveFrame), "Text2");
    Text2->setMaximumWidth(Text2->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 10);

    auto* startNumber = new QHBoxLayout;
    startNumber->addWidget(OptAddRollingNumber);
    startNumber->addStretch();
    startNumber->addWidget(buddyLabel(QStringLiteral("&Start Number at:"), Text2, saveFrame));
    startNumber->addWidget(Text2);
    auto* saveGrid = new QGridLayout(saveFrame);
    saveGrid->addWidget(
        buddyLabel(QStringLiteral("&Folder to save Status Report Files:"), Text1, saveFrame), 0, 0,
        1, 2);
    saveGrid->addWidget(Text1, 1, 0, 1, 2);
    saveGrid->addWidget(buddyLabel(QStringLiteral("&Browse:"), Dir1, saveFrame), 2, 0,
                        Qt::AlignTop);
    saveGrid->addWidget(Dir1, 2, 1);
    saveGrid->addWidget(buddyLabel(QStringLiteral("File&name:"), txtFilename, saveFrame), 3, 0);
    saveGrid->addWidget(txtFilename, 3, 1);
    saveGrid->addLayout(startNumber, 4, 0, 1, 2);
    saveGrid->addWidget(OptOverwriteReportFile, 5, 0, 1, 2);

    auto* printFrame = new QGroupBox(QStringLiteral("Printer Settings"), this);
    OptPrintAutomatic =
        named(new QRadioButton(
                  QStringLiteral("Print Report &Automatically every time a report file is saved"),
                  printFrame),
              "OptPrintAutomatic");
    OptPrintManually =
        named(new QRadioButton(QStringLiteral("Print Report &Manually (Using Menus)"), printFrame),
              "OptPrintManually");
    Command1 = named(new QPushButton(QStringLiteral("&Print Test Report"), printFrame), "Command1");
    Command1->setAutoDefault(false);
    auto* printGrid = new QGridLayout(printFrame);
    printGrid->addWidget(OptPrintAutomatic, 0, 0);
    printGrid->addWidget(OptPrintManually, 1, 0);
    printGrid->addWidget(Command1, 1, 1, Qt::AlignRight);

    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    cmdCancel = named(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCancel");
    cmdOK->setDefault(true);
    cmdCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(saveFrame);
    layout->addWidget(printFrame);
    layout->addLayout(buttons);
    Text1->setMinimumWidth(Text1->fontMetrics().averageCharWidth() * 56);

    QWidget* order[] = {Text1,
                        Dir1,
                        txtFilename,
                        OptAddRollingNumber,
                        Text2,
                        OptOverwriteReportFile,
                        OptPrintAutomatic,
                        OptPrintManually,
                        Command1,
                        cmdOK,
                        cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmConfiguration::folderChosen);
    // Folders are read in the background; keep the chosen one in sight as its parents fill.
    connect(m_folders, &QFileSystemModel::directoryLoaded, this,
            [this] { Dir1->scrollTo(Dir1->currentIndex(), QAbstractItemView::PositionAtCenter); });
    connect(Command1, &QPushButton::clicked, this, &frmConfiguration::Command1_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmConfiguration::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    loadSettings();
    WindowRules::tabToChosenOption({OptAddRollingNumber, OptOverwriteReportFile});
    WindowRules::tabToChosenOption({OptPrintAutomatic, OptPrintManually});
    Text1->setFocus();
}

void frmConfiguration::loadSettings()
{
    Text1->setText(m_settings.reportSaveFolder());
    txtFilename->setText(m_settings.reportFileName());
    showFolder(ReportFileName::folder(Text1->text()));
    (m_settings.option(Settings::Option::PrinterOption) == 1 ? OptPrintAutomatic : OptPrintManually)
        ->setChecked(true);
    (m_settings.option(Settings::Option::FileSaveOption) == 1 ? OptAddRollingNumber
                                                              : OptOverwriteReportFile)
        ->setChecked(true);
    Text2->setText(QString::number(m_settings.rollingNumber()));
}

void frmConfiguration::showFolder(const QString& folder)
{
    // A folder that is gone shows its nearest existing parent; the box keeps what was stored.
    QString path = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            break;
        path = parent;
    }
    const QModelIndex index = m_folders->index(path);
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        Dir1->expand(parent);
    m_showingFolder = true;
    Dir1->setCurrentIndex(index);
    m_showingFolder = false;
    Dir1->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void frmConfiguration::folderChosen(const QModelIndex& index)
{
    if (!m_showingFolder && index.isValid())
        Text1->setText(QDir::toNativeSeparators(m_folders->filePath(index)));
}

void frmConfiguration::cmdOK_Click()
{
    bool ok = false;
    const qint16 number = Text2->text().trimmed().toShort(&ok);
    if (!ok) {
        Platform::prompts().message(
            QStringLiteral("Please Enter a valid start number for the file!"));
        Text2->setFocus();
        Text2->selectAll();
        return;
    }
    m_settings.setRollingNumber(number);
    // Blanks around a path or a name are never meant, and would make a file hard to find.
    m_settings.setReportSaveFolder(Text1->text().trimmed());
    m_settings.setReportFileName(txtFilename->text().trimmed());
    // Saving the option shows or hides "&Choose Report" in the main window at once.
    m_settings.SaveOption(Settings::Option::FileSaveOption,
                          OptOverwriteReportFile->isChecked() ? 0 : 1);
    m_settings.SaveOption(Settings::Option::PrinterOption, OptPrintManually->isChecked() ? 0 : 1);
    accept();
}

PrintDocument frmConfiguration::testReport(const QString& now)
{
    PrintDocument document(QStringLiteral("VigilStat Test Status Report"));
    document.setFont(12, true);
    document.print(QString(13, u' ') + QStringLiteral("VigilStat Test Status Report"));
    document.print(QString(17, u' ') + now);
    document.setFont(8, true);
    document.print(QStringList{QStringLiteral("Korvo: 192.168.1.233 - Korvo in Quillo's Office"),
                               QStringLiteral("Connecting to 192.168.1.233 [6/1/00 4:08:53 PM]"),
                               QStringLiteral("Connected Successfully!"),
                               QStringLiteral("Received Status Information ")});
    document.setFont(12, true);
    document.print(QString(22, u' ') + QStringLiteral("---000---"));
    return document;
}

void frmConfiguration::Command1_Click()
{
    const QString now = Platform::locale().generalDateTimeText(Platform::clock().localNow());
    if (!Platform::printer().print(testReport(now)))
        Platform::prompts().message(
            QStringLiteral("There has been a problem printing the test report.\n"
                           "Please ensure that a printer is installed on your computer!"));
}
