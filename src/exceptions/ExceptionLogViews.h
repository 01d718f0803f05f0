#pragma once

#include "exceptions/EventRecord.h"

#include <QList>

// The loaded event log and the lists built from it, one set for the whole process: the main
// window loads the log and the viewer shows it.
struct ExceptionLogViews
{
    QList<EventRecord> loaded;
    // Set by a load that met a record more than 365 days old; the viewer then prunes the log.
    bool veryOld = false;

    QList<EventListEntry> fullList;
    QList<EventListEntry> latestList;
    // Cleared when the viewer opens, so each opening rebuilds the lists from the latest load.
    bool fullListBuilt = false;
    bool latestListBuilt = false;

    static ExceptionLogViews& shared();
    void clear();
};
