#include "comm/MessageAssembler.h"

#include <QTest>

namespace {

QByteArray header(quint8 code, quint8 subCode, quint32 length)
{
    QByteArray h = QByteArray::fromHex("FFFF");
    h += char(code);
    h += char(subCode);
    for (int shift = 24; shift >= 0; shift -= 8)
        h += char((length >> shift) & 0xFF);
    return h;
}

} // namespace

class TestMessageAssembler : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void joiningModes_data();
    void joiningModes();
    void moreThanAThousandPieces_data();
    void moreThanAThousandPieces();
    void brokenLengths_data();
    void brokenLengths();
    void headerByteByByte();
    void resetForgetsAPartialMessage();
};

void TestMessageAssembler::joiningModes_data()
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

void TestMessageAssembler::joiningModes()
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

void TestMessageAssembler::moreThanAThousandPieces_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("expectedSize");
    QTest::newRow("joined") << 104 << 3000;
    QTest::newRow("first piece only") << 106 << 1;
}

void TestMessageAssembler::moreThanAThousandPieces()
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

void TestMessageAssembler::brokenLengths_data()
{
    QTest::addColumn<quint32>("length");
    QTest::addColumn<bool>("broken");
    QTest::newRow("16 MiB is the limit") << MessageAssembler::MaxPayloadLength << false;
    QTest::newRow("just above") << MessageAssembler::MaxPayloadLength + 1 << true;
    QTest::newRow("2^31") << 0x80000000u << true;
    QTest::newRow("all ones") << 0xFFFFFFFFu << true;
}

void TestMessageAssembler::brokenLengths()
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

void TestMessageAssembler::headerByteByByte()
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

void TestMessageAssembler::resetForgetsAPartialMessage()
{
    MessageAssembler assembler;
    assembler.add(QByteArray(header(104, 0, 10) + "abc"));
    assembler.reset();
    const auto arrival = assembler.add(QByteArray(header(105, 0, 1) + "\x02"));
    QVERIFY(arrival.message);
    QCOMPARE(arrival.message->code, quint8(105));
    QCOMPARE(arrival.message->data, QByteArray("\x02"));
}

QTEST_GUILESS_MAIN(TestMessageAssembler)
#include "tst_messageassembler.moc"
