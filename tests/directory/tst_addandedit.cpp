#include "directory/forms/frmAddEdit.h"
#include "ScriptedPlatform.h"
#include "UnitLists.h"

#include <optional>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// What the user enters; editIndex -1 adds a new unit, otherwise edits that list entry.
struct Entry
{
    int editIndex = -1;
    QString zone = "GMT";
    QString dst = "EUR";
    QString address = "10.2.2.2";
    QString description = "Unit";
    QString password = {};
};

} // namespace

Q_DECLARE_METATYPE(Entry)

class TestAddAndEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_platform.emplace();
        m_units = UnitLists::threeUnits();
        m_dialog.emplace(m_units);
    }
    void cleanup()
    {
        m_dialog.reset();
        m_platform.reset();
    }

    void preparedFields()
    {
        m_dialog->prepareAdd(u"GMT+05:30"_s, u"OFF"_s, u"Address 3"_s);
        QCOMPARE(m_dialog->windowTitle(), u"Add New Unit Address"_s);
        QCOMPARE(child<QLabel>("lblAddress")->text(), u"IP Address:"_s);
        QCOMPARE(child("txtAddress")->text(), u"10.20.30.40"_s);
        QCOMPARE(child("txtDescript")->text(), u"Address 3"_s);
        QCOMPARE(child<QComboBox>("cboTimeZone")->currentText(), u"GMT+05:30"_s);
        QTest::mouseClick(child<QRadioButton>("optPOTS"), Qt::LeftButton);
        QCOMPARE(child<QLabel>("lblAddress")->text(), u"Phone No:"_s);
        QCOMPARE(child("txtAddress")->text(), u"1-800-123-5678"_s);

        // Presets that are not in the lists select the first entries.
        m_dialog->prepareAdd(u"GMT+14:00"_s, u"XYZ"_s, QString());
        QCOMPARE(child<QComboBox>("cboTimeZone")->currentText(), u"GMT-12:00"_s);
        QCOMPARE(child<QComboBox>("cboDST")->currentText(), u"OFF"_s);

        // Editing keeps the address when the link type changes.
        m_dialog->prepareEdit(1, m_units.record(1));
        QCOMPARE(m_dialog->windowTitle(), u"Edit Unit Address"_s);
        QTest::mouseClick(child<QRadioButton>("optEthernet"), Qt::LeftButton);
        QCOMPARE(child("txtAddress")->text(), u"5551234"_s);

        // An imported password that the box cannot show whole is kept unless retyped.
        m_dialog->prepareEdit(0,
                              UnitRecord{"10.3.3.3", "Imported", "12345", "GMT", "EUR", "1", "1"});
        clickOk();
        QCOMPARE(m_dialog->record().Password, u"12345"_s);
        m_dialog->prepareAdd(u"GMT"_s, u"EUR"_s, QString());
        QLineEdit* password = child("txtPassword");
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        QTest::keyClicks(password, u"1a0 2"_s);
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList(3, u"Only numbers 1-9 are allowed here!"_s));
        QTest::keyClick(password, Qt::Key_Backspace);
        QTest::keyClicks(password, u"99999"_s);
        QCOMPARE(password->text(), u"1999"_s);
    }

    // The checks on OK, in their order: address, description, password, DST zone, duplicates.
    void okChecks_data()
    {
        QTest::addColumn<Entry>("entry");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QString>("focus");   // the box that takes the focus after the message
        const auto row = [](const char* name, const Entry& entry, const QString& message = {},
                            const char* focus = "txtAddress") {
            QTest::newRow(name) << entry << message << QString::fromLatin1(focus);
        };

        const QString badIp = QStringLiteral(
            "Invalid IP Address format detected!  If you want to fix it, please click 'Yes' and "
            "input the right IP Address \n\n( e.g. 10.90.253.38 ) !  Otherwise, click 'No', the "
            "application will ignore this error!");
        const QString badPhone = QStringLiteral(
            "Invalid Phone No format detected!  If you want to fix it, please click 'Yes' and "
            "input the right Phone No \n\n( e.g. 1-800-234-5678 or 2345678 ) !  Otherwise, "
            "click 'No', the application will ignore this error!");
        const QString blank = u"Please enter the description for the unit!"_s;
        const QString shortPassword =
            u"Please enter at least 3 digits for the Unit Password or leave it blank!"_s;
        const QString noDst = QStringLiteral(
            "This program only supports three DST Zone ( USA,EUR and AUS ).\nThe time zone you "
            "selected is out of the range of above three.\nPlease select 'OFF' Only!");
        const QString dupIp = u"Duplicate IP Address detected!"_s;

        row("ip fifteen characters", {.address = "010.090.253.038"});
        row("ip sixteen characters", {.address = "010.090.253.0038"}, badIp);
        row("ip four dots", {.address = "10.90.253.38.1"}, badIp);
        row("ip part above 255", {.address = "10.90.253.256"}, badIp);
        row("phone long distance form", {.address = "1-800-234-5678"});
        row("phone eleven digits", {.address = "18002345678"});
        row("phone twelve digits", {.address = "180023456789"}, badPhone);
        row("phone too short", {.address = "12"}, badPhone);
        row("phone area code form", {.address = "800-234-5678"}, badPhone);
        row("phone dash misplaced", {.address = "23-45678"}, badPhone);
        row("no address at all", {.address = ""}, u"Please enter the Phone No of the unit!"_s);
        row("description blank", {.description = "  "}, blank, "txtDescript");
        row("description with a double quote", {.description = "The \"big\" one"},
            u"The unit address list cannot store double quotes ( \" ). Please use another "
            "character!"_s,
            "txtDescript");
        row("description outside the code page", {.description = "Łódź depot"},
            u"The unit address list cannot store the character ( Ł ). Please use another "
            "character!"_s,
            "txtDescript");
        row("description in the code page", {.description = "Café €5"});
        row("password of two digits", {.password = "12"}, shortPassword, "txtPassword");
        row("password of three digits", {.password = "123"});
        row("dst OFF where USA would be", {.zone = "GMT-05:00", .dst = "OFF"});
        row("dst in a zone without one", {.zone = "GMT-04:00", .dst = "USA"}, noDst, "cboDST");
        row("dst of another zone", {.zone = "GMT-05:00", .dst = "EUR"},
            u"This time zone ( GMT-05:00 ) belongs to 'USA' DST Zone.\nYou can select 'USA' or "
            "'OFF'!"_s,
            "cboDST");
        row("add existing ip typed with blanks", {.address = " 10.1.1.1 "}, dupIp);
        row("add existing phone", {.address = "5551234"}, u"Duplicate Phone Number detected!"_s);
        row("edit keeps own address", {.editIndex = 0, .address = "10.1.1.1"});
        row("edit to other's address", {.editIndex = 1, .address = "10.1.1.1"}, dupIp);
    }

    void okChecks()
    {
        QFETCH(Entry, entry);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        if (entry.editIndex < 0)
            m_dialog->prepareAdd(entry.zone, entry.dst, u"x"_s);
        else
            m_dialog->prepareEdit(entry.editIndex, m_units.record(entry.editIndex));
        child<QRadioButton>(entry.address.contains(u'.') ? "optEthernet" : "optPOTS")
            ->setChecked(true);
        child("txtAddress")->setText(entry.address);
        child("txtDescript")->setText(entry.description);
        child("txtPassword")->setText(entry.password);
        clickOk();

        QCOMPARE(m_platform->prompts.texts(),
                 message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(m_dialog->accepted(), message.isEmpty());
        const QString address = entry.address.trimmed();
        if (message.isEmpty()) {
            if (entry.editIndex < 0)
                QCOMPARE(m_dialog->record(), (UnitRecord{address, entry.description, entry.password,
                                                         entry.zone, entry.dst, "1", "1"}));
            return;
        }
        QCOMPARE(m_platform->prompts.shown.at(0).title, u"Message"_s);
        QCOMPARE(m_dialog->focusWidget()->objectName(), focus);
        if (focus == u"txtPassword")
            QCOMPARE(child("txtPassword")->text(), QString());
        if (message.startsWith(u"Invalid") && entry.description == u"Unit") {
            QCOMPARE(m_platform->prompts.shown.at(0).buttons, PromptButtons::YesNo);
            // "No" keeps the address as it is.
            m_platform->prompts.answers.enqueue(PromptAnswer::No);
            clickOk();
            QCOMPARE(m_dialog->record().DataStr, address);
        }
    }

private:
    template <typename W = QLineEdit> W* child(const char* name)
    {
        return m_dialog->findChild<W*>(QString::fromLatin1(name));
    }
    void clickOk() { QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton); }

    std::optional<ScriptedPlatform> m_platform;
    UnitAddressList m_units;
    std::optional<frmAddEdit> m_dialog;
};

QTEST_MAIN(TestAddAndEdit)
#include "tst_addandedit.moc"
