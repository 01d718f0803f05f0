#pragma once

#include <QDateTime>

// Date arithmetic on wall-clock times (see platform/Clock.h) as unit clocks and the event log
// need it.

// 01/01/1960 00:00:00 plus the given seconds (truncated), the epoch of unit clocks.
QDateTime UnitClock(double seconds);

// Minute boundaries crossed going from one time to the other; negative going backwards.
qint64 minuteBoundariesBetween(const QDateTime& from, const QDateTime& to);
