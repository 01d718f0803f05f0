#include "exceptions/forms/frmExceptionSetup.h"

#include "platform/forms/WidgetNames.h"
#include "platform/forms/WindowRules.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

#include <limits>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

using Option = Settings::Option;

enum class Threshold { None, RecordTimeLeft, ArchiveTimeLeft, LocalTimeDiff };

struct FilterRow
{
    const char* label;
    int notify; // index of the row's Notify box, -1 for none
    Threshold threshold;
};

// Row i is governed by the Monitor key Option::RecordStatus + i.
constexpr FilterRow kFilterRows[frmExceptionSetup::kRows] = {
    {"Not Recording", 9, Threshold::None},
    {"Record Duration", -1, Threshold::None},
    {"Record Time Left less than", 0, Threshold::RecordTimeLeft},
    {"Recording- Disk Is Full", 1, Threshold::None},
    {"Recording- Disk Failure", 2, Threshold::None},
    {"Change in Archive Status", -1, Threshold::None},
    {"Archive Duration", -1, Threshold::None},
    {"Archive Time Left less than", 3, Threshold::ArchiveTimeLeft},
    {"Archiving- Device Is Full", 4, Threshold::None},
    {"Local Time Diff. btwn PC && Unit >", -1, Threshold::LocalTimeDiff},
    {"Power On Duration ( Unit Rebooted )", 5, Threshold::None},
    {"Change in Software Version", -1, Threshold::None},
    {"Change in Disk Capacity", -1, Threshold::None},
    {"Alarms Since Last Polling", 6, Threshold::None},
    {"Videoloss Since Last Polling", 7, Threshold::None},
    {"Change in Hardware Configuration", -1, Threshold::None},
    {"First Successful Poll", -1, Threshold::None},
    {"Unable to Connect", 8, Threshold::None},
    {"Alarm Status", 10, Threshold::None},
    {"Videoloss Status", 11, Threshold::None},
};

// Notify box i has this key; the keys are written in this order, too.
constexpr Option kNotifyKeys[frmExceptionSetup::kNotifyBoxes] = {
    Option::RTimeLeftNotify,    Option::RDFullNotify,  Option::RDFailureNotify,
    Option::ATimeLeftNotify,    Option::ADFullNotify,  Option::RebootedNotify,
    Option::AlarmNotify,        Option::VidlossNotify, Option::UnableConnectNotify,
    Option::NotRecordingNotify, Option::CAlarmNotify,  Option::CVidlossNotify,
};
constexpr int kNotifyWriteOrder[frmExceptionSetup::kNotifyBoxes] = {0, 1, 2, 3,  4,  5,
                                                                    6, 7, 8, 10, 11, 9};

Option monitorKey(int row)
{
    return static_cast<Option>(static_cast<int>(Option::RecordStatus) + row);
}

QComboBox* thresholdBox(const char* name, const QStringList& offered, QWidget* parent)
{
    auto* box = named(new QComboBox(parent), QString::fromLatin1(name));
    box->setEditable(true);
    box->addItems(offered);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(5);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

// The days box: its arrows step between 1 and 365, while any number may be typed.
class DaysBox : public QSpinBox
{
public:
    explicit DaysBox(QWidget* parent) : QSpinBox(parent)
    {
        setRange(std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
    }

    void stepBy(int steps) override
    {
        setValue(qBound(kLowest, value() + steps, kHighest));
        selectAll();
    }

protected:
    StepEnabled stepEnabled() const override
    {
        StepEnabled enabled = StepNone;
        if (value() < kHighest)
            enabled |= StepUpEnabled;
        if (value() > kLowest)
            enabled |= StepDownEnabled;
        return enabled;
    }

private:
    static constexpr int kLowest = 1;
    static constexpr int kHighest = 365;
};

} // namespace

frmExceptionSetup::frmExceptionSetup(Settings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("frmExceptionSetup"));
    setWindowTitle(QStringLiteral("Exception Filters Setup"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* filters = new QGroupBox(QStringLiteral("Filters Settings"), this);
    createFilters(filters);

    auto* notifyBy = new QGroupBox(QStringLiteral("Notify By"), this);
    optBeep = named(new QRadioButton(QStringLiteral("&Beep"), notifyBy), QStringLiteral("optBeep"));
    optWarning = named(new QRadioButton(QStringLiteral("&Warning message on the top"), notifyBy),
                       QStringLiteral("optWarning"));
    optBoth = named(new QRadioButton(QStringLiteral("Bot&h of the above"), notifyBy),
                    QStringLiteral("optBoth"));
    auto* notifyLayout = new QVBoxLayout(notifyBy);
    for (QRadioButton* option : {optBeep, optWarning, optBoth})
        notifyLayout->addWidget(option);

    auto* logFile = new QGroupBox(QStringLiteral("Exception Log File"), this);
    optSpreadSheet = named(new QRadioButton(QStringLiteral("S&pread Sheet"), logFile),
                           QStringLiteral("optSpreadSheet"));
    optTextFile = named(new QRadioButton(QStringLiteral("Te&xt File"), logFile),
                        QStringLiteral("optTextFile"));
    Text1 = named(new QLineEdit(QStringLiteral("ExceptionLogFile.txt"), logFile),
                  QStringLiteral("Text1"));
    Text2 = named(new DaysBox(logFile), QStringLiteral("Text2"));
    Text2->setValue(7);
    auto* fileLabel = new QLabel(QStringLiteral("File &Name:"), logFile);
    fileLabel->setBuddy(Text1);
    auto* daysLabel = new QLabel(QStringLiteral("&Show only events of the last"), logFile);
    daysLabel->setBuddy(Text2);
    auto* mode = new QHBoxLayout;
    mode->addWidget(optSpreadSheet);
    mode->addWidget(optTextFile);
    mode->addStretch();
    auto* days = new QHBoxLayout;
    days->addWidget(daysLabel);
    days->addWidget(Text2);
    days->addWidget(new QLabel(QStringLiteral("day(s)"), logFile));
    days->addStretch();
    auto* logLayout = new QGridLayout(logFile);
    logLayout->addWidget(new QLabel(QStringLiteral("Report Mode:"), logFile), 0, 0);
    logLayout->addLayout(mode, 0, 1);
    logLayout->addWidget(fileLabel, 1, 0);
    logLayout->addWidget(Text1, 1, 1);
    logLayout->addLayout(days, 2, 0, 1, 2);

    cmdOK = named(new QPushButton(QStringLiteral("&OK"), this), QStringLiteral("cmdOK"));
    cmdCancel =
        named(new QPushButton(QStringLiteral("&Cancel"), this), QStringLiteral("cmdCancel"));
    cmdOK->setDefault(true);
    cmdCancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* side = new QVBoxLayout;
    side->addWidget(notifyBy);
    side->addWidget(logFile);
    side->addStretch();
    side->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(filters);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(optTextFile, &QRadioButton::toggled, Text1, &QWidget::setEnabled);
    connect(cmdOK, &QPushButton::clicked, this, &frmExceptionSetup::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    Text1->setEnabled(false);
    loadSettings();
    WindowRules::tabToChosenOption({optBeep, optWarning, optBoth});
    WindowRules::tabToChosenOption({optSpreadSheet, optTextFile});
    Check1.first()->setFocus();
}

void frmExceptionSetup::createFilters(QWidget* frame)
{
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Monitor"), frame), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Notify"), frame), 0, 3, Qt::AlignHCenter);
    grid->setColumnStretch(2, 1);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < kNotifyBoxes; ++i)
        Check2.append(nullptr);

    const QStringList timeLeft{QStringLiteral("30"), QStringLiteral("60"), QStringLiteral("90"),
                               QStringLiteral("120")};
    for (int row = 0; row < kRows; ++row) {
        const FilterRow& filter = kFilterRows[row];
        const QString label = QString::fromLatin1(filter.label);
        auto* monitor = named(new QCheckBox(label, frame), QStringLiteral("Check1(%1)").arg(row));
        Check1.append(monitor);
        grid->addWidget(monitor, row + 1, 0);

        QComboBox* threshold = nullptr;
        switch (filter.threshold) {
        case Threshold::RecordTimeLeft:
            threshold = Combo2 = thresholdBox("Combo2", timeLeft, frame);
            Combo2->setCurrentText(QStringLiteral("30"));
            break;
        case Threshold::ArchiveTimeLeft:
            threshold = Combo3 = thresholdBox("Combo3", timeLeft, frame);
            Combo3->setCurrentText(QStringLiteral("30"));
            break;
        case Threshold::LocalTimeDiff:
            threshold = Combo1 = thresholdBox("Combo1",
                                              {QStringLiteral("15"), QStringLiteral("30"),
                                               QStringLiteral("45"), QStringLiteral("60")},
                                              frame);
            break;
        case Threshold::None:
            break;
        }
        if (threshold) {
            threshold->setAccessibleName(
                QString(label).replace(QStringLiteral("&&"), QStringLiteral("&")));
            grid->addWidget(threshold, row + 1, 1);
            grid->addWidget(new QLabel(QStringLiteral("minutes"), frame), row + 1, 2);
        }

        if (filter.notify < 0)
            continue;
        auto* notify = named(new QCheckBox(frame), QStringLiteral("Check2(%1)").arg(filter.notify));
        notify->setAccessibleName(QStringLiteral("Notify ") + monitor->text());
        Check2[filter.notify] = notify;
        grid->addWidget(notify, row + 1, 3, Qt::AlignHCenter);
        // A kind can only notify while it is monitored.
        connect(monitor, &QCheckBox::toggled, notify, [notify](bool on) {
            if (!on)
                notify->setChecked(false);
        });
        connect(notify, &QCheckBox::toggled, monitor, [monitor](bool on) {
            if (on)
                monitor->setChecked(true);
        });
    }
}

void frmExceptionSetup::loadSettings()
{
    for (int row = 0; row < kRows; ++row)
        Check1[row]->setChecked(m_settings.option(monitorKey(row)) == 1);
    for (int i = 0; i < kNotifyBoxes; ++i)
        Check2[i]->setChecked(m_settings.option(kNotifyKeys[i]) == 1);
    (m_settings.option(Option::LogMode) != 0 ? optTextFile : optSpreadSheet)->setChecked(true);
    const quint8 notifyBy = m_settings.option(Option::NotifyBy);
    (notifyBy == 0 ? optBeep : notifyBy == 1 ? optWarning : optBoth)->setChecked(true);
    Combo1->setCurrentText(QString::number(m_settings.ltDiff()));
    Combo2->setCurrentText(QString::number(m_settings.rtl()));
    Combo3->setCurrentText(QString::number(m_settings.atl()));
    Text2->setValue(m_settings.logKeepDays());
    Text1->setText(m_settings.logFileName());
}

bool frmExceptionSetup::numberAccepted(QWidget* box, const QString& text, qint16 lowest,
                                       const QString& message, qint16& value)
{
    bool ok = false;
    value = text.trimmed().toShort(&ok);
    if (ok && value >= lowest)
        return true;
    Platform::prompts().message(message);
    box->setFocus();
    return false;
}

void frmExceptionSetup::cmdOK_Click()
{
    const QString minutes =
        QStringLiteral("Please enter a whole number of minutes, at most 32767!");
    const QString days = QStringLiteral("Please enter a whole number of days from 1 to 32767!");
    constexpr qint16 anyNumber = std::numeric_limits<qint16>::min();
    qint16 rtl = 0, atl = 0, ltDiff = 0, keepDays = 0;
    if (!numberAccepted(Combo2, Combo2->currentText(), anyNumber, minutes, rtl) ||
        !numberAccepted(Combo3, Combo3->currentText(), anyNumber, minutes, atl) ||
        !numberAccepted(Combo1, Combo1->currentText(), anyNumber, minutes, ltDiff) ||
        !numberAccepted(Text2, Text2->cleanText(), 1, days, keepDays))
        return;

    for (int row = 0; row < kRows; ++row)
        m_settings.SaveOption(monitorKey(row), Check1[row]->isChecked() ? 1 : 0);
    for (const int i : kNotifyWriteOrder)
        m_settings.SaveOption(kNotifyKeys[i], Check2[i]->isChecked() ? 1 : 0);
    m_settings.SaveOption(Option::LogMode, optSpreadSheet->isChecked() ? 0 : 1);
    m_settings.SaveOption(Option::NotifyBy, optBeep->isChecked()      ? 0
                                            : optWarning->isChecked() ? 1
                                                                      : 2);
    m_settings.setRTL(rtl);
    m_settings.setATL(atl);
    m_settings.setLTDiff(ltDiff);
    m_settings.setLogKeepDays(keepDays);
    m_settings.setLogFileName(Text1->text().trimmed());
    accept();
}
