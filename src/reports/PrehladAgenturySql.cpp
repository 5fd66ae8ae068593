#include "reports/PrehladAgenturySql.h"

#include "fb/Query.h"
#include "reports/EPrekladyTlacSql.h"

#include <map>

namespace {

using fb::Decimal;

// A money value of the result (a sum of no rows is null): two decimals.
Decimal money(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return Decimal(0, 2);
    const auto d = v.value<Decimal>().rescaled(2);
    return d ? *d : Decimal(0, 2);
}

Decimal difference(const Decimal& a, const Decimal& b)
{
    return Decimal(a.units() - b.units(), 2);
}

QDate firstOfMonth(const QDate& d)
{
    return QDate(d.year(), d.month(), 1);
}

QDate lastOfMonth(const QDate& d)
{
    return QDate(d.year(), d.month(), d.daysInMonth());
}

// The period on the delivered date, as the profitability reports write it.
void addPeriod(fb::Statement& s, const QDate& od, const QDate& doDate)
{
    const QString period = PeriodCondition(QStringLiteral("a.DATUM_DODANIA_PREKLADU"), od, doDate, s.params);
    if (!period.isEmpty())
        s.lines << QStringLiteral("and ") + period;
}

template <class Row>
std::vector<Row> readRows(fb::Transaction& transaction, const fb::Statement& s,
                          const std::function<Row(const fb::Query&)>& row)
{
    fb::Query q(transaction);
    q.setStatement(s);
    q.execute();
    std::vector<Row> rows;
    while (q.next())
        rows.push_back(row(q));
    q.close();
    return rows;
}

}  // namespace

// ---- periods ------------------------------------------------------------------------

QString OverviewPeriodText(OverviewPeriod period)
{
    switch (period) {
    case OverviewPeriod::ThisMonth:
        return QStringLiteral("tento mesiac");
    case OverviewPeriod::LastMonth:
        return QStringLiteral("minulý mesiac");
    case OverviewPeriod::ThisYear:
        return QStringLiteral("tento rok");
    case OverviewPeriod::LastYear:
        return QStringLiteral("minulý rok");
    case OverviewPeriod::Last12Months:
        return QStringLiteral("posledných 12 mesiacov");
    case OverviewPeriod::Custom:
        break;
    }
    return QStringLiteral("zadané obdobie");
}

std::optional<std::pair<QDate, QDate>> OverviewPeriodDates(OverviewPeriod period, const QDate& today)
{
    switch (period) {
    case OverviewPeriod::ThisMonth:
        return std::pair{firstOfMonth(today), lastOfMonth(today)};
    case OverviewPeriod::LastMonth:
        return DefaultReportPeriod(today);
    case OverviewPeriod::ThisYear:
        return std::pair{QDate(today.year(), 1, 1), QDate(today.year(), 12, 31)};
    case OverviewPeriod::LastYear:
        return std::pair{QDate(today.year() - 1, 1, 1), QDate(today.year() - 1, 12, 31)};
    case OverviewPeriod::Last12Months:
        return OverviewMonthsRange(today, 12);
    case OverviewPeriod::Custom:
        break;
    }
    return std::nullopt;
}

// ---- per month ----------------------------------------------------------------------

Decimal MonthFigures::profit() const
{
    return difference(income, cost);
}

std::pair<QDate, QDate> OverviewMonthsRange(const QDate& today, int months)
{
    return {firstOfMonth(today).addMonths(1 - months), lastOfMonth(today)};
}

fb::Statement MonthlyFiguresStatement(const QDate& first, const QDate& last)
{
    fb::Statement s;
    s.lines = QStringList{
        QStringLiteral("select extract(year from a.datum_odoslania_prekladu) as rok,"),
        QStringLiteral("extract(month from a.datum_odoslania_prekladu) as mesiac,"),
        QStringLiteral("sum(a.obj_cena_skk) as obj_cena_skk,"),
        QStringLiteral("sum(a.PRE_cena_skk) as PRE_cena_skk"),
        QStringLiteral("from preklady a"),
        QStringLiteral("where a.datum_odoslania_prekladu between :OD and :DO"),
        QStringLiteral("group by 1, 2"),
        QStringLiteral("order by 1, 2"),
    };
    s.params.insert(QStringLiteral("OD"), first);
    s.params.insert(QStringLiteral("DO"), last);
    return s;
}

std::vector<MonthFigures> ReadMonthlyFigures(fb::Transaction& transaction, const QDate& today, int months)
{
    const auto [first, last] = OverviewMonthsRange(today, months);
    std::map<QDate, MonthFigures> found;
    for (const MonthFigures& m :
         readRows<MonthFigures>(transaction, MonthlyFiguresStatement(first, last), [](const fb::Query& q) {
             MonthFigures m;
             m.month = QDate(q.value(0).toInt(), q.value(1).toInt(), 1);
             m.income = money(q.value(2));
             m.cost = money(q.value(3));
             return m;
         }))
        found[m.month] = m;
    std::vector<MonthFigures> all;
    for (QDate month = first; month <= last; month = month.addMonths(1)) {
        MonthFigures m = found.count(month) ? found[month] : MonthFigures{};
        m.month = month;
        all.push_back(m);
    }
    return all;
}

// ---- customers and translators ------------------------------------------------------

Decimal CustomerFigures::profit() const
{
    return difference(income, cost);
}

fb::Statement TopCustomersStatement(const QDate& od, const QDate& doDate, int rows)
{
    // As the profitability report by customers: delivered jobs, grouped by name.
    fb::Statement s;
    s.lines = QStringList{
        QStringLiteral("select first %1 b.meno as adresar,").arg(rows),
        QStringLiteral("count(*) as pocet,"),
        QStringLiteral("sum(a.obj_cena_skk) as obj_cena_skk,"),
        QStringLiteral("sum(a.PRE_cena_skk) as PRE_cena_skk"),
        QStringLiteral("from preklady a"),
        QStringLiteral("join adresar b on b.jedin=a.objednavatel"),
        QStringLiteral("where a.DATUM_DODANIA_PREKLADU is not null"),
    };
    addPeriod(s, od, doDate);
    s.lines << QStringLiteral("group by b.meno")
            << QStringLiteral("order by coalesce(sum(a.obj_cena_skk), 0) desc, b.meno");
    return s;
}

std::vector<CustomerFigures> ReadTopCustomers(fb::Transaction& transaction, const QDate& od, const QDate& doDate)
{
    return readRows<CustomerFigures>(transaction, TopCustomersStatement(od, doDate), [](const fb::Query& q) {
        CustomerFigures c;
        c.name = q.value(0).toString();
        c.jobs = q.value(1).toInt();
        c.income = money(q.value(2));
        c.cost = money(q.value(3));
        return c;
    });
}

std::optional<Decimal> TranslatorFigures::averageRating() const
{
    if (rated <= 0)
        return std::nullopt;
    return RatioRounded(ratingSum, rated, 1, 2);
}

Decimal TranslatorFigures::onTimePercent() const
{
    return jobs > 0 ? RatioRounded(onTime, jobs, 100, 1) : Decimal(0, 1);
}

fb::Statement TopTranslatorsStatement(const QDate& od, const QDate& doDate, int rows)
{
    // The rating as in the evaluation report: of delivered jobs marked as
    // rated. The delivered date has no time of day: a job delivered on the
    // deadline's day is in time.
    fb::Statement s;
    s.lines = QStringList{
        QStringLiteral("select first %1 b.meno as prekladatel,").arg(rows),
        QStringLiteral("count(*) as pocet,"),
        QStringLiteral("count(iif(a.hodnoteny=1, a.hodnotenie, null)) as hodnotene,"),
        QStringLiteral("sum(iif(a.hodnoteny=1, a.hodnotenie, null)) as hodnotenie_sucet,"),
        QStringLiteral("count(iif(a.DATUM_DODANIA_PREKLADU<=cast(a.termin as date), 1, null)) as nacas"),
        QStringLiteral("from preklady a"),
        QStringLiteral("join adresar b on b.jedin=a.prekladatel"),
        QStringLiteral("where a.DATUM_DODANIA_PREKLADU is not null"),
    };
    addPeriod(s, od, doDate);
    s.lines << QStringLiteral("group by b.meno") << QStringLiteral("order by 2 desc, b.meno");
    return s;
}

std::vector<TranslatorFigures> ReadTopTranslators(fb::Transaction& transaction, const QDate& od, const QDate& doDate)
{
    return readRows<TranslatorFigures>(transaction, TopTranslatorsStatement(od, doDate), [](const fb::Query& q) {
        TranslatorFigures t;
        t.name = q.value(0).toString();
        t.jobs = q.value(1).toInt();
        t.rated = q.value(2).toInt();
        t.ratingSum = q.value(3).toInt();
        t.onTime = q.value(4).toInt();
        return t;
    });
}

Decimal RatioRounded(qint64 numerator, qint64 denominator, int factor, int decimals)
{
    if (denominator == 0)
        return Decimal(0, decimals);
    __int128 n = __int128(numerator) * factor;
    for (int i = 0; i < decimals; ++i)
        n *= 10;
    __int128 d = denominator;
    if (d < 0) {
        d = -d;
        n = -n;
    }
    const bool negative = n < 0;
    const __int128 magnitude = negative ? -n : n;
    const __int128 rounded = (2 * magnitude + d) / (2 * d);
    return Decimal(std::int64_t(negative ? -rounded : rounded), decimals);
}
