// The plain cores of the reports: amounts in words, the report functions and
// the statements of the four report dialogs, line for line.
#include "fb/Decimal.h"
#include "reports/EPrekladyTlacSql.h"
#include "reports/ReportByName.h"
#include "reports/NumToWords.h"
#include "reports/ReportFunctions.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <functional>

#include <ostream>

// Readable failures: texts as texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os)
{
    *os << "{\n  \"" << l.join(QStringLiteral("\",\n  \"")).toStdString() << "\"\n}";
}

#include <limits>

namespace {

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

QStringList tailAfter(const QStringList& lines, const QString& marker)
{
    const qsizetype at = lines.indexOf(marker);
    return at < 0 ? QStringList{QStringLiteral("<no ") + marker + QStringLiteral(">")} : lines.mid(at + 1);
}

const QDate kMay1(2026, 5, 1), kMay31(2026, 5, 31);

}  // namespace

// ---- amounts in words -------------------------------------------------------------

TEST(NumToWords, WorkedResults)
{
    const std::pair<qint64, const char*> cases[] = {
        {0, ""},
        {1, "jeden"},
        {21, "dvadsaťjeden"},
        {100, "jednosto"},
        {101, "jednostojeden"},
        {215, "dvestopätnásť"},
        {999, "deväťstodeväťdesiatdeväť"},
        {1000, "jedentisíc"},
        {1100, "jedentisícsto"},
        {1234, "jedentisícdvestotridsaťštyri"},
        {2500, "dvetisícpäťsto"},
        {12345, "dvanásťtisíctristoštyridsaťpäť"},
        {21000, "dvadsaťjedentisíc"},
        {100000, "jednostotisíc"},
        {101000, "jednostojedentisíc"},
        {1000000, "jedenmilión"},
        {1100000, "jedenmiliónstotisíc"},
        {2000000, "dvamilióny"},
        {5000000, "päťmiliónov"},
        {12000000, "dvanásťmiliónov"},
        {20000000, "dvadsaťmiliónov"},
        {100000000, "jednostomiliónov"},
        {1000000000, "jednamiliarda"},
        {1100000000, "jednamiliardastomiliónov"},
        {5000000000, "päťmiliárd"},
        {19999999999, "deväťnásťmiliárddeväťstodeväťdesiatdeväťmiliónovdeväťstodeväťdesiatdeväťtisícdeväťstodeväťd"
                      "esiatdeväť"},
        {20000000000, "!!!!! veľké číslo !!!!!"},
        {std::numeric_limits<qint64>::max(), "!!!!! veľké číslo !!!!!"},
        // Two to four billions take the plural like thousands and millions do.
        {2000000000, "dvemiliardy"},
        {3000000001, "trimiliardyjeden"},
        {4250000000, "štyrimiliardydvestopäťdesiatmiliónov"},
        {2001000000, "dvemiliardyjedenmilión"},
        {19000000000, "deväťnásťmiliárd"},
        // A leading hundred only says "jedno"; a hundred after millions does not.
        {1100100, "jedenmiliónstotisícsto"},
        {1000100, "jedenmiliónsto"},
        {200, "dvesto"},
        {3000, "tritisíc"},
        {4000000, "štyrimilióny"},
        {11000, "jedenásťtisíc"},
        {15000000, "pätnásťmiliónov"},
        {22000000, "dvadsaťdvamiliónov"},   // after tens the plural form
        {102000, "jednostodvatisíc"},
        {110000, "jednostodesaťtisíc"},
        {1000000000001, "!!!!! veľké číslo !!!!!"},
        {-5, ""},
    };
    for (const auto& [n, words] : cases)
        EXPECT_EQ(NumToWords(n), u(words)) << n;
}

// ---- report functions -------------------------------------------------------------

TEST(ReportFunctions, MoneyToStrCutsTheFractionOfTheAbsoluteValue)
{
    fb::registerDecimalType();
    const std::pair<QVariant, const char*> cases[] = {
        {1234.99, "jedentisícdvestotridsaťštyri"},
        {-5, "päť"},
        {-5.7, "päť"},
        {0, ""},
        {0.99, ""},
        {QVariant(), ""},
        {20000000000.0, "!!!!! veľké číslo !!!!!"},
        {1e300, "!!!!! veľké číslo !!!!!"},
        {-1e300, "!!!!! veľké číslo !!!!!"},
        {std::numeric_limits<double>::quiet_NaN(), ""},
        {QVariant::fromValue(std::numeric_limits<qint64>::min()), "!!!!! veľké číslo !!!!!"},
        {QVariant::fromValue(fb::Decimal(123499, 2)), "jedentisícdvestotridsaťštyri"},
        {QVariant::fromValue(fb::Decimal(-99999, 2)), "deväťstodeväťdesiatdeväť"},
        // The whole part exactly: 0.999... as a double would round up.
        {QVariant::fromValue(fb::Decimal(999999999999999999, 18)), ""},
        {QStringLiteral("1 234,99"), "jedentisícdvestotridsaťštyri"},
        {QStringLiteral("abc"), ""},
    };
    for (const auto& [value, words] : cases)
        EXPECT_EQ(MoneyToStr(value), u(words)) << value.toString().toStdString();
}

TEST(ReportFunctions, ReplaceStrNeverRescansAndIgnoresAnEmptySearch)
{
    struct Case {
        const char *input, *search, *replace, *result;
    };
    const Case cases[] = {
        {"aaa", "aa", "a", "aa"},
        {"abc", "", "x", "abc"},
        {"abab", "ab", "abab", "abababab"},
        {"Abc abc", "abc", "x", "Abc x"},  // case-sensitive
        {"a;b;c", ";", "\r\n", "a\r\nb\r\nc"},
        {"xyz", "q", "r", "xyz"},
        {"", "a", "b", ""},
        {"čaša", "š", "", "čaa"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceStr(u(c.input), u(c.search), u(c.replace)), u(c.result)) << c.input << " / " << c.search;
}

TEST(ReportFunctions, AsCurrencyStrFollowsTheLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
    const QString sk = AsCurrencyStr(1234.5);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString us = AsCurrencyStr(-1234.5);
    QLocale::setDefault(previous);
    EXPECT_EQ(sk, QLocale(QLocale::Slovak, QLocale::Slovakia).toCurrencyString(1234.5));
    EXPECT_TRUE(sk.contains(u("€"))) << sk.toStdString();
    EXPECT_TRUE(sk.contains(QStringLiteral(",50"))) << sk.toStdString();
    EXPECT_TRUE(us.contains(QStringLiteral("$1,234.50"))) << us.toStdString();
    EXPECT_EQ(AsCurrencyStr(QVariant()), QString());
}

TEST(ReportFunctions, TableOfTheQuendelCategory)
{
    fb::registerDecimalType();
    EXPECT_EQ(ReportFunctionCategory(), QStringLiteral("Quendel"));
    const QList<ReportFunction>& f = ReportFunctions();
    ASSERT_EQ(f.size(), 4);
    EXPECT_EQ(f[0].name, QStringLiteral("MONEYTOSTR"));
    EXPECT_EQ(f[0].description, u("MONEYTOSTR(<Number>)/Vráti číslo ako text suma slovom."));
    EXPECT_EQ(f[1].name, QStringLiteral("REPLACESTR"));
    EXPECT_EQ(f[1].description,
              u("REPLACESTR(<InputString>, <SearchFor>, <ReplaceWith>)/Nahradí text \"SearchFor\" textom \"ReplaceWith\""));
    EXPECT_EQ(f[2].name, QStringLiteral("NEWLINESTR"));
    EXPECT_EQ(f[2].description, u("NEWLINESTR/Vráti reťazec Chr(13) + Chr(10)"));
    EXPECT_EQ(f[3].name, QStringLiteral("ASCURRENCYSTR"));
    EXPECT_EQ(f[3].description,
              u("ASCURRENCYSTR(<Number>)/Vráti numerickú hodnotu formátovanú podľa nastavenia OS pre lokálnu menu"));
    EXPECT_EQ(f[0].call({QVariant::fromValue(fb::Decimal(2150, 2))}).toString(), u("dvadsaťjeden"));
    EXPECT_EQ(f[1].call({QStringLiteral("aaa"), QStringLiteral("aa"), QStringLiteral("a")}).toString(),
              QStringLiteral("aa"));
    EXPECT_EQ(f[2].call({}).toString(), QStringLiteral("\r\n"));
    EXPECT_EQ(f[2].argumentCount, 0);
    EXPECT_EQ(f[1].argumentCount, 3);
}

// ---- period -----------------------------------------------------------------------

TEST(ReportPeriod, DefaultIsThePreviousCalendarMonth)
{
    const std::pair<QDate, std::pair<QDate, QDate>> cases[] = {
        {QDate(2026, 6, 15), {kMay1, kMay31}},
        {QDate(2026, 6, 1), {kMay1, kMay31}},
        {QDate(2026, 6, 30), {kMay1, kMay31}},
        {QDate(2026, 1, 10), {QDate(2025, 12, 1), QDate(2025, 12, 31)}},
        {QDate(2024, 3, 31), {QDate(2024, 2, 1), QDate(2024, 2, 29)}},
        {QDate(2026, 3, 1), {QDate(2026, 2, 1), QDate(2026, 2, 28)}},
    };
    for (const auto& [today, period] : cases)
        EXPECT_EQ(DefaultReportPeriod(today), period) << today.toString(Qt::ISODate).toStdString();
}

TEST(ReportPeriod, ConditionSwapsDatesGivenTheWrongWayRound)
{
    struct Case {
        QDate od, doDate;
        const char* condition;
        QVariantMap params;
    };
    const Case cases[] = {
        {kMay1, kMay31, "x between :OD and :DO", {{"OD", kMay1}, {"DO", kMay31}}},
        {kMay31, kMay1, "x between :OD and :DO", {{"OD", kMay1}, {"DO", kMay31}}},
        {kMay1, kMay1, "x between :OD and :DO", {{"OD", kMay1}, {"DO", kMay1}}},
        {kMay1, {}, "x>=:OD", {{"OD", kMay1}}},
        {{}, kMay31, "x<=:DO", {{"DO", kMay31}}},
        {{}, {}, "", {}},
    };
    for (const Case& c : cases) {
        QVariantMap params;
        EXPECT_EQ(PeriodCondition(QStringLiteral("x"), c.od, c.doDate, params), u(c.condition));
        EXPECT_EQ(params, c.params) << c.condition;
    }
}

// ---- job lists --------------------------------------------------------------------

TEST(ZoznamStatement, CustomersWholeStatement)
{
    ZoznamValues v;
    v.od = kMay31;  // given the wrong way round
    v.doDate = kMay1;
    v.adresar = 7;
    const fb::Statement s = ZoznamStatement(v);
    const QStringList expected = {
        "SELECT",
        "d.skupina as skupina2,",
        "a.JEDIN,a.ZNACKA,a.NAZOV,a.DATUM_PRIJATIA,",
        "a.DATUM_ZADANIA_PREKLADATELOVI,a.DATUM_DODANIA_PREKLADU,",
        "a.DATUM_ODOSLANIA_PREKLADU,cast(a.TERMIN as date) as termin,",
        "d.skratka as JAZYKOVA_KOMBINACIA,a.PM,",
        "b.meno as OBJEDNAVATEL,a.OBJ_CENA_MJ,e.skratka as OBJ_MJ,a.OBJ_MENA,",
        "a.OBJ_KURZ,a.OBJ_KOEFICIENT,a.OBJ_ROZSAH,a.OBJ_FAKTURA,",
        "a.OBJ_UKONCENE,c.meno as PREKLADATEL,a.PRE_CENA_MJ,",
        "f.skratka as PRE_MJ,a.PRE_MENA,a.PRE_KURZ,a.PRE_KOEFICIENT,a.PRE_ROZSAH,",
        "a.PRE_FAKTURA,a.PRE_UKONCENE,a.UKONCENE,a.POZNAMKA,",
        "a.obj_cena,a.obj_cena_skk,a.PRE_cena,a.PRE_cena_skk,",
        "a.hodnoteny,",
        "iif(a.hodnoteny=1, a.hodnotenie, null) as hodnotenie,",
        "b.meno as skupina",
        "FROM PREKLADY a",
        "Left join adresar b on b.jedin=a.objednavatel",
        "Left join adresar c on c.jedin=a.prekladatel",
        "join jazykove_kombinacie d on d.jedin=a.jazykova_kombinacia",
        "left join merne_jednotky e on e.jedin=a.obj_mj",
        "left join merne_jednotky f on f.jedin=a.pre_mj",
        " where ",
        "a.DATUM_ODOSLANIA_PREKLADU between :OD and :DO",
        " and ",
        "a.objednavatel=:ADRESAR",
        " and ",
        "a.DATUM_ODOSLANIA_PREKLADU is not null",
        " and ",
        "a.obj_ukoncene=0",
        "order by b.meno,1,d.skratka,a.DATUM_ODOSLANIA_PREKLADU,a.jedin",
    };
    EXPECT_EQ(s.lines, expected);
    EXPECT_EQ(s.params, (QVariantMap{{"OD", kMay1}, {"DO", kMay31}, {"ADRESAR", 7}}));
}

TEST(ZoznamStatement, ConditionsAndOrderPerMode)
{
    const QString lastJoin = QStringLiteral("left join merne_jednotky f on f.jedin=a.pre_mj");
    struct Case {
        ZoznamValues v;
        QStringList tail;
        QVariantMap params;
    };
    const auto values = [](int mode, QDate od, QDate doDate, QVariant adresar, bool dodane, bool faktura) {
        ZoznamValues v;
        v.mode = mode;
        v.od = od;
        v.doDate = doDate;
        v.adresar = adresar;
        v.dodane = dodane;
        v.faktura = faktura;
        return v;
    };
    const Case cases[] = {
        // All time, nothing ticked: no condition at all.
        {values(0, {}, {}, {}, false, false),
         {"order by b.meno,1,d.skratka,a.DATUM_ODOSLANIA_PREKLADU,a.jedin"},
         {}},
        {values(1, {}, {}, {}, false, false),
         {"order by c.meno,1,d.skratka,a.DATUM_DODANIA_PREKLADU,a.jedin"},
         {}},
        {values(2, {}, {}, {}, false, false),
         {"order by a.pm,1,a.DATUM_ODOSLANIA_PREKLADU,b.meno,a.jedin"},
         {}},
        // Translators: the delivered date, the translator, the payment.
        {values(1, kMay1, kMay31, 3, true, true),
         {" where ", "a.DATUM_DODANIA_PREKLADU between :OD and :DO", " and ", "a.prekladatel=:ADRESAR", " and ",
          "a.DATUM_DODANIA_PREKLADU is not null", " and ", "a.pre_ukoncene=0",
          "order by c.meno,1,d.skratka,a.DATUM_DODANIA_PREKLADU,a.jedin"},
         {{"OD", kMay1}, {"DO", kMay31}, {"ADRESAR", 3}}},
        // PM: the customer's side.
        {values(2, kMay1, {}, 4, false, true),
         {" where ", "a.DATUM_ODOSLANIA_PREKLADU>=:OD", " and ", "a.objednavatel=:ADRESAR", " and ",
          "a.obj_ukoncene=0", "order by a.pm,1,a.DATUM_ODOSLANIA_PREKLADU,b.meno,a.jedin"},
         {{"OD", kMay1}, {"ADRESAR", 4}}},
        {values(1, {}, kMay31, {}, true, false),
         {" where ", "a.DATUM_DODANIA_PREKLADU<=:DO", " and ", "a.DATUM_DODANIA_PREKLADU is not null",
          "order by c.meno,1,d.skratka,a.DATUM_DODANIA_PREKLADU,a.jedin"},
         {{"DO", kMay31}}},
        // Only a check box: it opens with " where ".
        {values(0, {}, {}, {}, false, true),
         {" where ", "a.obj_ukoncene=0", "order by b.meno,1,d.skratka,a.DATUM_ODOSLANIA_PREKLADU,a.jedin"},
         {}},
        {values(0, {}, {}, 9, false, false),
         {" where ", "a.objednavatel=:ADRESAR", "order by b.meno,1,d.skratka,a.DATUM_ODOSLANIA_PREKLADU,a.jedin"},
         {{"ADRESAR", 9}}},
    };
    for (const Case& c : cases) {
        const fb::Statement s = ZoznamStatement(c.v);
        EXPECT_EQ(tailAfter(s.lines, lastJoin), c.tail) << "mode " << c.v.mode;
        EXPECT_EQ(s.params, c.params) << "mode " << c.v.mode;
    }
}

TEST(ZoznamStatement, GroupsAndGroupNamePerMode)
{
    ZoznamValues v;
    v.skupiny = false;
    for (int mode : {0, 1, 2}) {
        v.mode = mode;
        const QStringList lines = ZoznamStatement(v).lines;
        EXPECT_EQ(lines.value(1), QStringLiteral("cast('' as vch_025) as skupina2,"));
        EXPECT_EQ(lines.value(14), mode == 0 ? QStringLiteral("b.meno as skupina") : QStringLiteral("c.meno as skupina"));
    }
}

TEST(ZoznamRequest, LayoutByModeAndLanguage)
{
    const std::tuple<int, QVariant, const char*> cases[] = {
        {0, 1, "Preh_Obj_Sk.frf"}, {0, 2, "Preh_Obj_En.frf"},     {1, 1, "Preh_Pre_Sk.frf"},
        {1, 2, "Preh_Pre_En.frf"}, {2, 1, "Preh_PM_Sk.frf"},      {2, 2, "Preh_PM_En.frf"},
        {0, QVariant(), "Preh_Obj_En.frf"},  // no language: English
        {0, 3, "Preh_Obj_En.frf"},
        {0, QStringLiteral("1"), "Preh_Obj_Sk.frf"},
    };
    for (const auto& [mode, jazyk, name] : cases)
        EXPECT_EQ(ZoznamLayoutName(mode, jazyk), u(name));

    ZoznamValues v;
    v.mode = 1;
    const ReportRequest r = ZoznamRequest(v);
    EXPECT_EQ(r.title, u("Zoznam prekladov podľa prekladateľov"));
    EXPECT_EQ(r.layoutName, QStringLiteral("Preh_Pre_Sk.frf"));
    EXPECT_TRUE(r.variables.isEmpty());
    EXPECT_EQ(ZoznamCaption(0), u("Zoznam prekladov podľa objednávateľov"));
    EXPECT_EQ(ZoznamCaption(2), u("Zoznam prekladov podľa PM"));
}

// ---- profitability ----------------------------------------------------------------

TEST(ZiskovostStatement, WholeStatementPerMode)
{
    ZiskovostValues v;
    v.od = kMay1;
    v.doDate = kMay31;
    v.adresar = 5;
    const QStringList byCustomers = {
        "select b.meno as adresar,",
        "sum(obj_cena_skk) as obj_cena_skk,",
        "sum(PRE_cena_skk) as PRE_cena_skk,",
        "sum(obj_cena_skk)-sum(PRE_cena_skk) as Zisk,",
        "avg(zisk_percento) as ZiskPer",
        ",count(*) as pocet",
        ",sum(zisk_percento) as zisk_percento_sucet",
        ",c.skupina",
        "from preklady a",
        "left join adresar b on b.jedin=a.objednavatel",
        "left join jazykove_kombinacie c on c.jedin=a.jazykova_kombinacia",
        "where 1=1",
        "and a.DATUM_DODANIA_PREKLADU between :OD and :DO",
        "and a.objednavatel=:ADRESAR",
        "and a.DATUM_DODANIA_PREKLADU is not null",
        "group by b.meno",
        ",c.skupina",
        "order by 1",
    };
    EXPECT_EQ(ZiskovostStatement(v).lines, byCustomers);
    EXPECT_EQ(ZiskovostStatement(v).params, (QVariantMap{{"OD", kMay1}, {"DO", kMay31}, {"ADRESAR", 5}}));

    v.mode = 1;
    v.skupiny = false;
    v.dodane = false;
    v.od = {};
    v.orderBy = 9;
    const QStringList byTranslators = {
        "select b.meno as adresar,",
        "sum(obj_cena_skk) as obj_cena_skk,",
        "sum(PRE_cena_skk) as PRE_cena_skk,",
        "sum(obj_cena_skk)-sum(PRE_cena_skk) as Zisk,",
        "avg(zisk_percento) as ZiskPer",
        ",count(*) as pocet",
        ",sum(zisk_percento) as zisk_percento_sucet",
        ",cast('' as vch_025) as skupina",
        "from preklady a",
        "left join adresar b on b.jedin=a.prekladatel",
        "where 1=1",
        "and a.DATUM_DODANIA_PREKLADU<=:DO",
        "and a.prekladatel=:ADRESAR",
        "group by b.meno",
        "order by 3 desc",
    };
    EXPECT_EQ(ZiskovostStatement(v).lines, byTranslators);

    // By PM no address is joined, yet a chosen customer still restricts the jobs.
    v.mode = 2;
    v.skupiny = true;
    v.doDate = {};
    v.od = kMay1;
    v.orderBy = QVariant();
    const QStringList byPm = {
        "select a.pm,",
        "sum(obj_cena_skk) as obj_cena_skk,",
        "sum(PRE_cena_skk) as PRE_cena_skk,",
        "sum(obj_cena_skk)-sum(PRE_cena_skk) as Zisk,",
        "avg(zisk_percento) as ZiskPer",
        ",count(*) as pocet",
        ",sum(zisk_percento) as zisk_percento_sucet",
        ",c.skupina",
        "from preklady a",
        "left join jazykove_kombinacie c on c.jedin=a.jazykova_kombinacia",
        "where 1=1",
        "and a.DATUM_DODANIA_PREKLADU>=:OD",
        "and a.objednavatel=:ADRESAR",
        "group by a.pm",
        ",c.skupina",
    };
    EXPECT_EQ(ZiskovostStatement(v).lines, byPm);
}

TEST(ZiskovostStatement, OrderLinePerSortChoice)
{
    const std::pair<QVariant, const char*> cases[] = {
        {1, "order by 1"},      {2, "order by 2"},      {3, "order by 4"},      {4, "order by 5"},
        {5, "order by 2 desc"}, {6, "order by 4 desc"}, {7, "order by 5 desc"}, {8, "order by 3"},
        {9, "order by 3 desc"}, {0, ""},                {10, ""},               {QVariant(), ""},
        {QString(), ""},        {QStringLiteral("x"), ""}, {QStringLiteral("6"), "order by 4 desc"},
    };
    for (const auto& [choice, line] : cases)
        EXPECT_EQ(ZiskovostOrderLine(choice), u(line)) << choice.toString().toStdString();
}

TEST(ZiskovostRequest, LayoutAndTypPerMode)
{
    for (int mode : {0, 1, 2}) {
        ZiskovostValues v;
        v.mode = mode;
        const ReportRequest r = ZiskovostRequest(v);
        EXPECT_EQ(r.title, ZiskovostCaption(mode));
        EXPECT_EQ(r.layoutName, mode == 2 ? QStringLiteral("Zisk_PM.frf") : QStringLiteral("Zisk.frf"));
        ASSERT_EQ(r.variables.size(), 1);
        EXPECT_EQ(r.variables[0].category, QStringLiteral(" Nastavenia"));
        EXPECT_EQ(r.variables[0].name, QStringLiteral("Typ"));
        EXPECT_EQ(r.variables[0].value, QVariant(mode));
    }
    EXPECT_EQ(ZiskovostCaption(0), u("Ziskovosť prekladov podľa objednávateľov"));
    EXPECT_EQ(ZiskovostCaption(1), u("Ziskovosť prekladov podľa prekladateľov"));
    EXPECT_EQ(ZiskovostCaption(2), u("Ziskovosť prekladov podľa PM"));
}

// ---- monthly profitability ----------------------------------------------------------

TEST(ZiskovostMesacnaStatement, WithAndWithoutGroupingByAddress)
{
    ZiskovostMesacnaValues v;
    const QStringList plain = {
        "select extract(month from a.datum_odoslania_prekladu) as mesiac,",
        "extract(year from a.datum_odoslania_prekladu) as rok,",
        "c.skupina,",
        "sum(a.obj_cena_skk) as obj_cena_skk,",
        "sum(a.PRE_cena_skk) as PRE_cena_skk,",
        "sum(a.obj_cena_skk)-sum(a.PRE_cena_skk) as Zisk",
        "from preklady a",
        "left join jazykove_kombinacie c on c.jedin=a.jazykova_kombinacia",
        "where 1=1",
        "and a.datum_odoslania_prekladu is not null",
        "group by 2, 1, 3",
        "order by 2, 1",
    };
    EXPECT_EQ(ZiskovostMesacnaStatement(v).lines, plain);
    EXPECT_TRUE(ZiskovostMesacnaStatement(v).params.isEmpty());

    v.zoskupit = true;
    v.zoskupitPodla = 1;
    v.skupiny = false;
    v.dodane = false;
    v.od = kMay31;
    v.doDate = kMay1;
    const QStringList byTranslators = {
        "select extract(month from a.datum_odoslania_prekladu) as mesiac,",
        "extract(year from a.datum_odoslania_prekladu) as rok,",
        "b.meno as adresar,",
        "cast('' as vch_025) as skupina,",
        "sum(a.obj_cena_skk) as obj_cena_skk,",
        "sum(a.PRE_cena_skk) as PRE_cena_skk,",
        "sum(a.obj_cena_skk)-sum(a.PRE_cena_skk) as Zisk",
        "from preklady a",
        "left join adresar b on b.jedin = a.prekladatel",
        "where 1=1",
        "and a.datum_odoslania_prekladu between :OD and :DO",
        "group by 2, 1, 3, 4",
        "order by 2, 1, b.meno",
    };
    EXPECT_EQ(ZiskovostMesacnaStatement(v).lines, byTranslators);
    EXPECT_EQ(ZiskovostMesacnaStatement(v).params, (QVariantMap{{"OD", kMay1}, {"DO", kMay31}}));

    v.zoskupitPodla = 0;
    EXPECT_EQ(ZiskovostMesacnaStatement(v).lines.value(8), QStringLiteral("left join adresar b on b.jedin = a.objednavatel"));
}

TEST(ZiskovostMesacnaRequest, TypIsTheGroupingOrMinusOne)
{
    struct Case {
        bool zoskupit;
        QVariant podla;
        int typ;
    };
    const Case cases[] = {{false, 1, -1}, {true, 0, 0}, {true, 1, 1}, {true, QVariant(), 0}};
    for (const Case& c : cases) {
        ZiskovostMesacnaValues v;
        v.zoskupit = c.zoskupit;
        v.zoskupitPodla = c.podla;
        const ReportRequest r = ZiskovostMesacnaRequest(v);
        EXPECT_EQ(r.title, u("Ziskovosť prekladov po mesiacoch"));
        EXPECT_EQ(r.layoutName, QStringLiteral("ZiskMes.frf"));
        ASSERT_EQ(r.variables.size(), 1);
        EXPECT_EQ(r.variables[0].category, QStringLiteral(" Nastavenia"));
        EXPECT_EQ(r.variables[0].value, QVariant(c.typ));
    }
}

// ---- evaluation -------------------------------------------------------------------

TEST(HodnotenieStatement, WholeStatement)
{
    HodnotenieValues v;
    v.od = kMay31;
    v.doDate = kMay1;
    v.adresar = 2;
    const QStringList expected = {
        "SELECT",
        "c.skupina as skupina,",
        "avg(cast(a.hodnotenie as d_money)) as hodnotenie, b.meno as prekladatel,",
        "count(a.hodnotenie) as pocet,",
        "c.skratka as jazykova_kombinacia",
        "from preklady a",
        "join adresar b on b.jedin=a.prekladatel",
        "join jazykove_kombinacie c on c.jedin=a.jazykova_kombinacia",
        "where datum_dodania_prekladu is not null and a.hodnoteny=1",
        "and a.DATUM_DODANIA_PREKLADU between :OD and :DO",
        "and a.prekladatel=:ADRESAR",
        "group by 1, b.meno, c.skratka",
        "order by b.meno, 1, 2 desc, c.skratka",
    };
    EXPECT_EQ(HodnotenieStatement(v).lines, expected);
    EXPECT_EQ(HodnotenieStatement(v).params, (QVariantMap{{"OD", kMay1}, {"DO", kMay31}, {"ADRESAR", 2}}));

    v = {};
    v.skupiny = false;
    v.od = kMay1;
    const QStringList lines = HodnotenieStatement(v).lines;
    EXPECT_EQ(lines.value(1), QStringLiteral("cast('' as vch_025) as skupina,"));
    EXPECT_EQ(lines.value(9), QStringLiteral("and a.DATUM_DODANIA_PREKLADU>=:OD"));
    EXPECT_EQ(lines.value(10), QStringLiteral("group by 1, b.meno, c.skratka"));

    EXPECT_EQ(HodnotenieLayoutName(1), QStringLiteral("Hod_pre_Sk.frf"));
    EXPECT_EQ(HodnotenieLayoutName(2), QStringLiteral("Hod_pre_En.frf"));
    EXPECT_EQ(HodnotenieRequest(v).title, u("Prehľad hodnotenia prekladateľov"));
    EXPECT_TRUE(HodnotenieRequest(v).variables.isEmpty());
}

// Each option of a report by name sets what the dialog's control would: the
// request equals the dialog's function over those values; an option the
// dialog does not have, and an unknown report, are refused by name.
TEST(ReportByName, OptionsAreTheDialogsControls)
{
    const QDate today(2026, 6, 15);
    auto named = [&](const NamedReportOptions& o) {
        QString error;
        auto r = NamedReportRequest(o, today, error);
        EXPECT_TRUE(r) << error.toStdString();
        return r.value_or(ReportRequest{});
    };
    auto same = [](const ReportRequest& a, const ReportRequest& b, const char* name) {
        EXPECT_EQ(a.title, b.title) << name;
        EXPECT_EQ(a.layoutName, b.layoutName) << name;
        EXPECT_EQ(a.statement.lines, b.statement.lines) << name;
        EXPECT_EQ(a.statement.params, b.statement.params) << name;
        ASSERT_EQ(a.variables.size(), b.variables.size()) << name;
        for (qsizetype i = 0; i < a.variables.size(); ++i)
            EXPECT_EQ(a.variables[i].value, b.variables[i].value) << name;
    };
    {
        NamedReportOptions o;
        o.report = QStringLiteral("zoznam-prekladatelia");
        o.od = kMay31;
        o.doDate = kMay1;
        o.adresar = 7;
        o.dodane = false;
        o.faktura = false;
        o.skupiny = false;
        o.jazyk = 2;
        ZoznamValues v;
        v.mode = 1;
        v.od = kMay31;
        v.doDate = kMay1;
        v.adresar = 7;
        v.dodane = v.faktura = v.skupiny = false;
        v.jazyk = 2;
        same(named(o), ZoznamRequest(v), "job list, every option");
    }
    {
        NamedReportOptions o;
        o.report = QStringLiteral("ziskovost-pm");
        o.allTime = true;
        o.zoradit = 7;
        o.adresar = 3;
        ZiskovostValues v;
        v.mode = 2;
        v.orderBy = 7;
        v.adresar = 3;
        same(named(o), ZiskovostRequest(v), "profitability by PM over all time, sorted");
    }
    {
        NamedReportOptions o;
        o.report = QStringLiteral("ziskovost-mesacna");
        o.od = kMay1;
        o.zoskupitPodla = 1;
        o.dodane = false;
        ZiskovostMesacnaValues v;
        v.od = kMay1;
        v.zoskupit = true;
        v.zoskupitPodla = 1;
        v.dodane = false;
        same(named(o), ZiskovostMesacnaRequest(v), "monthly from a date, by translators");
    }
    {
        NamedReportOptions o;
        o.report = QStringLiteral("HODNOTENIE");
        o.adresar = 2;
        o.skupiny = false;
        HodnotenieValues v;
        std::tie(v.od, v.doDate) = DefaultReportPeriod(today);
        v.adresar = 2;
        v.skupiny = false;
        same(named(o), HodnotenieRequest(v), "evaluation in the previous month");
    }
    const struct {
        const char* report;
        std::function<void(NamedReportOptions&)> set;
        const char* error;
    } refused[] = {
        {"zostava", [](NamedReportOptions&) {}, "Neznáma zostava \"zostava\""},
        {"hodnotenie", [](NamedReportOptions& o) { o.faktura = true; }, "--nevyfakturovane nepatrí k zostave hodnotenie"},
        {"zoznam-pm", [](NamedReportOptions& o) { o.zoradit = 2; }, "--zoradit nepatrí k zostave zoznam-pm"},
        {"ziskovost-objednavatelia", [](NamedReportOptions& o) { o.jazyk = 2; }, "--jazyk nepatrí"},
        {"ziskovost-mesacna", [](NamedReportOptions& o) { o.adresar = 1; }, "--adresa nepatrí"},
        {"zoznam-objednavatelia", [](NamedReportOptions& o) { o.zoskupitPodla = 0; }, "--zoskupit nepatrí"},
        {"ziskovost-pm", [](NamedReportOptions& o) { o.zoradit = 10; }, "od 1 do 9"},
    };
    for (const auto& c : refused) {
        NamedReportOptions o;
        o.report = QLatin1String(c.report);
        c.set(o);
        QString error;
        EXPECT_FALSE(NamedReportRequest(o, today, error)) << c.report;
        EXPECT_TRUE(error.contains(u(c.error))) << error.toStdString();
    }
    EXPECT_EQ(NamedReportAddressType(QStringLiteral("zoznam-prekladatelia")), 1);
    EXPECT_EQ(NamedReportAddressType(QStringLiteral("zoznam-pm")), 0);
    EXPECT_EQ(NamedReportAddressType(QStringLiteral("hodnotenie")), 1);
    EXPECT_EQ(NamedReportAddressType(QStringLiteral("ziskovost-mesacna")), -1);
}

