#pragma once

#include "maintenance/BackupRestore.h"

#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QStringList>

#include <atomic>
#include <exception>

namespace fb {
class Service;
class Transaction;
}  // namespace fb

// A backup proves itself by a restore: the copy is restored into a temporary
// database beside the live one, read and removed again. Nothing here shows a
// window; the automatic backup runs it in a thread of its own.

// The tables whose rows a restored copy must bring back.
const QStringList& CountedTables();

// What a database holds at one snapshot.
struct DatabaseCounts {
    BackupContent content = BackupContent::Foreign;
    int version = 0;              // the last version in the update table
    QMap<QString, qint64> rows;   // of each counted table the database has
};
// Read in `transaction` (a snapshot one gives the counts of one moment).
DatabaseCounts ReadDatabaseCounts(fb::Transaction& transaction, int supportedVersion);

// Why a restored copy does not hold what the live database held when the
// backup was taken, in Slovak; empty when it does. `before` is counted in a
// snapshot started just before the backup's own, `after` in one started once
// the backup was under way: the backup's snapshot lies between them, so each
// table of the copy must lie between the two counts (equal when nothing
// changed meanwhile).
QString CompareWithLive(const DatabaseCounts& restored, const DatabaseCounts& before, const DatabaseCounts& after);
// The same against counts recorded for the backup earlier: they must be equal.
QString CompareWithRecorded(const DatabaseCounts& restored, const DatabaseCounts& recorded);

// Thrown out of a run whose stop was asked for.
class BackupCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "backup cancelled"; }
};

// Where a backup runs and what may stop it.
struct BackupJob {
    ServiceLogin login;
    QString databasePath;        // as configured: names the server, if any
    QString databaseFile;        // the file as the server knows it
    QStringList params;          // connection parameter lines
    int supportedVersion = 0;
    const std::atomic<bool>* cancel = nullptr;
    LineSink onLine;             // the restore's lines
    ProgressSink onProgress;     // bytes moved, backup and restore alike
};

// Restores `backupFile` into a temporary database beside the live database
// (never in the backups folder), reads it and drops it. Throws fb::Error when
// the file does not restore, BackupCancelled when asked to stop; the
// temporary database is gone in every case it can be removed from here.
struct RestoredCopy {
    DatabaseCounts counts;
    QByteArray digest;  // SHA-256 of the file as the restore read it
};
RestoredCopy RestoreAndCount(const BackupJob& job, fb::Service& service, const QString& backupFile,
                             const QDateTime& moment);

// One backup into `target` (temporary name, generations: BackupToFile) with
// its check. Throws BackupCancelled only; every failure is in the result.
struct VerifiedBackup {
    QDateTime moment;
    QString file;
    QString replaced;        // the dated name the file it replaced took
    qint64 size = 0;
    bool backedUp = false;   // the file took its name
    bool verified = false;   // and the restored copy matched the database
    QString problem;         // Slovak, when not verified
    DatabaseCounts counts;   // of the restored copy
    QByteArray digest;
};
VerifiedBackup MakeVerifiedBackup(const BackupJob& job, const QString& target, int keepCopies,
                                  const QDateTime& moment);

// Temporary databases of checks that a crash or a power cut left beside a
// local database, older than a day.
void RemoveStaleTrialDatabases(const QString& databaseFile);
