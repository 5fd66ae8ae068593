#include "reportengine/ReportValue.h"

#include "reportengine/ReportError.h"

namespace report {

Value Value::boolean(bool b)
{
    Value v;
    v.m_kind = Kind::Bool;
    v.m_bool = b;
    return v;
}

Value Value::number(Decimal d)
{
    Value v;
    v.m_kind = Kind::Number;
    v.m_decimal = d;
    return v;
}

Value Value::real(double d)
{
    Value v;
    v.m_kind = Kind::Float;
    v.m_double = d;
    return v;
}

Value Value::text(const QString& s)
{
    Value v;
    v.m_kind = Kind::Text;
    v.m_text = s;
    return v;
}

Value Value::date(const QDate& d)
{
    Value v;
    if (!d.isValid())
        return v;
    v.m_kind = Kind::Date;
    v.m_dateTime = QDateTime(d, QTime(0, 0), Qt::UTC);
    return v;
}

Value Value::dateTime(const QDateTime& dt)
{
    Value v;
    if (!dt.isValid())
        return v;
    v.m_kind = Kind::DateTime;
    v.m_dateTime = dt;
    return v;
}

bool Value::toBool() const
{
    switch (m_kind) {
    case Kind::Null: return false;
    case Kind::Bool: return m_bool;
    case Kind::Number: return !m_decimal.isZero();
    case Kind::Float: return m_double != 0;
    case Kind::Text: return !m_text.isEmpty();
    case Kind::Date:
    case Kind::DateTime: return true;
    }
    return false;
}

Decimal Value::toDecimal() const
{
    switch (m_kind) {
    case Kind::Null: return Decimal();
    case Kind::Bool: return Decimal::fromInt(m_bool ? 1 : 0);
    case Kind::Number: return m_decimal;
    case Kind::Float:
        if (auto d = Decimal::fromDouble(m_double))
            return *d;
        throw Error(QStringLiteral("Číslo %1 je mimo rozsahu.").arg(m_double));
    case Kind::Text:
        if (auto d = Decimal::fromString(m_text))
            return *d;
        throw Error(QStringLiteral("Text \"%1\" nie je číslo.").arg(m_text));
    case Kind::Date:
    case Kind::DateTime:
        throw Error(QStringLiteral("Dátum nie je číslo."));
    }
    return Decimal();
}

double Value::toDouble() const
{
    if (m_kind == Kind::Float)
        return m_double;
    return toDecimal().toDouble();
}

QDateTime Value::toDateTime() const
{
    if (m_kind == Kind::Date || m_kind == Kind::DateTime)
        return m_dateTime;
    if (m_kind == Kind::Text) {
        for (const char* f : {"dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy HH:mm", "dd.MM.yyyy", "yyyy-MM-dd"}) {
            QDateTime dt = QDateTime::fromString(m_text.trimmed(), QLatin1String(f));
            if (dt.isValid()) {
                dt.setTimeSpec(Qt::UTC);
                return dt;
            }
        }
    }
    if (m_kind == Kind::Null)
        return {};
    throw Error(QStringLiteral("Hodnota \"%1\" nie je dátum.").arg(toText()));
}

QDate Value::toDate() const
{
    return toDateTime().date();
}

QString Value::toText() const
{
    switch (m_kind) {
    case Kind::Null: return {};
    case Kind::Bool: return m_bool ? QStringLiteral("Áno") : QStringLiteral("Nie");
    case Kind::Number: return m_decimal.toString().replace(u'.', u',');
    case Kind::Float: return QString::number(m_double, 'g', 15).replace(u'.', u',');
    case Kind::Text: return m_text;
    case Kind::Date: return m_dateTime.date().toString(QStringLiteral("dd.MM.yyyy"));
    case Kind::DateTime:
        return m_dateTime.time() == QTime(0, 0) ? m_dateTime.date().toString(QStringLiteral("dd.MM.yyyy"))
                                                : m_dateTime.toString(QStringLiteral("dd.MM.yyyy HH:mm"));
    }
    return {};
}

int Value::compare(const Value& a, const Value& b)
{
    if (a.isNull() || b.isNull())
        return int(!a.isNull()) - int(!b.isNull());
    if (a.isNumeric() && b.isNumeric()) {
        if (a.m_kind == Kind::Number && b.m_kind == Kind::Number)
            return a.m_decimal < b.m_decimal ? -1 : (b.m_decimal < a.m_decimal ? 1 : 0);
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    const bool aTime = a.m_kind == Kind::Date || a.m_kind == Kind::DateTime;
    const bool bTime = b.m_kind == Kind::Date || b.m_kind == Kind::DateTime;
    if (aTime && bTime)
        return a.m_dateTime < b.m_dateTime ? -1 : (b.m_dateTime < a.m_dateTime ? 1 : 0);
    if (a.m_kind == Kind::Bool && b.m_kind == Kind::Bool)
        return int(a.m_bool) - int(b.m_bool);
    // A number against a text that holds a number compares as numbers.
    if (a.isNumeric() && b.m_kind == Kind::Text) {
        if (auto d = Decimal::fromString(b.m_text))
            return compare(a, Value::number(*d));
    }
    if (b.isNumeric() && a.m_kind == Kind::Text) {
        if (auto d = Decimal::fromString(a.m_text))
            return compare(Value::number(*d), b);
    }
    const QString x = a.toText(), y = b.toText();
    if (x == y)
        return 0;
    const int c = QString::localeAwareCompare(x, y);
    return c != 0 ? (c < 0 ? -1 : 1) : (x < y ? -1 : 1);
}

}  // namespace report
