#include "reportengine/ReportPrint.h"

#include "reportengine/PagePainter.h"
#include "reportengine/ReportError.h"

#include <QPainter>
#include <QPrinter>

namespace report {

void printReport(const PreparedReport& report, QPrinter& printer)
{
    if (report.pageCount() == 0)
        return;
    int from = 0, to = report.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::clamp(printer.fromPage() - 1, 0, to);
        to = std::clamp(printer.toPage() > 0 ? printer.toPage() - 1 : to, from, to);
    }
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(report.pages[size_t(from)].size, QPageSize::Millimeter));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&printer))
        throw Error(QStringLiteral("Tlač sa nedá začať na tlačiarni %1.").arg(printer.printerName()));
    for (int i = from; i <= to; ++i) {
        if (i > from) {
            printer.setPageSize(QPageSize(report.pages[size_t(i)].size, QPageSize::Millimeter));
            printer.newPage();
        }
        paintPage(painter, report, i, printer.resolution());
    }
    painter.end();
}

}  // namespace report
