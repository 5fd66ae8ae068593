// Expressions, display formats and functions, evaluated against a small
// report with one row of data.

#include "LayoutBuilder.h"

#include "reportengine/Report.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportFormat.h"

#include <gtest/gtest.h>

using namespace report;
using reporttest::band;
using reporttest::text;

namespace {

// Prepares a one-row report whose data band holds `expression` and returns
// the printed text.
struct Evaluator {
    MemoryDataset data;
    Report report;

    Evaluator()
    {
        data.addColumn({QStringLiteral("ZNACKA"), ColumnType::Text});
        data.addColumn({QStringLiteral("CENA"), ColumnType::Decimal, 2});
        data.addColumn({QStringLiteral("KURZ"), ColumnType::Decimal, 4});
        data.addColumn({QStringLiteral("POZNAMKA"), ColumnType::Text});
        data.addColumn({QStringLiteral("TERMIN"), ColumnType::Date});
        data.addColumn({QStringLiteral("POCET"), ColumnType::Integer});
        data.addRow({Value::text(QStringLiteral("P-17")), Value::number(*Decimal::fromString(QStringLiteral("0.10"))),
                     Value::number(*Decimal::fromString(QStringLiteral("30.126"))), Value(),
                     Value::date(QDate(2024, 2, 29)), Value::integer(7)});
        report.setDataset(QStringLiteral("MASTER"), &data);
        report.setTitle(QStringLiteral("Zoznam prekladov"));
        report.setVariable(QStringLiteral(" Nastavenia"), QStringLiteral("Typ"), Value::integer(2));
        report.setNow(QDateTime(QDate(2024, 3, 1), QTime(9, 5), Qt::UTC));
    }

    QString print(const QString& content, const QString& format = QString())
    {
        Layout layout;
        layout.masterData = band(BandKind::MasterData, 5, {text(0, 0, 150, 5, content, format)});
        report.setLayout(layout);
        const PreparedReport prepared = report.prepare();
        return prepared.pages.at(0).items.at(0).text;
    }
};

struct Case {
    const char* name;
    const char* expression;
    const char* expected;
};

TEST(ReportExpression, EvaluatesTable)
{
    const Case cases[] = {
        {"precedence", "[1 + 2 * 3]", "7"},
        {"parentheses", "[(1 + 2) * 3]", "9"},
        {"unary minus", "[-2 * -3]", "6"},
        {"exact decimals", "[0.1 + 0.2 = 0.3]", "Áno"},
        {"money keeps its decimals", "[MASTER.\"CENA\" * 3]", "0,30"},
        {"division rounds half away", "[2 / 3]", "0,666667"},
        {"integer division and remainder", "[17 DIV 5] [17 MOD 5]", "3 2"},
        {"euro from koruna", "[ROUND(1000 / KURZ, 2)]", "33,19"},
        {"quoted and bare field", "[MASTER.\"ZNACKA\"]/[ZNACKA]", "P-17/P-17"},
        {"text concatenation", "['Zn. ' + ZNACKA + ' (' + POCET + ')']", "Zn. P-17 (7)"},
        {"null in text is empty", "[ 'a' + POZNAMKA + 'b' ]", "ab"},
        {"null in arithmetic is null", "x[POCET + POZNAMKA]", "x"},
        {"null equals only null", "[POZNAMKA = NULL] [POZNAMKA = ''] [POZNAMKA <> 'x']", "Áno Nie Áno"},
        {"comparisons", "[2 < 10] ['b' > 'a'] [TERMIN >= DATE]", "Áno Áno Nie"},
        {"number against numeric text", "[POCET = '7']", "Áno"},
        {"logic", "[(1 < 2) AND NOT (2 < 1) OR FALSE]", "Áno"},
        {"iif takes one branch", "[IIF(POCET > 5, 'veľa', 1 / 0)]", "veľa"},
        {"iif on null goes to else", "[IIF(POZNAMKA, 'a', 'b')]", "b"},
        {"variable by name and in brackets", "[Typ]/[[Typ] + 1]", "2/3"},
        {"title, date and time", "[REPORTTITLE] [DATE] [TIME]", "Zoznam prekladov 01.03.2024 09:05"},
        {"date arithmetic", "[TERMIN + 1] [DATE - TERMIN]", "01.03.2024 1"},
        {"page and line", "[PAGE#]/[TOTALPAGES#] [LINE#]", "1/1 1"},
        {"text functions", "[UPPERCASE('ľudo')][COPY('abcdef', 2, 3)][POS('c', 'abc')][LENGTH('šťava')]", "ĽUDObcd35"},
        {"format functions", "[FORMATFLOAT(',0.00', 1234.5)] [FORMATDATETIME('mmmm yyyy', TERMIN)]",
         "1\u00a0234,50 február 2024"},
        {"nvl", "[NVL(POZNAMKA, '-')]", "-"},
        {"literal brackets stay text", "Spolu: [1+1] ks", "Spolu: 2 ks"},
        {"a branch not taken may name a missing field", "[IIF(1 = 1, 'a', NEZNAME)][IIF(1 = 2, MASTER.\"X\", 'b')]",
         "ab"},
    };
    Evaluator e;
    for (const Case& c : cases)
        EXPECT_EQ(e.print(QString::fromUtf8(c.expression)).toStdString(), std::string(c.expected)) << c.name;
}

TEST(ReportExpression, ErrorsNameTheProblem)
{
    const struct {
        const char* expression;
        const char* mustContain;
    } cases[] = {
        {"[NEZNAME]", "Neznáme pole alebo premenná \"NEZNAME\""},
        {"[MASTER.\"NEZNAME\"]", "Neznáme pole MASTER.\"NEZNAME\""},
        {"[INE.\"ZNACKA\"]", "Neznáme dáta \"INE\""},
        {"[IIF(1 = 2, 'a', NEZNAME)]", "Neznáme pole alebo premenná \"NEZNAME\""},
        {"[IIF(NEZNAME, 'a', 'b')]", "Neznáme pole alebo premenná \"NEZNAME\""},
        {"[1 +]", "výraz nie je úplný"},
        {"[(1 + 2]", "očakáva sa \")\""},
        {"[1 + 2", "chýba ]"},
        {"[NIECO(1)]", "Neznáma funkcia NIECO"},
        {"[IIF(1, 2)]", "IIF má tri argumenty"},
        {"[SUM(CENA, 'WEEK')]", "neznámy rozsah 'WEEK'"},
        {"[1 / 0]", "Delenie nulou"},
        {"[ZNACKA * 2]", "nie je číslo"},
        {"[COPY('a')]", "Funkcia COPY dostala 1 argumentov"},
    };
    Evaluator e;
    for (const auto& c : cases) {
        try {
            e.print(QString::fromUtf8(c.expression));
            ADD_FAILURE() << c.expression << " did not fail";
        } catch (const Error& error) {
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.mustContain)))
                << c.expression << ": " << error.message().toStdString();
        }
    }
}

// Nesting that would overflow the stack while parsing, binding, evaluating
// or freeing the tree is refused with a clear error naming the object; what
// stays within the limit still works.
TEST(ReportExpression, DeepNestingIsRefusedByName)
{
    auto times = [](const char* part, int n) { return QString::fromLatin1(part).repeated(n); };
    const struct {
        const char* name;
        QString expression;
    } deep[] = {
        {"10 000 parentheses", u'[' + times("(", 10000) + u'1' + times(")", 10000) + u']'},
        {"10 000 brackets", times("[", 10000) + u'1' + times("]", 10000)},
        {"NOT chain", u'[' + times("NOT ", 10000) + QStringLiteral("TRUE]")},
        {"minus chain", u'[' + times("-", 10000) + QStringLiteral("1]")},
        {"20 000 additions", QStringLiteral("[1") + times(" + 1", 20000) + u']'},
        {"nested calls", u'[' + times("ABS(", 5000) + u'1' + times(")", 5000) + u']'},
        {"nested IIF", u'[' + times("IIF(TRUE, 1, ", 3000) + u'1' + times(")", 3000) + u']'},
    };
    Evaluator e;
    for (const auto& c : deep) {
        Layout layout;
        ReportObject o = text(10, 2, 150, 5, c.expression);
        o.name = QStringLiteral("Cena");
        layout.masterData = band(BandKind::MasterData, 5, {o});
        e.report.setLayout(layout);
        try {
            e.report.prepare();
            ADD_FAILURE() << c.name << ": prepared";
        } catch (const Error& error) {
            EXPECT_TRUE(error.message().contains(QStringLiteral("hlbšie ako 200 úrovní"))) << c.name << ": " << error.message().left(300).toStdString();
            EXPECT_TRUE(error.message().contains(QStringLiteral("(pás masterdata, objekt Cena)"))) << c.name;
            EXPECT_LT(error.message().size(), 400) << c.name;
        }
    }
    EXPECT_EQ(e.print(u'[' + times("(", 150) + QStringLiteral("2 * 3") + times(")", 150) + u']'), QStringLiteral("6"));
    EXPECT_EQ(e.print(QStringLiteral("[0") + times(" + 1", 150) + u']'), QStringLiteral("150"));
    EXPECT_EQ(e.print(u'[' + times("-", 100) + QStringLiteral("POCET]")), QStringLiteral("7"));
    // An unnamed object is found by its place.
    Layout layout;
    layout.masterData = band(BandKind::MasterData, 5, {text(12.5, 1, 150, 5, u'[' + times("(", 300) + u']')});
    e.report.setLayout(layout);
    try {
        e.report.prepare();
        ADD_FAILURE() << "prepared";
    } catch (const Error& error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("(pás masterdata, text na x = 12,5 mm, y = 1 mm)"))) << error.message().toStdString();
    }
}

TEST(ReportFormat, SlovakFormatsTable)
{
    auto num = [](const char* s) { return Value::number(*Decimal::fromString(QString::fromLatin1(s))); };
    const QDateTime moment(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);
    const struct {
        const char* name;
        Value value;
        const char* format;
        const char* expected;
    } cases[] = {
        {"thousands and two decimals", num("1234567.891"), ",0.00", "1\u00a0234\u00a0567,89"},
        {"half rounds away from zero", num("2.345"), "0.00", "2,35"},
        {"negative half", num("-2.345"), "0.00", "-2,35"},
        {"no minus on a rounded zero", num("-0.001"), "0.00", "0,00"},
        {"hash pattern", num("1000"), "#,##0.00", "1\u00a0000,00"},
        {"whole number", num("12.5"), "0", "13"},
        {"text after the pattern", num("3.5"), "0.00 €", "3,50 €"},
        {"no format keeps the scale", Value::number(Decimal::fromUnits(1250, 2)), "", "12,50"},
        {"double", Value::real(0.125), "0.00", "0,13"},
        {"date", Value::date(QDate(2024, 3, 5)), "dd.mm.yyyy", "05.03.2024"},
        {"short date", Value::date(QDate(2024, 3, 5)), "d.m.yy", "5.3.24"},
        {"date and time with nn", Value::dateTime(moment), "dd.mm.yyyy hh:nn", "05.03.2024 14:07"},
        {"minutes after hours as mm", Value::dateTime(moment), "hh:mm:ss", "14:07:09"},
        {"after the day the month is genitive", Value::date(QDate(2024, 3, 5)), "dddd d. mmmm yyyy", "utorok 5. marca 2024"},
        {"a month alone is nominative", Value::date(QDate(2024, 3, 5)), "mmmm yyyy", "marec 2024"},
        {"genitive after dd too", Value::date(QDate(2024, 5, 31)), "dd. mmmm", "31. mája"},
        {"default date", Value::date(QDate(2024, 3, 5)), "", "05.03.2024"},
        {"yes / no", Value::boolean(false), "Áno;Nie", "Nie"},
        {"text under a number format", Value::text(QStringLiteral("abc")), ",0.00", "abc"},
        {"null is empty", Value(), ",0.00", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatValue(c.value, QString::fromUtf8(c.format)).toStdString(), std::string(c.expected)) << c.name;
}

// An English layout prints English formats: decimal point, commas between
// thousands, English names of months and days.
TEST(ReportFormat, EnglishFormatsTable)
{
    auto num = [](const char* s) { return Value::number(*Decimal::fromString(QString::fromLatin1(s))); };
    const struct {
        const char* name;
        Value value;
        const char* format;
        const char* expected;
    } cases[] = {
        {"thousands and two decimals", num("1234567.891"), ",0.00", "1,234,567.89"},
        {"negative", num("-2.345"), "#,##0.00 €", "-2.35 €"},
        {"three decimals", num("0.065"), ",0.000", "0.065"},
        {"no format keeps the scale", Value::number(Decimal::fromUnits(1250, 2)), "", "12.50"},
        {"double without a format", Value::real(0.5), "", "0.5"},
        {"month and day names", Value::date(QDate(2024, 3, 5)), "dddd d. mmmm yyyy", "Tuesday 5. March 2024"},
        {"short names", Value::date(QDate(2024, 3, 5)), "ddd mmm", "Tue Mar"},
        {"numeric date as the layout gives it", Value::date(QDate(2024, 3, 5)), "dd.mm.yyyy", "05.03.2024"},
        {"yes / no without a format", Value::boolean(true), "", "Yes"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatValue(c.value, QString::fromUtf8(c.format), Language::English).toStdString(), std::string(c.expected))
            << c.name;

    // The layout's language reaches every text, also one mixing literal text and values.
    Evaluator e;
    Layout layout;
    layout.language = Language::English;
    layout.masterData = band(BandKind::MasterData, 5, {text(0, 0, 150, 5, QStringLiteral("[KURZ * 1000] / [CENA]"), QStringLiteral(",0.00"))});
    e.report.setLayout(layout);
    EXPECT_EQ(e.report.prepare().pages.at(0).items.at(0).text, QStringLiteral("30,126.00 / 0.10"));
}

TEST(ReportFunctions, HostFunctionGetsEvaluatedArguments)
{
    Evaluator e;
    std::vector<std::vector<Value>> calls;
    e.report.functions().add({QStringLiteral("REPLACESTR"), QStringLiteral("Quendel"),
                              QStringLiteral("REPLACESTR(<InputString>, <SearchFor>, <ReplaceWith>)/..."), 3, 3,
                              [&calls](const std::vector<Value>& args) {
                                  calls.push_back(args);
                                  return Value::text(args[0].toText().replace(args[1].toText(), args[2].toText()));
                              }});
    e.report.functions().add({QStringLiteral("NEWLINESTR"), QStringLiteral("Quendel"), QString(), 0, 0,
                              [](const std::vector<Value>&) { return Value::text(QStringLiteral("\r\n")); }});
    EXPECT_EQ(e.print(QStringLiteral("[REPLACESTR(ZNACKA + '-' + POCET, '-', '/')]")), QStringLiteral("P/17/7"));
    ASSERT_FALSE(calls.empty());
    for (const auto& args : calls)  // evaluated before the call
        EXPECT_EQ(args[0].toText(), QStringLiteral("P-17-7"));
    EXPECT_EQ(e.print(QStringLiteral("a[NEWLINESTR]b")), QStringLiteral("a\r\nb"));

    // Global registrations are seen by every report until removed.
    FunctionRegistry::global().add({QStringLiteral("DVAKRAT"), QStringLiteral("Test"), QString(), 1, 1,
                                    [](const std::vector<Value>& a) { return Value::number(a[0].toDecimal() * Decimal::fromInt(2)); }});
    EXPECT_EQ(e.print(QStringLiteral("[dvakrat(CENA)]")), QStringLiteral("0,20"));
    EXPECT_TRUE(FunctionRegistry::global().remove(QStringLiteral("DVAKRAT")));
    EXPECT_THROW(e.print(QStringLiteral("[DVAKRAT(1)]")), Error);
}

TEST(ReportDecimal, ExactArithmeticAndLimits)
{
    const Decimal a = *Decimal::fromString(QStringLiteral("1234567.89"));
    EXPECT_EQ((a * Decimal::fromInt(3)).toString(), QStringLiteral("3703703.67"));
    EXPECT_EQ(Decimal::fromString(QStringLiteral("0.0000005"))->toString(6), QStringLiteral("0.000001"));
    EXPECT_FALSE(Decimal::fromString(QStringLiteral("1e3")));
    EXPECT_FALSE(Decimal::fromString(QStringLiteral("")));
    EXPECT_FALSE(Decimal::fromString(QStringLiteral("99999999999999")));
    EXPECT_THROW(Decimal::fromInt(9000000000000) * Decimal::fromInt(9000000000000), Error);
    EXPECT_EQ(Decimal::fromDouble(0.1)->toString(), QStringLiteral("0.1"));
}

}  // namespace
