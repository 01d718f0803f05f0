#include "exceptions/EventRecord.h"

#include "platform/CodePage.h"

#include <array>

namespace {

constexpr int kFieldCount = 6;
constexpr QByteArrayView kSeparator = "\",\"";

// Bytes outside 0x80..0x9F mean the same in Latin-1 and the log's code page, and Latin-1 has the
// fast conversion.
QString decodeField(QByteArrayView bytes)
{
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 && u <= 0x9F)
            return CodePage::decode(bytes);
    }
    return QString::fromLatin1(bytes);
}

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
    line = line.trimmed();
    if (line.size() < 2 || line.front() != '"' || line.back() != '"')
        return std::nullopt;
    const QByteArrayView inner = line.sliced(1, line.size() - 2);
    std::array<QString, kFieldCount> fields;
    qsizetype from = 0;
    for (int i = 0; i < kFieldCount; ++i) {
        const qsizetype to = i + 1 < kFieldCount ? inner.indexOf(kSeparator, from) : inner.size();
        if (to < 0)
            return std::nullopt;
        const QByteArrayView field = inner.sliced(from, to - from);
        if (field.contains('"'))
            return std::nullopt; // a stray quote, or more than six fields
        fields[i] = decodeField(field);
        from = to + kSeparator.size();
    }
    EventRecord record;
    record.address = std::move(fields[0]);
    record.description = std::move(fields[1]);
    record.pollingTime = std::move(fields[2]);
    record.exceptionString = std::move(fields[3]);
    record.alarmDetail = std::move(fields[4]);
    record.videolossDetail = std::move(fields[5]);
    return record;
}
