#include "platform/Locale.h"

#include "platform/Clock.h"

#include <array>

namespace {

// Applies fn to every run of one pattern letter outside quoted literals; fn returns the text
// that replaces the run.
template <typename Fn> QString mapPatternRuns(const QString& format, Fn fn)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (quoted || !c.isLetter()) {
            out += c;
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < format.size() && format.at(j) == c)
            ++j;
        out += fn(c, j - i);
        i = j;
    }
    return out;
}

QString fourDigitYear(const QString& format)
{
    return mapPatternRuns(format, [](QChar c, qsizetype n) {
        return c == u'y' ? QStringLiteral("yyyy") : QString(n, c);
    });
}

QString withoutZoneName(const QString& format)
{
    QString out = mapPatternRuns(
        format, [](QChar c, qsizetype n) { return c == u't' ? QString() : QString(n, c); });
    out.remove(QStringLiteral("()"));
    return out.simplified();
}

QString zeroPadded(const QString& format)
{
    return mapPatternRuns(format, [](QChar c, qsizetype n) {
        if (n == 1 && (c == u'd' || c == u'M' || c == u'h' || c == u'H' || c == u'm' || c == u's'))
            return QString(2, c);
        return QString(n, c);
    });
}

bool hasLetter(const QString& format, QChar letter)
{
    bool found = false;
    mapPatternRuns(format, [&](QChar c, qsizetype n) {
        found = found || c == letter;
        return QString(n, c);
    });
    return found;
}

} // namespace

LocaleFormats::LocaleFormats(const QLocale& locale) : m_locale(locale), m_textLocale(locale)
{
    m_dateFormat = fourDigitYear(m_locale.dateFormat(QLocale::ShortFormat));
    m_timeFormat = withoutZoneName(m_locale.timeFormat(QLocale::LongFormat));
    if (!hasLetter(m_timeFormat, u's'))
        m_timeFormat =
            withoutZoneName(m_locale.timeFormat(QLocale::ShortFormat)) + QStringLiteral(":ss");
    if (roundTrips())
        return;
    m_dateFormat = zeroPadded(m_dateFormat);
    m_timeFormat = zeroPadded(m_timeFormat);
    if (roundTrips())
        return;
    // Some scripts' digits cannot be read back by the parser: Latin digits, ISO order.
    m_textLocale = QLocale::c();
    m_dateFormat = QStringLiteral("yyyy-MM-dd");
    m_timeFormat = QStringLiteral("HH:mm:ss");
}

bool LocaleFormats::roundTrips() const
{
    static const std::array probes = {
        wallClock(QDate(2026, 1, 5), QTime(3, 4, 5)),
        wallClock(QDate(2026, 12, 31), QTime(23, 59, 59)),
        wallClock(QDate(1999, 7, 15), QTime(12, 0, 0)),
        wallClock(QDate(2038, 10, 28), QTime(0, 30, 7)),
        wallClock(QDate(1960, 1, 1), QTime(0, 0, 0)),
    };
    for (const QDateTime& probe : probes) {
        const auto back = parseGeneralDateTime(generalDateTimeText(probe));
        if (!back || *back != probe)
            return false;
    }
    return true;
}

QString LocaleFormats::generalDateTimeText(const QDateTime& wallClock) const
{
    return shortDateText(wallClock.date()) + u' ' +
           m_textLocale.toString(wallClock.time(), m_timeFormat);
}

std::optional<QDateTime> LocaleFormats::parseGeneralDateTime(const QString& text) const
{
    // The date part may hold blanks of its own, so try every blank as the separator and keep
    // the split whose two halves read back to exactly the same text.
    for (qsizetype at = text.indexOf(u' '); at > 0; at = text.indexOf(u' ', at + 1)) {
        const auto date = parseShortDate(text.left(at));
        if (!date)
            continue;
        const QString timeText = text.mid(at + 1);
        const QTime time = m_textLocale.toTime(timeText, m_timeFormat);
        if (time.isValid() && m_textLocale.toString(time, m_timeFormat) == timeText)
            return wallClock(*date, time);
    }
    return std::nullopt;
}

QString LocaleFormats::shortDateText(const QDate& date) const
{
    return m_textLocale.toString(date, m_dateFormat);
}

std::optional<QDate> LocaleFormats::parseShortDate(const QString& text) const
{
    const QDate date = m_textLocale.toDate(text, m_dateFormat);
    if (!date.isValid() || shortDateText(date) != text)
        return std::nullopt;
    return date;
}

QString LocaleFormats::decimalSeparator() const
{
    return m_locale.decimalPoint();
}
