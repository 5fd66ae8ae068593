#pragma once

#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QString>

#include <functional>

class MemTable;

namespace fb {
class Connection;
}

// Brings a database to the supported schema version by applying the scripts
// of the update package one by one. Each script runs in a transaction of its
// own together with its DATABASE_UPDATES row, so the version always equals the
// last committed script. The window and the command-line tool share this core.
class MigrationRunner {
public:
    MigrationRunner(fb::Connection& connection, const MemTable& package, int supportedVersion);

    // Receives each progress line (the window's list).
    std::function<void(const QString&)> addItem;

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

    fb::Connection& m_connection;
    const MemTable& m_package;
    int m_supported;
    bool m_translated = false;
    fb::Transaction m_transaction;  // server defaults: snapshot, read-write, wait
    fb::Query m_query;
    fb::Query m_script;  // no parameter scan: PSQL bodies pass unchanged
};
