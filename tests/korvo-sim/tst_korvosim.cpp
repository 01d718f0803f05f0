#include "platform/Clock.h"
#include "ScriptedPlatform.h"
#include "SimulatedUnits.h"
#include "status/clsStatusString.h"

#include <optional>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace SimulatedUnits;

namespace {

QByteArray logInFrame(quint32 value)
{
    QByteArray payload(1, '\x02');
    for (int shift = 24; shift >= 0; shift -= 8)
        payload += char((value >> shift) & 0xFF);
    return request(5, 0, payload);
}

const QByteArray statusRequest = request(5, 1);
const QByteArray readBlock61 = request(4, 0, QByteArray(1, char(61)));
const QDateTime startClock = wallClock(QDate(2026, 3, 8), QTime(14, 5, 9));

} // namespace

class TestKorvoSim : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_platform.emplace(); }
    void cleanup()
    {
        m_transport.reset();
        m_unit.reset();
        m_platform.reset();
    }

<<<<<<< HEAD
    void statusAnswerDecodesToTheHeldStatus_data();
    void statusAnswerDecodesToTheHeldStatus();
    void logIn_data();
    void logIn();
    void blockReadAndClockWrite();
    void unitThatNeverAnswersTheBlockRead();
    void passwordValue_data();
    void passwordValue();
    void statusLives();
    void fleetDescriptions_data();
    void fleetDescriptions();
    void exampleFleetFileReads();
    void faultsFromTheCommandLine_data();
    void faultsFromTheCommandLine();
    void programServesAFleetUntilStopped();
    void programSaysWhenItMayNotOpenEnoughFiles();
=======
    void statusAnswerDecodesToTheHeldStatus_data()
    {
        QTest::addColumn<int>("type");
        for (int type : {0, 1, 2, 3, 4, 80, 96})
            QTest::addRow("type %d", type) << type;
    }

    void statusAnswerDecodesToTheHeldStatus()
    {
        QFETCH(int, type);
        QVERIFY(open(type));
        const auto answer = ask(*m_transport, statusRequest);
        QVERIFY(answer);
        QCOMPARE(answer->code, 105);
        QCOMPARE(answer->subCode, 1);

        const SimulatedUnitStatus held = m_unit->status();
        const StatusBlock block(answer->data);
        QCOMPARE(block.typeCode(), std::optional<int>(type));
        QCOMPARE(block.capacityIsNumber(), held.capacityIsNumber);
        QCOMPARE(block.recordingTimeLeft(), std::optional<quint32>(held.recordingTimeLeft));
        QVERIFY(qAbs(StatusBlock::unitClock(block.unitTime().value_or(0)).secsTo(startClock)) <= 5);
        const quint32 channels = held.channelCount() == 32 ? 0xFFFFFFFFu : 0xFFFFu;
        QCOMPARE(block.alarmStatus(), std::optional<quint32>(held.alarmStatus & channels));
        QCOMPARE(block.videolossSinceLastPolling(), std::optional<quint32>(0x100u));
        if (type != 0 && type != 96)
            QCOMPARE(block.serialNumber(), std::optional<QString>(held.serialNumber));
        if (type == StatusBlock::KorvoTri)
            QCOMPARE(block.connections()->at(1).address, held.connections.at(1).address);
        if (type == StatusBlock::Zpt)
            QCOMPARE(block.disk(7)->blocksRecorded, held.disks[7].blocksRecorded);

        clsStatusString status;
        const QString text = status.CreatStatusString(answer->data, u"unit"_s);
        QVERIFY2(!status.decodeError(), qPrintable(text));
        // The poll was answered, so what happened "since the last polling" starts afresh.
        QCOMPARE(m_unit->status().videolossSinceLastPolling, 0u);
    }

    void blockReadAndClockWrite()
    {
        QVERIFY(open(3));
        // An unanswered request fails the test rather than the program.
        QCOMPARE(ask(*m_transport, readBlock61).value_or(Answer{}).data, QByteArray(1, '\0'));
        QCOMPARE(ask(*m_transport, logInFrame(980000)).value_or(Answer{}).data,
                 QByteArray(1, '\x01'));
        const auto read = ask(*m_transport, readBlock61);
        QVERIFY(read);
        QCOMPARE(read->code, 104);
        QCOMPARE(read->data.size(), 17);
        QCOMPARE(quint8(read->data.at(6)), quint8(26)); // the year 2026
        const QByteArray rest = read->data.sliced(7);

        // 23:59:59 on 31/12/2027: the second goes out as 60.
        QSignalSpy written(m_unit.get(), &SimulatedUnit::clockWritten);
        m_transport->SendByteArray(
            request(4, 1, char(61) + QByteArray::fromHex("173B3C0C1F1B") + rest));
        QTRY_COMPARE(written.size(), 1);
        const QDateTime expected = wallClock(QDate(2027, 12, 31), QTime(23, 59, 59));
        QCOMPARE(m_unit->lastClockWrite()->clock, expected);
        QCOMPARE(m_unit->lastClockWrite()->rest, rest);
        const auto unitTime =
            StatusBlock(ask(*m_transport, statusRequest).value_or(Answer{}).data).unitTime();
        QVERIFY(qAbs(StatusBlock::unitClock(unitTime.value_or(0)).secsTo(expected)) <= 2);
    }

    void statusLives()
    {
        SimulatedUnit::Config config;
        config.live = true;
        const auto unit = start(config);
        QVERIFY(unit);
        const SimulatedUnitStatus before = unit->status();
        QTRY_VERIFY_WITH_TIMEOUT(unit->status().recordingTimeLeft < before.recordingTimeLeft, 3000);
        QVERIFY(unit->status().recordingDuration > before.recordingDuration);
        QTRY_VERIFY_WITH_TIMEOUT(unit->status().unitTime > before.unitTime, 3000);
        unit->reboot();
        QVERIFY(unit->status().timeSincePowerUp < 2);
    }

    void fleetDescriptions_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("units"); // -1 = rejected
        QTest::newRow("generated and listed")
            << QByteArray(
                   R"({"generate": {"count": 3, "firstAddress": "127.3.0.2", "types": [0, 3]},
                              "units": [{"address": "127.3.1.1", "type": 80, "password": "abcd",
                                         "faults": {"refuseLogin": 2, "pieces": 3}}]})")
            << 4;
        QTest::newRow("not loopback")
            << QByteArray(R"({"units": [{"address": "10.0.0.1"}]})") << -1;
        QTest::newRow("too many") << QByteArray(R"({"generate": {"count": 3001}})") << -1;
        QTest::newRow("not JSON") << QByteArray("{units") << -1;
        QFile example(QFINDTESTDATA("../../tools/korvo-sim/fleet-example.json"));
        QVERIFY(example.open(QIODevice::ReadOnly));
        QTest::newRow("the example file") << example.readAll() << 18;
    }

    void fleetDescriptions()
    {
        QFETCH(QByteArray, json);
        QFETCH(int, units);
        QString error;
        const auto configs = SimulatedFleet::parseJson(json, &error);
        QCOMPARE(configs.has_value(), units >= 0);
        QCOMPARE(error.isEmpty(), units >= 0);
        if (!configs)
            return;
        QCOMPARE(configs->size(), units);
        if (units != 4)
            return;
        QCOMPARE(configs->at(1).address, QHostAddress(u"127.3.0.3"_s));
        QCOMPARE(configs->at(1).status.typeCode, 3);
        QCOMPARE(configs->at(3).status.typeCode, 80);
        QCOMPARE(configs->at(3).password, u"abcd"_s);
        QCOMPARE(configs->at(3).faults.refuseLogin, std::optional<quint8>(2));
        QCOMPARE(configs->at(3).faults.pieces, 3);

        UnitFaults faults;
        QVERIFY(SimulatedFleet::applyFault(faults, u"refuse-login=3"_s, &error));
        QVERIFY(SimulatedFleet::applyFault(faults, u"answer-late=250"_s, &error));
        QCOMPARE(faults.refuseLogin, std::optional<quint8>(3));
        QCOMPARE(faults.answerDelayMs, 250);
        for (const QString& bad : {u"refuse-login=1"_s, u"pieces=x"_s, u"explode"_s}) {
            UnitFaults untouched;
            QVERIFY(!SimulatedFleet::applyFault(untouched, bad, &error));
            QVERIFY(untouched == UnitFaults{});
        }
    }

    void programServesAFleetUntilStopped()
    {
        const quint32 base = SimulatedFleet::randomLoopbackAddress().toIPv4Address() & 0xFFFFFF00u;
        const QString first = QHostAddress(base | 2).toString();
        const QString second = QHostAddress(base | 3).toString();
        QTemporaryDir dir;
        const QString config = dir.filePath(u"fleet.json"_s);
        QFile file(config);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral(R"({"password": "abc", "units": [
            {"address": "%1", "type": 2}, {"address": "%2", "type": 96, "faults": {"refuseLogin": 3}}]})")
                       .arg(first, second)
                       .toUtf8());
        file.close();

        QProcess program;
        program.start(QStringLiteral(KORVO_SIM_PATH),
                      {u"--config"_s, config, u"--seconds"_s, u"60"_s});
        QVERIFY(program.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 10000);
        QCOMPARE(program.readLine().trimmed(), QByteArray("korvo-sim: serving 2 unit(s)"));
        for (const QString& address : {first, second}) {
            clsSocketsDLL transport;
            QVERIFY(connectTo(transport, address));
            const auto status = ask(transport, statusRequest);
            QVERIFY(status);
            QCOMPARE(StatusBlock(status->data).typeCode(),
                     std::optional<int>(address == first ? 2 : 96));
            const auto login = ask(transport, logInFrame(980000));
            QVERIFY(login);
            QCOMPARE(login->data, QByteArray(1, char(address == first ? 1 : 3)));
        }

        program.terminate(); // SIGTERM: the program stops cleanly and says how much it served
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().contains("stopped after 4 request(s)"));
    }
>>>>>>> main

private:
    // Starts a unit with password "abc" and connects to it.
    bool open(int type, const UnitFaults& faults = {})
    {
        SimulatedUnit::Config config;
        config.status = SimulatedUnitStatus::typical(type, 7);
        config.status.alarmStatus = 0x00010005;
        config.status.videolossSinceLastPolling = 0x00000100;
        config.password = u"abc"_s;
        config.faults = faults;
        config.live = false;
        config.clock = startClock;
        m_unit = start(config);
        m_transport = std::make_unique<clsSocketsDLL>();
        return m_unit && connectTo(*m_transport, hostOf(*m_unit));
    }

    std::optional<ScriptedPlatform> m_platform;
    std::unique_ptr<SimulatedUnit> m_unit;
    std::unique_ptr<clsSocketsDLL> m_transport;
};

<<<<<<< HEAD
void TestKorvoSim::statusAnswerDecodesToTheHeldStatus_data()
{
    QTest::addColumn<int>("type");
    for (int type : {0, 1, 2, 3, 4, 80, 96})
        QTest::addRow("type %d", type) << type;
}

void TestKorvoSim::statusAnswerDecodesToTheHeldStatus()
{
    QFETCH(int, type);
    QVERIFY(open(type));
    const auto answer = ask(*m_transport, request(5, 1));
    QVERIFY(answer);
    QCOMPARE(answer->code, 105);
    QCOMPARE(answer->subCode, 1);

    const SimulatedUnitStatus held = m_unit->status();
    const StatusBlock block(answer->data);
    QCOMPARE(block.typeCode(), std::optional<int>(type));
    QCOMPARE(block.capacityIsNumber(), held.capacityIsNumber);
    QCOMPARE(block.recordState(), std::optional<quint8>(held.recordState));
    QCOMPARE(block.recordingTimeLeft(), std::optional<quint32>(held.recordingTimeLeft));
    QCOMPARE(block.powerPcVersion(), std::optional<StatusBlock::Version>(held.powerPcVersion));
    QCOMPARE(block.diskCapacity(), std::optional<quint16>(held.diskCapacity));
    QVERIFY(block.unitTime());
    QVERIFY(qAbs(qint64(*block.unitTime()) - qint64(held.unitTime)) <= 1);
    QVERIFY(qAbs(StatusBlock::unitClock(*block.unitTime()).secsTo(startClock)) <= 5);
    const quint32 channels = held.channelCount() == 32 ? 0xFFFFFFFFu : 0xFFFFu;
    QCOMPARE(block.alarmStatus(), std::optional<quint32>(held.alarmStatus & channels));
    QCOMPARE(block.videolossSinceLastPolling(),
             std::optional<quint32>(0x100u)); // as held before this poll
    if (type != 0 && type != 96)
        QCOMPARE(block.serialNumber(), std::optional<QString>(held.serialNumber));
    if (type == StatusBlock::KorvoTri) {
        const auto connections = block.connections();
        QVERIFY(connections);
        QCOMPARE(connections->size(), held.connections.size());
        QCOMPARE(connections->at(1).address, held.connections.at(1).address);
    }
    if (type == StatusBlock::Zpt)
        QCOMPARE(block.disk(7)->blocksRecorded, held.disks[7].blocksRecorded);

    clsStatusString status;
    const QString text = status.CreatStatusString(answer->data, u"unit"_s);
    QVERIFY2(!status.decodeError(), qPrintable(text));
    QVERIFY2(text.contains(u"Unit Type:  "_s + *block.unitTypeName()), qPrintable(text));
    // The poll was answered, so what happened "since the last polling" starts afresh.
    QCOMPARE(m_unit->status().videolossSinceLastPolling, 0u);
}

void TestKorvoSim::logIn_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("refusal"); // -1 = none
    QTest::addColumn<int>("expected");
    QTest::newRow("right password") << u"abc"_s << -1 << 1;
    QTest::newRow("wrong password") << u"abd"_s << -1 << 2;
    QTest::newRow("refused, rejected") << u"abc"_s << 0 << 0;
    QTest::newRow("refused, invalid password") << u"abc"_s << 2 << 2;
    QTest::newRow("refused, internal error") << u"abc"_s << 3 << 3;
}

void TestKorvoSim::logIn()
{
    QFETCH(QString, password);
    QFETCH(int, refusal);
    QFETCH(int, expected);
    UnitFaults faults;
    if (refusal >= 0)
        faults.refuseLogin = quint8(refusal);
    QVERIFY(open(0, faults));
    const auto answer = ask(*m_transport, logInFrame(SimulatedUnit::passwordValue(password)));
    QVERIFY(answer);
    QCOMPARE(answer->code, 105);
    QCOMPARE(answer->subCode, 0);
    QCOMPARE(answer->data, QByteArray(1, char(expected)));
}

void TestKorvoSim::blockReadAndClockWrite()
{
    QVERIFY(open(3));
    const QByteArray readBlock61 = request(4, 0, QByteArray(1, char(61)));
    const auto refused = ask(*m_transport, readBlock61); // not logged in yet
    QVERIFY(refused);
    QCOMPARE(refused->code, 105);
    QCOMPARE(refused->data, QByteArray(1, '\0'));
    QCOMPARE(ask(*m_transport, logInFrame(980000)).value_or(Answer{}).data, QByteArray(1, '\x01'));

    const auto read = ask(*m_transport, readBlock61);
    QVERIFY(read);
    QCOMPARE(read->code, 104);
    QCOMPARE(read->subCode, 0);
    QCOMPARE(read->data.size(), 17);
    QCOMPARE(quint8(read->data.at(0)), quint8(61));
    QCOMPARE(quint8(read->data.at(6)), quint8(26)); // the year 2026
    const QByteArray rest = read->data.sliced(7);

    // 23:59:59 on 31/12/2027: the second goes out as 60.
    QByteArray content(1, char(61));
    content += QByteArray::fromHex("173B3C0C1F1B");
    content += rest;
    QSignalSpy written(m_unit.get(), &SimulatedUnit::clockWritten);
    m_transport->SendByteArray(request(4, 1, content));
    QTRY_COMPARE(written.size(), 1);
    const QDateTime expected = wallClock(QDate(2027, 12, 31), QTime(23, 59, 59));
    QCOMPARE(m_unit->lastClockWrite()->clock, expected);
    QCOMPARE(m_unit->lastClockWrite()->rest, rest);

    const auto status = ask(*m_transport, request(5, 1));
    QVERIFY(status);
    const auto unitTime = StatusBlock(status->data).unitTime();
    QVERIFY(unitTime);
    QVERIFY(qAbs(StatusBlock::unitClock(*unitTime).secsTo(expected)) <= 2);
}

void TestKorvoSim::unitThatNeverAnswersTheBlockRead()
{
    UnitFaults faults;
    faults.ignoreBlockRead = true;
    QVERIFY(open(0, faults));
    QCOMPARE(ask(*m_transport, logInFrame(980000)).value_or(Answer{}).data, QByteArray(1, '\x01'));
    QVERIFY(!ask(*m_transport, request(4, 0, QByteArray(1, char(61))), 500));
}

void TestKorvoSim::passwordValue_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<quint32>("value");
    QTest::newRow("abc") << u"abc"_s << 980000u;
    QTest::newRow("abcd") << u"abcd"_s << 100980000u;
    QTest::newRow("two characters") << u"ab"_s << 0u;
    QTest::newRow("five characters") << u"abcde"_s << 0u;
    // 255^4 alone passes 2^32: the value wraps as a 32-bit register would.
    QTest::newRow("high characters")
        << u"\u00FF\u00FF\u00FF\u00FF"_s << quint32(255u + 65025u + 16581375u + 4228250625u);
}

void TestKorvoSim::passwordValue()
{
    QFETCH(QString, password);
    QFETCH(quint32, value);
    QCOMPARE(SimulatedUnit::passwordValue(password), value);
}

void TestKorvoSim::statusLives()
{
    const auto unit = startUnit(0, {}, u"abc"_s, true);
    QVERIFY(unit);
    const SimulatedUnitStatus before = unit->status();
    QTRY_VERIFY_WITH_TIMEOUT(unit->status().recordingTimeLeft < before.recordingTimeLeft, 3000);
    QVERIFY(unit->status().recordingDuration > before.recordingDuration);
    QTRY_VERIFY_WITH_TIMEOUT(unit->status().timeSincePowerUp > before.timeSincePowerUp, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(unit->status().unitTime > before.unitTime, 3000);
    unit->reboot();
    QVERIFY(unit->status().timeSincePowerUp < 2);
}

void TestKorvoSim::fleetDescriptions_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("units"); // -1 = rejected
    QTest::newRow("generated and listed")
        << QByteArray(R"({"generate": {"count": 3, "firstAddress": "127.3.0.2", "types": [0, 3]},
                          "units": [{"address": "127.3.1.1", "type": 80, "password": "abcd",
                                     "faults": {"refuseLogin": 2, "pieces": 3}}]})")
        << 4;
    QTest::newRow("not loopback") << QByteArray(R"({"units": [{"address": "10.0.0.1"}]})") << -1;
    QTest::newRow("generated past loopback")
        << QByteArray(R"({"generate": {"count": 3, "firstAddress": "127.255.255.253"}})") << -1;
    QTest::newRow("refusal code 1")
        << QByteArray(R"({"units": [{"address": "127.3.1.1", "faults": {"refuseLogin": 1}}]})")
        << -1;
    QTest::newRow("too many") << QByteArray(R"({"generate": {"count": 3001}})") << -1;
    QTest::newRow("not JSON") << QByteArray("{units") << -1;
}

void TestKorvoSim::fleetDescriptions()
{
    QFETCH(QByteArray, json);
    QFETCH(int, units);
    QString error;
    const auto configs = SimulatedFleet::parseJson(json, &error);
    QCOMPARE(configs.has_value(), units >= 0);
    if (!configs) {
        QVERIFY(!error.isEmpty());
        return;
    }
    QCOMPARE(configs->size(), units);
    QCOMPARE(configs->at(1).address, QHostAddress(u"127.3.0.3"_s));
    QCOMPARE(configs->at(1).status.typeCode, 3);
    QCOMPARE(configs->at(3).status.typeCode, 80);
    QCOMPARE(configs->at(3).password, u"abcd"_s);
    QCOMPARE(configs->at(3).faults.refuseLogin, std::optional<quint8>(2));
    QCOMPARE(configs->at(3).faults.pieces, 3);
}

void TestKorvoSim::exampleFleetFileReads()
{
    QFile file(QFINDTESTDATA("../../tools/korvo-sim/fleet-example.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString error;
    const auto configs = SimulatedFleet::parseJson(file.readAll(), &error);
    QVERIFY2(configs, qPrintable(error));
    QCOMPARE(configs->size(), 18);
}

void TestKorvoSim::faultsFromTheCommandLine_data()
{
    QTest::addColumn<QString>("faultText");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("refuse-login=3") << u"refuse-login=3"_s << true;
    QTest::newRow("answer-late=250") << u"answer-late=250"_s << true;
    QTest::newRow("refuse-login=1") << u"refuse-login=1"_s << false;
    QTest::newRow("pieces=x") << u"pieces=x"_s << false;
    QTest::newRow("unknown") << u"explode"_s << false;
}

void TestKorvoSim::faultsFromTheCommandLine()
{
    QFETCH(QString, faultText);
    QFETCH(bool, accepted);
    UnitFaults faults;
    QString error;
    QCOMPARE(SimulatedFleet::applyFault(faults, faultText, &error), accepted);
    QCOMPARE(faults == UnitFaults{}, !accepted);
}

void TestKorvoSim::programServesAFleetUntilStopped()
{
    const quint32 base = SimulatedFleet::randomLoopbackAddress().toIPv4Address() & 0xFFFFFF00u;
    const QString first = QHostAddress(base | 2).toString();
    const QString second = QHostAddress(base | 3).toString();
    QTemporaryDir dir;
    QFile config(dir.filePath(u"fleet.json"_s));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral(R"({"password": "abc", "units": [
        {"address": "%1", "type": 2}, {"address": "%2", "type": 96, "faults": {"refuseLogin": 3}}]})")
                     .arg(first, second)
                     .toUtf8());
    config.close();

    QProcess program;
    program.start(QStringLiteral(KORVO_SIM_PATH),
                  {u"--config"_s, config.fileName(), u"--seconds"_s, u"60"_s});
    QVERIFY(program.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 10000);
    QCOMPARE(program.readLine().trimmed(), QByteArray("korvo-sim: serving 2 unit(s)"));

    for (const QString& address : {first, second}) {
        const auto transport = connectTo(address);
        QVERIFY(transport);
        const auto status = ask(*transport, request(5, 1));
        QVERIFY(status);
        QCOMPARE(status->code, 105);
        QCOMPARE(StatusBlock(status->data).typeCode(),
                 std::optional<int>(address == first ? 2 : 96));
        const auto login = ask(*transport, logInFrame(980000));
        QVERIFY(login);
        QCOMPARE(login->data, QByteArray(1, char(address == first ? 1 : 3)));
    }

    program.terminate(); // SIGTERM: the program stops cleanly and says how much it served
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY2(program.readAllStandardOutput().contains("stopped after 4 request(s)"),
             "the program did not report what it served");
}

void TestKorvoSim::programSaysWhenItMayNotOpenEnoughFiles()
{
    const quint32 first = (SimulatedFleet::randomLoopbackAddress().toIPv4Address() & ~0xFFFFu) | 1;
    QProcess program;
    program.start(u"/bin/sh"_s,
                  {u"-c"_s, u"ulimit -n 64 && ulimit -Hn 64 && exec \"$@\""_s, u"-"_s,
                   QStringLiteral(KORVO_SIM_PATH), u"--units"_s, u"300"_s, u"--seconds"_s, u"5"_s,
                   u"--first-address"_s, QHostAddress(first).toString()});
    QVERIFY(program.waitForFinished(30000));
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(
        program.exitCode() == 1 && errors.count(u'\n') < 15 &&
            errors.contains(u"needs about 876 open files, but this process may open only 64"_s),
        qPrintable(errors));
}

=======
>>>>>>> main
QTEST_GUILESS_MAIN(TestKorvoSim)
#include "tst_korvosim.moc"
