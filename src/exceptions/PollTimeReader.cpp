#include "exceptions/PollTimeReader.h"

#include "platform/Clock.h"
#include "platform/Locale.h"

#include <QList>

namespace {

constexpr int kSecondsPerDay = 86400;
// Dates of a log are few; a damaged log could hold any number of date-like texts.
constexpr qsizetype kMaxCachedDates = 4096;

} // namespace

PollTimeReader::PollTimeReader(const Locale& locale, qint64 expectedTexts) : m_locale(locale)
{
    if (expectedTexts >= kLearnAfter)
        learnTimeTexts();
}

std::optional<QDateTime> PollTimeReader::read(const QString& text)
{
    if (m_lastText && text == *m_lastText)
        return m_last;
    if (m_table == Table::NotLearned && m_adapterReads >= kLearnAfter)
        learnTimeTexts();
    if (m_table == Table::Ready) {
        m_last = readBySplitting(text);
    } else {
        ++m_adapterReads;
        m_last = m_locale.parseGeneralDateTime(text);
    }
    m_lastText = text;
    return m_last;
}

void PollTimeReader::learnTimeTexts()
{
    m_table = Table::Unusable;
    const QDate reference(2001, 1, 1);
    const QString prefix = m_locale.shortDateText(reference) + u' ';
    QList<QString> timeTexts;
    timeTexts.reserve(kSecondsPerDay);
    QHash<QString, int> secondOfDay;
    secondOfDay.reserve(kSecondsPerDay);
    for (int s = 0; s < kSecondsPerDay; ++s) {
        const QString full =
            m_locale.generalDateTimeText(wallClock(reference, QTime(0, 0).addSecs(s)));
        if (!full.startsWith(prefix))
            return;
        timeTexts.append(full.sliced(prefix.size()));
        secondOfDay.insert(timeTexts.back(), s);
    }
    if (secondOfDay.size() != kSecondsPerDay)
        return; // two seconds share a text
    // The time part must not depend on the date.
    for (const QDate date : {QDate(1960, 1, 1), QDate(1999, 12, 31), QDate(2026, 7, 4)}) {
        for (const int s : {0, 12 * 3600 + 61, kSecondsPerDay - 1}) {
            const QString full =
                m_locale.generalDateTimeText(wallClock(date, QTime(0, 0).addSecs(s)));
            if (full != m_locale.shortDateText(date) + u' ' + timeTexts[s])
                return;
        }
    }
    m_secondOfDay = std::move(secondOfDay);
    m_table = Table::Ready;
}

std::optional<QDateTime> PollTimeReader::readBySplitting(const QString& text)
{
    // The adapter's parser tries the blanks in the same order.
    for (qsizetype at = text.indexOf(u' '); at > 0; at = text.indexOf(u' ', at + 1)) {
        const auto second = m_secondOfDay.constFind(text.sliced(at + 1));
        if (second == m_secondOfDay.cend())
            continue;
        if (const auto date = dateOf(text.left(at)))
            return wallClock(*date, QTime(0, 0).addSecs(second.value()));
    }
    return m_locale.parseGeneralDateTime(text);
}

std::optional<QDate> PollTimeReader::dateOf(const QString& text)
{
    const auto cached = m_dates.constFind(text);
    if (cached != m_dates.cend())
        return cached.value();
    if (m_dates.size() >= kMaxCachedDates)
        m_dates.clear();
    const std::optional<QDate> date = m_locale.parseShortDate(text);
    m_dates.insert(text, date);
    return date;
}
