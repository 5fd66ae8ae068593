#include "TestDatabase.h"

#include "fb/Decimal.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "register/EPrekladySql.h"
#include "register/PriceCalc.h"

#include <QDate>

#include <gtest/gtest.h>

using fb::Decimal;

namespace {

Decimal dec(const char* text)
{
    return *Decimal::fromString(QString::fromLatin1(text));
}

const QStringList kWrite = {"read_committed", "rec_version", "write", "nowait"};

}  // namespace

// What the editor shows must be what the trigger stores, to the cent.
TEST(PriceTotals, AgreeWithTheJobTrigger)
{
    struct Case {
        const char *price, *rate, *coefficient, *scope;
    };
    const Case cases[] = {
        {"10.00", "1.000", "100.00", "1.00"},
        {"0.35", "1.000", "100.00", "1234.00"},
        {"12.45", "30.126", "100.00", "17.50"},     // the old SKK rate
        {"0.05", "3.000", "50.00", "1.00"},          // half a cent to round
        {"0.15", "1.000", "50.00", "1.00"},          // 0.075 is not exact in binary
        {"1.05", "1.000", "50.00", "1.00"},
        {"2.675", "1.000", "100.00", "1.00"},
        {"19.99", "0.333", "115.50", "3.33"},
        {"-12.50", "1.000", "100.00", "2.00"},       // credit notes are negative
        {"8.30", "27.500", "125.00", "0.25"},
        {"1234567.89", "1.000", "100.00", "99.99"},
        {"0.01", "1.000", "0.01", "0.01"},
    };
    TestDatabase db{TestDatabase::Migrated};
    db.exec({"insert into adresar (jedin, typ, meno) values (1, 0, 'Objednávateľ')",
             "insert into jazykove_kombinacie (jedin, skratka) values (1, 'SK-EN')"});
    fb::Transaction tr(db.connection(), kWrite);
    tr.start();
    fb::Query insert(tr);
    insert.setSql({"insert into preklady (jedin, objednavatel, jazykova_kombinacia, obj_faktura, pre_faktura,",
                   " obj_cena_mj, obj_kurz, obj_koeficient, obj_rozsah,",
                   " pre_cena_mj, pre_kurz, pre_koeficient, pre_rozsah)",
                   "values (:JEDIN, 1, 1, '', '', :MJ, :KURZ, :KOEF, :ROZSAH, :MJ, :KURZ, :KOEF, :ROZSAH)",
                   "returning obj_cena, obj_cena_skk, pre_cena, pre_cena_skk"});
    int jedin = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.price) + " / " + c.rate + " x " + c.coefficient + "% x " + c.scope);
        // the columns hold 2 or 3 decimals: compute from what is stored
        const Decimal price = *dec(c.price).rescaled(2);
        insert.setParams({{"JEDIN", ++jedin},
                          {"MJ", QVariant::fromValue(price)},
                          {"KURZ", QVariant::fromValue(dec(c.rate))},
                          {"KOEF", QVariant::fromValue(dec(c.coefficient))},
                          {"ROZSAH", QVariant::fromValue(dec(c.scope))}});
        insert.execute();
        const PriceTotals t = ComputePriceTotals(price, dec(c.rate), dec(c.coefficient), dec(c.scope));
        EXPECT_EQ(t.total.toString(), insert.value("OBJ_CENA").toString());
        ASSERT_TRUE(t.totalEur);
        EXPECT_EQ(t.totalEur->toString(), insert.value("OBJ_CENA_SKK").toString());
        EXPECT_EQ(t.totalEur->toString(), insert.value("PRE_CENA_SKK").toString());
    }
    tr.rollback();
}

TEST(PriceTotals, ARateOfZeroGivesNoEuroTotal)
{
    // An amount in crowns shown under "in €" would be read as euros.
    const PriceTotals t = ComputePriceTotals(dec("12.00"), dec("0"), dec("100"), dec("3"));
    EXPECT_EQ(t.total, dec("36.00"));
    EXPECT_FALSE(t.totalEur);
}

TEST(MoneySum, IsExactWhereDoublesDrift)
{
    MoneySum sum;
    double binary = 0;
    for (int i = 0; i < 100000; ++i) {
        sum.add(QVariant::fromValue(Decimal(10, 2)));  // 0.10
        binary += 0.10;
    }
    sum.add(QVariant());  // null counts as 0
    sum.add(QVariant::fromValue(Decimal(-5, 1)));
    EXPECT_EQ(sum.value().toString(), "9999.50");
    EXPECT_NE(QString::number(binary - 0.5, 'f', 10), "9999.5000000000");  // what a double sum would show
}

TEST(RegisterStatement, ConditionsFollowThePanelInOrder)
{
    struct Case {
        const char* name;
        PrekladyFilter filter;
        QString marked;
        QStringList conditions;  // the lines after the fixed select
        QVariantMap params;
    };
    PrekladyFilter none;
    none.odoslanie = 0;
    PrekladyFilter customer = none;
    customer.objednavatel = 7;
    PrekladyFilter all;
    all.objednavatel = 7;
    all.prekladatel = 9;
    all.zadanie = 1;
    all.dodanie = 2;
    all.odoslanie = 1;
    all.ibaNefakturovane = true;
    all.ibaNevyplatene = true;
    all.pm = "JK";
    all.text = "faktúra";
    PrekladyFilter longText = none;
    longText.text = QStringLiteral("Zmluva o dielo č. 2026/1234 – príloha");
    PrekladyFilter blanks = none;
    blanks.pm = "  ";
    blanks.text = " ";
    const Case cases[] = {
        {"nothing", none, {}, {}, {}},
        {"customer", customer, {}, {" where ", "a.objednavatel=:OBJEDNAVATEL"}, {{"OBJEDNAVATEL", 7}}},
        {"marked, then a customer", customer, "a.jedin in (5,9,12)",
         {"where a.jedin in (5,9,12)", " and ", "a.objednavatel=:OBJEDNAVATEL"}, {{"OBJEDNAVATEL", 7}}},
        {"more than 500 marked", none,
         "a.jedin in (select cislo from temp_spracuj where connection_id=current_connection and zaradenie='X')",
         {"where a.jedin in (select cislo from temp_spracuj where connection_id=current_connection and "
          "zaradenie='X')"},
         {}},
        {"blank texts add nothing", blanks, {}, {}, {}},
        {"everything",
         all,
         {},
         {" where ", "a.objednavatel=:OBJEDNAVATEL", " and ", "a.prekladatel=:PREKLADATEL", " and ",
          "a.DATUM_ZADANIA_PREKLADATELOVI is null", " and ", "a.DATUM_DODANIA_PREKLADU is not null", " and ",
          "a.DATUM_ODOSLANIA_PREKLADU is null", " and ", "a.OBJ_UKONCENE=0", " and ", "a.PRE_UKONCENE=0", " and ",
          "a.PM=:PM", " and ",
          "(a.nazov CONTAINING :TEXT OR A.POZNAMKA CONTAINING :TEXT OR A.ZNACKA CONTAINING :ZNACKA)"},
         {{"OBJEDNAVATEL", 7}, {"PREKLADATEL", 9}, {"PM", "JK"}, {"TEXT", QStringLiteral("faktúra")},
          {"ZNACKA", QStringLiteral("faktúra")}}},
        {"text longer than the mark",
         longText,
         {},
         {" where ", "(a.nazov CONTAINING :TEXT OR A.POZNAMKA CONTAINING :TEXT OR A.ZNACKA CONTAINING :ZNACKA)"},
         {{"TEXT", longText.text}, {"ZNACKA", longText.text.left(25)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fb::Statement s = PrekladyRefreshStatement(c.filter, c.marked, "a.termin, a.ZNACKA");
        ASSERT_GE(s.lines.size(), 19);
        EXPECT_EQ(s.lines[16], "JOIN JAZYKOVE_KOMBINACIE D ON D.JEDIN=A.JAZYKOVA_KOMBINACIA");
        EXPECT_EQ(s.lines.mid(17, s.lines.size() - 19), c.conditions);
        EXPECT_EQ(s.lines.mid(s.lines.size() - 2), QStringList({"order by", "a.termin, a.ZNACKA"}));
        EXPECT_EQ(s.params, c.params);
    }
}

// The statement against real rows: what is listed and the state column.
TEST(RegisterStatement, ListsJobsWithACombinationAndTheirState)
{
    TestDatabase db{TestDatabase::Migrated};
    db.exec({"insert into adresar (jedin, typ, meno, farba) values (1, 0, 'Objednávateľ', 255)",
             "insert into adresar (jedin, typ, meno) values (2, 1, 'Prekladateľ')",
             "insert into jazykove_kombinacie (jedin, skratka) values (1, 'SK-EN')"});
    const QDate today = QDate::currentDate();
    struct Job {
        int jedin;
        int daysToDeadline;
        bool sent;
        bool combination;
        QVariant stav;  // invalid: not listed
    };
    const Job jobs[] = {
        {1, -1, false, true, -1}, {2, 0, false, true, 0},   {3, 1, false, true, 1},
        {4, 2, false, true, 2},   {5, 1, true, true, QVariant(QMetaType::fromType<int>())},
        {6, 1, false, false, {}},
    };
    fb::Transaction tr(db.connection(), kWrite);
    tr.start();
    fb::Query q(tr);
    q.setSql({"insert into preklady (jedin, znacka, objednavatel, prekladatel, jazykova_kombinacia, termin,",
              " datum_odoslania_prekladu, obj_faktura, pre_faktura)",
              "values (:JEDIN, :ZNACKA, 1, 2, :KOMBINACIA, :TERMIN, :ODOSLANE, '', '')"});
    for (const Job& j : jobs) {
        q.setParams({{"JEDIN", j.jedin},
                     {"ZNACKA", QStringLiteral("Z%1").arg(j.jedin)},
                     {"KOMBINACIA", j.combination ? QVariant(1) : QVariant()},
                     {"TERMIN", QDateTime(today.addDays(j.daysToDeadline), QTime(12, 0), Qt::UTC)},
                     {"ODOSLANE", j.sent ? QVariant(today) : QVariant()}});
        q.execute();
    }
    tr.commit();

    PrekladyFilter f;
    f.odoslanie = 0;
    const fb::Statement s = PrekladyRefreshStatement(f, {}, "a.jedin");
    fb::Transaction read(db.connection(), {"read_committed", "rec_version", "read", "nowait"});
    read.start();
    fb::Query list(read);
    list.setStatement(s);
    list.execute();
    QMap<int, QVariant> listed;
    while (list.next()) {
        listed.insert(list.value("JEDIN").toInt(), list.value("STAV"));
        EXPECT_EQ(list.value("OBJ_FARBA"), QVariant(255));
    }
    EXPECT_EQ(listed.keys(), QList<int>({1, 2, 3, 4, 5}));  // job 6 has no combination
    for (const Job& j : jobs) {
        if (!listed.contains(j.jedin))
            continue;
        SCOPED_TRACE(j.jedin);
        EXPECT_EQ(listed[j.jedin].isNull(), j.sent);
        if (!j.sent) {
            EXPECT_EQ(listed[j.jedin].toInt(), j.stav.toInt());
        }
    }
}
