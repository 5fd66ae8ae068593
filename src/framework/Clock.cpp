#include "framework/Clock.h"

#include <optional>

namespace {
std::optional<QDateTime> g_pinned;
}

namespace Clock {

QDate today()
{
    return now().date();
}

QDateTime now()
{
    if (g_pinned)
        return *g_pinned;
    // Database timestamps are wall-clock values without a zone (they read back
    // with Qt::UTC so no zone rules apply); "now" is the same kind of value.
    const QDateTime local = QDateTime::currentDateTime();
    return QDateTime(local.date(), local.time(), Qt::UTC);
}

void pinClock(const QDateTime& moment)
{
    g_pinned = moment;
}

void unpinClock()
{
    g_pinned.reset();
}

}  // namespace Clock
