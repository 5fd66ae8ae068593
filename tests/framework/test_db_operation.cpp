#include "support/DialogTranscript.h"
#include "TestDatabase.h"

#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"
#include "framework/ErrorTranslation.h"
#include "framework/MainConnection.h"
#include "framework/SlotGuard.h"
#include "framework/TransactionHelpers.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class DbOperation : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.exec({"insert into merne_jednotky (jedin, skratka) values (1, 'ns')"});
        setMainConnection(&db.connection());
    }
    void TearDown() override { setMainConnection(nullptr); }

    int units()
    {
        int n = -1;
        RunInTransaction([&](fb::Transaction& tr) {
            fb::Query q(tr);
            q.setSql("select count(*) from merne_jednotky");
            n = q.executeScalar().toInt();
        }, true);
        return n;
    }

    void insert(fb::Transaction& tr, int jedin, const QString& skratka)
    {
        fb::Query q(tr);
        q.setSql("insert into merne_jednotky (jedin, skratka) values (:JEDIN, :SKRATKA)");
        q.setParams({{"JEDIN", jedin}, {"SKRATKA", skratka}});
        q.execute();
    }

    TestDatabase db{TestDatabase::Migrated};
};

}  // namespace

TEST_F(DbOperation, CommitsWorkThatFinishes)
{
    DialogTranscript dialogs;
    EXPECT_TRUE(RunInTransaction([&](fb::Transaction& tr) { insert(tr, 2, "strana"); }));
    EXPECT_EQ(units(), 2);
    EXPECT_EQ(dialogs.count(), 0);
}

TEST_F(DbOperation, ReportedErrorsRollBackAndGiveFalse)
{
    // a row held by another workstation: the lock conflict message, nothing kept
    fb::Connection other;
    other.open(db.path(), TestDatabase::params());
    fb::Transaction holder(other, TransactionParams(false, true));
    holder.start();
    fb::Query hold(holder);
    hold.setSql("update merne_jednotky set skratka = 'x' where jedin = 1");
    hold.execute();

    DialogTranscript dialogs;
    EXPECT_FALSE(RunInTransaction([&](fb::Transaction& tr) {
        insert(tr, 2, "strana");
        fb::Query q(tr);
        q.setSql("update merne_jednotky set skratka = 'y' where jedin = 1");
        q.execute();
    }));
    ASSERT_EQ(dialogs.count(), 1);
    EXPECT_TRUE(dialogs.last().text.startsWith("Hlásenie #335544345"));
    holder.rollback();
    other.close();
    EXPECT_EQ(units(), 1);  // the insert before the conflict was rolled back

    // the client layer's own refusal: its Slovak text once, nothing raised
    dialogs.clear();
    EXPECT_FALSE(RunInTransaction([&](fb::Transaction& tr) { insert(tr, 3, "漢"); }));
    ASSERT_EQ(dialogs.count(), 1);
    EXPECT_FALSE(dialogs.last().text.startsWith("0")) << dialogs.last().text.toStdString();
    EXPECT_TRUE(dialogs.last().text.contains(QStringLiteral("漢"))) << dialogs.last().text.toStdString();
    EXPECT_EQ(units(), 1);

    // a statement the server cannot read: its message once, and not raised again
    // for the unexpected-error dialog to show a second time
    dialogs.clear();
    EXPECT_FALSE(RunInTransaction([&](fb::Transaction& tr) {
        insert(tr, 4, "riadok");
        fb::Query q(tr);
        q.setSql("selec 1 from rdb$database");
        q.execute();
    }));
    ASSERT_EQ(dialogs.count(), 1);
    EXPECT_TRUE(dialogs.last().text.contains("Token unknown")) << dialogs.last().text.toStdString();
    EXPECT_EQ(units(), 1);
}

TEST_F(DbOperation, UnknownErrorsAreRaisedAgainAfterTheRollback)
{
    DialogTranscript dialogs;
    // a duplicate key is left to the caller
    EXPECT_THROW(RunInTransaction([&](fb::Transaction& tr) {
                     insert(tr, 5, "hodina");
                     insert(tr, 1, "znova");
                 }),
                 fb::Error);
    EXPECT_THROW(RunInTransaction([&](fb::Transaction& tr) {
                     insert(tr, 6, "deň");
                     throw std::runtime_error("not a database error");
                 }),
                 std::runtime_error);
    EXPECT_EQ(units(), 1);

    // a transaction the caller keeps is rolled back too
    fb::Transaction kept(db.connection(), TransactionParams(false, true));
    kept.start();
    EXPECT_FALSE(RunInKeptTransaction(kept, [&] { insert(kept, 7, "漢"); }));
    EXPECT_FALSE(kept.isActive());
}

TEST(SlotGuard, ErrorsLeavingASlotReachTheHandlerAndTheWindowGoesOn)
{
    std::vector<std::string> seen;
    setUnexpectedErrorHandler([&](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            seen.push_back(e.what());
        }
    });
    QPushButton button;
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, &button, guarded([&] {
                         if (++clicks == 1)
                             throw fb::Error("prvý klik zlyhal");
                     }));
    QObject::connect(&button, &QPushButton::toggled, &button, guarded([&](bool on) {
                         if (on)
                             throw std::runtime_error("zapnuté");
                     }));
    button.click();
    button.click();
    EXPECT_EQ(clicks, 2);
    button.setCheckable(true);
    button.setChecked(true);
    setUnexpectedErrorHandler({});
    EXPECT_EQ(seen, (std::vector<std::string>{"prvý klik zlyhal", "zapnuté"}));
}
