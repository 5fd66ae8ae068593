// The report statements on a small agency: every variant the dialogs can build
// runs on the server, and the rows and sums are those of the jobs it should
// take.
#include "TestDatabase.h"

#include "fb/Decimal.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/TextHelpers.h"
#include "reports/EPrekladyTlacSql.h"

#include <QDate>

#include <gtest/gtest.h>

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

namespace {

const QDate kMay1(2026, 5, 1), kMay31(2026, 5, 31);

class ReportStatements : public ::testing::Test {
protected:
    static void SetUpTestSuite() { db = new TestDatabase(TestDatabase::Migrated); fill(); }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }

    // Customers 1 Alfa, 2 Beta; translators 3 Cyril, 4 Dana; combinations
    // 1 SK-EN (group EN), 2 SK-DE (group DE). Prices at rate 1, 100 %, scope 1.
    static void fill()
    {
        db->exec({"insert into adresar (jedin, typ, meno) values (1, 0, 'Alfa')",
                  "insert into adresar (jedin, typ, meno) values (2, 0, 'Beta')",
                  "insert into adresar (jedin, typ, meno) values (3, 1, 'Cyril')",
                  "insert into adresar (jedin, typ, meno) values (4, 1, 'Dana')",
                  "insert into jazykove_kombinacie (jedin, skratka, skupina) values (1, 'SK-EN', 'EN')",
                  "insert into jazykove_kombinacie (jedin, skratka, skupina) values (2, 'SK-DE', 'DE')"});
        struct Job {
            int jedin, customer, translator;
            const char* combination;
            const char *delivered, *sent;
            int objCena, preCena;
            const char *objFaktura, *pm;
            int hodnoteny, hodnotenie;
        };
        const Job jobs[] = {
            {1, 1, 3, "1", "'2026-05-03'", "'2026-05-05'", 100, 60, "", "JN", 1, 80},
            {2, 1, 4, "2", "'2026-05-20'", "'2026-05-21'", 200, 150, "F1", "JN", 1, 90},
            {3, 2, 3, "1", "'2026-04-10'", "'2026-04-12'", 50, 20, "", "KM", 0, 0},
            {4, 2, 3, "1", "null", "null", 30, 10, "", "KM", 0, 0},  // never sent
            {5, 1, 3, "1", "'2026-06-02'", "null", 70, 35, "", "JN", 1, 60},
            {6, 2, 4, "null", "'2026-05-10'", "'2026-05-10'", 40, 20, "", "KM", 1, 50},  // no combination
            {7, 2, 4, "2", "'2026-05-31'", "'2026-05-31'", 10, 5, "", "KM", 1, 70},
        };
        for (const Job& j : jobs)
            db->exec({QStringLiteral("insert into preklady (jedin, znacka, objednavatel, prekladatel, jazykova_kombinacia,"
                                     " termin, datum_dodania_prekladu, datum_odoslania_prekladu, obj_faktura, pre_faktura,"
                                     " pm, hodnoteny, hodnotenie, obj_cena_mj, obj_kurz, obj_koeficient, obj_rozsah,"
                                     " pre_cena_mj, pre_kurz, pre_koeficient, pre_rozsah)"
                                     " values (%1, 'Z%1', %2, %3, %4, '2026-05-01', %5, %6, '%7', '', '%8', %9, %10,"
                                     " %11, 1, 100, 1, %12, 1, 100, 1)")
                          .arg(j.jedin)
                          .arg(j.customer)
                          .arg(j.translator)
                          .arg(QLatin1String(j.combination), QLatin1String(j.delivered), QLatin1String(j.sent),
                               QLatin1String(j.objFaktura), QLatin1String(j.pm))
                          .arg(j.hodnoteny)
                          .arg(j.hodnotenie)
                          .arg(j.objCena)
                          .arg(j.preCena)});
    }

    // Every row as its columns' texts joined by "|".
    static QStringList rows(const fb::Statement& s, const QStringList& columns)
    {
        fb::Transaction tr(db->connection(), {"concurrency", "read", "nowait"});
        tr.start();
        fb::Query q(tr);
        q.setStatement(s);
        q.execute();
        QStringList out;
        while (q.next()) {
            QStringList row;
            for (const QString& c : columns)
                row << VariantToText(q.value(c));
            out << row.join(QLatin1Char('|'));
        }
        tr.commit();
        return out;
    }

    static inline TestDatabase* db = nullptr;
};

}  // namespace

// Each combination of the dialogs' options builds a statement the server takes.
TEST_F(ReportStatements, EveryVariantRuns)
{
    const std::pair<QDate, QDate> periods[] = {{kMay1, kMay31}, {kMay31, kMay1}, {kMay1, {}}, {{}, kMay31}, {{}, {}}};
    const auto runs = [&](const fb::Statement& s, const char* what) {
        try {
            rows(s, {});
        } catch (const std::exception& e) {
            ADD_FAILURE() << what << ": " << e.what() << "\n" << s.lines.join('\n').toStdString();
        }
    };
    for (const auto& [od, doDate] : periods) {
        for (int mode : {0, 1, 2}) {
            for (bool on : {false, true}) {
                for (const QVariant& adresar : {QVariant(), QVariant(1)}) {
                    ZoznamValues z;
                    z.mode = mode;
                    z.od = od;
                    z.doDate = doDate;
                    z.adresar = adresar;
                    z.dodane = z.faktura = z.skupiny = on;
                    runs(ZoznamStatement(z), "job list");

                    for (const QVariant& order : {QVariant(1), QVariant(4), QVariant(9), QVariant()}) {
                        ZiskovostValues p;
                        p.mode = mode;
                        p.od = od;
                        p.doDate = doDate;
                        p.adresar = adresar;
                        p.dodane = p.skupiny = on;
                        p.orderBy = order;
                        runs(ZiskovostStatement(p), "profitability");
                    }
                }
            }
        }
        for (bool zoskupit : {false, true})
            for (int podla : {0, 1})
                for (bool on : {false, true}) {
                    ZiskovostMesacnaValues m;
                    m.od = od;
                    m.doDate = doDate;
                    m.zoskupit = zoskupit;
                    m.zoskupitPodla = podla;
                    m.dodane = m.skupiny = on;
                    runs(ZiskovostMesacnaStatement(m), "monthly");
                }
        for (bool on : {false, true})
            for (const QVariant& adresar : {QVariant(), QVariant(3)}) {
                HodnotenieValues h;
                h.od = od;
                h.doDate = doDate;
                h.adresar = adresar;
                h.skupiny = on;
                runs(HodnotenieStatement(h), "evaluation");
            }
    }
}

TEST_F(ReportStatements, JobListTakesItsSideOfTheJob)
{
    ZoznamValues v;  // last month (May), sent, not invoiced, by groups
    v.od = kMay1;
    v.doDate = kMay31;
    EXPECT_EQ(rows(ZoznamStatement(v), {"JEDIN", "SKUPINA2", "SKUPINA"}), QStringList({"1|EN|Alfa", "7|DE|Beta"}));

    // The dates the wrong way round give the same list; everything ticked off
    // lists every job with a combination, invoiced or not.
    v.od = kMay31;
    v.doDate = kMay1;
    v.faktura = false;
    EXPECT_EQ(rows(ZoznamStatement(v), {"JEDIN"}), QStringList({"2", "1", "7"}));

    // Translators: the delivered date in the period.
    v.mode = 1;
    v.adresar = 3;
    EXPECT_EQ(rows(ZoznamStatement(v), {"JEDIN", "SKUPINA"}), QStringList({"1|Cyril"}));

    // By PM a chosen customer restricts the jobs, the period is on the sent date.
    v.mode = 2;
    v.adresar = 2;
    v.od = {};
    v.doDate = {};
    v.dodane = false;
    EXPECT_EQ(rows(ZoznamStatement(v), {"PM", "JEDIN"}), QStringList({"KM|7", "KM|4", "KM|3"}));
}

TEST_F(ReportStatements, ProfitabilitySumsPerAddressAndPm)
{
    ZiskovostValues v;  // May, delivered, by groups, by name
    v.od = kMay1;
    v.doDate = kMay31;
    v.skupiny = false;
    EXPECT_EQ(rows(ZiskovostStatement(v), {"ADRESAR", "OBJ_CENA_SKK", "PRE_CENA_SKK", "ZISK"}),
              QStringList({"Alfa|300.00|210.00|90.00", "Beta|50.00|25.00|25.00"}));

    v.skupiny = true;
    v.orderBy = 6;  // profit, descending
    EXPECT_EQ(rows(ZiskovostStatement(v), {"ADRESAR", "SKUPINA", "ZISK"}),
              QStringList({"Alfa|DE|50.00", "Alfa|EN|40.00", "Beta||20.00", "Beta|DE|5.00"}));

    // By PM: no address joined, yet a customer restricts the jobs.
    v.mode = 2;
    v.skupiny = false;
    v.orderBy = 1;
    EXPECT_EQ(rows(ZiskovostStatement(v), {"PM", "OBJ_CENA_SKK"}), QStringList({"JN|300.00", "KM|50.00"}));
    v.adresar = 2;
    EXPECT_EQ(rows(ZiskovostStatement(v), {"PM", "OBJ_CENA_SKK"}), QStringList({"KM|50.00"}));
}

TEST_F(ReportStatements, MonthlyKeepsNeverSentJobsInAnEmptyMonth)
{
    ZiskovostMesacnaValues v;  // all time
    v.dodane = false;
    v.skupiny = false;
    EXPECT_EQ(rows(ZiskovostMesacnaStatement(v), {"ROK", "MESIAC", "OBJ_CENA_SKK", "ZISK"}),
              QStringList({"||100.00|55.00", "2026|4|50.00|30.00", "2026|5|350.00|115.00"}));

    // By translators and groups: one row per year, month, translator and group.
    v.dodane = true;
    v.zoskupit = true;
    v.zoskupitPodla = 1;
    v.skupiny = true;
    QStringList byTranslators = rows(ZiskovostMesacnaStatement(v), {"ROK", "MESIAC", "ADRESAR", "SKUPINA", "OBJ_CENA_SKK"});
    byTranslators.sort();  // the order leaves the groups of one translator free
    EXPECT_EQ(byTranslators, QStringList({"2026|4|Cyril|EN|50.00", "2026|5|Cyril|EN|100.00", "2026|5|Dana|DE|210.00",
                           "2026|5|Dana||40.00"}));
}

TEST_F(ReportStatements, EvaluationAveragesRatedDeliveredJobs)
{
    HodnotenieValues v;  // all time
    EXPECT_EQ(rows(HodnotenieStatement(v), {"PREKLADATEL", "JAZYKOVA_KOMBINACIA", "SKUPINA", "HODNOTENIE"}),
              QStringList({"Cyril|SK-EN|EN|70.00", "Dana|SK-DE|DE|80.00"}));
    v.od = kMay1;
    v.doDate = kMay31;
    v.adresar = 3;
    EXPECT_EQ(rows(HodnotenieStatement(v), {"PREKLADATEL", "HODNOTENIE"}), QStringList({"Cyril|80.00"}));
}
