// The job list by customers over a year of the 100 000-job sample, from the
// dialog's OK to the prepared report (the runner reads the statement in its
// snapshot, fills the MASTER dataset and runs both passes), against preparing
// and fetching the same statement through the bare OO API in the same run.

#include "BareFetch.h"
#include "SampleDatabase.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"
#include "framework/MainConnection.h"
#include "framework/WaitPlease.h"
#include "reportengine/Report.h"
#include "reports/EPrekladyTlacSql.h"
#include "reports/ReportDataset.h"
#include "reports/fTlac.h"

#include <benchmark/benchmark.h>

#include <QRegularExpression>

namespace {

constexpr int kJobs = 100000;

struct Fixture {
    SampleDatabase db{kJobs};
    BareConnection bare{db.path, QStringLiteral("SYSDBA"), QStringLiteral("x")};
    ReportRequest request;
    QString literalSql;  // the statement with its dates written in, for the bare API

    Fixture()
    {
        // The last whole year of the sample.
        int year = 0;
        {
            fb::Transaction tr(db.connection, {QStringLiteral("read"), QStringLiteral("read_committed")});
            tr.start();
            fb::Query q(tr);
            q.setSql(QStringLiteral("select extract(year from max(datum_odoslania_prekladu)) from preklady"));
            year = q.executeScalar().toInt() - 1;
            tr.commit();
        }
        ZoznamValues v;
        v.mode = 0;
        v.od = QDate(year, 1, 1);
        v.doDate = QDate(year, 12, 31);
        v.faktura = false;
        request = ZoznamRequest(v);
        // The bare API prepares the statement on every run, as the runner does.
        QString sql = request.statement.lines.join(u'\n');
        static const QRegularExpression param(QStringLiteral(":([A-Za-z_][A-Za-z0-9_]*)"));
        QRegularExpressionMatch m;
        while ((m = param.match(sql)).hasMatch()) {
            const QDate date = request.statement.params.value(m.captured(1)).toDate();
            sql.replace(m.capturedStart(), m.capturedLength(),
                        QStringLiteral("date '%1'").arg(date.toString(Qt::ISODate)));
        }
        literalSql = sql;
        setMainConnection(&db.connection);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BareFetchOfTheStatement(benchmark::State& state)
{
    Fixture& f = fixture();
    int rows = 0;
    for (auto _ : state)
        rows = f.bare.fetchAll(f.literalSql);
    state.counters["rows"] = rows;
}
BENCHMARK(BareFetchOfTheStatement)->Unit(benchmark::kMillisecond)->MinTime(3);

// The bare floors of a fetch that keeps its rows: every message kept, and
// every message kept with the contents of its BLOB columns read.
void BareFetchIntoStore(benchmark::State& state)
{
    Fixture& f = fixture();
    int rows = 0;
    for (auto _ : state)
        rows = f.bare.fetchAllIntoStore(f.literalSql);
    state.counters["rows"] = rows;
}
BENCHMARK(BareFetchIntoStore)->Unit(benchmark::kMillisecond)->MinTime(3);

void BareFetchIntoStoreWithBlobs(benchmark::State& state)
{
    Fixture& f = fixture();
    int rows = 0;
    for (auto _ : state)
        rows = f.bare.fetchAllIntoStoreWithBlobs(f.literalSql);
    state.counters["rows"] = rows;
}
BENCHMARK(BareFetchIntoStoreWithBlobs)->Unit(benchmark::kMillisecond)->MinTime(3);

void JobListPrepared(benchmark::State& state)
{
    Fixture& f = fixture();
    int rows = 0, pages = 0;
    for (auto _ : state) {
        TfrmTlac runner(QStringLiteral(LINDAVO_REPORTS_DIR));
        if (!runner.open(f.request)) {
            state.SkipWithError("the runner did not open");
            break;
        }
        const auto prepared = runner.prepare();
        rows = int(prepared->rows.size());
        pages = prepared->pageCount();
    }
    state.counters["rows"] = rows;
    state.counters["pages"] = pages;
}
BENCHMARK(JobListPrepared)->Unit(benchmark::kMillisecond)->MinTime(3);

// The part of JobListPrepared before the two passes: the layout loaded, the
// statement read into the MASTER dataset.
void JobListRead(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        TfrmTlac runner(QStringLiteral(LINDAVO_REPORTS_DIR));
        if (!runner.open(f.request)) {
            state.SkipWithError("the runner did not open");
            break;
        }
    }
}
BENCHMARK(JobListRead)->Unit(benchmark::kMillisecond)->MinTime(3);

// JobListRead taken apart, each part on its own: what the runner does on the
// way from OK to the filled dataset besides the fetch.

// The runner window with the program's functions, and the layout file read.
void ReadPartRunnerAndLayout(benchmark::State& state)
{
    for (auto _ : state) {
        TfrmTlac runner(QStringLiteral(LINDAVO_REPORTS_DIR));
        report::Report layout;
        layout.loadFromFile(QStringLiteral(LINDAVO_REPORTS_DIR "/") + fixture().request.layoutName);
        benchmark::DoNotOptimize(layout.layout().masterData.has_value());
    }
}
BENCHMARK(ReadPartRunnerAndLayout)->Unit(benchmark::kMillisecond)->MinTime(1);

// The please-wait window shown and hidden.
void ReadPartWaitWindow(benchmark::State& state)
{
    for (auto _ : state)
        WaitPleaseScope wait;
}
BENCHMARK(ReadPartWaitWindow)->Unit(benchmark::kMillisecond)->MinTime(1);

// The snapshot transaction and the statement through fb::Query, every row
// fetched and none kept.
void ReadPartQueryOnly(benchmark::State& state)
{
    Fixture& f = fixture();
    int rows = 0;
    for (auto _ : state) {
        rows = 0;
        RunInTransaction({QStringLiteral("concurrency"), QStringLiteral("read"), QStringLiteral("nowait")},
                         [&](fb::Transaction& tr) {
                             fb::Query q(tr);
                             q.setSql(f.request.statement.lines);
                             q.setParams(f.request.statement.params);
                             q.execute();
                             while (q.next())
                                 ++rows;
                         });
    }
    state.counters["rows"] = rows;
}
BENCHMARK(ReadPartQueryOnly)->Unit(benchmark::kMillisecond)->MinTime(3);

// The same with every row kept in the MASTER dataset, as the runner does.
void ReadPartQueryIntoDataset(benchmark::State& state)
{
    Fixture& f = fixture();
    int rows = 0;
    for (auto _ : state) {
        TReportQueryDataset master;
        RunInTransaction({QStringLiteral("concurrency"), QStringLiteral("read"), QStringLiteral("nowait")},
                         [&](fb::Transaction& tr) {
                             fb::Query q(tr);
                             q.setSql(f.request.statement.lines);
                             q.setParams(f.request.statement.params);
                             master.fill(q);
                         });
        rows = master.rowCount();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(ReadPartQueryIntoDataset)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace
