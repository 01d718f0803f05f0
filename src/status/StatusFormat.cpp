#include "StatusFormat.h"

#include "platform/Locale.h"
#include "platform/Platform.h"

#include <cmath>
#include <QStringList>

namespace StatusFormat {

QString durationText(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        return QStringLiteral("00:00:00");
    const qint64 s = qint64(seconds);
    const qint64 hours = s / 3600;
    const qint64 minutes = (s - 3600 * hours) / 60;
    const qint64 rest = s - 3600 * hours - 60 * minutes;
    return QString::asprintf("%02lld:%02lld:%02lld", hours, minutes, rest);
}

QString unitTimeText(quint32 seconds)
{
    return Platform::locale().generalDateTimeText(StatusBlock::unitClock(seconds));
}

QString versionText(StatusBlock::Version version, const QString& separator)
{
    return QString::number(version.major) + separator +
           QStringLiteral("%1").arg(version.minor, 2, 10, QLatin1Char('0'));
}

QString diskCapacityText(quint16 capacity, bool isNumber, const QString& separator)
{
    if (isNumber)
        return QString::number(capacity);
    return versionText(StatusBlock::Version{quint8(capacity >> 8), quint8(capacity & 0xFF)},
                       separator);
}

static QString channels(quint16 mask, int first)
{
    QStringList list;
    for (int bit = 0; bit < 16; ++bit) {
        if (mask & (1u << bit))
            list.append(QString::number(first + bit));
    }
    return list.join(QLatin1Char(','));
}

QString channelList1To16(quint16 mask)
{
    return channels(mask, 1);
}

QString channelList17To32(quint16 mask)
{
    return channels(mask, 17);
}

QString channelList(quint32 mask)
{
    const QString low = channelList1To16(quint16(mask & 0xFFFF));
    const QString high = channelList17To32(quint16(mask >> 16));
    if (low.isEmpty())
        return high;
    if (high.isEmpty())
        return low;
    return low + QLatin1Char(',') + high;
}

QString numberWord(int count)
{
    static const char* const words[] = {
        "one",     "two",     "three",     "four",     "five",     "six",      "seven",
        "eight",   "nine",    "ten",       "eleven",   "twelve",   "thirteen", "fourteen",
        "fifteen", "sixteen", "seventeen", "eighteen", "nineteen", "twenty",
    };
    if (count < 1 || count > 20)
        return QString();
    return QString::fromLatin1(words[count - 1]);
}

QString decimalSeparator()
{
    const QString separator = Platform::locale().decimalSeparator();
    const qsizetype nul = separator.indexOf(QChar(u'\0'));
    return nul < 0 ? separator : separator.left(nul);
}

} // namespace StatusFormat
