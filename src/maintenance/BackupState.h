#pragma once

#include "maintenance/BackupVerification.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

// What the program remembers about the backups of one database: when the
// newest verified backup was taken, how the last check ended, on which day the
// automatic backup last ran, and the content of its recent backups (so a later
// check of such a file knows what it must hold). Kept in a small file of this
// computer beside the error log, one section per database: not in the
// database, which must not take the news of its own failure with it, and not
// in the backups folder, which may be the thing that cannot be written.
struct BackupStatus {
    QDateTime lastVerified;      // invalid: no verified backup yet
    QString lastVerifiedFile;
    QDateTime lastCheck;         // invalid: never checked
    bool lastCheckFailed = false;
    QString lastProblem;
    QDate lastAutomaticDay;
};

// Red when there is no verified backup, when the newest is more than seven
// days older than `today`, or when the last check failed.
bool BackupStatusAlarming(const BackupStatus& status, const QDate& today);
// The main window's line.
QString BackupStatusText(const BackupStatus& status);

struct BackupRecord {
    QString file;
    QDateTime moment;
    QByteArray digest;
    DatabaseCounts counts;
};

class BackupStateFile {
public:
    // `databasePath` as configured: each database has its own section.
    BackupStateFile(QString stateFile, QString databasePath);

    BackupStatus status() const;
    // True unless an automatic backup already ran (with either outcome) on `today`.
    bool automaticDue(const QDate& today) const;

    // The outcome of an automatic backup run on `day`. `replaced` is the dated
    // name the previous file of the same name took (its record follows it).
    void recordAutomatic(const VerifiedBackup& result, const QDate& day, const QString& replaced = {});
    // A new backup took `file`'s name, the file that had it took `dated`:
    // what was recorded for the file follows it.
    void recordReplaced(const QString& file, const QString& dated);
    // The outcome of a check asked for on `file`; it decides the status only
    // for the newest verified backup.
    void recordCheck(const QString& file, bool ok, const QString& problem, const QDateTime& when);

    // A backup of this database made and verified by the program, by content.
    std::optional<BackupRecord> recordByDigest(const QByteArray& digest) const;
    // The same by file name (what a file of that name held when it was verified).
    std::optional<BackupRecord> recordByFile(const QString& file) const;

    const QString& path() const { return m_path; }

private:
    QString m_path;
    QString m_databasePath;
    QString m_group;
};

// A check of a chosen backup file: restored into a temporary database and
// held against what the program recorded when it verified that backup, or,
// for a file it has no record of, against the live database now.
struct BackupFileCheck {
    enum Verdict {
        Verified,    // restores and holds what it must
        Failed,      // does not restore, is damaged, or lost rows
        Restorable,  // restores, but nothing tells what it should hold
    } verdict = Failed;
    QString text;  // Slovak, for the user
    DatabaseCounts counts;
};
BackupFileCheck CheckBackupFile(const BackupJob& job, fb::Service& service, const QString& file,
                                const QDateTime& moment, const BackupStateFile& state,
                                const std::function<DatabaseCounts()>& liveCounts);
