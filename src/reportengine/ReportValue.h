#pragma once

#include "reportengine/ReportDecimal.h"

#include <QDateTime>
#include <QString>

namespace report {

// A value in an expression or a dataset cell. Numbers are exact decimals;
// doubles stay doubles (a FLOAT column) and mix with decimals as doubles.
class Value {
public:
    enum class Kind { Null, Bool, Number, Float, Text, Date, DateTime };

    Value() = default;
    static Value null() { return Value(); }
    static Value boolean(bool b);
    static Value number(Decimal d);
    static Value integer(std::int64_t i) { return number(Decimal::fromInt(i)); }
    static Value real(double d);
    static Value text(const QString& s);
    static Value date(const QDate& d);            // an invalid date gives null
    static Value dateTime(const QDateTime& dt);   // an invalid one gives null

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }
    bool isNumeric() const { return m_kind == Kind::Number || m_kind == Kind::Float; }

    bool toBool() const;          // null, 0, "" are false
    Decimal toDecimal() const;    // throws report::Error for a text that is no number
    double toDouble() const;
    QDateTime toDateTime() const;
    QDate toDate() const;
    // The value shown without a display format (Slovak decimal comma, dd.mm.yyyy).
    QString toText() const;

    const QString& textValue() const { return m_text; }
    Decimal decimalValue() const { return m_decimal; }

    // Equality and order for comparisons, grouping and MIN / MAX; null sorts first.
    static int compare(const Value& a, const Value& b);
    friend bool operator==(const Value& a, const Value& b) { return compare(a, b) == 0 && a.isNull() == b.isNull(); }

private:
    Kind m_kind = Kind::Null;
    bool m_bool = false;
    Decimal m_decimal;
    double m_double = 0;
    QString m_text;
    QDateTime m_dateTime;
};

}  // namespace report
