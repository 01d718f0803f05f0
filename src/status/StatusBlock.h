#pragma once

#include <optional>
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Read access to the status block a unit returns for a status request. The first byte is the
// type byte; the positions of every later field depend on the unit type. Every read checks the
// block's bounds and gives nothing when the field lies (partly) outside the block or the type
// has no such field, so a short or foreign block can never be read out of bounds.
class StatusBlock
{
public:
    enum TypeCode {
        Korvo = 0,
        Xcr = 1,
        XcrC = 2,
        KorvoTri = 3,
        Roadscope = 4,
        Zpt = 80,
        Yqm = 96,
    };

    struct Version
    {
        quint8 major = 0;
        quint8 minor = 0;
        bool operator==(const Version&) const = default;
    };

    // One entry of a type 3 unit's connection table.
    struct Connection
    {
        quint8 code = 0; // below 5: a normal (server) connection, 5 or more: a live stream
        QString address;
        bool isLive() const { return code >= 5; }
        int accessLevel() const { return isLive() ? code - 9 : code + 1; }
    };

    // One of a type 80 unit's eight disk entries.
    struct Disk
    {
        quint32 blocksRecorded = 0; // two-megabyte blocks
        quint32 oldestDataTime = 0; // unit time
        quint32 newestDataTime = 0; // unit time
    };

    static constexpr int DiskCount = 8;

    StatusBlock() = default;
    explicit StatusBlock(const QByteArray& bytes) : m_bytes(bytes) {}

    const QByteArray& bytes() const { return m_bytes; }
    int size() const { return int(m_bytes.size()); }

    // Raw reads. number() is unsigned big-endian over 1 to 4 bytes.
    std::optional<quint32> number(int pos, int count) const;
    std::optional<quint8> byte(int pos) const;
    // The characters of [first, last] up to the first 0 byte; nothing when the range runs past
    // the end of the block before a 0 byte is met.
    std::optional<QString> fixedText(int first, int last) const;

    // The type byte: bits 0 to 6 are the type code, bit 7 selects the disk capacity form.
    std::optional<int> typeCode() const;
    bool capacityIsNumber() const;
    static bool isKnownType(int code);
    static bool hasWideChannelMasks(int code); // 32 channels instead of 16
    // The name shown for the type: the model name for a type 3 unit on Power PC software 6 or
    // later; nothing for an unknown type or when the block is too short to tell.
    std::optional<QString> unitTypeName() const;

    std::optional<quint8> normalAccessCode() const { return byte(1); }
    std::optional<QString> normalAddress() const { return dottedAddress(2); }
    std::optional<quint8> liveAccessCode() const { return byte(6); }
    std::optional<QString> liveAddress() const { return dottedAddress(7); }
    static int normalAccessLevel(quint8 code) { return code <= 2 ? code + 1 : 0; }
    static int liveAccessLevel(quint8 code) { return code >= 10 && code <= 12 ? code - 9 : 0; }

    std::optional<quint8> recordState() const { return byte(11); }
    std::optional<quint32> recordingDuration() const { return number(12, 4); }
    std::optional<quint32> recordingTimeLeft() const { return number(16, 4); }
    // The archive fields; a type 4 unit has none.
    std::optional<quint8> archiveState() const;
    std::optional<quint32> archivingDuration() const;
    std::optional<quint32> archivingTimeLeft() const;

    std::optional<quint32> unitTime() const; // seconds since 01/01/1960 00:00:00, unit local
    std::optional<quint32> timeSincePowerUp() const;
    std::optional<Version> mainVersion() const; // none on a type 4 unit
    std::optional<Version> powerPcVersion() const;
    std::optional<quint16> diskCapacity() const; // the two bytes, first most significant

    // Channel masks with bit i for channel i + 1; 16-channel layouts fill only the low half.
    std::optional<quint32> alarmStatus() const { return mask(0); }
    std::optional<quint32> videolossStatus() const { return mask(1); }
    std::optional<quint32> alarmsSinceLastPolling() const { return mask(2); }
    std::optional<quint32> videolossSinceLastPolling() const { return mask(3); }

    std::optional<QString> serialNumber() const;
    std::optional<QString> modelName() const;
    std::optional<QString> macAddress() const;
    std::optional<quint8> playStatus() const;             // types 2 and 3; 1 = playing
    std::optional<quint8> hardwareByte() const;           // types 2, 3 and 4
    std::optional<QString> vehicleId() const;             // type 4
    std::optional<QList<Connection>> connections() const; // type 3
    std::optional<Disk> disk(int index) const;            // type 80, index 0 to 7
    std::optional<quint8> recordedUnitId() const;         // type 80; 16 means XCR

    // The wall-clock time of a unit time: 01/01/1960 00:00:00 plus the seconds.
    static QDateTime unitClock(quint32 seconds);
    // The unit time of a wall-clock time; nothing outside the range a unit can hold.
    static std::optional<quint32> unitTimeOf(const QDateTime& wallClock);

private:
    bool isVehicle() const;
    std::optional<QString> dottedAddress(int pos) const;
    std::optional<Version> version(int pos) const;
    std::optional<quint32> mask(int which) const;

    QByteArray m_bytes;
};
