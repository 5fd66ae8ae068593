// Migrating an old register of 100 000 jobs from version 0 to the current
// version: the program's MigrationRunner against the same scripts, each with
// its DATABASE_UPDATES row and a commit, run through the bare OO API (the
// baseline) and by the server's own isql tool. The runner should cost at most
// about 1.2 times as much as the bare run.

#include "BareFetch.h"
#include "db/BaseSchema.h"
#include "db/MemTable.h"
#include "db/MigrationRunner.h"
#include "db/UpdatePackage.h"
#include "sample/SampleData.h"
#include "fb/Connection.h"
#include "fb/Win1250.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kJobs = 100000;
const QString kUser = QStringLiteral("SYSDBA");
const QString kPassword = QStringLiteral("masterkey");

QStringList connectParams()
{
    return {QStringLiteral("USER_NAME=") + kUser, QStringLiteral("PASSWORD=") + kPassword,
            QStringLiteral("lc_ctype=WIN1250")};
}

struct Fixture {
    QTemporaryDir dir;
    QString legacy = dir.filePath(QStringLiteral("legacy.fdb"));
    QString isqlScript = dir.filePath(QStringLiteral("migrate.sql"));
    MemTable package;
    QString error;  // set when the fixture could not be made

    Fixture()
    {
        QString loadError;
        if (!loadUpdatePackage(package, &loadError)) {
            error = QStringLiteral("update package: ") + loadError;
            return;
        }
        QElapsedTimer t;
        t.start();
        CreateBaseDatabase(legacy, kUser, kPassword);
        fb::Connection c;
        c.open(legacy, connectParams());
        const SampleCounts n = FillLegacySample(c, kJobs);
        c.close();
        std::fprintf(stderr, "version-0 database: %d jobs, %d contacts, %d rates in %.1f s\n", n.jobs,
                     n.contacts, n.rates, double(t.elapsed()) / 1000.0);
        writeIsqlScript();
    }

    // The same work as a pass of the runner: each script and its version row in
    // one transaction (no automatic DDL commit), committed before the next.
    void writeIsqlScript()
    {
        QString text = QStringLiteral("SET AUTODDL OFF;\nSET TERM ^ ;\n");
        for (bool more = package.first(); more; more = package.next()) {
            const int n = package.value(QStringLiteral("VERSION_NUMBER")).toInt();
            text += package.text(QStringLiteral("LONG_SCRIPT")) + QStringLiteral("\n^\n");
            text += QStringLiteral(
                        "insert into database_updates (version,updated) values(%1,current_timestamp)\n^\n")
                        .arg(n);
            text += QStringLiteral("COMMIT\n^\n");
        }
        text += QStringLiteral("SET TERM ; ^\n");
        QByteArray bytes;
        if (!text::toWin1250(text, bytes)) {
            error = QStringLiteral("the scripts are not WIN1250 text");
            return;
        }
        QFile f(isqlScript);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            error = QStringLiteral("cannot write ") + isqlScript;
    }

    // A fresh copy of the version-0 database.
    QString copy(const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile::remove(path);
        if (!QFile::copy(legacy, path))
            return {};
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

int versionOf(const QString& path)
{
    fb::Connection c;
    c.open(path, connectParams());
    MemTable none;
    MigrationRunner runner(c, none, 0);
    const int v = runner.ZistiVerziu();
    c.close();
    return v;
}

double runnerSeconds = 0;  // the last runner time, for the ratio on the baseline's row

void MigrationRunnerPass(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.error.isEmpty()) {
        state.SkipWithError(f.error.toStdString().c_str());
        return;
    }
    QStringList messages;
    const auto keep = [&messages](const QString& text) { messages << text; };
    double total = 0;
    for (auto _ : state) {
        const QString path = f.copy(QStringLiteral("runner.fdb"));
        QElapsedTimer t;
        t.start();
        fb::Connection c;
        c.open(path, connectParams());
        MigrationRunner runner(c, f.package, f.package.recordCount());
        runner.showError = keep;
        runner.showMessage = keep;
        const auto result = runner.RunPass();
        c.close();
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        total += seconds;
        if (result != MigrationRunner::PassResult::Completed || !messages.isEmpty()) {
            state.SkipWithError(
                ("the runner stopped: " + messages.join(QLatin1Char('\n'))).toStdString().c_str());
            break;
        }
    }
    runnerSeconds = total / double(std::max<benchmark::IterationCount>(1, state.iterations()));
    state.counters["jobs"] = kJobs;
}

void BareScripts(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.error.isEmpty()) {
        state.SkipWithError(f.error.toStdString().c_str());
        return;
    }
    QList<QStringList> groups;
    for (bool more = f.package.first(); more; more = f.package.next()) {
        const int n = f.package.value(QStringLiteral("VERSION_NUMBER")).toInt();
        groups << QStringList{
            f.package.text(QStringLiteral("LONG_SCRIPT")),
            QStringLiteral("insert into database_updates (version,updated) values(%1,current_timestamp)").arg(n)};
    }
    double total = 0;
    for (auto _ : state) {
        const QString path = f.copy(QStringLiteral("bare.fdb"));
        QElapsedTimer t;
        t.start();
        {
            BareConnection bare(path, kUser, kPassword);
            bare.executeEachCommitted(groups);
        }
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        total += seconds;
        if (versionOf(path) != f.package.recordCount()) {
            state.SkipWithError("the bare run did not reach the last version");
            break;
        }
    }
    const double bareSeconds = total / double(std::max<benchmark::IterationCount>(1, state.iterations()));
    state.counters["jobs"] = kJobs;
    if (runnerSeconds > 0 && bareSeconds > 0)
        state.counters["runner_to_bare"] = runnerSeconds / bareSeconds;
}

void IsqlScripts(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    if (!f.error.isEmpty() || isql.isEmpty()) {
        state.SkipWithError(isql.isEmpty() ? "isql-fb not found" : f.error.toStdString().c_str());
        return;
    }
    double total = 0;
    for (auto _ : state) {
        const QString path = f.copy(QStringLiteral("isql.fdb"));
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(isql, {QStringLiteral("-bail"), QStringLiteral("-q"), QStringLiteral("-ch"),
                       QStringLiteral("WIN1250"), QStringLiteral("-user"), kUser, QStringLiteral("-password"),
                       kPassword, QStringLiteral("-i"), f.isqlScript, path});
        p.waitForFinished(-1);
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        total += seconds;
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 ||
            versionOf(path) != f.package.recordCount()) {
            state.SkipWithError(("isql failed: " + p.readAllStandardError()).constData());
            break;
        }
    }
    const double isqlSeconds = total / double(std::max<benchmark::IterationCount>(1, state.iterations()));
    state.counters["jobs"] = kJobs;
    if (runnerSeconds > 0 && isqlSeconds > 0)
        state.counters["runner_to_isql"] = runnerSeconds / isqlSeconds;
}

}  // namespace

// The runner first: the baselines' rows report the ratio to the runner's last
// run (with interleaved repetitions compare the medians instead).
BENCHMARK(MigrationRunnerPass)->Iterations(2)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BareScripts)->Iterations(2)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(IsqlScripts)->Iterations(2)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
