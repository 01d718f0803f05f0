#pragma once

#include <optional>
#include <QByteArray>
#include <QByteArrayView>

// Reassembles one answer message at a time from the pieces in which it arrives. A message is an
// 8-byte header (0xFF 0xFF, message code, sub-code, payload length as unsigned 32 bits, most
// significant byte first) and its payload. The pieces after the header piece are joined or
// dropped according to the message code and sub-code. One answer per request: bytes that arrive
// in the same piece after the announced length are discarded.
class MessageAssembler
{
public:
    // A larger announced length is a broken message: buffering it could never end well.
    static constexpr quint32 MaxPayloadLength = 16u * 1024u * 1024u;

    enum class Joining {
        InMemory,       // the payload is the first piece and every later piece, in order
        DropFirstThree, // as in memory, without the first 3 payload bytes
        FirstPieceOnly, // the later pieces are not joined
    };

    struct Message
    {
        quint8 code = 0;
        quint8 subCode = 0;
        QByteArray data;
        // Payload byte 2 of a message whose first 3 bytes were dropped.
        std::optional<quint8> droppedByte;
    };

    struct Arrival
    {
        bool progress = false; // the header was read with this piece, or a later piece was added
        bool broken = false;   // the header announced an impossible length; nothing is kept
        std::optional<Message> message;
    };

    static Joining joiningFor(quint8 code, quint8 subCode);

    // Takes the bytes of one data arrival.
    Arrival add(QByteArrayView piece);
    // Forgets any message in reception: the next bytes are read as a new header.
    void reset();

    bool inProgress() const { return m_headerRead; }
    bool hasPartialHeader() const { return !m_header.isEmpty(); }
    int pieceCount() const { return m_pieceCount; }

private:
    Message complete();

    QByteArray m_header;
    bool m_headerRead = false;
    quint8 m_code = 0;
    quint8 m_subCode = 0;
    quint32 m_expected = 0;
    quint32 m_received = 0;
    int m_pieceCount = 0; // pieces after the header piece
    Joining m_joining = Joining::FirstPieceOnly;
    QByteArray m_data;
};
