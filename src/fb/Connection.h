#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

namespace fb {

class Transaction;

// What the server says about the open database (isc_info_db_id and friends).
struct DatabaseInfo {
    QString fileName;  // the database file as the server sees it
    QString siteName;  // the host the server runs on
};

// One attachment to a database. The path is passed to the client library
// unchanged: a local path opens the embedded engine, "host:path" or
// "host/port:path" reaches a server. Not copyable; closing rolls back nothing on
// its own, so callers end their transactions first.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Parameter lines as the program writes them: "USER_NAME=...", "PASSWORD=...",
    // "lc_ctype=WIN1250" (also "user_name", "sql_role_name", "isc_dpb_" prefixes).
    // Always SQL dialect 3. Throws fb::Error.
    void open(const QString& databasePath, const QStringList& params);
    void close();
    bool isOpen() const;
    const QString& databasePath() const { return m_path; }
    const QStringList& params() const { return m_params; }

    DatabaseInfo info() const;
    // One entry per attachment (this one included), as the server reports user names.
    QStringList attachedUsers() const;
    // The server's CURRENT_CONNECTION of this attachment.
    std::int64_t currentConnection() const;

    // Creates a new database file (dialect 3). Throws fb::Error.
    static void createDatabase(const QString& databasePath, const QString& user,
                               const QString& password, int pageSize = 8192,
                               const QString& charset = QStringLiteral("WIN1250"));
    // Removes a database file through the engine (it must not be in use).
    static void dropDatabase(const QString& databasePath, const QString& user,
                             const QString& password);

    struct Impl;
    Impl* impl() const { return d.get(); }

private:
    std::unique_ptr<Impl> d;
    QString m_path;
    QStringList m_params;
};

}  // namespace fb
