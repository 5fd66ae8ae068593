#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace fb {
class Query;
class Transaction;
}  // namespace fb

// Short transactions on the main connection (framework/MainConnection.h). Every
// set made here is no-wait, so a lock conflict fails at once instead of hanging.

// read only / read committed -> the parameter lines, in the server's words:
//   yes/yes: read_committed, rec_version, read, nowait
//   yes/no:  read, nowait
//   no/yes:  read_committed, rec_version, write, nowait
//   no/no:   write, nowait
QStringList TransactionParams(bool readOnly, bool readCommitted);

// A new inactive transaction on the main connection; the caller owns it.
std::unique_ptr<fb::Transaction> NewTransaction(bool readOnly, bool readCommitted);

// A new query bound to the transaction (and so to its database). fb::Query is
// not a QObject, so there is no owner or object name: the caller owns it.
std::unique_ptr<fb::Query> NewQuery(fb::Transaction& transaction);

// Makes the transaction active in read-committed mode. One that already runs
// read-committed keeps running; one that runs in another mode is committed and
// restarted as read_committed, rec_version, write, nowait; an inactive
// read-committed one is started with those lines; an inactive one in another
// mode starts with its own lines.
void StartReadCommitted(fb::Transaction& transaction);

void RollbackIfActive(fb::Transaction& transaction);

// A table, column or sequence name that may be put into SQL text: a letter,
// then letters, digits, "_" or "$" (ASCII only).
bool IsPlainIdentifier(const QString& name);

// Takes the next value of a sequence in the query (whose transaction must be
// active). The value is used even when the caller rolls back later. The name
// is program text; anything that is not a plain identifier is refused with
// std::invalid_argument rather than pasted into SQL.
qint64 NextGeneratorValue(const QString& sequence, fb::Query& query);
