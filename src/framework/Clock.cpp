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
    return g_pinned ? *g_pinned : QDateTime::currentDateTime();
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
