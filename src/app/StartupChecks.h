#pragma once

#include <QString>

#include <functional>

namespace fb {
class Error;
class Query;
class Transaction;
}  // namespace fb

// Accepts server function library versions 1.4 and newer ("1.10", "2.0").
bool IsLibraryVersionAccepted(const QString& versionText);

// Asks the server function library for its version; any error counts as not accepted.
bool Kontrola_Kovra_UDF(fb::Transaction& transaction, fb::Query& query);

// What happens after the connection opened: version checks, migration, the
// library check and the login. The migration and login are passed in so later
// windows plug in and tests can stand in for them.
struct AfterConnectSteps {
    std::function<bool()> migrate;  // shows the migration window; false ends the application
    // The database is accepted (version and library): the first moment it may
    // be changed. A refused database is left as it was.
    std::function<void()> accepted;
    std::function<bool()> login;  // true when a user logged in
};

enum class StartupOutcome { Continue, Terminate };

StartupOutcome AfterConnect(fb::Transaction& transaction, fb::Query& query, unsigned short supportedVersion,
                            const AfterConnectSteps& steps);

// What the user reads when the configured database cannot be opened: which
// database, why (no such file, the server does not answer, the login was
// refused, or the server's own words) and where the setting is.
QString DatabaseOpenFailureText(const fb::Error& error, const QString& database, const QString& iniPath);
