#pragma once

#include <QByteArray>
#include <QList>

// A status block written field by field, most significant byte first, as a unit sends it.
class BlockWriter
{
public:
    BlockWriter(int size, quint8 typeByte, char fill = 0) : m_bytes(size, fill)
    {
        m_bytes[0] = char(typeByte);
    }
    BlockWriter& put(int pos, quint32 value, int count)
    {
        for (int i = 0; i < count; ++i)
            m_bytes[pos + i] = char(value >> 8 * (count - 1 - i));
        return *this;
    }
    // Fields as blank-separated "position:hex bytes", e.g. "11:04 29:7C7D7995".
    BlockWriter& set(const QByteArray& fields)
    {
        for (const QByteArray& field : fields.split(' ')) {
            const qsizetype colon = field.indexOf(':');
            if (colon > 0)
                bytes(field.left(colon).toInt(), QByteArray::fromHex(field.mid(colon + 1)));
        }
        return *this;
    }
    BlockWriter& u8(int pos, quint8 v) { return put(pos, v, 1); }
    BlockWriter& u16(int pos, quint16 v) { return put(pos, v, 2); }
    BlockWriter& u32(int pos, quint32 v) { return put(pos, v, 4); }
    BlockWriter& bytes(int pos, const QByteArray& b)
    {
        m_bytes.replace(pos, b.size(), b);
        return *this;
    }
    BlockWriter& text(int pos, const char* s) { return bytes(pos, QByteArray(s)); }
    BlockWriter& append(const QByteArray& b)
    {
        m_bytes.append(b);
        return *this;
    }
    operator QByteArray() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
