#pragma once

#include <optional>
#include <QByteArray>
#include <QList>

// How a simulated unit misbehaves. The default is a unit that answers at once and in full.
struct UnitFaults
{
    bool refuseConnection = false;     // nothing listens: the connection is refused
    bool silent = false;               // the connection is never accepted: connecting hangs
    bool closeAtOnce = false;          // accepts, then closes straight away
    bool neverAnswer = false;          // accepts and reads, never answers
    int answerDelayMs = 0;             // every answer comes late
    int pieces = 1;                    // answers come as a header piece and pieces of payload
    int pieceDelayMs = 200;            // between pieces
    std::optional<quint8> refuseLogin; // answer every log-in with this code (0, 2 or 3)
    bool ignoreBlockRead = false;      // never answers the read of block 61
    int shortBlock = 0;                // answers the read of block 61 with only this many bytes
    bool garbage = false;              // answers with random bytes
    bool oversizedLength = false;      // answers with a header announcing an absurd length
    // Raw pieces sent in place of every answer, pieceDelayMs apart.
    QList<QByteArray> scriptedAnswer;

    bool operator==(const UnitFaults&) const = default;
};
