#include "platform/ProgramFolder.h"

#include <QTest>

// An installed copy must keep its log per user, never beside a system executable.
class TestProgramFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void systemFolders_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("system");
        QTest::newRow("packaged") << "/usr/bin" << true;
        QTest::newRow("local install") << "/usr/local/bin" << true;
        QTest::newRow("opt") << "/opt/vigilstat/bin" << true;
        QTest::newRow("bin itself") << "/bin" << true;
        QTest::newRow("build tree") << "/home/op/vigilstat/build/bin" << false;
        QTest::newRow("look-alike") << "/usrdata/vigilstat" << false;
    }
    void systemFolders()
    {
        QFETCH(QString, folder);
        QFETCH(bool, system);
        QCOMPARE(SystemProgramFolder::isSystemFolder(folder), system);
    }
};

QTEST_GUILESS_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
