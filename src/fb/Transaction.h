#pragma once

#include <QStringList>

#include <memory>

namespace fb {

class Connection;

// A transaction built from parameter lines as windows name them ("read_committed",
// "rec_version", "read", "write", "nowait", "wait", "concurrency",
// "lock_timeout=5", ...; an "isc_tpb_" prefix is accepted). No lines means the
// server's defaults (snapshot, read-write, wait). Rolls back on destruction when
// still active; never copied.
class Transaction {
public:
    explicit Transaction(Connection& connection, QStringList params = {});
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    Connection& connection() const { return m_connection; }

    // Takes effect at the next start(). Unknown names throw fb::Error at start().
    void setParams(const QStringList& params) { m_params = params; }
    const QStringList& params() const { return m_params; }

    void start();
    void commit();
    void commitRetaining();
    void rollback();
    void rollbackRetaining();
    bool isActive() const;

    struct Impl;
    Impl* impl() const { return d.get(); }

private:
    Connection& m_connection;
    QStringList m_params;
    std::unique_ptr<Impl> d;
};

}  // namespace fb
