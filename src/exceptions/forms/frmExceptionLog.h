#pragma once

#include <array>
#include <optional>
#include <QDialog>

class ExceptionLogModel;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;
class Settings;

// The exception log viewer: the events of the last LogKeepDays days, latest per unit and event
// or every one, sorted by any column, previewed, printed and exported.
class frmExceptionLog : public QDialog
{
    Q_OBJECT

public:
    // loadResult: what GetFromLog answered; "" means there are no events.
    frmExceptionLog(Settings& settings, const QString& loadResult, QWidget* parent = nullptr);

    // "&View Exception Log" of the main window: loads the log afresh and shows the viewer, unless
    // the user declined to load a very large log.
    static void ViewExceptionLog(Settings& settings, QWidget* parent);

    const ExceptionLogModel& model() const { return *m_model; }
    QString statusText() const;

    void done(int result) override;

private:
    void Option1_Click(int index);
    void fillList();
    void sortBy(int column);
    void cmdRefresh_Click();
    void cmdPreview_Click();
    void cmdPrint_Click();
    void cmdExport_Click();

    bool hasEvents() const { return !m_loadResult.isEmpty(); }
    bool fullDetails() const;
    bool textMode() const;
    // Shows the "no events" box when there are none.
    bool checkEvents() const;
    QString daysText(const char* one, const char* many) const;
    // The report text of the present mode, built once per opening; nothing when the user did not
    // want to wait for a large one.
    std::optional<QString> reportText();
    void previewList();
    bool printList();
    bool printReportText(const QString& report);
    void showPrinterProblem() const;
    void launchExported(const QStringList& paths) const;

    Settings& m_settings;
    QString m_loadResult;
    qint32 m_lastRow = 0;                            // the row count less one
    std::array<std::optional<QString>, 2> m_reports; // latest, full
    // The order the header shows: none until the list is sorted.
    std::pair<int, Qt::SortOrder> m_shownSort{-1, Qt::AscendingOrder};

    ExceptionLogModel* m_model;
    QTableView* TDBList1;
    QLabel* lblStatus;
    std::array<QRadioButton*, 2> Option1;
    QPushButton* cmdRefresh;
    QPushButton* cmdPreview;
    QPushButton* cmdPrint;
    QPushButton* cmdExport;
    QPushButton* cmdClose;
};
