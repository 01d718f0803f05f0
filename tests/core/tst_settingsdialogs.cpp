#include "core/forms/frmConfiguration.h"
#include "core/forms/frmConfigurePoll.h"
#include "core/PollSchedule.h"
#include "exceptions/forms/frmExceptionSetup.h"
#include "ModalDriver.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"

#include <optional>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QRadioButton>
#include <QSpinBox>

using Option = Settings::Option;

// The poll frequency, report output and exception filter dialogs.
class TestSettingsDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup() { m_platform.reset(); }

    void startTimesAreFixedTexts();
    void pollOk_data();
    void pollOk();
    void reportOutput();
    void filters();

private:
    std::optional<ScriptedPlatform> m_platform;
};

namespace {

const QDate kToday(2026, 6, 10);

QCheckBox* monitor(QWidget& d, int row)
{
    return ModalDriver::child<QCheckBox>(&d, QStringLiteral("Check1(%1)").arg(row));
}
QCheckBox* notify(QWidget& d, int i)
{
    return ModalDriver::child<QCheckBox>(&d, QStringLiteral("Check2(%1)").arg(i));
}

} // namespace

void TestSettingsDialogs::init()
{
    m_platform.emplace();
    m_platform->clock.setLocal(wallClock(kToday, QTime(12, 0)));
}

void TestSettingsDialogs::startTimesAreFixedTexts()
{
    const QStringList texts = frmConfigurePoll::startTimeTexts();
    QCOMPARE(texts.size(), 48);
    QCOMPARE((QStringList{texts[0], texts[1], texts[2], texts[24], texts[26], texts[47]}),
             (QStringList{"12:00 AM", "12:30 AM", "1:00 AM", "12:00 PM", "1:00 PM", "11:30 PM"}));
}

void TestSettingsDialogs::pollOk_data()
{
    QTest::addColumn<QString>("mode");  // "manual", "once" or "every"
    QTest::addColumn<int>("startDay");  // the start is at 08:00, now is noon
    QTest::addColumn<QString>("hours"); // typed
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<int>("savedHours"); // 0: nothing saved, the dialog stays open

    const QString earlier =
        QStringLiteral("The start time you selected is earlier than the current time. ");
    const QString anyway = earlier + "Do you still want to use it anyway?";
    // Typing is lost on a disabled box.
    QTest::newRow("manual asks nothing") << "manual" << -1 << "12"
                                         << "" << 24;
    QTest::newRow("once in the past")
        << "once" << -1 << "24" << earlier + "Please reselect it!" << 0;
    QTest::newRow("every in the past, No") << "every" << -1 << "24" << anyway << 0;
    QTest::newRow("every in the past, Yes") << "every" << -1 << "6" << anyway << 6;
    QTest::newRow("zero hours") << "every" << 1 << "000"
                                << "" << 24;
    QTest::newRow("a letter, leading zeros") << "every" << 1 << "0x07"
                                             << "Only numbers 0-9 are allowed here!" << 7;
    QTest::newRow("too many hours") << "every" << 1 << "2147483648"
                                    << "Please enter a number of hours from 1 to 2147483647!" << 0;
}

void TestSettingsDialogs::pollOk()
{
    QFETCH(QString, mode);
    QFETCH(int, startDay);
    QFETCH(QString, hours);
    QFETCH(QString, prompt);
    QFETCH(int, savedHours);

    Settings settings;
    PollSchedule schedule(settings);
    frmConfigurePoll dialog(settings, schedule);
    const bool automatic = mode != u"manual", once = mode == u"once";
    auto* poll = ModalDriver::child<QRadioButton>(&dialog, automatic ? "OptPollAutomatic"
                                                                     : "OptPollManually");
    poll->click();
    poll->click(); // the chosen option stays chosen
    ModalDriver::child<QRadioButton>(&dialog, once ? "Option2" : "Option1")->click();
    ModalDriver::child<QDateEdit>(&dialog, "DTPicker1")->setDate(kToday.addDays(startDay));
    ModalDriver::child<QComboBox>(&dialog, "Combo1")->setCurrentIndex(16);
    auto* units = ModalDriver::child<QSpinBox>(&dialog, "txtConcurrentUnits");
    QCOMPARE(units->value(), 1);
    units->setValue(64);
    auto* hoursBox = ModalDriver::child<QLineEdit>(&dialog, "Text1");
    hoursBox->clear();
    QTest::keyClicks(hoursBox, hours);
    m_platform->prompts.answers.enqueue(savedHours ? PromptAnswer::Yes : PromptAnswer::No);
    // Enter in the hours box acts as OK.
    if (hoursBox->isEnabled())
        QTest::keyClick(hoursBox, Qt::Key_Return);
    else
        ModalDriver::click(&dialog, "cmdOK");

    QCOMPARE(m_platform->prompts.texts().join(u'|'), prompt);
    QCOMPARE(dialog.result() == QDialog::Accepted, savedHours > 0);
    QCOMPARE(m_platform->registry.isEmpty(), savedHours == 0);
    if (savedHours == 0)
        return;
    QCOMPARE(settings.repeatHours(), savedHours);
    QCOMPARE(settings.option(Settings::Option::PollingOption), automatic ? 1 : 0);
    QCOMPARE(settings.option(Settings::Option::AutomaticOnce), once ? 1 : 0);
    QCOMPARE(settings.concurrentUnits(), 64);
}

void TestSettingsDialogs::reportOutput()
{
    Settings settings;
    frmConfiguration dialog(settings);
    ModalDriver::click(&dialog, "Command1"); // the test report
    const QList<PrintLine> lines = m_platform->printer.jobs.value(0).lines();
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[0], (PrintLine{"             VigilStat Test Status Report", 12, true}));
    QCOMPARE(lines[1].text, QStringLiteral("                 6/10/2026 12:00:00 PM"));
    QCOMPARE(lines[6], (PrintLine{"                      ---000---", 12, true}));
    m_platform->printer.fail = true;
    ModalDriver::click(&dialog, "Command1");

    ModalDriver::child<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral(" reports "));
    ModalDriver::child<QRadioButton>(&dialog, "OptAddRollingNumber")->click();
    auto* startNumber = ModalDriver::child<QLineEdit>(&dialog, "Text2");
    startNumber->setText(QStringLiteral("70000"));
    ModalDriver::click(&dialog, "cmdOK");
    QCOMPARE(m_platform->prompts.texts(),
             (QStringList{"There has been a problem printing the test report.\n"
                          "Please ensure that a printer is installed on your computer!",
                          "Please Enter a valid start number for the file!"}));
    QVERIFY(m_platform->registry.isEmpty());

    startNumber->setText(QStringLiteral(" 12 "));
    ModalDriver::click(&dialog, "cmdOK");
    QCOMPARE(settings.rollingNumber(), 12);
    QCOMPARE(settings.reportSaveFolder(), QStringLiteral("reports"));
    QCOMPARE(settings.option(Settings::Option::FileSaveOption), 1);
}

void TestSettingsDialogs::filters()
{
    Settings settings;
    // A notify switch that is on ticks the monitor box of its row as the dialog loads.
    settings.SaveOption(Option::RecordStatus, 0);
    QStringList written;
    connect(&settings, &Settings::optionSaved, this,
            [&](Option o) { written << Settings::optionKey(o); });
    connect(&settings, &Settings::valueSaved, this, [&](const QString& key) { written << key; });
    {
        frmExceptionSetup dialog(settings);
        QStringList withoutNotify;
        for (int row = 0; row < frmExceptionSetup::kRows; ++row)
            withoutNotify << monitor(dialog, row)->text();
        for (int i = 0; i < frmExceptionSetup::kNotifyBoxes; ++i)
            withoutNotify.removeOne(notify(dialog, i)->accessibleName().mid(7));
        QCOMPARE(withoutNotify,
                 (QStringList{"Record Duration", "Change in Archive Status", "Archive Duration",
                              "Local Time Diff. btwn PC && Unit >", "Change in Software Version",
                              "Change in Disk Capacity", "Change in Hardware Configuration",
                              "First Successful Poll"}));

        monitor(dialog, 18)->click(); // "Alarm Status"
        QVERIFY(!notify(dialog, 10)->isChecked());
        monitor(dialog, 17)->click(); // "Unable to Connect"
        notify(dialog, 8)->click();
        QVERIFY(monitor(dialog, 17)->isChecked());
        auto* fileName = ModalDriver::child<QLineEdit>(&dialog, "Text1");
        QVERIFY(!fileName->isEnabled());
        ModalDriver::child<QRadioButton>(&dialog, "optTextFile")->click();
        QVERIFY(fileName->isEnabled());

        ModalDriver::click(&dialog, "cmdCancel");
    }
    frmExceptionSetup dialog(settings);
    auto* recordTimeLeft = ModalDriver::child<QComboBox>(&dialog, "Combo2");
    auto* days = ModalDriver::child<QSpinBox>(&dialog, "Text2");
    recordTimeLeft->setCurrentText(QStringLiteral("3O"));
    days->setValue(0);
    ModalDriver::click(&dialog, "cmdOK");
    recordTimeLeft->setCurrentText(QStringLiteral(" 90 "));
    ModalDriver::click(&dialog, "cmdOK");
    QCOMPARE(m_platform->prompts.texts(),
             (QStringList{"Please enter a whole number of minutes, at most 32767!",
                          "Please enter a whole number of days from 1 to 32767!"}));
    QVERIFY(written.isEmpty()); // neither Cancel nor a refused OK writes

    days->setValue(400);
    monitor(dialog, 4)->click();
    ModalDriver::click(&dialog, "cmdOK");
    // The twelve notify keys are declared in the order they are written.
    QStringList expected;
    for (int i = int(Option::RecordStatus); i <= int(Option::NotRecordingNotify); ++i)
        expected << Settings::optionKey(Option(i));
    expected +=
        QStringList{"LogMode", "NotifyBy", "RTL", "ATL", "LTDiff", "LogKeepDays", "LogFileName"};
    QCOMPARE(written, expected);
    QCOMPARE(settings.option(Option::RecordStatus), 1);
    QCOMPARE(settings.option(Option::RDFailure) + settings.option(Option::RDFailureNotify), 0);
    QCOMPARE(settings.rtl(), 90);
    QCOMPARE(settings.logKeepDays(), 400);
}

QTEST_MAIN(TestSettingsDialogs)
#include "tst_settingsdialogs.moc"
