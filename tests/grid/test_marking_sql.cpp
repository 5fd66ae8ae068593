// Marks turned into SQL: the literal list, TEMP_SPRACUJ beyond 500 marks,
// deleting marked records, and the per-connection sets.
#include "GridFixture.h"
#include "controls/GridSql.h"
#include "fb/Error.h"
#include "framework/Dialogs.h"
#include "support/DialogTranscript.h"

#include <QRegularExpression>

namespace {

QString keyOf(const QString& clause)
{
    const auto m = QRegularExpression(QStringLiteral("zaradenie='([^']+)'")).match(clause);
    return m.hasMatch() ? m.captured(1) : QString();
}

}  // namespace

// The clause from the marked values, without a grid.
TEST(MarkingSql, MarkedRecordsFilter)
{
    QVariantList five;
    for (int i = 1; i <= 500; ++i)
        five << i;
    QVariantList fiveAndOne = five;
    fiveAndOne << 501;
    struct Case {
        const char* name;
        QVariantList values;
        QString prefix;
        TGridKeyType type;
        QString sql;
        QVariantMap params;
        bool viaTempSpracuj;
    };
    const std::vector<Case> cases = {
        {"nothing marked", {}, "a.", gktInteger, "", {}, false},
        {"marking order kept", {12, 5, 9}, "", gktInteger, " jedin in (12,5,9)", {}, false},
        {"prefix", {7}, "a.", gktInteger, " a.jedin in (7)", {}, false},
        {"integers written in decimal", {QVariant(qlonglong(3)), QVariant(QStringLiteral("4"))}, "", gktInteger,
         " jedin in (3,4)", {}, false},
        {"500 still literal", five, "", gktInteger, "", {}, false},  // sql checked below
        {"501 through TEMP_SPRACUJ", fiveAndOne, "a.", gktInteger, "", {}, true},
        {"text keys are parameters", {"O'Brien", "b"}, "a.", gktString, " a.jedin in (:MARKED0,:MARKED1)",
         {{"MARKED0", "O'Brien"}, {"MARKED1", "b"}}, false},
        {"text keys never go through TEMP_SPRACUJ", QVariantList(fiveAndOne), "", gktString, "", {}, false},
    };
    for (const Case& c : cases) {
        const TMarkedFilter f = MarkedRecordsFilter(c.values, c.prefix, "jedin", c.type);
        EXPECT_EQ(f.viaTempSpracuj, c.viaTempSpracuj) << c.name;
        EXPECT_EQ(MarkedNeedTempSpracuj(c.values.size(), c.type), c.viaTempSpracuj) << c.name;
        if (c.values.size() < 500) {
            EXPECT_EQ(f.sql, c.sql) << c.name;
            EXPECT_EQ(f.params, c.params) << c.name;
        }
    }
    const TMarkedFilter literal = MarkedRecordsFilter(five, "", "jedin", gktInteger);
    EXPECT_TRUE(literal.sql.startsWith(" jedin in (1,2,3,"));
    EXPECT_TRUE(literal.sql.endsWith(",499,500)"));
    const TMarkedFilter texts = MarkedRecordsFilter(fiveAndOne, "", "jedin", gktString);
    EXPECT_EQ(texts.params.size(), 501);
    EXPECT_FALSE(texts.sql.contains("501,")) << "no value inside the statement";
    EXPECT_EQ(TempSpracujFilter("a.", "jedin", "{K}"),
              " a.jedin in (select cislo from temp_spracuj where connection_id=current_connection and "
              "zaradenie='{K}') ");
}

// How the writer cuts a set into statements and where it pauses.
TEST(MarkingSql, TempSpracujPlan)
{
    using B = TempSpracujBlock;
    struct Case {
        const char* name;
        qsizetype count;
        TempSpracujRhythm rhythm;
        std::vector<B> head;  // the first blocks
        qsizetype blocks;
        qsizetype pauses;
    };
    const std::vector<Case> cases = {
        {"nothing", 0, ClauseSetRhythm(), {}, 0, 0},
        {"clause set: blocks of 100, commit after each 1000th row", 2050, ClauseSetRhythm(),
         {{0, 100, false}, {100, 100, false}}, 21, 2},
        {"marked set: blocks of 100, pauses after each 500th row", 1001, MarkedSetRhythm(),
         {{0, 100, false}, {100, 100, false}, {200, 100, false}, {300, 100, false}, {400, 100, true}}, 11, 2},
        {"blocks end at a pause row", 1203, {100, [](qsizetype r) { return r % 500 == 0; }, true, false},
         {{0, 1, true}, {1, 100, false}, {101, 100, false}, {201, 100, false}, {301, 100, false},
          {401, 100, true}, {501, 100, false}},
         14, 3},
        {"no pause rule", 250, {100, {}, true, false}, {{0, 100, false}, {100, 100, false}, {200, 50, false}}, 3, 0},
    };
    for (const Case& c : cases) {
        const auto plan = PlanTempSpracuj(c.count, c.rhythm);
        ASSERT_EQ(qsizetype(plan.size()), c.blocks) << c.name;
        EXPECT_EQ(std::vector<B>(plan.begin(), plan.begin() + qsizetype(c.head.size())), c.head) << c.name;
        qsizetype rows = 0;
        qsizetype pauses = 0;
        for (const B& b : plan) {
            EXPECT_EQ(b.first, rows) << c.name;
            rows += b.rows;
            pauses += b.pause ? 1 : 0;
        }
        EXPECT_EQ(rows, c.count) << c.name;
        EXPECT_EQ(pauses, c.pauses) << c.name;
    }
    // The marked set breathes without committing; the clause set commits quietly.
    EXPECT_TRUE(MarkedSetRhythm().processEvents);
    EXPECT_FALSE(MarkedSetRhythm().commit);
    EXPECT_FALSE(ClauseSetRhythm().processEvents);
    EXPECT_TRUE(ClauseSetRhythm().commit);
    EXPECT_EQ(TempSpracujInsert(1),
              (QStringList{"insert into temp_spracuj (jedin,cislo,zaradenie,connection_id)",
                           "values (gen_id(temp_spracuj_id,1),:CISLO,:ZARADENIE,current_connection)"}));
}

using GridMarking = GridFixture;

TEST_F(GridMarking, LiteralListUpTo500MarksThenTempSpracujInMarkingOrder)
{
    fillUnits(501);
    open(500);
    grid->CheckAll();
    ASSERT_EQ(grid->CheckedCount(), 500);
    QStringList numbers;
    for (int i = 1; i <= 500; ++i)
        numbers << QString::number(i);
    EXPECT_EQ(grid->CheckedFilter("a.", ""), " a.jedin in (" + numbers.join(',') + ")");
    EXPECT_EQ(count("select count(*) from temp_spracuj"), 0);

    open();
    markKeys({501});
    const QString clause = grid->CheckedFilter("a.", "");
    const QString key = keyOf(clause);
    ASSERT_FALSE(key.isEmpty()) << clause.toStdString();
    EXPECT_TRUE(key.startsWith('{') && key.endsWith('}'));
    EXPECT_EQ(clause, " a.jedin in (select cislo from temp_spracuj where connection_id=current_connection and "
                      "zaradenie='" + key + "') ");
    EXPECT_EQ(count("select count(*) from temp_spracuj where zaradenie='" + key + "'"), 501);
    // Rows follow the marking order: 1..500, then 501.
    EXPECT_EQ(count("select count(*) from temp_spracuj a where zaradenie='" + key +
                    "' and exists (select 1 from temp_spracuj b where b.zaradenie=a.zaradenie"
                    " and b.jedin > a.jedin and b.cislo < a.cislo)"),
              0);

    // The clause works in the standard refresh's marked-only view.
    QAction marked;
    marked.setCheckable(true);
    marked.setChecked(true);
    refresh->btnOznacene = &marked;
    grid->ClearChecked();
    markKeys({7, 3});
    grid->DisplayGrid();
    EXPECT_EQ(grid->CountRecords(), 2);
}

TEST_F(GridMarking, LiteralListKeepsMarkingOrder)
{
    fillUnits(12);
    open();
    markKeys({12, 5, 9});
    EXPECT_EQ(grid->CheckedFilter("", ""), " jedin in (12,5,9)");
    grid->SetCheckEnabled(false);
    EXPECT_EQ(grid->CheckedFilter("a.", ""), "");
}

TEST_F(GridMarking, UncheckAllKeepsHiddenMarksClearCheckedDropsThem)
{
    fillUnits(10);
    open();
    grid->CheckAll();
    open(5);
    grid->UncheckAll();
    EXPECT_EQ(grid->CheckedCount(), 5);
    EXPECT_EQ(grid->CheckedKey(0), 6);
    grid->ClearChecked();
    EXPECT_EQ(grid->CheckedCount(), 0);
}

TEST_F(GridMarking, DeleteStatementForMarksAndForTheCurrentRecord)
{
    fillUnits(12);
    open();
    ASSERT_TRUE(grid->Locate("JEDIN", 7));
    EXPECT_EQ(DeleteStatement(grid, "merne_jednotky", ""), "delete from merne_jednotky where jedin=7 ");
    markKeys({5, 9, 12});
    EXPECT_EQ(DeleteStatement(grid, "merne_jednotky", ""), "delete from merne_jednotky where  jedin in (5,9,12) ");
}

TEST_F(GridMarking, DeleteRecordsAsksDeletesAndClearsMarks)
{
    fillUnits(700);
    open();
    DialogTranscript transcript(msg::Yes);
    ASSERT_TRUE(grid->Locate("JEDIN", 650));
    grid->CheckAll();
    for (int key = 601; key <= 700; ++key) {  // leave 600 marked
        ASSERT_TRUE(grid->Locate("JEDIN", key));
        grid->CheckCurrent();
    }
    ASSERT_EQ(grid->CheckedCount(), 600);
    const int before = displays;
    EXPECT_TRUE(DeleteRecords(grid, "merne_jednotky"));
    EXPECT_EQ(transcript.last().text, QStringLiteral("Naozaj vymazať všetky označené záznamy?"));
    EXPECT_EQ(transcript.last().kind, DialogKind::Red);
    EXPECT_EQ(count("select count(*) from merne_jednotky"), 100);
    EXPECT_EQ(grid->CheckedCount(), 0);
    EXPECT_EQ(displays, before + 1);
    EXPECT_FALSE(grid->OznacNaCerveno());

    // No marks: the current record, after asking.
    transcript.clear();
    ASSERT_TRUE(grid->Locate("JEDIN", 650));
    EXPECT_TRUE(DeleteRecords(grid, "merne_jednotky"));
    EXPECT_EQ(transcript.last().text, QStringLiteral("Naozaj vymazať označený záznam?"));
    EXPECT_EQ(count("select count(*) from merne_jednotky where jedin=650"), 0);

    // Answered No: nothing is deleted.
    DialogTranscript no(msg::No);
    EXPECT_FALSE(DeleteRecords(grid, "merne_jednotky"));
    EXPECT_EQ(count("select count(*) from merne_jednotky"), 99);
}

TEST_F(GridMarking, DeleteOnAnEmptyListAsksNothing)
{
    open();
    DialogTranscript transcript(msg::Yes);
    EXPECT_FALSE(DeleteRecords(grid, "merne_jednotky"));
    EXPECT_EQ(transcript.count(), 0);
}

TEST_F(GridMarking, FailedDeleteKeepsTheMarks)
{
    db.exec({"insert into adresar (jedin, typ, meno) values (1, 1, 'Odberateľ')",
             "insert into adresar (jedin, typ, meno) values (2, 1, 'Voľný')",
             "insert into preklady (jedin, objednavatel) values (1, 1)"});
    refresh = std::make_unique<TRegisterRefresh>(grid, QStringList{"select a.jedin, a.meno as skratka"}, "adresar");
    grid->SetActiveTitleIndex(0);  // order by a.jedin
    open();
    markKeys({2, 1});
    DialogTranscript transcript(msg::Yes);
    bool deleted = true;
    try {
        deleted = DeleteRecords(grid, "adresar");
    } catch (const fb::Error&) {
        deleted = false;  // an error the translation does not know is raised again
    }
    EXPECT_FALSE(deleted);
    EXPECT_EQ(grid->CheckedCount(), 2);
    EXPECT_EQ(count("select count(*) from adresar"), 2) << "one statement: all or nothing";
    EXPECT_FALSE(grid->OznacNaCerveno());
}

TEST_F(GridMarking, MarkedToTempSpracujReplacesOnlyThisConnectionsSet)
{
    fillUnits(10);
    open();
    const QString key = "FB0B2B39-43DF-453D";
    auto other = db.openSecond();
    {
        fb::Transaction t(*other, {"write", "nowait"});
        t.start();
        fb::Query q(t);
        q.setSql("insert into temp_spracuj (jedin, cislo, zaradenie, connection_id) "
                 "values (gen_id(temp_spracuj_id, 1), 99, :Z, current_connection)");
        q.setParam("Z", key);
        q.execute();
        t.commit();
    }
    auto mine = [&] {
        fb::Transaction t(db.connection(), {"read", "read_committed", "rec_version", "nowait"});
        t.start();
        fb::Query q(t);
        q.setSql("select cislo from temp_spracuj where connection_id=current_connection and zaradenie=:Z order by jedin");
        q.setParam("Z", key);
        q.execute();
        QList<int> out;
        while (q.next())
            out << q.value(0).toInt();
        return out;
    };

    markKeys({3, 1, 2});
    EXPECT_TRUE(MarkedToTempSpracuj(grid, key, false));
    EXPECT_EQ(mine(), (QList<int>{3, 1, 2}));
    grid->ClearChecked();
    markKeys({8});
    EXPECT_TRUE(MarkedToTempSpracuj(grid, key, false));
    EXPECT_EQ(mine(), (QList<int>{8}));

    grid->ClearChecked();
    ASSERT_TRUE(grid->Locate("JEDIN", 4));
    EXPECT_TRUE(MarkedToTempSpracuj(grid, key, false)) << "no marks: the current record";
    EXPECT_EQ(mine(), (QList<int>{4}));
    EXPECT_TRUE(MarkedToTempSpracuj(grid, key, true)) << "no marks, all when none: every record";
    EXPECT_EQ(mine().size(), 10);
    EXPECT_EQ(count("select count(*) from temp_spracuj where cislo=99"), 1) << "the other connection's row stays";

    db.exec({"delete from merne_jednotky"});
    open();
    EXPECT_FALSE(MarkedToTempSpracuj(grid, key, false));
}

TEST_F(GridMarking, StaleTempSpracujRowsOfGoneConnectionsAreRemoved)
{
    auto other = db.openSecond();
    auto insertFor = [&](fb::Connection& c, const QString& connectionExpr) {
        fb::Transaction t(c, {"write", "nowait"});
        t.start();
        fb::Query q(t);
        q.setSql("insert into temp_spracuj (jedin, cislo, zaradenie, connection_id) "
                 "values (gen_id(temp_spracuj_id, 1), 1, 'K', " + connectionExpr + ")");
        q.execute();
        t.commit();
    };
    insertFor(db.connection(), "1");  // a connection number long gone
    insertFor(db.connection(), "current_connection");
    insertFor(*other, "current_connection");
    insertFor(db.connection(), "null");
    {
        auto third = db.openSecond();  // attaches, writes, leaves
        insertFor(*third, "current_connection");
    }
    // The program cleans up as it connects: the newest connection.
    auto starting = db.openSecond();
    EXPECT_EQ(CleanStaleTempSpracuj(*starting), 2);
    EXPECT_EQ(count("select count(*) from temp_spracuj"), 3);
}

TEST_F(GridMarking, DeleteRefusesACurrentRecordWhoseKeyCannotBeRead)
{
    fillUnits(3);
    // A list whose key column is empty: nothing identifies the record.
    refresh = std::make_unique<TRegisterRefresh>(
        grid, QStringList{"select cast(null as integer) as jedin, a.skratka"}, "merne_jednotky");
    grid->SetActiveTitleIndex(0);
    open();
    ASSERT_FALSE(grid->isEmpty());
    EXPECT_EQ(DeleteStatement(grid, "merne_jednotky", ""), "");
    DialogTranscript transcript(msg::Yes);
    EXPECT_FALSE(DeleteRecords(grid, "merne_jednotky"));
    EXPECT_EQ(count("select count(*) from merne_jednotky"), 3);
    EXPECT_FALSE(grid->OznacNaCerveno());
}
