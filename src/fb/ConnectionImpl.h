#pragma once

// Internal shared state of Connection and Transaction (fb library only).

#include "fb/Connection.h"
#include "fb/FbApi.h"
#include "fb/Transaction.h"

#include <cstdint>
#include <memory>

namespace fb {

// Every open and close starts a new generation: handles of an earlier one
// (a transaction, a prepared statement) belong to an attachment that is gone,
// after a lost connection and a reconnect as after a plain close. They are
// dropped without a call to the server instead of being used.
// The client library destroys those handles together with their attachment,
// so they must never be released either: they are forgotten. The counter is
// shared, so a transaction or query that outlives its Connection object can
// still tell.
using Generation = std::shared_ptr<std::uint64_t>;

// When a handle was made: the connection's counter and its value then.
struct GenerationMark {
    std::shared_ptr<const std::uint64_t> counter;
    std::uint64_t value = 0;

    void take(const Generation& g)
    {
        counter = g;
        value = *g;
    }
    bool stale() const { return counter && *counter != value; }
};

struct Connection::Impl {
    detail::Ref<Firebird::IAttachment> attachment;
    Generation generation = std::make_shared<std::uint64_t>(0);
};

struct Transaction::Impl {
    detail::Ref<Firebird::ITransaction> transaction;
    GenerationMark mark;  // of the connection when started

    ~Impl()
    {
        if (mark.stale())
            transaction.detach();
    }
};

// Drops the handle of a transaction whose connection was closed or reopened
// since it started; true when it did.
bool dropStaleTransaction(const Transaction& transaction);

// The attachment of an open connection; throws fb::Error when it is closed.
Firebird::IAttachment* attachmentOf(const Connection& connection);
// The handle of an active transaction; throws fb::Error when it is not active.
Firebird::ITransaction* transactionOf(const Transaction& transaction);

}  // namespace fb
