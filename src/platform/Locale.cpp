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

bool roundTrips(const DateTimePattern& pattern, bool dateOnly)
{
    static const std::array probes = {
        wallClock(QDate(2026, 1, 5), QTime(3, 4, 5)),
        wallClock(QDate(2026, 12, 31), QTime(23, 59, 59)),
        wallClock(QDate(1999, 7, 15), QTime(12, 0, 0)),
        wallClock(QDate(2038, 10, 28), QTime(0, 30, 7)),
        wallClock(QDate(1960, 1, 1), QTime(0, 0, 0)),
    };
    for (QDateTime probe : probes) {
        if (dateOnly)
            probe.setTime(QTime(0, 0));
        const auto back = pattern.parse(pattern.toString(probe));
        if (!back || *back != probe)
            return false;
    }
    return true;
}

} // namespace

LocaleFormats::LocaleFormats(const QLocale& locale) : m_locale(locale)
{
    QString date = fourDigitYear(m_locale.dateFormat(QLocale::ShortFormat));
    QString time = withoutZoneName(m_locale.timeFormat(QLocale::LongFormat));
    if (!hasLetter(time, u's'))
        time = withoutZoneName(m_locale.timeFormat(QLocale::ShortFormat)) + QStringLiteral(":ss");

    const auto attempt = [this](const QLocale& textLocale, const QString& d, const QString& t) {
        auto general = DateTimePattern::compile(textLocale, d + QStringLiteral(" ") + t);
        auto shortDate = DateTimePattern::compile(textLocale, d);
        if (!general || !shortDate || !roundTrips(*general, false) || !roundTrips(*shortDate, true))
            return false;
        m_general = std::move(*general);
        m_shortDate = std::move(*shortDate);
        return true;
    };
    if (attempt(m_locale, date, time) || attempt(m_locale, zeroPadded(date), zeroPadded(time)))
        return;
    // Latin digits in ISO order: always readable.
    attempt(QLocale::c(), QStringLiteral("yyyy-MM-dd"), QStringLiteral("HH:mm:ss"));
}

QString LocaleFormats::dateFormat() const
{
    return m_shortDate.format();
}

QString LocaleFormats::generalFormat() const
{
    return m_general.format();
}

QString LocaleFormats::generalDateTimeText(const QDateTime& wallClock) const
{
    return m_general.toString(wallClock);
}

std::optional<QDateTime> LocaleFormats::parseGeneralDateTime(const QString& text) const
{
    return m_general.parse(text);
}

QString LocaleFormats::shortDateText(const QDate& date) const
{
    return m_shortDate.toString(wallClock(date, QTime(0, 0)));
}

std::optional<QDate> LocaleFormats::parseShortDate(const QString& text) const
{
    const auto parsed = m_shortDate.parse(text);
    if (!parsed)
        return std::nullopt;
    return parsed->date();
}

QString LocaleFormats::decimalSeparator() const
{
    return m_locale.decimalPoint();
}
