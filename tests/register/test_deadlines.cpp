// The deadline counts of the main window and the register's deadline filter
// on jobs around the day boundaries: each count equals what the server counts
// by the deadline's day, and the register lists exactly the jobs counted.
#include "TestDatabase.h"

#include "fb/Query.h"
#include "fb/Transaction.h"
#include "register/DeadlineSql.h"
#include "register/EPrekladySql.h"

#include <QDate>

#include <gtest/gtest.h>

#include <set>

namespace {

const QDate kToday(2026, 3, 10);

class Deadlines : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(TestDatabase::Migrated);
        db->exec({"insert into adresar (jedin, typ, meno) values (1, 0, 'Alfa')",
                  "insert into jazykove_kombinacie (jedin, skratka) values (1, 'SK-EN')"});
        struct Job {
            int jedin;
            const char* termin;
            const char* sent;
            const char* combination;
        };
        const Job jobs[] = {
            {1, "'2026-03-09 23:59:59'", "null", "1"},  // yesterday, at the last second: late
            {2, "'2026-02-01 08:00:00'", "null", "1"},  // long ago: late
            {3, "'2026-03-10 00:00:00'", "null", "1"},  // today, at midnight
            {4, "'2026-03-10 23:59:59'", "null", "1"},  // today, at the last second
            {5, "'2026-03-11 00:00:00'", "null", "1"},  // tomorrow
            {6, "'2026-03-11 17:00:00'", "null", "1"},
            {7, "'2026-03-12 00:00:00'", "null", "1"},  // the day after: not counted
            {8, "'2026-03-09 12:00:00'", "'2026-03-09'", "1"},  // late but sent
            {9, "'2026-03-10 12:00:00'", "'2026-03-10'", "1"},  // today but sent
            {10, "'2026-03-11 12:00:00'", "'2026-03-10'", "1"},  // tomorrow but sent
            {11, "'2026-03-09 12:00:00'", "null", "null"},  // the register never lists it
            {12, "null", "null", "1"},  // no deadline
        };
        for (const Job& j : jobs)
            db->exec({QStringLiteral("insert into preklady (jedin, znacka, objednavatel, jazykova_kombinacia, termin,"
                                     " datum_odoslania_prekladu, obj_faktura, pre_faktura)"
                                     " values (%1, 'Z%1', 1, %2, %3, %4, '', '')")
                          .arg(j.jedin)
                          .arg(QLatin1String(j.combination), QLatin1String(j.termin), QLatin1String(j.sent))});
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }

    // The record numbers a statement lists.
    static std::set<int> listed(const fb::Statement& s)
    {
        fb::Transaction tr(db->connection(), {"read", "nowait"});
        tr.start();
        fb::Query q(tr);
        q.setStatement(s);
        q.execute();
        std::set<int> keys;
        while (q.next())
            keys.insert(q.value("JEDIN").toInt());
        tr.commit();
        return keys;
    }

    // The server's own count by the deadline's day relative to `today`:
    // `days` < 0 any day before, else exactly that many days ahead.
    static int serverCount(const QDate& today, int days)
    {
        fb::Transaction tr(db->connection(), {"read", "nowait"});
        tr.start();
        fb::Query q(tr);
        q.setSql({"select count(*) from preklady a",
                  "join jazykove_kombinacie d on d.jedin=a.jazykova_kombinacia",
                  "where a.datum_odoslania_prekladu is null",
                  days < 0 ? "and cast(a.termin as date) - cast(:DNES as date) < 0"
                           : "and cast(a.termin as date) - cast(:DNES as date) = :DNI"});
        q.setParam("DNES", today);
        if (days >= 0)
            q.setParam("DNI", days);
        const int n = q.executeScalar().toInt();
        tr.commit();
        return n;
    }

    static DeadlineCounts counts(const QDate& today)
    {
        fb::Transaction tr(db->connection(), {"read", "nowait"});
        tr.start();
        const DeadlineCounts c = ReadDeadlineCounts(tr, today);
        tr.commit();
        return c;
    }

    static inline TestDatabase* db = nullptr;
};

}  // namespace

TEST_F(Deadlines, CountsByTheDeadlinesDayLeaveOutSentJobs)
{
    EXPECT_EQ(counts(kToday), (DeadlineCounts{2, 2, 2}));
    // A day later yesterday's "today" is late and the day after is tomorrow.
    EXPECT_EQ(counts(kToday.addDays(1)), (DeadlineCounts{4, 2, 1}));
    // Every day around the jobs: the same as the server counts by day.
    for (QDate day = QDate(2026, 1, 30); day <= QDate(2026, 3, 14); day = day.addDays(1)) {
        SCOPED_TRACE(day.toString(Qt::ISODate).toStdString());
        const DeadlineCounts c = counts(day);
        EXPECT_EQ(c.late, serverCount(day, -1));
        EXPECT_EQ(c.today, serverCount(day, 0));
        EXPECT_EQ(c.tomorrow, serverCount(day, 1));
    }
}

TEST_F(Deadlines, TheRegistersFilterListsExactlyTheCountedJobs)
{
    struct Case {
        DeadlineFilter filter;
        std::set<int> jobs;
    };
    const Case cases[] = {
        {DeadlineFilter::Late, {1, 2}},
        {DeadlineFilter::Today, {3, 4}},
        {DeadlineFilter::Tomorrow, {5, 6}},
        {DeadlineFilter::All, {1, 2, 3, 4, 5, 6, 7, 12}},  // every job not yet sent
    };
    const DeadlineCounts c = counts(kToday);
    for (const Case& k : cases) {
        SCOPED_TRACE(DeadlineFilterText(k.filter).toStdString());
        PrekladyFilter f;  // the cleared filter: only jobs not yet sent
        f.termin = k.filter;
        f.dnes = kToday;
        EXPECT_EQ(listed(PrekladyRefreshStatement(f, {}, "a.jedin")), k.jobs);
        // With every sent date allowed the deadline filter still leaves out sent jobs.
        f.odoslanie = 0;
        const std::set<int> anySent = listed(PrekladyRefreshStatement(f, {}, "a.jedin"));
        if (k.filter == DeadlineFilter::All)
            continue;
        EXPECT_EQ(anySent, k.jobs);
        const int counted = k.filter == DeadlineFilter::Late    ? c.late
                            : k.filter == DeadlineFilter::Today ? c.today
                                                                : c.tomorrow;
        EXPECT_EQ(int(k.jobs.size()), counted);
    }
}
