#include "maintenance/BackupVerification.h"

#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Service.h"
#include "fb/Transaction.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <optional>

const QStringList& CountedTables()
{
    // jobs, contacts, contact rates, language combinations, units, users
    static const QStringList tables = {QStringLiteral("PREKLADY"),           QStringLiteral("ADRESAR"),
                                       QStringLiteral("KOMBINACIE"),         QStringLiteral("JAZYKOVE_KOMBINACIE"),
                                       QStringLiteral("MERNE_JEDNOTKY"),     QStringLiteral("UZIVATELIA")};
    return tables;
}

DatabaseCounts ReadDatabaseCounts(fb::Transaction& transaction, int supportedVersion)
{
    DatabaseCounts counts;
    fb::Query q(transaction);
    // the tables every version of the program has had
    q.setSql(QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME in "
                            "('DATABASE_UPDATES', 'PREKLADY', 'ADRESAR', 'KOMBINACIE', 'PONUKY', 'NASTAVENIA')"));
    const bool ours = q.executeScalar().toInt() == 6;
    q.close();
    if (!ours)
        return counts;
    q.setSql(QStringLiteral("select max(VERSION) from DATABASE_UPDATES"));
    const QVariant v = q.executeScalar();
    q.close();
    counts.version = v.isNull() ? 0 : v.toInt();
    counts.content = counts.version > supportedVersion ? BackupContent::Newer : BackupContent::Ours;
    for (const QString& table : CountedTables()) {
        q.setSql(QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = :NAME"));
        q.setParam(QStringLiteral("NAME"), table);
        const bool exists = q.executeScalar().toInt() > 0;
        q.close();
        if (!exists)
            continue;
        // a name of the fixed list above, never a user's text
        q.setSql(QStringLiteral("select count(*) from ") + table);
        counts.rows.insert(table, q.executeScalar().toLongLong());
        q.close();
    }
    return counts;
}

namespace {

QString rowsText(qint64 n)
{
    return QLocale(QLocale::Slovak, QLocale::Slovakia).toString(n);
}

QString contentProblem(const DatabaseCounts& restored)
{
    switch (restored.content) {
    case BackupContent::Ours:
        return {};
    case BackupContent::Foreign:
        return QStringLiteral("Obnovená kópia nie je databázou tohto programu.");
    case BackupContent::Newer:
        return QStringLiteral("Obnovená kópia je z novšej verzie programu (verzia databázy %1).").arg(restored.version);
    }
    return {};
}

QString versionProblem(const DatabaseCounts& restored, int live)
{
    if (restored.version == live)
        return {};
    return QStringLiteral("Tabuľka aktualizácií obnovenej kópie končí verziou %1, databáza verziou %2.")
        .arg(restored.version)
        .arg(live);
}

}  // namespace

QString CompareWithLive(const DatabaseCounts& restored, const DatabaseCounts& before, const DatabaseCounts& after)
{
    if (QString p = contentProblem(restored); !p.isEmpty())
        return p;
    if (QString p = versionProblem(restored, before.version); !p.isEmpty())
        return p;
    QStringList lines;
    for (const QString& table : CountedTables()) {
        if (!before.rows.contains(table) && !after.rows.contains(table))
            continue;
        const qint64 b = before.rows.value(table, after.rows.value(table));
        const qint64 a = after.rows.value(table, b);
        const qint64 r = restored.rows.value(table, -1);
        if (r < 0) {
            lines << QStringLiteral("%1: v obnovenej kópii tabuľka chýba.").arg(table);
            continue;
        }
        if (r >= std::min(a, b) && r <= std::max(a, b))
            continue;
        const QString live = a == b ? rowsText(b) : QStringLiteral("%1 až %2").arg(rowsText(std::min(a, b)), rowsText(std::max(a, b)));
        lines << QStringLiteral("%1: v obnovenej kópii %2 riadkov, v databáze %3.").arg(table, rowsText(r), live);
    }
    if (lines.isEmpty())
        return {};
    return QStringLiteral("Počty riadkov obnovenej kópie sa nezhodujú s databázou:\r\n") + lines.join(QStringLiteral("\r\n"));
}

QString CompareWithRecorded(const DatabaseCounts& restored, const DatabaseCounts& recorded)
{
    return CompareWithLive(restored, recorded, recorded);
}

namespace {

void checkCancel(const BackupJob& job)
{
    if (job.cancel && job.cancel->load())
        throw BackupCancelled();
}

ProgressSink progressOf(const BackupJob& job)
{
    return [&job](qint64 bytes) {
        checkCancel(job);
        if (job.onProgress) {
            job.onProgress(bytes);
            checkCancel(job);
        }
    };
}

}  // namespace

RestoredCopy RestoreAndCount(const BackupJob& job, fb::Service& service, const QString& backupFile,
                             const QDateTime& moment)
{
    const QString trial = TrialRestoreFile(job.databaseFile, moment);
    const QString trialPath = DatabasePathOnSameServer(job.databasePath, trial);
    const auto drop = [&] {
        try {
            service.detach();
        } catch (const std::exception&) {
        }
        try {
            fb::Connection::dropDatabase(trialPath, job.login.user, job.login.password);
        } catch (const std::exception&) {
            // a half-made file the engine cannot open; on this computer it goes as a file
            if (ServerOfDatabasePath(job.databasePath).isEmpty())
                QFile::remove(trial);
        }
    };
    RestoredCopy copy;
    QCryptographicHash digest(QCryptographicHash::Sha256);
    try {
        RestoreFromFile(service, job.login, backupFile, trial, job.onLine, progressOf(job), &digest);
        checkCancel(job);
        fb::Connection restored;
        restored.open(trialPath, job.params);
        {
            fb::Transaction t(restored, {"read", "concurrency", "nowait"});
            t.start();
            copy.counts = ReadDatabaseCounts(t, job.supportedVersion);
            t.commit();
        }
        restored.close();
    } catch (...) {
        drop();
        throw;
    }
    drop();
    copy.digest = digest.result();
    return copy;
}

VerifiedBackup MakeVerifiedBackup(const BackupJob& job, const QString& target, int keepCopies,
                                  const QDateTime& moment)
{
    VerifiedBackup result;
    result.moment = moment;
    result.file = target;
    fb::Service service;
    DatabaseCounts before;
    DatabaseCounts after;
    try {
        // Two snapshots bracket the backup's own: one started before the
        // service, one at the first bytes it sends (its transaction has begun
        // by then). Firebird cannot share the backup's snapshot, so the copy
        // is held against both.
        fb::Connection live;
        live.open(job.databasePath, job.params);
        fb::Transaction first(live, {"read", "concurrency", "nowait"});
        fb::Transaction second(live, {"read", "concurrency", "nowait"});
        first.start();
        const ProgressSink progress = progressOf(job);
        result.replaced = BackupToFile(service, job.login, job.databaseFile, target, keepCopies, moment, [&](qint64 bytes) {
            if (!second.isActive())
                second.start();
            progress(bytes);
        });
        if (!second.isActive())
            second.start();
        before = ReadDatabaseCounts(first, job.supportedVersion);
        first.commit();
        after = ReadDatabaseCounts(second, job.supportedVersion);
        second.commit();
        live.close();
    } catch (const fb::Error& e) {
        try {
            service.detach();
        } catch (const std::exception&) {
        }
        result.problem = ServiceErrorText(e, false);
        return result;
    } catch (const BackupCancelled&) {
        try {
            service.detach();
        } catch (const std::exception&) {
        }
        throw;
    }
    result.backedUp = true;
    result.size = QFileInfo(target).size();
    try {
        const RestoredCopy copy = RestoreAndCount(job, service, target, moment);
        result.counts = copy.counts;
        result.digest = copy.digest;
    } catch (const fb::Error& e) {
        result.problem = QStringLiteral("Záložný súbor sa nepodarilo skúšobne obnoviť, záloha nie je použiteľná.\r\n"
                                        "Správa servera: ") +
                         e.message();
        return result;
    }
    result.problem = CompareWithLive(result.counts, before, after);
    result.verified = result.problem.isEmpty();
    return result;
}

void RemoveStaleTrialDatabases(const QString& databaseFile)
{
    const QFileInfo info(databaseFile);
    for (const QFileInfo& stale :
         info.dir().entryInfoList({QStringLiteral("Lindavo_skuska_obnovenia_*.fdb")}, QDir::Files))
        if (stale.lastModified().secsTo(QDateTime::currentDateTime()) > 24 * 3600)
            QFile::remove(stale.filePath());
}
