#pragma once

class QLineEdit;
class QWidget;

// A password box: at most eight characters, each shown as "*".
QLineEdit* makePasswordField(const char* objectName, QWidget* parent);
