// Preparation read directly from the prepared pages: pagination, page
// headers and footers, "page N of M", groups with totals, stretched text.

#include "LayoutBuilder.h"

#include "reportengine/Report.h"
#include "reportengine/ReportError.h"
#include "reportengine/TableLayout.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace report;
using reporttest::band;
using reporttest::jobs;
using reporttest::text;

namespace {

QStringList texts(const Page& page)
{
    QStringList out;
    for (const PageItem& item : page.items)
        if (item.object->kind == ObjectKind::Text)
            out << item.text;
    return out;
}

const PageItem* itemWithText(const Page& page, const QString& t)
{
    for (const PageItem& item : page.items)
        if (item.text == t)
            return &item;
    return nullptr;
}

// A small sheet: 40 mm of body between a 5 mm page header and a 5 mm page
// footer, so four 10 mm rows fit a page.
Layout smallPages()
{
    Layout l;
    l.page.width = 100;
    l.page.height = 60;
    l.page.marginLeft = l.page.marginRight = l.page.marginTop = l.page.marginBottom = 5;
    l.pageHeader = band(BandKind::PageHeader, 5, {text(0, 0, 60, 5, QStringLiteral("Hlavička [PAGE#]/[TOTALPAGES#] ([COUNT()])"))});
    l.masterData = band(BandKind::MasterData, 10, {text(0, 0, 30, 10, QStringLiteral("[ZNACKA]"))});
    l.pageFooter = band(BandKind::PageFooter, 5, {text(0, 0, 60, 5, QStringLiteral("Strana [PAGE] z [TOTALPAGES], riadkov [COUNT()]"))});
    return l;
}

MemoryDataset numbered(int rows)
{
    std::vector<std::tuple<QString, QString, QString>> data;
    for (int i = 1; i <= rows; ++i)
        data.emplace_back(QStringLiteral("A"), QStringLiteral("R%1").arg(i), QStringLiteral("1"));
    return jobs(data);
}

TEST(ReportPrepare, PaginatesWithHeadersFootersAndPageCount)
{
    MemoryDataset data = numbered(10);
    Report report(smallPages());
    report.setDataset(QStringLiteral("MASTER"), &data);
    const PreparedReport prepared = report.prepare();

    ASSERT_EQ(prepared.pageCount(), 3);
    const QStringList expected[] = {
        {"Hlavička 1/3 (4)", "R1", "R2", "R3", "R4", "Strana 1 z 3, riadkov 4"},
        {"Hlavička 2/3 (4)", "R5", "R6", "R7", "R8", "Strana 2 z 3, riadkov 4"},
        {"Hlavička 3/3 (2)", "R9", "R10", "Strana 3 z 3, riadkov 2"},
    };
    for (int p = 0; p < 3; ++p) {
        const Page& page = prepared.pages[size_t(p)];
        EXPECT_EQ(texts(page), expected[p]) << "page " << p + 1;
        EXPECT_EQ(page.size, QSizeF(100, 60));
        // The header at the top margin, the footer on the bottom margin, the rows below the header.
        EXPECT_DOUBLE_EQ(page.items.front().rect.top(), 5);
        EXPECT_DOUBLE_EQ(page.items.back().rect.bottom(), 55);
        EXPECT_DOUBLE_EQ(page.items[1].rect.top(), 10);
        EXPECT_DOUBLE_EQ(page.items[1].rect.left(), 5);
    }
}

TEST(ReportPrepare, StretchedBandGrowsAndMovesToTheNextPageWhole)
{
    Layout l = smallPages();
    ReportObject note = text(30, 0, 25, 10, QStringLiteral("[OBJEDNAVATEL]"));
    note.wordWrap = true;
    note.stretch = true;
    ReportObject mark = l.masterData->objects[0];
    mark.stretch = true;
    mark.frame = FrameAll;
    l.masterData->objects = {mark, note};
    const QString longText = QStringLiteral("dlhý text, ktorý sa do jedného riadka nezmestí a zalomí sa na viac riadkov");
    MemoryDataset data = jobs({{"krátky", "R1", "1"}, {"krátky", "R2", "1"}, {longText, "R3", "1"}, {"krátky", "R4", "1"}});
    Report report(l);
    report.setDataset(QStringLiteral("MASTER"), &data);
    const PreparedReport prepared = report.prepare();

    ASSERT_EQ(prepared.pageCount(), 2);
    // R3 is taller than the 20 mm left on page 1, so it starts page 2 below the header.
    const PageItem* r3 = itemWithText(prepared.pages[1], QStringLiteral("R3"));
    ASSERT_NE(r3, nullptr);
    EXPECT_DOUBLE_EQ(r3->rect.top(), 10);
    const PageItem* grown = itemWithText(prepared.pages[1], longText);
    ASSERT_NE(grown, nullptr);
    EXPECT_GT(grown->rect.height(), 20);
    // Both stretched objects of the row end at the same place; the next row follows it.
    EXPECT_DOUBLE_EQ(r3->rect.bottom(), grown->rect.bottom());
    const PageItem* r4 = itemWithText(prepared.pages[1], QStringLiteral("R4"));
    ASSERT_NE(r4, nullptr);
    EXPECT_DOUBLE_EQ(r4->rect.top(), grown->rect.bottom());
    EXPECT_EQ(itemWithText(prepared.pages[0], QStringLiteral("R3")), nullptr);
}

// A band taller than a whole page (a long text that stretches) continues on
// the next pages: every line is printed once, nothing below a page's body.
TEST(ReportPrepare, ABandTallerThanAPageContinuesOnTheNextPages)
{
    for (bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "wrapped words" : "lines");
        Layout l = smallPages();
        ReportObject note = text(30, 0, 60, 10, QStringLiteral("[OBJEDNAVATEL]"));
        note.stretch = true;
        note.wordWrap = wrap;
        note.frame = FrameAll;
        ReportObject mark = l.masterData->objects[0];
        mark.stretch = true;
        l.masterData->objects = {mark, note};
        QStringList lines;
        for (int i = 1; i <= 60; ++i)
            lines << QStringLiteral("Riadok%1").arg(i);
        const QString longText = lines.join(wrap ? u' ' : u'\n');
        MemoryDataset data = jobs({{"krátky", "R1", "1"}, {longText, "R2", "1"}, {"krátky", "R3", "1"}});
        Report report(l);
        report.setDataset(QStringLiteral("MASTER"), &data);
        const PreparedReport prepared = report.prepare();

        ASSERT_GE(prepared.pageCount(), 4);  // 60 lines of about 4 mm, 40 mm of body a page
        QStringList printed;
        for (const Page& page : prepared.pages) {
            for (const PageItem& item : page.items) {
                EXPECT_LE(item.rect.bottom(), 55 + 1e-6) << item.text.toStdString();  // above the page footer
                if (item.object == &prepared.layout->masterData->objects[1])
                    printed << item.text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
            }
            EXPECT_NE(page.items.size(), 2u) << "no page holds only its header and footer";
        }
        printed.removeAll(QStringLiteral("krátky"));
        EXPECT_EQ(printed, lines);
        // The next row follows the end of the long one on its last page, and the
        // footers count the pages.
        const PageItem* r3 = itemWithText(prepared.pages.back(), QStringLiteral("R3"));
        ASSERT_NE(r3, nullptr);
        EXPECT_EQ(prepared.find(QStringLiteral("Strana %1 z %1,").arg(prepared.pageCount())).first, prepared.pageCount() - 1);
    }
}

TEST(ReportPrepare, NestedGroupsWithTotalsInHeadersAndFooters)
{
    Layout l;
    l.page.height = 500;  // one page
    Group customer;
    customer.condition = QStringLiteral("[OBJEDNAVATEL]");
    customer.header = band(BandKind::GroupHeader, 5,
                           {text(0, 0, 40, 5, QStringLiteral("[OBJEDNAVATEL]:")), text(40, 0, 40, 5, QStringLiteral("[SUM(CENA)]"), QStringLiteral(",0.00"))});
    customer.footer = band(BandKind::GroupFooter, 5,
                           {text(0, 0, 40, 5, QStringLiteral("Spolu [OBJEDNAVATEL]")), text(40, 0, 40, 5, QStringLiteral("[SUM(CENA)]"), QStringLiteral(",0.00"))});
    Group letter;
    letter.condition = QStringLiteral("COPY(ZNACKA, 1, 1)");
    letter.footer = band(BandKind::GroupFooter, 5,
                         {text(0, 0, 40, 5, QStringLiteral("[COPY(ZNACKA, 1, 1)]: [COUNT()] ks, [COUNT(CENA)] s cenou")),
                          text(40, 0, 40, 5, QStringLiteral("[SUM(CENA)]"), QStringLiteral(",0.00"))});
    l.groups = {customer, letter};
    l.masterData = band(BandKind::MasterData, 5, {text(0, 0, 20, 5, QStringLiteral("[LINE#]. [ZNACKA]"))});
    l.reportSummary = band(BandKind::ReportSummary, 5,
                           {text(0, 0, 150, 5, QStringLiteral("Celkom [SUM(CENA)] priemer [AVG(CENA)] min [MIN(CENA)] max [MAX(CENA)]"), QStringLiteral(",0.00"))});
    l.reportTitle = band(BandKind::ReportTitle, 5, {text(0, 0, 150, 5, QStringLiteral("Spolu [SUM(CENA)] za [COUNT()] prác"))});

    MemoryDataset data = jobs({{"Alfa", "X1", "10.00"}, {"Alfa", "X2", "5.50"}, {"Alfa", "Y1", ""}, {"Beta", "X3", "1.25"}});
    Report report(l);
    report.setDataset(QStringLiteral("MASTER"), &data);
    const PreparedReport prepared = report.prepare();
    ASSERT_EQ(prepared.pageCount(), 1);
    const QStringList expected = {
        "Spolu 16,75 za 4 prác",
        "Alfa:", "15,50",
        "1. X1", "2. X2", "X: 2 ks, 2 s cenou", "15,50",
        "1. Y1", "Y: 1 ks, 0 s cenou", "0,00",
        "Spolu Alfa", "15,50",
        "Beta:", "1,25",
        "1. X3", "X: 1 ks, 1 s cenou", "1,25",
        "Spolu Beta", "1,25",
        "Celkom 16,75 priemer 5,58 min 1,25 max 10,00",
    };
    EXPECT_EQ(texts(prepared.pages[0]), expected);
}

TEST(ReportPrepare, GroupHeaderIsNotLeftAloneAtThePageBottom)
{
    Layout l = smallPages();
    Group g;
    g.condition = QStringLiteral("[OBJEDNAVATEL]");
    g.header = band(BandKind::GroupHeader, 10, {text(0, 0, 40, 10, QStringLiteral("Skupina [OBJEDNAVATEL]"))});
    l.groups = {g};
    // Page 1: header A, R1, R2 (30 mm); header B would fit but its first row would not.
    MemoryDataset data = jobs({{"A", "R1", "1"}, {"A", "R2", "1"}, {"B", "R3", "1"}});
    Report report(l);
    report.setDataset(QStringLiteral("MASTER"), &data);
    const PreparedReport prepared = report.prepare();
    ASSERT_EQ(prepared.pageCount(), 2);
    EXPECT_EQ(itemWithText(prepared.pages[0], QStringLiteral("Skupina B")), nullptr);
    EXPECT_NE(itemWithText(prepared.pages[1], QStringLiteral("Skupina B")), nullptr);
}

// Page 1: customer A, mark R1, R1 (25 mm). Customer B's header would fit in
// the 15 mm left, but not with its mark's header and first row: all three go over.
TEST(ReportPrepare, NestedGroupHeadersMoveTogetherWithTheirFirstRow)
{
    Layout l = smallPages();
    Group customer, mark;
    customer.condition = QStringLiteral("[OBJEDNAVATEL]");
    customer.header = band(BandKind::GroupHeader, 5, {text(0, 0, 40, 5, QStringLiteral("Objednávateľ [OBJEDNAVATEL]"))});
    mark.condition = QStringLiteral("[ZNACKA]");
    mark.header = band(BandKind::GroupHeader, 10, {text(0, 0, 40, 10, QStringLiteral("Značka [ZNACKA]"))});
    l.groups = {customer, mark};
    MemoryDataset data = jobs({{"A", "R1", "1"}, {"B", "R2", "1"}});
    Report report(l);
    report.setDataset(QStringLiteral("MASTER"), &data);
    const PreparedReport prepared = report.prepare();
    ASSERT_EQ(prepared.pageCount(), 2);
    for (const char* t : {"Objednávateľ B", "Značka R2", "R2"}) {
        EXPECT_EQ(itemWithText(prepared.pages[0], QString::fromUtf8(t)), nullptr) << t;
        EXPECT_NE(itemWithText(prepared.pages[1], QString::fromUtf8(t)), nullptr) << t;
    }
}

TEST(ReportPrepare, EmptyDataStillPrintsTitleAndSummary)
{
    Layout l = smallPages();
    l.reportTitle = band(BandKind::ReportTitle, 5, {text(0, 0, 60, 5, QStringLiteral("[REPORTTITLE]"))});
    l.reportSummary = band(BandKind::ReportSummary, 5, {text(0, 0, 60, 5, QStringLiteral("Spolu [COUNT()] / [SUM(CENA)]"))});
    MemoryDataset data = numbered(0);
    Report report(l);
    report.setTitle(QStringLiteral("Prehľad"));
    report.setDataset(QStringLiteral("MASTER"), &data);
    const PreparedReport prepared = report.prepare();
    ASSERT_EQ(prepared.pageCount(), 1);
    EXPECT_EQ(texts(prepared.pages[0]),
              (QStringList{"Prehľad", "Hlavička 1/1 (0)", "Spolu 0 / 0", "Strana 1 z 1, riadkov 0"}));
    EXPECT_TRUE(prepared.rows.empty());
}

TEST(ReportPrepare, MissingDatasetIsAClearError)
{
    Report report(smallPages());
    try {
        report.prepare();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("MASTER"))) << e.message().toStdString();
    }
}

TEST(ReportPrepare, MasterRowsForTheTableExports)
{
    Layout l = smallPages();
    l.columnHeader = band(BandKind::ColumnHeader, 5, {text(0, 0, 30, 5, QStringLiteral("Značka")), text(30, 0, 30, 5, QStringLiteral("Cena"))});
    l.masterData->objects.push_back(text(30, 0, 30, 10, QStringLiteral("[CENA]"), QStringLiteral(",0.00")));
    MemoryDataset data = jobs({{"A", "R1", "1234.5"}, {"A", "R2", ""}});
    Report report(l);
    report.setDataset(QStringLiteral("MASTER"), &data);
    const PreparedReport prepared = report.prepare();
    ASSERT_EQ(prepared.columns.size(), 2u);
    EXPECT_EQ(prepared.columns[0].header, QStringLiteral("Značka"));
    EXPECT_EQ(prepared.columns[1].header, QStringLiteral("Cena"));
    ASSERT_EQ(prepared.rows.size(), 2u);
    EXPECT_EQ(prepared.rows[0][1].kind(), Value::Kind::Number);   // the value, not its text
    EXPECT_EQ(prepared.rows[0][1].toDecimal(), *Decimal::fromString(QStringLiteral("1234.5")));
    EXPECT_TRUE(prepared.rows[1][1].isNull());
    // The column header repeats on each page below the page header.
    EXPECT_EQ(texts(prepared.pages[0]).mid(0, 3), (QStringList{"Hlavička 1/1 (2)", "Značka", "Cena"}));
}

}  // namespace

namespace {

TEST(ReportTableLayout, ListingTurnsWideTablesAndRepeatsItsHeader)
{
    report::TableListing listing;
    listing.title = QStringLiteral("Merné jednotky");
    listing.headers = {QStringLiteral("Číslo [ks]"), QStringLiteral("Názov")};
    listing.widths = {100, 300};
    listing.alignments = {HAlign::Right, HAlign::Left};
    std::vector<QStringList> rows;
    for (int i = 1; i <= 120; ++i)
        rows.push_back({QString::number(i), QStringLiteral("Jednotka [%1]").arg(i)});
    const MemoryDataset data = tableDataset(2, rows);

    const auto prepare = [&](const TableListing& s) {
        Report listing(tableLayout(s));
        listing.setTitle(s.title);
        listing.setDataset(QStringLiteral("MASTER"), &data);
        return listing.prepare();
    };
    const PreparedReport narrow = prepare(listing);
    EXPECT_EQ(narrow.pages[0].size, QSizeF(210, 297));
    ASSERT_GT(narrow.pageCount(), 1);
    for (const Page& page : narrow.pages) {
        const QStringList t = texts(page);
        EXPECT_EQ(t.mid(0, 3), (QStringList{"Merné jednotky", "Číslo [ks]", "Názov"}));  // heading, then header
        EXPECT_TRUE(t.last().startsWith(QStringLiteral("Strana ")));
    }
    EXPECT_EQ(texts(narrow.pages[0])[4], QStringLiteral("Jednotka [1]"));  // data is never read as an expression
    // Columns fill the printable width of 180 mm in their proportions.
    const PageItem* number = itemWithText(narrow.pages[0], QStringLiteral("1"));
    ASSERT_NE(number, nullptr);
    EXPECT_DOUBLE_EQ(number->rect.left(), 20);
    EXPECT_DOUBLE_EQ(number->rect.width(), 45);

    listing.widths = {400, 900};  // wider than a portrait page at screen size
    EXPECT_EQ(prepare(listing).pages[0].size, QSizeF(297, 210));
    listing.autoOrientation = false;
    EXPECT_EQ(prepare(listing).pages[0].size, QSizeF(210, 297));
}

}  // namespace
