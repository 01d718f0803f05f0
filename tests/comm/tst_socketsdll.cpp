#include "comm/clsSocketsDLL.h"
#include "comm/MessageAssembler.h"
#include "ScriptedPlatform.h"
#include "SimulatedUnits.h"

#include <optional>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace SimulatedUnits;

namespace {

const QByteArray statusRequest = request(5, 1);

QByteArray header(quint8 code, quint8 subCode, quint32 length)
{
    QByteArray h = QByteArray::fromHex("FFFF") + char(code) + char(subCode);
    for (int shift = 24; shift >= 0; shift -= 8)
        h += char((length >> shift) & 0xFF);
    return h;
}

QByteArray frame(quint8 code, quint8 subCode, const QByteArray& payload)
{
    return header(code, subCode, quint32(payload.size())) + payload;
}

// Each emission as its arguments joined by '/', the emissions joined by blanks.
QString events(const QSignalSpy& spy)
{
    QStringList list;
    for (const QList<QVariant>& args : spy) {
        QStringList texts;
        for (const QVariant& arg : args)
            texts << (arg.typeId() == QMetaType::UChar ? QString::number(arg.toInt())
                                                       : arg.toString());
        list << texts.join(u'/');
    }
    return list.join(u' ');
}

// A unit with one fault switched on.
std::unique_ptr<SimulatedUnit> startWith(bool UnitFaults::*fault)
{
    UnitFaults faults;
    faults.*fault = true;
    return start(faults);
}

} // namespace

class TestSocketsDll : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_platform.emplace(); }

    void brokenLengths()
    {
        for (const quint32 length : {MessageAssembler::MaxPayloadLength + 1, 0x80000000u, ~0u}) {
            MessageAssembler assembler;
            const auto arrival = assembler.add(QByteArray(header(105, 1, length) + "xy"));
            QVERIFY(arrival.broken && !arrival.message && !assembler.inProgress());
            // Nothing of the broken message lingers: the next bytes are a fresh header.
            QCOMPARE(assembler.add(frame(104, 0, "z")).message->data, QByteArray("z"));
        }
        MessageAssembler assembler;
        QVERIFY(!assembler.add(header(105, 1, MessageAssembler::MaxPayloadLength)).broken);
        QVERIFY(assembler.inProgress());

        // A unit announcing an absurd length is cut off.
        const auto unit = startWith(&UnitFaults::oversizedLength);
        QVERIFY(unit);
        clsSocketsDLL transport;
        QVERIFY(connectTo(transport, hostOf(*unit)));
        QSignalSpy messages(&transport, &clsSocketsDLL::MessageDataReceived);
        QSignalSpy errors(&transport, &clsSocketsDLL::WinsockError);
        transport.SendByteArray(statusRequest);
        QTRY_VERIFY_WITH_TIMEOUT(!transport.isConnected(), 5000);
        QVERIFY(messages.isEmpty());
        QVERIFY(errors.isEmpty()); // closed by us: the unit did not hang up
    }

    void answers_data()
    {
        QTest::addColumn<QList<QByteArray>>("pieces");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("generic");

        QTest::newRow("101/1 drops its first three bytes")
            << QList<QByteArray>{header(101, 1, 6) + "xyz", "123"} << u"101/1/123"_s
            << u"1/0 1/0 0/122"_s;
        QTest::newRow("101/1 shorter than three bytes")
            << QList<QByteArray>{frame(101, 1, "xy")} << u"101/1/"_s << u"1/0 0/0"_s;
        QTest::newRow("two answers in one piece")
            << QList<QByteArray>{frame(105, 1, "one") + frame(104, 0, "two")} << u"105/1/one"_s
            << u"1/0"_s;
        QTest::newRow("bytes beyond the length in a later piece")
            << QList<QByteArray>{header(104, 0, 4) + "ab", "cdXYZ"} << u"104/0/abcd"_s
            << u"1/0 1/0"_s;
        const QByteArray h = header(105, 1, 2);
        QTest::newRow("header in two pieces")
            << QList<QByteArray>{h.first(5), h.sliced(5) + "o", "k"} << u"105/1/ok"_s
            << u"1/0 1/0"_s;
        QTest::newRow("100/2 keeps its first piece only")
            << QList<QByteArray>{header(100, 2, 4) + "ab", "cd"} << u"100/2/ab"_s << u"1/0 1/0"_s;
        QTest::newRow("104/1 keeps its first piece only")
            << QList<QByteArray>{header(104, 1, 4) + "ab", "cd"} << u"104/1/ab"_s << u"1/0 1/0"_s;
    }

    void answers()
    {
        QFETCH(QList<QByteArray>, pieces);
        QFETCH(QString, message);
        QFETCH(QString, generic);

        UnitFaults faults;
        faults.scriptedAnswer = pieces;
        faults.pieceDelayMs = 150;
        const auto unit = start(faults);
        QVERIFY(unit);
        clsSocketsDLL transport;
        QVERIFY(connectTo(transport, hostOf(*unit)));

        QSignalSpy messages(&transport, &clsSocketsDLL::MessageDataReceived);
        QSignalSpy progress(&transport, &clsSocketsDLL::GenericEvent);
        // Twice: whatever the first answer left behind must not leak into the second.
        for (int round = 1; round <= 2; ++round) {
            progress.clear();
            transport.SendByteArray(statusRequest);
            QTRY_COMPARE_WITH_TIMEOUT(messages.size(), round, 5000);
            QCOMPARE(events(progress), generic);
            QVERIFY(!transport.receiveInProgress());
        }
        QTest::qWait(400);
        QCOMPARE(events(messages), message + u' ' + message);
        QVERIFY(transport.isConnected());
    }

    // A connection that is never accepted: a flush ends the attempt at once, otherwise it ends
    // after five seconds. Neither raises an error.
    void silentUnit()
    {
        const auto unit = startWith(&UnitFaults::silent);
        QVERIFY(unit);
        clsSocketsDLL transport;
        QSignalSpy finished(&transport, &clsSocketsDLL::ConnectFinished);
        QSignalSpy errors(&transport, &clsSocketsDLL::WinsockError);
        transport.Connect(hostOf(*unit), 1024);
        transport.FlushInputBuffers();
        QVERIFY(finished.isEmpty()); // told after the call, never inside it
        QTRY_COMPARE_WITH_TIMEOUT(events(finished), u"false"_s, 1000);

        QElapsedTimer clock;
        clock.start();
        transport.Connect(hostOf(*unit), 1024);
        QVERIFY(transport.connectPending());
        QTRY_COMPARE_WITH_TIMEOUT(events(finished), u"false false"_s,
                                  clsSocketsDLL::ConnectTimeoutMs + 3000);
        QVERIFY(clock.elapsed() >= clsSocketsDLL::ConnectTimeoutMs - 100);
        QVERIFY(transport.connectFailed() && errors.isEmpty());
    }

    // The first error as "number/description/source"; "*" stands for the system's own text.
    void errors_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("error");
        QTest::newRow("refused") << "connect refusing"
                                 << "10061/*/wskSend_Error";
        QTest::newRow("unit hangs up") << "connect closing"
                                       << "100/Connection Closed by Server!/";
        QTest::newRow("empty host") << "connect nowhere"
                                    << "380/Invalid property value/Connect[send] method";
        QTest::newRow("send unconnected")
            << "send"
            << "40006/Wrong protocol or connection state for the requested transaction or "
               "request/SendPic method\r\n     ***Connection closed***";
    }

    void errors()
    {
        QFETCH(QString, what);
        QFETCH(QString, error);
        const auto unit = startWith(what.endsWith(u"refusing") ? &UnitFaults::refuseConnection
                                                               : &UnitFaults::closeAtOnce);
        clsSocketsDLL transport;
        QSignalSpy finished(&transport, &clsSocketsDLL::ConnectFinished);
        QSignalSpy errors(&transport, &clsSocketsDLL::WinsockError);
        QSignalSpy completed(&transport, &clsSocketsDLL::SendCompleted);
        if (what == u"send")
            transport.SendByteArray(statusRequest);
        else
            transport.Connect(what.endsWith(u"nowhere") ? QString() : hostOf(*unit), 1024);
        QVERIFY(errors.isEmpty()); // told after the call
        QTRY_COMPARE(errors.size(), 1);
        QStringList e = events(errors).split(u'/');
        if (error.contains(u"/*/"))
            e[1] = u"*"_s;
        QCOMPARE(e.join(u'/'), error);
        QVERIFY(!transport.isConnected());
        QCOMPARE(finished.size(), what.startsWith(u"connect") ? 1 : 0);
        QCOMPARE(completed.size(), what == u"send" ? 1 : 0);
    }

    // A new Connect ends what the old connection left pending, and every attempt reports once:
    // an abandoned one not at all, so its outcome cannot pass for the new one's.
    void reconnecting()
    {
        const auto refusing = startWith(&UnitFaults::refuseConnection);
        const auto unit = start();
        QVERIFY(refusing && unit);

        // Two attempts in a row: one report, for the second.
        clsSocketsDLL transport;
        QSignalSpy finished(&transport, &clsSocketsDLL::ConnectFinished);
        transport.Connect(hostOf(*refusing), 1024);
        transport.Connect(hostOf(*unit), 1024);
        QTRY_COMPARE(events(finished), u"true"_s);

        // A send still waiting when Connect drops its connection completes, and the next sends on
        // the new connection complete too.
        QSignalSpy completed(&transport, &clsSocketsDLL::SendCompleted);
        transport.SendByteArray(QByteArray(100, 'x'));
        transport.Connect(hostOf(*unit), 1024);
        QTRY_COMPARE(events(finished), u"true true"_s);
        transport.SendByteArray(statusRequest);
        transport.SendByteArray(statusRequest);
        QTRY_COMPARE(completed.size(), 3);
        QTRY_VERIFY(!transport.sendPending());

        // A handler of the refusal may connect elsewhere at once; it is not cut off.
        clsSocketsDLL retry;
        QSignalSpy outcomes(&retry, &clsSocketsDLL::ConnectFinished);
        connect(
            &retry, &clsSocketsDLL::WinsockError, &retry,
            [&] { retry.Connect(hostOf(*unit), 1024); }, Qt::SingleShotConnection);
        retry.Connect(hostOf(*refusing), 1024);
        QTRY_COMPARE(events(outcomes), u"true"_s);
        QTest::qWait(50);
        QCOMPARE(events(outcomes), u"true"_s);
        QVERIFY(retry.isConnected());
    }

    void serverSide()
    {
        const QHostAddress address = SimulatedFleet::randomLoopbackAddress();
        clsSocketsDLL transport;
        QSignalSpy remote(&transport, &clsSocketsDLL::RemoteConnected);
        QSignalSpy commands(&transport, &clsSocketsDLL::CommandReceived);
        QSignalSpy errors(&transport, &clsSocketsDLL::WinsockError);
        QSignalSpy completed(&transport, &clsSocketsDLL::SendCompleted);
        transport.Listen(1024, address);
        QCOMPARE(transport.listeningPort(), quint16(1024));

        QTcpSocket unit;
        unit.bind(address);
        unit.connectToHost(address, 1024);
        QVERIFY(unit.waitForConnected(3000));
        QTRY_COMPARE(events(remote), address.toString() + u" [1024]"_s);

        // Too short, then too long, then a command packet.
        for (const QByteArray& packet :
             {QByteArray::fromHex("FFFF0102"), QByteArray(12, char(0xFF))}) {
            unit.write(packet);
            unit.waitForBytesWritten(1000);
            QTest::qWait(100);
        }
        unit.write(QByteArray::fromHex("FFFF0A0B0C0D"));
        QTRY_COMPARE(commands.size(), 1);
        QCOMPARE(commands.first().first().toByteArray(), QByteArray::fromHex("FFFF0A0B0C0D"));
        QCOMPARE(transport.commandBytes(), QByteArray::fromHex("0A0B0C0D"));

        transport.SendRequestedData("picture");
        QTRY_COMPARE(completed.size(), 1);
        transport.SendWavelet("wavelet-and-more", 7);
        QTRY_COMPARE(completed.size(), 2);
        transport.SendBlock("block");
        QTRY_COMPARE(unit.bytesAvailable(), qint64(19));
        QCOMPARE(unit.readAll(), QByteArray("picturewaveletblock"));
        QCOMPARE(completed.size(), 2);

        unit.disconnectFromHost();
        QTRY_COMPARE(events(errors), u"0/Connection Closed by client!/"_s);
    }

    void bytesToLong()
    {
        const QByteArray bytes = QByteArray::fromHex("FF7FFFFFFF80000000");
        QCOMPARE(clsSocketsDLL::BytesToLong(bytes, 0, 2), std::optional<qint32>(0xFF7F));
        QCOMPARE(clsSocketsDLL::BytesToLong(bytes, 1, 4), std::optional<qint32>(0x7FFFFFFF));
        QCOMPARE(clsSocketsDLL::BytesToLong(bytes, 5, 4), std::nullopt); // 2^31 does not fit
        QCOMPARE(clsSocketsDLL::BytesToLong(bytes, 6, 4), std::nullopt); // past the end
        QCOMPARE(clsSocketsDLL::BytesToLong(bytes, 0, 0), std::nullopt);
    }

private:
    std::optional<ScriptedPlatform> m_platform;
};

QTEST_GUILESS_MAIN(TestSocketsDll)
#include "tst_socketsdll.moc"
