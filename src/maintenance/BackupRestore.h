#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

namespace fb {
class Service;
}

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
