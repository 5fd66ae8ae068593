// Fetching a large result into memory through fb::Query, against a bare OO API
// fetch loop of the same statement on the same database.

#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <benchmark/benchmark.h>
#include <firebird/Interface.h>

#include <QTemporaryDir>

#include <memory>
#include <vector>

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
    using namespace Firebird;
    Fixture& f = fixture();
    IMaster* master = fb_get_master_interface();
    ThrowStatusWrapper st(master->getStatus());
    IUtil* util = master->getUtilInterface();
    IXpbBuilder* dpb = util->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
    dpb->insertString(&st, isc_dpb_password, "x");
    dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1250");
    const QByteArray path = f.path.toLocal8Bit();
    IAttachment* att =
        master->getDispatcher()->attachDatabase(&st, path.constData(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
    IXpbBuilder* tpb = util->getXpbBuilder(&st, IXpbBuilder::TPB, nullptr, 0);
    for (int tag : {isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_read, isc_tpb_nowait})
        tpb->insertTag(&st, tag);
    for (auto _ : state) {
        ITransaction* tra = att->startTransaction(&st, tpb->getBufferLength(&st), tpb->getBuffer(&st));
        IStatement* stmt = att->prepare(&st, tra, 0, kSelect, 3, IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata* meta = stmt->getOutputMetadata(&st);
        std::vector<std::uint64_t> buffer((meta->getMessageLength(&st) + 7) / 8);
        IResultSet* rs = stmt->openCursor(&st, tra, nullptr, nullptr, meta, 0);
        int rows = 0;
        while (rs->fetchNext(&st, buffer.data()) == IStatus::RESULT_OK)
            ++rows;
        if (rows != kRows)
            state.SkipWithError("wrong row count");
        rs->close(&st);
        meta->release();
        stmt->free(&st);
        tra->commit(&st);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    tpb->dispose();
    dpb->dispose();
    att->detach(&st);
    st.dispose();
}

}  // namespace

BENCHMARK(FetchBareApi)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(FetchThroughQuery)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
