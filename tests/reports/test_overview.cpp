// The agency overview on a generated agency of two and a half years: every
// figure equals what the server sums over the same jobs and what the
// profitability reports show for the same period, and the window shows,
// exports and closes as it should.
#include "support/DialogTranscript.h"
#include "support/TempSettings.h"
#include "TestDatabase.h"

#include "controls/IBDate.h"
#include "controls/QDLBtn.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Clock.h"
#include "framework/MainConnection.h"
#include "framework/TextHelpers.h"
#include "reports/EPrekladyTlacSql.h"
#include "reports/PrehladAgenturySql.h"
#include "reports/fPrehladAgentury.h"

#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

using fb::Decimal;

const QDateTime kNow(QDate(2026, 5, 15), QTime(10, 0), Qt::UTC);
const QDate kToday = kNow.date();

struct Job {
    int jedin, customer, translator;  // translator 0: none
    QDate deadline, delivered, sent;   // invalid: none
    qint64 objCents, preCents;
    int hodnoteny, hodnotenie;
};

// 14 customers (1-14), 13 translators (21-33), 400 jobs from the start of
// 2024 to the reference day; a few never delivered or never sent, credit
// notes among them.
std::vector<Job> generateJobs()
{
    std::vector<Job> jobs;
    quint32 state = 12345;
    const auto next = [&state](int n) {
        state = state * 1103515245u + 12345u;
        return int((state >> 16) % quint32(n));
    };
    for (int i = 1; i <= 400; ++i) {
        Job j;
        j.jedin = i;
        j.customer = 1 + next(14);
        j.translator = next(20) == 0 ? 0 : 21 + next(13);
        const QDate received = QDate(2024, 1, 1).addDays(next(866));
        j.deadline = received.addDays(1 + next(6));
        if (next(10) != 0) {
            j.delivered = j.deadline.addDays(next(5) - 3);
            if (j.delivered > kToday)
                j.delivered = QDate();
        }
        if (j.delivered.isValid() && next(8) != 0) {
            j.sent = j.delivered.addDays(next(3));
            if (j.sent > kToday)
                j.sent = QDate();
        }
        j.objCents = (next(15) == 0 ? -1 : 1) * (100 + next(90000));
        j.preCents = next(12) == 0 ? 0 : (j.objCents > 0 ? j.objCents * (30 + next(80)) / 100 : -next(5000));
        j.hodnoteny = next(4) == 0 ? 0 : 1;
        j.hodnotenie = 40 + next(61);
        jobs.push_back(j);
    }
    return jobs;
}

QString sqlDate(const QDate& d)
{
    return d.isValid() ? "'" + d.toString(Qt::ISODate) + "'" : QStringLiteral("null");
}

QString cents(qint64 c)
{
    return Decimal(c, 2).toString();
}

class Overview : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(TestDatabase::Migrated);
        QStringList statements = {"insert into jazykove_kombinacie (jedin, skratka) values (1, 'SK-EN')"};
        for (int c = 1; c <= 14; ++c)
            statements << QStringLiteral("insert into adresar (jedin, typ, meno) values (%1, 0, 'Objednávateľ %2')")
                              .arg(c)
                              .arg(c, 2, 10, QLatin1Char('0'));
        for (int t = 21; t <= 33; ++t)
            statements << QStringLiteral("insert into adresar (jedin, typ, meno) values (%1, 1, 'Prekladateľ %1')").arg(t);
        jobs = generateJobs();
        for (const Job& j : jobs)
            statements << QStringLiteral(
                              "insert into preklady (jedin, znacka, objednavatel, prekladatel, jazykova_kombinacia,"
                              " termin, datum_dodania_prekladu, datum_odoslania_prekladu, obj_faktura, pre_faktura,"
                              " hodnoteny, hodnotenie, obj_cena_mj, obj_kurz, obj_koeficient, obj_rozsah,"
                              " pre_cena_mj, pre_kurz, pre_koeficient, pre_rozsah)"
                              " values (%1, 'Z%1', %2, %3, 1, %4, %5, %6, '', '', %7, %8, %9, 1, 100, 1, %10, 1, 100, 1)")
                              .arg(j.jedin)
                              .arg(j.customer)
                              .arg(j.translator ? QString::number(j.translator) : QStringLiteral("null"))
                              .arg(j.deadline.isValid() ? "'" + j.deadline.toString(Qt::ISODate) + " 16:00'"
                                                        : QStringLiteral("null"),
                                   sqlDate(j.delivered), sqlDate(j.sent))
                              .arg(j.hodnoteny)
                              .arg(j.hodnotenie)
                              .arg(cents(j.objCents), cents(j.preCents));
        db->exec(statements);
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }

    template <class F>
    static auto inTransaction(F read)
    {
        fb::Transaction tr(db->connection(), {"read", "nowait"});
        tr.start();
        auto result = read(tr);
        tr.commit();
        return result;
    }

    // Every row of a report statement, column name -> value.
    static std::vector<QVariantMap> reportRows(const fb::Statement& s)
    {
        return inTransaction([&](fb::Transaction& tr) {
            fb::Query q(tr);
            q.setStatement(s);
            q.execute();
            std::vector<QVariantMap> rows;
            while (q.next()) {
                QVariantMap row;
                for (int c = 0; c < q.columnCount(); ++c)
                    row.insert(q.column(c).name.toUpper(), q.value(c));
                rows.push_back(row);
            }
            return rows;
        });
    }

    static QString money(const QVariant& v)
    {
        return v.isNull() ? QStringLiteral("0.00") : v.value<Decimal>().rescaled(2)->toString();
    }

    static inline TestDatabase* db = nullptr;
    static inline std::vector<Job> jobs;
};

}  // namespace

TEST_F(Overview, MonthsEqualTheMonthlyProfitabilityReport)
{
    const auto months = inTransaction([](fb::Transaction& tr) { return ReadMonthlyFigures(tr, kToday); });
    ASSERT_EQ(months.size(), 24u);
    EXPECT_EQ(months.front().month, QDate(2024, 6, 1));
    EXPECT_EQ(months.back().month, QDate(2026, 5, 1));

    // The report over the same 24 months, by sent date.
    ZiskovostMesacnaValues v;
    v.od = QDate(2024, 6, 1);
    v.doDate = QDate(2026, 5, 31);
    v.skupiny = false;
    std::map<QDate, QVariantMap> report;
    for (const QVariantMap& row : reportRows(ZiskovostMesacnaStatement(v)))
        report[QDate(row["ROK"].toInt(), row["MESIAC"].toInt(), 1)] = row;

    int monthsWithJobs = 0;
    for (const MonthFigures& m : months) {
        SCOPED_TRACE(m.month.toString("MM/yyyy").toStdString());
        // The jobs sent in the month, summed here.
        qint64 income = 0, cost = 0;
        for (const Job& j : jobs)
            if (j.sent.isValid() && j.sent.year() == m.month.year() && j.sent.month() == m.month.month()) {
                income += j.objCents;
                cost += j.preCents;
            }
        EXPECT_EQ(m.income.toString(), cents(income));
        EXPECT_EQ(m.cost.toString(), cents(cost));
        EXPECT_EQ(m.profit().toString(), cents(income - cost));
        if (report.count(m.month)) {
            ++monthsWithJobs;
            EXPECT_EQ(m.income.toString(), money(report[m.month]["OBJ_CENA_SKK"]));
            EXPECT_EQ(m.cost.toString(), money(report[m.month]["PRE_CENA_SKK"]));
            EXPECT_EQ(m.profit().toString(), money(report[m.month]["ZISK"]));
        } else {
            EXPECT_EQ(income, 0);
        }
    }
    EXPECT_GT(monthsWithJobs, 20);
}

TEST_F(Overview, CustomersAndTranslatorsOfAPeriodEqualTheServersSums)
{
    const std::pair<QDate, QDate> periods[] = {
        {QDate(2025, 1, 1), QDate(2025, 12, 31)},
        {QDate(2026, 4, 1), QDate(2026, 4, 30)},
        {QDate(2025, 6, 1), QDate()},  // open end
        {QDate(), QDate()},            // every delivered job
    };
    for (const auto& [od, doDate] : periods) {
        SCOPED_TRACE((od.toString(Qt::ISODate) + " .. " + doDate.toString(Qt::ISODate)).toStdString());
        const auto in = [&, od = od, doDate = doDate](const Job& j) {
            return j.delivered.isValid() && (!od.isValid() || j.delivered >= od) &&
                   (!doDate.isValid() || j.delivered <= doDate);
        };

        // Customers: the profitability report by customers, highest income first.
        const auto customers =
            inTransaction([&](fb::Transaction& tr) { return ReadTopCustomers(tr, od, doDate); });
        ZiskovostValues p;
        p.mode = 0;
        p.od = od;
        p.doDate = doDate;
        p.skupiny = false;
        p.orderBy = 5;  // customer total, descending
        const std::vector<QVariantMap> report = reportRows(ZiskovostStatement(p));
        ASSERT_EQ(customers.size(), std::min<size_t>(10, report.size()));
        for (size_t i = 0; i < customers.size(); ++i) {
            const CustomerFigures& c = customers[i];
            EXPECT_EQ(c.name, report[i]["ADRESAR"].toString()) << i;
            EXPECT_EQ(c.income.toString(), money(report[i]["OBJ_CENA_SKK"]));
            EXPECT_EQ(c.cost.toString(), money(report[i]["PRE_CENA_SKK"]));
            EXPECT_EQ(c.profit().toString(), money(report[i]["ZISK"]));
            EXPECT_EQ(c.jobs, report[i]["POCET"].toInt());
            if (i > 0) {
                EXPECT_FALSE(customers[i - 1].income < c.income);
            }
        }

        // Translators: counted here from the jobs.
        struct Expected {
            int jobs = 0, rated = 0, ratingSum = 0, onTime = 0;
        };
        std::map<QString, Expected> expected;
        for (const Job& j : jobs)
            if (j.translator && in(j)) {
                Expected& e = expected[QStringLiteral("Prekladateľ %1").arg(j.translator)];
                ++e.jobs;
                if (j.hodnoteny) {
                    ++e.rated;
                    e.ratingSum += j.hodnotenie;
                }
                if (j.delivered <= j.deadline)
                    ++e.onTime;
            }
        const auto translators =
            inTransaction([&](fb::Transaction& tr) { return ReadTopTranslators(tr, od, doDate); });
        ASSERT_EQ(translators.size(), std::min<size_t>(10, expected.size()));
        for (size_t i = 0; i < translators.size(); ++i) {
            const TranslatorFigures& t = translators[i];
            SCOPED_TRACE(t.name.toStdString());
            ASSERT_TRUE(expected.count(t.name));
            const Expected& e = expected[t.name];
            EXPECT_EQ(t.jobs, e.jobs);
            EXPECT_EQ(t.rated, e.rated);
            EXPECT_EQ(t.ratingSum, e.ratingSum);
            EXPECT_EQ(t.onTime, e.onTime);
            // No translator left out has more jobs than one listed.
            int more = 0;
            for (const auto& [name, other] : expected)
                more += other.jobs > t.jobs;
            EXPECT_LE(more, int(i));
        }
    }
}

TEST(OverviewFigures, AveragesAndSharesRoundHalfAwayFromZero)
{
    struct Case {
        qint64 numerator, denominator;
        int factor, decimals;
        const char* expected;
    };
    const Case cases[] = {
        {170, 2, 1, 2, "85.00"},  {260, 3, 1, 2, "86.67"}, {250, 3, 1, 2, "83.33"},
        {1, 8, 100, 1, "12.5"},   {1, 3, 100, 1, "33.3"},  {2, 3, 100, 1, "66.7"},
        {1, 16, 100, 1, "6.3"},   {-1, 16, 100, 1, "-6.3"}, {5, 0, 100, 1, "0.0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RatioRounded(c.numerator, c.denominator, c.factor, c.decimals).toString(), c.expected)
            << c.numerator << "/" << c.denominator;
    TranslatorFigures t;
    t.jobs = 3;
    EXPECT_FALSE(t.averageRating());  // nothing rated: no average rather than 0
    t.rated = 2;
    t.ratingSum = 171;
    t.onTime = 2;
    EXPECT_EQ(t.averageRating()->toString(), "85.50");
    EXPECT_EQ(t.onTimePercent().toString(), "66.7");
}

TEST(OverviewFigures, PeriodsOfTheChooser)
{
    const QDate today(2026, 1, 20);
    const auto dates = [&](OverviewPeriod p) { return OverviewPeriodDates(p, today); };
    EXPECT_EQ(dates(OverviewPeriod::ThisMonth), std::pair(QDate(2026, 1, 1), QDate(2026, 1, 31)));
    EXPECT_EQ(dates(OverviewPeriod::LastMonth), std::pair(QDate(2025, 12, 1), QDate(2025, 12, 31)));
    EXPECT_EQ(dates(OverviewPeriod::ThisYear), std::pair(QDate(2026, 1, 1), QDate(2026, 12, 31)));
    EXPECT_EQ(dates(OverviewPeriod::LastYear), std::pair(QDate(2025, 1, 1), QDate(2025, 12, 31)));
    EXPECT_EQ(dates(OverviewPeriod::Last12Months), std::pair(QDate(2025, 2, 1), QDate(2026, 1, 31)));
    EXPECT_FALSE(dates(OverviewPeriod::Custom));
}

// The window over the same agency: what it shows is what it read, the tables
// export through the report engine, the chart as a PNG picture, Esc closes.
TEST_F(Overview, WindowShowsExportsAndClosesWithEsc)
{
    TempSettings settings;
    DialogTranscript transcript;
    Clock::pinClock(kNow);
    setMainConnection(&db->connection());
    QTemporaryDir dir;
    {
        TfrmPrehladAgentury w;
        QStringList asked;
        QString answer;
        w.askFileName = [&](QWidget*, const QString& caption, const QString&, const QString& filters,
                            QString* selected) {
            asked << caption;
            if (caption == "Exportovať tabuľku") {
                // every format of the engine, the spreadsheet proposed; the typed suffix decides
                EXPECT_TRUE(filters.contains("*.csv"));
                EXPECT_TRUE(selected->contains("xlsx")) << selected->toStdString();
            }
            return answer;
        };
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        // Shown: the last 12 months up to today.
        EXPECT_EQ(w.eObdobie->currentText(), "posledných 12 mesiacov");
        EXPECT_EQ(w.eDatumOd->date(), QDate(2025, 6, 1));
        EXPECT_EQ(w.eDatumDo->date(), QDate(2026, 5, 31));
        ASSERT_EQ(w.months().size(), 24u);
        const auto customers = inTransaction(
            [](fb::Transaction& tr) { return ReadTopCustomers(tr, QDate(2025, 6, 1), QDate(2026, 5, 31)); });
        ASSERT_EQ(w.customers().size(), customers.size());
        ASSERT_EQ(w.grObjednavatelia->rowCount(), int(customers.size()));
        EXPECT_EQ(w.grObjednavatelia->item(0, 0)->text(), customers[0].name);
        EXPECT_EQ(w.grObjednavatelia->item(0, 2)->text(),
                  FormatDisplayValue(QVariant::fromValue(customers[0].income), ",0.00"));
        EXPECT_EQ(w.grPrekladatelia->rowCount(), int(w.translators().size()));

        // Another period from the chooser reads the tables again.
        w.ChoosePeriod(OverviewPeriod::LastMonth);
        EXPECT_EQ(w.eDatumOd->date(), QDate(2026, 4, 1));
        const auto april = inTransaction(
            [](fb::Transaction& tr) { return ReadTopTranslators(tr, QDate(2026, 4, 1), QDate(2026, 4, 30)); });
        ASSERT_EQ(w.translators().size(), april.size());
        EXPECT_EQ(w.grPrekladatelia->item(0, 0)->text(), april[0].name);

        // A table as CSV: the figures as numbers with a decimal comma.
        answer = dir.filePath("objednavatelia.csv");
        w.btnExportObjednavatelia->click();
        QFile csv(answer);
        ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(csv.readAll()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), int(w.customers().size()) + 1) << lines.join('\n').toStdString();
        EXPECT_TRUE(lines[0].startsWith("Objednávateľ;Preklady;Príjmy v €")) << lines[0].toStdString();
        const CustomerFigures& first = w.customers()[0];
        EXPECT_EQ(lines[1].trimmed(), QStringList({first.name, QString::number(first.jobs),
                                                   first.income.toString().replace('.', ','),
                                                   first.cost.toString().replace('.', ','),
                                                   first.profit().toString().replace('.', ',')})
                                          .join(';'));

        // The chart as a picture.
        answer = dir.filePath("graf");
        w.btnGrafPng->click();
        const QImage image(dir.filePath("graf.png"));
        EXPECT_FALSE(image.isNull());
        EXPECT_GE(image.width(), 400);

        // Cancelled: nothing written, nothing said.
        answer.clear();
        w.btnExportPrekladatelia->click();
        EXPECT_EQ(asked, QStringList({"Exportovať tabuľku", "Uložiť graf", "Exportovať tabuľku"}));
        EXPECT_EQ(transcript.count(), 0);

        QTest::keyClick(w.grPrekladatelia, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
    }
    setMainConnection(nullptr);
    Clock::unpinClock();
}
