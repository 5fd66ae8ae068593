#pragma once

#include "fb/Decimal.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <vector>

#include <cstdint>
#include <optional>

// The two totals of a price group of a job: total = price per unit ×
// coefficient / 100 × scope, and the total in € = the total divided by the
// rate. The server's job trigger stores the same figures; the editor shows
// them while the user types, so both must agree to the cent. The trigger
// works in double precision in its own order of operations and the column
// keeps two decimals; this does exactly the same.
struct PriceTotals {
    fb::Decimal total;     // in the group's currency, 2 decimals
    std::optional<fb::Decimal> totalEur;  // in €, 2 decimals; none while the rate is 0
};

// A rate of 0 cannot be stored (the trigger divides by it): there is no €
// total until a rate is given, rather than the amount in another currency.
PriceTotals ComputePriceTotals(const fb::Decimal& pricePerUnit, const fb::Decimal& rate,
                               const fb::Decimal& coefficient, const fb::Decimal& scope);

// A double as the server stores it in a column with two decimals.
fb::Decimal MoneyFromDouble(double value);

// An exact running sum of money columns (two decimals), as the register's
// status bar shows it for 100 000 jobs without binary rounding drift.
class MoneySum {
public:
    // A null (invalid QVariant) counts as 0.
    void add(const QVariant& value);
    void add(const fb::Decimal& value);
    fb::Decimal value() const { return fb::Decimal(std::int64_t(m_cents), 2); }
    void clear() { m_cents = 0; }

private:
    __int128 m_cents = 0;
};

// Money columns summed per currency: adding crowns to euros gives a figure in
// no currency. The euro comes first, the others by their codes.
class CurrencySums {
public:
    struct Entry {
        QString currency;
        fb::Decimal sum;
    };
    // A null amount counts nowhere.
    void add(const QString& currency, const QVariant& value);
    std::vector<Entry> entries() const;
    // "3 977,37 EUR + 3 125,00 CZK"; one currency (or none): the amount alone.
    QString text(const std::function<QString(const fb::Decimal&)>& money) const;

private:
    std::map<QString, MoneySum> m_sums;
};
