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
    void passwordLength_data();
    void passwordLength();
    void passwordKeys();
    void untouchedPasswordIsKept();
    void dstCheck_data();
    void dstCheck();
    void duplicates_data();
    void duplicates();
    void doubleQuoteRefused();

private:
    template <typename W> W* child(const char* name)
    {
        W* w = m_dialog->findChild<W*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
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
    child<QLineEdit>("txtAddress")->setText(address);
    child<QLineEdit>("txtDescript")->setText(description);
    child<QLineEdit>("txtPassword")->setText(password);
}

void TestAddAndEdit::addModePresets()
{
    m_dialog->prepareAdd(QStringLiteral("GMT+05:30"), QStringLiteral("OFF"),
                         QStringLiteral("Address 3"));
    QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Add New Unit Address"));
    QVERIFY(child<QRadioButton>("optEthernet")->isChecked());
    QCOMPARE(child<QLabel>("lblAddress")->text(), QStringLiteral("IP Address:"));
    QCOMPARE(child<QLineEdit>("txtAddress")->text(), QStringLiteral("10.20.30.40"));
    QCOMPARE(child<QLineEdit>("txtDescript")->text(), QStringLiteral("Address 3"));
    QCOMPARE(child<QComboBox>("cboTimeZone")->currentText(), QStringLiteral("GMT+05:30"));
    QCOMPARE(child<QComboBox>("cboTimeZone")->count(), 33);
    QCOMPARE(child<QComboBox>("cboDST")->currentText(), QStringLiteral("OFF"));
    QVERIFY(child<QCheckBox>("chkStatus")->isChecked());
    QVERIFY(child<QCheckBox>("chkSyn")->isChecked());
    QCOMPARE(child<QLineEdit>("txtPassword")->maxLength(), 4);
    QCOMPARE(child<QLineEdit>("txtPassword")->echoMode(), QLineEdit::Password);

    QTest::mouseClick(child<QRadioButton>("optPOTS"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("lblAddress")->text(), QStringLiteral("Phone No:"));
    QCOMPARE(child<QLineEdit>("txtAddress")->text(), QStringLiteral("1-800-123-5678"));
    QTest::mouseClick(child<QRadioButton>("optEthernet"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>("txtAddress")->text(), QStringLiteral("10.20.30.40"));

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
    QCOMPARE(child<QLabel>("lblAddress")->text(), QStringLiteral("Phone No:"));
    QVERIFY(!child<QCheckBox>("chkStatus")->isChecked());
    QVERIFY(child<QCheckBox>("chkSyn")->isChecked());
    QTest::mouseClick(child<QRadioButton>("optEthernet"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("lblAddress")->text(), QStringLiteral("IP Address:"));
    QCOMPARE(child<QLineEdit>("txtAddress")->text(), QStringLiteral("5551234"));
}

void TestAddAndEdit::addressCheck_data()
{
    QTest::addColumn<bool>("pots");
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ip") << false << "10.90.253.38" << true;
    QTest::newRow("ip shortest") << false << "1.2.3.4" << true;
    QTest::newRow("ip with blanks around") << false << "  10.9.9.9 " << true;
    QTest::newRow("ip part too big") << false << "10.90.253.256" << false;
    QTest::newRow("ip empty") << false << "   " << false;
    QTest::newRow("ip fifteen characters") << false << "010.090.253.038" << true;
    QTest::newRow("ip sixteen characters") << false << "0010.090.253.038" << false;
    QTest::newRow("phone") << true << "1-800-234-5678" << true;
    QTest::newRow("phone local") << true << "234-5678" << true;
    QTest::newRow("phone too short") << true << "12" << false;
    QTest::newRow("phone area code form") << true << "800-234-5678" << false;
    QTest::newRow("phone with dots") << true << "555.1234" << false;
}

void TestAddAndEdit::addressCheck()
{
    QFETCH(bool, pots);
    QFETCH(QString, address);
    QFETCH(bool, valid);
    m_dialog->prepareAdd(QStringLiteral("GMT"), QStringLiteral("EUR"), QStringLiteral("x"));
    (pots ? child<QRadioButton>("optPOTS") : child<QRadioButton>("optEthernet"))->setChecked(true);
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
    QCOMPARE(m_dialog->focusWidget(), child<QLineEdit>("txtAddress"));
    QCOMPARE(child<QLineEdit>("txtAddress")->selectedText(), address);

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
    fill(QStringLiteral("10.1.1.1"), QStringLiteral(" "), QStringLiteral("12"));
    m_platform->prompts.handler = [](const Prompt& p) {
        return p.buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    };
    auto lastText = [this] { return m_platform->prompts.shown.last().text; };

    child<QLineEdit>("txtAddress")->setText(QStringLiteral("10.1.1"));
    clickOk();
    QVERIFY(m_platform->prompts.shown.at(0).text.startsWith(QStringLiteral("Invalid IP Address")));
    QCOMPARE(m_platform->prompts.shown.at(1).text,
             QStringLiteral("Please enter the description for the unit!"));
    QCOMPARE(m_dialog->focusWidget(), child<QLineEdit>("txtDescript"));

    child<QLineEdit>("txtAddress")->setText(QStringLiteral("10.1.1.1"));
    child<QLineEdit>("txtDescript")->setText(QStringLiteral("Unit"));
    clickOk();
    QCOMPARE(lastText(), QStringLiteral("Please enter at least 3 digits for the Unit Password or "
                                        "leave it blank!"));

    clickOk();
    QVERIFY(lastText().startsWith(QStringLiteral("This program only supports")));

    child<QComboBox>("cboDST")->setCurrentText(QStringLiteral("OFF"));
    clickOk();
    QCOMPARE(lastText(), QStringLiteral("Duplicate IP Address detected!"));
    QVERIFY(!m_dialog->accepted());
}

void TestAddAndEdit::passwordLength_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("one digit") << "7" << false;
    QTest::newRow("two digits") << "12" << false;
    QTest::newRow("three digits") << "123" << true;
    QTest::newRow("four digits") << "9876" << true;
}

void TestAddAndEdit::passwordLength()
{
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    m_dialog->prepareAdd(QStringLiteral("GMT"), QStringLiteral("EUR"), QStringLiteral("x"));
    fill(QStringLiteral("10.2.2.2"), QStringLiteral("Unit"), password);
    clickOk();
    QCOMPARE(m_dialog->accepted(), accepted);
    if (accepted) {
        QCOMPARE(m_dialog->record().Password, password);
    } else {
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList{QStringLiteral(
                     "Please enter at least 3 digits for the Unit Password or leave it blank!")});
        QCOMPARE(child<QLineEdit>("txtPassword")->text(), QString());
        QCOMPARE(m_dialog->focusWidget(), child<QLineEdit>("txtPassword"));
    }
}

void TestAddAndEdit::passwordKeys()
{
    m_dialog->prepareAdd(QStringLiteral("GMT"), QStringLiteral("EUR"), QString());
    auto* box = child<QLineEdit>("txtPassword");
    QTest::keyClicks(box, QStringLiteral("1a0 2"));
    QCOMPARE(box->text(), QStringLiteral("12"));
    QCOMPARE(m_platform->prompts.texts(),
             QStringList(3, QStringLiteral("Only numbers 1-9 are allowed here!")));
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QStringLiteral("1"));
    QTest::keyClicks(box, QStringLiteral("99999"));
    QCOMPARE(box->text(), QStringLiteral("1999"));
    QCOMPARE(m_platform->prompts.shown.size(), 3);
}

void TestAddAndEdit::untouchedPasswordIsKept()
{
    // An imported password that the box cannot show whole.
    UnitRecord imported{"10.3.3.3", "Imported", "12345", "GMT", "EUR", "1", "1"};
    m_dialog->prepareEdit(0, imported);
    clickOk();
    QVERIFY(m_dialog->accepted());
    QCOMPARE(m_dialog->record().Password, QStringLiteral("12345"));
}

void TestAddAndEdit::dstCheck_data()
{
    QTest::addColumn<QString>("zone");
    QTest::addColumn<QString>("dst");
    QTest::addColumn<QString>("message");
    QTest::newRow("USA zone") << "GMT-05:00"
                              << "USA"
                              << "";
    QTest::newRow("EUR zone") << "GMT+01:00"
                              << "EUR"
                              << "";
    QTest::newRow("AUS zone") << "GMT+10:00"
                              << "AUS"
                              << "";
    QTest::newRow("OFF anywhere") << "GMT+05:45"
                                  << "OFF"
                                  << "";
    QTest::newRow("zone without DST")
        << "GMT-04:00"
        << "USA"
        << "This program only supports three DST Zone ( USA,EUR and AUS ).\nThe time zone you "
           "selected is out of the range of above three.\nPlease select 'OFF' Only!";
    QTest::newRow("other zone's rule")
        << "GMT-05:00"
        << "EUR"
        << "This time zone ( GMT-05:00 ) belongs to 'USA' DST Zone.\nYou can select 'USA' or "
           "'OFF'!";
}

void TestAddAndEdit::dstCheck()
{
    QFETCH(QString, zone);
    QFETCH(QString, dst);
    QFETCH(QString, message);
    m_dialog->prepareAdd(zone, dst, QStringLiteral("Unit"));
    fill(QStringLiteral("10.4.4.4"), QStringLiteral("Unit"));
    clickOk();
    if (message.isEmpty()) {
        QVERIFY(m_dialog->accepted());
        QCOMPARE(m_dialog->record().TimeZone, zone);
        QCOMPARE(m_dialog->record().DST, dst);
    } else {
        QVERIFY(!m_dialog->accepted());
        QCOMPARE(m_platform->prompts.texts(), QStringList{message});
        QCOMPARE(m_platform->prompts.shown.at(0).title, QStringLiteral("Message"));
    }
}

void TestAddAndEdit::duplicates_data()
{
    QTest::addColumn<int>("editIndex"); // -1 = add mode
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("message");
    QTest::newRow("add new") << -1 << "10.1.1.2"
                             << "";
    QTest::newRow("add existing ip") << -1 << "10.1.1.1"
                                     << "Duplicate IP Address detected!";
    QTest::newRow("add existing ip typed with blanks") << -1 << " 10.1.1.1 "
                                                       << "Duplicate IP Address detected!";
    QTest::newRow("add existing phone") << -1 << "5551234"
                                        << "Duplicate Phone Number detected!";
    QTest::newRow("edit keeps own address") << 0 << "10.1.1.1"
                                            << "";
    QTest::newRow("edit to other's address") << 1 << "10.1.1.1"
                                             << "Duplicate IP Address detected!";
}

void TestAddAndEdit::duplicates()
{
    QFETCH(int, editIndex);
    QFETCH(QString, address);
    QFETCH(QString, message);
    if (editIndex < 0)
        m_dialog->prepareAdd(QStringLiteral("GMT"), QStringLiteral("EUR"), QStringLiteral("x"));
    else
        m_dialog->prepareEdit(editIndex, m_units.record(editIndex));
    child<QRadioButton>(address.contains(u'.') ? "optEthernet" : "optPOTS")->setChecked(true);
    fill(address, QStringLiteral("Unit"));
    clickOk();
    QCOMPARE(m_dialog->accepted(), message.isEmpty());
    if (!message.isEmpty()) {
        QCOMPARE(m_platform->prompts.texts(), QStringList{message});
        QCOMPARE(m_dialog->focusWidget(), child<QLineEdit>("txtAddress"));
    }
}

void TestAddAndEdit::doubleQuoteRefused()
{
    m_dialog->prepareAdd(QStringLiteral("GMT"), QStringLiteral("EUR"), QString());
    fill(QStringLiteral("10.5.5.5"), QStringLiteral("The \"big\" one"));
    clickOk();
    QVERIFY(!m_dialog->accepted());
    QCOMPARE(m_platform->prompts.shown.size(), 1);
    QVERIFY(m_platform->prompts.texts().at(0).contains(u'"'));
    QCOMPARE(m_dialog->focusWidget(), child<QLineEdit>("txtDescript"));
}

QTEST_MAIN(TestAddAndEdit)
#include "tst_addandedit.moc"
