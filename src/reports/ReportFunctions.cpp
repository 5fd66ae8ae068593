#include "reports/ReportFunctions.h"

#include "fb/Decimal.h"
#include "reports/NumToWords.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

bool isNull(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

// The whole part of |v|, saturated: anything past the limit of the words
// only has to stay past it.
qint64 wholeAbsolute(const QVariant& v)
{
    constexpr qint64 beyond = kNumToWordsLimit + 1;
    if (isNull(v))
        return 0;
    if (v.metaType() == QMetaType::fromType<fb::Decimal>() && v.value<fb::Decimal>().scale() >= 0) {
        // Exact: the decimal's own digits, never through a double.
        const fb::Decimal d = v.value<fb::Decimal>();
        qint64 divisor = 1;
        for (int i = 0; i < d.scale(); ++i) {
            if (divisor > std::numeric_limits<qint64>::max() / 10)
                return 0;  // more decimals than a 64-bit value can hold: |d| < 1
            divisor *= 10;
        }
        const qint64 whole = d.units() / divisor;  // truncates toward zero
        if (whole == std::numeric_limits<qint64>::min())
            return beyond;
        return whole < 0 ? -whole : whole;
    }
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong: {
        const qint64 i = v.toLongLong();
        if (i == std::numeric_limits<qint64>::min())
            return beyond;
        return i < 0 ? -i : i;
    }
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const quint64 u = v.toULongLong();
        return u > quint64(beyond) ? beyond : qint64(u);
    }
    default:
        break;
    }
    bool ok = false;
    double d = v.toDouble(&ok);
    if (!ok && v.metaType().id() == QMetaType::QString)
        d = QLocale().toDouble(v.toString(), &ok);  // "1 234,50" as the user writes it
    if (!ok || std::isnan(d))
        return 0;
    d = std::trunc(std::fabs(d));
    return d >= double(beyond) ? beyond : qint64(d);
}

}  // namespace

QString MoneyToStr(const QVariant& number)
{
    return NumToWords(wholeAbsolute(number));
}

QString ReplaceStr(const QString& input, const QString& searchFor, const QString& replaceWith)
{
    if (searchFor.isEmpty())
        return input;
    QString out;
    qsizetype from = 0;
    for (qsizetype at = input.indexOf(searchFor, from, Qt::CaseSensitive); at >= 0;
         at = input.indexOf(searchFor, from, Qt::CaseSensitive)) {
        out += QStringView(input).mid(from, at - from);
        out += replaceWith;
        from = at + searchFor.size();
    }
    out += QStringView(input).mid(from);
    return out;
}

QString NewLineStr()
{
    return QStringLiteral("\r\n");
}

QString AsCurrencyStr(const QVariant& number)
{
    if (isNull(number))
        return {};
    const QLocale locale;
    if (number.metaType() == QMetaType::fromType<fb::Decimal>())
        return locale.toCurrencyString(number.value<fb::Decimal>().toDouble());
    bool ok = false;
    double d = number.toDouble(&ok);
    if (!ok && number.metaType().id() == QMetaType::QString)
        d = locale.toDouble(number.toString(), &ok);
    return ok ? locale.toCurrencyString(d) : QString();
}

QString ReportFunctionCategory()
{
    return QStringLiteral("Quendel");
}

const QList<ReportFunction>& ReportFunctions()
{
    static const QList<ReportFunction> functions = {
        {QStringLiteral("MONEYTOSTR"), QStringLiteral("MONEYTOSTR(<Number>)/Vráti číslo ako text suma slovom."), 1,
         [](const QVariantList& a) { return QVariant(MoneyToStr(a.value(0))); }},
        {QStringLiteral("REPLACESTR"),
         QStringLiteral("REPLACESTR(<InputString>, <SearchFor>, <ReplaceWith>)/Nahradí text \"SearchFor\" textom "
                        "\"ReplaceWith\""),
         3,
         [](const QVariantList& a) {
             return QVariant(ReplaceStr(a.value(0).toString(), a.value(1).toString(), a.value(2).toString()));
         }},
        {QStringLiteral("NEWLINESTR"), QStringLiteral("NEWLINESTR/Vráti reťazec Chr(13) + Chr(10)"), 0,
         [](const QVariantList&) { return QVariant(NewLineStr()); }},
        {QStringLiteral("ASCURRENCYSTR"),
         QStringLiteral("ASCURRENCYSTR(<Number>)/Vráti numerickú hodnotu formátovanú podľa nastavenia OS pre "
                        "lokálnu menu"),
         1, [](const QVariantList& a) { return QVariant(AsCurrencyStr(a.value(0))); }},
    };
    return functions;
}
