#include "platform/DateTimePattern.h"

#include "platform/Clock.h"

#include <array>

namespace {

// The number at the front of text, of exactly n digits (any script's decimal digits).
std::optional<int> leadingNumber(QStringView text, int n)
{
    if (text.size() < n)
        return std::nullopt;
    int value = 0;
    for (int i = 0; i < n; ++i) {
        const int digit = text.at(i).digitValue();
        if (digit < 0)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

std::optional<DateTimePattern> DateTimePattern::compile(const QLocale& locale,
                                                        const QString& format)
{
    DateTimePattern p;
    p.m_locale = locale;
    p.m_format = format;

    const auto literal = [&p](const QString& text) {
        if (!p.m_tokens.isEmpty() && p.m_tokens.last().field == Field::Literal)
            p.m_tokens.last().literal += text;
        else
            p.m_tokens.append(Token{Field::Literal, 0, text, {}});
    };
    const auto namesOf = [&locale](const QString& pattern, int count, auto valueToDate) {
        QStringList names;
        for (int i = 1; i <= count; ++i)
            names.append(locale.toString(valueToDate(i), pattern));
        return names;
    };

    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            const qsizetype end = format.indexOf(u'\'', i + 1);
            if (end < 0)
                return std::nullopt;
            literal(end == i + 1 ? QStringLiteral("'") : format.mid(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        // Only the pattern letters are fields; every other character is written as it is.
        if (!QStringView(u"dMyhHmsaAzt").contains(c)) {
            literal(QString(c));
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < format.size() && format.at(j) == c)
            ++j;
        const int run = static_cast<int>(j - i);
        const QString pattern(run, c);
        Token t;
        if (c == u'd' && run <= 2) {
            t = {Field::Day, run, {}, {}};
        } else if (c == u'd' && run <= 4) {
            // Day names: 2001-01-01 was a Monday.
            t = {Field::DayName, 0, {}, namesOf(pattern, 7, [](int v) {
                     return QDate(2001, 1, v);
                 })};
        } else if (c == u'M' && run <= 2) {
            t = {Field::Month, run, {}, {}};
        } else if (c == u'M' && run <= 4) {
            t = {Field::MonthName, 0, {}, namesOf(pattern, 12, [](int v) {
                     return QDate(2001, v, 1);
                 })};
        } else if (c == u'y' && run == 4) {
            t = {Field::Year, 4, {}, {}};
        } else if ((c == u'h' || c == u'H') && run <= 2) {
            t = {c == u'h' ? Field::Hour12 : Field::Hour24, run, {}, {}};
        } else if (c == u'm' && run <= 2) {
            t = {Field::Minute, run, {}, {}};
        } else if (c == u's' && run <= 2) {
            t = {Field::Second, run, {}, {}};
        } else if ((c == u'A' || c == u'a') && run == 1) {
            // "AP"/"ap" and "A"/"a" write the same text.
            if (j < format.size() && format.at(j) == (c == u'A' ? u'P' : u'p'))
                ++j;
            const QString ap(1, c);
            t = {Field::AmPm,
                 0,
                 {},
                 {locale.toString(QTime(1, 0), ap), locale.toString(QTime(13, 0), ap)}};
        } else {
            return std::nullopt;
        }
        p.m_tokens.append(t);
        i = j;
    }
    // A 12-hour clock without its AM/PM mark could not be read back.
    bool hour12 = false;
    bool ampm = false;
    for (const Token& t : p.m_tokens) {
        hour12 = hour12 || t.field == Field::Hour12;
        ampm = ampm || t.field == Field::AmPm;
    }
    if (hour12 && !ampm)
        return std::nullopt;
    return p;
}

QString DateTimePattern::toString(const QDateTime& wallClock) const
{
    return m_locale.toString(wallClock, m_format);
}

std::optional<QDateTime> DateTimePattern::parse(const QString& text) const
{
    Values values;
    if (!match(0, text, values))
        return std::nullopt;
    const QDateTime result = wallClock(QDate(values.year, values.month, values.day),
                                       QTime(values.hour, values.minute, values.second));
    // Day names and ambiguous digits are settled by writing the result again.
    if (toString(result) != text)
        return std::nullopt;
    return result;
}

bool DateTimePattern::match(int index, QStringView rest, Values& values) const
{
    if (index == m_tokens.size()) {
        if (!rest.isEmpty())
            return false;
        Values v = values;
        if (v.pm >= 0) {
            if (v.hour < 1 || v.hour > 12)
                return false;
            v.hour = v.hour % 12 + (v.pm == 1 ? 12 : 0);
        }
        const QDate date(v.year, v.month, v.day);
        const QTime time(v.hour, v.minute, v.second);
        if (!date.isValid() || !time.isValid())
            return false;
        values = v;
        return true;
    }
    const Token& t = m_tokens.at(index);
    const auto tryNumber = [&]() {
        // One or two digits: two first.
        const std::array<int, 2> widths = t.width == 1 ? std::array{2, 1} : std::array{t.width, 0};
        for (const int n : widths) {
            if (n == 0)
                break;
            if (const auto value = leadingNumber(rest, n)) {
                Values v = values;
                (t.field == Field::Day      ? v.day
                 : t.field == Field::Month  ? v.month
                 : t.field == Field::Year   ? v.year
                 : t.field == Field::Minute ? v.minute
                 : t.field == Field::Second ? v.second
                                            : v.hour) = *value;
                if (match(index + 1, rest.mid(n), v)) {
                    values = v;
                    return true;
                }
            }
        }
        return false;
    };
    switch (t.field) {
    case Field::Literal:
        return rest.startsWith(t.literal) && match(index + 1, rest.mid(t.literal.size()), values);
    case Field::Day:
    case Field::Month:
    case Field::Year:
    case Field::Hour12:
    case Field::Hour24:
    case Field::Minute:
    case Field::Second:
        return tryNumber();
    case Field::DayName:
    case Field::MonthName:
    case Field::AmPm:
        for (int i = 0; i < t.names.size(); ++i) {
            const QString& name = t.names.at(i);
            if (name.isEmpty() || !rest.startsWith(name))
                continue;
            Values v = values;
            if (t.field == Field::MonthName)
                v.month = i + 1;
            else if (t.field == Field::AmPm)
                v.pm = i;
            if (match(index + 1, rest.mid(name.size()), v)) {
                values = v;
                return true;
            }
        }
        return false;
    }
    return false;
}
