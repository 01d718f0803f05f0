#pragma once

#include <optional>
#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

// One line of the exception event log: six fields, each in double quotes, separated by commas.
struct EventRecord
{
    QString address;
    QString description;
    QString pollingTime; // as written, in the general date-time text
    QString exceptionString;
    QString alarmDetail;
    QString videolossDetail;
    QDateTime time; // pollingTime read back; set by whoever parses it

    // The line without its line end, in the log's code page. A field cannot hold a double quote
    // or a line break, so those become an apostrophe and a blank.
    QByteArray toLine() const;
    // The six fields of a line (its line end already removed); nothing when the line is not
    // six quoted fields. The time is left unset.
    static std::optional<EventRecord> fromLine(QByteArrayView line);
};

// One exception of a record, as the log viewer lists it.
struct EventListEntry
{
    QString address;
    QString description;
    QString pollingTime;
    QString eventText;
    QDateTime time;
};
