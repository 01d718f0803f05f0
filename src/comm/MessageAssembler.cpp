#include "MessageAssembler.h"

namespace {

constexpr int HeaderSize = 8;

} // namespace

MessageAssembler::Joining MessageAssembler::joiningFor(quint8 code, quint8 subCode)
{
    switch (code) {
    case 100:
        return subCode <= 1 ? Joining::InMemory : Joining::FirstPieceOnly;
    case 101:
        if (subCode == 0)
            return Joining::InMemory;
        return subCode == 1 ? Joining::DropFirstThree : Joining::FirstPieceOnly;
    case 104:
        return subCode == 0 ? Joining::InMemory : Joining::FirstPieceOnly;
    case 105:
        return subCode <= 1 ? Joining::InMemory : Joining::FirstPieceOnly;
    default:
        return Joining::FirstPieceOnly;
    }
}

MessageAssembler::Arrival MessageAssembler::add(QByteArrayView piece)
{
    Arrival arrival;
    if (!m_headerRead) {
        // A header may itself come in pieces; it is kept until it is whole.
        const qsizetype need = HeaderSize - m_header.size();
        m_header.append(piece.first(qMin(need, piece.size())));
        piece = piece.sliced(qMin(need, piece.size()));
        if (m_header.size() < HeaderSize)
            return arrival;

        const auto* h = reinterpret_cast<const quint8*>(m_header.constData());
        m_code = h[2];
        m_subCode = h[3];
        m_expected = (quint32(h[4]) << 24) | (quint32(h[5]) << 16) | (quint32(h[6]) << 8) | h[7];
        m_header.clear();
        if (m_expected > MaxPayloadLength) {
            reset();
            arrival.broken = true;
            return arrival;
        }
        m_headerRead = true;
        m_joining = joiningFor(m_code, m_subCode);
        m_received = 0;
        m_pieceCount = 0;
        m_data.clear();
        arrival.progress = true;
    } else {
        ++m_pieceCount;
        arrival.progress = true;
    }

    // Only what has actually arrived is buffered, never more than the announced length.
    const quint32 wanted = m_expected - m_received;
    const QByteArrayView taken = piece.first(qMin(qsizetype(wanted), piece.size()));
    m_received += quint32(taken.size());
    if (m_pieceCount == 0 || m_joining != Joining::FirstPieceOnly)
        m_data.append(taken);

    if (m_received == m_expected)
        arrival.message = complete();
    return arrival;
}

MessageAssembler::Message MessageAssembler::complete()
{
    Message message{m_code, m_subCode, m_data, std::nullopt};
    if (m_joining == Joining::DropFirstThree) {
        // A payload too short to hold the 3 bytes leaves nothing.
        if (message.data.size() > 2)
            message.droppedByte = quint8(message.data.at(2));
        message.data = message.data.size() > 3 ? message.data.sliced(3) : QByteArray();
    }
    reset();
    return message;
}

void MessageAssembler::reset()
{
    m_header.clear();
    m_headerRead = false;
    m_expected = 0;
    m_received = 0;
    m_pieceCount = 0;
    m_data.clear();
}
