// What the change history of jobs costs the two actions that change many jobs
// at once: the bulk payment entry and the register's delete of marked jobs,
// each over 20 000 jobs of the sample agency. Every benchmark runs with the
// trigger PREKLADY_HISTORIA active (/1) and made inactive (/0) on the same
// database in the same run; compare the medians of the two:
//
//   bench_history --benchmark_repetitions=6 --benchmark_enable_random_interleaving=true
//
// Timed is the statement of the action and its commit (the delete: the
// statement, the rollback that brings the jobs back is not timed). With
// "Marks" the transfer of the 20 000 marked record numbers into TEMP_SPRACUJ,
// which the program does first and the trigger does not touch, is timed too.

#include "SampleDatabase.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/TransactionHelpers.h"
#include "register/fEPrekladyUhrady.h"

#include <benchmark/benchmark.h>

#include <QList>

namespace {

constexpr int kJobs = 20000;

SampleDatabase& database()
{
    static SampleDatabase db(kJobs);
    return db;
}

fb::Connection& connection()
{
    return database().connection;
}

void run(const QStringList& sql, const QVariantMap& params = {})
{
    fb::Transaction tr(connection(), TransactionParams(false, true));
    tr.start();
    fb::Query q(tr);
    q.setSql(sql);
    q.setParams(params);
    q.execute();
    tr.commit();
}

QList<int> jobKeys()
{
    static const QList<int> keys = [] {
        QList<int> k;
        fb::Transaction tr(connection(), TransactionParams(true, true));
        tr.start();
        fb::Query q(tr);
        q.setSql(QStringLiteral("select jedin from preklady order by jedin"));
        q.execute();
        while (q.next())
            k << q.value(0).toInt();
        tr.commit();
        return k;
    }();
    return keys;
}

// The marked jobs as the program hands them over beyond 500 marks: one
// prepared insert per record number, under the set's key.
void transferMarks()
{
    const QList<int> keys = jobKeys();
    fb::Transaction tr(connection(), TransactionParams(false, true));
    tr.start();
    fb::Query clear(tr);
    clear.setSql(QStringLiteral("delete from temp_spracuj where connection_id=current_connection and zaradenie=:Z"));
    clear.setParam(QStringLiteral("Z"), kUhradyZaradenie);
    clear.execute();
    fb::Query row(tr);
    row.setSql({QStringLiteral("insert into temp_spracuj (jedin,cislo,zaradenie,connection_id)"),
                QStringLiteral("values (gen_id(temp_spracuj_id,1),:CISLO,:ZARADENIE,current_connection)")});
    row.setParam(QStringLiteral("ZARADENIE"), kUhradyZaradenie);
    for (int key : keys) {
        row.setParam(QStringLiteral("CISLO"), key);
        row.execute();
    }
    tr.commit();
}

void setHistory(bool active)
{
    run({active ? QStringLiteral("alter trigger PREKLADY_HISTORIA active")
                : QStringLiteral("alter trigger PREKLADY_HISTORIA inactive")});
}

// Every job unsettled again, so that the entry writes all of them (not timed;
// with the trigger active it is recorded like any change).
void unsettle()
{
    run({QStringLiteral("update preklady set pre_faktura='' where pre_faktura<>'' or pre_faktura is null")});
}

void payAll(int iteration)
{
    fb::Transaction tr(connection(), TransactionParams(false, true));
    tr.start();
    fb::Query pay(tr);
    pay.setSql(UhradyUpdateSql(1));
    pay.setParam(QStringLiteral("FAKTURA"), QStringLiteral("V-%1").arg(iteration));
    pay.execute();
    if (pay.rowsAffected() != kJobs)
        throw std::runtime_error("the entry did not reach every job");
    tr.commit();
}

void BulkEntry(benchmark::State& state, bool marks)
{
    setHistory(state.range(0) == 1);
    transferMarks();
    int iteration = 0;
    for (auto _ : state) {
        state.PauseTiming();
        unsettle();
        state.ResumeTiming();
        if (marks)
            transferMarks();
        payAll(++iteration);
    }
    state.counters["jobs"] = kJobs;
}

void Delete(benchmark::State& state, bool marks)
{
    setHistory(state.range(0) == 1);
    transferMarks();
    const QStringList sql = {QStringLiteral("delete from preklady where jedin in (select cislo from temp_spracuj"),
                             QStringLiteral("where connection_id=current_connection and zaradenie='") + kUhradyZaradenie
                                 + QStringLiteral("')")};
    for (auto _ : state) {
        if (marks)
            transferMarks();
        fb::Transaction tr(connection(), TransactionParams(false, false));
        tr.start();
        fb::Query del(tr);
        del.setSql(sql);
        del.execute();
        if (del.rowsAffected() != kJobs)
            state.SkipWithError("the delete did not reach every job");
        state.PauseTiming();
        del.close();
        tr.rollback();
        state.ResumeTiming();
    }
    state.counters["jobs"] = kJobs;
}

void BulkEntryStatement(benchmark::State& state) { BulkEntry(state, false); }
void BulkEntryWithMarks(benchmark::State& state) { BulkEntry(state, true); }
void DeleteStatement(benchmark::State& state) { Delete(state, false); }
void DeleteWithMarks(benchmark::State& state) { Delete(state, true); }

BENCHMARK(BulkEntryStatement)->ArgName("history")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BulkEntryWithMarks)->ArgName("history")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(DeleteStatement)->ArgName("history")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(DeleteWithMarks)->ArgName("history")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
