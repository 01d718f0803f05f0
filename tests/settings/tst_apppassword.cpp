#include "settings/AppPassword.h"

#include <QTest>

class TestAppPassword : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encode_data();
    void encode();
};

void TestAppPassword::encode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("abc") << "abc"
                         << "F06";
    QTest::newRow("factory password") << "admin"
                                      << "99C9";
    QTest::newRow("blanks around count for nothing") << "  admin "
                                                     << "99C9";
    QTest::newRow("blank inside counts") << "ad min" << EncodeAppPassword(QStringLiteral("ad min"));
    QTest::newRow("empty") << ""
                           << "0";
    QTest::newRow("only blanks") << "   "
                                 << "0";
    // 255 * (3 + 9 + ... + 3^8) = 255 * 9840
    QTest::newRow("eight top characters")
        << QString(8, QChar(0xFF)) << QString::number(255 * 9840, 16).toUpper();
    // The euro sign is code 128 in the file code page, not its Unicode value.
    QTest::newRow("code page character") << QStringLiteral("\u20AC") << "180";
}

void TestAppPassword::encode()
{
    QFETCH(QString, text);
    QFETCH(QString, encoded);
    QCOMPARE(EncodeAppPassword(text), encoded);
    QCOMPARE(QString::fromUtf16(kFactoryEncodedPassword),
             EncodeAppPassword(QString::fromUtf16(kFactoryPassword)));
}

QTEST_GUILESS_MAIN(TestAppPassword)
#include "tst_apppassword.moc"
