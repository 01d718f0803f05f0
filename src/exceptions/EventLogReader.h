#pragma once

#include <QByteArray>
#include <QByteArrayView>

class QIODevice;

// Reads a log file line by line through a bounded buffer. Lines may end in CR LF or LF; the last
// line may have no end at all (a write that was cut short). A line longer than kMaxLineBytes is
// reported as oversized, by its place in the file only, so a damaged file never makes the reader
// hold more than that.
class EventLogReader
{
public:
    static constexpr qsizetype kMaxLineBytes = 64 * 1024;

    struct Line
    {
        QByteArrayView bytes; // without the line end; valid until the next call; empty if oversized
        qint64 offset = 0;    // where the line starts in the file
        qint64 size = 0;      // its bytes in the file, line end included
        bool oversized = false;
    };

    explicit EventLogReader(QIODevice& device) : m_device(device) {}

    // False at the end of the file.
    bool next(Line& line);
    // Bytes read from the device so far.
    qint64 consumed() const { return m_bufferOffset + m_buffer.size(); }

private:
    qint64 readChunk();
    bool skipOversized(Line& line);

    QIODevice& m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_bufferOffset = 0; // file position of m_buffer[0]
    bool m_atEnd = false;
};
