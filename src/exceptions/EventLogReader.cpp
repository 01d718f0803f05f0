#include "exceptions/EventLogReader.h"

#include <algorithm>
#include <QIODevice>

namespace {

constexpr qint64 kChunkBytes = 256 * 1024;

QByteArrayView withoutCarriageReturn(QByteArrayView bytes)
{
    return bytes.endsWith('\r') ? bytes.chopped(1) : bytes;
}

} // namespace

qint64 EventLogReader::readChunk()
{
    if (m_atEnd)
        return 0;
    // A small file needs no full chunk; what is left of it plus one byte shows the end.
    const qint64 left = m_device.isSequential() ? kChunkBytes : m_device.size() - m_device.pos();
    const qint64 wanted = std::clamp<qint64>(left + 1, 1, kChunkBytes);
    const qsizetype before = m_buffer.size();
    m_buffer.resize(before + wanted);
    const qint64 got = m_device.read(m_buffer.data() + before, wanted);
    m_buffer.resize(before + std::max<qint64>(got, 0));
    if (got <= 0)
        m_atEnd = true;
    return std::max<qint64>(got, 0);
}

bool EventLogReader::next(Line& line)
{
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n', m_pos);
        if (end >= 0) {
            // Too long however it fell into the buffer, so the outcome never depends on where
            // the chunks happened to split.
            const bool oversized = end - m_pos > kMaxLineBytes;
            const QByteArrayView bytes(m_buffer.constData() + m_pos, oversized ? 0 : end - m_pos);
            line = {withoutCarriageReturn(bytes), m_bufferOffset + m_pos, end + 1 - m_pos,
                    oversized};
            m_pos = end + 1;
            return true;
        }
        const qsizetype pending = m_buffer.size() - m_pos;
        if (pending > kMaxLineBytes)
            return skipOversized(line);
        if (m_atEnd) {
            if (pending == 0)
                return false;
            const QByteArrayView bytes(m_buffer.constData() + m_pos, pending);
            line = {withoutCarriageReturn(bytes), m_bufferOffset + m_pos, pending, false};
            m_pos = m_buffer.size();
            return true;
        }
        m_buffer.remove(0, m_pos);
        m_bufferOffset += m_pos;
        m_pos = 0;
        readChunk();
    }
}

bool EventLogReader::skipOversized(Line& line)
{
    const qint64 start = m_bufferOffset + m_pos;
    for (;;) {
        // Nothing buffered holds a line end: drop it all.
        m_bufferOffset += m_buffer.size();
        m_buffer.clear();
        m_pos = 0;
        if (readChunk() == 0) {
            line = {{}, start, m_bufferOffset - start, true};
            return true;
        }
        const qsizetype end = m_buffer.indexOf('\n');
        if (end >= 0) {
            m_pos = end + 1;
            line = {{}, start, m_bufferOffset + m_pos - start, true};
            return true;
        }
    }
}
