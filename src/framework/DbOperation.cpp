#include "framework/DbOperation.h"

#include "fb/Error.h"
#include "fb/Transaction.h"
#include "framework/ErrorTranslation.h"
#include "framework/MainConnection.h"
#include "framework/Messages.h"
#include "framework/Session.h"
#include "framework/TransactionHelpers.h"

namespace {

// A rollback that fails (the connection is gone) must not hide the error that
// led to it.
void rollbackQuietly(fb::Transaction& transaction)
{
    try {
        RollbackIfActive(transaction);
    } catch (const fb::Error&) {
    }
}

}  // namespace

bool RunInKeptTransaction(fb::Transaction& transaction, const std::function<void()>& work)
{
    try {
        // The user repeats what a lost connection interrupted: it runs on the
        // connection opened again.
        if (hasMainConnection() && &transaction.connection() == &mainConnection())
            ReopenMainConnectionIfLost();
        work();
        return true;
    } catch (const fb::Error& e) {
        rollbackQuietly(transaction);
        if (TranslateDbError(e) == 0)
            throw;
        return false;
    } catch (const SessionRefused& e) {
        rollbackQuietly(transaction);
        RedMessageDlg(e.text(), msg::Warning, {msg::OK}, 0, msg::OK);
        if (sessionLoginAgain())
            sessionLoginAgain()();
        return false;
    } catch (...) {
        rollbackQuietly(transaction);
        throw;
    }
}

bool RunInTransaction(const QStringList& params, const std::function<void(fb::Transaction&)>& work)
{
    fb::Transaction transaction(mainConnection(), params);
    return RunInKeptTransaction(transaction, [&] {
        transaction.start();
        work(transaction);
        transaction.commit();
    });
}

bool RunInTransaction(const std::function<void(fb::Transaction&)>& work, bool readOnly)
{
    return RunInTransaction(TransactionParams(readOnly, true), work);
}
