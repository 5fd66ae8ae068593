#include "reports/EPrekladyTlacSql.h"

#include "framework/TextHelpers.h"

#include <algorithm>
#include <optional>

namespace {

bool isSet(const QVariant& v)
{
    return v.isValid() && !v.isNull();
}

// The choice value as a number; nothing when the choice is empty or not a number.
std::optional<int> choiceNumber(const QVariant& v)
{
    if (!isSet(v))
        return std::nullopt;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

QString slovakOrEnglish(const QVariant& jazyk)
{
    return choiceNumber(jazyk) == 1 ? QStringLiteral("_Sk") : QStringLiteral("_En");
}

// Each condition of a job list is two lines: " where " or " and ", then the condition.
void addCondition(QStringList& lines, const QString& condition)
{
    lines << WhereOrAnd(lines.join(QLatin1Char('\n')), QStringLiteral("where"), QStringLiteral("and"), 1)
          << condition;
}

const QString kSkupinaEmpty = QStringLiteral("cast('' as vch_025)");

ReportVariable typVariable(const QVariant& value)
{
    return {QString::fromLatin1(kVariableCategory), QString::fromLatin1(kVariableTyp), value};
}

}  // namespace

std::pair<QDate, QDate> DefaultReportPeriod(const QDate& today)
{
    const QDate last = QDate(today.year(), today.month(), 1).addDays(-1);
    const QDate first = last.addDays(1 - last.daysInMonth());
    return {first, last};
}

QString PeriodCondition(const QString& column, const QDate& od, const QDate& doDate, QVariantMap& params)
{
    const bool hasOd = od.isValid(), hasDo = doDate.isValid();
    if (hasOd && hasDo) {
        params.insert(QStringLiteral("OD"), std::min(od, doDate));
        params.insert(QStringLiteral("DO"), std::max(od, doDate));
        return column + QStringLiteral(" between :OD and :DO");
    }
    if (hasOd) {
        params.insert(QStringLiteral("OD"), od);
        return column + QStringLiteral(">=:OD");
    }
    if (hasDo) {
        params.insert(QStringLiteral("DO"), doDate);
        return column + QStringLiteral("<=:DO");
    }
    return {};
}

// ---- job lists ----------------------------------------------------------------------

QString ZoznamCaption(int mode)
{
    switch (mode) {
    case 1:
        return QStringLiteral("Zoznam prekladov podľa prekladateľov");
    case 2:
        return QStringLiteral("Zoznam prekladov podľa PM");
    default:
        return QStringLiteral("Zoznam prekladov podľa objednávateľov");
    }
}

QString ZoznamLayoutName(int mode, const QVariant& jazyk)
{
    const QString stem = mode == 1 ? QStringLiteral("Preh_Pre")
                         : mode == 2 ? QStringLiteral("Preh_PM")
                                     : QStringLiteral("Preh_Obj");
    return stem + slovakOrEnglish(jazyk) + QStringLiteral(".frf");
}

fb::Statement ZoznamStatement(const ZoznamValues& v)
{
    // Modes 0 and 2 look at the customer's side of a job, mode 1 at the translator's.
    const bool translators = v.mode == 1;
    fb::Statement s;
    s.lines = QStringList{
        QStringLiteral("SELECT"),
        v.skupiny ? QStringLiteral("d.skupina as skupina2,") : kSkupinaEmpty + QStringLiteral(" as skupina2,"),
        QStringLiteral("a.JEDIN,a.ZNACKA,a.NAZOV,a.DATUM_PRIJATIA,"),
        QStringLiteral("a.DATUM_ZADANIA_PREKLADATELOVI,a.DATUM_DODANIA_PREKLADU,"),
        QStringLiteral("a.DATUM_ODOSLANIA_PREKLADU,cast(a.TERMIN as date) as termin,"),
        QStringLiteral("d.skratka as JAZYKOVA_KOMBINACIA,a.PM,"),
        QStringLiteral("b.meno as OBJEDNAVATEL,a.OBJ_CENA_MJ,e.skratka as OBJ_MJ,a.OBJ_MENA,"),
        QStringLiteral("a.OBJ_KURZ,a.OBJ_KOEFICIENT,a.OBJ_ROZSAH,a.OBJ_FAKTURA,"),
        QStringLiteral("a.OBJ_UKONCENE,c.meno as PREKLADATEL,a.PRE_CENA_MJ,"),
        QStringLiteral("f.skratka as PRE_MJ,a.PRE_MENA,a.PRE_KURZ,a.PRE_KOEFICIENT,a.PRE_ROZSAH,"),
        QStringLiteral("a.PRE_FAKTURA,a.PRE_UKONCENE,a.UKONCENE,a.POZNAMKA,"),
        QStringLiteral("a.obj_cena,a.obj_cena_skk,a.PRE_cena,a.PRE_cena_skk,"),
        QStringLiteral("a.hodnoteny,"),
        QStringLiteral("iif(a.hodnoteny=1, a.hodnotenie, null) as hodnotenie,"),
        v.mode == 0 ? QStringLiteral("b.meno as skupina") : QStringLiteral("c.meno as skupina"),
        QStringLiteral("FROM PREKLADY a"),
        QStringLiteral("Left join adresar b on b.jedin=a.objednavatel"),
        QStringLiteral("Left join adresar c on c.jedin=a.prekladatel"),
        QStringLiteral("join jazykove_kombinacie d on d.jedin=a.jazykova_kombinacia"),
        QStringLiteral("left join merne_jednotky e on e.jedin=a.obj_mj"),
        QStringLiteral("left join merne_jednotky f on f.jedin=a.pre_mj"),
    };
    const QString dateColumn =
        translators ? QStringLiteral("a.DATUM_DODANIA_PREKLADU") : QStringLiteral("a.DATUM_ODOSLANIA_PREKLADU");
    const QString period = PeriodCondition(dateColumn, v.od, v.doDate, s.params);
    if (!period.isEmpty())
        addCondition(s.lines, period);
    if (isSet(v.adresar)) {
        addCondition(s.lines,
                     translators ? QStringLiteral("a.prekladatel=:ADRESAR") : QStringLiteral("a.objednavatel=:ADRESAR"));
        s.params.insert(QStringLiteral("ADRESAR"), v.adresar);
    }
    if (v.dodane)
        addCondition(s.lines, dateColumn + QStringLiteral(" is not null"));
    if (v.faktura)
        addCondition(s.lines, translators ? QStringLiteral("a.pre_ukoncene=0") : QStringLiteral("a.obj_ukoncene=0"));
    switch (v.mode) {
    case 1:
        s.lines << QStringLiteral("order by c.meno,1,d.skratka,a.DATUM_DODANIA_PREKLADU,a.jedin");
        break;
    case 2:
        s.lines << QStringLiteral("order by a.pm,1,a.DATUM_ODOSLANIA_PREKLADU,b.meno,a.jedin");
        break;
    default:
        s.lines << QStringLiteral("order by b.meno,1,d.skratka,a.DATUM_ODOSLANIA_PREKLADU,a.jedin");
        break;
    }
    return s;
}

ReportRequest ZoznamRequest(const ZoznamValues& v)
{
    return {ZoznamCaption(v.mode), ZoznamLayoutName(v.mode, v.jazyk), ZoznamStatement(v), {}};
}

// ---- profitability --------------------------------------------------------------------

QString ZiskovostCaption(int mode)
{
    switch (mode) {
    case 1:
        return QStringLiteral("Ziskovosť prekladov podľa prekladateľov");
    case 2:
        return QStringLiteral("Ziskovosť prekladov podľa PM");
    default:
        return QStringLiteral("Ziskovosť prekladov podľa objednávateľov");
    }
}

QString ZiskovostOrderLine(const QVariant& choice)
{
    // Columns: 1 name or PM, 2 customer total, 3 translator total, 4 profit, 5 profit %.
    switch (choiceNumber(choice).value_or(0)) {
    case 1:
        return QStringLiteral("order by 1");
    case 2:
        return QStringLiteral("order by 2");
    case 3:
        return QStringLiteral("order by 4");
    case 4:
        return QStringLiteral("order by 5");
    case 5:
        return QStringLiteral("order by 2 desc");
    case 6:
        return QStringLiteral("order by 4 desc");
    case 7:
        return QStringLiteral("order by 5 desc");
    case 8:
        return QStringLiteral("order by 3");
    case 9:
        return QStringLiteral("order by 3 desc");
    default:
        return {};
    }
}

fb::Statement ZiskovostStatement(const ZiskovostValues& v)
{
    const bool pm = v.mode == 2;
    fb::Statement s;
    s.lines << (pm ? QStringLiteral("select a.pm,") : QStringLiteral("select b.meno as adresar,"))
            << QStringLiteral("sum(obj_cena_skk) as obj_cena_skk,") << QStringLiteral("sum(PRE_cena_skk) as PRE_cena_skk,")
            << QStringLiteral("sum(obj_cena_skk)-sum(PRE_cena_skk) as Zisk,")
            << QStringLiteral("avg(zisk_percento) as ZiskPer")
            // The jobs of the row and their summed profit %, so the report's profit % is the
            // average of the jobs' as each row's is (exactly: the rows' averages are truncated).
            << QStringLiteral(",count(*) as pocet") << QStringLiteral(",sum(zisk_percento) as zisk_percento_sucet")
            << (v.skupiny ? QStringLiteral(",c.skupina") : QStringLiteral(",") + kSkupinaEmpty + QStringLiteral(" as skupina"))
            << QStringLiteral("from preklady a");
    if (v.mode == 0)
        s.lines << QStringLiteral("left join adresar b on b.jedin=a.objednavatel");
    else if (v.mode == 1)
        s.lines << QStringLiteral("left join adresar b on b.jedin=a.prekladatel");
    if (v.skupiny)
        s.lines << QStringLiteral("left join jazykove_kombinacie c on c.jedin=a.jazykova_kombinacia");
    s.lines << QStringLiteral("where 1=1");
    const QString period = PeriodCondition(QStringLiteral("a.DATUM_DODANIA_PREKLADU"), v.od, v.doDate, s.params);
    if (!period.isEmpty())
        s.lines << QStringLiteral("and ") + period;
    if (isSet(v.adresar)) {
        s.lines << (v.mode == 1 ? QStringLiteral("and a.prekladatel=:ADRESAR") : QStringLiteral("and a.objednavatel=:ADRESAR"));
        s.params.insert(QStringLiteral("ADRESAR"), v.adresar);
    }
    if (v.dodane)
        s.lines << QStringLiteral("and a.DATUM_DODANIA_PREKLADU is not null");
    s.lines << (pm ? QStringLiteral("group by a.pm") : QStringLiteral("group by b.meno"));
    if (v.skupiny)
        s.lines << QStringLiteral(",c.skupina");
    const QString order = ZiskovostOrderLine(v.orderBy);
    if (!order.isEmpty())
        s.lines << order;
    return s;
}

ReportRequest ZiskovostRequest(const ZiskovostValues& v)
{
    return {ZiskovostCaption(v.mode),
            v.mode == 2 ? QStringLiteral("Zisk_PM.frf") : QStringLiteral("Zisk.frf"),
            ZiskovostStatement(v),
            {typVariable(v.mode)}};
}

// ---- monthly profitability ------------------------------------------------------------

QString ZiskovostMesacnaCaption()
{
    return QStringLiteral("Ziskovosť prekladov po mesiacoch");
}

fb::Statement ZiskovostMesacnaStatement(const ZiskovostMesacnaValues& v)
{
    fb::Statement s;
    s.lines << QStringLiteral("select extract(month from a.datum_odoslania_prekladu) as mesiac,")
            << QStringLiteral("extract(year from a.datum_odoslania_prekladu) as rok,");
    if (v.zoskupit)
        s.lines << QStringLiteral("b.meno as adresar,");
    s.lines << (v.skupiny ? QStringLiteral("c.skupina,") : kSkupinaEmpty + QStringLiteral(" as skupina,"))
            << QStringLiteral("sum(a.obj_cena_skk) as obj_cena_skk,")
            << QStringLiteral("sum(a.PRE_cena_skk) as PRE_cena_skk,")
            << QStringLiteral("sum(a.obj_cena_skk)-sum(a.PRE_cena_skk) as Zisk")
            << QStringLiteral("from preklady a");
    if (v.zoskupit)
        s.lines << (choiceNumber(v.zoskupitPodla).value_or(0) == 0
                        ? QStringLiteral("left join adresar b on b.jedin = a.objednavatel")
                        : QStringLiteral("left join adresar b on b.jedin = a.prekladatel"));
    if (v.skupiny)
        s.lines << QStringLiteral("left join jazykove_kombinacie c on c.jedin=a.jazykova_kombinacia");
    s.lines << QStringLiteral("where 1=1");
    const QString period = PeriodCondition(QStringLiteral("a.datum_odoslania_prekladu"), v.od, v.doDate, s.params);
    if (!period.isEmpty())
        s.lines << QStringLiteral("and ") + period;
    if (v.dodane)
        s.lines << QStringLiteral("and a.datum_odoslania_prekladu is not null");
    if (v.zoskupit)
        s.lines << QStringLiteral("group by 2, 1, 3, 4") << QStringLiteral("order by 2, 1, b.meno");
    else
        s.lines << QStringLiteral("group by 2, 1, 3") << QStringLiteral("order by 2, 1");
    return s;
}

ReportRequest ZiskovostMesacnaRequest(const ZiskovostMesacnaValues& v)
{
    const int typ = v.zoskupit ? choiceNumber(v.zoskupitPodla).value_or(0) : -1;
    return {ZiskovostMesacnaCaption(), QStringLiteral("ZiskMes.frf"), ZiskovostMesacnaStatement(v),
            {typVariable(typ)}};
}

// ---- translator evaluation ------------------------------------------------------------

QString HodnotenieCaption()
{
    return QStringLiteral("Prehľad hodnotenia prekladateľov");
}

QString HodnotenieLayoutName(const QVariant& jazyk)
{
    return QStringLiteral("Hod_pre") + slovakOrEnglish(jazyk) + QStringLiteral(".frf");
}

fb::Statement HodnotenieStatement(const HodnotenieValues& v)
{
    fb::Statement s;
    s.lines << QStringLiteral("SELECT")
            << (v.skupiny ? QStringLiteral("c.skupina as skupina,") : kSkupinaEmpty + QStringLiteral(" as skupina,"))
            << QStringLiteral("avg(cast(a.hodnotenie as d_money)) as hodnotenie, b.meno as prekladatel,")
            // The rated jobs behind each average: a translator's and the report's averages weight by it.
            << QStringLiteral("count(a.hodnotenie) as pocet,")
            << QStringLiteral("c.skratka as jazykova_kombinacia") << QStringLiteral("from preklady a")
            << QStringLiteral("join adresar b on b.jedin=a.prekladatel")
            << QStringLiteral("join jazykove_kombinacie c on c.jedin=a.jazykova_kombinacia")
            << QStringLiteral("where datum_dodania_prekladu is not null and a.hodnoteny=1");
    const QString period = PeriodCondition(QStringLiteral("a.DATUM_DODANIA_PREKLADU"), v.od, v.doDate, s.params);
    if (!period.isEmpty())
        s.lines << QStringLiteral("and ") + period;
    if (isSet(v.adresar)) {
        s.lines << QStringLiteral("and a.prekladatel=:ADRESAR");
        s.params.insert(QStringLiteral("ADRESAR"), v.adresar);
    }
    s.lines << QStringLiteral("group by 1, b.meno, c.skratka") << QStringLiteral("order by b.meno, 1, 2 desc, c.skratka");
    return s;
}

ReportRequest HodnotenieRequest(const HodnotenieValues& v)
{
    return {HodnotenieCaption(), HodnotenieLayoutName(v.jazyk), HodnotenieStatement(v), {}};
}
