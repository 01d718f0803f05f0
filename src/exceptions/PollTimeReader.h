#pragma once

#include <optional>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>

class Locale;

// Reads poll times back from their general date-time text, for a pass over the event log.
//
// The adapter's parser costs a few microseconds a text, which would dominate loading a long log.
// So for a long pass the reader first learns the adapter's own time-of-day texts, one per second
// of a day, and reads a text as what the general text is made of: a short date (parsed by the
// adapter, once per date) and a blank before one of those texts. Whatever does not split that
// way still goes to the adapter's parser, and if the adapter's texts are not made that way the
// reader never uses its table.
class PollTimeReader
{
public:
    // Learning the texts costs about as much as parsing this many texts.
    static constexpr qint64 kLearnAfter = 16384;

    // expectedTexts: how many texts the pass will read, if known; a long pass learns at once.
    explicit PollTimeReader(const Locale& locale, qint64 expectedTexts = 0);

    std::optional<QDateTime> read(const QString& text);

private:
    enum class Table { NotLearned, Ready, Unusable };

    void learnTimeTexts();
    std::optional<QDateTime> readBySplitting(const QString& text);
    std::optional<QDate> dateOf(const QString& text);

    const Locale& m_locale;
    qint64 m_adapterReads = 0;
    Table m_table = Table::NotLearned;
    QHash<QString, int> m_secondOfDay;
    QHash<QString, std::optional<QDate>> m_dates;
    // Records of one poll share their time.
    std::optional<QString> m_lastText;
    std::optional<QDateTime> m_last;
};
