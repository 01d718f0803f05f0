#pragma once

#include <QDialog>

class QCheckBox;
class QPushButton;

// Asks which files an export of the exception log produces.
class frmExportType : public QDialog
{
    Q_OBJECT

public:
    // listRows: how many rows the workbook would receive below its header.
    explicit frmExportType(qsizetype listRows, QWidget* parent = nullptr);

    // The sum of the chosen ExceptionLogExport formats; 0 when cancelled.
    int formats() const { return m_formats; }

private:
    void cmdOK_Click();

    qsizetype m_listRows;
    int m_formats = 0;
    QCheckBox* chkExcel;
    QCheckBox* chkDelimited;
    QCheckBox* chkHtml;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
