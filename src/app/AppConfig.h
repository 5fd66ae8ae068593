#pragma once

#include <QString>

struct ProgramLocations;

// The configuration file (beside the executable, or the user's own when the
// program is installed: ProgramLocations.h), section "Settings": plain
// "key=value" text that users edit by hand. Values are taken as written (a
// comma or a semicolon is part of the value), keys are found in any letter
// case. Missing or empty keys are written back with their defaults the moment
// they are read, so after the first start the file holds every key; the rest
// of the file (comments, order, other keys, line endings) stays as it was.
// The file holds the database password: it is written readable and writable
// by its owner only, and an older file of this user readable by others is made
// so when the connection settings are read.
struct ConnectionSettings {
    QString database;
    QString userName;
    QString password;
    QString reports;
    QString backups;
};

// The executable's path with its extension replaced by ".ini".
QString ConfigPathFor(const QString& executablePath);

// "1", "2", "-1" are true; "0", "abc", "" false.
bool IniBool(const QString& value);

// Reads ShiftForClose; an empty or missing value becomes "0".
bool ReadShiftForClose(const QString& iniPath);

// Reads Database, User_Name, Password, Reports, Backups in this order and writes
// the default of each that is empty. `executableDir` ends with a separator.
ConnectionSettings ReadConnectionSettings(const QString& iniPath, const QString& executableDir);
// The same with the defaults of the program's locations (ProgramLocations.h).
ConnectionSettings ReadConnectionSettings(const QString& iniPath, const ProgramLocations& locations);
// The same with the database, reports and backups of `defaults`.
ConnectionSettings ReadConnectionSettings(const QString& iniPath, const ConnectionSettings& defaults);

// BackupCopies: how many dated copies of replaced backups the backup window
// keeps beside the backup file; empty or missing becomes 5, an unreadable value
// counts as 5.
int ReadBackupCopies(const QString& iniPath);

// AutomatickaZaloha: whether the first start of a day backs the database up
// and verifies the backup. Empty or missing becomes "1" for a database of the
// embedded engine (a local file), "0" for a database on a server (its
// administrator backs it up there).
bool ReadAutomaticBackup(const QString& iniPath, const QString& databasePath);

// SupportEmail: where the exception dialog mails its reports; an empty or
// missing value becomes the maker's support mailbox.
QString ReadSupportEmail(const QString& iniPath);

// The three connection parameter lines.
QStringList ConnectionParams(const ConnectionSettings& settings);
