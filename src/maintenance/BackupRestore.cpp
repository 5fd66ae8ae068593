#include "maintenance/BackupRestore.h"

#include "fb/Error.h"
#include "fb/Service.h"

#include <QDir>
#include <QRegularExpression>

namespace {

struct SplitPath {
    QString server;
    QString file;
};

SplitPath splitDatabasePath(const QString& path)
{
    static const QRegularExpression url(QStringLiteral("^inet[46]?://([^/:]+)(?::(\\d+))?/(.*)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = url.match(path); m.hasMatch()) {
        const QString port = m.captured(2);
        return {port.isEmpty() ? m.captured(1) : m.captured(1) + QLatin1Char('/') + port, m.captured(3)};
    }
    const qsizetype colon = path.indexOf(QLatin1Char(':'));
    // One letter before the colon is a drive; "host" or "host/port" a server.
    static const QRegularExpression server(QStringLiteral("^[A-Za-z0-9_-][A-Za-z0-9_.-]+(/[A-Za-z0-9_]+)?$"));
    if (colon <= 1 || !server.match(path.left(colon)).hasMatch())
        return {QString(), path};
    return {path.left(colon), path.mid(colon + 1)};
}

}  // namespace

QString ServerOfDatabasePath(const QString& databasePath)
{
    return splitDatabasePath(databasePath.trimmed()).server;
}

QString FileOfDatabasePath(const QString& databasePath)
{
    return splitDatabasePath(databasePath.trimmed()).file;
}

bool SameComputer(const QString& a, const QString& b)
{
    return a.trimmed().toUpper() == b.trimmed().toUpper();
}

ServiceSite ChooseServiceSite(const QString& databasePath, const QString& siteName, const QString& computerName)
{
    const QString server = ServerOfDatabasePath(databasePath);
    if (!server.isEmpty())
        return {server};
    return {SameComputer(siteName, computerName) || siteName.trimmed().isEmpty() ? QString() : siteName.trimmed()};
}

QString BackupFilePath(const QString& folder, const QString& fileName)
{
    return QDir::toNativeSeparators(folder + QLatin1Char('/') + fileName);
}

QString SafetyBackupPath(const QString& folder, const QDateTime& moment)
{
    return BackupFilePath(folder, QStringLiteral("Lindavo_pred_obnovenim_%1.fbk")
                                      .arg(moment.toString(QStringLiteral("yyyyMMdd_HHmmss"))));
}

bool IsDatabaseInUseError(const std::exception& error)
{
    const auto* e = dynamic_cast<const fb::Error*>(&error);
    if (!e)
        return false;
    // gbak: "could not drop database ... (database might be in use)"
    return e->hasCode(336330985);
}

namespace {

// gbak's last words of a run that went through; without them the output ended
// early. A backup cut off half-way makes the in-process engine ask on the
// console for the next volume and then end the restore without an error, the
// database half restored.
const QString kBackupDone = QStringLiteral("closing file, committing, and finishing");
const QString kRestoreDone = QStringLiteral("finishing, closing, and going home");

void readAll(fb::Service& service, const LineSink& onLine, const QString& lastWords, const QString& incomplete)
{
    QString line;
    bool done = false;
    while (service.nextLine(line)) {
        done = done || line.contains(lastWords);
        if (onLine)
            onLine(line);
    }
    if (!done)
        throw fb::Error(incomplete);
}

// Reading past damaged pages attaches in a mode the server grants only to the
// sole attachment; with anyone else working the backup is refused for it.
constexpr long kBadAttachDamaged = 335545085;

}  // namespace

void RunBackupService(fb::Service& service, const ServiceLogin& login, const QString& databaseFile,
                      const QString& backupFile, const LineSink& onLine)
{
    const QString incomplete = QStringLiteral("Zálohovanie sa neskončilo: server neohlásil jeho dokončenie.");
    fb::BackupOptions options;
    try {
        service.attach(login.site.server, login.user, login.password);
        service.startBackup(databaseFile, backupFile, options);
        readAll(service, onLine, kBackupDone, incomplete);
    } catch (const fb::Error& e) {
        if (!e.hasCode(kBadAttachDamaged))
            throw;
        // Others are attached: back up without ignoring checksums, as any online backup.
        service.detach();
        options.ignoreChecksums = false;
        service.attach(login.site.server, login.user, login.password);
        service.startBackup(databaseFile, backupFile, options);
        readAll(service, onLine, kBackupDone, incomplete);
    }
    service.detach();
}

void RunRestoreService(fb::Service& service, const ServiceLogin& login, const QString& backupFile,
                       const QString& databaseFile, const LineSink& onLine)
{
    service.attach(login.site.server, login.user, login.password);
    service.startRestore(backupFile, databaseFile);
    readAll(service, onLine, kRestoreDone,
            QStringLiteral("Obnovenie databázy sa neskončilo: server neohlásil jeho dokončenie "
                           "(záložný súbor je pravdepodobne neúplný alebo poškodený)."));
    service.detach();
}
