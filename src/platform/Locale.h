#pragma once

#include "platform/DateTimePattern.h"

#include <optional>
#include <QDateTime>
#include <QLocale>
#include <QString>

// Locale-dependent texts. The general date-time text is the one form in which the program writes
// unit clocks, poll times and event-log times, and parseGeneralDateTime() is its exact inverse.
class Locale
{
public:
    virtual ~Locale() = default;

    // Short date with a four-digit year, a blank, long time with seconds, no zone name.
    virtual QString generalDateTimeText(const QDateTime& wallClock) const = 0;
    // The wall-clock time of a text generalDateTimeText() wrote, or nothing.
    virtual std::optional<QDateTime> parseGeneralDateTime(const QString& text) const = 0;
    // The date part of the general date-time text.
    virtual QString shortDateText(const QDate& date) const = 0;
    virtual std::optional<QDate> parseShortDate(const QString& text) const = 0;
    virtual QString decimalSeparator() const = 0;
};

// The texts of one QLocale. Formats that would not read back are replaced by zero-padded ones,
// and as a last resort by ISO forms, so that every text written can be read again.
class LocaleFormats : public Locale
{
public:
    explicit LocaleFormats(const QLocale& locale);

    const QLocale& locale() const { return m_locale; }
    QString dateFormat() const;
    QString generalFormat() const;

    QString generalDateTimeText(const QDateTime& wallClock) const override;
    std::optional<QDateTime> parseGeneralDateTime(const QString& text) const override;
    QString shortDateText(const QDate& date) const override;
    std::optional<QDate> parseShortDate(const QString& text) const override;
    QString decimalSeparator() const override;

private:
    QLocale m_locale;
    DateTimePattern m_general;
    DateTimePattern m_shortDate;
};

// The user's locale as the system reports it.
class SystemLocale : public LocaleFormats
{
public:
    SystemLocale() : LocaleFormats(QLocale::system()) {}
};
