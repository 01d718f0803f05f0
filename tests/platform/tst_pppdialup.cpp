#include "platform/PppDialUp.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_PppDialUp : public QObject
{
    Q_OBJECT

    QTemporaryDir m_bin;
    QTemporaryDir m_peers;
    std::unique_ptr<PppDialUp> m_dialUp;

    QStringList argumentsOf(const QString& program) const
    {
        return QString::fromUtf8(TestFiles::read(m_bin.filePath(program + u".args"_s)))
            .split(u'\n', Qt::SkipEmptyParts);
    }

    qint32 dial(const QString& number)
    {
        return m_dialUp->dial({u"krvo"_s, number, {}, u"guest"_s, u"quolbrin"_s, {}});
    }

    // The notifications as "state/error", once pppd has ended or the link is up.
    QString follow(QSignalSpy& spy)
    {
        [&] { QTRY_VERIFY(!spy.isEmpty() && spy.last().at(0).toInt() >= 8192); }();
        QStringList list;
        for (const QList<QVariant>& args : spy)
            list << args.at(0).toString() + u'/' + args.at(1).toString();
        return list.join(u' ');
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Copies, so that the argument files they write stay in a temporary folder.
        for (const QString& name : {u"pppd"_s, u"chat"_s})
            QVERIFY(QFile::copy(QFINDTESTDATA(u"fake-dialer/"_s + name), m_bin.filePath(name)));
        qputenv("PATH", m_bin.path().toLocal8Bit() + ':' + qgetenv("PATH"));
        TestFiles::write(m_peers.filePath(u"KRVO"_s), {});
    }

    void init()
    {
        qunsetenv("CHAT");
        qunsetenv("PPPD");
        QFile::remove(m_bin.filePath(u"pppd.args"_s));
        m_dialUp = std::make_unique<PppDialUp>();
        m_dialUp->setPeersFolder(m_peers.path());
    }

    void outcomes_data()
    {
        QTest::addColumn<QByteArray>("chat"); // exit code and message
        QTest::addColumn<QByteArray>("pppd"); // exit code and log lines
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("speed");

        QTest::newRow("busy") << "4 Failed (BUSY)"_ba
                              << ""_ba << u"2/0 8193/676"_s << 0;
        QTest::newRow("no dial tone") << "5 Failed (NO DIALTONE)"_ba
                                      << ""_ba << u"2/0 8193/680"_s << 0;
        QTest::newRow("no carrier") << "6 Failed (NO CARRIER)"_ba
                                    << ""_ba << u"2/0 8193/692"_s << 0;
        QTest::newRow("not permitted") << ""_ba
                                       << "3"_ba << u"2/0 8193/5"_s << 0;
        QTest::newRow("up, then the modem hangs up")
            << "0 chat:  Dec 07 01:43:59 CONNECT 14400"_ba
            << "16 Connect: ppp0 <--> /dev/ttyS0\\nremote IP address 1.1.1.1"_ba
            << u"2/0 3/0 4/0 8192/0 8193/619"_s << 14400;
        // No CONNECT report: the speed is unknown.
        QTest::newRow("up until our hang-up")
            << ""_ba
            << "stay remote IP address 1.1.1.1"_ba << u"2/0 8192/0 8193/631"_s << 0;
    }

    void outcomes()
    {
        QFETCH(QByteArray, chat);
        QFETCH(QByteArray, pppd);
        qputenv("CHAT", chat);
        qputenv("PPPD", pppd);
        QSignalSpy spy(m_dialUp.get(), &DialUp::notification);
        QCOMPARE(dial(u"555"_s), 0);
        if (pppd.startsWith("stay")) {
            QCOMPARE(follow(spy), u"2/0 8192/0"_s);
            m_dialUp->hangUp();
        }
        QTRY_COMPARE(m_dialUp->connectionCount(), 0);
        QTEST(follow(spy), "events");
        QTEST(m_dialUp->linkSpeed(), "speed");
    }

    // Numbers that could do harm or are too long are refused without starting anything; the
    // number is one argument of the chat script.
    void numbers()
    {
        for (const QString& number : {u"$(reboot)"_s, u"555\n1"_s, QString(65, u'5')})
            QCOMPARE(dial(number), DialUp::ErrorInvalidNumber);
        QCOMPARE(m_dialUp->connectionCount(), 0);
        QVERIFY(argumentsOf(u"pppd"_s).isEmpty());

        const QString number = u"+1 (555) 123-4567,,#*"_s.leftJustified(64, u'5');
        QCOMPARE(dial(number), 0);
        QTRY_COMPARE(m_dialUp->connectionCount(), 0);
        QCOMPARE(argumentsOf(u"pppd"_s).mid(0, 12),
                 QStringList({u"file"_s, m_peers.filePath(u"KRVO"_s), u"nodetach"_s, u"maxfail"_s,
                              u"1"_s, u"user"_s, u"guest"_s, u"password"_s, u"quolbrin"_s,
                              u"remotenumber"_s, number, u"connect"_s}));
        QCOMPARE(argumentsOf(u"chat"_s).join(u'|'),
                 u"-s|ABORT|BUSY|ABORT|NO DIALTONE|ABORT|NO CARRIER|ABORT|ERROR|REPORT|CONNECT|"
                 "TIMEOUT|10|ATZ|OK|ATDT"_s +
                     number + u"|TIMEOUT|60|CONNECT|\\c"_s);
    }
};

QTEST_GUILESS_MAIN(tst_PppDialUp)
#include "tst_pppdialup.moc"
