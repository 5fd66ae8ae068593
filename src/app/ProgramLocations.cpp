#include "app/ProgramLocations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kProgram = QStringLiteral("Lindavo");

// An XDG base folder: the variable when it holds an absolute path, else the
// fallback under home.
QString baseFolder(const QString& value, const QString& home, const QString& fallback)
{
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(home + QLatin1Char('/') + fallback);
}

QString join(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return QDir::toNativeSeparators(name);
    return QDir::toNativeSeparators(QDir::cleanPath(folder + QLatin1Char('/') + name));
}

}  // namespace

UserFolders UserFolders::fromEnvironment()
{
    UserFolders f;
    f.home = qEnvironmentVariable("HOME");
    if (f.home.isEmpty())
        f.home = QDir::homePath();
    f.configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    f.dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    f.stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    f.runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return f;
}

ProgramLocations LocateProgramFiles(const QString& executablePath, const UserFolders& user)
{
    const QFileInfo exe(executablePath);
    const QString exeDir = exe.absolutePath();
    const QString shared = QDir::cleanPath(exeDir + QLatin1Char('/') + QLatin1String(kSharedFolderFromBin));

    ProgramLocations l;
    l.installed = exe.dir().dirName() == QLatin1String("bin") && QFileInfo(shared).isDir();
    if (!l.installed) {
        // Everything beside the executable, named after it.
        const QString base = exe.suffix().isEmpty() ? exe.fileName() : exe.completeBaseName();
        l.configFile = join(exeDir, base + QStringLiteral(".ini"));
        l.database = join(exeDir, QStringLiteral("Data/Lindavo.fdb"));
        l.backups = join(exeDir, QStringLiteral("Zalohy"));
        l.reports = join(exeDir, QStringLiteral("Reports"));
        l.errorLog = join(exeDir, base + QStringLiteral("_Err.log"));
        l.backupState = join(exeDir, base + QStringLiteral("_Zalohy.ini"));
        return l;
    }
    const QString data = baseFolder(user.dataHome, user.home, QStringLiteral(".local/share")) + u'/' + kProgram;
    l.configFile = join(baseFolder(user.configHome, user.home, QStringLiteral(".config")) + u'/' + kProgram,
                        kProgram + QStringLiteral(".ini"));
    l.database = join(data, QStringLiteral("Data/Lindavo.fdb"));
    l.backups = join(data, QStringLiteral("Zalohy"));
    l.reports = join(data, QStringLiteral("Reports"));
    l.shippedReports = join(shared, QStringLiteral("Reports"));
    const QString state = baseFolder(user.stateHome, user.home, QStringLiteral(".local/state")) + u'/' + kProgram;
    l.errorLog = join(state, kProgram + QStringLiteral("_Err.log"));
    l.backupState = join(state, kProgram + QStringLiteral("_Zalohy.ini"));
    return l;
}

ProgramLocations LocateProgramFiles(const QString& executablePath)
{
    return LocateProgramFiles(executablePath, UserFolders::fromEnvironment());
}

QString EngineLockFolder(const UserFolders& user)
{
    const QString base = !user.runtimeDir.isEmpty() && QDir::isAbsolutePath(user.runtimeDir)
                             ? QDir::cleanPath(user.runtimeDir)
                             : baseFolder(user.stateHome, user.home, QStringLiteral(".local/state"));
    return join(base, kProgram + QStringLiteral("/firebird"));
}

void UseOwnEngineLockFolder(const UserFolders& user)
{
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK"))
        return;
    const QString folder = EngineLockFolder(user);
    // Only the user: the lock files tell which databases he has open.
    if (QDir().mkpath(folder))
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(folder));
}
