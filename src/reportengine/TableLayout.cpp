#include "reportengine/TableLayout.h"

#include <numeric>

namespace report {

namespace {

constexpr double kScreenMmPerPixel = 25.4 / 96.0;

ReportObject cell(double x, double width, double height, const QString& text, const TableListing& listing)
{
    ReportObject o;
    o.kind = ObjectKind::Text;
    o.x = x;
    o.width = width;
    o.height = height;
    o.text = text;
    o.font.size = listing.fontSize;
    o.vAlign = VAlign::Center;
    o.frame = FrameAll;
    o.frameWidth = 0.1;
    o.frameColor = QColor(0x80, 0x80, 0x80);
    return o;
}

}  // namespace

Layout tableLayout(const TableListing& listing)
{
    Layout l;
    l.title = listing.title;
    l.page.orientation = listing.orientation;
    l.page.marginLeft = listing.marginLeft;
    l.page.marginRight = listing.marginRight;
    l.page.marginTop = listing.marginTop;
    l.page.marginBottom = listing.marginBottom;
    const int n = int(listing.headers.size());
    std::vector<double> widths(size_t(n), 1.0);
    for (int c = 0; c < n && c < int(listing.widths.size()); ++c)
        widths[size_t(c)] = std::max(listing.widths[size_t(c)], 1.0);
    const double natural = std::accumulate(widths.begin(), widths.end(), 0.0) * kScreenMmPerPixel;
    // Columns wider than a portrait page turn it, when that is allowed.
    if (listing.autoOrientation && listing.orientation == Orientation::Portrait && natural > l.page.printableWidth())
        l.page.orientation = Orientation::Landscape;
    const double width = l.page.printableWidth();
    const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    const double rowHeight = listing.fontSize * 0.6;

    if (!listing.title.trimmed().isEmpty()) {
        ReportObject heading = cell(0, width, rowHeight * 1.6, QStringLiteral("[REPORTTITLE]"), listing);
        heading.font.size = listing.fontSize + 2;
        heading.font.bold = true;
        heading.color = Qt::white;
        heading.fill = listing.headerFill;
        heading.hAlign = HAlign::Center;
        heading.frameColor = Qt::black;
        heading.frameWidth = 0.3;
        Band b;
        b.kind = BandKind::PageHeader;
        b.height = heading.height + 2;
        b.objects.push_back(heading);
        l.pageHeader = b;
    }
    Band header, data;
    header.kind = BandKind::ColumnHeader;
    header.height = rowHeight;
    data.kind = BandKind::MasterData;
    data.height = rowHeight;
    double x = 0;
    for (int c = 0; c < n; ++c) {
        const double w = width * widths[size_t(c)] / total;
        // Header texts are literal: a bracket in a caption stays a bracket.
        QString caption = listing.headers[c];
        caption.replace(u'[', QStringLiteral("[ '[' ]"));
        ReportObject h = cell(x, w, rowHeight, caption, listing);
        h.font.bold = true;
        h.color = Qt::white;
        h.fill = listing.headerFill;
        h.hAlign = HAlign::Center;
        h.wordWrap = true;
        h.stretch = true;
        header.objects.push_back(h);
        ReportObject d = cell(x, w, rowHeight, QStringLiteral("[C%1]").arg(c + 1), listing);
        d.hAlign = c < int(listing.alignments.size()) ? listing.alignments[size_t(c)] : HAlign::Left;
        d.wordWrap = true;
        d.stretch = true;
        data.objects.push_back(d);
        x += w;
    }
    l.columnHeader = header;
    l.masterData = data;
    ReportObject footer = cell(0, width, 5, QStringLiteral("Strana [PAGE#] z [TOTALPAGES#]"), listing);
    footer.frame = FrameNone;
    footer.hAlign = HAlign::Right;
    footer.font.size = listing.fontSize - 1;
    Band f;
    f.kind = BandKind::PageFooter;
    f.height = 6;
    footer.y = 1;
    f.objects.push_back(footer);
    l.pageFooter = f;
    return l;
}

MemoryDataset tableDataset(int columns, const std::vector<QStringList>& rows)
{
    MemoryDataset ds;
    for (int c = 0; c < columns; ++c)
        ds.addColumn({QStringLiteral("C%1").arg(c + 1), ColumnType::Text});
    ds.reserve(int(rows.size()));
    for (const QStringList& row : rows) {
        std::vector<Value> values;
        values.reserve(size_t(columns));
        for (int c = 0; c < columns; ++c)
            values.push_back(Value::text(row.value(c)));
        ds.addRow(std::move(values));
    }
    return ds;
}

}  // namespace report
