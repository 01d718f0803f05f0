#include "exceptions/EventRecord.h"

#include "platform/CodePage.h"

#include <array>

namespace {

constexpr int kFieldCount = 6;

QString safeField(const QString& field)
{
    QString out = field;
    out.replace(u'"', u'\'');
    out.replace(u'\r', u' ');
    out.replace(u'\n', u' ');
    return out;
}

} // namespace

QByteArray EventRecord::toLine() const
{
    const std::array<const QString*, kFieldCount> fields = {
        &address, &description, &pollingTime, &exceptionString, &alarmDetail, &videolossDetail};
    QString line;
    for (const QString* field : fields) {
        if (!line.isEmpty())
            line += u',';
        line += u'"' + safeField(*field) + u'"';
    }
    return CodePage::encode(line);
}

std::optional<EventRecord> EventRecord::fromLine(QByteArrayView line)
{
    const QString text = CodePage::decode(line.trimmed());
    if (text.size() < 2 || !text.startsWith(u'"') || !text.endsWith(u'"'))
        return std::nullopt;
    const QStringView inner = QStringView(text).mid(1, text.size() - 2);
    std::array<QString, kFieldCount> fields;
    int count = 0;
    for (const QStringView field : inner.tokenize(u"\",\"")) {
        if (count == kFieldCount || field.contains(u'"'))
            return std::nullopt;
        fields[count++] = field.toString();
    }
    if (count != kFieldCount)
        return std::nullopt;
    EventRecord record;
    record.address = std::move(fields[0]);
    record.description = std::move(fields[1]);
    record.pollingTime = std::move(fields[2]);
    record.exceptionString = std::move(fields[3]);
    record.alarmDetail = std::move(fields[4]);
    record.videolossDetail = std::move(fields[5]);
    return record;
}
