#include "FirebirdServer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <poll.h>
#include <pwd.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <utility>

namespace {

constexpr int kListenTimeoutMs = 15000;
constexpr int kToolTimeoutMs = 30000;
constexpr int kStopTimeoutMs = 10000;
constexpr int kGraceMs = 2000;
constexpr int kStartAttempts = 2;

// The package's engine files: plugins, intl, firebird.msg. Debian puts them under the multiarch
// folder; the vendor tarball under /opt/firebird.
QString findPackageDir()
{
    QStringList candidates;
    const QDir usrLib(QStringLiteral("/usr/lib"));
    for (const QString& arch : usrLib.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        candidates << usrLib.filePath(arch + QStringLiteral("/firebird/3.0"));
    candidates << QStringLiteral("/usr/lib/firebird/3.0") << QStringLiteral("/opt/firebird");
    for (const QString& dir : candidates) {
        if (QFileInfo::exists(dir + QStringLiteral("/plugins")) &&
            QFileInfo::exists(dir + QStringLiteral("/firebird.msg")))
            return dir;
    }
    return {};
}

QString findServerBinary()
{
    for (const char* path : {"/usr/sbin/firebird", "/opt/firebird/bin/firebird"}) {
        const QFileInfo info(QString::fromLatin1(path));
        if (info.isFile() && info.isExecutable())
            return info.filePath();
    }
    return {};
}

QString findIsql()
{
    QString path = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(QStringLiteral("isql"), {QStringLiteral("/opt/firebird/bin")});
    return path;
}

// The kernel hands out a port nobody is bound to; the server takes it over a moment later.
int freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

bool loopbackPortAccepts(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    if (!ok && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        int error = 0;
        socklen_t len = sizeof error;
        ok = ::poll(&p, 1, 200) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) == 0 &&
             error == 0;
    }
    ::close(fd);
    return ok;
}

QString randomPassword()
{
    static const char alphabet[] = "abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    QString result;
    for (int i = 0; i < 16; ++i)
        result += QLatin1Char(alphabet[QRandomGenerator::system()->bounded(int(sizeof alphabet) - 1)]);
    return result;
}

QString tail(const QString& text, int lines = 15)
{
    const QStringList all = text.trimmed().split(QLatin1Char('\n'));
    return all.mid(qMax(0, all.size() - lines)).join(QLatin1Char('\n'));
}

// Firebird 3 sometimes never finishes its SIGTERM shutdown (it ignores further signals once one
// arrived), so after a short grace the server is killed. Its files are throwaway and its lock
// folder private, so nothing outlives it.
void endProcess(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(kGraceMs)) {
        process.kill();
        process.waitForFinished(kStopTimeoutMs);
    }
}

const char* const kLinkedFromPackage[] = {"plugins", "UDF", "firebird.msg"};
const QString kRootPrefix = QStringLiteral("lindavo-fbserver-");
const QString kOwnerFile = QStringLiteral("owner.pid");

void removeServerRoot(const QString& path)
{
    QDir root(path);
    // The links point into the installed package: remove the links themselves first so that no
    // recursive delete can ever descend into their targets.
    for (const char* name : kLinkedFromPackage) {
        const QString link = root.filePath(QLatin1String(name));
        if (QFileInfo(link).isSymLink())
            QFile::remove(link);
    }
    root.removeRecursively();
}

// A test program that was killed leaves its root folder behind (its server dies with it). Folders
// of programs still running, ours or another developer's, stay.
void removeAbandonedRoots(const QString& base)
{
    const QDir dir(base);
    for (const QString& name :
         dir.entryList({kRootPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile owner(dir.filePath(name + QLatin1Char('/') + kOwnerFile));
        if (!owner.open(QIODevice::ReadOnly))
            continue;
        bool ok = false;
        const pid_t pid = owner.readAll().trimmed().toInt(&ok);
        owner.close();
        if (ok && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            removeServerRoot(dir.filePath(name));
    }
}

FirebirdServer* g_server = nullptr;
QString g_failure;  // a failed start is not retried; every test skips with this

}  // namespace

FirebirdServer* FirebirdServer::instance(QString* whyNot)
{
    static bool exitHook = false;
    if (!g_server)
        g_server = new FirebirdServer;
    if (!g_server->m_process && g_failure.isEmpty()) {
        QString error;
        if (!g_server->start(&error))
            g_failure = error.isEmpty() ? QStringLiteral("Firebird server did not start") : error;
        else if (!exitHook) {
            // Registered after the first start, when the statics QProcess relies on exist, so it
            // runs before they are destroyed.
            std::atexit([] { g_server->stop(); });
            exitHook = true;
        }
    }
    if (g_server->m_process)
        return g_server;
    if (whyNot)
        *whyNot = g_failure;
    return nullptr;
}

FirebirdServer::~FirebirdServer()
{
    stop();
}

QString FirebirdServer::connectionString(const QString& fileName) const
{
    return QStringLiteral("%1/%2:%3/%4").arg(host()).arg(m_port).arg(dataDir(), fileName);
}

bool FirebirdServer::start(QString* whyNot)
{
    m_serverBinary = findServerBinary();
    m_packageDir = findPackageDir();
    m_isql = findIsql();
    if (m_serverBinary.isEmpty() || m_packageDir.isEmpty() || m_isql.isEmpty()) {
        *whyNot = QStringLiteral(
            "Firebird 3 server not installed (need the firebird3.0-server and firebird3.0-utils "
            "packages: /usr/sbin/firebird, isql-fb and the engine plugins)");
        return false;
    }

    m_account = {};
    if (::geteuid() == 0) {
        // A server running as root could write anywhere; the package's own user is what it
        // runs as in production too.
        const passwd* pw = ::getpwnam("firebird");
        if (!pw) {
            *whyNot = QStringLiteral(
                "running as root, but there is no 'firebird' system user to run the server as");
            return false;
        }
        m_account = {true, pw->pw_uid, pw->pw_gid};
    }

    m_password = randomPassword();
    if (!prepareRoot(whyNot) || !prepareSecurityDatabase(whyNot)) {
        removeRoot();
        return false;
    }
    for (int attempt = 1; attempt <= kStartAttempts; ++attempt) {
        // Another program may grab the port between our probe and the server's bind; a fresh
        // port on the second try covers that.
        m_port = freeLoopbackPort();
        if (m_port == 0) {
            *whyNot = QStringLiteral("no free TCP port on 127.0.0.1");
            break;
        }
        if (!writeConfig(whyNot))
            break;
        if (launch(whyNot))
            return true;
    }
    removeRoot();
    return false;
}

bool FirebirdServer::prepareRoot(QString* whyNot)
{
    // The server's user must be able to reach the folder; a root-only TMPDIR would not do.
    const QString base = m_account.change ? QStringLiteral("/tmp") : QDir::tempPath();
    removeAbandonedRoots(base);
    QByteArray pattern = QFile::encodeName(base + QLatin1Char('/') + kRootPrefix + QStringLiteral("XXXXXX"));
    if (!::mkdtemp(pattern.data())) {
        *whyNot = QStringLiteral("cannot create a temporary folder in %1").arg(base);
        return false;
    }
    m_root = QFile::decodeName(pattern);
    ::chmod(pattern.constData(), 0755);

    QDir root(m_root);
    QFile owner(root.filePath(kOwnerFile));
    if (owner.open(QIODevice::WriteOnly))
        owner.write(QByteArray::number(::getpid()));
    owner.close();
    for (const char* sub : {"data", "lock", "tmp"}) {
        if (!root.mkdir(QString::fromLatin1(sub))) {
            *whyNot = QStringLiteral("cannot create %1/%2").arg(m_root, QString::fromLatin1(sub));
            return false;
        }
    }
    // The engine looks for these relative to its root (the FIREBIRD variable).
    for (const char* name : kLinkedFromPackage) {
        const QString target = m_packageDir + QLatin1Char('/') + QLatin1String(name);
        if (QFileInfo::exists(target))
            QFile::link(target, root.filePath(QLatin1String(name)));
    }
    // The character sets (WIN1250 among them) must be real files in the root:
    // the engine refuses its intl module when it is reached through a link.
    root.mkdir(QStringLiteral("intl"));
    QFile::copy(m_packageDir + QStringLiteral("/intl/libfbintl.so"), root.filePath(QStringLiteral("intl/libfbintl.so")));
    QFile::copy(m_packageDir + QStringLiteral("/intl/fbintl.conf"), root.filePath(QStringLiteral("intl/fbintl.conf")));
    // Registers the UDR engine; a copy so that nothing in the root points at /etc.
    QFile::copy(m_packageDir + QStringLiteral("/plugins.conf"),
                root.filePath(QStringLiteral("plugins.conf")));

    if (m_account.change) {
        for (const char* sub : {"", "/data", "/lock", "/tmp"}) {
            if (::chown(QFile::encodeName(m_root + QLatin1String(sub)).constData(), m_account.uid,
                        m_account.gid) != 0) {
                *whyNot =
                    QStringLiteral("cannot hand %1%2 to the firebird user").arg(m_root, QLatin1String(sub));
                return false;
            }
        }
    }
    return true;
}

bool FirebirdServer::prepareSecurityDatabase(QString* whyNot)
{
    const QString security = m_root + QStringLiteral("/security3.fdb");
    // The embedded setup reads the private configuration too; nothing listens yet, so no port.
    m_port = 0;
    if (!writeConfig(whyNot))
        return false;

    const QString setUser =
        QStringLiteral("create or alter user SYSDBA password '%1' using plugin Srp;\ncommit;\n")
            .arg(m_password);

    // The package's security database is the reference; when it is unreadable (not root) or the
    // copy is unusable, an empty database serves as well: the Srp plugin creates its table on the
    // first user.
    for (const QString& packaged : {QStringLiteral("/var/lib/firebird/3.0/system/security3.fdb"),
                                    m_packageDir + QStringLiteral("/security3.fdb")}) {
        if (!QFile::copy(packaged, security))
            continue;
        QFile::setPermissions(security,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
        if (m_account.change)
            ::chown(QFile::encodeName(security).constData(), m_account.uid, m_account.gid);
        QString ignored;
        if (runEmbeddedIsql({security}, setUser, &ignored))
            return true;
        QFile::remove(security);
    }
    return runEmbeddedIsql({}, QStringLiteral("create database '%1';\n").arg(security) + setUser, whyNot);
}

bool FirebirdServer::writeConfig(QString* whyNot)
{
    const QString security = m_root + QStringLiteral("/security3.fdb");
    // Everything not named keeps the engine's default (SuperServer, Srp authentication).
    const QString conf = QStringLiteral(
                             "RemoteServicePort = %1\n"
                             "RemoteBindAddress = 127.0.0.1\n"
                             "SecurityDatabase = %2\n"
                             "UdfAccess = None\n")
                             .arg(m_port)
                             .arg(security);
    const QString aliases = QStringLiteral("security.db = %1\n").arg(security);
    for (const auto& [name, text] : {std::pair{QStringLiteral("firebird.conf"), conf},
                                     std::pair{QStringLiteral("databases.conf"), aliases}}) {
        QFile file(m_root + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0) {
            *whyNot = QStringLiteral("cannot write %1").arg(file.fileName());
            return false;
        }
    }
    return true;
}

void FirebirdServer::configure(QProcess& process) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("FIREBIRD"), m_root);
    env.insert(QStringLiteral("FIREBIRD_LOCK"), m_root + QStringLiteral("/lock"));
    env.insert(QStringLiteral("FIREBIRD_TMP"), m_root + QStringLiteral("/tmp"));
    env.remove(QStringLiteral("FIREBIRD_MSG"));
    env.remove(QStringLiteral("ISC_USER"));
    env.remove(QStringLiteral("ISC_PASSWORD"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(m_root);

    const Account account = m_account;
    const pid_t parent = ::getpid();
    // Runs in the child between fork and exec: only async-signal-safe calls.
    process.setChildProcessModifier([account, parent] {
        if (account.change) {
            if (::setgroups(1, &account.gid) != 0 || ::setgid(account.gid) != 0 || ::setuid(account.uid) != 0)
                ::_exit(126);
        }
        // After the user change, which would clear it: a killed test program takes the server along.
        // SIGKILL, because a SIGTERM during start-up can leave the server hanging (see endProcess).
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(126);
    });
}

bool FirebirdServer::runEmbeddedIsql(const QStringList& args, const QString& script, QString* whyNot)
{
    QProcess isql;
    configure(isql);
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(m_isql, QStringList{QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("-user"),
                                   QStringLiteral("SYSDBA")} +
                           args);
    if (!isql.waitForStarted(kToolTimeoutMs)) {
        *whyNot = QStringLiteral("cannot run %1: %2").arg(m_isql, isql.errorString());
        return false;
    }
    isql.write(script.toUtf8());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(kToolTimeoutMs)) {
        isql.kill();
        isql.waitForFinished(kStopTimeoutMs);
        *whyNot = QStringLiteral("setting the SYSDBA password with isql did not finish in time");
        return false;
    }
    const QString output = QString::fromLocal8Bit(isql.readAll());
    if (isql.exitStatus() != QProcess::NormalExit || isql.exitCode() != 0 ||
        output.contains(QStringLiteral("SQLSTATE"))) {
        *whyNot =
            QStringLiteral("setting the SYSDBA password of the private server failed:\n%1").arg(tail(output));
        return false;
    }
    return true;
}

bool FirebirdServer::launch(QString* whyNot)
{
    auto process = std::make_unique<QProcess>();
    configure(*process);
    const QString log = m_root + QStringLiteral("/server.out");
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardOutputFile(log);
    // In the foreground, without the guardian: the child is the server itself, so stop() ends it.
    // No -p: the option would also make it listen on every address instead of RemoteBindAddress.
    process->start(m_serverBinary, {});
    if (!process->waitForStarted(kToolTimeoutMs)) {
        *whyNot = QStringLiteral("cannot run %1: %2").arg(m_serverBinary, process->errorString());
        return false;
    }

    const auto output = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? tail(QString::fromLocal8Bit(file.readAll())) : QString();
    };
    const QDeadlineTimer deadline(kListenTimeoutMs);
    while (!deadline.hasExpired()) {
        if (loopbackPortAccepts(m_port)) {
            m_process = std::move(process);
            return true;
        }
        if (process->waitForFinished(100) || process->state() == QProcess::NotRunning) {
            *whyNot =
                QStringLiteral("Firebird server exited at start (code %1); see %2 and /var/log/firebird\n%3")
                    .arg(process->exitCode())
                    .arg(m_serverBinary, output());
            return false;
        }
    }
    endProcess(*process);
    *whyNot = QStringLiteral("Firebird server did not listen on 127.0.0.1:%1 within %2 s\n%3")
                  .arg(m_port)
                  .arg(kListenTimeoutMs / 1000)
                  .arg(output());
    return false;
}

QString FirebirdServer::copyIn(const QString& localFile, const QString& fileName) const
{
    const QString target = dataDir() + QLatin1Char('/') + fileName;
    QFile::remove(target);
    if (!QFile::copy(localFile, target))
        return {};
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
    if (m_account.change && ::chown(QFile::encodeName(target).constData(), m_account.uid, m_account.gid) != 0)
        return {};
    return connectionString(fileName);
}

void FirebirdServer::kill()
{
    if (m_process) {
        endProcess(*m_process);
        m_process.reset();
    }
}

bool FirebirdServer::startAgain(QString* whyNot)
{
    return m_process || launch(whyNot);
}

bool FirebirdServer::restart(QString* whyNot)
{
    kill();
    return startAgain(whyNot);
}

void FirebirdServer::stop()
{
    if (m_process) {
        endProcess(*m_process);
        m_process.reset();
    }
    removeRoot();
}

void FirebirdServer::removeRoot()
{
    if (m_root.isEmpty())
        return;
    removeServerRoot(m_root);
    m_root.clear();
}
