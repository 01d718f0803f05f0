#pragma once

#include <QObject>
#include <QString>

// The platform's dial-up networking, reduced to what the program uses: one peer entry, dialled
// with fixed credentials, and the connections this program started. Progress of a dial comes
// back through notification(), always after the call that caused it has returned.
class DialUp : public QObject
{
    Q_OBJECT

public:
    // Answers of validateEntry().
    static constexpr qint32 EntryMissing = 0;
    static constexpr qint32 EntryNameInvalid = 123;
    static constexpr qint32 EntryExists = 183;

    // Connection states reported by notification().
    static constexpr qint32 StateConnecting = 2;
    static constexpr qint32 StateDeviceConnected = 3;
    static constexpr qint32 StateAllDevicesConnected = 4;
    static constexpr qint32 StateAuthenticated = 14;
    static constexpr qint32 StateConnected = 8192;
    static constexpr qint32 StateDisconnected = 8193;

    // Error codes, numbered as the program has always shown them.
    static constexpr qint32 ErrorNotInstalled = 2;
    static constexpr qint32 ErrorAccessDenied = 5;
    static constexpr qint32 ErrorInvalidNumber = 87;
    static constexpr qint32 ErrorPortDisconnected = 619;
    static constexpr qint32 ErrorCannotOpenPhonebook = 621;
    static constexpr qint32 ErrorEntryNotFound = 623;
    static constexpr qint32 ErrorHardwareFailure = 630;
    static constexpr qint32 ErrorUserDisconnected = 631;
    static constexpr qint32 ErrorNoConnection = 668;
    static constexpr qint32 ErrorLineBusy = 676;
    static constexpr qint32 ErrorNoAnswer = 678;
    static constexpr qint32 ErrorNoDialtone = 680;
    static constexpr qint32 ErrorDevice = 681;
    static constexpr qint32 ErrorAuthentication = 691;
    static constexpr qint32 ErrorPortOrDevice = 692;

    struct DialParams
    {
        QString entryName;
        QString phoneNumber;
        QString callbackNumber;
        QString userName;
        QString password;
        QString domain;
    };

    using QObject::QObject;

    // EntryExists, EntryMissing, EntryNameInvalid, or another error code.
    virtual qint32 validateEntry(const QString& name) = 0;
    // Lets the user create the entry; 0 unless the platform failed (the entry may still be
    // missing when the user gave up).
    virtual qint32 createEntry() = 0;
    // 0 when dialling has started and notifications will follow; otherwise an error code and
    // nothing was started.
    virtual qint32 dial(const DialParams& params) = 0;
    // Connections this program started that are still up or going down.
    virtual int connectionCount() const = 0;
    // Hangs up every connection this program started; a dial in progress ends with
    // ErrorUserDisconnected.
    virtual void hangUp() = 0;
    // The platform's text for an error code, "" when it has none.
    virtual QString errorString(qint32 code) const = 0;
    // Bits per second of the current link as the modem reported it; 0 when unknown.
    virtual qint32 linkSpeed() const = 0;
    // The unit's end of the link.
    virtual QString farEndAddress() const = 0;

Q_SIGNALS:
    void notification(qint32 state, qint32 error);
};
