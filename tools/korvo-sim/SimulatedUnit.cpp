#include "SimulatedUnit.h"

#include "platform/Clock.h"
#include "platform/CodePage.h"

#include <cerrno>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <sys/socket.h>

namespace {

constexpr int HeaderSize = 8;
constexpr int MaxRequestPayload = 64; // the largest request, the clock write, carries 17

QByteArray frame(quint8 code, quint8 subCode, const QByteArray& payload)
{
    QByteArray bytes(HeaderSize, '\0');
    bytes[0] = char(0xFF);
    bytes[1] = char(0xFF);
    bytes[2] = char(code);
    bytes[3] = char(subCode);
    const quint32 length = quint32(payload.size());
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = char((length >> (24 - 8 * i)) & 0xFF);
    return bytes + payload;
}

} // namespace

SimulatedUnit::SimulatedUnit(const Config& config, QObject* parent)
    : QObject(parent), m_config(config), m_random(config.seed), m_status(config.status),
      m_block61Rest(QByteArray::fromHex("30313233343536373839"))
{
    setUnitClock(config.clock ? *config.clock : wallClockOf(QDateTime::currentDateTime()));
    m_powerUpBase = config.status.timeSincePowerUp;
    m_sincePowerUp.start();
    m_secondsToReboot = config.rebootEverySeconds;
    m_life.setInterval(1000);
    connect(&m_life, &QTimer::timeout, this, &SimulatedUnit::tick);
}

SimulatedUnit::~SimulatedUnit()
{
    stop();
}

bool SimulatedUnit::start(QString* error)
{
    stop();
    bool isV4 = false;
    const quint32 v4 = m_config.address.toIPv4Address(&isV4);
    if (!m_config.address.isLoopback() || (isV4 && (v4 >> 24) != 127)) {
        if (error)
            *error =
                QStringLiteral("%1 is not a loopback address").arg(m_config.address.toString());
        return false;
    }
    m_life.start();
    if (m_config.faults.refuseConnection)
        return true; // nothing listens, so the system refuses every connection
    m_server = new QTcpServer(this);
    if (m_config.faults.silent)
        m_server->setListenBacklogSize(0);
    if (!m_server->listen(m_config.address, m_config.port)) {
        if (error)
            *error = QStringLiteral("%1:%2: %3")
                         .arg(m_config.address.toString())
                         .arg(m_config.port)
                         .arg(m_server->errorString());
        delete m_server;
        m_server = nullptr;
        m_life.stop();
        return false;
    }
    if (m_config.faults.silent)
        fillSilentQueue();
    else
        connect(m_server, &QTcpServer::newConnection, this, &SimulatedUnit::onNewConnection);
    return true;
}

void SimulatedUnit::fillSilentQueue()
{
    // Nothing is ever accepted; once one connection waits in the queue the system drops every
    // further attempt, so a caller's connect neither succeeds nor fails.
    m_server->pauseAccepting();
    m_filler = new QTcpSocket(this);
    m_filler->connectToHost(m_config.address, m_config.port);
    // The filler must be queued before anyone else may try; on loopback this takes no time.
    m_filler->waitForConnected(2000);
}

void SimulatedUnit::stop()
{
    m_life.stop();
    const auto sockets = m_clients.keys();
    for (QTcpSocket* socket : sockets)
        dropClient(socket);
    delete m_filler;
    m_filler = nullptr;
    delete m_server;
    m_server = nullptr;
}

bool SimulatedUnit::isServing() const
{
    return m_server && m_server->isListening();
}

SimulatedUnitStatus SimulatedUnit::status() const
{
    SimulatedUnitStatus s = m_status;
    const quint64 clock = quint64(m_clockBase) + quint64(m_sinceClockSet.elapsed() / 1000);
    s.unitTime = quint32(qMin(clock, quint64(0xFFFFFFFFu)));
    s.timeSincePowerUp = m_powerUpBase + quint32(m_sincePowerUp.elapsed() / 1000);
    if (s.typeCode == StatusBlock::Zpt) {
        for (int i = 0; i < StatusBlock::DiskCount; ++i) {
            s.disks[i].newestDataTime = s.unitTime;
            s.disks[i].oldestDataTime = s.unitTime - qMin(s.unitTime, quint32(86400 * (i + 1)));
        }
    }
    return s;
}

QDateTime SimulatedUnit::unitClock() const
{
    return StatusBlock::unitClock(status().unitTime);
}

void SimulatedUnit::setUnitClock(const QDateTime& wallClock)
{
    m_clockBase = StatusBlock::unitTimeOf(wallClock).value_or(0);
    m_sinceClockSet.start();
}

void SimulatedUnit::reboot()
{
    m_powerUpBase = 0;
    m_sincePowerUp.start();
}

QByteArray SimulatedUnit::block61() const
{
    const QDateTime clock = unitClock();
    QByteArray block(Block61Size, '\0');
    block[0] = char(Block61);
    block[1] = char(clock.time().hour());
    block[2] = char(clock.time().minute());
    block[3] = char(clock.time().second() + 1);
    block[4] = char(clock.date().month());
    block[5] = char(clock.date().day());
    block[6] = char(clock.date().year() % 100);
    for (int i = 0; i < m_block61Rest.size() && 7 + i < Block61Size; ++i)
        block[7 + i] = m_block61Rest.at(i);
    return block;
}

quint32 SimulatedUnit::passwordValue(const QString& password)
{
    if (password.size() != 3 && password.size() != 4)
        return 0;
    quint32 sum = 0;
    for (qsizetype i = 0; i < password.size(); ++i) {
        quint32 power = 1;
        for (qsizetype k = 0; k <= i; ++k)
            power *= CodePage::byteOf(password.at(i));
        sum += power;
    }
    return sum;
}

QString SimulatedUnit::description() const
{
    QStringList faults;
    const UnitFaults& f = m_config.faults;
    if (f.refuseConnection)
        faults << QStringLiteral("refuse-connection");
    if (f.silent)
        faults << QStringLiteral("silent");
    if (f.closeAtOnce)
        faults << QStringLiteral("close-at-once");
    if (f.neverAnswer)
        faults << QStringLiteral("never-answer");
    if (f.answerDelayMs > 0)
        faults << QStringLiteral("answer-late=%1").arg(f.answerDelayMs);
    if (f.pieces > 1)
        faults << QStringLiteral("pieces=%1").arg(f.pieces);
    if (f.refuseLogin)
        faults << QStringLiteral("refuse-login=%1").arg(*f.refuseLogin);
    if (f.ignoreBlockRead)
        faults << QStringLiteral("ignore-block-read");
    if (f.shortBlock > 0)
        faults << QStringLiteral("short-block=%1").arg(f.shortBlock);
    if (f.garbage)
        faults << QStringLiteral("garbage");
    if (f.oversizedLength)
        faults << QStringLiteral("oversized-length");
    if (!f.scriptedAnswer.isEmpty())
        faults << QStringLiteral("scripted-answer");
    const StatusBlock block(statusBlock());
    // The password stays out: what the simulator prints ends up in logs.
    return QStringLiteral("%1:%2  type %3 (%4)%5")
        .arg(m_config.address.toString())
        .arg(m_config.port)
        .arg(m_status.typeCode)
        .arg(block.unitTypeName().value_or(QStringLiteral("unsupported")),
             faults.isEmpty() ? QString()
                              : QStringLiteral("  faults: ") + faults.join(QLatin1Char(' ')));
}

void SimulatedUnit::onNewConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        if (m_config.faults.closeAtOnce) {
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            if (socket->state() == QAbstractSocket::UnconnectedState)
                socket->deleteLater();
            continue;
        }
        m_clients.insert(socket, Client{});
        Q_EMIT callerConnected();
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { dropClient(socket); });
    }
}

void SimulatedUnit::dropClient(QTcpSocket* socket)
{
    if (!m_clients.remove(socket))
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    Q_EMIT callerGone();
}

void SimulatedUnit::onReadyRead(QTcpSocket* socket)
{
    auto it = m_clients.find(socket);
    if (it == m_clients.end())
        return;
    it->buffer.append(socket->readAll());
    while (it->buffer.size() >= HeaderSize) {
        const auto* h = reinterpret_cast<const quint8*>(it->buffer.constData());
        const quint32 length =
            (quint32(h[4]) << 24) | (quint32(h[5]) << 16) | (quint32(h[6]) << 8) | h[7];
        if (h[0] != 0xFF || h[1] != 0xFF || length > MaxRequestPayload) {
            // Not a request of ours: a real unit would drop such a caller.
            dropClient(socket);
            return;
        }
        if (it->buffer.size() < qsizetype(HeaderSize + length))
            return;
        const quint8 group = h[2];
        const quint8 command = h[3];
        if (m_framesReceived.size() == MaxRecordedFrames)
            m_framesReceived.removeFirst();
        m_framesReceived.append(it->buffer.first(HeaderSize + length));
        const QByteArray payload = it->buffer.mid(HeaderSize, length);
        it->buffer.remove(0, HeaderSize + length);
        if (m_config.faults.neverAnswer)
            continue;
        handleRequest(socket, group, command, payload);
        it = m_clients.find(socket);
        if (it == m_clients.end())
            return;
    }
    // A caller that sent its last request and hung up is gone now, not when the next round of
    // events reports the end of the stream: the count of callers at once must not lag behind.
    if (peerHasClosed(socket))
        dropClient(socket);
}

bool SimulatedUnit::peerHasClosed(const QTcpSocket* socket)
{
    char byte = 0;
    const ssize_t got = ::recv(int(socket->socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got == 0 || (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

void SimulatedUnit::handleRequest(QTcpSocket* socket, quint8 group, quint8 command,
                                  const QByteArray& payload)
{
    ++m_requestsServed;
    Q_EMIT requestReceived(group, command, payload);
    Client& client = m_clients[socket];
    if (group == 5 && command == 1) { // status request
        answer(socket, 105, 1, statusBlock());
        m_status.alarmsSinceLastPolling = 0;
        m_status.videolossSinceLastPolling = 0;
    } else if (group == 5 && command == 0) { // log-in
        quint8 code = 2;
        if (payload.size() >= 5 && quint8(payload.at(0)) == 2) {
            quint32 value = 0;
            for (int i = 1; i <= 4; ++i)
                value = (value << 8) | quint8(payload.at(i));
            if (value == passwordValue(m_config.password))
                code = 1;
        }
        if (m_config.faults.refuseLogin)
            code = *m_config.faults.refuseLogin;
        client.loggedIn = code == 1;
        answer(socket, 105, 0, QByteArray(1, char(code)));
    } else if (group == 4 && command == 0) { // read a data block
        if (m_config.faults.ignoreBlockRead)
            return;
        if (!client.loggedIn)
            answer(socket, 105, 0, QByteArray(1, '\0'));
        else if (payload.size() >= 1 && quint8(payload.at(0)) == Block61)
            answer(socket, 104, 0,
                   m_config.faults.shortBlock > 0 ? block61().first(m_config.faults.shortBlock)
                                                  : block61());
    } else if (group == 4 && command == 1) { // write a data block: only the clock block is known
        if (!client.loggedIn || payload.size() < Block61Size || quint8(payload.at(0)) != Block61)
            return;
        const auto* p = reinterpret_cast<const quint8*>(payload.constData());
        const QDate date(2000 + p[6], p[4], p[5]);
        const QTime time(p[1], p[2], p[3] - 1);
        if (!date.isValid() || !time.isValid() || p[3] == 0)
            return;
        const QDateTime clock = wallClock(date, time);
        setUnitClock(clock);
        m_block61Rest = payload.mid(7, 10);
        m_lastClockWrite = ClockWrite{clock, m_block61Rest};
        Q_EMIT clockWritten(clock);
    }
}

void SimulatedUnit::answer(QTcpSocket* socket, quint8 code, quint8 subCode,
                           const QByteArray& payload)
{
    const UnitFaults& f = m_config.faults;
    QList<QByteArray> pieces;
    if (!f.scriptedAnswer.isEmpty()) {
        pieces = f.scriptedAnswer;
    } else if (f.garbage) {
        QByteArray noise(24, '\0');
        for (char& c : noise)
            c = char(m_random.bounded(256));
        noise[0] = char(0x5A); // never a valid frame marker
        pieces = {noise};
    } else if (f.oversizedLength) {
        QByteArray broken = frame(code, subCode, QByteArray(16, '\x11'));
        broken[4] = char(0xFF);
        broken[5] = char(0xFF);
        broken[6] = char(0xFF);
        broken[7] = char(0xF0);
        pieces = {broken};
    } else {
        const QByteArray whole = frame(code, subCode, payload);
        const int count = qMax(1, f.pieces);
        if (count == 1 || payload.isEmpty()) {
            pieces = {whole};
        } else {
            pieces = {whole.first(HeaderSize)};
            const int parts = qMin<qsizetype>(count - 1, payload.size());
            const qsizetype size = (payload.size() + parts - 1) / parts;
            for (qsizetype pos = 0; pos < payload.size(); pos += size)
                pieces.append(payload.mid(pos, size));
        }
    }
    QPointer<QTcpSocket> target(socket);
    const auto send = [this, target, pieces] {
        if (target)
            sendPieces(target, pieces, m_config.faults.pieceDelayMs);
    };
    if (f.answerDelayMs > 0)
        QTimer::singleShot(f.answerDelayMs, socket, send);
    else
        send();
}

void SimulatedUnit::sendPieces(QTcpSocket* socket, const QList<QByteArray>& pieces, int delayMs)
{
    if (pieces.isEmpty() || socket->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write(pieces.first());
    socket->flush();
    if (pieces.size() == 1)
        return;
    const QList<QByteArray> rest = pieces.mid(1);
    QPointer<QTcpSocket> target(socket);
    QTimer::singleShot(delayMs, socket, [this, target, rest, delayMs] {
        if (target)
            sendPieces(target, rest, delayMs);
    });
}

void SimulatedUnit::tick()
{
    if (m_config.rebootEverySeconds > 0 && --m_secondsToReboot <= 0) {
        reboot();
        m_secondsToReboot = m_config.rebootEverySeconds;
    }
    if (!m_config.live)
        return;
    SimulatedUnitStatus& s = m_status;
    if (s.recordState == 1) {
        ++s.recordingDuration;
        if (s.recordingTimeLeft > 0)
            --s.recordingTimeLeft;
        else
            s.recordState = 2; // disk full
    }
    if (s.archiveState == 5) {
        ++s.archivingDuration;
        if (s.archivingTimeLeft > 0)
            --s.archivingTimeLeft;
        else
            s.archiveState = 3; // device full
    }
    const int channels = s.channelCount();
    if (m_random.bounded(15) == 0) {
        const quint32 bit = 1u << m_random.bounded(channels);
        s.alarmStatus ^= bit;
        if (s.alarmStatus & bit)
            s.alarmsSinceLastPolling |= bit;
    }
    if (m_random.bounded(30) == 0) {
        const quint32 bit = 1u << m_random.bounded(channels);
        s.videolossStatus ^= bit;
        if (s.videolossStatus & bit)
            s.videolossSinceLastPolling |= bit;
    }
}
