#pragma once

#include <QString>

#include <functional>
#include <memory>

namespace fb {

// What a backup leaves out or tolerates.
struct BackupOptions {
    bool verbose = true;
    bool ignoreChecksums = true;
    bool ignoreLimbo = true;
};

// How a restore treats the target database.
struct RestoreOptions {
    bool verbose = true;
    bool replace = true;  // overwrite an existing database
    bool create = true;   // create it when missing
    int pageSize = 8192;  // 0: the page size of the backup
};

// An attachment to a server's service manager, through which backups and
// restores run on the server itself: the program names the files, the server
// reads and writes them. Detaches on destruction. Not copyable.
class Service {
public:
    Service();
    ~Service();
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    // `server` empty: this computer's engine, in-process; otherwise a host
    // reached over TCP/IP, "host" or "host/port". Throws fb::Error.
    void attach(const QString& server, const QString& user, const QString& password);
    void detach();
    bool isAttached() const;

    // Starts the service; its output is read with nextLine(). Throws fb::Error.
    void startBackup(const QString& databaseFile, const QString& backupFile, const BackupOptions& options = {});
    void startRestore(const QString& backupFile, const QString& databaseFile, const RestoreOptions& options = {});

    // Waits for the next line of the running service's output. False when the
    // service has reported the end of its output; a failure of the service
    // arrives here as fb::Error.
    bool nextLine(QString& line);

    // Backup and restore with the file on this client: the server sends the
    // backup as it writes it ("stdout") and asks for the restore's input
    // ("stdin"), so a server never needs a folder of this computer. Both run
    // to the end of the service and throw fb::Error for its failures.
    //
    // The backup's verbose lines would share the stream with the data: the
    // backup runs without them; `onData` receives the bytes in order (it may
    // throw to stop: the service is abandoned, the caller detaches).
    using DataSink = std::function<void(const char* data, qint64 size)>;
    void streamBackup(const QString& databaseFile, const BackupOptions& options, const DataSink& onData);
    // `read` fills up to `max` bytes and returns their number, 0 at the end
    // of the file, -1 for a read error (throws then). The verbose lines arrive
    // through `onLine`.
    using DataSource = std::function<qint64(char* buffer, qint64 max)>;
    using LineSink = std::function<void(const QString& line)>;
    void streamRestore(const QString& databaseFile, const RestoreOptions& options, const DataSource& read,
                       const LineSink& onLine);

    // The service manager's name for attach(): "service_mgr" or "host[/port]:service_mgr".
    static QString serviceManagerName(const QString& server);

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

}  // namespace fb
