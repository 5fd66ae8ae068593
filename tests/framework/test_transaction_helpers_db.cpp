#include "TestDatabase.h"

#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/MainConnection.h"
#include "framework/TransactionHelpers.h"

#include <gtest/gtest.h>

namespace {

class TransactionHelpers : public ::testing::Test {
protected:
    void SetUp() override { setMainConnection(&db.connection()); }
    void TearDown() override { setMainConnection(nullptr); }
    TestDatabase db{TestDatabase::Base};
};

// Whether the running transaction may write: a read-only one refuses.
bool canWrite(fb::Transaction& tr)
{
    fb::Query q(tr);
    q.setSql("insert into nastavenia (premenna, cislo) values ('x', 1)");
    try {
        q.execute();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

TEST_F(TransactionHelpers, StartReadCommittedFollowsTheParameterLines)
{
    // an inactive read-only read-committed transaction starts read-write
    auto tr = NewTransaction(true, true);
    EXPECT_EQ(tr->params(), QStringList({"read_committed", "rec_version", "read", "nowait"}));
    StartReadCommitted(*tr);
    EXPECT_TRUE(tr->isActive());
    EXPECT_EQ(tr->params(), QStringList({"read_committed", "rec_version", "write", "nowait"}));
    EXPECT_TRUE(canWrite(*tr));
    // an active read-committed one keeps running untouched
    StartReadCommitted(*tr);
    EXPECT_TRUE(tr->isActive());
    RollbackIfActive(*tr);
    EXPECT_FALSE(tr->isActive());
    RollbackIfActive(*tr);  // nothing to do, no error

    // an inactive snapshot one starts with its own lines; once active it is restarted read committed
    auto snap = NewTransaction(true, false);
    StartReadCommitted(*snap);
    EXPECT_EQ(snap->params(), QStringList({"read", "nowait"}));
    EXPECT_FALSE(canWrite(*snap));
    StartReadCommitted(*snap);
    EXPECT_EQ(snap->params(), QStringList({"read_committed", "rec_version", "write", "nowait"}));
    EXPECT_TRUE(canWrite(*snap));
    snap->rollback();
}

TEST_F(TransactionHelpers, NextGeneratorValueAdvancesEvenWhenRolledBack)
{
    auto tr = NewTransaction(false, true);
    StartReadCommitted(*tr);
    auto q = NewQuery(*tr);
    const qint64 first = NextGeneratorValue("PREKLADY_ID", *q);
    EXPECT_EQ(NextGeneratorValue("PREKLADY_ID", *q), first + 1);
    tr->rollback();
    StartReadCommitted(*tr);
    EXPECT_EQ(NextGeneratorValue("PREKLADY_ID", *q), first + 2);
    tr->commit();
}
