#include "fb/Decimal.h"

#include <QLocale>

#include <cstdlib>
#include <limits>

namespace fb {
namespace {

using Wide = __int128;

constexpr int kMaxScale = 18;

Wide pow10(int n)
{
    Wide r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

bool fitsInt64(Wide v)
{
    return v >= Wide(std::numeric_limits<std::int64_t>::min()) && v <= Wide(std::numeric_limits<std::int64_t>::max());
}

}  // namespace

std::optional<Decimal> Decimal::rescaled(int scale) const
{
    if (scale < 0 || scale > kMaxScale)
        return std::nullopt;
    Wide v = m_units;
    if (scale >= m_scale) {
        v *= pow10(scale - m_scale);
    } else {
        const Wide div = pow10(m_scale - scale);
        Wide q = v / div;
        const Wide rem = v % div;
        // half away from zero
        if (rem * 2 >= div)
            ++q;
        else if (rem * 2 <= -div)
            --q;
        v = q;
    }
    if (!fitsInt64(v))
        return std::nullopt;
    return Decimal(std::int64_t(v), scale);
}

QString Decimal::toString() const
{
    const bool negative = m_units < 0;
    // unsigned magnitude so INT64_MIN prints correctly
    unsigned long long mag = negative ? 0ULL - static_cast<unsigned long long>(m_units)
                                      : static_cast<unsigned long long>(m_units);
    QString digits = QString::number(mag);
    if (m_scale > 0) {
        if (digits.size() <= m_scale)
            digits = QString(m_scale - digits.size() + 1, QLatin1Char('0')) + digits;
        digits.insert(digits.size() - m_scale, QLatin1Char('.'));
    }
    return negative ? QLatin1Char('-') + digits : digits;
}

double Decimal::toDouble() const
{
    // via text so the result is the correctly rounded double of the exact value
    const QByteArray t = toString().toLatin1();
    return std::strtod(t.constData(), nullptr);
}

std::optional<Decimal> Decimal::fromString(const QString& input)
{
    const QString s = input.trimmed();
    int i = 0;
    const int n = int(s.size());
    bool negative = false;
    if (i < n && (s[i] == QLatin1Char('-') || s[i] == QLatin1Char('+')))
        negative = s[i++] == QLatin1Char('-');
    Wide units = 0;
    int scale = 0;
    int digits = 0;
    bool seenSeparator = false;
    bool dropped = false;  // digits beyond what we keep; only zeros are harmless
    for (; i < n; ++i) {
        const QChar c = s[i];
        if (c.isDigit() && c.unicode() < 128) {
            ++digits;
            if (seenSeparator && scale >= kMaxScale) {
                if (c != QLatin1Char('0'))
                    dropped = true;
                continue;
            }
            units = units * 10 + (c.unicode() - '0');
            if (units > Wide(std::numeric_limits<std::int64_t>::max()) * 10)
                return std::nullopt;
            if (seenSeparator)
                ++scale;
        } else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && !seenSeparator) {
            seenSeparator = true;
        } else {
            break;
        }
    }
    if (digits == 0 || dropped)
        return std::nullopt;
    int exponent = 0;
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        bool ok = false;
        exponent = s.mid(i + 1).toInt(&ok);
        if (!ok || exponent > 40 || exponent < -40)
            return std::nullopt;
        i = n;
    }
    if (i != n)
        return std::nullopt;
    if (negative)
        units = -units;
    // apply the exponent by moving the scale, then normalise into range
    scale -= exponent;
    while (scale < 0) {
        units *= 10;
        ++scale;
        if (!fitsInt64(units))
            return std::nullopt;
    }
    while (scale > kMaxScale || !fitsInt64(units)) {
        if (units % 10 != 0)
            return std::nullopt;
        units /= 10;
        --scale;
    }
    return Decimal(std::int64_t(units), scale);
}

std::optional<Decimal> Decimal::fromDouble(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return fromString(QString::number(value, 'g', QLocale::FloatingPointShortest));
}

bool operator==(const Decimal& a, const Decimal& b)
{
    const int scale = std::max(a.m_scale, b.m_scale);
    return Wide(a.m_units) * pow10(scale - a.m_scale) == Wide(b.m_units) * pow10(scale - b.m_scale);
}

bool operator<(const Decimal& a, const Decimal& b)
{
    const int scale = std::max(a.m_scale, b.m_scale);
    return Wide(a.m_units) * pow10(scale - a.m_scale) < Wide(b.m_units) * pow10(scale - b.m_scale);
}

void registerDecimalType()
{
    static const bool once = [] {
        QMetaType::registerConverter<Decimal, QString>(&Decimal::toString);
        QMetaType::registerConverter<Decimal, double>(&Decimal::toDouble);
        return true;
    }();
    (void)once;
}

}  // namespace fb
