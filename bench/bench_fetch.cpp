// Fetching a large result into memory through fb::Query, against a bare OO API
// fetch loop of the same statement on the same database: one that drops every
// row and one that keeps every message (the floor of a fetch into memory).

#include "BareFetch.h"
#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>


namespace {

constexpr int kRows = 100000;
const char* kSelect =
    "select id, i1, i2, b1, n1, n2, n3, d1, dt1, ts1, s1, s2, s3, s4, c1, f1, i3, n4, s5, dt2 from big order by id";

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath("bench.fdb");
    QStringList params = {"USER_NAME=SYSDBA", "PASSWORD=x", "lc_ctype=WIN1250"};

    Fixture()
    {
        fb::Connection::createDatabase(path, "SYSDBA", "x");
        fb::Connection c;
        c.open(path, params);
        fb::Transaction tr(c, {"write"});
        fb::Query q(tr);
        q.setParamCheck(false);
        tr.start();
        q.setSql(
            "create table big (id integer primary key, i1 integer, i2 smallint, b1 bigint, n1 numeric(18,2),"
            " n2 numeric(11,3), n3 numeric(9,2), d1 double precision, dt1 date, ts1 timestamp,"
            " s1 varchar(50), s2 varchar(75), s3 varchar(25), s4 varchar(5), c1 char(3), f1 float, i3 integer,"
            " n4 numeric(18,2), s5 varchar(15), dt2 date)");
        q.execute();
        tr.commit();
        tr.start();
        q.setSql(QStringList{
            "execute block as declare n integer = 0; begin",
            "while (n < " + QString::number(kRows) + ") do begin n = n + 1;",
            "insert into big values (:n, :n * 7, mod(:n, 1000), :n * 100000, :n / 3.0, :n / 7.0, mod(:n, 9999) / 3.0,",
            " :n / 11.0, dateadd(mod(:n, 3650) day to date '2015-01-01'), current_timestamp,",
            " 'Prekladateľ ' || :n, 'Žilina, Hlavná ' || :n || ', SK', 'REF-' || :n, 'EUR', 'abc', :n / 13.0,",
            " :n, :n * 1.5, 'FA' || :n, date '2020-02-29'); end end"});
        q.execute();
        tr.commit();
        c.close();
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void FetchThroughQuery(benchmark::State& state)
{
    Fixture& f = fixture();
    fb::Connection c;
    c.open(f.path, f.params);
    for (auto _ : state) {
        fb::Transaction tr(c, {"read_committed", "rec_version", "read", "nowait"});
        tr.start();
        fb::Query q(tr);
        q.setSql(kSelect);
        q.execute();
        fb::ResultTable table;
        const int rows = q.fetchAll(table);
        if (rows != kRows)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(table);
        q.close();
        tr.commit();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void FetchBareApi(benchmark::State& state)
{
    Fixture& f = fixture();
    BareConnection bare(f.path, "SYSDBA", "x");
    for (auto _ : state) {
        if (bare.fetchAll(kSelect) != kRows)
            state.SkipWithError("wrong row count");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

// The floor of a fetch that keeps its rows: the bare loop with every message
// kept in a store that grows in chunks.
void FetchBareIntoStore(benchmark::State& state)
{
    Fixture& f = fixture();
    BareConnection bare(f.path, "SYSDBA", "x");
    for (auto _ : state) {
        if (bare.fetchAllIntoStore(kSelect) != kRows)
            state.SkipWithError("wrong row count");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

}  // namespace

BENCHMARK(FetchBareApi)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FetchBareIntoStore)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FetchThroughQuery)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
