// The ORDER BY list the grid builds from its active column.
#include "TestDatabase.h"
#include "controls/DbGridQDL.h"
#include "controls/GridSql.h"
#include "support/DialogTranscript.h"

#include <gtest/gtest.h>

namespace {

TQDLColumn col(const char* field, const char* orderBy = "", TOrderSort order = osASC,
               TCollateBy collate = coNoCollate, TNullsPosition nulls = npDefault)
{
    TQDLColumn c;
    c.FieldName = QString::fromUtf8(field);
    c.TitleCaption = QStringLiteral("T_") + c.FieldName;
    c.OrderBy = QString::fromUtf8(orderBy);
    c.Order = order;
    c.CollateBy = collate;
    c.NullsPosition = nulls;
    return c;
}

}  // namespace

TEST(GridOrdering, OrderByClause)
{
    struct Case {
        const char* name;
        std::vector<TQDLColumn> columns;
        int active;
        QString direction;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"active first, osNone left out, DESC on every term",
         {col("A"), col("B", "", osNone), col("C", "c.meno")}, 1, " DESC", "A  DESC,c.meno  DESC"},
        {"active in the middle, others in their order",
         {col("A"), col("B"), col("C")}, 3, "", "C,A,B"},
        {"OrderBy wins over FieldName and is trimmed", {col("ZNACKA", "  a.ZNACKA  ")}, 1, "", "a.ZNACKA"},
        {"collations and nulls",
         {col("M", "b.meno", osASC, coPXW_CSY, npNullsLast), col("N", "", osASC, coWin1250, npNullsFirst)}, 1,
         " ASC", "b.meno collate PXW_CSY  ASC nulls last ,N collate Win1250  ASC nulls first "},
        {"an inactive active column (osNone) adds nothing", {col("A", "", osNone), col("B")}, 1, "", "B"},
        {"no active column: the columns in their order", {col("A"), col("B")}, 0, "", "A,B"},
        {"active index beyond the columns", {col("A"), col("B")}, 7, "", "A,B"},
    };
    for (const Case& c : cases) {
        TDbGridQDL grid;
        grid.SetColumns(c.columns);
        grid.SetActiveTitleIndex(c.active);
        EXPECT_EQ(grid.OrderByClause(c.direction), c.expected) << c.name;
    }
}

TEST(GridOrdering, ColumnWithoutExpressionIsReportedAndLeftOut)
{
    DialogTranscript transcript;
    TDbGridQDL grid;
    grid.SetColumns({col("A"), col("", " "), col("C")});
    grid.SetActiveTitleIndex(1);
    EXPECT_EQ(grid.OrderByClause(""), "A,C");
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, QStringLiteral("Nastavte vlastnosť \"OrderBY\" pre stĺpec T_"));
    EXPECT_EQ(grid.ColumnOrderExpr(5, ""), "");
}

TEST(GridOrdering, ResizeZones)
{
    // Columns ending at 100 and 200 in a 300 pixel title row, 1-pixel lines:
    // zones of 7 pixels starting 3 left of each edge, and [297, 300].
    const std::vector<int> edges{100, 200};
    struct Case {
        int x;
        bool inZone;
    };
    for (const Case c : {Case{96, false}, Case{97, true}, Case{103, true}, Case{104, false}, Case{150, false},
                         Case{199, true}, Case{296, false}, Case{297, true}, Case{300, true}})
        EXPECT_EQ(TDbGridMarvo::InResizeZone(c.x, edges, 300, 1), c.inZone) << "x=" << c.x;
    // Thick lines: the zone is the line itself.
    EXPECT_TRUE(TDbGridMarvo::InResizeZone(100, edges, 300, 8));
    EXPECT_FALSE(TDbGridMarvo::InResizeZone(99, edges, 300, 8));
}

// The same rules without a widget: the active column counts data columns from
// 0, and ordered columns without any expression are named for the caller.
TEST(GridOrdering, BuildOrderByWithoutAGrid)
{
    struct Case {
        const char* name;
        std::vector<TQDLColumn> columns;
        int active;
        QString direction;
        QString clause;
        QStringList withoutTerm;
    };
    const std::vector<Case> cases = {
        {"active first, osNone left out", {col("A"), col("B", "", osNone), col("C", "c.meno")}, 0, " DESC",
         "A  DESC,c.meno  DESC", {}},
        {"active last", {col("A"), col("B"), col("C")}, 2, "", "C,A,B", {}},
        {"no active column", {col("A"), col("B")}, -1, " ASC", "A  ASC,B  ASC", {}},
        {"active beyond the columns", {col("A"), col("B")}, 5, "", "A,B", {}},
        {"blank expression named, left out", {col("A"), col("", " "), col("C")}, 0, "", "A,C", {"T_"}},
        {"blank but osNone is not missing", {col("", "", osNone), col("B")}, 0, "", "B", {}},
        {"nothing", {}, 0, " DESC", "", {}},
    };
    for (const Case& c : cases) {
        const TOrderBy order = BuildOrderBy(c.columns, c.active, c.direction);
        EXPECT_EQ(order.clause, c.clause) << c.name;
        EXPECT_EQ(order.columnsWithoutTerm, c.withoutTerm) << c.name;
    }
}
