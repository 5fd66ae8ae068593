#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// The per-user settings store: window placements, remembered dialog positions,
// column orders and the like. An INI file in the user's configuration folder
// (AppConfigLocation + "/user-settings.ini"). Key paths are written as the
// program has always named them ("Software\Kovra\TRedMessageDlg"), starting
// from one of the roots in framework/SettingsRoots.h; the backslashes become
// QSettings group separators.

// A fresh settings object on the store. Each call reads the file anew, so
// values written through one object and synced are seen by the next.
std::unique_ptr<QSettings> userSettings();

// The file in use; setUserSettingsFile redirects it (tests use a temporary
// folder). An empty path restores the default location.
QString userSettingsFile();
void setUserSettingsFile(const QString& path);

// "Software\Kovra\TRedMessageDlg" -> "Software/Kovra/TRedMessageDlg".
QString settingsGroup(const QString& keyPath);

// Small helpers on one value under a key path. The readers return the default
// when the value is missing or (for ints) not a number; `found` tells which.
int readUserInt(const QString& keyPath, const QString& name, int defaultValue, bool* found = nullptr);
void writeUserInt(const QString& keyPath, const QString& name, int value);
QString readUserString(const QString& keyPath, const QString& name, const QString& defaultValue = {},
                       bool* found = nullptr);
void writeUserString(const QString& keyPath, const QString& name, const QString& value);
