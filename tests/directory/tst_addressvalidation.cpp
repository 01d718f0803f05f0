#include "directory/AddressValidation.h"

#include <QTest>

class TestAddressValidation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void validates_data();
    void validates();
};

void TestAddressValidation::validates_data()
{
    QTest::addColumn<bool>("phone");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("ip typical") << false << "10.90.253.38" << true;
    QTest::newRow("ip shortest") << false << "1.2.3.4" << true;
    QTest::newRow("ip longest") << false << "255.255.255.255" << true;
    QTest::newRow("ip leading zeros") << false << "010.001.000.009" << true;
    QTest::newRow("ip part above 255") << false << "10.90.253.256" << false;
    QTest::newRow("ip empty part") << false << "10..253.38" << false;
    QTest::newRow("ip empty last part") << false << "10.90.253." << false;
    QTest::newRow("ip two dots") << false << "1.2.3" << false;
    QTest::newRow("ip four dots") << false << "10.90.253.38.1" << false;
    QTest::newRow("ip first part too long") << false << "1000.1.1.1" << false;
    QTest::newRow("ip leading dot") << false << ".1.2.3" << false;
    QTest::newRow("ip letters") << false << "10.9a.253.38" << false;
    QTest::newRow("ip blank inside") << false << "10. 9.253.38" << false;
    QTest::newRow("ip huge last part") << false << "1.2.3.99999999999999999999" << false;
    QTest::newRow("ip empty") << false << "" << false;
    QTest::newRow("phone seven digits") << true << "2345678" << true;
    QTest::newRow("phone local form") << true << "234-5678" << true;
    QTest::newRow("phone long distance form") << true << "1-800-234-5678" << true;
    QTest::newRow("phone eleven digits") << true << "18002345678" << true;
    QTest::newRow("phone twelve digits") << true << "180023456789" << false;
    QTest::newRow("phone area code form") << true << "800-234-5678" << false;
    QTest::newRow("phone leading dash") << true << "-2345678" << false;
    QTest::newRow("phone dash misplaced") << true << "23-45678" << false;
    QTest::newRow("phone three dashes misplaced") << true << "18-00-234-567" << false;
    QTest::newRow("phone three dashes short") << true << "1-2-3-" << false;
    QTest::newRow("phone parentheses") << true << "(800)2345678" << false;
    QTest::newRow("phone digits of another script")
        << true << "\u0662\u0663\u0664\u0665\u0666\u0667\u0668" << false;
    QTest::newRow("phone empty") << true << "" << false;
}

void TestAddressValidation::validates()
{
    QFETCH(bool, phone);
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(phone ? IsValidPhoneNumber(text) : IsValidIpAddress(text), valid);
}

QTEST_GUILESS_MAIN(TestAddressValidation)
#include "tst_addressvalidation.moc"
