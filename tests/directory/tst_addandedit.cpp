#include "directory/forms/frmAddEdit.h"
#include "directory/TimeZones.h"
#include "ScriptedPlatform.h"

#include <optional>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

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
    void init();
    void cleanup();

    void addModePresets();
    void editModeKeepsAddressOnLinkChange();
    void addressCheck_data();
    void addressCheck();
    void checksRunInOrder();
    void okChecks_data();
    void okChecks();
    void passwordKeys();
    void untouchedPasswordIsKept();

private:
    template <typename W> W* child(const char* name)
    {
        W* w = m_dialog->findChild<W*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    QLineEdit* box(const char* name) { return child<QLineEdit>(name); }
    void fill(const QString& address, const QString& description, const QString& password = {});
    void clickOk() { QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton); }

    std::optional<ScriptedPlatform> m_platform;
    UnitAddressList m_units;
    frmAddEdit* m_dialog = nullptr;
};

void TestAddAndEdit::init()
{
    m_platform.emplace();
    m_units.clear();
    m_units.append({"10.1.1.1", "First", "123", "GMT-05:00", "USA", "1", "1"});
    m_units.append({"5551234", "Second", "", "GMT", "EUR", "0", "1"});
    m_dialog = new frmAddEdit(m_units);
}

void TestAddAndEdit::cleanup()
{
    delete m_dialog;
    m_dialog = nullptr;
    m_platform.reset();
}

void TestAddAndEdit::fill(const QString& address, const QString& description,
                          const QString& password)
{
    box("txtAddress")->setText(address);
    box("txtDescript")->setText(description);
    box("txtPassword")->setText(password);
}

void TestAddAndEdit::addModePresets()
{
    m_dialog->prepareAdd(QStringLiteral("GMT+05:30"), QStringLiteral("OFF"),
                         QStringLiteral("Address 3"));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Add New Unit Address"));
    QVERIFY(child<QRadioButton>("optEthernet")->isChecked());
    QCOMPARE(child<QLabel>("lblAddress")->text(), QStringLiteral("IP Address:"));
    QCOMPARE(box("txtAddress")->text(), QStringLiteral("10.20.30.40"));
    QCOMPARE(box("txtDescript")->text(), QStringLiteral("Address 3"));
    QCOMPARE(child<QComboBox>("cboTimeZone")->currentText(), QStringLiteral("GMT+05:30"));
    QCOMPARE(child<QComboBox>("cboTimeZone")->count(), 33);
    QCOMPARE(child<QComboBox>("cboDST")->currentText(), QStringLiteral("OFF"));
    QVERIFY(child<QCheckBox>("chkStatus")->isChecked());
    QVERIFY(child<QCheckBox>("chkSyn")->isChecked());
    QCOMPARE(box("txtPassword")->echoMode(), QLineEdit::Password);

    QTest::mouseClick(child<QRadioButton>("optPOTS"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("lblAddress")->text(), QStringLiteral("Phone No:"));
    QCOMPARE(box("txtAddress")->text(), QStringLiteral("1-800-123-5678"));
    QTest::mouseClick(child<QRadioButton>("optEthernet"), Qt::LeftButton);
    QCOMPARE(box("txtAddress")->text(), QStringLiteral("10.20.30.40"));

    // Presets that are not in the lists select the first entries.
    m_dialog->prepareAdd(QStringLiteral("GMT+14:00"), QStringLiteral("XYZ"), QString());
    QCOMPARE(child<QComboBox>("cboTimeZone")->currentText(), QStringLiteral("GMT-12:00"));
    QCOMPARE(child<QComboBox>("cboDST")->currentText(), QStringLiteral("OFF"));
}

void TestAddAndEdit::editModeKeepsAddressOnLinkChange()
{
    m_dialog->prepareEdit(1, m_units.record(1));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Edit Unit Address"));
    QVERIFY(child<QRadioButton>("optPOTS")->isChecked());
    QVERIFY(!child<QCheckBox>("chkStatus")->isChecked());
    QVERIFY(child<QCheckBox>("chkSyn")->isChecked());
    QTest::mouseClick(child<QRadioButton>("optEthernet"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("lblAddress")->text(), QStringLiteral("IP Address:"));
    QCOMPARE(box("txtAddress")->text(), QStringLiteral("5551234"));
}

// The address rules themselves are covered in tst_addressvalidation; these rows cover what the
// dialog adds: trimming, its length bounds, the prompt and its Yes/No answers.
void TestAddAndEdit::addressCheck_data()
{
    QTest::addColumn<bool>("pots");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ip") << false << "10.90.253.38" << true;
    QTest::newRow("ip with blanks around") << false << "  10.9.9.9 " << true;
    QTest::newRow("ip part too big") << false << "10.90.253.256" << false;
    QTest::newRow("ip fifteen characters") << false << "010.090.253.038" << true;
    QTest::newRow("ip sixteen characters") << false << "0010.090.253.038" << false;
    QTest::newRow("phone") << true << "1-800-234-5678" << true;
    QTest::newRow("phone too short") << true << "12" << false;
    QTest::newRow("phone area code form") << true << "800-234-5678" << false;
}

void TestAddAndEdit::addressCheck()
{
    QFETCH(bool, pots);
    QFETCH(QString, address);
    QFETCH(bool, valid);
    m_dialog->prepareAdd(QStringLiteral("GMT"), QStringLiteral("EUR"), QStringLiteral("x"));
    child<QRadioButton>(pots ? "optPOTS" : "optEthernet")->setChecked(true);
    fill(address, QStringLiteral("Unit"));
    clickOk();

    if (valid) {
        QVERIFY(m_dialog->accepted());
        QCOMPARE(m_dialog->record().DataStr, address.trimmed());
        QVERIFY(m_platform->prompts.shown.isEmpty());
        return;
    }
    QVERIFY(!m_dialog->accepted());
    QCOMPARE(m_platform->prompts.shown.size(), 1);
    const Prompt& q = m_platform->prompts.shown.at(0);
    QCOMPARE(q.title, QStringLiteral("Message"));
    QCOMPARE(q.buttons, PromptButtons::YesNo);
    QCOMPARE(q.icon, PromptIcon::Warning);
    QCOMPARE(q.text,
             pots ? QStringLiteral("Invalid Phone No format detected!  If you want to fix it, "
                                   "please click 'Yes' and input the right Phone No \n\n( e.g. "
                                   "1-800-234-5678 or 2345678 ) !  Otherwise, click 'No', the "
                                   "application will ignore this error!")
                  : QStringLiteral("Invalid IP Address format detected!  If you want to fix it, "
                                   "please click 'Yes' and input the right IP Address \n\n( e.g. "
                                   "10.90.253.38 ) !  Otherwise, click 'No', the application "
                                   "will ignore this error!"));
    QCOMPARE(m_dialog->focusWidget(), box("txtAddress"));
    QCOMPARE(box("txtAddress")->selectedText(), address);

    // "No" keeps the address as it is.
    if (!address.trimmed().isEmpty()) {
        m_platform->prompts.answers.enqueue(PromptAnswer::No);
        clickOk();
        QVERIFY(m_dialog->accepted());
        QCOMPARE(m_dialog->record().DataStr, address.trimmed());
    }
}

void TestAddAndEdit::checksRunInOrder()
{
    m_dialog->prepareAdd(QStringLiteral("GMT-04:00"), QStringLiteral("USA"), QString());
    fill(QStringLiteral("10.1.1"), QStringLiteral(" "), QStringLiteral("12"));
    m_platform->prompts.handler = [](const Prompt& p) {
        return p.buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    };
    auto lastText = [this] { return m_platform->prompts.shown.last().text; };

    clickOk();
    QVERIFY(m_platform->prompts.shown.at(0).text.startsWith(QStringLiteral("Invalid IP Address")));
    QCOMPARE(lastText(), QStringLiteral("Please enter the description for the unit!"));
    QCOMPARE(m_dialog->focusWidget(), box("txtDescript"));

    fill(QStringLiteral("10.1.1.1"), QStringLiteral("Unit"), QStringLiteral("12"));
    clickOk();
    QVERIFY(lastText().startsWith(QStringLiteral("Please enter at least 3 digits")));
    clickOk();
    QVERIFY(lastText().startsWith(QStringLiteral("This program only supports")));
    child<QComboBox>("cboDST")->setCurrentText(QStringLiteral("OFF"));
    clickOk();
    QCOMPARE(lastText(), QStringLiteral("Duplicate IP Address detected!"));
    QVERIFY(!m_dialog->accepted());
}

void TestAddAndEdit::okChecks_data()
{
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<QString>("focus");   // the box that takes the focus after the message

    const QString shortPassword =
        QStringLiteral("Please enter at least 3 digits for the Unit Password or leave it blank!");
    const QString noDst = QStringLiteral(
        "This program only supports three DST Zone ( USA,EUR and AUS ).\nThe time zone you "
        "selected is out of the range of above three.\nPlease select 'OFF' Only!");
    const QString usaOnly = QStringLiteral(
        "This time zone ( GMT-05:00 ) belongs to 'USA' DST Zone.\nYou can select 'USA' or 'OFF'!");
    const QString quote = QStringLiteral("The unit address list cannot store double quotes ( \" "
                                         "). Please use another character!");
    const QString dupIp = QStringLiteral("Duplicate IP Address detected!");
    const QString noText;

    QTest::newRow("password empty") << Entry{} << noText << noText;
    QTest::newRow("password of two digits")
        << Entry{.password = "12"} << shortPassword << "txtPassword";
    QTest::newRow("password of three digits") << Entry{.password = "123"} << noText << noText;
    QTest::newRow("password of four digits") << Entry{.password = "9876"} << noText << noText;
    QTest::newRow("description blank")
        << Entry{.description = "  "}
        << QStringLiteral("Please enter the description for the unit!") << "txtDescript";
    QTest::newRow("description with a double quote")
        << Entry{.description = "The \"big\" one"} << quote << "txtDescript";
    QTest::newRow("description outside the code page")
        << Entry{.description = "Łódź depot"}
        << QStringLiteral("The unit address list cannot store the character ( Ł ). Please use "
                          "another character!")
        << "txtDescript";
    QTest::newRow("description in the code page")
        << Entry{.description = "Café €5"} << noText << noText;
    QTest::newRow("no address at all")
        << Entry{.address = ""} << QStringLiteral("Please enter the Phone No of the unit!")
        << "txtAddress";
    QTest::newRow("dst USA in its zone")
        << Entry{.zone = "GMT-05:00", .dst = "USA"} << noText << noText;
    QTest::newRow("dst AUS in its zone")
        << Entry{.zone = "GMT+10:00", .dst = "AUS"} << noText << noText;
    QTest::newRow("dst OFF anywhere")
        << Entry{.zone = "GMT+05:45", .dst = "OFF"} << noText << noText;
    QTest::newRow("dst in a zone without one")
        << Entry{.zone = "GMT-04:00", .dst = "USA"} << noDst << "cboDST";
    QTest::newRow("dst of another zone")
        << Entry{.zone = "GMT-05:00", .dst = "EUR"} << usaOnly << "cboDST";
    QTest::newRow("add existing ip") << Entry{.address = "10.1.1.1"} << dupIp << "txtAddress";
    QTest::newRow("add existing ip typed with blanks")
        << Entry{.address = " 10.1.1.1 "} << dupIp << "txtAddress";
    QTest::newRow("add existing phone")
        << Entry{.address = "5551234"} << QStringLiteral("Duplicate Phone Number detected!")
        << "txtAddress";
    QTest::newRow("edit keeps own address")
        << Entry{.editIndex = 0, .address = "10.1.1.1"} << noText << noText;
    QTest::newRow("edit to other's address")
        << Entry{.editIndex = 1, .address = "10.1.1.1"} << dupIp << "txtAddress";
}

void TestAddAndEdit::okChecks()
{
    QFETCH(Entry, entry);
    QFETCH(QString, message);
    QFETCH(QString, focus);
    if (entry.editIndex < 0)
        m_dialog->prepareAdd(entry.zone, entry.dst, QStringLiteral("x"));
    else
        m_dialog->prepareEdit(entry.editIndex, m_units.record(entry.editIndex));
    child<QRadioButton>(entry.address.contains(u'.') ? "optEthernet" : "optPOTS")->setChecked(true);
    fill(entry.address, entry.description, entry.password);
    clickOk();

    if (message.isEmpty()) {
        QVERIFY(m_dialog->accepted());
        QVERIFY(m_platform->prompts.shown.isEmpty());
        const UnitRecord r = m_dialog->record();
        QCOMPARE(r.DataStr, entry.address);
        if (entry.editIndex < 0)
            QCOMPARE(r, (UnitRecord{entry.address, entry.description, entry.password, entry.zone,
                                    entry.dst, "1", "1"}));
        return;
    }
    QVERIFY(!m_dialog->accepted());
    QCOMPARE(m_platform->prompts.texts(), QStringList{message});
    QCOMPARE(m_platform->prompts.shown.at(0).title, QStringLiteral("Message"));
    QCOMPARE(m_dialog->focusWidget()->objectName(), focus);
    if (focus == QLatin1String("txtPassword"))
        QCOMPARE(box("txtPassword")->text(), QString());
}

void TestAddAndEdit::passwordKeys()
{
    m_dialog->prepareAdd(QStringLiteral("GMT"), QStringLiteral("EUR"), QString());
    QLineEdit* password = box("txtPassword");
    QTest::keyClicks(password, QStringLiteral("1a0 2"));
    QCOMPARE(password->text(), QStringLiteral("12"));
    QCOMPARE(m_platform->prompts.texts(),
             QStringList(3, QStringLiteral("Only numbers 1-9 are allowed here!")));
    QTest::keyClick(password, Qt::Key_Backspace);
    QCOMPARE(password->text(), QStringLiteral("1"));
    QTest::keyClicks(password, QStringLiteral("99999"));
    QCOMPARE(password->text(), QStringLiteral("1999"));
    QCOMPARE(m_platform->prompts.shown.size(), 3);
}

void TestAddAndEdit::untouchedPasswordIsKept()
{
    // An imported password that the box cannot show whole.
    m_dialog->prepareEdit(0, UnitRecord{"10.3.3.3", "Imported", "12345", "GMT", "EUR", "1", "1"});
    clickOk();
    QVERIFY(m_dialog->accepted());
    QCOMPARE(m_dialog->record().Password, QStringLiteral("12345"));
}

QTEST_MAIN(TestAddAndEdit)
#include "tst_addandedit.moc"
