#pragma once

#include <QDialog>

class PollSchedule;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QVBoxLayout;
class Settings;

// The poll frequency: by hand only, or automatically from a start date and half-hour, once or
// every given number of hours; and how many units a cycle polls at once.
class frmConfigurePoll : public QDialog
{
    Q_OBJECT

public:
    frmConfigurePoll(Settings& settings, PollSchedule& schedule, QWidget* parent = nullptr);

    // "12:00 AM" to "11:30 PM", whatever the locale's time format.
    static QStringList startTimeTexts();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadSettings();
    void updateEnabled();
    // Leaving the hours box: nothing or zero means 24, any other number loses its leading zeros.
    void applyHoursLeaveRule();
    bool hoursAccepted(qint32& hours);
    bool startTimeAccepted();
    void cmdOK_Click();

    Settings& m_settings;
    PollSchedule& m_schedule;

    QRadioButton* OptPollManually;
    QRadioButton* OptPollAutomatic;
    QGroupBox* fraInterval;
    QDateEdit* DTPicker1;
    QComboBox* Combo1;
    QRadioButton* Option2;
    QRadioButton* Option1;
    QLineEdit* Text1;
    QLabel* lblHours;
    QSpinBox* txtConcurrentUnits;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    // The dialog's rows from top to bottom; later settings of the poll add theirs here.
    QVBoxLayout* m_rows;
};
