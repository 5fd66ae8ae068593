#pragma once

#include <QStringList>

#include <functional>

namespace fb {
class Transaction;
}

// The one way a window runs a unit of work on the database.
//
// An error of the database is rolled back and handed to the error
// translation; what the translation reports gives `false` (the window stays
// usable, nothing was kept), what it does not know is raised again for the
// unexpected-error handler. A user whose rights were taken away meanwhile
// (SessionRefused) is told so and offered the login again: false. Any other exception rolls back and propagates.

// A new transaction on the main connection with these parameter lines
// (TransactionParams): started, `work`, committed. True when committed.
bool RunInTransaction(const QStringList& params, const std::function<void(fb::Transaction&)>& work);
// The usual case: read-committed, read-write or read-only.
bool RunInTransaction(const std::function<void(fb::Transaction&)>& work, bool readOnly = false);

// `work` on a transaction the caller keeps (a register's read transaction
// that stays open between refreshes): no start or commit here; on an error
// the transaction is rolled back when active. True when `work` finished.
bool RunInKeptTransaction(fb::Transaction& transaction, const std::function<void()>& work);
