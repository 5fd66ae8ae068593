// The address book at agency scale: 2 000 contacts (the sample agency's 500
// and three copies of each, with their rates) and 100 000 jobs. Opening the
// translators' list, without and with a chosen language combination (the
// ranking of the job editor's picker), through the window's refresh (the
// statement built, prepared, fetched, the row held before located, the
// visible rows painted) against the same statement and values through the
// bare OO API in the same run. The server's plan is printed once.

#include "BareFetch.h"
#include "SampleDatabase.h"
#include "codelists/fCAdresar.h"
#include "controls/DbGridQDL.h"
#include "controls/IBComboBox.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int kJobs = 100000;

// Three copies of every contact and of its rates: copy n of contact j is
// j + n * 100000. The copies have no jobs.
void addContacts()
{
    const QString copies = QStringLiteral("(select 1 as k from rdb$database union all select 2 from rdb$database"
                                          " union all select 3 from rdb$database) n");
    RunInTransaction([&](fb::Transaction& tr) {
        fb::Query q(tr);
        q.setSql({QStringLiteral("insert into adresar (jedin, typ, meno, tel1, tel2, email, adresa, psc, mesto, stat,"),
                  QStringLiteral(" sposob_platby, pravna_forma)"),
                  QStringLiteral("select a.jedin + n.k * 100000, a.typ, substring(a.meno from 1 for 46) || ' #' || n.k,"),
                  QStringLiteral(" a.tel1, a.tel2, a.email, a.adresa, a.psc, a.mesto, a.stat, a.sposob_platby,"),
                  QStringLiteral(" a.pravna_forma from adresar a cross join ") + copies});
        q.execute();
        q.setSql({QStringLiteral("insert into kombinacie (jedin, adresar, jazykova_kombinacia, cena, mena, mj)"),
                  QStringLiteral("select gen_id(kombinacie_id, 1), k.adresar + n.k * 100000, k.jazykova_kombinacia,"),
                  QStringLiteral(" k.cena, k.mena, k.mj from kombinacie k cross join ") + copies});
        q.execute();
        q.setSql(QStringLiteral("alter sequence adresar_id restart with 400000"));
        q.execute();
    });
}

SampleDatabase& database()
{
    static SampleDatabase* db = [] {
        auto* d = new SampleDatabase(kJobs);
        addContacts();
        return d;
    }();
    return *db;
}

QVariant scalar(const QString& sql)
{
    QVariant v;
    RunInTransaction([&](fb::Transaction& tr) {
        fb::Query q(tr);
        q.setSql(sql);
        v = q.executeScalar();
    }, true);
    return v;
}

// The combination with the most translators' rates: the longest ranked list.
QVariant busiestCombination()
{
    return scalar(QStringLiteral("select first 1 k.jazykova_kombinacia from kombinacie k join adresar a"
                                 " on a.jedin=k.adresar where a.typ=1 group by 1 order by count(*) desc"));
}

// The translators' list, shown, as the main window opens it; with a
// combination as the job editor's picker opens it.
struct OpenAddressBook {
    SampleDatabase& db = database();
    TfrmCAdresar window;

    explicit OpenAddressBook(const QVariant& combination)
    {
        window.Flag = true;
        window.Value = combination;
        window.resize(1061, 431);
        window.show();
        window.Open();
    }
    void refresh()
    {
        window.RefreshShown();
        window.gr1->viewport()->repaint();
    }
};

struct Case {
    std::unique_ptr<OpenAddressBook> book;
    QString sql;
    QStringList names;
    QVariantMap params;
    int rows = 0;
};

Case& openCase(bool ranked)
{
    database();  // the main connection, before anything asks it
    static std::map<bool, Case> cases;
    Case& c = cases[ranked];
    if (!c.book) {
        c.book = std::make_unique<OpenAddressBook>(ranked ? busiestCombination() : QVariant());
        // The window's own query and values, with the ranking's order when ranked.
        c.book->refresh();
        const fb::ParsedSql parsed = fb::parseNamedParams(c.book->window.contactStatement(&c.params).join('\n'));
        c.sql = parsed.text;
        c.names = parsed.params;
        c.rows = c.book->window.gr1->CountRecords();
    }
    return c;
}

void Bare(benchmark::State& state, bool ranked)
{
    Case& c = openCase(ranked);
    QVariantList values;
    for (const QString& name : c.names)
        values << c.params.value(name);
    BareConnection bare(database().path, "SYSDBA", "x");
    static bool planShown[2] = {false, false};
    for (auto _ : state) {
        // Prepared every time, as the window prepares its rebuilt text.
        BareStatement statement(bare, c.sql);
        if (!planShown[ranked]) {
            planShown[ranked] = true;
            std::fprintf(stderr, "--- plan (%s) ---\n%s\n", ranked ? "ranked" : "all", qPrintable(statement.plan()));
        }
        if (statement.run(values) != c.rows)
            state.SkipWithError("wrong row count");
    }
    state.counters["rows"] = c.rows;
}

void Window(benchmark::State& state, bool ranked)
{
    Case& c = openCase(ranked);
    for (auto _ : state)
        c.book->refresh();
    state.counters["rows"] = c.book->window.gr1->CountRecords();
}

BENCHMARK_CAPTURE(Bare, Translators, false)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK_CAPTURE(Window, Translators, false)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK_CAPTURE(Bare, TranslatorsRanked, true)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK_CAPTURE(Window, TranslatorsRanked, true)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
