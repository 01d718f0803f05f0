#pragma once

#include "exceptions/DetectionFields.h"

#include <optional>
#include <QHash>
#include <QString>

// What detection remembered of a unit's last status poll.
struct PreviousStatus
{
    quint8 recordStatus = 0;
    double clock = 0;
    double powerOnSeconds = 0;
    quint8 archiveStatus = 0;
    QString softwareVersion;
    QString diskCapacity;
    qint32 historyAlarm = 0;
    qint32 historyVidloss = 0;
    qint32 currentAlarm = 0;
    qint32 currentVidloss = 0;
    quint8 hardware = 0;
    // Set after the unit's clock was set, so the next poll does not take the jump for a fault.
    bool resetMark = false;

    // Takes the new values; a field this unit kind does not report keeps its old value.
    void update(const DetectionFields& fields);
};

// The memory of exception detection, one for the whole process so that every handler object
// sees the same history: the previous status and the last connection outcome per unit address
// (compared exactly), the notify flag, and the alarm and videoloss details of the last detection.
// Entries are never removed while the program runs.
class DetectionMemory
{
public:
    static DetectionMemory& shared();

    PreviousStatus* previousStatus(const QString& unitKey);
    PreviousStatus& addPreviousStatus(const QString& unitKey, const DetectionFields& fields);
    // Returns false when the unit has no entry yet.
    bool setResetMark(const QString& unitKey);

    std::optional<bool> connectionState(const QString& unitKey) const;
    void setConnectionState(const QString& unitKey, bool connected);

    bool notifyFlag() const { return m_notify; }
    void raiseNotifyFlag() { m_notify = true; }
    void clearNotifyFlag() { m_notify = false; }

    QString alarmDetail() const { return m_alarmDetail; }
    QString videolossDetail() const { return m_videolossDetail; }
    void clearDetails();
    // A single mask, or the mask since the last poll and the current one joined by "+".
    void addAlarmMask(qint32 mask) { append(m_alarmDetail, mask); }
    void addVidlossMask(qint32 mask) { append(m_videolossDetail, mask); }

    qsizetype previousStatusCount() const { return m_previous.size(); }
    qsizetype connectionStateCount() const { return m_connected.size(); }

    // Forgets everything, as at program start.
    void clear();

private:
    static void append(QString& detail, qint32 mask);

    QHash<QString, PreviousStatus> m_previous;
    QHash<QString, bool> m_connected;
    bool m_notify = false;
    QString m_alarmDetail;
    QString m_videolossDetail;
};
