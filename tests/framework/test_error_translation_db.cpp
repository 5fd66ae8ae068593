#include "support/DialogTranscript.h"
#include "TestDatabase.h"
#include "FirebirdServer.h"

#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/ErrorTranslation.h"
#include "framework/Messages.h"

#include <gtest/gtest.h>

namespace {

const QStringList kWrite = {"read_committed", "rec_version", "write", "nowait"};

// Runs the statement and returns the error the server raised.
fb::Error failure(fb::Connection& c, const QString& sql)
{
    fb::Transaction tr(c, kWrite);
    tr.start();
    fb::Query q(tr);
    q.setSql(sql);
    try {
        q.execute();
    } catch (const fb::Error& e) {
        return e;
    }
    ADD_FAILURE() << "the statement succeeded: " << sql.toStdString();
    return fb::Error("none");
}

class TranslateRealErrors : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec({"insert into adresar (jedin, typ, meno) values (1, 0, 'Objednávateľ')",
                 "insert into adresar (jedin, typ, meno) values (2, 1, 'Prekladateľ')",
                 "insert into adresar (jedin, typ, meno) values (3, 1, 'Voľný')",
                 "insert into merne_jednotky (jedin, skratka) values (1, 'ns')",
                 "insert into preklady (jedin, objednavatel, prekladatel, obj_mj, obj_faktura, pre_faktura)"
                 " values (1, 1, 2, 1, '', '')"});
    }
    TestDatabase db{TestDatabase::Migrated};
};

}  // namespace

TEST_F(TranslateRealErrors, ForeignKeysOfJobsBecomeNumberedMessages)
{
    struct Case {
        const char* name;
        const char* sql;
        int result;
        QString shown;  // empty: nothing is shown
    };
    const Case cases[] = {
        {"customer in use", "delete from adresar where jedin = 1", 2001,
         "Hlásenie #2001\r\n\r\n" + LoadMessageText("ERR2001")},
        {"translator in use", "delete from adresar where jedin = 2", 2002,
         "Hlásenie #2002\r\n\r\n" + LoadMessageText("ERR2002")},
        {"unit in use", "delete from merne_jednotky where jedin = 1", 2004,
         "Hlásenie #2004\r\n\r\n" + LoadMessageText("ERR2004")},
        {"another foreign key: a job pointing nowhere", "update preklady set obj_mj = 99 where jedin = 1", 0, {}},
        {"unique key", "insert into database_updates (version, updated) values (1, current_timestamp)", 0, {}},
    };
    for (const Case& c : cases) {
        DialogTranscript transcript;
        const fb::Error e = failure(db.connection(), c.sql);
        EXPECT_EQ(TranslateDbError(e), c.result) << c.name;
        if (c.shown.isEmpty()) {
            EXPECT_EQ(transcript.count(), 0) << c.name;
        } else {
            ASSERT_EQ(transcript.count(), 1) << c.name;
            EXPECT_EQ(transcript.last().text, c.shown) << c.name;
            EXPECT_EQ(transcript.last().type, msg::Warning) << c.name;
        }
    }
    // the job is still there: nothing was deleted
    EXPECT_EQ(db.scalar("select count(*) from adresar where jedin in (1, 2)").toInt(), 2);
    EXPECT_EQ(db.scalar("select count(*) from adresar where jedin = 3").toInt(), 1);
}

TEST_F(TranslateRealErrors, ConflictBetweenWorkstationsIsTheLockMessage)
{
    auto other = db.openSecond();
    fb::Transaction holder(*other, kWrite);
    holder.start();
    fb::Query h(holder);
    h.setSql("update preklady set znacka = 'A' where jedin = 1");
    h.execute();

    DialogTranscript transcript;
    const fb::Error e = failure(db.connection(), "update preklady set znacka = 'B' where jedin = 1");
    EXPECT_EQ(TranslateDbError(e), 335544345);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().kind, DialogKind::Red);
    EXPECT_TRUE(transcript.last().text.startsWith("Hlásenie #335544345\r\n" + LoadMessageText("IBERR335544345")));
    holder.rollback();
}

TEST_F(TranslateRealErrors, InvalidSqlShowsTheServerMessageOnceAndIsNotRaisedAgain)
{
    DialogTranscript transcript;
    const fb::Error e = failure(db.connection(), "selec 1 from rdb$database");
    EXPECT_EQ(TranslateDbError(e), int(fb::codes::DsqlError));
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.contains(LoadMessageText("IBERR335544569")));
    EXPECT_TRUE(transcript.last().text.contains("Token unknown"));
}

TEST(TranslateConnectErrors, WrongPathAndRefusedLogin)
{
    {
        DialogTranscript transcript;
        fb::Connection c;
        try {
            c.open("/nonexistent/Lindavo.fdb", TestDatabase::params());
            FAIL() << "opened a missing file";
        } catch (const fb::Error& e) {
            EXPECT_EQ(TranslateDbError(e), 335544344);
        }
        ASSERT_EQ(transcript.count(), 2);
        EXPECT_TRUE(transcript.requests()[0].text.contains(LoadMessageText("IBERR335544344")));
        EXPECT_EQ(transcript.requests()[1].kind, DialogKind::Plain);
    }

    QString why;
    FirebirdServer* server = FirebirdServer::instance(&why);
    if (!server)
        GTEST_SKIP() << why.toStdString();
    DialogTranscript transcript;
    fb::Connection c;
    try {
        c.open(server->connectionString("none.fdb"),
               {"USER_NAME=SYSDBA", "PASSWORD=wrong-" + server->password(), "lc_ctype=WIN1250"});
        FAIL() << "the server accepted a wrong password";
    } catch (const fb::Error& e) {
        EXPECT_EQ(e.code(), 335544472);
        EXPECT_EQ(TranslateDbError(e), -1);
    }
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().type, msg::Warning);
    EXPECT_TRUE(transcript.last().text.contains(LoadMessageText("IBERR335544472")));

    // and the right password reaches the server over TCP
    fb::Connection::createDatabase(server->connectionString("ok.fdb"), server->user(), server->password());
    c.open(server->connectionString("ok.fdb"),
           {"USER_NAME=SYSDBA", "PASSWORD=" + server->password(), "lc_ctype=WIN1250"});
    EXPECT_FALSE(c.info().fileName.isEmpty());
    c.close();
}
