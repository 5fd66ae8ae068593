#pragma once

#include "maintenance/fZalohovanie.h"
#include "register/fEPreklady.h"
#include "reports/ReportRequest.h"

class TfrmMain;

// The windows the main window opens, wired to the code lists, the report run
// and the backup window. Each takes what it needs (settings, connection,
// user) from the main window handed to it, never from whichever window is on
// top: while the register runs, the main window is hidden and another window
// is the application's main one.

// Installs every button's window into mainWindowTargets() and the code-list
// entry points the job editor and the rate editor use.
void InstallWindowTargets();

// The report run of the report dialogs: the layouts come from the configured
// reports folder, wherever the program was started from.
ReportRun ReportRunFor(TfrmMain& main);
// What the translation register needs: the user's abbreviation, the job
// editor's code lists and the report menu.
TfrmEPreklady::Windows RegisterWindowsFor(TfrmMain& main);
// The backup window's settings and connection.
ZalohovanieEnvironment BackupEnvironmentFor(TfrmMain& main);

class TAutomaticBackup;
// After each connect: shows the date of the newest verified backup and, at the
// first start of a day with AutomatickaZaloha on, starts the automatic backup.
void AutomaticBackupOnConnect(TfrmMain& main, TAutomaticBackup& runner);
// Writes a backup failure into the error log.
void LogBackupProblem(const QString& text);
