#include <QHostAddress>
#include <QTcpSocket>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

// The guard must stop a connection before it leaves the machine, and let loopback through.
class tst_LoopbackGuard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void connectTargets_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("refused");
        QTest::newRow("private net") << "10.0.0.1" << true;
        QTest::newRow("dial-up far end") << "1.1.1.1" << true;
        QTest::newRow("v4-mapped private") << "::ffff:10.0.0.1" << true;
        QTest::newRow("loopback v4") << "127.5.6.7" << false;
        QTest::newRow("loopback v6") << "::1" << false;
        QTest::newRow("v4-mapped loopback") << "::ffff:127.0.0.1" << false;
    }

    void connectTargets()
    {
        QFETCH(QString, address);
        QFETCH(bool, refused);
        const QHostAddress host(address);
        QVERIFY(!host.isNull());

        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // Port 9 on loopback is closed here: an allowed connect fails quickly and the
            // child ends normally.
            QTcpSocket socket;
            socket.connectToHost(host, 9);
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        const bool aborted = WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT;
        QCOMPARE(aborted, refused);
    }
};

QTEST_GUILESS_MAIN(tst_LoopbackGuard)
#include "tst_loopbackguard.moc"
