// The job list by customers over a year of the 100 000-job sample, from the
// dialog's OK to the prepared report (the runner reads the statement in its
// snapshot, fills the MASTER dataset and runs both passes), against preparing
// and fetching the same statement through the bare OO API in the same run.

#include "BareFetch.h"
#include "SampleDatabase.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/MainConnection.h"
#include "reports/EPrekladyTlacSql.h"
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

}  // namespace
