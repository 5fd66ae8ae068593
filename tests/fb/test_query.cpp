#include "TestDatabase.h"

#include "fb/Connection.h"
#include "fb/Decimal.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QDateTime>

#include <gtest/gtest.h>

using fb::Decimal;

namespace {

const QStringList kReadWrite = {"read_committed", "rec_version", "write", "nowait"};

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec({"create table t (id integer not null primary key, s smallint, i integer, b bigint,"
                 " n3 numeric(11,3), money numeric(18,2), d4 decimal(9,4), dbl double precision,"
                 " dt date, tm time, ts timestamp, c5 char(5), vc varchar(20), memo blob sub_type text,"
                 " bin blob sub_type binary, flag boolean)"});
    }

    // Runs `sql` with `params` in a committed read-write transaction.
    void run(const QString& sql, const QVariantMap& params = {})
    {
        fb::Transaction tr(db.connection(), kReadWrite);
        tr.start();
        fb::Query q(tr);
        q.setSql(sql);
        for (auto it = params.begin(); it != params.end(); ++it)
            q.setParam(it.key(), it.value());
        q.execute();
        tr.commit();
    }

    QVariant scalar(const QString& sql)
    {
        fb::Transaction tr(db.connection(), {"read"});
        tr.start();
        fb::Query q(tr);
        q.setSql(sql);
        QVariant v = q.executeScalar();
        tr.commit();
        return v;
    }

    TestDatabase db;
};

}  // namespace

TEST_F(QueryTest, EveryTypeRoundTripsThroughNamedParameters)
{
    const QDateTime ts(QDate(2008, 12, 31), QTime(23, 59, 58, 123));
    const QString memo = QStringLiteral("Poznámka: ľščťžýáíé\r\n") + QString(40000, QLatin1Char('x'));
    const QByteArray bin("\x00\x01\xff\x80", 4);
    run("insert into t values (:ID, :S, :I, :B, :N3, :MONEY, :D4, :DBL, :DT, :TM, :TS, :C5, :VC, :MEMO, :BIN, :FLAG)",
        {{"ID", 1},
         {"S", -32768},
         {"I", 2147483647},
         {"B", qlonglong(-9007199254740993LL)},
         {"N3", QVariant::fromValue(Decimal(-1234567, 3))},
         {"MONEY", QStringLiteral("0,1")},
         {"D4", 0.1},
         {"DBL", 1.0 / 3},
         {"DT", QDate(1858, 11, 17)},
         {"TM", QTime(13, 45, 6, 789)},
         {"TS", ts},
         {"C5", "ab"},
         {"VC", QStringLiteral("O'Brien – Žilina")},
         {"MEMO", memo},
         {"BIN", bin},
         {"FLAG", true}});
    run("insert into t (id) values (:ID)", {{"ID", 2}});

    fb::Transaction tr(db.connection(), {"read_committed", "rec_version", "read", "nowait"});
    tr.start();
    fb::Query q(tr);
    q.setSql("select * from t order by id");
    q.execute();
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value("S"), QVariant(-32768));
    EXPECT_EQ(q.value("I"), QVariant(2147483647));
    EXPECT_EQ(q.value("B"), QVariant(qlonglong(-9007199254740993LL)));
    EXPECT_EQ(q.value("N3").value<Decimal>().toString(), "-1234.567");
    EXPECT_EQ(q.value("MONEY").value<Decimal>().toString(), "0.10");
    EXPECT_EQ(q.value("D4").value<Decimal>().toString(), "0.1000");
    EXPECT_DOUBLE_EQ(q.value("DBL").toDouble(), 1.0 / 3);
    EXPECT_EQ(q.value("DT"), QVariant(QDate(1858, 11, 17)));
    EXPECT_EQ(q.value("TM"), QVariant(QTime(13, 45, 6, 789)));
    EXPECT_EQ(q.value("TS").toDateTime(), ts);
    EXPECT_EQ(q.value("C5"), QVariant("ab   "));
    EXPECT_EQ(q.value("VC"), QVariant(QStringLiteral("O'Brien – Žilina")));
    EXPECT_EQ(q.value("MEMO").toString(), memo);
    EXPECT_EQ(q.value("BIN").toByteArray(), bin);
    EXPECT_EQ(q.value("FLAG"), QVariant(true));
    ASSERT_TRUE(q.next());
    for (const char* col : {"S", "N3", "DT", "TS", "VC", "MEMO", "FLAG"})
        EXPECT_TRUE(q.value(col).isNull()) << col;
    EXPECT_FALSE(q.next());
    EXPECT_EQ(q.column(q.columnIndex("MONEY")).type, fb::ColumnType::Decimal);
    EXPECT_EQ(q.column(q.columnIndex("MONEY")).scale, 2);
}

TEST_F(QueryTest, NumericArithmeticStaysExact)
{
    for (int id = 1; id <= 10; ++id)
        run("insert into t (id, money, n3) values (:ID, :M, :N)", {{"ID", id}, {"M", 0.1}, {"N", "0.001"}});
    EXPECT_EQ(scalar("select sum(money) from t").value<Decimal>().toString(), "1.00");
    EXPECT_EQ(scalar("select sum(n3) from t").value<Decimal>().toString(), "0.010");
    // more decimals than the column holds round half away from zero on the client
    run("update t set money = :M where id = 1", {{"M", "2.345"}});
    EXPECT_EQ(scalar("select money from t where id = 1").value<Decimal>().toString(), "2.35");
}

TEST_F(QueryTest, BadValuesFailWithoutWriting)
{
    struct Case {
        const char* name;
        QVariantMap params;
    };
    const Case cases[] = {
        {"character outside WIN1250", {{"ID", 1}, {"VC", QStringLiteral("Москва")}}},
        {"not a number", {{"ID", 1}, {"VC", "x"}, {"I", "12a"}}},
        {"out of range for smallint", {{"ID", 1}, {"VC", "x"}, {"S", 70000}}},
        {"text longer than the column", {{"ID", 1}, {"VC", QString(21, QLatin1Char('a'))}}},
    };
    for (const Case& c : cases) {
        fb::Transaction tr(db.connection(), kReadWrite);
        tr.start();
        fb::Query q(tr);
        q.setSql("insert into t (id, vc, i, s) values (:ID, :VC, :I, :S)");
        for (auto it = c.params.begin(); it != c.params.end(); ++it)
            q.setParam(it.key(), it.value());
        EXPECT_THROW(q.execute(), fb::Error) << c.name;
        tr.commit();
        EXPECT_EQ(scalar("select count(*) from t"), QVariant(0)) << c.name;
    }
}

TEST_F(QueryTest, ReexecutesWithNewValuesWithoutPreparingAgain)
{
    fb::Transaction tr(db.connection(), kReadWrite);
    tr.start();
    fb::Query q(tr);
    q.setSql(QStringList{"insert into t (id, i, vc)", "values (:ID, :ID * 10, :VC)"});
    EXPECT_EQ(q.paramNames(), QStringList({"ID", "VC"}));
    q.setParam("vc", "same");
    for (int id = 1; id <= 3; ++id) {
        q.setParam("ID", id);
        q.execute();
        EXPECT_EQ(q.rowsAffected(), 1);
    }
    EXPECT_TRUE(q.isPrepared());
    EXPECT_THROW(q.setParam("NOPE", 1), fb::Error);
    tr.commit();
    EXPECT_EQ(scalar("select sum(i) from t where vc = 'same'"), QVariant(qlonglong(60)));
}

TEST_F(QueryTest, FetchesWholeResultsInChunks)
{
    db.exec({"execute block as declare n integer = 0; begin while (n < 2500) do begin n = n + 1;"
             " insert into t (id, vc, memo) values (:n, 'r' || :n, 'm' || :n); end end"});
    fb::Transaction tr(db.connection(), {"read"});
    tr.start();
    fb::Query q(tr);
    q.setSql("select id, vc, memo, money from t order by id");
    q.execute();
    fb::ResultTable table;
    EXPECT_EQ(q.fetchAll(table, 1000), 2500);
    ASSERT_EQ(table.rowCount(), 2500);
    EXPECT_EQ(table.value(0, 0), QVariant(1));
    EXPECT_EQ(table.value(2499, 1), QVariant("r2500"));
    EXPECT_EQ(table.value(1234, 2), QVariant("m1235"));  // memo read while the transaction lived
    EXPECT_TRUE(table.isNull(7, 3));
    EXPECT_EQ(table.columnIndex("vc"), 1);
    table.removeRow(0);
    EXPECT_EQ(table.rowCount(), 2499);
    EXPECT_EQ(table.value(0, 2), QVariant("m2"));
    table.setValue(0, 1, "changed");
    EXPECT_EQ(table.value(0, 1), QVariant("changed"));
    EXPECT_EQ(table.value(1, 1), QVariant("r3"));
}

// A fetch that stops at its limit leaves the query on the last row it read,
// as next() would; one that reaches the end leaves it on no row.
TEST_F(QueryTest, FetchSomeStandsOnItsLastRow)
{
    db.exec({"execute block as declare n integer = 0; begin while (n < 7) do begin n = n + 1;"
             " insert into t (id, vc, memo) values (:n, 'r' || :n, 'm' || :n); end end"});
    fb::Transaction tr(db.connection(), {"read"});
    tr.start();
    fb::Query q(tr);
    q.setSql("select id, memo from t order by id");
    q.execute();
    fb::ResultTable table;
    EXPECT_EQ(q.fetchSome(table, 0), 0);
    EXPECT_FALSE(q.hasRow());
    EXPECT_EQ(q.fetchSome(table, 3), 3);
    ASSERT_TRUE(q.hasRow());
    EXPECT_EQ(q.value(0), QVariant(3));
    EXPECT_EQ(q.value(1), QVariant("m3"));
    ASSERT_TRUE(q.next());  // the cursor goes on after the rows in the table
    EXPECT_EQ(q.value(0), QVariant(4));
    EXPECT_EQ(q.fetchSome(table, 10), 3);
    EXPECT_FALSE(q.hasRow());
    ASSERT_EQ(table.rowCount(), 6);
    QStringList ids, memos;
    for (int r = 0; r < table.rowCount(); ++r) {
        ids << table.value(r, 0).toString();
        memos << table.value(r, 1).toString();
    }
    EXPECT_EQ(ids, (QStringList{"1", "2", "3", "5", "6", "7"}));
    EXPECT_EQ(memos, (QStringList{"m1", "m2", "m3", "m5", "m6", "m7"}));
}

TEST_F(QueryTest, ParamCheckOffPassesPsqlBodiesUnchanged)
{
    fb::Transaction tr(db.connection(), kReadWrite);
    tr.start();
    fb::Query q(tr);
    q.setParamCheck(false);
    q.setSql(QStringList{"create procedure p_double (x integer) returns (y integer) as", "begin",
                         "  y = :x * 2;", "  suspend;", "end"});
    q.execute();
    tr.commit();
    EXPECT_EQ(scalar("select y from p_double(21)"), QVariant(42));
}

TEST_F(QueryTest, ServerErrorsCarryCodeAndMessage)
{
    fb::Transaction tr(db.connection(), kReadWrite);
    tr.start();
    fb::Query q(tr);
    q.setSql("selec * from t");
    try {
        q.execute();
        FAIL() << "invalid SQL was accepted";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.code(), fb::codes::DsqlError);
        EXPECT_TRUE(e.message().contains("Token unknown")) << e.message().toStdString();
    }
    run("insert into t (id) values (1)");
    q.setSql("insert into t (id) values (1)");
    try {
        q.execute();
        FAIL() << "duplicate key was accepted";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.code(), fb::codes::UniqueKey);
    }
}

TEST_F(QueryTest, RowCountReadsFailLoudlyOnTheWrongNumberOfRows)
{
    run("insert into t (id, vc, memo) values (1, 'jeden', 'poznámka')");
    run("insert into t (id, vc) values (2, 'dva')");
    run("insert into t (id, vc) values (3, 'dva')");
    fb::Transaction tr(db.connection(), {"read"});
    tr.start();
    fb::Query q(tr);
    q.setSql("select id, memo from t where vc = :VC and id >= :OD");

    q.setParams({{"VC", "jeden"}, {"OD", 0}});
    q.executeOneRow();
    EXPECT_EQ(q.value("ID"), QVariant(1));
    EXPECT_EQ(q.value("MEMO"), QVariant(QStringLiteral("poznámka")));  // the blob id survives the look-ahead
    EXPECT_TRUE(q.executeAtMostOneRow());
    EXPECT_EQ(q.value(0), QVariant(1));

    q.setParams(QVariantMap{{"VC", "nič"}});
    EXPECT_FALSE(q.executeAtMostOneRow());
    EXPECT_FALSE(q.hasRow());
    EXPECT_THROW(q.executeOneRow(), fb::Error);

    q.setParams({{"VC", "dva"}, {"OD", 2}});
    try {
        q.executeAtMostOneRow();
        FAIL() << "two rows were taken for one";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.kind(), fb::ErrorKind::Client);
    }
    q.setParam("OD", 3);  // only the changed value is new
    q.executeOneRow();
    EXPECT_EQ(q.value(0), QVariant(3));
    EXPECT_THROW(q.setParams({{"NEZNAMY", 1}}), fb::Error);
}

TEST_F(QueryTest, ServerErrorsAreSortedByWhatTheCallerCanDo)
{
    run("insert into t (id) values (1)");
    db.exec({"create table child (id integer primary key, t_id integer references t(id))"});
    const auto kindOf = [&](fb::Transaction& tr, const QString& sql) {
        fb::Query q(tr);
        q.setSql(sql);
        try {
            q.execute();
        } catch (const fb::Error& e) {
            return e.kind();
        }
        ADD_FAILURE() << "succeeded: " << sql.toStdString();
        return fb::ErrorKind::Other;
    };
    fb::Transaction a(db.connection(), kReadWrite);
    a.start();
    EXPECT_EQ(kindOf(a, "insert into t (id) values (1)"), fb::ErrorKind::Unique);
    EXPECT_EQ(kindOf(a, "insert into child (id, t_id) values (1, 99)"), fb::ErrorKind::ForeignKey);
    EXPECT_EQ(kindOf(a, "selec 1 from t"), fb::ErrorKind::Other);
    EXPECT_EQ(kindOf(a, "insert into t (id, vc) values (5, 'ă漢')"), fb::ErrorKind::Client);

    // a row another attachment holds: Firebird 3 says deadlock + update conflict
    fb::Connection other;
    other.open(db.path(), TestDatabase::params());
    fb::Transaction b(other, kReadWrite);
    b.start();
    fb::Query hold(b);
    hold.setSql("update t set i = 1 where id = 1");
    hold.execute();
    EXPECT_EQ(kindOf(a, "update t set i = 2 where id = 1"), fb::ErrorKind::LockConflict);
    b.rollback();
    a.rollback();
    other.close();
}

TEST(Connection, WrongPathFailsWithTheIoErrorCode)
{
    fb::Connection c;
    try {
        c.open("/nonexistent/folder/none.fdb", TestDatabase::params());
        FAIL() << "opened a missing database";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.code(), fb::codes::IoError);
    }
    EXPECT_FALSE(c.isOpen());
    EXPECT_THROW(c.open("/tmp/x.fdb", {"NO_SUCH_PARAMETER=1"}), fb::Error);
}

TEST(Connection, ReportsFileAttachmentsAndConnectionId)
{
    TestDatabase db;
    const fb::DatabaseInfo info = db.connection().info();
    EXPECT_EQ(info.fileName, db.path());
    EXPECT_FALSE(info.siteName.isEmpty());
    EXPECT_EQ(db.connection().attachedUsers().size(), 1);
    {
        auto second = db.openSecond();
        EXPECT_EQ(db.connection().attachedUsers().size(), 2);
        EXPECT_NE(second->currentConnection(), db.connection().currentConnection());
    }
    fb::Transaction tr(db.connection(), {"read"});
    tr.start();
    fb::Query q(tr);
    q.setSql("select current_connection from rdb$database");
    EXPECT_EQ(q.executeScalar().toLongLong(), db.connection().currentConnection());
}

TEST(Transaction, ParametersDecideModeAndLocking)
{
    TestDatabase db;
    db.exec({"create table t (id integer primary key, v integer)", "insert into t values (1, 0)"});

    fb::Transaction bad(db.connection(), {"read_committed", "no_such_thing"});
    EXPECT_THROW(bad.start(), fb::Error);
    EXPECT_FALSE(bad.isActive());

    fb::Transaction ro(db.connection(), {"read_committed", "rec_version", "read", "nowait"});
    ro.start();
    fb::Query w(ro);
    w.setSql("update t set v = 1");
    EXPECT_THROW(w.execute(), fb::Error);
    ro.rollback();
    EXPECT_FALSE(ro.isActive());
    EXPECT_THROW(ro.commit(), fb::Error);

    // a no-wait writer meeting another workstation's uncommitted change fails at once
    auto other = db.openSecond();
    fb::Transaction holder(*other, kReadWrite);
    holder.start();
    fb::Query h(holder);
    h.setSql("update t set v = 2 where id = 1");
    h.execute();
    fb::Transaction mine(db.connection(), kReadWrite);
    mine.start();
    fb::Query m(mine);
    m.setSql("update t set v = 3 where id = 1");
    try {
        m.execute();
        FAIL() << "the write waited or succeeded";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.code(), fb::codes::Deadlock);
        EXPECT_TRUE(e.hasCode(fb::codes::UpdateConflict));
    }
    mine.rollback();
    holder.commitRetaining();
    EXPECT_TRUE(holder.isActive());
    holder.commit();
}
