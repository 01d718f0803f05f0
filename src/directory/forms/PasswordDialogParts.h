#pragma once

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

// A password box: at most eight characters, each shown as "*".
QLineEdit* makePasswordField(const char* objectName, QWidget* parent);

// "&OK" and "&Cancel" at the right. Neither takes the Enter key: the boxes decide what Enter does.
QHBoxLayout* makeOkCancelRow(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel);
