#include "reportengine/ReportPrint.h"

#include "reportengine/PagePainter.h"
#include "reportengine/ReportError.h"

#include <QPainter>
#include <QPrinter>

namespace report {

void setUpPrinter(QPrinter& printer, const PreparedReport& report)
{
    if (report.pageCount() == 0)
        return;
    const QSizeF size = report.pages.front().size;
    const QPageSize paper(QSizeF(std::min(size.width(), size.height()), std::max(size.width(), size.height())),
                          QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    printer.setPageSize(paper);
    printer.setPageOrientation(size.width() > size.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
}

void printReport(const PreparedReport& report, QPrinter& printer)
{
    if (report.pageCount() == 0)
        return;
    int from = 0, to = report.pageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::clamp(printer.fromPage() - 1, 0, to);
        to = std::clamp(printer.toPage() > 0 ? printer.toPage() - 1 : to, from, to);
    }
    // The paper and orientation stay as the print dialog left them.
    printer.setFullPage(true);
    const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer))
        throw Error(QStringLiteral("Tlač sa nedá začať na tlačiarni %1.").arg(printer.printerName()));
    for (int i = from; i <= to; ++i) {
        if (i > from)
            printer.newPage();
        const QSizeF page = report.pages[size_t(i)].size;
        // A hair of tolerance: A4 is 210 x 297 mm in points rounded.
        const double scale = std::min({1.0, (paper.width() + 0.5) / page.width(), (paper.height() + 0.5) / page.height()});
        painter.save();
        if (scale < 1)
            painter.scale(scale, scale);
        paintPage(painter, report, i, printer.resolution());
        painter.restore();
    }
    painter.end();
}

}  // namespace report
