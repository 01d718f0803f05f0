#include "platform/forms/IconFile.h"

#include <QTest>

// No icon file lies beside this test or in its program folder: the icons must come built in.
class TestIconFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowIconsAreBuiltIn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("other");
        QTest::newRow("normal") << QStringLiteral("KELP.ico") << QStringLiteral("W95MBX03.ico");
        QTest::newRow("exceptions logged")
            << QStringLiteral("W95MBX03.ico") << QStringLiteral("KELP.ico");
    }

    void windowIconsAreBuiltIn()
    {
        QFETCH(QString, name);
        QFETCH(QString, other);
        const QImage image = iconFile(name).pixmap(48, 48).toImage();
        QCOMPARE(image.size(), QSize(48, 48));
        QCOMPARE(image.pixelColor(24, 24).alpha(), 255);
        QVERIFY(image != iconFile(other).pixmap(48, 48).toImage());
    }
};

QTEST_MAIN(TestIconFile)
#include "tst_iconfile.moc"
