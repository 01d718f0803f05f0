#include "core/forms/frmConfigurePoll.h"

#include "core/PollSchedule.h"
#include "platform/Clock.h"
#include "platform/forms/WidgetNames.h"
#include "platform/forms/WindowRules.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

#include <limits>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr qint32 kDefaultHours = 24;

} // namespace

frmConfigurePoll::frmConfigurePoll(Settings& settings, PollSchedule& schedule, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_schedule(schedule)
{
    setObjectName(QStringLiteral("frmConfigurePoll"));
    setWindowTitle(QStringLiteral("Configure Polling Frequency"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    OptPollManually = named(
        new QRadioButton(
            QStringLiteral("Poll units &Manually: once, only when the Start button is pressed."),
            this),
        "OptPollManually");
    OptPollAutomatic = named(new QRadioButton(QStringLiteral("Poll units &Automatically."), this),
                             "OptPollAutomatic");

    fraInterval =
        named(new QGroupBox(QStringLiteral("Automatic Polling Interval"), this), "fraInterval");
    DTPicker1 = named(new QDateEdit(fraInterval), "DTPicker1");
    DTPicker1->setDisplayFormat(QStringLiteral("ddd MM/dd/yyyy"));
    DTPicker1->setCalendarPopup(true);
    DTPicker1->setMinimumWidth(
        DTPicker1->fontMetrics().horizontalAdvance(QStringLiteral("Wed 12/31/2000")) * 3 / 2);
    Combo1 = named(new QComboBox(fraInterval), "Combo1");
    Combo1->addItems(startTimeTexts());
    Combo1->setMaxVisibleItems(12);
    Combo1->setMinimumWidth(DTPicker1->minimumWidth());
    Option2 = named(new QRadioButton(QStringLiteral("O&nce Only"), fraInterval), "Option2");
    Option1 = named(new QRadioButton(QStringLiteral("&Every"), fraInterval), "Option1");
    Text1 = named(new QLineEdit(fraInterval), "Text1");
    // Ten digits hold every number of hours the setting can take; keys are filtered below and
    // the validator keeps pasted text to digits.
    Text1->setMaxLength(10);
    Text1->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    Text1->setMaximumWidth(Text1->fontMetrics().horizontalAdvance(QStringLiteral("0")) * 13);
    Text1->installEventFilter(this);
    lblHours = named(new QLabel(QStringLiteral("hour(s)"), fraInterval), "lblHours");

    auto* dateLabel = new QLabel(QStringLiteral("Start &Date:"), fraInterval);
    dateLabel->setBuddy(DTPicker1);
    auto* timeLabel = new QLabel(QStringLiteral("Start &Time:"), fraInterval);
    timeLabel->setBuddy(Combo1);
    auto* every = new QHBoxLayout;
    every->addWidget(Option1);
    every->addWidget(Text1);
    every->addWidget(lblHours);
    every->addStretch();
    auto* grid = new QGridLayout(fraInterval);
    grid->addWidget(dateLabel, 0, 0);
    grid->addWidget(DTPicker1, 0, 1);
    grid->addWidget(timeLabel, 1, 0);
    grid->addWidget(Combo1, 1, 1);
    grid->addWidget(Option2, 2, 0, 1, 3);
    grid->addLayout(every, 3, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    txtConcurrentUnits = named(new QSpinBox(this), "txtConcurrentUnits");
    txtConcurrentUnits->setRange(1, Settings::kMaxConcurrentUnits);
    auto* unitsLabel =
        named(new QLabel(QStringLiteral("Units polled at &once"), this), "lblConcurrentUnits");
    unitsLabel->setBuddy(txtConcurrentUnits);
    auto* units = new QHBoxLayout;
    units->addWidget(unitsLabel);
    units->addWidget(txtConcurrentUnits);
    units->addStretch();

    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    cmdCancel = named(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCancel");
    cmdOK->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    m_rows = new QVBoxLayout;
    m_rows->addWidget(OptPollManually);
    m_rows->addWidget(OptPollAutomatic);
    m_rows->addWidget(fraInterval);
    m_rows->addLayout(units);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_rows);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget* order[] = {OptPollManually, OptPollAutomatic,   DTPicker1, Combo1,   Option2, Option1,
                        Text1,           txtConcurrentUnits, cmdOK,     cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Groups of their own: the options of the frame are children of the dialog too, and Qt's
    // automatic grouping would let a click on the chosen poll option clear it.
    for (auto pair : {std::pair{OptPollManually, OptPollAutomatic}, std::pair{Option2, Option1}}) {
        auto* group = new QButtonGroup(this);
        group->addButton(pair.first);
        group->addButton(pair.second);
    }
    connect(OptPollAutomatic, &QRadioButton::toggled, this, &frmConfigurePoll::updateEnabled);
    connect(Option1, &QRadioButton::toggled, this, &frmConfigurePoll::updateEnabled);
    connect(cmdOK, &QPushButton::clicked, this, &frmConfigurePoll::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    loadSettings();
    WindowRules::tabToChosenOption({OptPollManually, OptPollAutomatic});
    WindowRules::tabToChosenOption({Option2, Option1});
}

QStringList frmConfigurePoll::startTimeTexts()
{
    QStringList texts;
    for (int slot = 0; slot < PollSchedule::kSlotsPerDay; ++slot) {
        const int hour = slot / 2 % 12;
        texts << QString::number(hour == 0 ? 12 : hour) +
                     (slot % 2 ? QStringLiteral(":30") : QStringLiteral(":00")) +
                     (slot < 24 ? QStringLiteral(" AM") : QStringLiteral(" PM"));
    }
    return texts;
}

void frmConfigurePoll::loadSettings()
{
    const bool automatic = m_settings.option(Settings::Option::PollingOption) == 1;
    (automatic ? OptPollAutomatic : OptPollManually)->setChecked(true);
    const bool once = m_settings.option(Settings::Option::AutomaticOnce) == 1;
    (once ? Option2 : Option1)->setChecked(true);
    const int slot = m_settings.startTime();
    Combo1->setCurrentIndex(slot >= 0 && slot < PollSchedule::kSlotsPerDay ? slot : 0);
    Text1->setText(QString::number(PollSchedule::repeatHours(m_settings)));
    DTPicker1->setDate(m_settings.startDate());
    txtConcurrentUnits->setValue(m_settings.concurrentUnits());
    updateEnabled();
    (automatic ? OptPollAutomatic : OptPollManually)->setFocus();
}

void frmConfigurePoll::updateEnabled()
{
    fraInterval->setEnabled(OptPollAutomatic->isChecked());
    Text1->setEnabled(Option1->isChecked());
    lblHours->setEnabled(Option1->isChecked());
}

bool frmConfigurePoll::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            cmdOK_Click();
            return true;
        }
        // Keys without a character, control keys and shortcuts pass; the validator guards paste.
        const QString text = key->text();
        const bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
        if (!shortcut && !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isDigit()) {
            Platform::prompts().message(QStringLiteral("Only numbers 0-9 are allowed here!"));
            return true;
        }
    } else if (watched == Text1 && event->type() == QEvent::FocusOut) {
        // A box that opens over the dialog does not mean the user left the hours.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            applyHoursLeaveRule();
    }
    return QDialog::eventFilter(watched, event);
}

void frmConfigurePoll::applyHoursLeaveRule()
{
    bool ok = false;
    const qulonglong hours = Text1->text().toULongLong(&ok);
    Text1->setText(ok && hours != 0 ? QString::number(hours) : QString::number(kDefaultHours));
}

bool frmConfigurePoll::hoursAccepted(qint32& hours)
{
    applyHoursLeaveRule();
    bool ok = false;
    const qulonglong value = Text1->text().toULongLong(&ok);
    if (ok && value <= qulonglong(std::numeric_limits<qint32>::max())) {
        hours = qint32(value);
        return true;
    }
    Platform::prompts().message(
        QStringLiteral("Please enter a number of hours from 1 to 2147483647!"));
    if (Text1->isEnabled()) {
        Text1->setFocus();
        Text1->selectAll();
    } else {
        // Out of reach behind "Once Only": the stored number stays.
        Text1->setText(QString::number(PollSchedule::repeatHours(m_settings)));
    }
    return false;
}

bool frmConfigurePoll::startTimeAccepted()
{
    const QDateTime start = PollSchedule::startMoment(DTPicker1->date(), Combo1->currentIndex());
    if (!OptPollAutomatic->isChecked() || start >= Platform::clock().localNow())
        return true;
    if (Option2->isChecked()) {
        Platform::prompts().ask(Prompt{QStringLiteral("Message"),
                                       QStringLiteral("The start time you selected is earlier than "
                                                      "the current time. Please reselect it!"),
                                       PromptButtons::Ok, PromptIcon::Question, 0});
    } else {
        const PromptAnswer answer = Platform::prompts().ask(Prompt{
            QStringLiteral("Message"),
            QStringLiteral("The start time you selected is earlier than the current time. Do "
                           "you still want to use it anyway?"),
            PromptButtons::YesNo, PromptIcon::Question, 0});
        if (answer == PromptAnswer::Yes)
            return true;
    }
    DTPicker1->setFocus();
    return false;
}

void frmConfigurePoll::cmdOK_Click()
{
    qint32 hours = kDefaultHours;
    if (!hoursAccepted(hours) || !startTimeAccepted())
        return;
    m_settings.setStartDate(DTPicker1->date());
    m_settings.setStartTime(qint16(Combo1->currentIndex()));
    m_settings.setRepeatHours(hours);
    const bool automatic = OptPollAutomatic->isChecked();
    m_settings.SaveOption(Settings::Option::PollingOption, automatic ? 1 : 0);
    m_settings.SaveOption(Settings::Option::AutomaticOnce, Option2->isChecked() ? 1 : 0);
    m_settings.setConcurrentUnits(txtConcurrentUnits->value());
    if (automatic)
        m_schedule.restartFromSettings();
    accept();
}
