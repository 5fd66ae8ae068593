#include "app/AppConfig.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace {

const QString kSection = QStringLiteral("Settings/");

// Reads a key; when missing or empty, writes `fallback` and returns it.
QString readOrDefault(QSettings& ini, const QString& key, const QString& fallback)
{
    const QString value = ini.value(kSection + key).toString();
    if (!value.isEmpty())
        return value;
    ini.setValue(kSection + key, fallback);
    ini.sync();
    return fallback;
}

}  // namespace

QString ConfigPathFor(const QString& executablePath)
{
    const QFileInfo fi(executablePath);
    const QString base = fi.suffix().isEmpty() ? fi.fileName() : fi.completeBaseName();
    return fi.dir().filePath(base + QStringLiteral(".ini"));
}

bool IniBool(const QString& value)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    return ok && n != 0;
}

bool ReadShiftForClose(const QString& iniPath)
{
    QSettings ini(iniPath, QSettings::IniFormat);
    return IniBool(readOrDefault(ini, QStringLiteral("ShiftForClose"), QStringLiteral("0")));
}

ConnectionSettings ReadConnectionSettings(const QString& iniPath, const QString& executableDir)
{
    QSettings ini(iniPath, QSettings::IniFormat);
    const QString dir = QDir::toNativeSeparators(executableDir);
    ConnectionSettings s;
    s.database = readOrDefault(ini, QStringLiteral("Database"),
                               dir + QStringLiteral("Data") + QDir::separator() + QStringLiteral("Lindavo.fdb"));
    s.userName = readOrDefault(ini, QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
    s.password = readOrDefault(ini, QStringLiteral("Password"), QStringLiteral("pinebrook"));
    s.reports = readOrDefault(ini, QStringLiteral("Reports"), dir + QStringLiteral("Reports"));
    s.backups = readOrDefault(ini, QStringLiteral("Backups"), dir + QStringLiteral("Zalohy"));
    return s;
}

QStringList ConnectionParams(const ConnectionSettings& settings)
{
    return {QStringLiteral("USER_NAME=") + settings.userName, QStringLiteral("PASSWORD=") + settings.password,
            QStringLiteral("lc_ctype=WIN1250")};
}
