#include "platform/forms/QtFileDialogs.h"

#include <QTest>

class TestFileDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nameFilters_data();
    void nameFilters();
};

void TestFileDialogs::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("description shows its pattern")
        << "IP Address List (*.ipl)|*.ipl" << QStringList{"IP Address List (*.ipl)"};
    QTest::newRow("plain descriptions")
        << "Text Files|*.txt|All Files|*.*" << QStringList{"Text Files (*.txt)", "All Files (*.*)"};
    QTest::newRow("several patterns") << "Lists|*.ipl;*.lst" << QStringList{"Lists (*.ipl *.lst)"};
    QTest::newRow("description without patterns") << "Lists" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestFileDialogs::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(QtFileDialogs::nameFilters(filter), expected);
}

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
