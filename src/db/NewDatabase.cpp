#include "db/NewDatabase.h"

#include "db/BaseSchema.h"
#include "db/MemTable.h"
#include "db/MigrationRunner.h"
#include "db/UpdatePackage.h"
#include "fb/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

NewDatabaseResult MigrateToCurrent(fb::Connection& connection, int supportedVersion,
                                   const std::function<void(const QString&)>& message)
{
    NewDatabaseResult result;
    MemTable package;
    if (!loadUpdatePackage(package, &result.detail)) {
        result.outcome = NewDatabaseResult::PackageDamaged;
        return result;
    }
    MigrationRunner runner(connection, package, supportedVersion);
    // A database error is not translated: it reaches the caller with its code.
    runner.showError = message;
    runner.showMessage = message;
    const MigrationRunner::PassResult pass = runner.RunPass();
    result.version = runner.ZistiVerziu();
    if (pass != MigrationRunner::PassResult::Completed || result.version != supportedVersion)
        result.outcome = NewDatabaseResult::MigrationStopped;
    return result;
}

NewDatabaseResult CreateCurrentDatabase(const QString& path, const QString& user, const QString& password,
                                        int supportedVersion, const std::function<void(const QString&)>& message)
{
    const bool local = IsLocalDatabasePath(path);
    if (local)
        QDir().mkpath(QFileInfo(path).absolutePath());
    bool created = false;
    try {
        CreateBaseDatabase(path, user, password);
        created = true;
        fb::Connection c;
        c.open(path, {QStringLiteral("USER_NAME=") + user, QStringLiteral("PASSWORD=") + password,
                      QStringLiteral("lc_ctype=WIN1250")});
        NewDatabaseResult result = MigrateToCurrent(c, supportedVersion, message);
        c.close();
        if (result.outcome != NewDatabaseResult::Completed && local)
            QFile::remove(path);
        return result;
    } catch (...) {
        if (created && local)
            QFile::remove(path);
        throw;
    }
}

bool IsLocalDatabasePath(const QString& path)
{
    const qsizetype colon = path.indexOf(QLatin1Char(':'));
    if (colon < 0 || path.startsWith(QLatin1Char('/')))
        return true;
    // "C:\..." or "C:/...": a drive, not a host of one letter.
    return colon == 1 && path.size() > 2 && (path[2] == QLatin1Char('\\') || path[2] == QLatin1Char('/'));
}
