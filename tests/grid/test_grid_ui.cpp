// The grid driven as the user drives it: title clicks and keys, marking,
// drawing rules, width fitting and the stored column order.
#include "GridFixture.h"
#include "controls/GridContextMenu.h"
#include "framework/UserSettings.h"
#include "support/DialogTranscript.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QPrinter>
#include <QTemporaryDir>
#include <QMenu>
#include <QStyle>
#include <QTest>

using GridUi = GridFixture;

TEST_F(GridUi, TitleClicksRequeryOnlyWhenTheActiveTitleChanges)
{
    fillUnits(3);
    open();
    window.resize(400, 300);
    window.show();
    const int before = displays;
    QHeaderView* titles = grid->horizontalHeader();
    auto clickTitle = [&](int section) {
        const int x = titles->sectionViewportPosition(section) + titles->sectionSize(section) / 2;
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {}, QPoint(x, titles->height() / 2));
    };
    clickTitle(0);  // already active
    EXPECT_EQ(displays, before);
    clickTitle(1);
    EXPECT_EQ(displays, before + 1);
    EXPECT_EQ(grid->ActiveTitleIndex(), 2);
    EXPECT_EQ(refresh->BuildSql().last(), "a.skratka,a.jedin");

    grid->TitleClick(0);  // the indicator's title
    EXPECT_EQ(displays, before + 2);
    EXPECT_EQ(grid->ActiveTitleIndex(), 0);
    refresh->direction = " DESC";
    EXPECT_EQ(refresh->BuildSql().last(), "a.jedin DESC");
}

TEST_F(GridUi, CtrlArrowsMoveTheActiveTitleWithinLimits)
{
    fillUnits(3);
    open();
    struct Step {
        Qt::KeyboardModifiers mods;
        Qt::Key key;
        int active;          // ActiveTitleIndex after the key
        bool requery;
        const char* firstColumn;
    };
    const Step steps[] = {
        {Qt::ControlModifier, Qt::Key_Left, 0, true, "JEDIN"},
        {Qt::ControlModifier, Qt::Key_Left, 0, false, "JEDIN"},
        {Qt::ControlModifier, Qt::Key_Right, 1, true, "JEDIN"},
        {Qt::ControlModifier, Qt::Key_Right, 2, true, "JEDIN"},
        {Qt::ControlModifier, Qt::Key_Right, 2, false, "JEDIN"},
        {Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Left, 1, true, "SKRATKA"},   // moves, title follows
        {Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Left, 1, false, "SKRATKA"},  // already first
        {Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Right, 2, true, "JEDIN"},
    };
    for (const Step& s : steps) {
        const int before = displays;
        QTest::keyClick(grid, s.key, s.mods);
        EXPECT_EQ(grid->ActiveTitleIndex(), s.active);
        EXPECT_EQ(displays - before, s.requery ? 1 : 0);
        EXPECT_EQ(grid->Columns()[0].FieldName, s.firstColumn);
    }
    EXPECT_EQ(grid->gridModel()->headerData(0, Qt::Horizontal).toString(), "Číslo");
}

TEST_F(GridUi, MarkingByKeysAndIndicator)
{
    fillUnits(4);
    open();
    window.resize(400, 300);
    window.show();
    int checkRowEvents = 0;
    grid->OnCheckRow = [&] { ++checkRowEvents; };

    grid->setCurrentRow(3);
    QTest::keyClick(grid, Qt::Key_Insert);  // the last record: marked, stays current
    EXPECT_TRUE(grid->IsCurrentChecked());
    EXPECT_EQ(grid->currentRow(), 3);
    grid->setCurrentRow(0);
    QTest::keyClick(grid, Qt::Key_Space);
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->CheckedKey(1), 1);
    EXPECT_EQ(checkRowEvents, 2);

    QTest::keyClick(grid, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(grid->CheckedCount(), 4);
    EXPECT_EQ(checkRowEvents, 4) << "once per newly marked record";
    QTest::keyClick(grid, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(grid->CheckedCount(), 0);
    QTest::keyClick(grid, Qt::Key_Plus);  // not the keypad: no marking
    EXPECT_EQ(grid->CheckedCount(), 0);

    QHeaderView* indicator = grid->verticalHeader();
    QTest::mouseClick(indicator->viewport(), Qt::LeftButton, {},
                      QPoint(indicator->width() / 2, indicator->sectionViewportPosition(2) + 3));
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_EQ(grid->CheckedKey(0), 3);
    EXPECT_TRUE(grid->gridModel()->index(2, 0).data(TGridModel::MarkedRole).toBool());
}

TEST_F(GridUi, DrawingRules)
{
    fillUnits(3);
    open();
    grid->setCurrentRow(0);
    const QColor odd(230, 251, 255), even(254, 255, 230), yellow(255, 255, 0);
    EXPECT_EQ(grid->CellColors(0, 0).background, odd) << "not focused: the current row is striped too";
    EXPECT_EQ(grid->CellColors(1, 0).background, even);
    markKeys({3});
    grid->setCurrentRow(0);
    EXPECT_EQ(grid->CellColors(2, 1).background, yellow);

    grid->SetOznacNaCerveno(true);  // with marks: only the marked rows
    EXPECT_EQ(grid->CellColors(2, 0).background, QColor(Qt::red));
    EXPECT_EQ(grid->CellColors(2, 0).text, QColor(Qt::yellow));
    EXPECT_EQ(grid->CellColors(0, 0).background, odd);
    grid->ClearChecked();  // without marks: only the current row
    EXPECT_EQ(grid->CellColors(0, 0).background, QColor(Qt::red));
    EXPECT_EQ(grid->CellColors(2, 0).background, odd);
    grid->SetOznacNaCerveno(false);

    grid->SetColorSelectedRow(true);  // finding: the active column's cell of the current row
    EXPECT_EQ(grid->CellColors(0, 0).background, QColor(0, 255, 0));
    EXPECT_EQ(grid->CellColors(0, 1).background, odd);
}

TEST(GridAutoFit, WidthArithmetic)
{
    struct Case {
        const char* name;
        int extra;  // grid width minus (S + B)
        std::vector<bool> autoSize;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        {"exactly 24 wider: nothing", 24, {true, true}, {100, 50}},
        {"wider: e = extra - 30 split over k, remainder dropped", 41, {true, true}, {105, 55}},
        {"only auto-size columns grow", 40, {true, false}, {110, 50}},
        {"narrower: f = 30 - extra split over k", 20, {true, true}, {95, 45}},
        {"just wider but under 30: nothing", 28, {true, true}, {100, 50}},
        {"no auto-size column: nothing", 100, {false, false}, {100, 50}},
    };
    for (const Case& c : cases) {
        TDbGridQDL grid;
        std::vector<TQDLColumn> cols(2);
        cols[0].FieldName = "A";
        cols[0].Width = 100;
        cols[1].FieldName = "B";
        cols[1].Width = 50;
        for (size_t i = 0; i < 2; ++i)
            cols[i].AutoSizeAlignment = c.autoSize[i];
        grid.SetColumns(cols);
        const int b = grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &grid);
        grid.resize(150 + b + c.extra, 200);
        grid.AutoFitColumns();
        EXPECT_EQ(grid.Columns()[0].Width, c.expected[0]) << c.name;
        EXPECT_EQ(grid.Columns()[1].Width, c.expected[1]) << c.name;
        EXPECT_EQ(grid.columnWidth(0), c.expected[0]) << c.name;
    }
}

// A window fills its grid before it is shown, when the grid still has Qt's
// default width: that must not squeeze the design widths for good.
TEST_F(GridUi, WidthsAreFittedOnlyOnceTheGridIsShown)
{
    TQDLColumn hidden = column("JEDIN", "Skryté");
    hidden.Visible = false;
    hidden.Order = osNone;
    hidden.Width = 500;
    grid->AddColumn(hidden);
    std::vector<TQDLColumn> cols = grid->Columns();
    cols[0].Width = 120;
    cols[1].Width = 200;
    grid->SetColumns(cols);
    fillUnits(3);
    open();
    EXPECT_EQ(grid->Columns()[0].Width, 120);
    EXPECT_EQ(grid->Columns()[1].Width, 200);

    const int b = grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    window.resize(600, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // The visible columns share the room left; the hidden one counts for nothing.
    const int delta = (grid->width() - b - 320 - 30) / 2;
    ASSERT_GT(delta, 0);
    EXPECT_EQ(grid->Columns()[0].Width, 120 + delta);
    EXPECT_EQ(grid->Columns()[1].Width, 200 + delta);
    EXPECT_EQ(grid->Columns()[2].Width, 500);
    EXPECT_EQ(grid->columnWidth(1), 200 + delta);

    // Filling it again while it is shown changes nothing more.
    open();
    EXPECT_EQ(grid->Columns()[0].Width, 120 + delta);
    EXPECT_EQ(grid->Columns()[2].Width, 500);
}

// Keys the grid does not handle must not move its cursor: Qt's keyboard search
// would jump to the next row starting with the letter.
TEST_F(GridUi, UnassignedLettersDoNotMoveTheCursor)
{
    fillUnits({"ks", "hod", "m", "hh"});
    open();
    window.resize(400, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    grid->setFocus();
    grid->setCurrentIndex(grid->gridModel()->index(0, 1));
    for (const char* letter : {"h", "m", "k", "x"}) {
        SCOPED_TRACE(letter);
        grid->setCurrentRow(0);
        QTest::keyClicks(grid, letter);
        EXPECT_EQ(grid->currentRow(), 0);
    }
}

TEST_F(GridUi, StoredColumnOrderStopsAtAFieldNoLongerShown)
{
    TQDLColumn remark = column("POZN", "Poznámka");
    remark.Order = osNone;  // not in the statement
    grid->AddColumn(remark);
    grid->Loaded();
    auto* menu = grid->findChild<TGridContextMenu*>();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->SettingsKey(), "Software\\Lindavo\\QWidgetgr1");
    const QString key = menu->SettingsKey();
    writeUserString(key, "gr1.Column[0].FieldName", "pozn");
    writeUserString(key, "gr1.Column[1].FieldName", "ZRUSENE");
    writeUserString(key, "gr1.Column[2].FieldName", "SKRATKA");
    menu->RestoreColumnPositions();
    QStringList order;
    for (const TQDLColumn& c : grid->Columns())
        order << c.FieldName;
    EXPECT_EQ(order, (QStringList{"POZN", "JEDIN", "SKRATKA"}));

    grid->MoveColumn(0, 2);
    menu->SaveColumnPositions();
    EXPECT_EQ(readUserString(key, "gr1.Column[2].FieldName"), "POZN");
    DialogTranscript transcript(msg::Yes);
    menu->ClearColumnPositions();
    EXPECT_EQ(readUserString(key, "gr1.Column[0].FieldName", "x"), "");

    const QStringList captions = [&] {
        QStringList out;
        for (QAction* a : grid->GridMenu()->actions())
            out << (a->isSeparator() ? "-" : a->text());
        return out;
    }();
    EXPECT_EQ(captions.size(), 13);
    EXPECT_EQ(captions.first(), "Kopírovať riadok do schránky");
    EXPECT_EQ(captions.last(), "Zarovnanie šírok stĺpcov gridu");
}

TEST_F(GridUi, CopyRowAndGrid)
{
    fillUnits(2);
    open();
    grid->Loaded();
    auto* menu = grid->findChild<TGridContextMenu*>();
    grid->setCurrentRow(1);
    menu->CopyRowToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), "2\tU2");
    menu->CopyGridToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), "1\tU1\r\n2\tU2\r\n");
}

TEST_F(GridUi, PrintTablesAndPages)
{
    fillUnits(300);
    grid->Title = "Merné jednotky";
    TQDLColumn hidden = column("JEDIN", "Skryté");
    hidden.Visible = false;
    hidden.Order = osNone;
    grid->AddColumn(hidden);
    open();
    grid->Loaded();
    auto* menu = grid->findChild<TGridContextMenu*>();
    const TGridPrintTable shown = menu->GridTable();
    EXPECT_EQ(shown.headers, (QStringList{"Číslo", "Skratka"})) << "visible columns as shown";
    EXPECT_EQ(shown.rows.size(), 300u);
    EXPECT_EQ(shown.rows[1], (QStringList{"2", "U2"}));
    const TGridPrintTable all = menu->DataSetTable();
    EXPECT_EQ(all.headers, (QStringList{"JEDIN", "SKRATKA"}));

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("grid.pdf"));
    printer.setPageMargins(QMarginsF(20, 10, 10, 16), QPageLayout::Millimeter);
    TGridContextMenu::PaintTable(printer, shown);
    QFile pdf(dir.filePath("grid.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_GE(bytes.count("/Type /Page\n"), 2) << "300 rows run over several pages";
}
