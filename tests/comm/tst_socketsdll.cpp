#include "comm/clsSocketsDLL.h"
#include "comm/MessageAssembler.h"
#include "ScriptedPlatform.h"
#include "SimulatedFleet.h"

#include <memory>
#include <optional>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QByteArray statusRequest = QByteArray::fromHex("FFFF050100000000");

QByteArray header(quint8 code, quint8 subCode, quint32 length)
{
    QByteArray h = QByteArray::fromHex("FFFF");
    h += char(code);
    h += char(subCode);
    for (int shift = 24; shift >= 0; shift -= 8)
        h += char((length >> shift) & 0xFF);
    return h;
}

QByteArray frame(quint8 code, quint8 subCode, const QByteArray& payload)
{
    return header(code, subCode, quint32(payload.size())) + payload;
}

QString events(const QSignalSpy& spy)
{
    QStringList list;
    for (const QList<QVariant>& args : spy)
        list << u"%1/%2"_s.arg(args.at(0).toInt()).arg(args.at(1).toInt());
    return list.join(QLatin1Char(' '));
}

std::unique_ptr<SimulatedUnit> startUnit(const UnitFaults& faults = {})
{
    SimulatedUnit::Config config;
    config.address = SimulatedFleet::randomLoopbackAddress();
    config.faults = faults;
    config.live = false;
    auto unit = std::make_unique<SimulatedUnit>(config);
    for (int attempt = 0; attempt < 5 && !unit->start(); ++attempt) {
        config.address = SimulatedFleet::randomLoopbackAddress();
        unit = std::make_unique<SimulatedUnit>(config);
    }
    return unit->isServing() || faults.refuseConnection ? std::move(unit) : nullptr;
}

// A unit with one fault switched on.
std::unique_ptr<SimulatedUnit> startUnit(bool UnitFaults::*fault)
{
    UnitFaults faults;
    faults.*fault = true;
    return startUnit(faults);
}

QString hostOf(const SimulatedUnit& unit)
{
    return unit.config().address.toString();
}

// The first error raised, as "number|description|source".
QString firstError(const QSignalSpy& errors)
{
    if (errors.isEmpty())
        return {};
    const QList<QVariant>& e = errors.first();
    return e.at(0).toString() + u'|' + e.at(1).toString() + u'|' + e.at(2).toString();
}

// Connects and waits for the outcome; true when connected.
bool connectTo(clsSocketsDLL& transport, const SimulatedUnit& unit)
{
    QSignalSpy finished(&transport, &clsSocketsDLL::ConnectFinished);
    transport.Connect(hostOf(unit), 1024);
    if (!finished.wait(clsSocketsDLL::ConnectTimeoutMs + 2000) && finished.isEmpty())
        return false;
    return finished.first().first().toBool();
}

} // namespace

class TestSocketsDll : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_platform.emplace(); }
    void cleanup() { m_platform.reset(); }

    // The framing of answers, before any socket is involved.
    void joiningModes_data();
    void joiningModes();
    void moreThanAThousandPieces_data();
    void moreThanAThousandPieces();
    void brokenLengths_data();
    void brokenLengths();
    void headerByteByByte();
    void resetForgetsAPartialMessage();

    void answers_data();
    void answers();
    void oversizedLengthClosesTheConnection();
    void connectTimesOutAfterFiveSeconds();
    void flushEndsAPendingConnect();
    void refusedConnection();
    void reconnecting();
    void peerClose();
    void errorsComeAfterTheCall();
    void sendCompletes();
    void serverSide();
    void bytesToLong_data();
    void bytesToLong();

private:
    std::optional<ScriptedPlatform> m_platform;
};

void TestSocketsDll::joiningModes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("subCode");
    QTest::addColumn<QByteArray>("expected"); // of a payload "abcdef" in pieces "ab", "cd", "ef"
    QTest::newRow("100/0") << 100 << 0 << QByteArray("abcdef");
    QTest::newRow("100/1") << 100 << 1 << QByteArray("abcdef");
    QTest::newRow("100/2") << 100 << 2 << QByteArray("ab");
    QTest::newRow("101/0") << 101 << 0 << QByteArray("abcdef");
    QTest::newRow("101/1") << 101 << 1 << QByteArray("def");
    QTest::newRow("101/7") << 101 << 7 << QByteArray("ab");
    QTest::newRow("104/0") << 104 << 0 << QByteArray("abcdef");
    QTest::newRow("104/1") << 104 << 1 << QByteArray("ab");
    QTest::newRow("105/0") << 105 << 0 << QByteArray("abcdef");
    QTest::newRow("105/1") << 105 << 1 << QByteArray("abcdef");
    QTest::newRow("105/2") << 105 << 2 << QByteArray("ab");
    QTest::newRow("106/0") << 106 << 0 << QByteArray("ab");
}

void TestSocketsDll::joiningModes()
{
    QFETCH(int, code);
    QFETCH(int, subCode);
    QFETCH(QByteArray, expected);
    MessageAssembler assembler;
    const auto first = assembler.add(QByteArray(header(quint8(code), quint8(subCode), 6) + "ab"));
    QVERIFY(first.progress && !first.message);
    QVERIFY(!assembler.add("cd").message);
    const auto last = assembler.add("ef");
    QVERIFY(last.progress);
    QVERIFY(last.message);
    QCOMPARE(last.message->code, quint8(code));
    QCOMPARE(last.message->subCode, quint8(subCode));
    QCOMPARE(last.message->data, expected);
    QCOMPARE(last.message->droppedByte.has_value(), code == 101 && subCode == 1);
    QVERIFY(!assembler.inProgress());
}

void TestSocketsDll::moreThanAThousandPieces_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("expectedSize");
    QTest::newRow("joined") << 104 << 3000;
    QTest::newRow("first piece only") << 106 << 1;
}

void TestSocketsDll::moreThanAThousandPieces()
{
    QFETCH(int, code);
    QFETCH(int, expectedSize);
    MessageAssembler assembler;
    QByteArray payload;
    for (int i = 0; i < 3000; ++i)
        payload += char(i % 251);
    assembler.add(QByteArray(header(quint8(code), 0, 3000) + payload.first(1)));
    std::optional<MessageAssembler::Message> message;
    for (int i = 1; i < 3000; ++i) {
        const auto arrival = assembler.add(payload.sliced(i, 1));
        QVERIFY(arrival.progress);
        QCOMPARE(arrival.message.has_value(), i == 2999);
        if (arrival.message)
            message = arrival.message;
    }
    QVERIFY(message);
    QCOMPARE(message->data, payload.first(expectedSize));
}

void TestSocketsDll::brokenLengths_data()
{
    QTest::addColumn<quint32>("length");
    QTest::addColumn<bool>("broken");
    QTest::newRow("16 MiB is the limit") << MessageAssembler::MaxPayloadLength << false;
    QTest::newRow("just above") << MessageAssembler::MaxPayloadLength + 1 << true;
    QTest::newRow("2^31") << 0x80000000u << true;
    QTest::newRow("all ones") << 0xFFFFFFFFu << true;
}

void TestSocketsDll::brokenLengths()
{
    QFETCH(quint32, length);
    QFETCH(bool, broken);
    MessageAssembler assembler;
    const auto arrival = assembler.add(QByteArray(header(105, 1, length) + "xy"));
    QCOMPARE(arrival.broken, broken);
    QVERIFY(!arrival.message);
    QCOMPARE(assembler.inProgress(), !broken);
    if (broken) {
        // Nothing of the broken message lingers: the next bytes are a fresh header.
        const auto next = assembler.add(QByteArray(header(104, 0, 1) + "z"));
        QVERIFY(next.message);
        QCOMPARE(next.message->data, QByteArray("z"));
    }
}

void TestSocketsDll::headerByteByByte()
{
    MessageAssembler assembler;
    const QByteArray h = header(105, 0, 1);
    for (int i = 0; i < 7; ++i) {
        const auto arrival = assembler.add(h.sliced(i, 1));
        QVERIFY(!arrival.progress && !arrival.message);
        QVERIFY(assembler.hasPartialHeader());
    }
    const auto arrival = assembler.add(QByteArray(h.sliced(7) + "\x01" + "rest"));
    QVERIFY(arrival.progress);
    QVERIFY(arrival.message);
    QCOMPARE(arrival.message->data, QByteArray("\x01"));
    QVERIFY(!assembler.hasPartialHeader());
}

void TestSocketsDll::resetForgetsAPartialMessage()
{
    MessageAssembler assembler;
    assembler.add(QByteArray(header(104, 0, 10) + "abc"));
    assembler.reset();
    const auto arrival = assembler.add(QByteArray(header(105, 0, 1) + "\x02"));
    QVERIFY(arrival.message);
    QCOMPARE(arrival.message->code, quint8(105));
    QCOMPARE(arrival.message->data, QByteArray("\x02"));
}

void TestSocketsDll::answers_data()
{
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("subCode");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("generic");

    QTest::newRow("one piece") << QList<QByteArray>{frame(105, 1, "status")} << 105 << 1
                               << QByteArray("status") << u"1/0"_s;
    QTest::newRow("header, then payload") << QList<QByteArray>{header(105, 1, 6), "status"} << 105
                                          << 1 << QByteArray("status") << u"1/0 1/0"_s;
    QTest::newRow("empty payload")
        << QList<QByteArray>{header(105, 0, 0)} << 105 << 0 << QByteArray() << u"1/0"_s;
    QTest::newRow("101/1 drops its first three bytes")
        << QList<QByteArray>{header(101, 1, 6) + "xyz", "123"} << 101 << 1 << QByteArray("123")
        << u"1/0 1/0 0/122"_s;
    QTest::newRow("101/1 shorter than three bytes")
        << QList<QByteArray>{frame(101, 1, "xy")} << 101 << 1 << QByteArray() << u"1/0 0/0"_s;
    QTest::newRow("two answers in one piece")
        << QList<QByteArray>{frame(105, 1, "one") + frame(104, 0, "two")} << 105 << 1
        << QByteArray("one") << u"1/0"_s;
    QTest::newRow("bytes beyond the length in a later piece")
        << QList<QByteArray>{header(104, 0, 4) + "ab", "cdXYZ"} << 104 << 0 << QByteArray("abcd")
        << u"1/0 1/0"_s;
    const QByteArray h = header(105, 1, 2);
    QTest::newRow("header in two pieces") << QList<QByteArray>{h.first(5), h.sliced(5) + "ok"}
                                          << 105 << 1 << QByteArray("ok") << u"1/0"_s;
}

void TestSocketsDll::answers()
{
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(int, code);
    QFETCH(int, subCode);
    QFETCH(QByteArray, data);
    QFETCH(QString, generic);

    UnitFaults faults;
    faults.scriptedAnswer = pieces;
    faults.pieceDelayMs = 150;
    const auto unit = startUnit(faults);
    QVERIFY(unit);
    clsSocketsDLL transport;
    QSignalSpy remote(&transport, &clsSocketsDLL::RemoteConnected);
    QVERIFY(connectTo(transport, *unit));
    QCOMPARE(remote.size(), 1);
    QCOMPARE(remote.first().first().toString(), hostOf(*unit));

    QSignalSpy messages(&transport, &clsSocketsDLL::MessageDataReceived);
    QSignalSpy progress(&transport, &clsSocketsDLL::GenericEvent);
    // Twice: whatever the first answer left behind must not leak into the second.
    for (int round = 1; round <= 2; ++round) {
        progress.clear();
        transport.SendByteArray(statusRequest);
        QTRY_COMPARE_WITH_TIMEOUT(messages.size(), round, 5000);
        const QList<QVariant> args = messages.at(round - 1);
        QCOMPARE(args.at(0).toInt(), code);
        QCOMPARE(args.at(1).toInt(), subCode);
        QCOMPARE(args.at(2).toByteArray(), data);
        QCOMPARE(events(progress), generic);
        QVERIFY(!transport.receiveInProgress());
    }
    QTest::qWait(400);
    QCOMPARE(messages.size(), 2);
    QVERIFY(transport.isConnected());
}

void TestSocketsDll::oversizedLengthClosesTheConnection()
{
    const auto unit = startUnit(&UnitFaults::oversizedLength);
    QVERIFY(unit);
    clsSocketsDLL transport;
    QVERIFY(connectTo(transport, *unit));
    QSignalSpy messages(&transport, &clsSocketsDLL::MessageDataReceived);
    QSignalSpy errors(&transport, &clsSocketsDLL::WinsockError);
    transport.SendByteArray(statusRequest);
    QTRY_VERIFY_WITH_TIMEOUT(!transport.isConnected(), 5000);
    QVERIFY(messages.isEmpty());
    QVERIFY(!transport.receiveInProgress());
    QVERIFY(errors.isEmpty()); // closed by us: the unit did not hang up
}

void TestSocketsDll::connectTimesOutAfterFiveSeconds()
{
    const auto unit = startUnit(&UnitFaults::silent);
    QVERIFY(unit);
    clsSocketsDLL transport;
    QSignalSpy finished(&transport, &clsSocketsDLL::ConnectFinished);
    QSignalSpy errors(&transport, &clsSocketsDLL::WinsockError);
    QElapsedTimer clock;
    clock.start();
    transport.Connect(hostOf(*unit), 1024);
    QVERIFY(transport.connectPending());
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, clsSocketsDLL::ConnectTimeoutMs + 3000);
    QVERIFY(clock.elapsed() >= clsSocketsDLL::ConnectTimeoutMs - 100);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(transport.connectFailed());
    QVERIFY(!transport.connectPending());
    QVERIFY(errors.isEmpty()); // a time-out raises no event of its own
}

void TestSocketsDll::flushEndsAPendingConnect()
{
    const auto unit = startUnit(&UnitFaults::silent);
    QVERIFY(unit);
    clsSocketsDLL transport;
    QSignalSpy finished(&transport, &clsSocketsDLL::ConnectFinished);
    QSignalSpy remote(&transport, &clsSocketsDLL::RemoteConnected);
    transport.Connect(hostOf(*unit), 1024);
    transport.FlushInputBuffers();
    QVERIFY(finished.isEmpty()); // told after the call, never inside it
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QVERIFY(transport.connectFailed());
    QTest::qWait(200);
    QCOMPARE(finished.size(), 1);
    QVERIFY(remote.isEmpty());
}

void TestSocketsDll::refusedConnection()
{
    const auto unit = startUnit(&UnitFaults::refuseConnection);
    QVERIFY(unit);
    clsSocketsDLL transport;
    QSignalSpy errors(&transport, &clsSocketsDLL::WinsockError);
    QVERIFY(!connectTo(transport, *unit));
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().at(0).toInt(), 10061);
    QVERIFY(!errors.first().at(1).toString().isEmpty());
    QCOMPARE(errors.first().at(2).toString(), u"wskSend_Error"_s);
    QVERIFY(transport.connectFailed());
}

// A new Connect ends what the old connection left pending, and every attempt reports once:
// an abandoned one not at all, so its outcome cannot pass for the new one's.
void TestSocketsDll::reconnecting()
{
    const auto refusing = startUnit(&UnitFaults::refuseConnection);
    const auto unit = startUnit();
    QVERIFY(refusing && unit);

    // Two attempts in a row: one report, for the second.
    clsSocketsDLL transport;
    QSignalSpy finished(&transport, &clsSocketsDLL::ConnectFinished);
    transport.Connect(hostOf(*refusing), 1024);
    transport.Connect(hostOf(*unit), 1024);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), true);

    // A send still waiting when Connect drops its connection completes, and the next send on
    // the new connection completes too.
    QSignalSpy completed(&transport, &clsSocketsDLL::SendCompleted);
    transport.SendByteArray(QByteArray(100, 'x'));
    transport.Connect(hostOf(*unit), 1024);
    QTRY_COMPARE(finished.size(), 2);
    QVERIFY(finished.last().first().toBool());
    transport.SendByteArray(statusRequest);
    QTRY_COMPARE(completed.size(), 2);
    QTRY_VERIFY(!transport.sendPending());

    // A handler of the refusal may connect elsewhere at once; it is not cut off.
    clsSocketsDLL retry;
    QSignalSpy outcomes(&retry, &clsSocketsDLL::ConnectFinished);
    connect(
        &retry, &clsSocketsDLL::WinsockError, &retry, [&] { retry.Connect(hostOf(*unit), 1024); },
        Qt::SingleShotConnection);
    retry.Connect(hostOf(*refusing), 1024);
    QTRY_COMPARE(outcomes.size(), 1);
    QTest::qWait(50);
    QCOMPARE(outcomes.size(), 1);
    QVERIFY(outcomes.first().first().toBool());
    QVERIFY(retry.isConnected());
}

void TestSocketsDll::peerClose()
{
    const auto unit = startUnit(&UnitFaults::closeAtOnce);
    QVERIFY(unit);
    clsSocketsDLL transport;
    QSignalSpy errors(&transport, &clsSocketsDLL::WinsockError);
    QVERIFY(connectTo(transport, *unit));
    QTRY_COMPARE(errors.size(), 1);
    QCOMPARE(firstError(errors), u"100|Connection Closed by Server!|"_s);
    QVERIFY(!transport.isConnected());
}

void TestSocketsDll::errorsComeAfterTheCall()
{
    clsSocketsDLL transport;
    QSignalSpy finished(&transport, &clsSocketsDLL::ConnectFinished);
    QSignalSpy errors(&transport, &clsSocketsDLL::WinsockError);
    QSignalSpy completed(&transport, &clsSocketsDLL::SendCompleted);
    QCOMPARE(transport.SendByteArray(statusRequest), false);
    QTRY_COMPARE(completed.size(), 1);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().at(0).toInt(), 40006);
    QCOMPARE(errors.first().at(2).toString(), u"SendPic method\r\n     ***Connection closed***"_s);
    QVERIFY(!transport.sendPending());

    errors.clear();
    transport.Connect(QString(), 1024);
    QVERIFY(finished.isEmpty() && errors.isEmpty());
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().at(0).toInt(), 380);
    QCOMPARE(errors.first().at(2).toString(), u"Connect[send] method"_s);
}

void TestSocketsDll::sendCompletes()
{
    const auto unit = startUnit(&UnitFaults::neverAnswer);
    QVERIFY(unit);
    clsSocketsDLL transport;
    QVERIFY(connectTo(transport, *unit));
    QSignalSpy completed(&transport, &clsSocketsDLL::SendCompleted);
    transport.SendByteArray(statusRequest);
    transport.SendByteArray(QByteArray(100000, 'x'));
    QTRY_COMPARE(completed.size(), 2);
    QVERIFY(!transport.sendPending());
    // A send still pending when the connection goes completes as well.
    transport.SendByteArray(QByteArray(8 * 1024 * 1024, 'y'));
    transport.Disconnect();
    QTRY_COMPARE(completed.size(), 3);
}

void TestSocketsDll::serverSide()
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
    QTRY_COMPARE(remote.size(), 1);
    QCOMPARE(remote.first().first().toString(), address.toString() + u" [1024]"_s);

    // Too short, then too long, then a command packet.
    for (const QByteArray& packet : {QByteArray::fromHex("FFFF0102"), QByteArray(12, char(0xFF))}) {
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
    QTRY_COMPARE(errors.size(), 1);
    QCOMPARE(firstError(errors), u"0|Connection Closed by client!|"_s);
}

void TestSocketsDll::bytesToLong_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("count");
    QTest::addColumn<std::optional<qint32>>("expected");
    const QByteArray b = QByteArray::fromHex("FF7FFFFFFF80000000");
    QTest::newRow("one byte") << b << 0 << 1 << std::optional<qint32>(255);
    QTest::newRow("two bytes") << b << 0 << 2 << std::optional<qint32>(0xFF7F);
    QTest::newRow("largest") << b << 1 << 4 << std::optional<qint32>(0x7FFFFFFF);
    QTest::newRow("2^31 overflows") << b << 5 << 4 << std::optional<qint32>();
    QTest::newRow("past the end") << b << 6 << 4 << std::optional<qint32>();
    QTest::newRow("no bytes") << b << 0 << 0 << std::optional<qint32>();
}

void TestSocketsDll::bytesToLong()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, start);
    QFETCH(int, count);
    QFETCH(std::optional<qint32>, expected);
    QCOMPARE(clsSocketsDLL::BytesToLong(bytes, start, count), expected);
}

QTEST_GUILESS_MAIN(TestSocketsDll)
#include "tst_socketsdll.moc"
