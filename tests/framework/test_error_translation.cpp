#include "fb/Error.h"
#include "framework/ErrorTranslation.h"
#include "framework/Messages.h"
#include "support/QtPrinters.h"
#include "support/DialogTranscript.h"

#include <gtest/gtest.h>

namespace {

struct Shown {
    DialogKind kind;
    int type;
    QString text;
};

struct Row {
    const char* what;
    std::vector<long> codes;
    QString message;
    int result;
    std::vector<Shown> shown;
};

QString numbered(long code, const QString& extra = {})
{
    return "Hlásenie #" + QString::number(code) + "\r\n" + LoadMessageText("IBERR" + QString::number(code)) +
           "\r\n" + (extra.isEmpty() ? QString() : extra + "\r\n");
}

QString errText(int n)
{
    return "Hlásenie #" + QString::number(n) + "\r\n\r\n" + LoadMessageText("ERR" + QString::number(n));
}

}  // namespace

TEST(TranslateDbError, EveryKnownCode)
{
    using namespace fb::codes;
    const QString fkCustomer = "violation of FOREIGN KEY constraint \"FK_PREKLADY_OBJEDNAVATEL\" on table \"PREKLADY\"";
    const QString fkTranslator = "violation of FOREIGN KEY constraint \"FK_PREKLADY_PREKLADATEL\" on table \"PREKLADY\"";
    const QString fkOther = "violation of FOREIGN KEY constraint \"FK_KOMBINACIE_ADRESAR\" on table \"KOMBINACIE\"";
    const QString io = "I/O error during \"open\" operation for file \"/x.fdb\"";
    const QString meta = "unsuccessful metadata update\nobject INDEX is in use";
    const QString dsql = "Dynamic SQL Error\nSQL error code = -104\nToken unknown";
    const QString lock = "lock conflict on no wait transaction";
    const QString deadlock = "deadlock\nupdate conflicts with concurrent update\nconcurrent transaction number is 42";

    const Row rows[] = {
        {"i/o error", {IoError, 335544734}, io, int(IoError),
         {{DialogKind::Red, msg::Error, numbered(IoError)}, {DialogKind::Plain, msg::NoType, io}}},
        {"lock conflict", {LockConflict, UpdateConflict}, lock, int(LockConflict),
         {{DialogKind::Red, msg::Error, numbered(LockConflict)}}},
        {"deadlock + update conflict is a lock conflict", {Deadlock, UpdateConflict, 335544878}, deadlock,
         int(LockConflict), {{DialogKind::Red, msg::Error, numbered(LockConflict)}}},
        {"duplicate in unique index", {NoDup}, "attempt to store duplicate value", 0, {}},
        {"metadata update", {NoMetaUpdate, 335544453}, meta, int(NoMetaUpdate),
         {{DialogKind::Red, msg::Error, numbered(NoMetaUpdate)}, {DialogKind::Plain, msg::NoType, meta}}},
        {"fk customer", {ForeignKey, 335544838}, fkCustomer, 2001,
         {{DialogKind::Standard, msg::Warning, errText(2001)}}},
        {"fk translator", {ForeignKey, 335544838}, fkTranslator, 2002,
         {{DialogKind::Standard, msg::Warning, errText(2002)}}},
        {"fk other", {ForeignKey, 335544838}, fkOther, 0, {}},
        {"login refused", {LoginRefused}, "Your user name and password are not defined", -1,
         {{DialogKind::Red, msg::Warning, numbered(LoginRefused)}}},
        {"database exception", {fb::codes::Exception, 335544382}, "exception 1", 0, {}},
        {"invalid sql", {DsqlError, 336397205}, dsql, int(DsqlError),
         {{DialogKind::Red, msg::Error, numbered(DsqlError, dsql)}}},
        {"unique key", {UniqueKey, 335544838}, "violation of PRIMARY or UNIQUE KEY constraint", 0, {}},
        {"plain deadlock", {Deadlock}, "deadlock", int(Deadlock),
         {{DialogKind::Plain, msg::NoType, QString::number(Deadlock) + "\r\n\r\ndeadlock"}}},
        {"other code", {335544321}, "arithmetic exception", 335544321,
         {{DialogKind::Plain, msg::NoType, "335544321\r\n\r\narithmetic exception"}}},
    };

    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DialogTranscript dialogs;
        EXPECT_EQ(TranslateDbError(fb::Error(row.message, row.codes)), row.result);
        ASSERT_EQ(size_t(dialogs.count()), row.shown.size());
        for (size_t i = 0; i < row.shown.size(); ++i) {
            const DialogRequest& r = dialogs.requests()[qsizetype(i)];
            EXPECT_EQ(r.kind, row.shown[i].kind) << dialogKindName(r.kind);
            EXPECT_EQ(r.type, row.shown[i].type);
            EXPECT_EQ(r.text, row.shown[i].text);
            EXPECT_EQ(r.buttons, QList<int>{msg::OK});
        }
    }
}

TEST(TranslateDbError, OtherExceptionsAreLeftAlone)
{
    DialogTranscript dialogs;
    EXPECT_EQ(TranslateDbError(std::runtime_error("disk full")), 0);
    EXPECT_EQ(TranslateDbError(std::logic_error("FK_PREKLADY_OBJEDNAVATEL")), 0);
    EXPECT_EQ(dialogs.count(), 0);
}
