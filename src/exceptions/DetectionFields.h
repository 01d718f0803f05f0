#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

// The values of a status block that exception detection looks at, read through StatusBlock. The
// unit kind is the type code (byte 0 without bit 7); the vehicle recorder (kind 4) has no archive
// status, and only kinds 2, 3 and 4 report a hardware byte.
struct DetectionFields
{
    int kind = 0;
    quint8 recordStatus = 0;
    std::optional<quint8> archiveStatus; // not on vehicle units
    double clock = 0;                    // seconds since 01/01/1960 00:00:00, unit local time
    double powerOnSeconds = 0;
    QString softwareVersion;
    QString diskCapacity;
    qint32 currentAlarm = 0;
    qint32 currentVidloss = 0;
    qint32 historyAlarm = 0;
    qint32 historyVidloss = 0;
    std::optional<quint8> hardware; // kinds 2, 3 and 4 only

    // Nothing for a kind detection does not know, or for a block too short for its kind.
    static std::optional<DetectionFields> read(const QByteArray& block,
                                               const QString& decimalSeparator);
};
