#include "directory/forms/PasswordField.h"

#include <QLineEdit>

QLineEdit* makePasswordField(const char* objectName, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(objectName));
    field->setMaxLength(8);
    field->setEchoMode(QLineEdit::Password);
    field->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    return field;
}
