#include "register/PriceCalc.h"

#include <QStringList>

#include <cmath>

namespace {

double asDouble(const fb::Decimal& d)
{
    return d.toDouble();
}

}  // namespace

fb::Decimal MoneyFromDouble(double value)
{
    // The server scales by ten per decimal place and rounds half away from zero.
    double scaled = value * 10.0 * 10.0;
    scaled = scaled >= 0 ? std::floor(scaled + 0.5) : std::ceil(scaled - 0.5);
    return fb::Decimal(std::int64_t(scaled), 2);
}

PriceTotals ComputePriceTotals(const fb::Decimal& pricePerUnit, const fb::Decimal& rate,
                               const fb::Decimal& coefficient, const fb::Decimal& scope)
{
    const double price = asDouble(pricePerUnit);
    const double coef = asDouble(coefficient);
    const double amount = asDouble(scope);
    PriceTotals t;
    t.total = MoneyFromDouble(price * coef / 100.0 * amount);
    if (rate.units() != 0)
        t.totalEur = MoneyFromDouble(price / asDouble(rate) * coef / 100.0 * amount);
    return t;
}

void MoneySum::add(const fb::Decimal& value)
{
    if (const auto cents = value.rescaled(2))
        m_cents += cents->units();
}

void MoneySum::add(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return;
    if (value.canConvert<fb::Decimal>() && value.metaType() == QMetaType::fromType<fb::Decimal>()) {
        add(value.value<fb::Decimal>());
        return;
    }
    if (const auto d = fb::Decimal::fromString(value.toString()))
        add(*d);
}

void CurrencySums::add(const QString& currency, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return;
    m_sums[currency.trimmed().toUpper()].add(value);
}

std::vector<CurrencySums::Entry> CurrencySums::entries() const
{
    std::vector<Entry> out;
    const QString euro = QStringLiteral("EUR");
    if (const auto it = m_sums.find(euro); it != m_sums.end())
        out.push_back({euro, it->second.value()});
    for (const auto& [currency, sum] : m_sums)
        if (currency != euro)
            out.push_back({currency, sum.value()});
    return out;
}

QString CurrencySums::text(const std::function<QString(const fb::Decimal&)>& money) const
{
    const std::vector<Entry> all = entries();
    if (all.empty())
        return money(fb::Decimal(std::int64_t(0), 2));
    if (all.size() == 1)
        return money(all.front().sum);
    QStringList parts;
    for (const Entry& e : all)
        parts << (e.currency.isEmpty() ? money(e.sum).trimmed() : money(e.sum).trimmed() + QLatin1Char(' ') + e.currency);
    return parts.join(QStringLiteral(" + "));
}
