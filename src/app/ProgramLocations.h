#pragma once

#include <QString>

// Where the program keeps its files. Two ways to run it:
//
// - from its own folder (a build, a copy unpacked anywhere by hand): the
//   configuration, the database, the backups, the layouts and the error log
//   live beside the executable;
// - installed: the executable sits in a "bin" folder with "../share/lindavo"
//   beside it (the shipped layouts). Each user then has his own files in the
//   XDG folders: ~/.config/Lindavo/Lindavo.ini, ~/.local/share/Lindavo/Data,
//   .../Zalohy and .../Reports, ~/.local/state/Lindavo/Lindavo_Err.log (and
//   Lindavo_Zalohy.ini beside it).
//
// No file is created or read here beyond checking that the shipped folder
// exists, so the answer depends on the paths alone.
struct ProgramLocations {
    bool installed = false;
    QString configFile;     // Lindavo.ini
    QString database;       // the default of "Database": an embedded database file
    QString backups;        // the default of "Backups"
    QString reports;        // the default of "Reports": the user's layouts, written by the designer
    QString shippedReports; // the layouts that come with the program, read-only; empty when not installed
    QString errorLog;       // Lindavo_Err.log
    QString backupState;    // Lindavo_Zalohy.ini: the last verified backup of each database, beside the log
};

// The user's base folders. Empty members take the XDG fallbacks under home
// ($HOME/.config, $HOME/.local/share, $HOME/.local/state); a relative value
// is ignored, as the XDG rules ask.
struct UserFolders {
    QString home;
    QString configHome;  // XDG_CONFIG_HOME
    QString dataHome;    // XDG_DATA_HOME
    QString stateHome;   // XDG_STATE_HOME
    QString runtimeDir;  // XDG_RUNTIME_DIR; no fallback

    // From the environment of this process.
    static UserFolders fromEnvironment();
};

// The folder of installed shared files relative to the executable's folder.
inline constexpr char kSharedFolderFromBin[] = "../share/lindavo";

ProgramLocations LocateProgramFiles(const QString& executablePath, const UserFolders& user);
ProgramLocations LocateProgramFiles(const QString& executablePath);

// The folder for the embedded engine's lock files: Lindavo/firebird in the
// user's runtime folder, else in his state folder.
QString EngineLockFolder(const UserFolders& user);

// The embedded engine keeps its lock files in /tmp/firebird unless
// FIREBIRD_LOCK names another folder. The Firebird server package makes that
// folder for its own user only (0770 firebird), and one made by the first
// desktop user to start is not the next one's, so without FIREBIRD_LOCK each
// user gets EngineLockFolder(). Sharing is not lost: the engine locks a
// database file for one process at a time by the file itself. Call before
// the first database is opened.
void UseOwnEngineLockFolder(const UserFolders& user = UserFolders::fromEnvironment());
