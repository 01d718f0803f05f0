#include "directory/forms/frmChangePassword.h"

#include "directory/forms/PasswordDialogParts.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmChangePassword::frmChangePassword(Settings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("frmChangePassword"));
    setWindowTitle(QStringLiteral("Change Password"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Label1 = new QLabel(QStringLiteral("Enter the new password"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("Retype the new password"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    txtNewPassword = makePasswordField("txtNewPassword", this);
    txtRetypePassword = makePasswordField("txtRetypePassword", this);
    Label1->setBuddy(txtNewPassword);
    Label2->setBuddy(txtRetypePassword);
    QHBoxLayout* buttons = makeOkCancelRow(this, cmdOK, cmdCancel);

    auto* fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(txtNewPassword, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(txtRetypePassword, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Enter in the first box moves on to the second; Enter in the second confirms.
    connect(txtNewPassword, &QLineEdit::returnPressed, txtRetypePassword,
            qOverload<>(&QWidget::setFocus));
    connect(txtRetypePassword, &QLineEdit::returnPressed, this, &frmChangePassword::cmdOK_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmChangePassword::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(txtNewPassword, txtRetypePassword);
    setTabOrder(txtRetypePassword, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    txtNewPassword->setFocus();
}

void frmChangePassword::cmdOK_Click()
{
    const QString entry = txtNewPassword->text();
    if (!entry.isEmpty() && txtRetypePassword->text() == entry) {
        Platform::prompts().message(QStringLiteral("Password Accepted!"));
        m_settings.setPassword(entry);
        accept();
        return;
    }
    txtRetypePassword->clear();
    Platform::prompts().message(QStringLiteral("Please Reenter the password"));
    txtRetypePassword->setFocus();
}
