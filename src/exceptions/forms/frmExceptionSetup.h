#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class Settings;

// Which exceptions are logged ("Monitor") and announced ("Notify"), the minute thresholds, how
// the end of a cycle announces them, and how the exception log is shown.
class frmExceptionSetup : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kRows = 20;
    static constexpr int kNotifyBoxes = 12;

    explicit frmExceptionSetup(Settings& settings, QWidget* parent = nullptr);

private:
    void createFilters(QWidget* frame);
    void loadSettings();
    // A whole number for a 16-bit setting, not below lowest; otherwise says so and keeps focus.
    bool numberAccepted(QWidget* box, const QString& text, qint16 lowest, const QString& message,
                        qint16& value);
    void cmdOK_Click();

    Settings& m_settings;

    QList<QCheckBox*> Check1;    // Monitor, one per row
    QList<QCheckBox*> Check2;    // Notify, by notify index
    QComboBox* Combo1 = nullptr; // local time difference
    QComboBox* Combo2 = nullptr; // record time left
    QComboBox* Combo3 = nullptr; // archive time left
    QRadioButton* optBeep;
    QRadioButton* optWarning;
    QRadioButton* optBoth;
    QRadioButton* optSpreadSheet;
    QRadioButton* optTextFile;
    QLineEdit* Text1;
    QSpinBox* Text2;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
