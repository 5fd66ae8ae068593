#include "maintenance/AutomaticBackup.h"

#include "maintenance/BackupState.h"

#include <QDir>
#include <QFileInfo>

namespace {
TAutomaticBackup* g_instance = nullptr;
}

TAutomaticBackup::TAutomaticBackup(QObject* parent) : QObject(parent) {}

TAutomaticBackup::~TAutomaticBackup()
{
    stop();
    if (g_instance == this)
        g_instance = nullptr;
}

TAutomaticBackup* TAutomaticBackup::instance()
{
    return g_instance;
}

void TAutomaticBackup::setInstance(TAutomaticBackup* runner)
{
    g_instance = runner;
}

void TAutomaticBackup::join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void TAutomaticBackup::stop()
{
    m_cancel = true;
    join();
    m_running = false;
}

bool TAutomaticBackup::startIfDue(const AutomaticBackupSettings& settings, const QDate& today, const QDateTime& moment)
{
    if (m_running)
        return false;
    join();  // a finished run's thread
    BackupStateFile state(settings.stateFile, settings.job.databasePath);
    if (!state.automaticDue(today))
        return false;
    m_cancel = false;
    m_running = true;
    emit started();
    m_thread = std::thread([this, settings, today, moment] {
        BackupJob job = settings.job;
        job.cancel = &m_cancel;
        VerifiedBackup result;
        result.moment = moment;
        result.file = settings.target;
        try {
            const QString folder = QFileInfo(settings.target).absolutePath();
            if (!QDir().mkpath(folder)) {
                result.problem = QStringLiteral("Priečinok záloh %1 sa nepodarilo vytvoriť.")
                                     .arg(QDir::toNativeSeparators(folder));
            } else {
                if (ServerOfDatabasePath(job.databasePath).isEmpty())
                    RemoveStaleTrialDatabases(job.databaseFile);
                result = MakeVerifiedBackup(job, settings.target, settings.keepCopies, moment);
            }
            BackupStateFile(settings.stateFile, job.databasePath).recordAutomatic(result, today, result.replaced);
        } catch (const BackupCancelled&) {
            return;  // the program is ending: nothing to tell
        } catch (const std::exception& e) {
            result.problem = QStringLiteral("Automatické zálohovanie zlyhalo: %1").arg(QString::fromLocal8Bit(e.what()));
            BackupStateFile(settings.stateFile, job.databasePath).recordAutomatic(result, today, {});
        }
        // Posted to this object's thread; the destructor joins this thread
        // first, and the event dies with the object.
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                m_running = false;
                emit finished(result);
            },
            Qt::QueuedConnection);
    });
    return true;
}
