#include "codelists/AdresarSql.h"

#include "framework/TextHelpers.h"

namespace {

QString L(const char* text)
{
    return QString::fromUtf8(text);
}

}  // namespace

fb::Statement AdresarContactStatement(const AdresarFilter& f, const QString& orderBy)
{
    // P: the job's column naming the contact; D: the date that counts for the
    // contact (sent to the customer, delivered by the translator).
    const QString P = f.translators ? L("prekladatel") : L("objednavatel");
    const QString D = f.translators ? L("datum_dodania_prekladu") : L("datum_odoslania_prekladu");
    const bool withKombinacia = IsSetValue(f.kombinacia);

    fb::Statement s;
    QStringList& sql = s.lines;
    sql << L("select a.jedin,a.meno,a.tel1,a.tel2,a.email") << L(",(select first 1 cena from kombinacie")
        << L("where jazykova_kombinacia=:KOMB and adresar = a.jedin) as cena")
        << L(",(select first 1 mena from kombinacie")
        << L("where jazykova_kombinacia=:KOMB and adresar = a.jedin) as mena")
        << L(",(select first 1 bb.skratka from kombinacie aa") << L("left join merne_jednotky bb on bb.jedin=aa.mj")
        << L("where aa.jazykova_kombinacia=:KOMB and aa.adresar = a.jedin) as mj");
    if (!withKombinacia) {
        sql << L(",cast(null as D_MONEY) as hodnotenie") << L(",(select first 1 ") + D + L(" from preklady")
            << L("where ") + P << L("=a.jedin and") << D + L(" is not null")
            << L("order by ") + D + L(" desc) as datum_dodania_prekladu");
        s.params.insert(L("KOMB"), QVariant());
    } else {
        sql << L(",(select avg(CAST(hodnotenie AS D_MONEY)) from preklady") << L("where ") + P
            << L("=a.jedin and jazykova_kombinacia=:KOMB and hodnoteny=1) as hodnotenie")
            << L(",(select first 1 ") + D + L(" from preklady") << L("where ") + P
            << L("=a.jedin and jazykova_kombinacia=:KOMB and") << D + L(" is not null")
            << L("order by ") + D + L(" desc) as datum_dodania_prekladu");
        s.params.insert(L("KOMB"), f.kombinacia);
    }
    sql << L("from adresar a where typ=:TYP");
    s.params.insert(L("TYP"), f.translators ? 1 : 0);
    if (!f.marked.isEmpty())
        sql << L("and ") + f.marked;
    // The sub-selects already hold WHEREs: the joining word is " and ".
    if (withKombinacia)
        sql << WhereOrAnd(sql.join(QLatin1Char('\n')), L("where"), L("and"), 2)
            << L("a.jedin in (select adresar from kombinacie") << L("where JAZYKOVA_KOMBINACIA=:KOMB)");
    if (!f.text.isEmpty()) {
        sql << WhereOrAnd(sql.join(QLatin1Char('\n')), L("where"), L("and"), 2)
            << L("a.jedin in (select adresar from kombinacie")
            << L("where JAZYKOVA_KOMBINACIA IN (SELECT JEDIN FROM JAZYKOVE_KOMBINACIE")
            << L("WHERE SKRATKA containing :NAZOV2))");
        s.params.insert(L("NAZOV2"), f.text.left(35));
    }
    sql << L("order by") << orderBy;
    return s;
}

fb::Statement AdresarRateStatement(const QVariant& adresar, const QString& marked, const QString& orderBy)
{
    fb::Statement s;
    s.lines << L("SELECT A.JEDIN,B.SKRATKA AS NAZOV,A.CENA,A.MENA,C.SKRATKA AS MJ FROM KOMBINACIE A")
            << L("JOIN JAZYKOVE_KOMBINACIE B ON B.JEDIN=A.JAZYKOVA_KOMBINACIA") << L("JOIN MERNE_JEDNOTKY C ON C.JEDIN=A.MJ")
            << L("WHERE A.ADRESAR=:ADRESAR");
    s.params.insert(L("ADRESAR"), IsSetValue(adresar) ? adresar : QVariant());
    if (!marked.isEmpty())
        s.lines << L("and ") + marked;
    s.lines << L("order by") << orderBy;
    return s;
}

fb::Statement PriceHistoryStatement(bool translator, const QVariant& adresar, const QVariant& kombinacia)
{
    fb::Statement s;
    if (translator)
        s.lines << L("SELECT A.JEDIN,A.DATUM_PRIJATIA, A.PRE_CENA_MJ AS OBJ_CENA_MJ, B.SKRATKA AS OBJ_MJ, A.PRE_MENA AS "
                     "OBJ_MENA,")
                << L("CAST((A.PRE_CENA_MJ/NULLIF(A.PRE_KURZ, 0)) AS D_N11_3) AS OBJ_CENA_MJ_EUR") << L("FROM PREKLADY A")
                << L("LEFT JOIN MERNE_JEDNOTKY B ON B.JEDIN=A.PRE_MJ")
                << L("WHERE A.PREKLADATEL=:JEDIN AND A.JAZYKOVA_KOMBINACIA=:KOMB AND")
                << L("COALESCE(A.PRE_CENA_MJ, 0) <> 0") << L("ORDER BY A.DATUM_PRIJATIA DESC");
    else
        s.lines << L("SELECT A.JEDIN,A.DATUM_PRIJATIA, A.OBJ_CENA_MJ, B.SKRATKA AS OBJ_MJ, A.OBJ_MENA,")
                << L("CAST((A.OBJ_CENA_MJ/NULLIF(A.OBJ_KURZ, 0)) AS D_N11_3) AS OBJ_CENA_MJ_EUR") << L("FROM PREKLADY A")
                << L("LEFT JOIN MERNE_JEDNOTKY B ON B.JEDIN=A.OBJ_MJ")
                << L("WHERE A.OBJEDNAVATEL=:JEDIN AND A.JAZYKOVA_KOMBINACIA=:KOMB AND")
                << L("COALESCE(A.OBJ_CENA_MJ, 0) <> 0") << L("ORDER BY A.DATUM_PRIJATIA DESC");
    s.params.insert(L("JEDIN"), IsSetValue(adresar) ? adresar : QVariant());
    s.params.insert(L("KOMB"), IsSetValue(kombinacia) ? kombinacia : QVariant());
    return s;
}

const QStringList kSelectAdresar = {
    QStringLiteral("SELECT MENO,TEL1,TEL2,EMAIL,POZNAMKA,SPOSOB_PLATBY,FARBA,"),
    QStringLiteral("ADRESA,PSC,MESTO,STAT,PRAVNA_FORMA,EMAIL2,EMAIL3"),
    QStringLiteral("FROM ADRESAR where JEDIN=:JEDIN"),
};

const QStringList kInsertAdresar = {
    QStringLiteral("INSERT INTO ADRESAR (JEDIN,TYP,MENO,EMAIL,TEL1,TEL2,"),
    QStringLiteral("POZNAMKA,SPOSOB_PLATBY,FARBA,ADRESA,PSC,MESTO,PRAVNA_FORMA,"),
    QStringLiteral("EMAIL2,EMAIL3,STAT) VALUES (:JEDIN,:TYP,:MENO,:EMAIL,"),
    QStringLiteral(":TEL1,:TEL2,:POZNAMKA,:SPOSOB_PLATBY,:FARBA,:ADRESA,:PSC,:MESTO,"),
    QStringLiteral(":PRAVNA_FORMA,:EMAIL2,:EMAIL3,:STAT)"),
};

const QStringList kUpdateAdresar = {
    QStringLiteral("UPDATE ADRESAR SET MENO=:MENO,EMAIL=:EMAIL,"),
    QStringLiteral("TEL1=:TEL1,TEL2=:TEL2,POZNAMKA=:POZNAMKA,FARBA=:FARBA,"),
    QStringLiteral("SPOSOB_PLATBY=:SPOSOB_PLATBY,ADRESA=:ADRESA,PSC=:PSC,MESTO=:MESTO,"),
    QStringLiteral("PRAVNA_FORMA=:PRAVNA_FORMA,EMAIL2=:EMAIL2,EMAIL3=:EMAIL3,"),
    QStringLiteral("STAT=:STAT"),
    QStringLiteral("WHERE JEDIN=:JEDIN"),
};

const QStringList kSelectKombinacie = {
    QStringLiteral("SELECT JEDIN,JAZYKOVA_KOMBINACIA,ADRESAR,CENA,MENA,"),
    QStringLiteral("MJ,POZNAMKA from kombinacie where jedin=:JEDIN"),
};

const QStringList kInsertKombinacie = {
    QStringLiteral("INSERT INTO KOMBINACIE (JEDIN,JAZYKOVA_KOMBINACIA,ADRESAR,"),
    QStringLiteral("CENA,MENA,MJ,POZNAMKA) VALUES (:JEDIN,:JAZYKOVA_KOMBINACIA,"),
    QStringLiteral(":ADRESAR,:CENA,:MENA,:MJ,:POZNAMKA)"),
};

const QStringList kUpdateKombinacie = {
    QStringLiteral("UPDATE KOMBINACIE SET JAZYKOVA_KOMBINACIA=:JAZYKOVA_KOMBINACIA,"),
    QStringLiteral("CENA=:CENA,MENA=:MENA,MJ=:MJ,POZNAMKA=:POZNAMKA"),
    QStringLiteral("WHERE JEDIN=:JEDIN"),
};
