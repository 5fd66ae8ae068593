#pragma once

namespace fb {
class Query;
class Transaction;
}  // namespace fb

// The schema version: the highest number in DATABASE_UPDATES, 0 when the table
// is empty, missing or unreadable. Runs in `transaction` (started read
// committed, committed at the end) through `query`.
int ZistiVerziu(fb::Transaction& transaction, fb::Query& query);
