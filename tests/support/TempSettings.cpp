#include "support/TempSettings.h"

#include "framework/UserSettings.h"

#include <QStandardPaths>

TempSettings::TempSettings()
    : m_previousFile(userSettingsFile()), m_previousTestMode(QStandardPaths::isTestModeEnabled())
{
    QStandardPaths::setTestModeEnabled(true);
    setUserSettingsFile(settingsFile());
}

TempSettings::~TempSettings()
{
    setUserSettingsFile(m_previousFile);
    QStandardPaths::setTestModeEnabled(m_previousTestMode);
}

QString TempSettings::settingsFile() const
{
    return m_dir.filePath(QStringLiteral("user-settings.ini"));
}
