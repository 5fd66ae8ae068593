// The preview paints only the pages in view, opens at page width, moves
// between pages and finds text across a long report.

#include "LayoutBuilder.h"

#include "reportengine/Report.h"
#include "reportengine/ReportPreview.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace report;
using reporttest::band;
using reporttest::text;

namespace {

// One row a page: 2 000 pages.
std::shared_ptr<const PreparedReport> longReport(int pages)
{
    static MemoryDataset data;
    if (data.rowCount() != pages) {
        data = MemoryDataset({{QStringLiteral("ZNACKA"), ColumnType::Text}});
        for (int i = 1; i <= pages; ++i)
            data.addRow({Value::text(QStringLiteral("R%1").arg(i))});
    }
    Layout l;
    l.masterData = band(BandKind::MasterData, 200, {text(0, 50, 60, 6, QStringLiteral("Značka [ZNACKA]"))});
    l.pageFooter = band(BandKind::PageFooter, 5, {text(0, 0, 60, 5, QStringLiteral("Strana [PAGE#] z [TOTALPAGES#]"))});
    Report rep(l);
    rep.setTitle(QStringLiteral("Dlhá zostava"));
    rep.setDataset(QStringLiteral("MASTER"), &data);
    return std::make_shared<const PreparedReport>(rep.prepare());
}

TEST(ReportPreview, PaintsOnlyVisiblePagesOfALongReport)
{
    const auto prepared = longReport(2000);
    ASSERT_EQ(prepared->pageCount(), 2000);
    PreviewWindow window(prepared);
    window.resize(800, 900);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PreviewPages* pages = window.pages();
    pages->viewport()->repaint();

    // Opens at page width: the sheet fills the view's width but for the gaps.
    const double sheetPx = 210 * pages->zoom() * pages->logicalDpiY() / 25.4;
    EXPECT_NEAR(sheetPx, pages->viewport()->width() - 24, 30);
    EXPECT_FALSE(pages->paintedPages().isEmpty());
    EXPECT_LE(pages->paintedPages().size(), 2);
    EXPECT_EQ(pages->paintedPages().first(), 0);

    pages->goToPage(1499);
    pages->viewport()->repaint();
    ASSERT_FALSE(pages->paintedPages().isEmpty());
    EXPECT_EQ(pages->paintedPages().first(), 1499);
    EXPECT_LE(pages->paintedPages().size(), 2);
    EXPECT_EQ(pages->currentPage(), 1499);
    EXPECT_EQ(window.findChild<QSpinBox*>(QStringLiteral("ePage"))->value(), 1500);

    // Whole page at 50 %: several pages in view, still only those.
    pages->setZoom(0.25);
    pages->viewport()->repaint();
    EXPECT_GE(pages->paintedPages().size(), 3);
    EXPECT_LE(pages->paintedPages().size(), 8);
}

TEST(ReportPreview, FindsTextAcrossPagesAndWraps)
{
    const auto prepared = longReport(2000);
    PreviewWindow window(prepared);
    window.resize(800, 900);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PreviewPages* pages = window.pages();

    auto* find = window.findChild<QLineEdit*>(QStringLiteral("eFind"));
    ASSERT_NE(find, nullptr);
    find->setText(QStringLiteral("značka r1777"));
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_EQ(pages->markedItem().first, 1776);
    EXPECT_EQ(prepared->pages[1776].items[size_t(pages->markedItem().second)].text, QStringLiteral("Značka R1777"));
    pages->viewport()->repaint();
    EXPECT_TRUE(pages->paintedPages().contains(1776));

    // "z 2000" is in every footer: the next find moves one page on; after the last it wraps.
    EXPECT_TRUE(window.findNext(QStringLiteral("z 2000")));
    EXPECT_EQ(pages->markedItem().first, 1776);
    EXPECT_TRUE(window.findNext(QStringLiteral("z 2000")));
    EXPECT_EQ(pages->markedItem().first, 1777);
    pages->showItem(1999, 0);
    EXPECT_TRUE(window.findNext(QStringLiteral("Strana 1 z")));
    EXPECT_EQ(pages->markedItem().first, 0);
    EXPECT_FALSE(window.findNext(QStringLiteral("nikde")));
}

}  // namespace
