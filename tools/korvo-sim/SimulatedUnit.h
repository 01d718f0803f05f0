#pragma once

#include "SimulatedUnitStatus.h"
#include "UnitFaults.h"

#include <optional>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

class QTcpServer;
class QTcpSocket;

// One simulated Korvo unit on its own address and port. It answers the status request with its
// status block, the log-in with 105/0, the read of block 61 with 104/0, and takes the clock
// write. Its status lives: the clock runs, recording time left falls, alarms and video loss come
// and go, and a reboot starts the time since power-up again.
class SimulatedUnit : public QObject
{
    Q_OBJECT

public:
    struct Config
    {
        QHostAddress address = QHostAddress(QStringLiteral("127.0.0.2"));
        quint16 port = 1024;
        QString password = QStringLiteral("1234");
        SimulatedUnitStatus status = SimulatedUnitStatus::typical(0, 1);
        UnitFaults faults;
        bool live = true;           // alarms, video loss and recording change by themselves
        int rebootEverySeconds = 0; // 0 = never
        quint32 seed = 1;
        std::optional<QDateTime> clock; // the unit's clock at start; the PC's local time if unset
    };

    struct ClockWrite
    {
        QDateTime clock; // as written, a wall-clock time
        QByteArray rest; // bytes 7 to 16 of the block, as sent back
    };

    static constexpr int Block61 = 61;
    static constexpr int Block61Size = 17;

    explicit SimulatedUnit(const Config& config, QObject* parent = nullptr);
    ~SimulatedUnit() override;

    // Starts serving; false (with the reason) when the address cannot be used. Only loopback
    // addresses are served.
    bool start(QString* error = nullptr);
    void stop();
    bool isServing() const;

    const Config& config() const { return m_config; }
    UnitFaults& faults() { return m_config.faults; }

    // The status as it stands now, and the block sent for it.
    SimulatedUnitStatus status() const;
    QByteArray statusBlock() const { return status().encode(); }
    QDateTime unitClock() const;
    void setUnitClock(const QDateTime& wallClock);
    void reboot();
    QByteArray block61() const;
    std::optional<ClockWrite> lastClockWrite() const { return m_lastClockWrite; }
    int requestsServed() const { return m_requestsServed; }
    // The request frames received, whole and oldest first; only the last MaxRecordedFrames.
    static constexpr int MaxRecordedFrames = 64;
    const QList<QByteArray>& framesReceived() const { return m_framesReceived; }

    // The log-in value of a password: for 3 or 4 characters the sum of each character's code
    // raised to its position (from 1), modulo 2^32; 0 for any other length.
    static quint32 passwordValue(const QString& password);
    // "127.0.0.2:1024  type 3  ..." for the program's listing.
    QString description() const;

Q_SIGNALS:
    void requestReceived(quint8 group, quint8 command, const QByteArray& payload);
    void clockWritten(const QDateTime& clock);
    // A caller's connection was taken into service, or has gone.
    void callerConnected();
    void callerGone();

private:
    struct Client
    {
        QByteArray buffer;
        bool loggedIn = false;
    };

    void onNewConnection();
    void dropClient(QTcpSocket* socket);
    static bool peerHasClosed(const QTcpSocket* socket);
    void onReadyRead(QTcpSocket* socket);
    void handleRequest(QTcpSocket* socket, quint8 group, quint8 command, const QByteArray& payload);
    void answer(QTcpSocket* socket, quint8 code, quint8 subCode, const QByteArray& payload);
    void sendPieces(QTcpSocket* socket, const QList<QByteArray>& pieces, int delayMs);
    void tick();
    void fillSilentQueue();

    Config m_config;
    QTcpServer* m_server = nullptr;
    QTcpSocket* m_filler = nullptr; // keeps the accept queue of a silent unit full
    QTimer m_life;
    QRandomGenerator m_random;

    SimulatedUnitStatus m_status; // the parts that do not run with the clock
    quint32 m_clockBase = 0;
    QElapsedTimer m_sinceClockSet;
    quint32 m_powerUpBase = 0;
    QElapsedTimer m_sincePowerUp;
    int m_secondsToReboot = 0;
    QByteArray m_block61Rest;
    std::optional<ClockWrite> m_lastClockWrite;
    QHash<QTcpSocket*, Client> m_clients;
    int m_requestsServed = 0;
    QList<QByteArray> m_framesReceived;
};
