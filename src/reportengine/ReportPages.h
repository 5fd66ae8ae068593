#pragma once

#include "reportengine/ReportLayout.h"
#include "reportengine/ReportValue.h"

#include <QHash>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>
#include <vector>

namespace report {

// Text is drawn this far inside its object's rectangle (millimetres), by the
// painters and by the measuring that decides how far a band stretches.
constexpr double kTextInsetX = 0.5;
constexpr double kTextInsetY = 0.2;

// One positioned thing on a prepared page. The look (font, frame, fill,
// alignment) is the layout object's; the rectangle and the text are this
// occurrence's. Lines run from rect.topLeft() to rect.bottomRight().
struct PageItem {
    const ReportObject* object = nullptr;
    QRectF rect;   // millimetres from the sheet's top left corner
    QString text;
};

struct Page {
    QSizeF size;   // millimetres, as printed (orientation applied)
    std::vector<PageItem> items;
};

// A column of the table-like exports (CSV, spreadsheets, HTML table): one per
// group level (its key as the group header shows it), then one per text of
// the master band. The header is the text the column header prints; the
// format is the display format of the values.
struct TableColumn {
    QString header;
    QString format;
    const ReportObject* object = nullptr;  // what fills it; null for a group key without a header text
    int groupLevel = -1;                   // a group's key column: its level
};

// The result of preparation: read-only pages plus the master band's rows.
// It keeps the layout its items point into alive.
class PreparedReport {
public:
    std::shared_ptr<const Layout> layout;
    QString title;
    std::vector<Page> pages;
    std::vector<TableColumn> columns;
    std::vector<std::vector<Value>> rows;
    QHash<const ReportObject*, QImage> images;  // decoded once per image object

    int pageCount() const { return int(pages.size()); }
    // Where a text occurs, searching forward from (page, item) exclusive of
    // that item; case-insensitive. {-1, -1} when not found.
    std::pair<int, int> find(const QString& text, int fromPage = 0, int fromItem = -1) const;
};

}  // namespace report
