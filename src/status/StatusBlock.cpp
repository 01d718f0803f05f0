#include "StatusBlock.h"

#include "platform/Clock.h"
#include "platform/CodePage.h"

#include <cstdio>

namespace {

const QDateTime& unitEpoch()
{
    static const QDateTime epoch = wallClock(QDate(1960, 1, 1), QTime(0, 0, 0));
    return epoch;
}

} // namespace

std::optional<quint32> StatusBlock::number(int pos, int count) const
{
    if (pos < 0 || count < 1 || count > 4 || pos > size() - count)
        return std::nullopt;
    quint32 value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | quint8(m_bytes.at(pos + i));
    return value;
}

std::optional<quint8> StatusBlock::byte(int pos) const
{
    if (pos < 0 || pos >= size())
        return std::nullopt;
    return quint8(m_bytes.at(pos));
}

std::optional<QString> StatusBlock::fixedText(int first, int last) const
{
    if (first < 0 || last < first)
        return std::nullopt;
    int end = first;
    while (end <= last) {
        if (end >= size())
            return std::nullopt;
        if (m_bytes.at(end) == '\0')
            break;
        ++end;
    }
    return CodePage::decode(QByteArrayView(m_bytes).sliced(first, end - first));
}

std::optional<int> StatusBlock::typeCode() const
{
    const auto type = byte(0);
    if (!type)
        return std::nullopt;
    return *type & 0x7F;
}

bool StatusBlock::capacityIsNumber() const
{
    const auto type = byte(0);
    return type && (*type & 0x80);
}

bool StatusBlock::isKnownType(int code)
{
    switch (code) {
    case Korvo:
    case Xcr:
    case XcrC:
    case KorvoTri:
    case Roadscope:
    case Zpt:
    case Yqm:
        return true;
    default:
        return false;
    }
}

bool StatusBlock::hasWideChannelMasks(int code)
{
    return code == Xcr || code == XcrC || code == KorvoTri || code == Zpt;
}

std::optional<QString> StatusBlock::unitTypeName() const
{
    const auto code = typeCode();
    if (!code)
        return std::nullopt;
    switch (*code) {
    case Korvo:
        return QStringLiteral("Korvo");
    case Xcr:
    case XcrC:
        return QStringLiteral("XCR");
    case KorvoTri: {
        const auto ppc = byte(39);
        if (!ppc)
            return std::nullopt;
        if (*ppc >= 6)
            return modelName();
        return QStringLiteral("Korvo Tri");
    }
    case Roadscope:
        return QStringLiteral("Roadscope 3");
    case Zpt:
        return QStringLiteral("ZPT");
    case Yqm:
        return QStringLiteral("YQM");
    default:
        return std::nullopt;
    }
}

bool StatusBlock::isVehicle() const
{
    return typeCode() == Roadscope;
}

std::optional<QString> StatusBlock::dottedAddress(int pos) const
{
    if (!number(pos, 4))
        return std::nullopt;
    // Built in place: a block may list many connections, each with an address.
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%u.%u.%u.%u", quint8(m_bytes.at(pos)),
                                     quint8(m_bytes.at(pos + 1)), quint8(m_bytes.at(pos + 2)),
                                     quint8(m_bytes.at(pos + 3)));
    return QString::fromLatin1(text, length);
}

std::optional<StatusBlock::Version> StatusBlock::version(int pos) const
{
    const auto major = byte(pos);
    const auto minor = byte(pos + 1);
    if (!major || !minor)
        return std::nullopt;
    return Version{*major, *minor};
}

std::optional<quint8> StatusBlock::archiveState() const
{
    return isVehicle() ? std::nullopt : byte(20);
}

std::optional<quint32> StatusBlock::archivingDuration() const
{
    return isVehicle() ? std::nullopt : number(21, 4);
}

std::optional<quint32> StatusBlock::archivingTimeLeft() const
{
    return isVehicle() ? std::nullopt : number(25, 4);
}

std::optional<quint32> StatusBlock::unitTime() const
{
    return number(isVehicle() ? 20 : 29, 4);
}

std::optional<quint32> StatusBlock::timeSincePowerUp() const
{
    return number(isVehicle() ? 24 : 33, 4);
}

std::optional<StatusBlock::Version> StatusBlock::mainVersion() const
{
    return isVehicle() ? std::nullopt : version(37);
}

std::optional<StatusBlock::Version> StatusBlock::powerPcVersion() const
{
    return version(isVehicle() ? 28 : 39);
}

std::optional<quint16> StatusBlock::diskCapacity() const
{
    const auto value = number(isVehicle() ? 30 : 41, 2);
    if (!value)
        return std::nullopt;
    return quint16(*value);
}

std::optional<quint32> StatusBlock::mask(int which) const
{
    const auto code = typeCode();
    if (!code || !isKnownType(*code))
        return std::nullopt;
    if (*code == Roadscope)
        return number(32 + 2 * which, 2);
    if (hasWideChannelMasks(*code))
        return number(43 + 4 * which, 4);
    return number(43 + 2 * which, 2);
}

std::optional<QString> StatusBlock::serialNumber() const
{
    switch (typeCode().value_or(-1)) {
    case Xcr:
    case Zpt:
        return fixedText(59, 78);
    case XcrC:
    case KorvoTri:
        return fixedText(80, 99);
    case Roadscope:
        return fixedText(60, 79);
    default:
        return std::nullopt;
    }
}

std::optional<QString> StatusBlock::modelName() const
{
    switch (typeCode().value_or(-1)) {
    case XcrC:
    case KorvoTri:
        return fixedText(60, 79);
    case Roadscope:
        return fixedText(40, 59);
    default:
        return std::nullopt;
    }
}

std::optional<QString> StatusBlock::macAddress() const
{
    int pos = -1;
    switch (typeCode().value_or(-1)) {
    case XcrC:
    case KorvoTri:
        pos = 100;
        break;
    case Roadscope:
        pos = 80;
        break;
    default:
        return std::nullopt;
    }
    if (pos + 6 > size())
        return std::nullopt;
    QStringList parts;
    for (int i = 0; i < 6; ++i)
        parts.append(QStringLiteral("%1")
                         .arg(quint8(m_bytes.at(pos + i)), 2, 16, QLatin1Char('0'))
                         .toUpper());
    return parts.join(QLatin1Char('-'));
}

std::optional<quint8> StatusBlock::playStatus() const
{
    const int code = typeCode().value_or(-1);
    return code == XcrC || code == KorvoTri ? byte(59) : std::nullopt;
}

std::optional<quint8> StatusBlock::hardwareByte() const
{
    switch (typeCode().value_or(-1)) {
    case XcrC:
    case KorvoTri:
        return byte(106);
    case Roadscope:
        return byte(102);
    default:
        return std::nullopt;
    }
}

std::optional<QString> StatusBlock::vehicleId() const
{
    return isVehicle() ? fixedText(86, 101) : std::nullopt;
}

std::optional<QList<StatusBlock::Connection>> StatusBlock::connections() const
{
    if (typeCode() != KorvoTri)
        return std::nullopt;
    const auto count = byte(107);
    if (!count)
        return std::nullopt;
    QList<Connection> list;
    for (int i = 0; i < *count; ++i) {
        const int pos = 108 + 5 * i;
        const auto code = byte(pos);
        const auto address = dottedAddress(pos + 1);
        if (!code || !address)
            return std::nullopt;
        list.append(Connection{*code, *address});
    }
    return list;
}

std::optional<StatusBlock::Disk> StatusBlock::disk(int index) const
{
    if (typeCode() != Zpt || index < 0 || index >= DiskCount)
        return std::nullopt;
    const int pos = 79 + 12 * index;
    const auto blocks = number(pos, 4);
    const auto oldest = number(pos + 4, 4);
    const auto newest = number(pos + 8, 4);
    if (!blocks || !oldest || !newest)
        return std::nullopt;
    return Disk{*blocks, *oldest, *newest};
}

std::optional<quint8> StatusBlock::recordedUnitId() const
{
    return typeCode() == Zpt ? byte(175) : std::nullopt;
}

QDateTime StatusBlock::unitClock(quint32 seconds)
{
    // Added in steps of at most 2^31 - 1 seconds, as the unit's own date arithmetic does.
    constexpr qint64 step = 2147483647;
    QDateTime t = unitEpoch();
    qint64 left = seconds;
    while (left >= step) {
        t = t.addSecs(step);
        left -= step;
    }
    return t.addSecs(left);
}

std::optional<quint32> StatusBlock::unitTimeOf(const QDateTime& wallClockTime)
{
    const qint64 seconds = unitEpoch().secsTo(wallClockOf(wallClockTime));
    if (seconds < 0 || seconds > qint64(0xFFFFFFFFu))
        return std::nullopt;
    return quint32(seconds);
}
