#include <QHostAddress>
#include <QTest>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
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
        QTest::newRow("documentation net") << "192.0.2.1" << true;
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
            sockaddr_storage target{};
            socklen_t length = 0;
            int family = AF_INET;
            if (host.protocol() == QAbstractSocket::IPv4Protocol) {
                auto* in = reinterpret_cast<sockaddr_in*>(&target);
                in->sin_family = AF_INET;
                in->sin_port = htons(9);
                in->sin_addr.s_addr = htonl(host.toIPv4Address());
                length = sizeof(sockaddr_in);
            } else {
                family = AF_INET6;
                auto* in6 = reinterpret_cast<sockaddr_in6*>(&target);
                in6->sin6_family = AF_INET6;
                in6->sin6_port = htons(9);
                const Q_IPV6ADDR bytes = host.toIPv6Address();
                memcpy(&in6->sin6_addr, bytes.c, 16);
                length = sizeof(sockaddr_in6);
            }
            const int fd = socket(family, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(fd, reinterpret_cast<sockaddr*>(&target), length);
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
