#pragma once

#include <QDateTime>
#include <QStringList>
#include <QString>

#include <functional>

class QCryptographicHash;

namespace fb {
class Connection;
class Error;
class Service;
}  // namespace fb

// Where the backup and restore services run, decided without a window.

// The "host" or "host/port" a database path names ("srv:/data/x.fdb",
// "srv/3051:x.fdb", "inet://srv:3051/x.fdb"); empty for a local file (also a
// Windows drive letter "C:\...").
QString ServerOfDatabasePath(const QString& databasePath);

// The file part of a database path (everything after the server).
QString FileOfDatabasePath(const QString& databasePath);

// How the service manager is reached: `server` empty means this computer's
// engine, in-process; otherwise over TCP/IP.
struct ServiceSite {
    QString server;
    bool local() const { return server.isEmpty(); }
};

// A connection without a server in its path runs on this computer: local, as
// the site name (the server's computer) then equals this computer's name. A
// connection that names a server reaches the services the same way, host and
// port as configured: on this platform "local" would open the file in-process
// behind the back of a server on the same computer, and the site name alone
// carries no port.
ServiceSite ChooseServiceSite(const QString& databasePath, const QString& siteName, const QString& computerName);

// "upper case, trimmed" comparison of two computer names.
bool SameComputer(const QString& a, const QString& b);

// The backup file: the folder, a separator and the name as typed.
QString BackupFilePath(const QString& folder, const QString& fileName);

// The copy of the current database taken before a restore, in the backups
// folder: "Lindavo_pred_obnovenim_yyyyMMdd_HHmmss.fbk".
QString SafetyBackupPath(const QString& folder, const QDateTime& moment);

// The server's refusal to replace a database that others have open.
bool IsDatabaseInUseError(const std::exception& error);

struct ServiceLogin {
    ServiceSite site;
    QString user;
    QString password;
};

using LineSink = std::function<void(const QString&)>;

// Attach, start, pass every output line to `onLine` as it arrives, detach.
// The service object is the caller's, so it is detached however this ends.
// Throws fb::Error.
void RunBackupService(fb::Service& service, const ServiceLogin& login, const QString& databaseFile,
                      const QString& backupFile, const LineSink& onLine);
void RunRestoreService(fb::Service& service, const ServiceLogin& login, const QString& backupFile,
                       const QString& databaseFile, const LineSink& onLine);

// ---------------------------------------------------------------------------
// Backups kept on this computer, whatever computer runs the database: the
// service streams the backup to this program and the restore's input from it.
// ---------------------------------------------------------------------------

using ProgressSink = std::function<void(qint64 bytes)>;

// Why `fileName` cannot be the backup file, in Slovak; empty when it can. A
// file name only: no folder, no "..", and never the live database itself.
QString BackupFileNameProblem(const QString& fileName, const QString& folder, const QString& databasePath);

// "<folder>/<base>_yyyyMMdd_HHmmss.<suffix>": what the replaced backup is kept as.
QString DatedCopyPath(const QString& target, const QDateTime& moment);
// The dated copies of `target` in its folder, newest first.
QStringList DatedCopies(const QString& target);
// Removes all but the newest `keep` dated copies of `target`.
void PruneDatedCopies(const QString& target, int keep);

// Backs `databaseFile` up into `target` on this computer. The stream goes to a
// temporary file beside the target, which takes the target's name only after
// the service reported completion; the file it replaces is kept under its
// dated name (DatedCopyPath with `moment`), and the newest `keepCopies` of
// those stay. A failure removes the temporary file and leaves every earlier
// file as it was. Returns the dated name of the replaced file (empty when
// there was none). Throws fb::Error.
QString BackupToFile(fb::Service& service, const ServiceLogin& login, const QString& databaseFile,
                     const QString& target, int keepCopies, const QDateTime& moment,
                     const ProgressSink& progress);

// Restores `databaseFile` (replacing it) from `backup` on this computer; the
// verbose lines go to `onLine`, the bytes read to `progress` and, when given,
// to `digest`. Throws fb::Error, also when the service did not report its end.
void RestoreFromFile(fb::Service& service, const ServiceLogin& login, const QString& backup,
                     const QString& databaseFile, const LineSink& onLine, const ProgressSink& progress,
                     QCryptographicHash* digest = nullptr);

// Beside the live database, on its server: where a restore is tried first.
QString TrialRestoreFile(const QString& databaseFile, const QDateTime& moment);
// The connection string of `file` on the server of `databasePath`.
QString DatabasePathOnSameServer(const QString& databasePath, const QString& file);

// What a restored database holds.
enum class BackupContent {
    Ours,     // this program's tables at a version it supports
    Foreign,  // not this program's database
    Newer,    // this program's, from a newer version of the program
};
struct BackupCheck {
    BackupContent content = BackupContent::Foreign;
    int version = 0;
};
// Reads the update table and the program's tables of an open database.
BackupCheck InspectRestoredDatabase(fb::Connection& connection, int supportedVersion);

// The service's failure in Slovak, with what to do.
QString ServiceErrorText(const fb::Error& error, bool restoring);
