#pragma once

// Internal to the sample-data library: what both writers need to put rows in.

#include <QDate>
#include <QVariant>

namespace fb {
class Transaction;
}

namespace sample {

// Record numbers for `count` new rows: the sequence's current value + 1 onwards.
int reserveIds(fb::Transaction& tr, const char* sequence, int count);
// Commits and restarts the transaction every few thousand rows.
void commitChunk(fb::Transaction& tr, int rows);
QVariant decimalValue(qint64 units, int scale);
QVariant dateOrNull(const QDate& d);

}  // namespace sample
