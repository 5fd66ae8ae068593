// The standard toolbar: hints by image index and the marked-only button with
// the standard refresh.
#include "GridFixture.h"
#include "support/DialogTranscript.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>

TEST(ListToolbar, HintsByImageIndexKeepExistingHints)
{
    QToolBar big;
    big.setIconSize(QSize(32, 32));
    QAction* add = AddToolbarButton(&big, "btnPridaj", 0);
    QAction* marked = AddToolbarButton(&big, "btnOznacene", 8, true);
    QAction* own = AddToolbarButton(&big, "btnVlastny", 2);
    own->setToolTip("Vlastný tip");
    QAction* none = AddToolbarButton(&big, "btnIny", 19);
    SetupToolbarHints(&big);
    EXPECT_EQ(add->toolTip(), "Pridanie záznamu (P,F2)");
    EXPECT_TRUE(marked->toolTip().startsWith("Zobraz len označené záznamy"));
    EXPECT_EQ(own->toolTip(), "Vlastný tip");
    EXPECT_EQ(none->toolTip(), "");
    EXPECT_EQ(big.widgetForAction(add)->size(), QSize(39, 38));

    QToolBar small;
    small.setIconSize(QSize(16, 16));
    QAction* refresh = AddToolbarButton(&small, "btnRefresh", 4);
    QAction* run = AddToolbarButton(&small, "btnVykonaj", 8);
    SetupToolbarHints(&small);
    EXPECT_EQ(refresh->toolTip(), "Obnovenie zobrazenia (R)");
    EXPECT_EQ(run->toolTip(), "Vykonaj");

    QToolBar other;
    other.setIconSize(QSize(24, 24));
    QAction* untouched = AddToolbarButton(&other, "btnPridaj", 0);
    SetupToolbarHints(&other);
    EXPECT_EQ(untouched->toolTip(), "");
}

using MarkedOnlyView = GridFixture;

TEST_F(MarkedOnlyView, ButtonFollowsTheMarks)
{
    fillUnits(5);
    open();
    QAction btnOznacene;
    btnOznacene.setCheckable(true);
    refresh->btnOznacene = &btnOznacene;
    DialogTranscript transcript(msg::OK);

    btnOznacene.setChecked(true);  // pressed with nothing marked
    refresh->MarkedOnlyAction();
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, "Nie je označený žiadny záznam!");
    EXPECT_EQ(transcript.last().kind, DialogKind::Gray);
    EXPECT_FALSE(btnOznacene.isChecked());
    EXPECT_EQ(ActionImage(&btnOznacene), 7);
    EXPECT_EQ(grid->CountRecords(), 5);

    markKeys({4, 2});
    btnOznacene.setChecked(true);
    refresh->MarkedOnlyAction();
    EXPECT_EQ(ActionImage(&btnOznacene), 8);
    EXPECT_EQ(grid->CountRecords(), 2);

    // The last mark goes while the view is on: the next refresh shows
    // everything again and says nothing.
    grid->ClearChecked();
    grid->DisplayGrid();
    EXPECT_FALSE(btnOznacene.isChecked());
    EXPECT_EQ(ActionImage(&btnOznacene), 7);
    EXPECT_EQ(grid->CountRecords(), 5);
    EXPECT_EQ(transcript.count(), 1);
}

TEST_F(MarkedOnlyView, SortDirectionAlternates)
{
    fillUnits(3);
    open();
    QAction btnSmer;
    refresh->btnSmer = &btnSmer;
    const QStringList expected{" DESC", " ASC", " DESC"};
    for (const QString& direction : expected) {
        refresh->ToggleDirection();
        EXPECT_EQ(refresh->direction, direction);
        EXPECT_EQ(ActionImage(&btnSmer), direction == " DESC" ? 6 : 5);
    }
    EXPECT_EQ(grid->gridModel()->fieldValue(0, "JEDIN").toInt(), 3) << "descending by the active column";
}

// Leaving the filter panel for another control of the window refreshes;
// another window taking the focus, or the focus going nowhere, does not.
TEST_F(MarkedOnlyView, FilterPanelRefreshesOnlyWhenLeftWithinTheWindow)
{
    fillUnits(3);
    auto* panel = new QWidget(&window);
    auto* edit = new QLineEdit(panel);
    (new QVBoxLayout(panel))->addWidget(edit);
    window.layout()->addWidget(panel);
    QAction btnFilter;
    btnFilter.setCheckable(true);
    refresh->btnFilter = &btnFilter;
    refresh->pnlFilter = panel;
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    btnFilter.setChecked(true);
    refresh->SetFilterPanel(true);
    ASSERT_EQ(QApplication::focusWidget(), edit);

    const int before = displays;
    QWidget other;
    auto* otherEdit = new QLineEdit(&other);
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    otherEdit->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(displays, before) << "another window took the focus";

    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), edit);
    edit->clearFocus();
    QApplication::processEvents();
    EXPECT_EQ(displays, before) << "the focus went nowhere";

    edit->setFocus();
    grid->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(displays, before + 1) << "left for the grid";
}
