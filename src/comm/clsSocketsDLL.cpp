#include "clsSocketsDLL.h"

#include <QSignalBlocker>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

const QString connectSource = QStringLiteral("Connect[send] method");
const QString listenSource = QStringLiteral("Listen method");
const QString clientSendSource = QStringLiteral("SendPic method\r\n     ***Connection closed***");
const QString serverSendSource = QStringLiteral("WSCKRECSendData\r\n     ***Connection closed***");

// Winsock's "operation already in progress": only clears the connected state.
constexpr int AlreadyInProgress = 10037;
constexpr int InvalidPropertyValue = 380;
constexpr int WrongState = 40006;

const QString invalidPropertyText = QStringLiteral("Invalid property value");
const QString wrongStateText =
    QStringLiteral("Wrong protocol or connection state for the requested transaction or request");

// The numbers under which the program has always logged socket failures.
int winsockNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::RemoteHostClosedError:
        return 10054;
    case QAbstractSocket::HostNotFoundError:
        return 11001;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::SocketTimeoutError:
        return 10060;
    case QAbstractSocket::DatagramTooLargeError:
        return 10040;
    case QAbstractSocket::NetworkError:
        return 10050;
    case QAbstractSocket::AddressInUseError:
        return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10045;
    case QAbstractSocket::OperationError:
        return WrongState;
    default:
        return 40020;
    }
}

QString addressText(const QHostAddress& address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : address.toString();
}

// Events raised while one of the public operations runs are held back until it has returned.
class CallScope
{
public:
    explicit CallScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~CallScope() { --m_depth; }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

private:
    int& m_depth;
};

thread_local int callDepth = 0;

} // namespace

clsSocketsDLL::clsSocketsDLL(QObject* parent)
    : QObject(parent), m_wskSend(new QTcpSocket(this)), m_wskReceive(new QTcpSocket(this)),
      m_wskListen(new QTcpServer(this))
{
    m_tmrSend.setSingleShot(true);
    // A coarse timer may fire up to 5% early; a unit gets its full five seconds.
    m_tmrSend.setTimerType(Qt::PreciseTimer);
    m_tmrSend.setInterval(ConnectTimeoutMs);
    connect(&m_tmrSend, &QTimer::timeout, this, &clsSocketsDLL::onConnectTimeout);
    connect(m_wskListen, &QTcpServer::newConnection, this, &clsSocketsDLL::onNewConnection);
    wireSendSocket();
    wireReceiveSocket();
}

clsSocketsDLL::~clsSocketsDLL()
{
    // Released: the connections close and nothing more is told.
    blockSignals(true);
    m_tmrSend.stop();
    for (QTcpSocket* socket : {m_wskSend, m_wskReceive}) {
        const QSignalBlocker blocker(socket);
        socket->abort();
    }
    const QSignalBlocker blocker(m_wskListen);
    m_wskListen->close();
}

void clsSocketsDLL::later(std::function<void()> action)
{
    if (callDepth > 0)
        QMetaObject::invokeMethod(this, std::move(action), Qt::QueuedConnection);
    else
        action();
}

void clsSocketsDLL::wireSendSocket()
{
    connect(m_wskSend, &QTcpSocket::connected, this, &clsSocketsDLL::onSendConnected);
    connect(m_wskSend, &QTcpSocket::readyRead, this, &clsSocketsDLL::onSendReadyRead);
    connect(m_wskSend, &QTcpSocket::disconnected, this, &clsSocketsDLL::onSendDisconnected);
    connect(m_wskSend, &QTcpSocket::errorOccurred, this, &clsSocketsDLL::onSendError);
    connect(m_wskSend, &QTcpSocket::bytesWritten, this,
            [this](qint64 written) { completeSends(m_sendQueue, written); });
}

void clsSocketsDLL::wireReceiveSocket()
{
    connect(m_wskReceive, &QTcpSocket::readyRead, this, &clsSocketsDLL::onReceiveReadyRead);
    connect(m_wskReceive, &QTcpSocket::disconnected, this, &clsSocketsDLL::onReceiveDisconnected);
    connect(m_wskReceive, &QTcpSocket::bytesWritten, this,
            [this](qint64 written) { completeSends(m_receiveQueue, written); });
}

void clsSocketsDLL::adoptSendSocket(QTcpSocket* socket)
{
    QTcpSocket* old = m_wskSend;
    old->disconnect(this);
    old->deleteLater();
    socket->setParent(this);
    m_wskSend = socket;
    m_assembler.reset();
    wireSendSocket();
}

void clsSocketsDLL::adoptReceiveSocket(QTcpSocket* socket)
{
    QTcpSocket* old = m_wskReceive;
    old->disconnect(this);
    old->deleteLater();
    socket->setParent(this);
    m_wskReceive = socket;
    wireReceiveSocket();
}

void clsSocketsDLL::FlushInputBuffers()
{
    const CallScope scope(callDepth);
    m_assembler.reset();
    m_connectFailed = true;
    if (m_connectPending) {
        // The abandoned attempt must not connect behind the caller's back.
        const QSignalBlocker blocker(m_wskSend);
        m_wskSend->abort();
        finishConnect(false);
    }
}

bool clsSocketsDLL::SendWavelet(const QByteArray& data, qint32 length)
{
    const CallScope scope(callDepth);
    const qsizetype count = qBound(qsizetype(0), qsizetype(length), data.size());
    sendOn(m_wskReceive, m_receiveQueue, data.first(count), true, clientSendSource);
    return false;
}

bool clsSocketsDLL::SendRequestedData(const QByteArray& data)
{
    const CallScope scope(callDepth);
    sendOn(m_wskReceive, m_receiveQueue, data, true, serverSendSource);
    return false;
}

bool clsSocketsDLL::SendBlock(const QByteArray& data)
{
    const CallScope scope(callDepth);
    if (m_wskReceive->state() == QAbstractSocket::ConnectedState && !data.isEmpty() &&
        m_wskReceive->write(data) == data.size())
        m_receiveQueue.enqueue(PendingSend{data.size(), false});
    return false;
}

bool clsSocketsDLL::SendByteArray(const QByteArray& data)
{
    const CallScope scope(callDepth);
    sendOn(m_wskSend, m_sendQueue, data, true, clientSendSource);
    return false;
}

void clsSocketsDLL::sendOn(QTcpSocket* socket, QQueue<PendingSend>& queue, const QByteArray& data,
                           bool announce, const QString& failureSource)
{
    if (socket->state() != QAbstractSocket::ConnectedState || socket->write(data) != data.size()) {
        const bool connected = socket->state() == QAbstractSocket::ConnectedState;
        const int number = connected ? winsockNumber(socket->error()) : WrongState;
        const QString text = connected ? socket->errorString() : wrongStateText;
        later([this, number, text, failureSource] {
            Q_EMIT WinsockError(number, text, failureSource);
        });
        CloseSockets();
        if (announce)
            later([this] { Q_EMIT SendCompleted(); });
        return;
    }
    if (data.isEmpty()) {
        // Nothing to hand over, so nothing will ever be reported written.
        if (announce)
            later([this] { Q_EMIT SendCompleted(); });
        return;
    }
    queue.enqueue(PendingSend{data.size(), announce});
}

void clsSocketsDLL::completeSends(QQueue<PendingSend>& queue, qint64 written)
{
    while (written > 0 && !queue.isEmpty()) {
        PendingSend& front = queue.head();
        const qint64 taken = qMin(written, front.bytesLeft);
        front.bytesLeft -= taken;
        written -= taken;
        if (front.bytesLeft == 0) {
            const bool announce = queue.dequeue().announce;
            if (announce)
                later([this] { Q_EMIT SendCompleted(); });
        }
    }
}

void clsSocketsDLL::abandonSends(QQueue<PendingSend>& queue)
{
    // A send on a connection that is gone completes now; nobody waits for it forever.
    while (!queue.isEmpty()) {
        if (queue.dequeue().announce)
            later([this] { Q_EMIT SendCompleted(); });
    }
}

void clsSocketsDLL::Listen(qint32 port, const QHostAddress& address)
{
    const CallScope scope(callDepth);
    if (m_wskListen->isListening())
        m_wskListen->close();
    int number = 0;
    QString text;
    if (port < 0 || port > 65535) {
        number = InvalidPropertyValue;
        text = invalidPropertyText;
    } else if (!m_wskListen->listen(address, quint16(port))) {
        number = winsockNumber(m_wskListen->serverError());
        text = m_wskListen->errorString();
    }
    if (number != 0 && number != AlreadyInProgress)
        failAndClose(number, text, listenSource);
}

quint16 clsSocketsDLL::listeningPort() const
{
    return m_wskListen->isListening() ? m_wskListen->serverPort() : 0;
}

void clsSocketsDLL::Connect(const QString& host, qint32 port)
{
    const CallScope scope(callDepth);
    // An earlier attempt still pending is abandoned without a report: the one ConnectFinished
    // that follows belongs to this call.
    ++m_attempt;
    m_tmrSend.stop();
    m_connected = false;
    m_connectFailed = false;
    m_connectPending = true;
    {
        const QSignalBlocker blocker(m_wskSend);
        m_wskSend->abort();
    }
    abandonSends(m_sendQueue);
    m_assembler.reset();

    if (host.trimmed().isEmpty() || port < 1 || port > 65535) {
        later([this] {
            Q_EMIT WinsockError(InvalidPropertyValue, invalidPropertyText, connectSource);
        });
        CloseSockets(); // ends the pending attempt
        return;
    }
    m_host = host;
    m_tmrSend.start();
    m_wskSend->connectToHost(host, quint16(port));
}

void clsSocketsDLL::Disconnect()
{
    const CallScope scope(callDepth);
    CloseSockets();
}

bool clsSocketsDLL::closeQuietly()
{
    for (QTcpSocket* socket : {m_wskSend, m_wskReceive}) {
        const QSignalBlocker blocker(socket);
        socket->abort();
    }
    m_assembler.reset();
    m_connected = false;
    abandonSends(m_sendQueue);
    abandonSends(m_receiveQueue);
    const bool wasPending = m_connectPending;
    if (wasPending) {
        m_connectFailed = true;
        m_connectPending = false;
        m_tmrSend.stop();
    }
    return wasPending;
}

void clsSocketsDLL::CloseSockets()
{
    const quint64 attempt = m_attempt;
    if (closeQuietly())
        reportConnect(false, attempt);
}

void clsSocketsDLL::failAndClose(int number, const QString& text, const QString& source)
{
    // Everything is closed before the error is told, so a handler of the error finds the object
    // in its final state and may start a new Connect at once.
    const quint64 attempt = m_attempt;
    const bool wasPending = closeQuietly();
    later([this, number, text, source] { Q_EMIT WinsockError(number, text, source); });
    if (wasPending)
        reportConnect(false, attempt);
}

void clsSocketsDLL::finishConnect(bool connected)
{
    m_connectPending = false;
    m_tmrSend.stop();
    reportConnect(connected, m_attempt);
}

void clsSocketsDLL::reportConnect(bool connected, quint64 attempt)
{
    // Not told when a newer Connect has begun since: its own report follows.
    later([this, connected, attempt] {
        if (attempt == m_attempt)
            Q_EMIT ConnectFinished(connected);
    });
}

void clsSocketsDLL::onSendConnected()
{
    if (!m_connectPending)
        return;
    m_connectPending = false;
    m_tmrSend.stop();
    m_connected = true;
    Q_EMIT RemoteConnected(m_host);
    Q_EMIT ConnectFinished(true);
}

void clsSocketsDLL::onConnectTimeout()
{
    m_connectFailed = true;
    CloseSockets();
}

void clsSocketsDLL::onSendError()
{
    const QAbstractSocket::SocketError error = m_wskSend->error();
    if (error == QAbstractSocket::RemoteHostClosedError)
        return; // told as a close by onSendDisconnected()
    const int number = winsockNumber(error);
    if (number != AlreadyInProgress) {
        m_connectFailed = true;
        failAndClose(number, m_wskSend->errorString(), QStringLiteral("wskSend_Error"));
    } else {
        m_connected = false;
        m_connectFailed = true;
        if (m_connectPending)
            finishConnect(false);
    }
}

void clsSocketsDLL::onSendDisconnected()
{
    failAndClose(100, QStringLiteral("Connection Closed by Server!"), QString());
}

void clsSocketsDLL::onSendReadyRead()
{
    const QByteArray piece = m_wskSend->readAll();
    if (piece.isEmpty())
        return;
    const MessageAssembler::Arrival arrival = m_assembler.add(piece);
    if (arrival.broken) {
        // An impossible length: the conversation ends by its own time-out.
        CloseSockets();
        return;
    }
    if (arrival.progress)
        Q_EMIT GenericEvent(1, 0);
    if (!arrival.message)
        return;
    const MessageAssembler::Message& message = *arrival.message;
    if (MessageAssembler::joiningFor(message.code, message.subCode) ==
        MessageAssembler::Joining::DropFirstThree)
        Q_EMIT GenericEvent(0, message.droppedByte.value_or(0));
    Q_EMIT MessageDataReceived(message.code, message.subCode, message.data);
}

void clsSocketsDLL::onNewConnection()
{
    while (QTcpSocket* socket = m_wskListen->nextPendingConnection()) {
        const quint16 port = m_wskListen->serverPort();
        if (port == CommandPort && m_wskReceive->state() == QAbstractSocket::UnconnectedState) {
            adoptReceiveSocket(socket);
        } else if (port != CommandPort && m_wskSend->state() == QAbstractSocket::UnconnectedState) {
            adoptSendSocket(socket);
        } else {
            // Busy: the request cannot be accepted.
            socket->abort();
            socket->deleteLater();
            continue;
        }
        Q_EMIT RemoteConnected(addressText(socket->peerAddress()) + QStringLiteral(" [") +
                               QString::number(port) + QLatin1Char(']'));
    }
}

void clsSocketsDLL::onReceiveReadyRead()
{
    const QByteArray bytes = m_wskReceive->readAll();
    // A command packet is short; anything of 12 bytes or more is not one and is dropped.
    if (bytes.size() >= 12 || bytes.size() < 6)
        return;
    if (quint8(bytes.at(0)) != 0xFF || quint8(bytes.at(1)) != 0xFF)
        return;
    m_commandBytes = bytes.sliced(2, 4);
    Q_EMIT CommandReceived(bytes);
}

void clsSocketsDLL::onReceiveDisconnected()
{
    failAndClose(0, QStringLiteral("Connection Closed by client!"), QString());
}

std::optional<qint32> clsSocketsDLL::BytesToLong(const QByteArray& bytes, int start, int count)
{
    if (start < 0 || count < 1 || count > 4 || start > bytes.size() - count)
        return std::nullopt;
    quint64 value = 0;
    for (int i = 0; i < count; ++i)
        value = value * 256 + quint8(bytes.at(start + i));
    if (value > 0x7FFFFFFFu)
        return std::nullopt;
    return qint32(value);
}
