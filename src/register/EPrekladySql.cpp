#include "register/EPrekladySql.h"

#include "framework/TextHelpers.h"

namespace {

// Each condition is two lines: the joining word, then the condition.
void addCondition(QStringList& lines, const QString& condition)
{
    lines << WhereOrAnd(lines.join(QLatin1Char('\n')), QStringLiteral("where"), QStringLiteral("and"), 1)
          << condition;
}

void addDateCondition(QStringList& lines, int choice, const QString& column)
{
    if (choice == 1)
        addCondition(lines, column + QStringLiteral(" is null"));
    else if (choice == 2)
        addCondition(lines, column + QStringLiteral(" is not null"));
}

}  // namespace

fb::Statement PrekladyRefreshStatement(const PrekladyFilter& f, const QString& markedCondition, const QString& orderBy)
{
    fb::Statement s;
    s.lines = QStringList{
        QStringLiteral("select case when (a.DATUM_ODOSLANIA_PREKLADU is null) then cast(a.termin as date)-current_date"),
        QStringLiteral("else null end as stav,"),
        QStringLiteral("obj_cena,"),
        QStringLiteral("obj_cena_skk,"),
        QStringLiteral("PRE_cena,"),
        QStringLiteral("PRE_cena_skk,"),
        QStringLiteral("a.jedin,a.znacka,b.meno as objednavatel,"),
        QStringLiteral("d.SKRATKA AS jazykova_kombinacia,a.termin,a.DATUM_ZADANIA_PREKLADATELOVI,"),
        QStringLiteral("a.DATUM_DODANIA_PREKLADU,a.DATUM_ODOSLANIA_PREKLADU,"),
        QStringLiteral("c.meno as prekladatel,"),
        QStringLiteral("a.obj_mena,a.pre_mena,"),
        QStringLiteral("a.obj_ukoncene,a.pre_ukoncene,a.pm,"),
        QStringLiteral("b.farba as obj_farba,c.farba as pre_farba"),
        QStringLiteral("from preklady a"),
        QStringLiteral("left join adresar b on b.jedin=a.objednavatel"),
        QStringLiteral("left join adresar c on c.jedin=a.prekladatel"),
        QStringLiteral("JOIN JAZYKOVE_KOMBINACIE D ON D.JEDIN=A.JAZYKOVA_KOMBINACIA"),
    };
    if (!markedCondition.isEmpty())
        s.lines << QStringLiteral("where ") + markedCondition;
    if (f.objednavatel.isValid() && !f.objednavatel.isNull()) {
        addCondition(s.lines, QStringLiteral("a.objednavatel=:OBJEDNAVATEL"));
        s.params.insert(QStringLiteral("OBJEDNAVATEL"), f.objednavatel);
    }
    if (f.prekladatel.isValid() && !f.prekladatel.isNull()) {
        addCondition(s.lines, QStringLiteral("a.prekladatel=:PREKLADATEL"));
        s.params.insert(QStringLiteral("PREKLADATEL"), f.prekladatel);
    }
    addDateCondition(s.lines, f.zadanie, QStringLiteral("a.DATUM_ZADANIA_PREKLADATELOVI"));
    addDateCondition(s.lines, f.dodanie, QStringLiteral("a.DATUM_DODANIA_PREKLADU"));
    addDateCondition(s.lines, f.odoslanie, QStringLiteral("a.DATUM_ODOSLANIA_PREKLADU"));
    if (f.ibaNefakturovane)
        addCondition(s.lines, QStringLiteral("a.OBJ_UKONCENE=0"));
    if (f.ibaNevyplatene)
        addCondition(s.lines, QStringLiteral("a.PRE_UKONCENE=0"));
    if (!f.pm.trimmed().isEmpty()) {
        addCondition(s.lines, QStringLiteral("a.PM=:PM"));
        s.params.insert(QStringLiteral("PM"), f.pm);
    }
    const QString deadline = DeadlineCondition(f.termin, f.dnes, s.params);
    if (!deadline.isEmpty())
        addCondition(s.lines, deadline);
    if (!f.text.trimmed().isEmpty()) {
        addCondition(s.lines, QStringLiteral("(a.nazov CONTAINING :TEXT OR A.POZNAMKA CONTAINING :TEXT OR "
                                             "A.ZNACKA CONTAINING :ZNACKA)"));
        s.params.insert(QStringLiteral("TEXT"), f.text);
        s.params.insert(QStringLiteral("ZNACKA"), f.text.left(kZnackaLength));
    }
    s.lines << QStringLiteral("order by") << orderBy;
    return s;
}
