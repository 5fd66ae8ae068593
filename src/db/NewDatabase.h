#pragma once

#include <QString>

#include <functional>

namespace fb {
class Connection;
}

// A new database brought to the program's schema: the version-0 schema, then
// every script of the update package (which also adds the administrator).
// dbinit --migrate and the program's first start share this.
struct NewDatabaseResult {
    enum Outcome { Completed, PackageDamaged, MigrationStopped };
    Outcome outcome = Completed;
    int version = 0;   // the schema version reached
    QString detail;    // PackageDamaged: what is wrong with the package
};

// Applies the update package to an open database until `supportedVersion`.
// `message` receives the runner's messages (no one answers them). Database
// errors propagate as fb::Error.
NewDatabaseResult MigrateToCurrent(fb::Connection& connection, int supportedVersion,
                                   const std::function<void(const QString&)>& message = {});

// Creates the database file `path` (its folder too, for a local path) and
// migrates it. Anything short of Completed, and any error thrown, removes the
// local file again, so that a later start does not meet a half-made database.
NewDatabaseResult CreateCurrentDatabase(const QString& path, const QString& user, const QString& password,
                                        int supportedVersion,
                                        const std::function<void(const QString&)>& message = {});

// True for a path the embedded engine opens (a local file), false for a
// server's "host:path" or "host/port:path". An absolute path and a drive
// letter ("C:\...") are local.
bool IsLocalDatabasePath(const QString& path);
