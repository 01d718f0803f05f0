#include "clsStatusString.h"

#include "status/StatusBlock.h"
#include "status/StatusFormat.h"

namespace {

const QString crlf = QStringLiteral("\r\n");
const QString sixteenBlanks = QString(16, QLatin1Char(' '));

QString orNone(const QString& list)
{
    return list.isEmpty() ? QStringLiteral("None") : list;
}

QString videoStandardText(quint8 hardware)
{
    switch (hardware) {
    case 0:
        return QStringLiteral("NTSC");
    case 1:
        return QStringLiteral("NTSC, Audio Card");
    case 2:
        return QStringLiteral("NTSC, Duplex Card");
    case 3:
        return QStringLiteral("NTSC, Duplex Card, Audio Card");
    case 128:
        return QStringLiteral("PAL");
    case 129:
        return QStringLiteral("PAL, Audio Card");
    case 130:
        return QStringLiteral("PAL, Duplex Card");
    case 131:
        return QStringLiteral("PAL, Duplex Card, Audio Card");
    default:
        return QString();
    }
}

QString recordText(quint8 state, const QString& duration, const QString& left)
{
    const QString prefix = QStringLiteral("Record   :  Status:  ");
    switch (state) {
    case 0:
        return prefix + QStringLiteral("Not Recording");
    case 1:
        return prefix + QStringLiteral("Recording;  Duration:  ") + duration +
               QStringLiteral(";  Time Left:  ") + left;
    case 2:
    case 3:
        return prefix + QStringLiteral("Disk Full");
    default:
        return prefix + QStringLiteral("Disk Test Failed");
    }
}

QString archiveText(quint8 state, const QString& duration, const QString& left)
{
    switch (state) {
    case 0:
        return QStringLiteral("Archiving Disabled");
    case 1:
        return QStringLiteral("Enabled but not Archiving");
    case 3:
        return QStringLiteral("Device Full");
    case 5:
        return QStringLiteral("Archiving In Progress;  Duration:  ") + duration +
               QStringLiteral(";  Time Left:  ") + left;
    default:
        return QString();
    }
}

// "There is one ServerSocket connection." and the entry lines, or the sentence for none.
QString connectionGroupText(const QList<StatusBlock::Connection>& entries, const QString& kind,
                            const QString& label)
{
    if (entries.isEmpty())
        return QStringLiteral("No ") + kind + QStringLiteral(" connection.");
    QString text = QStringLiteral("There ");
    if (entries.size() == 1)
        text += QStringLiteral("is one ") + kind + QStringLiteral(" connection.");
    else
        text += QStringLiteral("are ") + StatusFormat::numberWord(int(entries.size())) +
                QLatin1Char(' ') + kind + QStringLiteral(" connections.");
    for (qsizetype i = 0; i < entries.size(); ++i) {
        text += crlf + (i == 0 ? QStringLiteral("Ethernet :") : sixteenBlanks) + label +
                (entries.size() == 1 ? QString() : QString::number(i + 1)) + QStringLiteral(":  ") +
                entries.at(i).address + QStringLiteral("  Access Level:  ") +
                QString::number(entries.at(i).accessLevel());
    }
    return text;
}

} // namespace

template <typename T> T clsStatusString::take(const std::optional<T>& value, const T& fallback)
{
    if (value)
        return *value;
    fail(9, QStringLiteral("Subscript out of range"));
    return fallback;
}

void clsStatusString::fail(int number, const QString& description)
{
    m_decodeError = true;
    m_errorNumber = number;
    m_errorDescription = description;
}

QString clsStatusString::unitTimeText(std::optional<quint32> seconds)
{
    // A time that cannot be read shows the start of the unit's calendar.
    return StatusFormat::unitTimeText(take(seconds, quint32(0)));
}

QString clsStatusString::CreatStatusString(const QByteArray& bytes, const QString& header)
{
    m_decodeError = false;
    m_invalidUnitDate = false;
    m_errorNumber = 0;
    m_errorDescription.clear();
    const QString separator = StatusFormat::decimalSeparator();
    const StatusBlock block(bytes);

    const int code = take(block.typeCode(), 0);
    const bool vehicle = code == StatusBlock::Roadscope;

    const QString normalAddress = take(block.normalAddress(), QString());
    const int normalLevel =
        StatusBlock::normalAccessLevel(take(block.normalAccessCode(), quint8(0)));
    const QString liveAddress = take(block.liveAddress(), QString());
    const int liveLevel = StatusBlock::liveAccessLevel(take(block.liveAccessCode(), quint8(0)));
    const quint8 recordState = take(block.recordState(), quint8(0));
    const QString recordDuration =
        StatusFormat::durationText(take(block.recordingDuration(), quint32(0)));
    const QString recordLeft =
        StatusFormat::durationText(take(block.recordingTimeLeft(), quint32(0)));
    quint8 archiveState = 0;
    QString archiveDuration;
    QString archiveLeft;
    if (!vehicle) {
        archiveState = take(block.archiveState(), quint8(0));
        archiveDuration = StatusFormat::durationText(take(block.archivingDuration(), quint32(0)));
        archiveLeft = StatusFormat::durationText(take(block.archivingTimeLeft(), quint32(0)));
    }
    const QString unitTime = unitTimeText(block.unitTime());
    if (!vehicle && m_decodeError) {
        // Told by the caller once the conversation is over: a box here would hold the cycle.
        m_invalidUnitDate = true;
        m_decodeError = false;
    }
    const QString sincePowerUp =
        StatusFormat::durationText(take(block.timeSincePowerUp(), quint32(0)));
    QString mainVersion;
    if (!vehicle)
        mainVersion =
            StatusFormat::versionText(take(block.mainVersion(), StatusBlock::Version{}), separator);
    const StatusBlock::Version ppc = take(block.powerPcVersion(), StatusBlock::Version{});
    const QString capacity = StatusFormat::diskCapacityText(take(block.diskCapacity(), quint16(0)),
                                                            block.capacityIsNumber(), separator);

    if (!StatusBlock::isKnownType(code))
        return header + crlf + QStringLiteral("Unsupported Unit Type");

    const bool wide = StatusBlock::hasWideChannelMasks(code);
    const auto listOf = [wide](quint32 mask) {
        return wide ? StatusFormat::channelList(mask)
                    : StatusFormat::channelList1To16(quint16(mask));
    };
    const quint32 alarmMask = take(block.alarmStatus(), quint32(0));
    const quint32 videolossMask = take(block.videolossStatus(), quint32(0));
    const QString alarmsSince = listOf(take(block.alarmsSinceLastPolling(), quint32(0)));
    const QString videolossSince = listOf(take(block.videolossSinceLastPolling(), quint32(0)));
    const QString videolossLow = StatusFormat::channelList1To16(quint16(videolossMask & 0xFFFF));

    const QString unitTypeName = code == StatusBlock::KorvoTri
                                     ? take(block.unitTypeName(), QString())
                                     : block.unitTypeName().value_or(QString());

    QString details;
    const QString serialLine = QStringLiteral("Unit Serial Number:  ");
    switch (code) {
    case StatusBlock::Xcr:
    case StatusBlock::Zpt:
        details = serialLine + take(block.serialNumber(), QStringLiteral("Error GetString"));
        break;
    case StatusBlock::XcrC:
    case StatusBlock::KorvoTri: {
        details = serialLine + take(block.serialNumber(), QStringLiteral("Error GetString")) +
                  crlf + QStringLiteral("Model Name:  ") +
                  take(block.modelName(), QStringLiteral("Error GetString")) + crlf +
                  QStringLiteral("Ethernet MAC Address:  ") + take(block.macAddress(), QString()) +
                  crlf + QStringLiteral("Play Status:  ") +
                  (take(block.playStatus(), quint8(0)) == 1 ? QStringLiteral("Play")
                                                            : QStringLiteral("Stop")) +
                  crlf;
        const quint8 hardware = take(block.hardwareByte(), quint8(0));
        if (code == StatusBlock::XcrC)
            details += QStringLiteral("Audio Card Present:  ") +
                       (hardware == 1 ? QStringLiteral("Yes") : QStringLiteral("No"));
        else
            details += QStringLiteral("Hardware Fitted:  ") + videoStandardText(hardware);
        break;
    }
    case StatusBlock::Roadscope:
        details = serialLine + take(block.serialNumber(), QStringLiteral("Error GetString")) +
                  crlf + QStringLiteral("Model Name:  ") +
                  take(block.modelName(), QStringLiteral("Error GetString")) + crlf +
                  QStringLiteral("Ethernet MAC Address:  ") + take(block.macAddress(), QString()) +
                  crlf + QStringLiteral("RS3 Vehicle ID:  ") +
                  take(block.vehicleId(), QStringLiteral("Error GetString")) + crlf +
                  QStringLiteral("Audio Card Present:  ") +
                  (take(block.hardwareByte(), quint8(0)) == 1 ? QStringLiteral("Yes")
                                                              : QStringLiteral("No"));
        break;
    default:
        break;
    }

    QString mainSoftware;
    if (code == StatusBlock::Korvo || code == StatusBlock::KorvoTri || code == StatusBlock::Yqm)
        mainSoftware =
            QStringLiteral("  Main Software Version:  ") + mainVersion + QLatin1Char(';');

    QString alarmList = listOf(alarmMask);
    QString lastLine;
    QString videolossLine;
    if (code == StatusBlock::XcrC) {
        // The unit reports its external alarm input and its video input through these digits.
        if (videolossLow.contains(QLatin1Char('2')))
            alarmList = QStringLiteral("External Alarm");
        lastLine = crlf + QStringLiteral("XCR Video In:  ") +
                   (videolossLow.contains(QLatin1Char('1')) ? QStringLiteral("No Signal Connected")
                                                            : QStringLiteral("Present"));
    } else {
        videolossLine =
            crlf + QStringLiteral("Videoloss Status:  ") + orNone(listOf(videolossMask));
        lastLine =
            crlf + QStringLiteral("Videoloss Since Last Polling:  ") + orNone(videolossSince);
    }

    QString text = header;
    text += crlf + QStringLiteral("Unit Type:  ") + unitTypeName + QStringLiteral("  ");
    if (!details.isEmpty())
        text += crlf + details;
    if (code == StatusBlock::KorvoTri)
        text += crlf + connectionText(block);
    else
        text += crlf + QStringLiteral("Ethernet :  Normal Connection:  ") + normalAddress +
                QStringLiteral("  Access Level:  ") + QString::number(normalLevel) +
                QStringLiteral(";  Live Connection:  ") + liveAddress +
                QStringLiteral("  Access Level:  ") + QString::number(liveLevel);
    text += crlf + recordText(recordState, recordDuration, recordLeft);
    if (!vehicle)
        text += crlf + QStringLiteral("Archive  :  Status:  ") +
                archiveText(archiveState, archiveDuration, archiveLeft);
    text += crlf + QStringLiteral("General  :  Unit's Current Time:  ") + unitTime +
            QStringLiteral(";  Time Since Power Up:  ") + sincePowerUp;
    text += crlf + sixteenBlanks + mainSoftware + QStringLiteral("  Power PC Software Version:  ") +
            StatusFormat::versionText(ppc, separator) + QStringLiteral(";  Disk Capacity:  ") +
            capacity + QStringLiteral("GB");
    text += crlf + QStringLiteral("Alarm Status:  ") + orNone(alarmList);
    text += crlf + QStringLiteral("Alarms Since Last Polling:  ") + orNone(alarmsSince) +
            videolossLine + lastLine;
    if (code == StatusBlock::Zpt)
        text += crlf + diskText(block);

    if (m_decodeError)
        return header + crlf + QStringLiteral("Internal Error: Create Status String ") +
               QString::number(block.size() - 1) + QLatin1Char(' ') + m_errorDescription +
               QLatin1Char(' ') + QString::number(m_errorNumber);
    return text;
}

QString clsStatusString::connectionText(const StatusBlock& block)
{
    const auto entries = block.connections();
    if (!entries) {
        fail(9, QStringLiteral("Subscript out of range"));
        return QString();
    }
    if (entries->isEmpty())
        return QStringLiteral("No ServerSocket or StreamSocket connections.");
    QList<StatusBlock::Connection> normal;
    QList<StatusBlock::Connection> live;
    for (const auto& entry : *entries)
        (entry.isLive() ? live : normal).append(entry);
    return connectionGroupText(normal, QStringLiteral("ServerSocket"),
                               QStringLiteral("  Normal Connection")) +
           crlf +
           connectionGroupText(live, QStringLiteral("StreamSocket"),
                               QStringLiteral("  Live Connection"));
}

QString clsStatusString::diskText(const StatusBlock& block)
{
    const QString twelveBlanks(12, QLatin1Char(' '));
    QString text;
    for (int i = 0; i < StatusBlock::DiskCount; ++i) {
        const StatusBlock::Disk disk = take(block.disk(i), StatusBlock::Disk{});
        if (disk.blocksRecorded > 0x7FFFFFFFu)
            fail(6, QStringLiteral("Overflow"));
        text += QStringLiteral("Disk") + QString::number(i + 1) +
                QStringLiteral(":  Number of Two Meg Blocks Recorded:  ") +
                QString::number(qint32(disk.blocksRecorded)) + crlf + twelveBlanks +
                QStringLiteral("Oldest Data Time:  ") +
                StatusFormat::unitTimeText(disk.oldestDataTime) + crlf + twelveBlanks +
                QStringLiteral("Newest Data Time:  ") +
                StatusFormat::unitTimeText(disk.newestDataTime) + crlf;
    }
    text += QStringLiteral("Unit ID of Recorded Data :  ") +
            (take(block.recordedUnitId(), quint8(0)) == 16 ? QStringLiteral("XCR")
                                                           : QStringLiteral("Korvo"));
    return text;
}
