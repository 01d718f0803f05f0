#pragma once

#include <optional>
#include <QByteArray>
#include <QString>

class StatusBlock;

// Turns a unit's status block into the multi-line status text of the reports.
class clsStatusString
{
public:
    // The status text under the given header. A block too short for its type gives the internal
    // error text; an unknown type gives the header and "Unsupported Unit Type".
    QString CreatStatusString(const QByteArray& block, const QString& header);

    // Set by the last call when a field could not be decoded.
    bool decodeError() const { return m_decodeError; }
    // Set by the last call when the unit's clock could not be read: the unit should be told to
    // set its date ("Invalid unit date detected...").
    bool invalidUnitDate() const { return m_invalidUnitDate; }

private:
    template <typename T> T take(const std::optional<T>& value, const T& fallback);
    void fail(int number, const QString& description);

    QString connectionText(const StatusBlock& block);
    QString diskText(const StatusBlock& block);
    QString unitTimeText(std::optional<quint32> seconds);

    bool m_decodeError = false;
    bool m_invalidUnitDate = false;
    int m_errorNumber = 0;
    QString m_errorDescription;
};
