#pragma once

#include "reportengine/ReportFormat.h"

#include <QByteArray>
#include <QColor>
#include <QString>

#include <optional>
#include <vector>

namespace report {

// A report layout: page setup, bands and the objects on them. Lengths are
// millimetres, font sizes points. This is what a .frf file holds.

enum class Orientation { Portrait, Landscape };

struct PageSetup {
    double width = 210;   // of the sheet in portrait
    double height = 297;
    Orientation orientation = Orientation::Portrait;
    double marginLeft = 20, marginRight = 10, marginTop = 10, marginBottom = 16;

    double pageWidth() const { return orientation == Orientation::Portrait ? width : height; }
    double pageHeight() const { return orientation == Orientation::Portrait ? height : width; }
    double printableWidth() const { return pageWidth() - marginLeft - marginRight; }
    double printableHeight() const { return pageHeight() - marginTop - marginBottom; }
    friend bool operator==(const PageSetup&, const PageSetup&) = default;
};

enum class ObjectKind { Text, Line, Rectangle, Image };

// Sides of a frame; combine with |.
enum FrameSide { FrameNone = 0, FrameLeft = 1, FrameTop = 2, FrameRight = 4, FrameBottom = 8, FrameAll = 15 };

enum class HAlign { Left, Center, Right, Justify };
enum class VAlign { Top, Center, Bottom };

struct FontStyle {
    QString family = QStringLiteral("DejaVu Sans");
    double size = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    friend bool operator==(const FontStyle&, const FontStyle&) = default;
};

struct ReportObject {
    ObjectKind kind = ObjectKind::Text;
    QString name;
    double x = 0, y = 0, width = 0, height = 0;   // within the band
    // Text: literal text with [expression] parts.
    QString text;
    FontStyle font;
    QColor color = Qt::black;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    bool wordWrap = false;
    bool stretch = false;       // the object (and its band) grows to fit the text
    QString format;             // display format of the values: ",0.00", "dd.mm.yyyy"
    int frame = FrameNone;
    double frameWidth = 0.2;
    QColor frameColor = Qt::black;
    QColor fill;                // invalid: no fill
    // Line: from (x, y) to (x + width, y + height). Rectangle: the frame above.
    // Image: PNG or JPEG bytes, kept in the file as Base64.
    QByteArray image;
    bool keepAspect = true;
    friend bool operator==(const ReportObject&, const ReportObject&) = default;
};

enum class BandKind {
    ReportTitle,
    PageHeader,
    ColumnHeader,
    MasterData,
    GroupHeader,
    GroupFooter,
    MasterFooter,
    ReportSummary,
    PageFooter,
};

struct Band {
    BandKind kind = BandKind::MasterData;
    double height = 5;
    std::vector<ReportObject> objects;
    friend bool operator==(const Band&, const Band&) = default;
};

// A group over the master data: a new group starts when the condition's
// value changes. Groups are listed outermost first.
struct Group {
    QString condition;          // an expression, e.g. [MASTER."OBJEDNAVATEL"]
    QString caption;            // heads the group's column in the table exports
    std::optional<Band> header;
    std::optional<Band> footer;
    bool newPageAfterFooter = false;
    friend bool operator==(const Group&, const Group&) = default;
};

struct VariableDef {
    QString category;   // " Nastavenia"
    QString name;       // "Typ"
    QString type;       // "string" or "integer"
    QString value;
    friend bool operator==(const VariableDef&, const VariableDef&) = default;
};

struct Layout {
    PageSetup page;
    QString title;
    QString masterAlias = QStringLiteral("MASTER");
    std::optional<Band> reportTitle, pageHeader, columnHeader, masterData, masterFooter, reportSummary,
        pageFooter;
    std::vector<Group> groups;
    std::vector<VariableDef> variables;
    bool pageHeaderOnFirstPage = true;
    bool pageFooterOnLastPage = true;
    Language language = Language::Slovak;  // of the number formats and the names of months and days
    friend bool operator==(const Layout&, const Layout&) = default;
};

QString bandKindName(BandKind kind);          // "masterdata", as in the file
std::optional<BandKind> bandKindFromName(const QString& name);

}  // namespace report
