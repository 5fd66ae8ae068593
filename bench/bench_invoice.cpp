// The bulk invoice and payment entry at agency scale: 20 000 of the 100 000
// sample jobs marked in the register, handed through TEMP_SPRACUJ and given a
// payment text in one update, against the same work done directly through
// fb::Query (the same keys inserted row by row with one prepared statement,
// then the same update) in the same run.

#include "SampleDatabase.h"
#include "controls/DbGridQDL.h"
#include "controls/GridModel.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "controls/TempSpracuj.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"
#include "framework/TransactionHelpers.h"
#include "register/fEPreklady.h"
#include "register/fEPrekladyUhrady.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kJobs = 100000;
constexpr int kMarked = 20000;

SampleDatabase& database()
{
    static SampleDatabase db(kJobs);
    return db;
}

// The register listing every job; an empty payment text keeps the jobs
// unsettled, so each repetition finds the same batch open.
struct Register {
    SampleDatabase& db = database();
    TfrmEPreklady window;

    Register()
    {
        // The sample pays some translators already; one paid job in the batch
        // would stop every entry at the settled check.
        RunInTransaction([](fb::Transaction& t) {
            fb::Query q(t);
            q.setSql(QStringLiteral("update preklady set pre_faktura=null where pre_faktura is not null"));
            q.execute();
        });
        window.eOdoslanie->FindIt(0);
        window.gr1->DisplayGrid();
    }
    QList<int> keys()
    {
        QList<int> k;
        for (int row = 0; row < kMarked; ++row)
            k << window.gr1->gridModel()->keyOfRow(row).toInt();
        return k;
    }
};

Register& reg()
{
    static Register r;
    return r;
}

// The dialog as a user fills it: the translator, an empty text, OK.
int payDialog()
{
    TfrmEPrekladyUhrady d;
    d.ClearControls();
    d.eAdresarTyp->FindIt(1);
    d.eFaktura->setText(QString());
    d.btnZapis->click();
    return d.result();
}

void BareInsertAndUpdate(benchmark::State& state)
{
    const QList<int> keys = reg().keys();
    fb::Connection& connection = database().connection;
    for (auto _ : state) {
        fb::Transaction insert(connection, TransactionParams(false, true));
        insert.start();
        fb::Query clear(insert);
        clear.setSql(QStringLiteral("delete from temp_spracuj where connection_id=current_connection and zaradenie=:Z"));
        clear.setParam(QStringLiteral("Z"), kUhradyZaradenie);
        clear.execute();
        fb::Query row(insert);
        row.setSql({QStringLiteral("INSERT INTO TEMP_SPRACUJ(JEDIN,CISLO,ZARADENIE,CONNECTION_ID)"),
                    QStringLiteral("VALUES (GEN_ID(TEMP_SPRACUJ_ID, 1), :CISLO, :ZARADENIE, CURRENT_CONNECTION)")});
        for (int key : keys) {
            row.setParam(QStringLiteral("CISLO"), key);
            row.setParam(QStringLiteral("ZARADENIE"), kUhradyZaradenie);
            row.execute();
        }
        insert.commit();
        fb::Transaction update(connection, TransactionParams(false, true));
        update.start();
        fb::Query pay(update);
        pay.setSql(UhradyUpdateSql(1));
        pay.setParam(QStringLiteral("FAKTURA"), QString());
        pay.execute();
        update.commit();
    }
    state.counters["jobs"] = keys.size();
}
BENCHMARK(BareInsertAndUpdate)->Unit(benchmark::kMillisecond)->MinTime(5);

void BulkEntry(benchmark::State& state)
{
    Register& r = reg();
    TGridModel* model = r.window.gr1->gridModel();
    for (auto _ : state) {
        for (int row = 0; row < kMarked; ++row)
            model->setRowChecked(row, true);
        if (!RunUhrady(r.window.gr1, payDialog)) {
            state.SkipWithError("the entry did not close with OK");
            break;
        }
        r.window.gr1->ClearChecked();
    }
    state.counters["jobs"] = kMarked;
}
BENCHMARK(BulkEntry)->Unit(benchmark::kMillisecond)->MinTime(5);

// The parts of BulkEntry on their own: marking 20 000 rows and clearing
// the marks; the check that no job of the batch is settled yet.
void MarkAndClear(benchmark::State& state)
{
    Register& r = reg();
    TGridModel* model = r.window.gr1->gridModel();
    for (auto _ : state) {
        for (int row = 0; row < kMarked; ++row)
            model->setRowChecked(row, true);
        r.window.gr1->ClearChecked();
    }
}
BENCHMARK(MarkAndClear)->Unit(benchmark::kMillisecond)->MinTime(2);

// Marking and the transfer of the marks into TEMP_SPRACUJ, without the dialog.
void MarkAndTransfer(benchmark::State& state)
{
    Register& r = reg();
    TGridModel* model = r.window.gr1->gridModel();
    for (auto _ : state) {
        for (int row = 0; row < kMarked; ++row)
            model->setRowChecked(row, true);
        MarkedToTempSpracuj(r.window.gr1, kUhradyZaradenie, false);
        r.window.gr1->ClearChecked();
    }
}
BENCHMARK(MarkAndTransfer)->Unit(benchmark::kMillisecond)->MinTime(2);

void SettledCheck(benchmark::State& state)
{
    reg();
    fb::Connection& connection = database().connection;
    for (auto _ : state) {
        fb::Transaction tr(connection, TransactionParams(false, true));
        tr.start();
        fb::Query check(tr);
        check.setSql(UhradySettledSql(1));
        benchmark::DoNotOptimize(check.executeAtMostOneRow());
        tr.commit();
    }
}
BENCHMARK(SettledCheck)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
