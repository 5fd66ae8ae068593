#pragma once

#include <QDate>
#include <QDateTime>

// The program's idea of "now". Everything that depends on today's date asks here,
// so tests can pin the clock to a fixed moment.
namespace Clock {

QDate today();
QDateTime now();

// From now on today() and now() answer this moment (local time) until unpinClock().
void pinClock(const QDateTime& moment);
void unpinClock();

}  // namespace Clock
