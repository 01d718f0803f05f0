#pragma once

#include "comm/MessageAssembler.h"

#include <optional>
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QTimer>

class QTcpServer;
class QTcpSocket;

// The framed message transport to one unit over TCP. The client side connects to the unit,
// sends request frames and delivers each reassembled answer through MessageDataReceived; the
// server side listens for a unit that calls in. Nothing here waits: Connect() reports its
// outcome through ConnectFinished, a send through SendCompleted. Events caused by a call are
// delivered after the call has returned, so a caller never sees them re-entrantly. Releasing
// the object closes its connections without further events; from inside one of its own event
// handlers release it with deleteLater().
class clsSocketsDLL : public QObject
{
    Q_OBJECT

public:
    static constexpr int ConnectTimeoutMs = 5000;
    static constexpr quint16 CommandPort = 1024;

    explicit clsSocketsDLL(QObject* parent = nullptr);
    ~clsSocketsDLL() override;

    // Ends any message in reception; a pending Connect ends unconnected.
    void FlushInputBuffers();
    // The sends return false, whatever happens; the outcome is in SendCompleted and WinsockError.
    bool SendWavelet(const QByteArray& data, qint32 length);
    bool SendRequestedData(const QByteArray& data);
    bool SendBlock(const QByteArray& data); // no SendCompleted
    bool SendByteArray(const QByteArray& data);
    // Listens on the given port, on every interface unless told otherwise.
    void Listen(qint32 port, const QHostAddress& address = QHostAddress::Any);
    // Opens the client connection; ConnectFinished follows exactly once, within
    // ConnectTimeoutMs, unless another Connect or the release of the object comes first.
    void Connect(const QString& host, qint32 port);
    void Disconnect();
    // The connection time-out; ConnectTimeoutMs unless a test shortens it.
    void setConnectTimeout(int ms) { m_tmrSend.setInterval(ms); }

    // Stored only; they change nothing.
    qint16 offset() const { return m_offset; }
    void setOffset(qint16 value) { m_offset = value; }
    QString DLPath() const { return m_dlPath; }
    void setDLPath(const QString& path) { m_dlPath = path; }

    // The signed 32-bit value of count bytes (1 to 4), most significant first; nothing when the
    // bytes lie outside the array or the value does not fit.
    static std::optional<qint32> BytesToLong(const QByteArray& bytes, int start, int count);

    bool isConnected() const { return m_connected; }
    bool connectFailed() const { return m_connectFailed; }
    bool connectPending() const { return m_connectPending; }
    bool sendPending() const { return !m_sendQueue.isEmpty() || !m_receiveQueue.isEmpty(); }
    bool receiveInProgress() const { return m_assembler.inProgress(); }
    // Bytes 2 to 5 of the last command packet on the accepted connection.
    QByteArray commandBytes() const { return m_commandBytes; }
    quint16 listeningPort() const;

Q_SIGNALS:
    void MessageDataReceived(quint8 messageCode, quint8 subCode, const QByteArray& data);
    void WaveletReceived(const QByteArray& data); // never raised
    void CommandReceived(const QByteArray& data);
    void RemoteConnected(const QString& text);
    // number is a Winsock error number (some exceed 16 bits), or 100 / 0 for a closed connection.
    void WinsockError(int number, const QString& description, const QString& source);
    void SendBegin(); // never raised
    void SendCompleted();
    void ReceiveBegin();     // never raised
    void ReceiveCompleted(); // never raised
    void GenericEvent(qint16 code, quint8 value);
    // The outcome of Connect().
    void ConnectFinished(bool connected);

private:
    struct PendingSend
    {
        qint64 bytesLeft = 0;
        bool announce = true; // raise SendCompleted when done
    };

    void wireSendSocket();
    void wireReceiveSocket();
    void adoptSendSocket(QTcpSocket* socket);
    void adoptReceiveSocket(QTcpSocket* socket);
    void CloseSockets();
    bool closeQuietly(); // true when a connect was pending
    void failAndClose(int number, const QString& text, const QString& source);
    void finishConnect(bool connected);
    void reportConnect(bool connected, quint64 attempt);
    void sendOn(QTcpSocket* socket, QQueue<PendingSend>& queue, const QByteArray& data,
                bool announce, const QString& failureSource);
    void completeSends(QQueue<PendingSend>& queue, qint64 written);
    void abandonSends(QQueue<PendingSend>& queue);
    void later(std::function<void()> action);

    void onSendConnected();
    void onSendReadyRead();
    void onSendDisconnected();
    void onSendError();
    void onConnectTimeout();
    void onNewConnection();
    void onReceiveReadyRead();
    void onReceiveDisconnected();

    QTcpSocket* m_wskSend = nullptr;
    QTcpSocket* m_wskReceive = nullptr;
    QTcpServer* m_wskListen = nullptr;
    QTimer m_tmrSend;

    MessageAssembler m_assembler;
    QQueue<PendingSend> m_sendQueue;
    QQueue<PendingSend> m_receiveQueue;
    QByteArray m_commandBytes;

    QString m_host;
    quint64 m_attempt = 0; // which Connect a ConnectFinished belongs to
    bool m_connected = false;
    bool m_connectFailed = false;
    bool m_connectPending = false;
    qint16 m_offset = 0;
    QString m_dlPath;
};
