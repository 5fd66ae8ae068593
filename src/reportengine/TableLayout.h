#pragma once

#include "reportengine/ReportDataset.h"
#include "reportengine/ReportLayout.h"

#include <QColor>
#include <QStringList>

#include <vector>

namespace report {

// A plain listing of a table (a grid as shown, or every field of a result):
// an optional heading, a column header repeated on every page, one band a
// row, the page count at the bottom.
struct TableListing {
    QString title;                 // printed as the heading when not blank
    QStringList headers;
    std::vector<double> widths;    // relative (the grid's pixels)
    std::vector<HAlign> alignments;
    Orientation orientation = Orientation::Portrait;
    bool autoOrientation = true;   // landscape when the columns need it
    double marginLeft = 20, marginRight = 10, marginTop = 10, marginBottom = 16;
    QColor headerFill = QColor(0x80, 0x80, 0x80);
    double fontSize = 8;
};

// The layout reads the dataset from tableDataset(): text fields C1, C2, ...
Layout tableLayout(const TableListing& listing);
MemoryDataset tableDataset(int columns, const std::vector<QStringList>& rows);

}  // namespace report
