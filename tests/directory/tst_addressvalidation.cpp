#include "directory/AddressValidation.h"

#include <QTest>

class TestAddressValidation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ipAddress_data();
    void ipAddress();
    void phoneNumber_data();
    void phoneNumber();
};

void TestAddressValidation::ipAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("typical") << "10.90.253.38" << true;
    QTest::newRow("shortest") << "1.2.3.4" << true;
    QTest::newRow("longest") << "255.255.255.255" << true;
    QTest::newRow("leading zeros") << "010.001.000.009" << true;
    QTest::newRow("part above 255") << "10.90.253.256" << false;
    QTest::newRow("empty part") << "10..253.38" << false;
    QTest::newRow("empty last part") << "10.90.253." << false;
    QTest::newRow("two dots") << "1.2.3" << false;
    QTest::newRow("four dots") << "10.90.253.38.1" << false;
    QTest::newRow("first part too long") << "1000.1.1.1" << false;
    QTest::newRow("leading dot") << ".1.2.3" << false;
    QTest::newRow("letters") << "10.9a.253.38" << false;
    QTest::newRow("blank inside") << "10. 9.253.38" << false;
    QTest::newRow("huge last part") << "1.2.3.99999999999999999999" << false;
    QTest::newRow("empty") << "" << false;
}

void TestAddressValidation::ipAddress()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidIpAddress(text), valid);
}

void TestAddressValidation::phoneNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("seven digits") << "2345678" << true;
    QTest::newRow("local form") << "234-5678" << true;
    QTest::newRow("long distance form") << "1-800-234-5678" << true;
    QTest::newRow("eleven digits") << "18002345678" << true;
    QTest::newRow("twelve digits") << "180023456789" << false;
    QTest::newRow("area code form") << "800-234-5678" << false;
    QTest::newRow("leading dash") << "-2345678" << false;
    QTest::newRow("dash misplaced") << "23-45678" << false;
    QTest::newRow("three dashes misplaced") << "18-00-234-567" << false;
    QTest::newRow("three dashes short") << "1-2-3-" << false;
    QTest::newRow("parentheses") << "(800)2345678" << false;
    QTest::newRow("digits of another script")
        << "\u0662\u0663\u0664\u0665\u0666\u0667\u0668" << false;
    QTest::newRow("empty") << "" << false;
}

void TestAddressValidation::phoneNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidPhoneNumber(text), valid);
}

QTEST_GUILESS_MAIN(TestAddressValidation)
#include "tst_addressvalidation.moc"
