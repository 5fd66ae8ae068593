#include "maintenance/BackupRestore.h"

#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Service.h"
#include "fb/Transaction.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

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

// ---------------------------------------------------------------------------
// Backups kept on this computer
// ---------------------------------------------------------------------------

namespace {

// The file a path names, with links and "." resolved as far as it exists.
QString resolvedPath(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
    return QDir::cleanPath((dir.isEmpty() ? info.absolutePath() : dir) + QLatin1Char('/') + info.fileName());
}

QString stamp(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("yyyyMMdd_HHmmss"));
}

QRegularExpression datedPattern(const QFileInfo& target)
{
    const QString suffix = target.suffix();
    return QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(target.completeBaseName()) +
                              QStringLiteral("_(\\d{8}_\\d{6})(?:_(\\d+))?") +
                              (suffix.isEmpty() ? QString() : QStringLiteral("\\.") + QRegularExpression::escape(suffix)) +
                              QStringLiteral("$"));
}

// The file written under a temporary name; removed unless it took its name.
class PartFile {
public:
    explicit PartFile(const QString& target)
    {
        const QFileInfo info(target);
        for (int i = 0;; ++i) {
            m_file.setFileName(info.dir().filePath(QStringLiteral(".%1.%2.part").arg(info.fileName()).arg(i)));
            // only a name nobody else has; never an existing file or link
            if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                break;
            if (m_file.exists() && i < 1000)
                continue;
            throw fb::Error(QStringLiteral("Záložný súbor sa nepodarilo vytvoriť v priečinku %1: %2")
                                .arg(QDir::toNativeSeparators(info.absolutePath()), m_file.errorString()));
        }
    }
    ~PartFile()
    {
        if (m_file.isOpen())
            m_file.close();
        if (!m_kept)
            QFile::remove(m_file.fileName());
    }
    void write(const char* data, qint64 size)
    {
        if (m_file.write(data, size) != size)
            throw fb::Error(QStringLiteral("Zápis záložného súboru zlyhal: %1").arg(m_file.errorString()));
    }
    // Everything on the disk before the file takes the name.
    void finish()
    {
        bool ok = m_file.flush();
#ifdef Q_OS_UNIX
        ok = ok && ::fsync(m_file.handle()) == 0;
#endif
        m_file.close();
        if (!ok || m_file.error() != QFileDevice::NoError)
            throw fb::Error(QStringLiteral("Zápis záložného súboru zlyhal: %1").arg(m_file.errorString()));
    }
    QString fileName() const { return m_file.fileName(); }
    void keep() { m_kept = true; }

private:
    QFile m_file;
    bool m_kept = false;
};

// A second name for the file that is replaced: the named file exists at every
// moment, the old backup stays whatever happens next.
bool keepUnder(const QString& from, const QString& to)
{
#ifdef Q_OS_UNIX
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
#endif
    return QFile::copy(from, to);
}

}  // namespace

QString BackupFileNameProblem(const QString& fileName, const QString& folder, const QString& databasePath)
{
    const QString name = fileName.trimmed();
    if (name.isEmpty())
        return QStringLiteral("Zadajte názov záložného súboru.");
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || name.contains(QStringLiteral("..")))
        return QStringLiteral("Názov záložného súboru môže byť len názov súboru v priečinku záloh, bez priečinka a "
                              "bez znakov \"/\", \"\\\" a \"..\". Opravte názov súboru.");
    const QString databaseFile = FileOfDatabasePath(databasePath);
    if (!databaseFile.isEmpty() && resolvedPath(folder + QLatin1Char('/') + fileName) == resolvedPath(databaseFile))
        return QStringLiteral("Záložný súbor nemôže byť samotná databáza programu. Zadajte iný názov súboru.");
    return {};
}

QString DatedCopyPath(const QString& target, const QDateTime& moment)
{
    const QFileInfo info(target);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString path = info.dir().filePath(info.completeBaseName() + QLatin1Char('_') + stamp(moment) + suffix);
    for (int i = 2; QFileInfo::exists(path); ++i)
        path = info.dir().filePath(info.completeBaseName() + QLatin1Char('_') + stamp(moment) +
                                   QStringLiteral("_%1").arg(i) + suffix);
    return path;
}

QStringList DatedCopies(const QString& target)
{
    const QFileInfo info(target);
    const QRegularExpression pattern = datedPattern(info);
    struct Copy {
        QString name;
        QString when;
        int number;
    };
    std::vector<Copy> copies;
    for (const QString& name : info.dir().entryList(QDir::Files | QDir::Hidden)) {
        const auto m = pattern.match(name);
        if (m.hasMatch())
            copies.push_back({name, m.captured(1), m.captured(2).isEmpty() ? 1 : m.captured(2).toInt()});
    }
    std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) {
        return a.when != b.when ? a.when > b.when : a.number > b.number;
    });
    QStringList out;
    for (const Copy& c : copies)
        out << info.dir().filePath(c.name);
    return out;
}

void PruneDatedCopies(const QString& target, int keep)
{
    const QStringList copies = DatedCopies(target);
    for (qsizetype i = std::max(keep, 0); i < copies.size(); ++i)
        QFile::remove(copies[i]);
}

QString BackupToFile(fb::Service& service, const ServiceLogin& login, const QString& databaseFile,
                     const QString& target, int keepCopies, const QDateTime& moment, const ProgressSink& progress)
{
    // What a backup cut off by a crash or a power cut left; a day old, it is
    // nobody's running backup (another workstation may be writing one now).
    const QFileInfo info(target);
    for (const QFileInfo& stale : info.dir().entryInfoList({QLatin1Char('.') + info.fileName() + QStringLiteral(".*.part")},
                                                           QDir::Files | QDir::Hidden))
        if (stale.lastModified().secsTo(QDateTime::currentDateTime()) > 24 * 3600)
            QFile::remove(stale.filePath());
    std::optional<PartFile> part(std::in_place, target);
    qint64 moved = 0;
    const auto sink = [&](const char* data, qint64 size) {
        part->write(data, size);
        moved += size;
        if (progress)
            progress(moved);
    };
    service.attach(login.site.server, login.user, login.password);
    try {
        service.streamBackup(databaseFile, {}, sink);
    } catch (const fb::Error& e) {
        if (!e.hasCode(kBadAttachDamaged))
            throw;
        // Others are attached: back up without ignoring checksums, as any online backup.
        service.detach();
        part.reset();
        part.emplace(target);
        moved = 0;
        fb::BackupOptions options;
        options.ignoreChecksums = false;
        service.attach(login.site.server, login.user, login.password);
        service.streamBackup(databaseFile, options, sink);
    }
    service.detach();
    if (moved == 0)
        throw fb::Error(QStringLiteral("Zálohovanie sa neskončilo: server neposlal žiadne údaje."));
    part->finish();

    QString dated;
    if (QFileInfo::exists(target)) {
        dated = DatedCopyPath(target, moment);
        if (!keepUnder(target, dated))
            throw fb::Error(QStringLiteral("Doterajší záložný súbor sa nepodarilo uchovať ako %1.")
                                .arg(QDir::toNativeSeparators(dated)));
    }
    // rename() replaces the name in one step: the target is never missing
    if (::rename(QFile::encodeName(part->fileName()).constData(), QFile::encodeName(target).constData()) != 0)
        throw fb::Error(QStringLiteral("Záložný súbor %1 sa nepodarilo nahradiť novým.")
                            .arg(QDir::toNativeSeparators(target)));
    part->keep();
#ifdef Q_OS_UNIX
    // the new name on the disk too, before older copies go
    const int dir = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
#endif
    PruneDatedCopies(target, keepCopies);
    return dated;
}

void RestoreFromFile(fb::Service& service, const ServiceLogin& login, const QString& backup,
                     const QString& databaseFile, const LineSink& onLine, const ProgressSink& progress,
                     QCryptographicHash* digest)
{
    QFile file(backup);
    if (!file.open(QIODevice::ReadOnly))
        throw fb::Error(QStringLiteral("Záložný súbor %1 sa nepodarilo otvoriť: %2")
                            .arg(QDir::toNativeSeparators(backup), file.errorString()));
    qint64 moved = 0;
    bool done = false;
    service.attach(login.site.server, login.user, login.password);
    service.streamRestore(
        databaseFile, {},
        [&](char* buffer, qint64 max) {
            const qint64 n = file.read(buffer, max);
            if (n > 0) {
                if (digest)
                    digest->addData(QByteArrayView(buffer, n));
                moved += n;
                if (progress)
                    progress(moved);
            }
            return n;
        },
        [&](const QString& line) {
            done = done || line.contains(kRestoreDone);
            if (onLine)
                onLine(line);
        });
    service.detach();
    if (!done)
        throw fb::Error(QStringLiteral("Obnovenie databázy sa neskončilo: server neohlásil jeho dokončenie "
                                       "(záložný súbor je pravdepodobne neúplný alebo poškodený)."));
}

QString TrialRestoreFile(const QString& databaseFile, const QDateTime& moment)
{
    // The server's own separator, whichever it is.
    const qsizetype cut = std::max(databaseFile.lastIndexOf(QLatin1Char('/')), databaseFile.lastIndexOf(QLatin1Char('\\')));
    return databaseFile.left(cut + 1) + QStringLiteral("Lindavo_skuska_obnovenia_%1.fdb").arg(stamp(moment));
}

QString DatabasePathOnSameServer(const QString& databasePath, const QString& file)
{
    const QString server = ServerOfDatabasePath(databasePath);
    return server.isEmpty() ? file : server + QLatin1Char(':') + file;
}

BackupCheck InspectRestoredDatabase(fb::Connection& connection, int supportedVersion)
{
    BackupCheck check;
    fb::Transaction t(connection, {"read", "read_committed", "rec_version", "nowait"});
    fb::Query q(t);
    t.start();
    // the tables every version of the program has had
    q.setSql(QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME in "
                            "('DATABASE_UPDATES', 'PREKLADY', 'ADRESAR', 'KOMBINACIE', 'PONUKY', 'NASTAVENIA')"));
    const int tables = q.executeScalar().toInt();
    q.close();
    if (tables == 6) {
        q.setSql(QStringLiteral("select max(VERSION) from DATABASE_UPDATES"));
        const QVariant v = q.executeScalar();
        q.close();
        check.version = v.isNull() ? 0 : v.toInt();
        check.content = check.version > supportedVersion ? BackupContent::Newer : BackupContent::Ours;
    }
    t.commit();
    return check;
}

QString ServiceErrorText(const fb::Error& error, bool restoring)
{
    const QString what = restoring ? QStringLiteral("Obnovenie databázy zlyhalo") : QStringLiteral("Zálohovanie zlyhalo");
    const QString detail = QStringLiteral("\r\n\r\nSpráva servera: ") + error.message();
    if (error.code() == 0)
        return what + QStringLiteral(": ") + error.message() +
               (restoring ? QString() : QStringLiteral("\r\nSkontrolujte miesto na disku a prístup do priečinka záloh a zálohovanie zopakujte."));
    switch (error.kind()) {
    case fb::ErrorKind::ConnectionLost:
        return what + QStringLiteral(", lebo sa prerušilo spojenie so serverom databázy.\r\nSkontrolujte, či server "
                                     "beží a sieť je dostupná, a činnosť zopakujte.");
    case fb::ErrorKind::LoginRefused:
        return what + QStringLiteral(", lebo server odmietol meno alebo heslo z konfigurácie programu (User_Name, "
                                     "Password v Lindavo.ini).\r\nOpravte ich alebo sa obráťte na správcu servera.");
    default:
        break;
    }
    // no rights for the service: a user other than the owner or the server's administrator
    if (error.hasCode(335544352) || error.hasCode(335544788))
        return what + QStringLiteral(", lebo používateľ z konfigurácie programu (User_Name v Lindavo.ini) na to "
                                     "nemá na serveri právo.\r\nZálohovanie a obnovenie môže spustiť len vlastník "
                                     "databázy alebo správca servera (SYSDBA): zadajte jeho meno a heslo do "
                                     "Lindavo.ini počítača, na ktorom zálohujete.") +
               detail;
    if (error.hasCode(335544344))
        return what + QStringLiteral(", lebo server nemohol pracovať so súborom databázy.\r\nSkontrolujte nastavenie "
                                     "Database a miesto na disku servera a činnosť zopakujte.") +
               detail;
    // the backup utility's own errors while reading the input: not a backup, or not whole
    if (restoring && error.code() >= 336330752 && error.code() < 336331776)
        return what + QStringLiteral(", lebo záložný súbor je neúplný, poškodený alebo nie je zálohou databázy.\r\n"
                                     "Databáza zostala nezmenená. Vyberte iný záložný súbor.") +
               detail;
    return what + QStringLiteral(".\r\nSkontrolujte, či server databázy beží a je dostupný, a činnosť zopakujte; "
                                 "ak chyba trvá, obráťte sa na správcu.") +
           detail;
}
