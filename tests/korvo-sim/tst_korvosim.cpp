#include "platform/Clock.h"
#include "ScriptedPlatform.h"
#include "SimulatedUnits.h"
#include "status/clsStatusString.h"
#include "TestFiles.h"

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
        QCOMPARE(ask(*m_transport, logInFrame(980001)).value_or(Answer{}).data,
                 QByteArray(1, '\x02'));
        QCOMPARE(ask(*m_transport, logInFrame(980000)).value_or(Answer{}).data,
                 QByteArray(1, '\x01'));
        const auto read = ask(*m_transport, readBlock61);
        QVERIFY(read);
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
        QTest::newRow("the example file")
            << TestFiles::read(QFINDTESTDATA("../../tools/korvo-sim/fleet-example.json")) << 18;
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
        QCOMPARE(configs->at(3).password, u"abcd"_s);
        QCOMPARE(configs->at(3).faults.pieces, 3);

        UnitFaults faults;
        QVERIFY(SimulatedFleet::applyFault(faults, u"answer-late=250"_s, &error));
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
        TestFiles::write(config, QStringLiteral(R"({"password": "Qk7z", "units": [
            {"address": "%1", "type": 2}, {"address": "%2", "type": 96, "faults": {"refuseLogin": 3}}]})")
                                     .arg(first, second)
                                     .toUtf8());

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
            const auto login = ask(transport, logInFrame(0x0d370c01)); // "Qk7z"
            QVERIFY(login);
            QCOMPARE(login->data, QByteArray(1, char(address == first ? 1 : 3)));
        }

        // SIGTERM: the program stops cleanly and says how much it served, but no password.
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const QByteArray said = program.readAllStandardOutput() + program.readAllStandardError();
        QVERIFY2(said.contains("stopped after 4 request(s)") && !said.contains("Qk7z"), said);
    }

    void programSaysWhenItMayNotOpenEnoughFiles()
    {
        const quint32 first =
            (SimulatedFleet::randomLoopbackAddress().toIPv4Address() & ~0xFFFFu) | 1;
        QProcess program;
        program.start(u"/bin/sh"_s,
                      {u"-c"_s, u"ulimit -n 64 && ulimit -Hn 64 && exec \"$@\""_s, u"-"_s,
                       QStringLiteral(KORVO_SIM_PATH), u"--units"_s, u"300"_s, u"--seconds"_s,
                       u"5"_s, u"--first-address"_s, QHostAddress(first).toString()});
        QVERIFY(program.waitForFinished(30000));
        const QString errors = QString::fromUtf8(program.readAllStandardError());
        QVERIFY2(
            program.exitCode() == 1 && errors.count(u'\n') < 15 &&
                errors.contains(u"needs about 876 open files, but this process may open only 64"_s),
            qPrintable(errors));
    }

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

QTEST_GUILESS_MAIN(TestKorvoSim)
#include "tst_korvosim.moc"
