#pragma once

#include <QMetaType>
#include <QString>

#include <cmath>
#include <cstdint>
#include <optional>

namespace fb {

// An exact scaled number: value = units / 10^scale. NUMERIC and DECIMAL columns
// travel through the program as Decimal so that 0.1 stays 0.1; a QVariant holding
// one converts to QString ("12.50") and to double.
class Decimal {
public:
    constexpr Decimal() = default;
    constexpr Decimal(std::int64_t units, int scale) : m_units(units), m_scale(scale) {}

    std::int64_t units() const { return m_units; }
    int scale() const { return m_scale; }

    // The same value at another scale; rounds half away from zero when digits are dropped.
    // Returns nothing on overflow.
    std::optional<Decimal> rescaled(int scale) const;

    // Plain text with "." and exactly scale() decimals, e.g. "-0.10".
    QString toString() const;
    double toDouble() const;

    // Parses "12", "-12.5", "+0,125" ("." or "," as separator, no grouping, optional exponent).
    static std::optional<Decimal> fromString(const QString& text);
    // Shortest decimal text that reads back as the same double (never binary noise).
    static std::optional<Decimal> fromDouble(double value);

    // Value comparison regardless of scale.
    friend bool operator==(const Decimal& a, const Decimal& b);
    friend bool operator!=(const Decimal& a, const Decimal& b) { return !(a == b); }
    friend bool operator<(const Decimal& a, const Decimal& b);

private:
    std::int64_t m_units = 0;
    int m_scale = 0;
};

// Registers the QVariant conversions once (called by the connection; safe to call again).
void registerDecimalType();

}  // namespace fb

Q_DECLARE_METATYPE(fb::Decimal)
