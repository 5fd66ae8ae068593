#pragma once

#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QString>

#include <exception>
#include <functional>

class MemTable;

namespace fb {
class Connection;
}

// Brings a database to the supported schema version by applying the scripts
// of the update package one by one. Each script runs in a transaction of its
// own together with its DATABASE_UPDATES row, so the version always equals the
// last committed script. The window and the command-line tool share this core;
// it shows nothing itself, so that the tool needs no widgets.
class MigrationRunner {
public:
    MigrationRunner(fb::Connection& connection, const MemTable& package, int supportedVersion);

    // How a pass speaks to the person running it. The window shows the lines
    // in its list, the messages as dialogs and hands database errors to the
    // error translation (ReportThroughDialogs in db/fUpdate.h). Unset, the
    // runner stays silent and every database error reaches the caller.
    // Each progress line (the window's list).
    std::function<void(const QString&)> addItem;
    // The database cannot be updated as it is (a red error dialog).
    std::function<void(const QString&)> showError;
    // A plain message: a script missing from the package, a failed statement.
    std::function<void(const QString&)> showMessage;
    // Tells the user about a database error; true when it did (the pass then
    // ends as failed), false when the error must reach the caller.
    std::function<bool(const std::exception&)> reportError;

    int ZistiVerziu();
    // Applies script n; true when it is applied now or was before.
    bool UpdateDatabase(int n);

    enum class PassResult { Completed, OtherUsers, Failed };
    // One press of the button: the attached-users check, then the missing
    // scripts in order. A database error that the error translation does not
    // handle propagates (after the closing line).
    PassResult RunPass();

private:
    void add(const QString& line);
    bool reported(const std::exception& error);

    fb::Connection& m_connection;
    const MemTable& m_package;
    int m_supported;
    bool m_translated = false;
    fb::Transaction m_transaction;  // server defaults: snapshot, read-write, wait
    fb::Query m_query;
    fb::Query m_script;  // no parameter scan: PSQL bodies pass unchanged
};
