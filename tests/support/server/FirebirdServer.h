#pragma once

#include <QString>

#include <sys/types.h>
#include <memory>

class QProcess;

// A private Firebird SuperServer for server-mode tests. It has its own root folder (configuration,
// security database, lock files), listens on 127.0.0.1 only, on a free port, so it never meets a
// system-wide server. When the test runs as root the server runs as the `firebird` system user;
// anything a test copies into dataDir() must then be readable and writable by that user.
//
// Call instance() from the main thread: the server is told to end when the thread that started it
// ends, so a crashed or killed test program leaves no server behind.
class FirebirdServer {
public:
    // Starts the server on first use; later calls return the same one. Returns nullptr and sets
    // `whyNot` when the server package is missing or the start failed (the failure is remembered,
    // so every test skips at once with the same message).
    static FirebirdServer* instance(QString* whyNot);

    QString host() const { return QStringLiteral("127.0.0.1"); }
    int port() const { return m_port; }
    QString user() const { return QStringLiteral("SYSDBA"); }
    QString password() const { return m_password; }
    // The server process can create databases here.
    QString dataDir() const { return m_root + QStringLiteral("/data"); }
    // "127.0.0.1/PORT:" + dataDir() + "/" + fileName
    QString connectionString(const QString& fileName) const;
    // Copies a database file made elsewhere (a test template) into dataDir()
    // for the server's user; its connection string, or "" when the copy failed.
    QString copyIn(const QString& localFile, const QString& fileName) const;

    // Ends the server process and starts it again on the same folders, port and
    // password, as an administrator restarting the server would: attachments
    // of clients break, the databases stay. False with `whyNot` when it did
    // not come back.
    bool restart(QString* whyNot);
    // Only the first half of restart(): the server is down until start again.
    void kill();
    bool startAgain(QString* whyNot);

    // Ends the server and removes its folders; also runs at program exit. A later instance() starts
    // a fresh server (new port, new password).
    void stop();

    ~FirebirdServer();
    FirebirdServer(const FirebirdServer&) = delete;
    FirebirdServer& operator=(const FirebirdServer&) = delete;

private:
    FirebirdServer() = default;

    struct Account {
        bool change = false;  // only when running as root
        uid_t uid = 0;
        gid_t gid = 0;
    };

    bool start(QString* whyNot);
    bool prepareRoot(QString* whyNot);
    bool prepareSecurityDatabase(QString* whyNot);
    bool writeConfig(QString* whyNot);
    bool launch(QString* whyNot);
    // Runs isql on the private root through the embedded engine, as the server's user.
    bool runEmbeddedIsql(const QStringList& args, const QString& script, QString* whyNot);
    void configure(QProcess& process) const;
    void removeRoot();

    Account m_account;
    QString m_packageDir;  // plugins, intl, firebird.msg of the installed package
    QString m_serverBinary;
    QString m_isql;
    QString m_root;
    QString m_password;
    int m_port = 0;
    std::unique_ptr<QProcess> m_process;
};
