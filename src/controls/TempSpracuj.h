#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

class TDbGridQDL;
namespace fb {
class Connection;
class Transaction;
}  // namespace fb

// Sets of record numbers handed to the server through TEMP_SPRACUJ: one row per
// number, grouped by a set key, every row tagged with the writing connection
// (CURRENT_CONNECTION) so that connections never see each other's sets.

// How a set is written. Rows go in blocks of up to `rowsPerStatement` per
// statement (one round trip each); a block never runs past a row after which
// `pauseAfter` asks for a pause, so the pauses fall on the same rows whatever
// the block size. At a pause the writer commits retaining when `commit` is
// set and lets the user interface breathe when `processEvents` is.
struct TempSpracujRhythm {
    int rowsPerStatement = 100;
    std::function<bool(qsizetype row)> pauseAfter;  // rows counted from 0; none: no pauses
    bool commit = true;
    bool processEvents = false;
};

// The marked-records clause of a grid beyond 500 marks: 100 rows a statement,
// a commit retaining after every 1000 rows (each forces a write to disk;
// nobody else reads this connection's rows, so that is enough to keep the
// work bounded).
TempSpracujRhythm ClauseSetRhythm();
// MarkedToTempSpracuj: 100 rows a statement, pending events after every
// 500th row, one commit at the end (a commit retaining forces a write to disk;
// forty of them made a batch of 20 000 marks wait on the disk for seconds).
TempSpracujRhythm MarkedSetRhythm();

// How WriteTempSpracuj cuts `count` rows into statements.
struct TempSpracujBlock {
    qsizetype first = 0;
    int rows = 0;
    bool pause = false;  // the rhythm's pause after it
    bool operator==(const TempSpracujBlock&) const = default;
};
std::vector<TempSpracujBlock> PlanTempSpracuj(qsizetype count, const TempSpracujRhythm& rhythm);

// The statement writing `rows` numbers: for one row the plain insert with the
// parameters CISLO and ZARADENIE, for more an EXECUTE BLOCK with C0.. and
// ZARADENIE.
QStringList TempSpracujInsert(int rows);

// The one writer of TEMP_SPRACUJ: `count` numbers, numberAt(0) first, under
// `setKey`, on an active transaction that the caller commits.
void WriteTempSpracuj(fb::Transaction& transaction, const QString& setKey, qsizetype count,
                      const std::function<QVariant(qsizetype)>& numberAt, const TempSpracujRhythm& rhythm);

// Replaces this connection's set under `key` with the marked record numbers (in
// marking order), with every record when nothing is marked and allWhenNone, or
// else with the current record. False when there was nothing to write, or when
// a database error was reported (one the error translation does not know is
// raised again).
bool MarkedToTempSpracuj(TDbGridQDL* grid, const QString& key, bool allWhenNone);

// Removes the TEMP_SPRACUJ rows of connections that are gone. Run once when the
// program connects. Returns the number of rows removed; does nothing (0) when
// this user cannot see every attachment, since another user's live rows would
// look stale then.
int CleanStaleTempSpracuj(fb::Connection& connection);
