#pragma once

#include <QString>

// The process's limit on open files. A simulated unit holds a listening socket (a silent one a
// second socket) and one socket per caller, so a large fleet needs far more than the usual 1024.
struct OpenFileLimit
{
    qint64 before = 0; // the soft limit found
    qint64 now = 0;    // the soft limit after raising it
    qint64 hard = 0;   // the most the system lets this process have without privileges
    qint64 needed = 0;

    bool enough() const { return now >= needed; }
    // Raises the soft limit as far as the system allows (the hard limit, or past it when the
    // process may raise that too) and at least towards needed.
    static OpenFileLimit raiseTo(qint64 needed);
    // What a fleet of the given size needs: its sockets, callers and some spare.
    static qint64 neededFor(int servingUnits, int silentUnits, int callers);
    // For the operator when the limit is too low: what it is and how to raise it.
    QString shortfall() const;
};
