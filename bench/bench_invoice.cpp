// The bulk invoice and payment entry at agency scale: 20 000 of the 100 000
// sample jobs marked in the register, handed through TEMP_SPRACUJ and given a
// payment text in one update, against the same statements through the bare OO
// API (the keys inserted row by row with one prepared statement, then the
// settled check, the count and the update) in the same run.

#include "BareFetch.h"
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

// The same database work through the bare OO API on an attachment of its
// own: the set replaced (one prepared insert run for every key) and
// committed, then the settled check, the count and the update in one
// transaction.
struct Bare {
    BareConnection connection{database().path, QStringLiteral("SYSDBA"), QStringLiteral("x")};
    QList<QVariantList> rows;

    Bare()
    {
        for (int key : reg().keys())
            rows << QVariantList{key, kUhradyZaradenie};
    }
    static QString text(const QStringList& lines)
    {
        QString sql = lines.join(QLatin1Char('\n'));
        return sql.replace(QStringLiteral(":FAKTURA"), QStringLiteral("?"));
    }
    void transfer()
    {
        connection.startWrite();
        connection.execute(QStringLiteral("delete from temp_spracuj where connection_id=current_connection and "
                                          "zaradenie=?"),
                           {{kUhradyZaradenie}});
        connection.execute(QStringLiteral("INSERT INTO TEMP_SPRACUJ(JEDIN,CISLO,ZARADENIE,CONNECTION_ID)\n"
                                          "VALUES (GEN_ID(TEMP_SPRACUJ_ID, 1), ?, ?, CURRENT_CONNECTION)"),
                           rows);
        connection.commit();
    }
    bool update()
    {
        connection.startWrite();
        const bool settled = connection.execute(text(UhradySettledSql(1))) > 0;
        const qint64 batch = connection.scalar(text(UhradyCountSql()));
        const qint64 written = connection.execute(text(UhradyUpdateSql(1)), {{QString()}});
        connection.commit();
        return !settled && batch == rows.size() && written == batch;
    }
};

Bare& bare()
{
    static Bare b;
    return b;
}

void BareTransferAndUpdate(benchmark::State& state)
{
    Bare& b = bare();
    for (auto _ : state) {
        b.transfer();
        if (!b.update()) {
            state.SkipWithError("the bare update did not write the whole batch");
            break;
        }
    }
    state.counters["jobs"] = b.rows.size();
}
BENCHMARK(BareTransferAndUpdate)->Unit(benchmark::kMillisecond)->MinTime(5);

// Its first part: the set replaced and committed (against MarkAndTransfer).
void BareTransfer(benchmark::State& state)
{
    Bare& b = bare();
    for (auto _ : state)
        b.transfer();
}
BENCHMARK(BareTransfer)->Unit(benchmark::kMillisecond)->MinTime(2);

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
