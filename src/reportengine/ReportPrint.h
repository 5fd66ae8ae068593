#pragma once

#include "reportengine/ReportPages.h"

class QPrinter;

namespace report {

// Before the print dialog: the paper of the report's first page by its size
// (210 x 297 mm is A4) in the page's orientation, so the dialog offers A4
// landscape for a landscape layout rather than a custom sheet.
void setUpPrinter(QPrinter& printer, const PreparedReport& report);

// Prints the pages the printer's range asks for (all when none) on the paper
// and in the orientation the printer has, as chosen in the print dialog; a
// page larger than that paper is scaled down to fit. Throws report::Error
// when the printer cannot start.
void printReport(const PreparedReport& report, QPrinter& printer);

}  // namespace report
