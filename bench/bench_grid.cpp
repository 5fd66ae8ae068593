// The record grid at the size of a long-kept register (100 000 jobs): opening
// it over a register-like statement against the bare OO API fetch of the same
// statement (rows dropped, and rows kept) and fb::Query's fetch, the layer under
// the grid; marking and unmarking all, the marked-records clause with every
// record marked, and counting.

#include "BareFetch.h"
#include "SampleDatabase.h"
#include "controls/DbGridQDL.h"
#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kJobs = 100000;

// The translation register's kind of statement: the job with its customer,
// translator and language combination, the totals, ordered by deadline.
const QStringList kSelect = {
    "select a.jedin, a.znacka, a.termin, a.datum_prijatia, a.datum_odoslania_prekladu,",
    "  b.meno as objednavatel_meno, c.meno as prekladatel_meno, d.skratka as jazyk, a.pm,",
    "  a.obj_cena_mj, a.obj_rozsah, a.obj_cena, a.pre_cena, a.zisk_percento, a.obj_faktura, a.pre_faktura, a.ukoncene",
    "from preklady a",
    "left join adresar b on b.jedin=a.objednavatel",
    "left join adresar c on c.jedin=a.prekladatel",
    "left join jazykove_kombinacie d on d.jedin=a.jazykova_kombinacia",
    "where 1=1",
    "order by a.termin, a.znacka, a.jedin"};

SampleDatabase& database()
{
    static SampleDatabase db(kJobs);
    return db;
}

struct OpenGrid {
    fb::Transaction transaction{database().connection, {"read_committed", "rec_version", "read", "nowait"}};
    fb::Query query{transaction};
    TDbGridQDL grid;

    OpenGrid()
    {
        grid.resize(1000, 600);
        std::vector<TQDLColumn> cols;
        for (const char* f : {"ZNACKA", "TERMIN", "OBJEDNAVATEL_MENO", "PREKLADATEL_MENO", "JAZYK", "OBJ_CENA"}) {
            TQDLColumn c;
            c.FieldName = f;
            c.TitleCaption = f;
            c.Width = 120;
            cols.push_back(c);
        }
        grid.SetColumns(cols);
        grid.show();
        open();
    }
    void open()
    {
        if (!transaction.isActive())
            transaction.start();
        query.setSql(kSelect);
        grid.OpenQuery(query);
        grid.viewport()->repaint();  // the visible rows are decoded and painted
    }
};

void BareFetch(benchmark::State& state)
{
    BareConnection bare(database().path, "SYSDBA", "x");
    const QString sql = kSelect.join(QLatin1Char('\n'));
    for (auto _ : state) {
        if (bare.fetchAll(sql) != kJobs)
            state.SkipWithError("wrong row count");
    }
}
BENCHMARK(BareFetch)->Unit(benchmark::kMillisecond)->MinTime(3);

// The floor of a fetch that keeps its rows: the bare loop keeping every
// message in a store that grows in chunks.
void FetchBareIntoStore(benchmark::State& state)
{
    BareConnection bare(database().path, "SYSDBA", "x");
    const QString sql = kSelect.join(QLatin1Char('\n'));
    for (auto _ : state) {
        if (bare.fetchAllIntoStore(sql) != kJobs)
            state.SkipWithError("wrong row count");
    }
}
BENCHMARK(FetchBareIntoStore)->Unit(benchmark::kMillisecond)->MinTime(3);

// The layer under the grid: fb::Query's fetch into a table.
void FetchThroughQuery(benchmark::State& state)
{
    SampleDatabase& db = database();
    for (auto _ : state) {
        fb::Transaction tr(db.connection, {"read_committed", "rec_version", "read", "nowait"});
        tr.start();
        fb::Query q(tr);
        q.setSql(kSelect);
        q.execute();
        fb::ResultTable table;
        if (q.fetchAll(table) != kJobs)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(table);
        tr.commit();
    }
}
BENCHMARK(FetchThroughQuery)->Unit(benchmark::kMillisecond)->MinTime(3);

void OpenGridOverRegister(benchmark::State& state)
{
    OpenGrid g;
    for (auto _ : state) {
        g.open();
        if (g.grid.CountRecords() != kJobs)
            state.SkipWithError("wrong row count");
    }
}
BENCHMARK(OpenGridOverRegister)->Unit(benchmark::kMillisecond)->MinTime(3);

void CheckAllThenUncheckAll(benchmark::State& state)
{
    OpenGrid g;
    for (auto _ : state) {
        g.grid.CheckAll();
        if (g.grid.CheckedCount() != kJobs)
            state.SkipWithError("not all marked");
        g.grid.viewport()->repaint();
        g.grid.UncheckAll();
    }
}
BENCHMARK(CheckAllThenUncheckAll)->Unit(benchmark::kMillisecond);

void CheckAllOnly(benchmark::State& state)
{
    OpenGrid g;
    for (auto _ : state) {
        g.grid.CheckAll();
        state.PauseTiming();
        g.grid.ClearChecked();
        state.ResumeTiming();
    }
}
BENCHMARK(CheckAllOnly)->Unit(benchmark::kMillisecond);

void CheckedFilterAllMarked(benchmark::State& state)
{
    OpenGrid g;
    g.grid.CheckAll();
    for (auto _ : state) {
        const QString clause = g.grid.CheckedFilter("a.", "");
        benchmark::DoNotOptimize(clause);
    }
}
BENCHMARK(CheckedFilterAllMarked)->Unit(benchmark::kMillisecond)->Iterations(3);

void CountRecords(benchmark::State& state)
{
    OpenGrid g;
    for (auto _ : state)
        benchmark::DoNotOptimize(g.grid.CountRecords());
}
BENCHMARK(CountRecords);

}  // namespace
