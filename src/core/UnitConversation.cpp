#include "core/UnitConversation.h"

#include "comm/clsSocketsDLL.h"
#include "comm/DialUpLink.h"
#include "core/UnitStatusTable.h"
#include "directory/TimeZones.h"
#include "exceptions/clsExceptionHandler.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/DialUp.h"
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "settings/Settings.h"
#include "status/clsStatusString.h"

namespace {

constexpr quint8 StatusGroup = 5;
constexpr quint8 BlockGroup = 4;
constexpr int ClockBlockNumber = 61;

const QString unableToConnect = QStringLiteral("    Unable to Connect...");

} // namespace

const QString UnitConversation::InvalidUnitDateText =
    QStringLiteral("Invalid unit date detected. Please set unit to the correct date.");

UnitConversation::UnitConversation(const Settings& settings, UnitStatusTable& table, int slot,
                                   const UnitRecord& unit, int operatingMode, DialUpLink* dialUp,
                                   const ConversationTimings& timings, QObject* parent)
    : QObject(parent), m_settings(settings), m_table(table), m_slot(slot), m_unit(unit),
      m_operatingMode(operatingMode), m_dialUp(dialUp), m_timings(timings), m_tmrTimeout(this)
{
    m_tmrTimeout.setObjectName(QStringLiteral("tmrTimeout"));
    m_tmrTimeout.setSingleShot(true);
    // A coarse timer may fire up to 5% early; a unit gets its full time.
    m_tmrTimeout.setTimerType(Qt::PreciseTimer);
    connect(&m_tmrTimeout, &QTimer::timeout, this, &UnitConversation::onTimeout);
}

UnitConversation::~UnitConversation()
{
    delete m_transport;
}

qint32 UnitConversation::PasswordValue(const QString& password)
{
    if (password.size() != 3 && password.size() != 4)
        return 0;
    // Four characters above 126 exceed 32 bits: the sum is taken in 64 and cut to the low 32.
    quint64 sum = 0;
    for (qsizetype i = 0; i < password.size(); ++i) {
        quint64 power = 1;
        for (qsizetype k = 0; k <= i; ++k)
            power *= CodePage::byteOf(password.at(i));
        sum += power;
    }
    return qint32(quint32(sum & 0xFFFFFFFFu));
}

QByteArray UnitConversation::RequestFrame(quint8 group, quint8 command, const QByteArray& payload)
{
    QByteArray frame(8, '\0');
    frame[0] = char(0xFF);
    frame[1] = char(0xFF);
    frame[2] = char(group);
    frame[3] = char(command);
    frame[7] = char(payload.size());
    return frame + payload;
}

QByteArray UnitConversation::ClockBlock(const QDateTime& unitTime, const QByteArray& blockRead)
{
    QByteArray block(BlockSize - 1, '\0');
    block[0] = char(unitTime.time().hour());
    block[1] = char(unitTime.time().minute());
    block[2] = char(unitTime.time().second() + 1);
    block[3] = char(unitTime.date().month());
    block[4] = char(unitTime.date().day());
    block[5] = char(unitTime.date().year() % 100);
    for (int i = 7; i < BlockSize && i < blockRead.size(); ++i)
        block[i - 1] = blockRead.at(i);
    return block;
}

bool UnitConversation::dialsFirst(const QString& address)
{
    return !address.trimmed().isEmpty() && !address.contains(QLatin1Char('.'));
}

void UnitConversation::Set_Password(const QString& password)
{
    m_passwordValue = PasswordValue(password);
}

void UnitConversation::Send_Message(qint16 messageNumber, qint32 argument1, qint32 argument2)
{
    QByteArray frame;
    switch (messageNumber) {
    case 119:
        frame = RequestFrame(StatusGroup, 1, {});
        break;
    case 118: {
        QByteArray payload(5, '\0');
        payload[0] = char(argument1);
        const auto value = quint32(m_passwordValue);
        for (int i = 0; i < 4; ++i)
            payload[1 + i] = char((value >> (24 - 8 * i)) & 0xFF);
        frame = RequestFrame(StatusGroup, 0, payload);
        break;
    }
    case 137:
        frame = RequestFrame(BlockGroup, 0, QByteArray(1, char(argument1)));
        break;
    case 139:
        frame = RequestFrame(BlockGroup, 1,
                             QByteArray(1, char(ClockBlockNumber)) +
                                 ClockBlock(UnitLocalTime(argument1, argument2), m_block));
        break;
    default:
        return;
    }
    if (!m_transport)
        return;
    ++m_sendsPending;
    m_transport->SendByteArray(frame);
}

void UnitConversation::Connect(const QString& address, qint32 port)
{
    if (m_step != Step::Idle)
        return;
    m_port = port;
    if (address.trimmed().isEmpty()) {
        // Nothing to dial or connect to: the unit counts as unreachable.
        m_table[m_slot].pollTime = Platform::clock().localNow();
        storeUnit(true);
        Q_EMIT reportLine(unableToConnect);
        m_table[m_slot].resultCode = 0;
        m_table[m_slot].connected = false;
        m_step = Step::HangingUp;
        QMetaObject::invokeMethod(this, &UnitConversation::finish, Qt::QueuedConnection);
        return;
    }
    if (dialsFirst(address)) {
        m_dialUpMark = true;
        m_step = Step::Dialling;
        if (!m_dialUp) {
            QMetaObject::invokeMethod(
                this, [this] { onDialFinished(1); }, Qt::QueuedConnection);
            return;
        }
        connect(m_dialUp, &DialUpLink::dialFinished, this, &UnitConversation::onDialFinished,
                Qt::SingleShotConnection);
        m_dialUp->DialNumber(address);
        return;
    }
    openTransport(address);
}

void UnitConversation::onDialFinished(qint32 result)
{
    if (m_step != Step::Dialling)
        return;
    if (result != 0 || !m_dialUp) {
        Q_EMIT reportLine(QStringLiteral("    Modem could not Connect..."));
        m_table[m_slot].pollTime = Platform::clock().localNow();
        storeUnit(false);
        m_table[m_slot].resultCode = 7;
        m_table[m_slot].connected = false;
        // Only a refused speed check leaves the line up; the link hung up after other failures.
        if (!m_dialUp || Platform::dialUp().connectionCount() == 0)
            m_dialUpMark = false;
        closeDown(false);
        return;
    }
    openTransport(m_dialUp->farEndAddress());
}

void UnitConversation::openTransport(const QString& host)
{
    m_step = Step::Connecting;
    m_transport = new clsSocketsDLL(this);
    m_transport->setOffset(-1);
    m_transport->setConnectTimeout(m_timings.connectMs);
    connect(m_transport, &clsSocketsDLL::ConnectFinished, this,
            &UnitConversation::onConnectFinished);
    connect(m_transport, &clsSocketsDLL::MessageDataReceived, this,
            &UnitConversation::SocketsDLL_MessageDataReceived);
    connect(m_transport, &clsSocketsDLL::SendCompleted, this, &UnitConversation::onSendCompleted);
    m_table[m_slot].pollTime = Platform::clock().localNow();
    m_transport->Connect(host, m_port);
    storeUnit(true);
}

void UnitConversation::storeUnit(bool withZones)
{
    UnitStatusSlot& slot = m_table[m_slot];
    slot.attempted = true;
    slot.address = m_unit.DataStr;
    slot.description = m_unit.Descript;
    slot.password = m_unit.Password;
    if (withZones) {
        slot.timeZone = m_unit.TimeZone;
        slot.dstZone = m_unit.DST;
    }
}

void UnitConversation::onConnectFinished(bool connected)
{
    if (m_step != Step::Connecting)
        return;
    UnitStatusSlot& slot = m_table[m_slot];
    if (!connected) {
        Q_EMIT reportLine(unableToConnect);
        slot.resultCode = 0;
        slot.connected = false;
        closeDown(false);
        return;
    }
    slot.connected = true;
    m_replyState = AwaitingAnswer;
    m_step = Step::FirstAnswer;
    restartTimeout(m_timings.firstAnswerMs);
    if (m_operatingMode == 0) {
        Send_Message(119, 0, 0);
    } else {
        Set_Password(slot.password);
        Send_Message(118, 2, 0);
    }
}

void UnitConversation::SocketsDLL_MessageDataReceived(quint8 messageCode, quint8 subCode,
                                                      const QByteArray& data)
{
    if (messageCode == 104 && subCode == 0) {
        // A short block would have to be made up to be written back: it is not taken.
        if (data.size() < BlockSize)
            return;
        m_replyState = Answered;
        m_block = data.first(BlockSize);
    } else if (messageCode == 105 && subCode == 1) {
        m_replyState = Answered;
        processStatusBlock(data);
    } else if (messageCode == 105 && subCode == 0) {
        // Only 0 to 3 are answers; anything else must not pass for a success or a wait.
        const int code = data.isEmpty() ? -1 : quint8(data.at(0));
        m_replyState = code >= 0 && code <= 3 ? qint16(code) : qint16(InternalError);
    } else {
        return;
    }
    answerArrived();
}

void UnitConversation::processStatusBlock(const QByteArray& block)
{
    UnitStatusSlot& slot = m_table[m_slot];
    const QString header = slot.address + QStringLiteral("  -  ") + slot.description +
                           QStringLiteral("   ") +
                           Platform::locale().generalDateTimeText(slot.pollTime);
    clsStatusString status;
    slot.statusText = status.CreatStatusString(block, header);
    m_invalidUnitDate = m_invalidUnitDate || status.invalidUnitDate();

    clsExceptionHandler exceptions(m_settings);
    const QString found = exceptions.CreatExceptionString(
        block, slot.address, TimeZoneMinutes(slot.timeZone), DstCodeFromName(slot.dstZone));
    if (!found.isEmpty() && !exceptions.AddToLog(slot.address, slot.description, slot.pollTime,
                                                 found, clsExceptionHandler::alarmDetail(),
                                                 clsExceptionHandler::videolossDetail()))
        Q_EMIT logWriteFailed(m_settings.exceptionLogPath());
}

void UnitConversation::answerArrived()
{
    if (m_step == Step::FirstAnswer && m_replyState != AwaitingAnswer) {
        m_tmrTimeout.stop();
        if (m_operatingMode == 0 || m_replyState != Answered)
            closeDown(true);
        else
            readBlock();
    } else if (m_step == Step::DataBlock && m_replyState != AwaitingBlock) {
        m_tmrTimeout.stop();
        if (m_replyState != Answered)
            closeDown(true);
        else
            writeClock();
    }
}

void UnitConversation::readBlock()
{
    m_replyState = AwaitingBlock;
    m_step = Step::DataBlock;
    m_block.clear();
    restartTimeout(m_timings.dataBlockMs);
    Send_Message(137, ClockBlockNumber, 0);
}

void UnitConversation::writeClock()
{
    if (m_block.size() != BlockSize) {
        // Accepted without the block's content: writing back made-up bytes could harm the unit.
        m_replyState = InternalError;
        closeDown(true);
        return;
    }
    const UnitStatusSlot& slot = m_table[m_slot];
    m_step = Step::ClockWrite;
    restartTimeout(m_timings.clockWriteMs);
    Send_Message(139, TimeZoneMinutes(slot.timeZone), DstCodeFromName(slot.dstZone));
    clsExceptionHandler::SetResetMark(slot.address);
    // No answer comes; the frame only has to leave before the connection closes.
    if (m_sendsPending == 0)
        closeDown(true);
}

void UnitConversation::onSendCompleted()
{
    m_sendsPending = qMax(0, m_sendsPending - 1);
    if (m_step == Step::ClockWrite && m_sendsPending == 0)
        closeDown(true);
}

void UnitConversation::onTimeout()
{
    if (m_step == Step::FirstAnswer || m_step == Step::DataBlock || m_step == Step::ClockWrite)
        closeDown(true);
}

void UnitConversation::restartTimeout(int ms)
{
    m_tmrTimeout.setInterval(ms);
    if (m_transport)
        m_transport->FlushInputBuffers();
    m_tmrTimeout.start();
}

bool UnitConversation::takeDialUpMark()
{
    const bool was = m_dialUpMark;
    m_dialUpMark = false;
    return was;
}

void UnitConversation::closeDown(bool classifyAfter)
{
    m_tmrTimeout.stop();
    if (m_transport) {
        // Released from inside its own events, so not deleted here.
        m_transport->disconnect(this);
        m_transport->Disconnect();
        m_transport->deleteLater();
        m_transport = nullptr;
    }
    m_step = Step::HangingUp;
    const auto end = [this, classifyAfter] {
        if (classifyAfter)
            classify();
        finish();
    };
    if (m_dialUpMark && m_dialUp) {
        // Every way out hangs up a line this conversation dialled.
        m_dialUpMark = false;
        connect(m_dialUp, &DialUpLink::hungUp, this, end, Qt::SingleShotConnection);
        m_dialUp->HangUp();
        return;
    }
    m_dialUpMark = false;
    end();
}

void UnitConversation::classify()
{
    UnitStatusSlot& slot = m_table[m_slot];
    const auto outcome = [&](const QString& line, int resultCode) {
        Q_EMIT reportLine(line);
        slot.resultCode = resultCode;
        slot.connected = resultCode == 1;
    };
    switch (m_replyState) {
    case Rejected:
        outcome(QStringLiteral("    Unable to Connect ( Rejected )..."), 3);
        break;
    case Answered:
        outcome(m_operatingMode == 0
                    ? QStringLiteral("    Connected and Received Status Successfully!")
                    : QStringLiteral("    Connected and Synchronized Unit Successfully!"),
                1);
        break;
    case InvalidPassword:
        outcome(QStringLiteral("    Unable to Connect ( Invalid Password )..."), 2);
        break;
    case InternalError:
        outcome(QStringLiteral("    Internal Error!"), 6);
        break;
    case AwaitingAnswer:
        outcome(QStringLiteral("    Operation Timed out"), 4);
        break;
    case AwaitingBlock:
        outcome(QStringLiteral("    Operation Timed out from Data Block"), 5);
        break;
    default:
        break;
    }
}

void UnitConversation::finish()
{
    if (m_step == Step::Done)
        return;
    m_step = Step::Done;
    Q_EMIT finished();
}
