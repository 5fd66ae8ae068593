#pragma once

// Internal shared state of Connection and Transaction (fb library only).

#include "fb/Connection.h"
#include "fb/FbApi.h"
#include "fb/Transaction.h"

namespace fb {

struct Connection::Impl {
    detail::Ref<Firebird::IAttachment> attachment;
};

struct Transaction::Impl {
    detail::Ref<Firebird::ITransaction> transaction;
};

// The attachment of an open connection; throws fb::Error when it is closed.
Firebird::IAttachment* attachmentOf(const Connection& connection);
// The handle of an active transaction; throws fb::Error when it is not active.
Firebird::ITransaction* transactionOf(const Transaction& transaction);

}  // namespace fb
