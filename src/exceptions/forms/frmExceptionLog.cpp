#include "exceptions/forms/frmExceptionLog.h"

#include "exceptions/clsExceptionHandler.h"
#include "exceptions/ExceptionEventLog.h"
#include "exceptions/ExceptionLogExport.h"
#include "exceptions/ExceptionLogModel.h"
#include "exceptions/forms/ExceptionLogPrintout.h"
#include "exceptions/forms/frmExportType.h"
#include "platform/Clock.h"
#include "platform/FileDialogs.h"
#include "platform/forms/WindowRules.h"
#include "platform/Launcher.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "platform/PrintDocument.h"
#include "platform/Printer.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kMessage = QStringLiteral("Message");

// The hourglass for as long as the object lives.
class WaitCursor
{
public:
    explicit WaitCursor(Qt::CursorShape shape = Qt::WaitCursor)
    {
        QApplication::setOverrideCursor(shape);
    }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

QPushButton* button(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

// Yes/No, titled "Message": the texts of the questions asked before long work.
bool continueLongWork(const QString& what)
{
    return Platform::prompts().ask({kMessage,
                                    QStringLiteral("There are more than 5000 exceptions in the "
                                                   "database. It will take a few minutes to ") +
                                        what + QStringLiteral("\r\nDo you want to continue?"),
                                    PromptButtons::YesNo, PromptIcon::None, 0}) ==
           PromptAnswer::Yes;
}

} // namespace

void frmExceptionLog::ViewExceptionLog(Settings& settings, QWidget* parent)
{
    QFile::remove(ExceptionEventLog::loadCopyPath(settings.exceptionLogPath()));
    const QString loaded = clsExceptionHandler(settings).GetFromLog();
    if (loaded == QStringLiteral("TooBig"))
        return;
    QPointer<frmExceptionLog> viewer;
    {
        WaitCursor busy(Qt::BusyCursor);
        viewer = new frmExceptionLog(settings, loaded, parent);
    }
    viewer->exec();
    delete viewer;
}

frmExceptionLog::frmExceptionLog(Settings& settings, const QString& loadResult, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_loadResult(loadResult)
{
    setObjectName(QStringLiteral("frmExceptionLog"));
    setWindowTitle(QStringLiteral("Exception Log"));
    setModal(true);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextFormat(Qt::PlainText);

    m_model = new ExceptionLogModel(this);
    TDBList1 = new QTableView(this);
    TDBList1->setObjectName(QStringLiteral("TDBList1"));
    TDBList1->setModel(m_model);
    TDBList1->setSelectionBehavior(QAbstractItemView::SelectRows);
    TDBList1->setSelectionMode(QAbstractItemView::SingleSelection);
    TDBList1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TDBList1->setWordWrap(false);
    TDBList1->setAlternatingRowColors(true);
    TDBList1->verticalHeader()->hide();
    TDBList1->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* header = TDBList1->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(ExceptionLogModel::Description, QHeaderView::Stretch);
    WindowRules::fitColumn(header, ExceptionLogModel::Address,
                           {QStringLiteral("000.000.000.000"), QString(15, u'0')});
    WindowRules::fitColumn(header, ExceptionLogModel::PollingTime,
                           {Platform::locale().generalDateTimeText(
                               wallClock(QDate(2026, 12, 28), QTime(22, 59, 59)))});
    WindowRules::fitColumn(
        header, ExceptionLogModel::EventText,
        {QStringLiteral("The local time diff. between PC and unit: > 15 minutes")});

    Option1[0] = new QRadioButton(QStringLiteral("Latest Events"), this);
    Option1[0]->setObjectName(QStringLiteral("Option1_0"));
    Option1[1] = new QRadioButton(QStringLiteral("Full Details"), this);
    Option1[1]->setObjectName(QStringLiteral("Option1_1"));
    cmdRefresh = button(QStringLiteral("&Refresh"), "cmdRefresh", this);
    cmdPreview = button(QStringLiteral("Pre&view"), "cmdPreview", this);
    cmdPrint = button(QStringLiteral("&Print"), "cmdPrint", this);
    cmdExport = button(QStringLiteral("&Export"), "cmdExport", this);
    cmdClose = button(QStringLiteral("&Close"), "cmdClose", this);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Option1[0]);
    bottom->addWidget(Option1[1]);
    bottom->addStretch();
    for (QPushButton* b : {cmdRefresh, cmdPreview, cmdPrint, cmdExport, cmdClose})
        bottom->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus);
    layout->addWidget(TDBList1, 1);
    layout->addLayout(bottom);
    resize(std::max(1000, sizeHint().width()), 560);

    connect(header, &QHeaderView::sectionClicked, this, &frmExceptionLog::sortBy);
    for (int i = 0; i < 2; ++i) {
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool checked) {
            if (checked)
                Option1_Click(i);
        });
    }
    connect(cmdRefresh, &QPushButton::clicked, this, &frmExceptionLog::cmdRefresh_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmExceptionLog::cmdPreview_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmExceptionLog::cmdPrint_Click);
    connect(cmdExport, &QPushButton::clicked, this, &frmExceptionLog::cmdExport_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    // Each opening rebuilds the lists from the latest load.
    clsExceptionHandler::clearListFlags();
    m_model->resetSortState();
    Option1[m_settings.option(Settings::Option::FullDetails) != 0 ? 1 : 0]->setChecked(true);
    TDBList1->setFocus();
}

void frmExceptionLog::done(int result)
{
    if (clsExceptionHandler::veryOldFlag())
        clsExceptionHandler(m_settings).SaveToLog();
    QDialog::done(result);
}

bool frmExceptionLog::fullDetails() const
{
    return Option1[1]->isChecked();
}

bool frmExceptionLog::textMode() const
{
    return m_settings.option(Settings::Option::LogMode) != 0;
}

QString frmExceptionLog::daysText(const char* one, const char* many) const
{
    const qint16 days = m_settings.logKeepDays();
    return QString::number(days) + QString::fromLatin1(days < 2 ? one : many);
}

QString frmExceptionLog::statusText() const
{
    const qsizetype events = hasEvents() ? m_model->rowCount() : 0;
    return QStringLiteral("  Exception Log:   ") + QString::number(events) +
           (events == 1 || !hasEvents() ? QStringLiteral(" Event") : QStringLiteral(" Events")) +
           QStringLiteral(" in past ") + daysText(" day", " days");
}

bool frmExceptionLog::checkEvents() const
{
    if (hasEvents())
        return true;
    Platform::prompts().message(QStringLiteral("No new exception event happened during past ") +
                                    daysText(" day!", " days!"),
                                kMessage, PromptIcon::Information);
    return false;
}

void frmExceptionLog::Option1_Click(int index)
{
    m_settings.SaveOption(Settings::Option::FullDetails, qint16(index));
    fillList();
    const int column = m_model->sortColumn();
    m_model->invertDirectionFlag(column);
    sortBy(column);
    cmdRefresh_Click();
}

void frmExceptionLog::fillList()
{
    WaitCursor busy;
    QList<EventListEntry> entries;
    if (hasEvents()) {
        clsExceptionHandler handler(m_settings);
        if (fullDetails()) {
            if (!clsExceptionHandler::fullListBuilt())
                handler.GetListLogF();
            entries = clsExceptionHandler::fullList();
        } else {
            if (!clsExceptionHandler::latestListBuilt())
                handler.GetListLog();
            entries = clsExceptionHandler::latestList();
        }
    }
    m_lastRow = hasEvents() ? qint32(entries.size() - 1) : 1;
    m_model->setEntries(std::move(entries));
    m_shownSort = {-1, Qt::AscendingOrder};
    TDBList1->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    lblStatus->setText(statusText());
}

void frmExceptionLog::sortBy(int column)
{
    QHeaderView* header = TDBList1->horizontalHeader();
    if (hasEvents() && m_lastRow > ExceptionEventLog::kAskAboveRecords &&
        !continueLongWork(QStringLiteral("sort."))) {
        header->setSortIndicator(m_shownSort.first, m_shownSort.second);
        cmdRefresh_Click();
        return;
    }
    WaitCursor busy;
    m_model->sortByColumn(column);
    m_shownSort = {column, m_model->lastDirection() == ExceptionLogModel::Descending
                               ? Qt::DescendingOrder
                               : Qt::AscendingOrder};
    header->setSortIndicator(m_shownSort.first, m_shownSort.second);
    cmdRefresh_Click();
}

void frmExceptionLog::cmdRefresh_Click()
{
    TDBList1->viewport()->update();
}

std::optional<QString> frmExceptionLog::reportText()
{
    const bool full = fullDetails();
    std::optional<QString>& report = m_reports[full ? 1 : 0];
    if (report)
        return report;
    if (m_lastRow > ExceptionEventLog::kAskAboveRecords &&
        !continueLongWork(QStringLiteral("create the text file.")))
        return std::nullopt;
    WaitCursor busy;
    report = clsExceptionHandler(m_settings).GetReport(full);
    return report;
}

void frmExceptionLog::cmdPreview_Click()
{
    if (!checkEvents())
        return;
    if (!textMode()) {
        previewList();
        return;
    }
    const std::optional<QString> report = reportText();
    if (!report)
        return;
    QString name = m_settings.logFileName();
    if (name.right(4) != QStringLiteral(".txt"))
        name += QStringLiteral(".txt");
    const QString path = QDir::cleanPath(Platform::programFolder().path() + u'/' + name);
    if (!clsExceptionHandler::SetFileContents(path, *report)) {
        Platform::prompts().message(QStringLiteral("Cannot write ") + path, kMessage,
                                    PromptIcon::Warning);
        return;
    }
    Platform::launcher().openInTextEditor(path);
}

void frmExceptionLog::previewList()
{
    std::unique_ptr<QPrinter> printer = ExceptionLogPrintout::defaultPrinter();
    if (!printer) {
        showPrinterProblem();
        return;
    }
    const ExceptionLogPrintout printout(*m_model, Platform::clock().localNow().date());
    bool painted = true;
    QPointer<QPrintPreviewDialog> preview = new QPrintPreviewDialog(printer.get(), this);
    preview->setObjectName(QStringLiteral("frmPrintPreview"));
    preview->setWindowTitle(QStringLiteral("VigilStat Exception Event Log"));
    if (const QScreen* screen = this->screen())
        preview->resize(screen->availableSize() * 0.8);
    connect(preview, &QPrintPreviewDialog::paintRequested, this,
            [&](QPrinter* target) { painted = printout.paint(*target) && painted; });
    preview->exec();
    delete preview;
    if (!painted)
        showPrinterProblem();
}

bool frmExceptionLog::printList()
{
    std::unique_ptr<QPrinter> printer = ExceptionLogPrintout::defaultPrinter();
    return printer &&
           ExceptionLogPrintout(*m_model, Platform::clock().localNow().date()).paint(*printer);
}

void frmExceptionLog::cmdPrint_Click()
{
    if (!checkEvents())
        return;
    bool printed = false;
    if (textMode()) {
        const std::optional<QString> report = reportText();
        if (!report)
            return;
        WaitCursor busy;
        printed = printReportText(*report);
    } else {
        WaitCursor busy;
        printed = printList();
    }
    if (printed)
        Platform::prompts().message(QStringLiteral("Exception Event Log has been printed!"));
    else
        showPrinterProblem();
}

void frmExceptionLog::showPrinterProblem() const
{
    Platform::prompts().message(QStringLiteral("There has been a problem printing the event log."
                                               "\r\nPlease ensure that a printer is installed on "
                                               "your computer!"),
                                kMessage, PromptIcon::Warning);
}

void frmExceptionLog::cmdExport_Click()
{
    if (!checkEvents())
        return;
    QPointer<frmExportType> chooser = new frmExportType(m_model->rowCount(), this);
    chooser->exec();
    const int formats = chooser ? chooser->formats() : 0;
    delete chooser;
    if (formats == 0)
        return;

    FileDialogRequest request;
    request.title = QStringLiteral("Export Exception Log to:");
    request.filter = ExceptionLogExport::filter(formats);
    request.folder = Platform::programFolder().path();
    request.defaultSuffix = ExceptionLogExport::suffix(formats);
    request.fileName = ExceptionLogExport::proposedName(Platform::clock().localNow());
    const std::optional<QString> chosen = Platform::fileDialogs().saveFile(request);
    if (!chosen)
        return;

    WriteResult result;
    {
        WaitCursor busy;
        const QList<EventListEntry>& list =
            fullDetails() ? clsExceptionHandler::fullList() : clsExceptionHandler::latestList();
        result = ExceptionLogExport(*m_model, list).write(formats, *chosen);
    }
    if (result.status != WriteResult::Status::Written) {
        Platform::prompts().message(ExceptionLogExport::failureText(result, *chosen), kMessage,
                                    PromptIcon::Warning);
        return;
    }
    QStringList paths;
    for (const ExceptionLogExport::Target& target : ExceptionLogExport::targets(formats, *chosen))
        paths.append(target.path);
    launchExported(paths);
}

void frmExceptionLog::launchExported(const QStringList& paths) const
{
    const bool one = paths.size() == 1;
    const QString question =
        one ? QStringLiteral("The file has been exported! Do you want to launch it?")
            : QStringLiteral("The files have been exported! Do you want to launch them?");
    if (Platform::prompts().ask({QStringLiteral("Exception Log"), question, PromptButtons::YesNo,
                                 PromptIcon::Question, 0}) != PromptAnswer::Yes)
        return;
    if (one) {
        Platform::launcher().openWithDefaultApplication(paths.constFirst());
        return;
    }
    FileDialogRequest request;
    request.title = QStringLiteral("Open Exported Exception Log Files");
    request.filter = QStringLiteral("All Files (*.*)|*.*");
    request.folder = QFileInfo(paths.constFirst()).absolutePath();
    if (const std::optional<QString> file = Platform::fileDialogs().openFile(request))
        Platform::launcher().openWithDefaultApplication(*file);
}

bool frmExceptionLog::printReportText(const QString& report)
{
    PrintDocument document(QStringLiteral("VigilStat Exception Event Log"));
    document.setFont(12, true);
    document.print();
    document.print(QString(18, u' ') + QStringLiteral("VIGILSTAT  EXCEPTION  EVENT  LOG"));
    document.print();
    document.print(QString(25, u' ') +
                   Platform::locale().generalDateTimeText(Platform::clock().localNow()));
    document.setFont(8, true);
    document.print(QStringList{QString(), QString(), report, QString(), QString()});
    document.setFont(12, true);
    document.print(QString(32, u' ') + QStringLiteral("---000---"));
    return Platform::printer().print(document);
}
