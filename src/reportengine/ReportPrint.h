#pragma once

#include "reportengine/ReportPages.h"

class QPrinter;

namespace report {

// Prints the pages the printer's range asks for (all when none), each on a
// sheet of its own size. Throws report::Error when the printer cannot start.
void printReport(const PreparedReport& report, QPrinter& printer);

}  // namespace report
