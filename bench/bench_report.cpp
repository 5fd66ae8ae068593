// The report engine at job-list scale: the sample job list layout over
// 10 000 jobs of the sample agency (about 250 pages) prepared and written as
// PDF, against painting the same positioned text straight onto a QPdfWriter
// with QPainter (no engine) in the same run. Preparation alone is measured
// too. Peak resident memory is reported as a counter.

#include "SampleDatabase.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "reportengine/PagePainter.h"
#include "reportengine/Report.h"
#include "reportengine/ReportExport.h"
#include "reports/ReportDataset.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace {

constexpr int kJobs = 10000;

struct Fixture {
    SampleDatabase db{kJobs};
    TReportQueryDataset master;
    report::Report report;
    QTemporaryDir out;
    // The baseline's input: every text of the prepared pages, already placed.
    struct Text {
        QRectF rect;  // points
        QString text;
        int font;
        int flags;
    };
    std::vector<std::vector<Text>> pages;
    std::vector<QFont> fonts;

    Fixture()
    {
        QFile sql(QStringLiteral(LINDAVO_SAMPLE_DIR "/zoznam.sql"));
        sql.open(QIODevice::ReadOnly);
        fb::Transaction tr(db.connection, {QStringLiteral("concurrency"), QStringLiteral("read"), QStringLiteral("nowait")});
        tr.start();
        fb::Query q(tr);
        q.setSql(QString::fromUtf8(sql.readAll()));
        master.fill(q);
        tr.commit();
        report.loadFromFile(QStringLiteral(LINDAVO_SAMPLE_DIR "/Zoznam.frf"));
        report.setDataset(QStringLiteral("MASTER"), &master);

        const report::PreparedReport prepared = report.prepare();
        std::vector<const report::FontStyle*> styles;
        for (const report::Page& page : prepared.pages) {
            pages.emplace_back();
            for (const report::PageItem& item : page.items) {
                if (item.object->kind != report::ObjectKind::Text || item.text.isEmpty())
                    continue;
                int font = -1;
                for (size_t i = 0; i < styles.size(); ++i)
                    if (*styles[i] == item.object->font)
                        font = int(i);
                if (font < 0) {
                    styles.push_back(&item.object->font);
                    fonts.push_back(report::fontFor(item.object->font));
                    font = int(fonts.size()) - 1;
                }
                const QRectF r = item.rect.adjusted(report::kTextInsetX, report::kTextInsetY, -report::kTextInsetX,
                                                    -report::kTextInsetY);
                pages.back().push_back({r, item.text, font, report::alignmentFlags(*item.object)});
            }
        }
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// The physical limit: the same texts at the same places, painted directly.
void DirectPdf(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString file = f.out.filePath(QStringLiteral("direct.pdf"));
    for (auto _ : state) {
        QPdfWriter writer(file);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        const double k = writer.resolution() / 25.4;
        int currentFont = -1;
        for (size_t p = 0; p < f.pages.size(); ++p) {
            if (p > 0)
                writer.newPage();
            for (const Fixture::Text& t : f.pages[p]) {
                if (t.font != currentFont) {
                    painter.setFont(f.fonts[size_t(t.font)]);
                    currentFont = t.font;
                }
                painter.drawText(QRectF(t.rect.x() * k, t.rect.y() * k, t.rect.width() * k, t.rect.height() * k),
                                 t.flags, t.text);
            }
        }
    }
    state.counters["pages"] = double(f.pages.size());
    state.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(DirectPdf)->Unit(benchmark::kMillisecond)->MinTime(2);

void EnginePdf(benchmark::State& state)
{
    Fixture& f = fixture();
    const QString file = f.out.filePath(QStringLiteral("engine.pdf"));
    int pages = 0;
    for (auto _ : state) {
        const report::PreparedReport prepared = f.report.prepare();
        report::exportPdf(prepared, file);
        pages = prepared.pageCount();
    }
    state.counters["pages"] = pages;
    state.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(EnginePdf)->Unit(benchmark::kMillisecond)->MinTime(2);

void EnginePrepare(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(f.report.prepare().pageCount());
    state.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(EnginePrepare)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
