// The lookup combo box over 10 000 contacts: its incremental search and its
// list load, each against the same statement run through the bare OO API (the
// baseline) and through fb::Query (the layer under the combo box) on the same
// database in the same run.

#include "BareFetch.h"
#include "controls/ComboBoxSql.h"
#include "controls/IBComboBox.h"
#include "db/BaseSchema.h"
#include "db/MemTable.h"
#include "db/MigrationRunner.h"
#include "db/UpdatePackage.h"
#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Dialogs.h"
#include "framework/TransactionHelpers.h"
#include "framework/UserSettings.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kContacts = 10000;

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath("bench.fdb");
    QStringList params = {"USER_NAME=SYSDBA", "PASSWORD=masterkey", "lc_ctype=WIN1250"};
    fb::Connection connection;
    std::unique_ptr<TIBComboBox> combo;

    Fixture()
    {
        setUserSettingsFile(dir.filePath("user-settings.ini"));
        setDialogResponder([](const DialogRequest&) { return int(msg::OK); });
        CreateBaseDatabase(path, "SYSDBA", "masterkey");
        connection.open(path, params);
        MemTable package;
        if (!loadUpdatePackage(package))
            throw std::runtime_error("the update package is damaged");
        MigrationRunner(connection, package, package.recordCount()).RunPass();
        fb::Transaction tr(connection, {"write"});
        fb::Query q(tr);
        q.setParamCheck(false);
        tr.start();
        // Names spread over the alphabet, with Slovak letters, so a prefix finds a few hundred.
        q.setSql(QStringList{
            "execute block as declare n integer = 0; begin",
            "while (n < " + QString::number(kContacts) + ") do begin n = n + 1;",
            "insert into ADRESAR (JEDIN, TYP, MENO, MESTO) values (:n, 1 + mod(:n, 2),",
            " decode(mod(:n, 6), 0, 'Novák', 1, 'Ďurčeková', 2, 'Šťastný', 3, 'Kováč', 4, 'O''Brien', 'Žilinská')",
            " || ' ' || :n, 'Bratislava'); end end"});
        q.execute();
        tr.commit();

        combo = std::make_unique<TIBComboBox>();
        combo->setObjectName("eDBObjednavatel");
        combo->setDatabase(&connection);
        combo->setSAutoAppend(true);
        combo->setSTableName("ADRESAR");
        combo->setSAppendFromField("NAZOV_UPLNY");
        combo->setSKeyField("JEDIN");
        combo->setSKeyField2("TYP");
        combo->setSOrderBy("NAZOV_UPLNY");
        combo->setSUseBasicASCIIColumn(true);
    }
};

Fixture& fixture()
{
    // The widget needs an application; the benchmark main does not make one.
    static int argc = 1;
    static char name[] = "bench_combobox";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    static Fixture f;
    return f;
}

// What the combo box sends through the bare OO API: prepared once, then
// open, fetch every row, close.
void runBare(benchmark::State& state, const fb::Statement& st)
{
    Fixture& f = fixture();
    const fb::ParsedSql parsed = fb::parseNamedParams(st.lines.join(QLatin1Char('\n')));
    QVariantMap upper;
    for (auto it = st.params.cbegin(); it != st.params.cend(); ++it)
        upper.insert(it.key().toUpper(), it.value());
    QStringList values;
    for (const QString& name : parsed.params)
        values << upper.value(name).toString();
    BareConnection bare(f.path, "SYSDBA", "masterkey");
    BareStatement statement(bare, parsed.text);
    int rows = 0;
    for (auto _ : state)
        rows = statement.run(values);
    state.counters["rows"] = rows;
}

// The same through fb::Query: execute, read the columns, close.
void runQuery(benchmark::State& state, const fb::Statement& st)
{
    Fixture& f = fixture();
    fb::Transaction tr(f.connection, TransactionParams(true, true));
    tr.start();
    fb::Query q(tr);
    q.setSql(st.lines);
    int rows = 0;
    for (auto _ : state) {
        for (auto it = st.params.cbegin(); it != st.params.cend(); ++it)
            q.setParam(it.key(), it.value());
        q.execute();
        rows = 0;
        while (q.next()) {
            benchmark::DoNotOptimize(q.value(0));
            benchmark::DoNotOptimize(q.value(1));
            benchmark::DoNotOptimize(q.value(2));
            ++rows;
        }
        q.close();
    }
    state.counters["rows"] = rows;
    tr.commit();
}

void BM_AppendText_Bare(benchmark::State& state)
{
    runBare(state, BuildAppendTextSql(fixture().combo->lookup(), "kovac 77"));
}

void BM_AppendText_Query(benchmark::State& state)
{
    runQuery(state, BuildAppendTextSql(fixture().combo->lookup(), "kovac 77"));
}

void BM_AppendText_Combo(benchmark::State& state)
{
    TIBComboBox& combo = *fixture().combo;
    combo.lineEdit()->setText("kovac 77");
    for (auto _ : state) {
        combo.AppendText(false);
        benchmark::DoNotOptimize(combo.foundText());
    }
    if (combo.foundText().isEmpty())
        state.SkipWithError("nothing found");
}

void BM_DropDown_Bare(benchmark::State& state)
{
    runBare(state, BuildDropDownSql(fixture().combo->lookup(), {}, 0, false));
}

void BM_DropDown_Query(benchmark::State& state)
{
    runQuery(state, BuildDropDownSql(fixture().combo->lookup(), {}, 0, false));
}

void BM_DropDown_Combo(benchmark::State& state)
{
    TIBComboBox& combo = *fixture().combo;
    combo.lineEdit()->clear();
    for (auto _ : state) {
        combo.DropDown();
        benchmark::DoNotOptimize(combo.count());
    }
    state.counters["rows"] = combo.count();
}

}  // namespace

BENCHMARK(BM_AppendText_Bare)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendText_Query)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppendText_Combo)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DropDown_Bare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DropDown_Query)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DropDown_Combo)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
