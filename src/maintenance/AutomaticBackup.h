#pragma once

#include "maintenance/BackupVerification.h"

#include <QDate>
#include <QObject>

#include <atomic>
#include <memory>
#include <thread>

// What the automatic backup of one database needs.
struct AutomaticBackupSettings {
    BackupJob job;          // its `cancel` is the runner's own
    QString target;         // the backup file: backups folder + the backup window's file name
    int keepCopies = 5;
    QString stateFile;      // BackupState.h
};

// The daily backup: at the first start of a day the backup is made and
// verified in a thread of its own while the program is used as usual. The
// outcome goes to the state file from that thread (it survives a program that
// ends right after) and then to finished() in the thread of this object.
class TAutomaticBackup : public QObject {
    Q_OBJECT
public:
    explicit TAutomaticBackup(QObject* parent = nullptr);
    // Stops a running backup and waits for it.
    ~TAutomaticBackup() override;

    // Starts unless a backup runs or the automatic one already ran on `today`
    // (a run that was stopped does not count). True when it started.
    bool startIfDue(const AutomaticBackupSettings& settings, const QDate& today, const QDateTime& moment);
    bool running() const { return m_running; }
    // Asks the running backup to stop and waits for it: its temporary file and
    // database go, nothing is recorded, finished() does not come.
    void stop();
    // True once stop() asked (the worker sees it at its next block of data).
    bool stopRequested() const { return m_cancel.load(); }

    // The program's one, for the windows that must wait for it; null when none.
    static TAutomaticBackup* instance();
    static void setInstance(TAutomaticBackup* runner);

signals:
    void started();
    void finished(const VerifiedBackup& result);

private:
    void join();

    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    bool m_running = false;
};
