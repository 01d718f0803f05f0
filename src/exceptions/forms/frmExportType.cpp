#include "exceptions/forms/frmExportType.h"

#include "exceptions/ExceptionLogExport.h"
#include "platform/forms/WidgetNames.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmExportType::frmExportType(qsizetype listRows, QWidget* parent)
    : QDialog(parent), m_listRows(listRows)
{
    setObjectName(QStringLiteral("frmExportType"));
    setWindowTitle(QStringLiteral("Export Type"));
    setModal(true);

    auto* label = named(
        new QLabel(QStringLiteral("Please Select File Type To Be Exported To:"), this), "Label1");
    chkExcel = named(new QCheckBox(QStringLiteral("Excel File"), this), "chkExcel");
    chkDelimited =
        named(new QCheckBox(QStringLiteral("Comma Delimited File"), this), "chkDelimited");
    chkHtml = named(new QCheckBox(QStringLiteral("HTML File"), this), "chkHtml");
    cmdOK = named(new QPushButton(QStringLiteral("&OK"), this), "cmdOK");
    cmdCancel = named(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCancel");
    cmdOK->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    for (QCheckBox* box : {chkExcel, chkDelimited, chkHtml})
        layout->addWidget(box);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK, &QPushButton::clicked, this, &frmExportType::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmExportType::cmdOK_Click()
{
    const int formats = (chkExcel->isChecked() ? ExceptionLogExport::Excel : 0) +
                        (chkDelimited->isChecked() ? ExceptionLogExport::Delimited : 0) +
                        (chkHtml->isChecked() ? ExceptionLogExport::Html : 0);
    if (formats == 0) {
        Platform::prompts().message(QStringLiteral("You must select at least one check box!"));
        return;
    }
    if ((formats & ExceptionLogExport::Excel) && m_listRows > ExceptionLogExport::kMaxExcelRows) {
        Platform::prompts().message(
            QStringLiteral("There are more Exceptions than the maximum number of rows that are "
                           "allowed in an Excel Worksheet(") +
            QString::number(Spreadsheet::kMaxRows) +
            QStringLiteral("). Therefore the data cannot be exported to an Excel format. Please "
                           "uncheck the Excel checkbox."));
        return;
    }
    m_formats = formats;
    accept();
}
