#include "directory/UnitPassword.h"

#include <QSet>
#include <QTest>

class TestUnitPassword : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodesAndDecodes_data();
    void encodesAndDecodes();
    void decodeRejects_data();
    void decodeRejects();
    void keysAvoidThreeDigitPairs();
};

void TestUnitPassword::encodesAndDecodes_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("three digits") << QStringLiteral("123");
    QTest::newRow("four nines") << QStringLiteral("9999");
    QTest::newRow("letters") << QStringLiteral("aZ~");
    QTest::newRow("code page character") << QStringLiteral("\u20ac12"); // 0x80 in the file
}

void TestUnitPassword::encodesAndDecodes()
{
    QFETCH(QString, password);
    QSet<int> keys;
    for (int round = 0; round < 400; ++round) {
        const QString e = EncodeUnitPassword(password);
        QCOMPARE(e.size(), 2 + 2 * password.size());
        const int key = e.left(2).toInt();
        QVERIFY2(key >= 11 && key <= 33, qPrintable(e));
        QCOMPARE(e, e.toUpper());
        QCOMPARE(DecodeUnitPassword(e), password);
        keys.insert(key);
    }
    QVERIFY2(keys.size() > 15, "keys are spread over the whole range");
}

void TestUnitPassword::decodeRejects_data()
{
    QTest::addColumn<QString>("encoded");
    QTest::newRow("empty") << QString();
    QTest::newRow("nine characters") << QStringLiteral("114244453");
    QTest::newRow("five-character password") << EncodeUnitPassword(QStringLiteral("12345"));
    QTest::newRow("key not a number") << QStringLiteral("1A424445");
    QTest::newRow("pair not hexadecimal") << QStringLiteral("1142G445");
    QTest::newRow("code below zero") << QStringLiteral("33010203");
}

void TestUnitPassword::decodeRejects()
{
    QFETCH(QString, encoded);
    QCOMPARE(DecodeUnitPassword(encoded), QString());
}

void TestUnitPassword::keysAvoidThreeDigitPairs()
{
    // 0xE0 + key fits one byte only for keys up to 31.
    const QString password = QStringLiteral("\u00e012");
    QSet<int> keys;
    for (int round = 0; round < 1000; ++round) {
        const QString e = EncodeUnitPassword(password);
        QCOMPARE(e.size(), 8);
        QCOMPARE(DecodeUnitPassword(e), password);
        keys.insert(e.left(2).toInt());
    }
    QVERIFY(!keys.contains(32) && !keys.contains(33));
    QVERIFY(keys.contains(31) && keys.contains(11));

    QCOMPARE(EncodeUnitPassword(QStringLiteral("\u00ff12")), QString());
    QCOMPARE(EncodeUnitPassword(QString()), QString());
    QCOMPARE(EncodeUnitPassword(QStringLiteral("123456")), QString());
}

QTEST_GUILESS_MAIN(TestUnitPassword)
#include "tst_unitpassword.moc"
