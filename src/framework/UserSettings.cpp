#include "framework/UserSettings.h"

#include <QStandardPaths>

namespace {
QString g_fileOverride;
}

QString userSettingsFile()
{
    if (!g_fileOverride.isEmpty())
        return g_fileOverride;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/user-settings.ini");
}

void setUserSettingsFile(const QString& path)
{
    g_fileOverride = path;
}

std::unique_ptr<QSettings> userSettings()
{
    return std::make_unique<QSettings>(userSettingsFile(), QSettings::IniFormat);
}

QString settingsGroup(const QString& keyPath)
{
    QString group = keyPath;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return group;
}

int readUserInt(const QString& keyPath, const QString& name, int defaultValue, bool* found)
{
    auto settings = userSettings();
    settings->beginGroup(settingsGroup(keyPath));
    const QVariant value = settings->value(name);
    bool ok = false;
    const int number = value.isValid() ? value.toString().trimmed().toInt(&ok) : 0;
    if (found)
        *found = ok;
    return ok ? number : defaultValue;
}

void writeUserInt(const QString& keyPath, const QString& name, int value)
{
    auto settings = userSettings();
    settings->beginGroup(settingsGroup(keyPath));
    settings->setValue(name, value);
}

QString readUserString(const QString& keyPath, const QString& name, const QString& defaultValue, bool* found)
{
    auto settings = userSettings();
    settings->beginGroup(settingsGroup(keyPath));
    const QVariant value = settings->value(name);
    if (found)
        *found = value.isValid();
    return value.isValid() ? value.toString() : defaultValue;
}

void writeUserString(const QString& keyPath, const QString& name, const QString& value)
{
    auto settings = userSettings();
    settings->beginGroup(settingsGroup(keyPath));
    settings->setValue(name, value);
}
