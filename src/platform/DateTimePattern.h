#pragma once

#include <optional>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QVector>

// A date-time format of QLocale's pattern language, written with QLocale and read back by our own
// strict matcher. Qt's own parser is not used: it misreads some locales' AM/PM and month texts.
// A text is accepted only when writing its result gives the very same text again.
class DateTimePattern
{
public:
    // Fails for patterns with parts that cannot be read back (time zones, milliseconds, ...).
    static std::optional<DateTimePattern> compile(const QLocale& locale, const QString& format);

    QString format() const { return m_format; }
    QString toString(const QDateTime& wallClock) const;
    // A wall-clock time (date and time of day; a pattern without a time gives midnight).
    std::optional<QDateTime> parse(const QString& text) const;

private:
    enum class Field {
        Literal,
        Day,
        DayName,
        Month,
        MonthName,
        Year,
        Hour12,
        Hour24,
        Minute,
        Second,
        AmPm
    };
    struct Token
    {
        Field field = Field::Literal;
        int width = 0;     // 1 = one or two digits, 2 = exactly two, 4 = exactly four
        QString literal;   // Literal only
        QStringList names; // the texts this locale writes for a name field, by value - 1
    };
    struct Values
    {
        int day = 1, month = 1, year = 2000, hour = 0, minute = 0, second = 0;
        int pm = -1; // -1 none, 0 AM, 1 PM
    };

    bool match(int token, QStringView rest, Values& values) const;

    QLocale m_locale;
    QString m_format;
    QVector<Token> m_tokens;
};
