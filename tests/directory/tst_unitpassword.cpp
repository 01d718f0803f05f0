#include "directory/UnitPassword.h"

#include <QSet>
#include <QTest>

class TestUnitPassword : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodesAndDecodes_data();
    void encodesAndDecodes();
    void encodeRefuses();
    void decodeRejects_data();
    void decodeRejects();
};

void TestUnitPassword::encodesAndDecodes_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("maxKey");
    QTest::newRow("three digits") << QStringLiteral("123") << 33;
    QTest::newRow("four nines") << QStringLiteral("9999") << 33;
    QTest::newRow("letters") << QStringLiteral("aZ~") << 33;
    QTest::newRow("code page character") << QStringLiteral("\u20ac12") << 33; // 0x80 in the file
    // 0xE0 + key fits one byte only for keys up to 31.
    QTest::newRow("high character keeps pairs of two") << QStringLiteral("\u00e012") << 31;
}

void TestUnitPassword::encodesAndDecodes()
{
    QFETCH(QString, password);
    QFETCH(int, maxKey);
    QSet<int> keys;
    for (int round = 0; round < 1000; ++round) {
        const QString e = EncodeUnitPassword(password);
        QCOMPARE(e.size(), 2 + 2 * password.size());
        const int key = e.left(2).toInt();
        QVERIFY2(key >= 11 && key <= maxKey, qPrintable(e));
        QCOMPARE(e, e.toUpper());
        QCOMPARE(DecodeUnitPassword(e), password);
        keys.insert(key);
    }
    // Keys are drawn afresh each time, over the whole range.
    QVERIFY(keys.contains(11) && keys.contains(maxKey));
}

void TestUnitPassword::encodeRefuses()
{
    QCOMPARE(EncodeUnitPassword(QStringLiteral("\u00ff12")), QString());
    QCOMPARE(EncodeUnitPassword(QString()), QString());
    QCOMPARE(EncodeUnitPassword(QStringLiteral("123456")), QString());
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

QTEST_GUILESS_MAIN(TestUnitPassword)
#include "tst_unitpassword.moc"
