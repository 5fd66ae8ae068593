#pragma once

#include <QString>
#include <QTemporaryDir>

// Sends the per-user settings store and QStandardPaths to a fresh temporary
// folder for as long as it lives, so no test reads or writes the real home.
class TempSettings {
public:
    TempSettings();
    ~TempSettings();
    TempSettings(const TempSettings&) = delete;
    TempSettings& operator=(const TempSettings&) = delete;

    QString path() const { return m_dir.path(); }
    QString settingsFile() const;

private:
    QTemporaryDir m_dir;
    QString m_previousFile;
    bool m_previousTestMode = false;
};
