#include "exceptions/WallClockMath.h"

#include "platform/Clock.h"

#include <algorithm>
#include <cmath>

namespace {

qint64 floorMinutes(qint64 seconds)
{
    return seconds >= 0 ? seconds / 60 : -((-seconds + 59) / 60);
}

} // namespace

QDateTime UnitClock(double seconds)
{
    // Far beyond any 32-bit clock, and well inside what the date arithmetic can hold.
    constexpr double kLimit = 1e12;
    if (!std::isfinite(seconds))
        seconds = 0;
    seconds = std::clamp(seconds, -kLimit, kLimit);
    return wallClock(QDate(1960, 1, 1), QTime(0, 0)).addSecs(static_cast<qint64>(seconds));
}

qint64 minuteBoundariesBetween(const QDateTime& from, const QDateTime& to)
{
    return floorMinutes(to.toSecsSinceEpoch()) - floorMinutes(from.toSecsSinceEpoch());
}
