#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace report {

// An exact decimal for money: the value is units / 10^6, so sums of prices
// never pick up binary fractions. scale() is how many decimals the value
// carries for display when no format is given (a NUMERIC(15,2) stays "12,50").
class Decimal {
public:
    static constexpr int kMaxScale = 6;
    static constexpr std::int64_t kOne = 1000000;

    Decimal() = default;
    static Decimal fromUnits(std::int64_t units, int scale);   // units at the given scale
    static Decimal fromInt(std::int64_t value) { return fromUnits(value, 0); }
    static std::optional<Decimal> fromDouble(double value);
    // "12.5", "-0.10", "1e3" is refused; a ',' is accepted as the point.
    static std::optional<Decimal> fromString(const QString& text);

    std::int64_t raw() const { return m_raw; }  // units of 10^-6
    int scale() const { return m_scale; }
    double toDouble() const { return double(m_raw) / double(kOne); }
    bool isZero() const { return m_raw == 0; }
    bool isInteger() const { return m_raw % kOne == 0; }

    // Rounded half away from zero to the given decimals (0..6).
    Decimal rounded(int decimals) const;
    Decimal truncated() const;  // whole part, toward zero
    // Plain text with '.' and exactly `decimals` digits after it (-1: scale()).
    QString toString(int decimals = -1) const;

    friend Decimal operator+(Decimal a, Decimal b);
    friend Decimal operator-(Decimal a, Decimal b);
    friend Decimal operator*(Decimal a, Decimal b);
    Decimal operator-() const;
    // Throws report::Error on a zero divisor.
    friend Decimal operator/(Decimal a, Decimal b);
    friend bool operator==(Decimal a, Decimal b) { return a.m_raw == b.m_raw; }
    friend auto operator<=>(Decimal a, Decimal b) { return a.m_raw <=> b.m_raw; }

private:
    std::int64_t m_raw = 0;
    int m_scale = 0;
};

}  // namespace report
