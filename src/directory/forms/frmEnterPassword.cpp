#include "directory/forms/frmEnterPassword.h"

#include "directory/forms/PasswordDialogParts.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "settings/AppPassword.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmEnterPassword::frmEnterPassword(const QString& encodedPassword, QWidget* parent)
    : QDialog(parent), m_encodedPassword(encodedPassword)
{
    setObjectName(QStringLiteral("frmEnterPassword"));
    setWindowTitle(QStringLiteral("Enter Password"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    Label1 = new QLabel(QStringLiteral("Enter the password"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    txtPassword = makePasswordField("txtPassword", this);
    Label1->setBuddy(txtPassword);
    QHBoxLayout* buttons = makeOkCancelRow(this, cmdOK, cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(txtPassword);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(txtPassword, &QLineEdit::returnPressed, this, &frmEnterPassword::cmdOK_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmEnterPassword::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    txtPassword->clear();
    txtPassword->setFocus();
}

void frmEnterPassword::cmdOK_Click()
{
    if (EncodeAppPassword(txtPassword->text()) == m_encodedPassword) {
        m_passwordAccepted = true;
        accept();
        return;
    }
    Platform::prompts().message(QStringLiteral("Incorrect Password Entered..."));
    m_passwordAccepted = false;
    reject();
}
