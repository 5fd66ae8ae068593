#pragma once

// The baseline of every benchmark: the same statements through the bare
// Firebird OO API with nothing of the program in between. Rows are fetched
// into one message buffer and dropped, so a benchmark's ratio to this is the
// cost of everything the program adds.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <memory>

class BareConnection {
public:
    // Attaches with lc_ctype WIN1250, as the program does.
    BareConnection(const QString& path, const QString& user, const QString& password);
    ~BareConnection();
    BareConnection(const BareConnection&) = delete;
    BareConnection& operator=(const BareConnection&) = delete;

    // A new read-committed, read-only transaction: prepare, open the cursor,
    // fetch every row, close, commit. Returns the number of rows.
    int fetchAll(const QString& sql);
    // The same, keeping every message: the server writes each row into the
    // next slot of a store that grows in chunks of `chunkRows` messages, freed
    // before returning. The floor of any fetch that keeps its rows.
    int fetchAllIntoStore(const QString& sql, int chunkRows = 1000);
    // fetchAllIntoStore that also reads the contents of every BLOB column of
    // every row (open, segments, close) into memory kept beside the store:
    // the floor of a fetch that holds BLOB contents.
    int fetchAllIntoStoreWithBlobs(const QString& sql, int chunkRows = 1000);

    // Runs each group of statements in a transaction of its own, committed
    // before the next group (as the migration runner applies its scripts).
    void executeEachCommitted(const QList<QStringList>& groups);

    // A read-committed, read-write, no-wait transaction for execute(), ended
    // by commit().
    void startWrite();
    void commit();
    // Prepares `sql` ("?" parameters) once in that transaction and runs it for
    // every entry of `rows` (one value per "?": an int goes as the declared
    // integer, anything else as text); a select's rows are fetched and
    // dropped. Returns the rows affected, or fetched, summed over the runs.
    qint64 execute(const QString& sql, const QList<QVariantList>& rows = {QVariantList{}});
    // A select without parameters in that transaction: its first BIGINT or
    // INTEGER column of its first row (count(*)), -1 without a row.
    qint64 scalar(const QString& sql);

    struct Impl;

private:
    int fetchIntoStore(const QString& sql, int chunkRows, bool blobs);
    friend class BareStatement;
    std::unique_ptr<Impl> d;
};

// One statement prepared once in a read-committed, read-only transaction that
// stays open, run again with new values: the bare form of a lookup that a
// control repeats. Parameters are "?" in the text and are sent as text.
class BareStatement {
public:
    BareStatement(BareConnection& connection, const QString& sql);
    ~BareStatement();
    BareStatement(const BareStatement&) = delete;
    BareStatement& operator=(const BareStatement&) = delete;

    // Opens the cursor with these values, fetches every row, closes. Returns
    // the number of rows.
    int run(const QStringList& params);
    // The same with some values NULL: an invalid or null QVariant is NULL,
    // anything else goes as its text.
    int run(const QVariantList& params);

    // The access plan the server chose (the detailed form).
    QString plan() const;

private:
    int runValues(const QStringList& params, const QList<bool>& nulls);
    struct Impl;
    std::unique_ptr<Impl> d;
};
