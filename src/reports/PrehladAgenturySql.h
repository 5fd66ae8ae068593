#pragma once

#include "fb/Decimal.h"
#include "fb/Statement.h"

#include <QDate>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

namespace fb {
class Transaction;
}

// The agency overview's figures, read without a window. Income, cost and
// profit are the profitability reports' own: the sums of the jobs' customer
// and translator prices in € (OBJ_CENA_SKK, PRE_CENA_SKK) and their
// difference. The months go by the sent date, as in the monthly
// profitability report; the customers and translators of a period go by the
// delivered date, as in the profitability and evaluation reports.

// ---- the periods of the chooser -------------------------------------------------

enum class OverviewPeriod { ThisMonth, LastMonth, ThisYear, LastYear, Last12Months, Custom };
QString OverviewPeriodText(OverviewPeriod period);
// First and last day; Custom has none (the dates typed by the user).
std::optional<std::pair<QDate, QDate>> OverviewPeriodDates(OverviewPeriod period, const QDate& today);

// ---- per month ------------------------------------------------------------------

struct MonthFigures {
    QDate month;  // its first day
    fb::Decimal income{0, 2}, cost{0, 2};
    fb::Decimal profit() const;
};

// The `months` calendar months that end with today's, oldest first.
std::pair<QDate, QDate> OverviewMonthsRange(const QDate& today, int months);
fb::Statement MonthlyFiguresStatement(const QDate& first, const QDate& last);
// One entry for every month of the range, those without a sent job at zero.
std::vector<MonthFigures> ReadMonthlyFigures(fb::Transaction& transaction, const QDate& today, int months = 24);

// ---- the best customers and the busiest translators ------------------------------

constexpr int kOverviewTopRows = 10;

struct CustomerFigures {
    QString name;
    int jobs = 0;
    fb::Decimal income{0, 2}, cost{0, 2};
    fb::Decimal profit() const;
};

// Customers by income in the period, the highest first (ties by name).
fb::Statement TopCustomersStatement(const QDate& od, const QDate& doDate, int rows = kOverviewTopRows);
std::vector<CustomerFigures> ReadTopCustomers(fb::Transaction& transaction, const QDate& od, const QDate& doDate);

struct TranslatorFigures {
    QString name;
    int jobs = 0;
    int rated = 0;      // jobs with a rating
    int ratingSum = 0;  // of those ratings
    int onTime = 0;     // delivered on or before the deadline's day
    // The average rating to two decimals; none without a rated job.
    std::optional<fb::Decimal> averageRating() const;
    // The share of jobs delivered in time, percent to one decimal.
    fb::Decimal onTimePercent() const;
};

// Translators by the number of jobs they delivered in the period, the most
// first (ties by name).
fb::Statement TopTranslatorsStatement(const QDate& od, const QDate& doDate, int rows = kOverviewTopRows);
std::vector<TranslatorFigures> ReadTopTranslators(fb::Transaction& transaction, const QDate& od, const QDate& doDate);

// `numerator` / `denominator` × `factor`, rounded half away from zero to
// `decimals` places (exact: no binary fractions on the way).
fb::Decimal RatioRounded(qint64 numerator, qint64 denominator, int factor, int decimals);
