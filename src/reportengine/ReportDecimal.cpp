#include "reportengine/ReportDecimal.h"

#include "reportengine/ReportError.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace report {

namespace {

constexpr std::int64_t kPow10[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

std::int64_t checked(__int128 v)
{
    if (v > std::numeric_limits<std::int64_t>::max() || v < std::numeric_limits<std::int64_t>::min())
        throw Error(QStringLiteral("Číslo je mimo rozsahu."));
    return std::int64_t(v);
}

// a / b rounded half away from zero.
__int128 divRound(__int128 a, __int128 b)
{
    const bool negative = (a < 0) != (b < 0);
    const __int128 ua = a < 0 ? -a : a;
    const __int128 ub = b < 0 ? -b : b;
    __int128 q = ua / ub;
    if ((ua % ub) * 2 >= ub)
        ++q;
    return negative ? -q : q;
}

}  // namespace

Decimal Decimal::fromUnits(std::int64_t units, int scale)
{
    Decimal d;
    if (scale < 0)
        scale = 0;
    if (scale > kMaxScale) {
        __int128 p = 1;
        for (int i = kMaxScale; i < scale && i < 40; ++i)
            p *= 10;
        d.m_raw = checked(divRound(units, p));
        d.m_scale = kMaxScale;
        return d;
    }
    d.m_raw = checked(__int128(units) * kPow10[kMaxScale - scale]);
    d.m_scale = scale;
    return d;
}

std::optional<Decimal> Decimal::fromDouble(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > 9.0e12)
        return std::nullopt;
    Decimal d;
    d.m_raw = std::int64_t(std::llround(value * double(kOne)));
    // The shortest decimals that give the value back (0.1 stays 0.1).
    d.m_scale = 0;
    while (d.m_scale < kMaxScale && d.m_raw % kPow10[kMaxScale - d.m_scale] != 0)
        ++d.m_scale;
    return d;
}

std::optional<Decimal> Decimal::fromString(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int i = 0;
    bool negative = false;
    if (t[0] == u'-' || t[0] == u'+') {
        negative = t[0] == u'-';
        ++i;
    }
    __int128 whole = 0;
    int digits = 0;
    for (; i < t.size() && t[i].isDigit(); ++i, ++digits) {
        whole = whole * 10 + (t[i].unicode() - u'0');
        if (whole > std::numeric_limits<std::int64_t>::max() / kOne)
            return std::nullopt;
    }
    std::int64_t frac = 0;
    int scale = 0;
    if (i < t.size() && (t[i] == u'.' || t[i] == u',')) {
        ++i;
        for (; i < t.size() && t[i].isDigit(); ++i, ++digits) {
            if (scale < kMaxScale) {
                frac = frac * 10 + (t[i].unicode() - u'0');
                ++scale;
            } else if (scale == kMaxScale && t[i].unicode() >= u'5') {
                // Round the seventh digit; later digits do not matter for half-up.
                ++frac;
                scale = kMaxScale + 1;
            }
        }
    }
    if (i != t.size() || digits == 0)
        return std::nullopt;
    const int used = std::min(scale, kMaxScale);
    Decimal d;
    __int128 raw = whole * kOne + __int128(frac) * kPow10[kMaxScale - used];
    d.m_raw = std::int64_t(negative ? -raw : raw);
    d.m_scale = used;
    return d;
}

Decimal Decimal::rounded(int decimals) const
{
    decimals = std::clamp(decimals, 0, kMaxScale);
    Decimal d;
    const std::int64_t step = kPow10[kMaxScale - decimals];
    d.m_raw = checked(divRound(m_raw, step) * step);
    d.m_scale = decimals;
    return d;
}

Decimal Decimal::truncated() const
{
    Decimal d;
    d.m_raw = (m_raw / kOne) * kOne;
    d.m_scale = 0;
    return d;
}

QString Decimal::toString(int decimals) const
{
    if (decimals < 0)
        decimals = m_scale;
    const Decimal r = rounded(decimals);
    const std::int64_t raw = r.m_raw;
    const unsigned long long abs = raw < 0 ? 0ULL - (unsigned long long)raw : (unsigned long long)raw;
    QString out = QString::number(abs / kOne);
    if (decimals > 0) {
        const unsigned long long frac = (abs % kOne) / (unsigned long long)kPow10[kMaxScale - decimals];
        out += u'.' + QString::number(frac).rightJustified(decimals, u'0');
    }
    if (raw < 0)
        out.prepend(u'-');
    return out;
}

Decimal operator+(Decimal a, Decimal b)
{
    Decimal d;
    d.m_raw = checked(__int128(a.m_raw) + b.m_raw);
    d.m_scale = std::max(a.m_scale, b.m_scale);
    return d;
}

Decimal operator-(Decimal a, Decimal b)
{
    Decimal d;
    d.m_raw = checked(__int128(a.m_raw) - b.m_raw);
    d.m_scale = std::max(a.m_scale, b.m_scale);
    return d;
}

Decimal Decimal::operator-() const
{
    Decimal d;
    d.m_raw = checked(-__int128(m_raw));
    d.m_scale = m_scale;
    return d;
}

Decimal operator*(Decimal a, Decimal b)
{
    Decimal d;
    d.m_raw = checked(divRound(__int128(a.m_raw) * b.m_raw, Decimal::kOne));
    d.m_scale = std::min(a.m_scale + b.m_scale, Decimal::kMaxScale);
    return d;
}

Decimal operator/(Decimal a, Decimal b)
{
    if (b.m_raw == 0)
        throw Error(QStringLiteral("Delenie nulou."));
    Decimal d;
    d.m_raw = checked(divRound(__int128(a.m_raw) * Decimal::kOne, b.m_raw));
    d.m_scale = Decimal::kMaxScale;
    while (d.m_scale > std::max(a.m_scale, b.m_scale) && d.m_raw % kPow10[Decimal::kMaxScale - d.m_scale + 1] == 0)
        --d.m_scale;
    return d;
}

}  // namespace report
