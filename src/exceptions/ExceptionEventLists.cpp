#include "exceptions/ExceptionEventLists.h"

#include "exceptions/ExceptionLogViews.h"
#include "exceptions/ExceptionTexts.h"

#include <array>
#include <QHash>

namespace {

// The channel lists of an alarm or videoloss detail: "5" serves every code, "5+1" gives the
// mask since the last poll and then the current one.
struct DetailChannels
{
    QString sinceLastPoll;
    QString current;
};

QString channelsOf(QStringView mask)
{
    bool ok = false;
    const qint32 value = mask.trimmed().toInt(&ok);
    return ok ? ExceptionTexts::channelList(value) : QString();
}

DetailChannels detailChannels(const QString& detail)
{
    const qsizetype plus = detail.indexOf(u'+');
    if (plus < 0) {
        const QString channels = channelsOf(detail);
        return {channels, channels};
    }
    const QStringView rest = QStringView(detail).mid(plus + 1);
    return {channelsOf(QStringView(detail).left(plus)), channelsOf(rest.left(rest.indexOf(u'+')))};
}

} // namespace

ExceptionEventLists::ExceptionEventLists(const Settings& settings)
    : ExceptionEventLists(settings, ExceptionLogViews::shared())
{}

ExceptionEventLists::ExceptionEventLists(const Settings& settings, ExceptionLogViews& views)
    : m_settings(settings), m_views(views)
{}

void ExceptionEventLists::GetListLogF()
{
    std::array<QString, ExceptionTexts::kLastCode + 1> texts;
    for (int code = ExceptionTexts::kFirstCode; code <= ExceptionTexts::kLastCode; ++code)
        texts[code] = ExceptionTexts::shortText(code, m_settings);

    QList<EventListEntry> list;
    list.reserve(m_views.loaded.size() * 3);
    for (const EventRecord& record : std::as_const(m_views.loaded)) {
        std::optional<DetailChannels> alarm;
        std::optional<DetailChannels> vidloss;
        for (QStringView token : QStringView(record.exceptionString).tokenize(u',')) {
            token = token.trimmed();
            if (token.isEmpty())
                continue;
            bool ok = false;
            int code = token.toInt(&ok);
            if (!ok || code < ExceptionTexts::kFirstCode || code > ExceptionTexts::kLastCode)
                code = 0;
            QString text = texts[code];
            if (code == ExceptionCode::AlarmSinceLastPoll || code == ExceptionCode::CurrentAlarm) {
                if (!alarm)
                    alarm = detailChannels(record.alarmDetail);
                text += code == ExceptionCode::AlarmSinceLastPoll ? alarm->sinceLastPoll
                                                                  : alarm->current;
            } else if (code == ExceptionCode::VidlossSinceLastPoll ||
                       code == ExceptionCode::CurrentVidloss) {
                if (!vidloss)
                    vidloss = detailChannels(record.videolossDetail);
                text += code == ExceptionCode::VidlossSinceLastPoll ? vidloss->sinceLastPoll
                                                                    : vidloss->current;
            }
            list.append({record.address, record.description, record.pollingTime, std::move(text),
                         record.time});
        }
    }
    list.squeeze();
    m_views.fullList = std::move(list);
    m_views.fullListBuilt = true;
}

void ExceptionEventLists::GetListLog()
{
    if (!m_views.fullListBuilt)
        GetListLogF();
    QList<EventListEntry> latest;
    QHash<std::pair<QString, QString>, qsizetype> placeOf;
    placeOf.reserve(m_views.fullList.size());
    for (const EventListEntry& entry : std::as_const(m_views.fullList)) {
        const auto key = std::pair(entry.address, entry.eventText);
        const auto it = placeOf.constFind(key);
        if (it == placeOf.cend()) {
            placeOf.insert(key, latest.size());
            latest.append(entry);
            continue;
        }
        EventListEntry& kept = latest[it.value()];
        if (entry.time > kept.time) {
            kept.pollingTime = entry.pollingTime;
            kept.time = entry.time;
        }
    }
    latest.squeeze();
    m_views.latestList = std::move(latest);
    m_views.latestListBuilt = true;
}

QString ExceptionEventLists::GetReport(bool full)
{
    if (full && !m_views.fullListBuilt)
        GetListLogF();
    if (!full && !m_views.latestListBuilt)
        GetListLog();
    const QList<EventListEntry>& list = full ? m_views.fullList : m_views.latestList;

    static constexpr QStringView kOpen = u" ( ";
    static constexpr QStringView kClose = u" ) ---";
    static constexpr QStringView kLineEnd = u"\r\n";
    static constexpr QStringView kIndent = u"    ";
    qsizetype size = 0;
    for (const EventListEntry& e : list)
        size += e.address.size() + e.description.size() + e.pollingTime.size() +
                e.eventText.size() + 2 * kLineEnd.size() + kOpen.size() + kClose.size() +
                kIndent.size();
    QString report;
    report.reserve(size);
    for (const EventListEntry& e : list) {
        report.append(kLineEnd).append(e.address).append(kOpen).append(e.description);
        report.append(kClose).append(e.pollingTime).append(kLineEnd).append(kIndent);
        report.append(e.eventText);
    }
    return report;
}
