#pragma once

#include "directory/UnitAddressList.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>

class clsSocketsDLL;
class DialUpLink;
class Settings;
class UnitStatusTable;

// The waits of a conversation, in milliseconds. The program keeps these; tests shorten them.
struct ConversationTimings
{
    int connectMs = 5000;     // the transport's connection time-out
    int firstAnswerMs = 5000; // the answer to the status request or the log-in
    int dataBlockMs = 4000;   // the answer to the read of block 61
    int clockWriteMs = 1000;  // the clock write on its way out
};

// One conversation with one unit: reach it (dialling first when its address is a phone number),
// ask for its status or set its clock, and leave the outcome in the unit's slot of the unit
// status table. It never waits inside a call: the transport's events and a time-out timer drive
// it, and finished() tells when it is over. It keeps everything it knows to itself and writes
// only to the slot it was given, so several can run at once.
class UnitConversation : public QObject
{
    Q_OBJECT

public:
    // What the unit has answered so far.
    enum ReplyState : qint16 {
        Rejected = 0,
        Answered = 1,
        InvalidPassword = 2,
        InternalError = 3,
        AwaitingAnswer = 10,
        AwaitingBlock = 11,
    };

    static constexpr qint32 UnitPort = 1024;
    static constexpr int BlockSize = 17; // block 61 as read and written back
    static const QString InvalidUnitDateText;

    UnitConversation(const Settings& settings, UnitStatusTable& table, int slot,
                     const UnitRecord& unit, int operatingMode, DialUpLink* dialUp,
                     const ConversationTimings& timings = {}, QObject* parent = nullptr);
    ~UnitConversation() override;

    // Starts the conversation with the unit; finished() follows once, never from inside the call.
    void Connect(const QString& address, qint32 port);
    // Sends request 119 (status), 118 (log-in with argument1 as its first byte), 137 (read the
    // block numbered argument1) or 139 (write the clock for zone offset argument1 and DST code
    // argument2); any other number sends nothing.
    void Send_Message(qint16 messageNumber, qint32 argument1, qint32 argument2);
    void Set_Password(const QString& password);
    void SocketsDLL_MessageDataReceived(quint8 messageCode, quint8 subCode, const QByteArray& data);

    // A unit whose address is a phone number (no ".") is reached through the modem.
    static bool dialsFirst(const QString& address);

    int slot() const { return m_slot; }
    const QString& address() const { return m_unit.DataStr; }
    qint16 replyState() const { return m_replyState; }
    qint32 passwordValue() const { return m_passwordValue; }
    bool isFinished() const { return m_step == Step::Done; }
    // True while a line this conversation dialled may be up.
    bool dialUpMark() const { return m_dialUpMark; }
    // For a Stop that hangs the line up itself: clears the mark and tells whether it was set.
    bool takeDialUpMark();
    // The unit's status block held no readable clock; the user is to be told after the
    // conversation ("Invalid unit date detected...").
    bool invalidUnitDate() const { return m_invalidUnitDate; }

    // The log-in value of a password: for 3 or 4 characters the sum of each character's code
    // raised to its position (from 1), of which the low 32 bits are sent; 0 otherwise.
    static qint32 PasswordValue(const QString& password);
    // A request: 0xFF 0xFF, group, command, three zero bytes, the payload length, the payload.
    static QByteArray RequestFrame(quint8 group, quint8 command, const QByteArray& payload);
    // Bytes 1 to 16 of block 61 as written back: the unit's new clock, then bytes 7 to 16 of the
    // block as read.
    static QByteArray ClockBlock(const QDateTime& unitTime, const QByteArray& blockRead);

Q_SIGNALS:
    void reportLine(const QString& line);
    // An exception record could not be added to the event log at this path.
    void logWriteFailed(const QString& path);
    void finished();

private:
    enum class Step {
        Idle,
        Dialling,
        Connecting,
        FirstAnswer,
        DataBlock,
        ClockWrite,
        HangingUp,
        Done
    };

    void onDialFinished(qint32 result);
    void openTransport(const QString& host);
    void onConnectFinished(bool connected);
    void onTimeout();
    void onSendCompleted();
    void answerArrived();
    void readBlock();
    void writeClock();
    void storeUnit(bool withZones);
    void processStatusBlock(const QByteArray& block);
    void restartTimeout(int ms);
    void closeDown(bool classify);
    void classify();
    void finish();

    const Settings& m_settings;
    UnitStatusTable& m_table;
    const int m_slot;
    const UnitRecord m_unit;
    const int m_operatingMode;
    QPointer<DialUpLink> m_dialUp;
    const ConversationTimings m_timings;

    Step m_step = Step::Idle;
    qint32 m_port = UnitPort;
    qint16 m_replyState = AwaitingAnswer;
    qint32 m_passwordValue = 0;
    QByteArray m_block; // the block last read, BlockSize bytes once read
    int m_sendsPending = 0;
    bool m_dialUpMark = false;
    bool m_invalidUnitDate = false;
    QTimer m_tmrTimeout;
    clsSocketsDLL* m_transport = nullptr;
};
