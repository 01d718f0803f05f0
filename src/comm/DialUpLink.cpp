#include "comm/DialUpLink.h"

#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "settings/Settings.h"

#include <QTimer>

namespace {

const QString messageTitle = QStringLiteral("Message");

} // namespace

DialUpLink::DialUpLink(const Settings& settings, QObject* parent)
    : QObject(parent), m_settings(settings)
{}

DialUp& DialUpLink::adapter()
{
    DialUp& installed = Platform::dialUp();
    if (&installed != m_adapter) {
        if (m_adapter)
            disconnect(m_adapter, nullptr, this, nullptr);
        m_adapter = &installed;
        connect(m_adapter, &DialUp::notification, this, &DialUpLink::onNotification);
    }
    return installed;
}

void DialUpLink::DialNumber(const QString& phoneNumber)
{
    if (m_phase != Phase::Idle || m_heldResult) { // one dial at a time
        QTimer::singleShot(0, this, [this] { Q_EMIT dialFinished(NotConnected); });
        return;
    }
    m_phase = Phase::Preparing;
    m_params = {};
    m_params.entryName = QStringLiteral("krvo");
    m_params.phoneNumber = phoneNumber;
    m_params.userName = QStringLiteral("guest");
    m_params.password = QStringLiteral("quolbrin");
    QTimer::singleShot(0, this, &DialUpLink::clearOldLines);
}

void DialUpLink::clearOldLines()
{
    if (adapter().connectionCount() == 0) {
        checkEntryAndDial();
        return;
    }
    adapter().hangUp();
    WaitAWhile(m_waits.afterClearingMs, [this] { checkEntryAndDial(); });
}

void DialUpLink::checkEntryAndDial()
{
    if (!entryReady()) {
        finish(NotConnected);
        return;
    }
    m_progressShown = true;
    Q_EMIT progressShown(QStringLiteral("Dialup to [") + m_params.phoneNumber + u']');

    const qint32 code = adapter().dial(m_params);
    if (code != 0) {
        QString text = adapter().errorString(code);
        if (text.isEmpty())
            text = QStringLiteral("Error retrieving the Error string");
        Q_EMIT progressText(QStringLiteral("Error: ") + text);
        finish(NotConnected);
        return;
    }
    m_state = 0;
    m_error = 0;
    m_phase = Phase::Dialling;
}

bool DialUpLink::entryReady()
{
    switch (adapter().validateEntry(QStringLiteral("KRVO"))) {
    case DialUp::EntryExists:
    case DialUp::EntryNameInvalid:
        return true;
    case DialUp::EntryMissing:
        return setUpEntry();
    default:
        return false;
    }
}

bool DialUpLink::setUpEntry()
{
    Prompts& prompts = Platform::prompts();
    if (prompts.ask({messageTitle,
                     QStringLiteral("We need to create an Dial-Up Entry to use with the "
                                    "VigilStat...\nWould you like to do it now?"),
                     PromptButtons::YesNo, PromptIcon::Question}) != PromptAnswer::Yes)
        return false;

    if (prompts.ask(
            {QStringLiteral("Instructions"),
             QStringLiteral("Please take note of the following before proceeding...\n\n"
                            "- When asked to enter a Name for the computer you are dialing, please "
                            "enter the 4 letter string 'KRVO'.\n"
                            "- When asked to enter a Phone Number, please enter the 3 digits "
                            "'123'\n\nAre you ready to proceed?"),
             PromptButtons::YesNo, PromptIcon::Information}) != PromptAnswer::Yes) {
        prompts.ask({messageTitle,
                     QStringLiteral("You will not be able to connect to a remote Korvo before a "
                                    "valid Dialup Entry is not created..."),
                     PromptButtons::OkCancel, PromptIcon::None});
        return false;
    }

    if (adapter().createEntry() != 0) {
        prompts.message(QStringLiteral("Error Creating a new Dial-Up Entry!\n\nPlease ensure "
                                       "that Dial-Up Networking is installed on your computer!"),
                        messageTitle, PromptIcon::Warning);
        return false;
    }
    if (adapter().validateEntry(QStringLiteral("KRVO")) != DialUp::EntryExists) {
        prompts.message(QStringLiteral("There has been a problem...\nPlease redo the setup..."),
                        messageTitle, PromptIcon::Warning);
        return false;
    }
    return true;
}

void DialUpLink::onNotification(qint32 state, qint32 error)
{
    if (m_progressShown) {
        QString text = StateText(state);
        if (error != 0)
            text += QStringLiteral(" [") + QString::number(error) + u']';
        Q_EMIT progressText(text);
    }
    m_state = state;
    m_error = error;
    followDial();
}

void DialUpLink::followDial()
{
    // A hang-up's wait holds the dial back, so its outcome is judged after the wait.
    if (m_phase != Phase::Dialling || m_hangUpWaits > 0)
        return;
    if (m_error != 0) {
        onDialError(m_error);
    } else if (m_state == DialUp::StateConnected) {
        onConnected();
    } else if (m_state == DialUp::StateDisconnected) {
        m_phase = Phase::Ending;
        hangUpAndWait([this] {
            closeProgress();
            finish(NotConnected);
        });
    }
}

void DialUpLink::onConnected()
{
    m_phase = Phase::Ending;
    closeProgress();
    finish(speedCheckPasses() ? Connected : Failed);
}

void DialUpLink::onDialError(qint32 error)
{
    m_phase = Phase::Ending;
    closeProgress();
    if (!automaticPolling() && m_cycleActive)
        Platform::prompts().message(ErrorText(error) + QStringLiteral(" [") +
                                        QString::number(error) + u']',
                                    QStringLiteral("Error Message"), PromptIcon::Warning);
    // The user's own hang-up needs no second one.
    if (error == DialUp::ErrorUserDisconnected)
        finish(Failed);
    else
        hangUpAndWait([this] { finish(Failed); });
}

bool DialUpLink::speedCheckPasses()
{
    // Only a speed the modem reported can be judged.
    const qint32 speed = adapter().linkSpeed();
    if (speed <= 0 || speed > SlowLinkBitsPerSecond || automaticPolling())
        return true;
    const PromptAnswer answer = Platform::prompts().ask(
        {QStringLiteral("Warning"),
         QStringLiteral("The phone line connection speed is lower than recommended for video "
                        "transmission.\nWe recommend that you disconnect and retry.\n"
                        "Disconnect now?"),
         PromptButtons::YesNo, PromptIcon::Warning});
    return answer != PromptAnswer::Yes;
}

void DialUpLink::finish(qint32 result)
{
    m_phase = Phase::Idle;
    m_heldResult = result;
    releaseHeldResult();
}

void DialUpLink::releaseHeldResult()
{
    if (m_hangUpWaits > 0 || !m_heldResult)
        return;
    const qint32 result = *m_heldResult;
    m_heldResult.reset();
    Q_EMIT dialFinished(result);
}

void DialUpLink::HangUp()
{
    hangUpAndWait([this] { Q_EMIT hungUp(); });
}

void DialUpLink::cancelFromProgress()
{
    m_progressShown = false;
    hangUpAndWait({});
}

void DialUpLink::hangUpAndWait(std::function<void()> then)
{
    adapter().hangUp();
    ++m_hangUpWaits;
    WaitAWhile(m_waits.afterHangUpMs, [this, then = std::move(then)] {
        --m_hangUpWaits;
        if (then)
            then();
        // A dial we hung up is over even if the platform never said so.
        if (m_phase == Phase::Dialling && m_hangUpWaits == 0 && m_error == 0)
            m_error = DialUp::ErrorUserDisconnected;
        followDial();
        releaseHeldResult();
    });
}

void DialUpLink::WaitAWhile(int milliseconds, std::function<void()> then)
{
    QTimer::singleShot(milliseconds, this, std::move(then));
}

void DialUpLink::closeProgress()
{
    m_progressShown = false;
    Q_EMIT progressClosed();
}

bool DialUpLink::automaticPolling() const
{
    return m_settings.isOn(Settings::Option::PollingOption);
}

QString DialUpLink::farEndAddress() const
{
    return Platform::dialUp().farEndAddress();
}

bool DialUpLink::isBusy() const
{
    return m_phase != Phase::Idle || m_hangUpWaits > 0 || m_heldResult.has_value();
}

QString DialUpLink::StateText(qint32 state)
{
    switch (state) {
    case 0:
        return QStringLiteral("OpenPort");
    case 1:
        return QStringLiteral("PortOpened");
    case 2:
        return QStringLiteral("Connecting...");
    case 3:
        return QStringLiteral("DeviceConnected");
    case 4:
        return QStringLiteral("AllDevicesConnected");
    case 5:
        return QStringLiteral("Authenticate");
    case 6:
        return QStringLiteral("AuthNotify");
    case 7:
        return QStringLiteral("AuthRetry");
    case 8:
        return QStringLiteral("AuthCallback");
    case 9:
        return QStringLiteral("AuthChangePassword");
    case 10:
        return QStringLiteral("AuthProject");
    case 11:
        return QStringLiteral("AuthLinkSpeed");
    case 12:
        return QStringLiteral("AuthAck");
    case 13:
        return QStringLiteral("ReAuthenticate");
    case 14:
        return QStringLiteral("Authenticated");
    case 15:
        return QStringLiteral("PrepareForCallback");
    case 16:
        return QStringLiteral("WaitForModemReset");
    case 17:
        return QStringLiteral("WaitForCallback");
    case 18:
        return QStringLiteral("Projected");
    case 19:
        return QStringLiteral("StartAuthentication");
    case 20:
        return QStringLiteral("CallbackComplete");
    case 21:
        return QStringLiteral("LogonNetwork");
    case 22:
        return QStringLiteral("SubEntryConnected");
    case 23:
        return QStringLiteral("SubEntryDisconnected");
    case 4096:
        return QStringLiteral("Interactive ");
    case 4097:
        return QStringLiteral("RetryAuthentication");
    case 4098:
        return QStringLiteral("CallbackSetByCaller");
    case 4099:
        return QStringLiteral("PasswordExpired");
    case 8192:
        return QStringLiteral("Connected!");
    case 8193:
        return QStringLiteral("Disconnected.");
    default:
        return QStringLiteral("Unknown Code");
    }
}

QString DialUpLink::ErrorText(qint32 error)
{
    switch (error) {
    case 5:
        return QStringLiteral("Access was denied");
    case 619:
        return QStringLiteral("The port is disconnected");
    case 621:
        return QStringLiteral("Cannot open the phonebook");
    case 630:
        return QStringLiteral("Hardware Failure ");
    case 631:
        return QStringLiteral("User Disconnected");
    case 676:
        return QStringLiteral("The line is busy");
    case 680:
        return QStringLiteral("No Dialtone was detected");
    case 681:
        return QStringLiteral("General error reported by device");
    case 692:
        return QStringLiteral("Error with port or device");
    default:
        return QStringLiteral("There was a problem creating a connection");
    }
}
