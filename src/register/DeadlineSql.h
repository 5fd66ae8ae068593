#pragma once

#include "fb/Statement.h"

#include <QDate>
#include <QString>
#include <QVariantMap>

namespace fb {
class Transaction;
}

// The jobs not yet sent whose deadline has passed, falls today or tomorrow,
// counted for the main window and listed by the register's filter. Both ask
// the same conditions, so a count and the list it opens always agree.
//
// The deadline is a date and time; what counts is its day. The conditions
// compare the deadline with the midnights around `today` instead of casting
// it to a date, so the deadline's index can serve the register's filter.
enum class DeadlineFilter { All = 0, Late = 1, Today = 2, Tomorrow = 3 };

// "všetky", "po termíne", "dnes", "zajtra": the choices of the register's
// deadline filter, in the order of the enum.
QString DeadlineFilterText(DeadlineFilter filter);

// The condition on the job "a." for `filter` (empty for All); its
// parameters go into `params`. Includes "not yet sent".
QString DeadlineCondition(DeadlineFilter filter, const QDate& today, QVariantMap& params);

struct DeadlineCounts {
    int late = 0;
    int today = 0;
    int tomorrow = 0;
    friend bool operator==(const DeadlineCounts&, const DeadlineCounts&) = default;
};

// One statement gives the three counts (columns PO_TERMINE, DNES, ZAJTRA);
// like the register, it takes only jobs with a language combination.
// Today's date is a parameter: the program's clock decides, not the server's.
fb::Statement DeadlineCountsStatement(const QDate& today);
DeadlineCounts ReadDeadlineCounts(fb::Transaction& transaction, const QDate& today);
