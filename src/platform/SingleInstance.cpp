#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {

constexpr int kConnectTimeoutMs = 2000;
const QByteArray kActivate = "activate\n";

}  // namespace

SingleInstance::SingleInstance(const QString& executablePath, QObject* parent)
    : QObject(parent), m_key(keyFor(executablePath))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::runtimeFolder()
{
    // XDG_RUNTIME_DIR, or a folder of this user's own that Qt creates (mode
    // 0700) and checks. When neither is there (Qt refuses a folder another
    // user owns), the user's own data folder: never the shared temporary one.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) {
        dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        QDir().mkpath(dir);
    }
    return dir;
}

QString SingleInstance::keyFor(const QString& executablePath)
{
    // The rule is case-insensitive; the path is made absolute and clean first.
    const QString path = QDir::cleanPath(QFileInfo(executablePath).absoluteFilePath()).toLower();
    const QByteArray hash = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
    // A full path: the socket lives in this user's folder, where no other
    // user can put a name that would stop the program at its start.
    return QDir(runtimeFolder()).filePath(QStringLiteral("lindavo-") + QString::fromLatin1(hash));
}

bool SingleInstance::claim()
{
    // Two simultaneous starts must not both become the first: the check and the
    // listen happen under a lock file named after the same key.
    m_lock = std::make_unique<QLockFile>(m_key + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(5000)) {
        // cannot serialise; fall through to the socket check, which still decides
    }

    QLocalSocket probe;
    probe.connectToServer(m_key);
    if (probe.waitForConnected(kConnectTimeoutMs)) {
        probe.write(kActivate);
        probe.waitForBytesWritten(kConnectTimeoutMs);
        probe.disconnectFromServer();
        m_lock->unlock();
        return false;
    }

    // No one answers: a name left by a crashed instance is removed before listening.
    QLocalServer::removeServer(m_key);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(m_key);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (s->readAll().contains("activate"))
                    emit activationRequested();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        }
    });
    m_lock->unlock();
    return true;
}
