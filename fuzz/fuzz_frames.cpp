// The transport's frame reader: an arbitrary byte stream cut into arbitrary pieces, with the
// input flushed at arbitrary moments, as a unit that answers badly would deliver it.

#include "comm/clsSocketsDLL.h"
#include "comm/MessageAssembler.h"
#include "FuzzEnvironment.h"

#include <QList>

namespace {

// Each cut byte: bit 7 flushes the reader before the piece, bits 0 to 6 are the piece length,
// 127 meaning everything that is left.
constexpr quint8 kFlush = 0x80;
constexpr quint8 kRest = 0x7F;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    QList<quint8> cuts;
    for (int n = input.byte() % 16; n > 0; --n)
        cuts.append(input.byte());
    const QByteArray stream = input.rest();
    if (cuts.isEmpty() ||
        std::all_of(cuts.begin(), cuts.end(), [](quint8 c) { return (c & kRest) == 0; }))
        cuts = {kRest};

    MessageAssembler reader;
    qsizetype pos = 0;
    qsizetype sinceHeader = 0; // bytes offered since the message in reception began
    for (int i = 0; pos < stream.size(); ++i) {
        const quint8 cut = cuts.at(i % cuts.size());
        if (cut & kFlush) {
            reader.reset();
            sinceHeader = 0;
            FUZZ_CHECK(!reader.inProgress() && !reader.hasPartialHeader());
        }
        const qsizetype length = (cut & kRest) == kRest ? stream.size() - pos : (cut & kRest);
        const QByteArrayView piece =
            QByteArrayView(stream).sliced(pos, qMin(length, stream.size() - pos));
        pos += piece.size();
        const bool wasInProgress = reader.inProgress();
        sinceHeader += piece.size();

        const MessageAssembler::Arrival arrival = reader.add(piece);
        if (arrival.broken) {
            FUZZ_CHECK(!arrival.message && !reader.inProgress());
            sinceHeader = 0;
        }
        if (wasInProgress)
            FUZZ_CHECK(arrival.progress);
        if (arrival.message) {
            const MessageAssembler::Message& m = *arrival.message;
            FUZZ_CHECK(!reader.inProgress());
            FUZZ_CHECK(m.data.size() <= qsizetype(MessageAssembler::MaxPayloadLength));
            FUZZ_CHECK(m.data.size() + 8 <= sinceHeader);
            const bool dropped = MessageAssembler::joiningFor(m.code, m.subCode) ==
                                 MessageAssembler::Joining::DropFirstThree;
            FUZZ_CHECK(dropped || !m.droppedByte);
            sinceHeader = 0;
            // The readers of a payload take their numbers this way.
            for (int start = -1; start <= m.data.size(); start += 3) {
                const int count = 1 + (start & 3);
                const auto value = clsSocketsDLL::BytesToLong(m.data, start, count);
                FUZZ_CHECK(!value || (start >= 0 && start + count <= m.data.size() && *value >= 0));
            }
        }
    }
    return 0;
}
