// The translation register at agency scale: a full refresh of the register
// window over 100 000 jobs with no filter (statement, fetch, exact sums of the
// four prices, locating the row held before, painting the visible rows)
// against the bare OO API fetch of the same statement in the same run. The
// resident memory with the whole register listed is reported as a counter.

#include "BareFetch.h"
#include "SampleDatabase.h"
#include "controls/DbGridQDL.h"
#include "controls/IBComboBox.h"
#include "register/EPrekladySql.h"
#include "register/fEPreklady.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kJobs = 100000;

SampleDatabase& database()
{
    static SampleDatabase db(kJobs);
    return db;
}

// The register with the date filters at "všetky": every job with a language
// combination is listed.
struct OpenRegister {
    SampleDatabase& db = database();  // the main connection, before the window
    long residentBefore = ResidentKiB();
    TfrmEPreklady window;

    OpenRegister()
    {
        window.eOdoslanie->FindIt(0);
        window.show();
        refresh();
    }
    void refresh()
    {
        window.gr1->DisplayGrid();
        window.gr1->viewport()->repaint();
    }
    QString statement()
    {
        return PrekladyRefreshStatement(window.filterValues(), {}, window.gr1->OrderByClause(window.direction()))
            .lines.join(QLatin1Char('\n'));
    }
};

OpenRegister& openRegister()
{
    static OpenRegister r;
    return r;
}

void BareFetch(benchmark::State& state)
{
    BareConnection bare(database().path, "SYSDBA", "x");
    const QString sql = openRegister().statement();
    const int rows = openRegister().window.totals().count;
    for (auto _ : state)
        if (bare.fetchAll(sql) != rows)
            state.SkipWithError("wrong row count");
}
BENCHMARK(BareFetch)->Unit(benchmark::kMillisecond)->MinTime(3);

void RegisterRefresh(benchmark::State& state)
{
    OpenRegister& r = openRegister();
    for (auto _ : state)
        r.refresh();
    state.counters["rows"] = r.window.totals().count;
    state.counters["resident_MiB"] = double(ResidentKiB()) / 1024.0;
    state.counters["register_MiB"] = double(ResidentKiB() - r.residentBefore) / 1024.0;
}
BENCHMARK(RegisterRefresh)->Unit(benchmark::kMillisecond)->MinTime(3);

// Every job marked, then only the marked ones shown: 100 000 numbers go to
// the server through TEMP_SPRACUJ, and the refresh selects through them.
void MarkAllShowMarkedOnly(benchmark::State& state)
{
    OpenRegister& r = openRegister();
    for (auto _ : state) {
        r.window.btnOznac->trigger();
        r.window.btnOznacene->trigger();
        if (r.window.totals().count != r.window.gr1->CheckedCount())
            state.SkipWithError("the marked-only view lists other jobs");
        state.PauseTiming();
        r.window.btnOznacene->trigger();
        r.window.btnOdznac->trigger();
        state.ResumeTiming();
    }
}
BENCHMARK(MarkAllShowMarkedOnly)->Unit(benchmark::kMillisecond)->Iterations(2);

// A click on each column title in turn: sixteen refreshes, each ordered
// by another column first.
void SortByEachColumn(benchmark::State& state)
{
    OpenRegister& r = openRegister();
    for (auto _ : state)
        for (int title = 1; title <= r.window.gr1->ColumnCount(); ++title)
            r.window.gr1->TitleClick(title);
    r.window.gr1->TitleClick(4);
}
BENCHMARK(SortByEachColumn)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
