#include "OpenFileLimit.h"

#include <algorithm>
#include <limits>
#include <sys/resource.h>

namespace {

qint64 asNumber(rlim_t value)
{
    return value == RLIM_INFINITY ? std::numeric_limits<qint64>::max() : qint64(value);
}

bool setLimit(rlim_t soft, rlim_t hard)
{
    const rlimit limit{soft, hard};
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

} // namespace

OpenFileLimit OpenFileLimit::raiseTo(qint64 needed)
{
    OpenFileLimit result;
    result.needed = needed;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return result;
    result.before = asNumber(limit.rlim_cur);
    result.hard = asNumber(limit.rlim_max);
    const auto wanted = rlim_t(std::max<qint64>(needed, 0));
    // Only a privileged process may lift the hard limit; try, and otherwise take all it allows.
    if (asNumber(limit.rlim_max) < needed && setLimit(wanted, wanted))
        result.hard = needed;
    else if (limit.rlim_max == RLIM_INFINITY)
        setLimit(std::max(limit.rlim_cur, wanted), limit.rlim_max);
    else
        setLimit(limit.rlim_max, limit.rlim_max);
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0)
        result.now = asNumber(limit.rlim_cur);
    return result;
}

qint64 OpenFileLimit::neededFor(int servingUnits, int silentUnits, int callers)
{
    constexpr int spare = 64; // the program's own files, the event loop, the terminal
    return qint64(servingUnits) + silentUnits + 2 * qint64(callers) + spare;
}

QString OpenFileLimit::shortfall() const
{
    return QStringLiteral("the fleet needs about %1 open files, but this process may open only %2 "
                          "(the hard limit, ulimit -Hn); some units will not start. Raise the "
                          "limit (e.g. 'nofile' in /etc/security/limits.conf) or serve fewer "
                          "units.")
        .arg(needed)
        .arg(now);
}
