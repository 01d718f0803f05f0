#pragma once

#include "core/PollCycle.h"
#include "core/PollSchedule.h"
#include "directory/UnitAddressList.h"
#include "settings/Settings.h"

#include <QIcon>
#include <QMainWindow>

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTextEdit;
class QTimer;
class DialUpLink;
class SingleInstance;

// The main window: owns the settings cache, the unit lists, the unit status table and the timers,
// and opens every dialog from its menus.
class frmVigilStat : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmVigilStat(QWidget* parent = nullptr);
    ~frmVigilStat() override;

    // The start-up of the window. Returns false when another instance already runs; the window
    // must then be discarded without being shown.
    bool Load(SingleInstance& instance);

    // Loads the list that "IPFileName" names and presses Start (vigilstat --start). A list that
    // cannot be read is told and starts nothing.
    void StartWithListFile();

    // True when the protected command must not run (the right password was not given).
    bool PasswordGate();
    bool isUnlocked() const { return m_unlocked; }

    // 0 = status message retrieval, 1 = unit time synchronization.
    int operatingMode() const { return m_operatingMode; }

    Settings& settings() { return m_settings; }
    UnitAddressList& unitLists() { return m_unitLists; }
    const UnitStatusTable& unitStatus() const { return m_cycle->table(); }
    PollCycle& cycle() { return *m_cycle; }
    DialUpLink& dialUp() { return *m_dialUp; }
    PollSchedule& schedule() { return *m_schedule; }

    // The program's icon, shown by every window unless a cycle logged notifying exceptions.
    static QIcon normalIcon();
    void showNormalIcon();
    // Set while the caption and icon tell of new exceptions, until the log is opened.
    bool logUpdated() const { return m_logUpdated; }

Q_SIGNALS:
    // One for every beep of the exception notification.
    void beeped();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();
    QAction* addEntry(QMenu* menu, const char* name, const QString& caption);

    void cmdStart_Click();
    void addReportLine(const QString& line);
    void onCyclePhase(PollCycle::Phase phase);
    void onExceptionNotification(int notifyBy);
    void Beep(int times);
    void mnuPreview_Click();
    void mnuChoose_Click();
    void mnuPrintReport_Click();
    void mnuViewLog_Click();
    int reportMode() const;
    void mnuStatus_Click();
    void mnuUnitTime_Click();
    void setOperatingMode(int mode);
    void mnuAddressSetup_Click();
    void mnuPrintSaveConfigure_Click();
    void mnuConfigurePoll_Click();
    void mnuExceptionSetup_Click();
    void mnuChangePassword_Click();
    void mnuActivatePassword_Click();
    void mnuAbout_Click();
    void mnuExit_Click();
    void tmrAutoStart_Timer();
    void onOptionSaved(Settings::Option option);

    Settings m_settings;
    UnitAddressList m_unitLists;
    DialUpLink* m_dialUp = nullptr;
    PollCycle* m_cycle = nullptr;
    int m_operatingMode = 0;
    bool m_unlocked = false;
    bool m_passwordAccepted = false;
    PollSchedule* m_schedule = nullptr;
    bool m_logUpdated = false;
    bool m_startHadFocus = false;
    bool m_reportHasLine = false;

    QPushButton* cmdStart;
    QTextEdit* Text2;
    QStatusBar* StatusBar1;
    QLabel* Panel1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QTimer* tmrAutoStart;
    QTimer* tmrMain;

    QMenu* mnuFile;
    QAction* mnuPreview;
    QAction* mnuChoose;
    QAction* mnuPrintReport;
    QAction* mnuViewLog;
    QAction* mnuExit;
    QMenu* mnuSetup;
    QAction* mnuAddressSetup;
    QAction* mnuPrintSaveConfigure;
    QAction* mnuConfigurePoll;
    QAction* mnuExceptionSetup;
    QMenu* mnuOperatingMode;
    QAction* mnuStatus;
    QAction* mnuUnitTime;
    QAction* mnuChangePassword;
    QAction* mnuActivatePassword;
    QAction* mnuAbout;
};
