// Feeds arbitrary bytes to the layout loader, and prepares what loads over a
// small dataset: it must fail with report::Error, never crash.
#include "reportengine/Report.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportFile.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_reportlayout";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;
    static report::MemoryDataset rows = [] {
        report::MemoryDataset ds({{QStringLiteral("ZNACKA"), report::ColumnType::Text},
                                  {QStringLiteral("CENA"), report::ColumnType::Decimal, 2}});
        for (int i = 0; i < 30; ++i)
            ds.addRow({report::Value::text(QString::number(i / 7)), report::Value::integer(i)});
        return ds;
    }();
    try {
        report::Report rep(report::parseLayout(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size))));
        rep.setDataset(QStringLiteral("MASTER"), &rows);
        rep.prepare();
    } catch (const report::Error&) {
    }
    return 0;
}
