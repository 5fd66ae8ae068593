#include "fb/Transaction.h"

#include "fb/ConnectionImpl.h"

#include <QHash>

namespace fb {

using namespace Firebird;
using detail::call;
using detail::Ref;

namespace {

// Transaction parameter names as windows write them, mapped to TPB tags.
const QHash<QString, int>& tpbTags()
{
    static const QHash<QString, int> tags = {
        {QStringLiteral("consistency"), isc_tpb_consistency},
        {QStringLiteral("concurrency"), isc_tpb_concurrency},
        {QStringLiteral("shared"), isc_tpb_shared},
        {QStringLiteral("protected"), isc_tpb_protected},
        {QStringLiteral("exclusive"), isc_tpb_exclusive},
        {QStringLiteral("wait"), isc_tpb_wait},
        {QStringLiteral("nowait"), isc_tpb_nowait},
        {QStringLiteral("read"), isc_tpb_read},
        {QStringLiteral("write"), isc_tpb_write},
        {QStringLiteral("ignore_limbo"), isc_tpb_ignore_limbo},
        {QStringLiteral("read_committed"), isc_tpb_read_committed},
        {QStringLiteral("autocommit"), isc_tpb_autocommit},
        {QStringLiteral("rec_version"), isc_tpb_rec_version},
        {QStringLiteral("no_rec_version"), isc_tpb_no_rec_version},
        {QStringLiteral("restart_requests"), isc_tpb_restart_requests},
        {QStringLiteral("no_auto_undo"), isc_tpb_no_auto_undo},
        {QStringLiteral("lock_timeout"), isc_tpb_lock_timeout},
    };
    return tags;
}

Ref<IXpbBuilder> buildTpb(const QStringList& params)
{
    return call([&](ThrowStatusWrapper* st) {
        Ref<IXpbBuilder> tpb(detail::util()->getXpbBuilder(st, IXpbBuilder::TPB, nullptr, 0));
        for (const QString& raw : params) {
            QString line = raw.trimmed().toLower();
            if (line.isEmpty())
                continue;
            if (line.startsWith(QLatin1String("isc_tpb_")))
                line = line.mid(8);
            const qsizetype eq = line.indexOf(QLatin1Char('='));
            const QString name = (eq < 0 ? line : line.left(eq)).trimmed();
            const auto it = tpbTags().constFind(name);
            if (it == tpbTags().constEnd())
                throw Error(QStringLiteral("Neznámy parameter transakcie: %1").arg(raw.trimmed()));
            if (*it == isc_tpb_lock_timeout) {
                bool ok = false;
                const int seconds = line.mid(eq + 1).trimmed().toInt(&ok);
                if (eq < 0 || !ok)
                    throw Error(QStringLiteral("Parameter lock_timeout potrebuje počet sekúnd: %1").arg(raw.trimmed()));
                tpb->insertInt(st, isc_tpb_lock_timeout, seconds);
            } else {
                tpb->insertTag(st, *it);
            }
        }
        return tpb;
    });
}

}  // namespace

bool dropStaleTransaction(const Transaction& transaction)
{
    Transaction::Impl* d = transaction.impl();
    if (!d->transaction || !d->mark.stale())
        return false;
    d->transaction.detach();  // gone with its attachment
    return true;
}

ITransaction* transactionOf(const Transaction& transaction)
{
    dropStaleTransaction(transaction);
    if (!transaction.impl()->transaction)
        throw Error(QStringLiteral("Transakcia nie je aktívna."));
    return transaction.impl()->transaction.get();
}

Transaction::Transaction(Connection& connection, QStringList params)
    : m_connection(connection), m_params(std::move(params)), d(std::make_unique<Impl>())
{
}

Transaction::~Transaction()
{
    try {
        if (isActive())
            rollback();
    } catch (...) {
        // the connection may be gone; the handle was released by rollback()
    }
}

void Transaction::start()
{
    dropStaleTransaction(*this);
    if (d->transaction)
        throw Error(QStringLiteral("Transakcia už je aktívna."));
    IAttachment* att = attachmentOf(m_connection);
    Ref<IXpbBuilder> tpb = buildTpb(m_params);
    call([&](ThrowStatusWrapper* st) {
        const unsigned length = m_params.isEmpty() ? 0 : tpb->getBufferLength(st);
        d->transaction.reset(att->startTransaction(st, length, length ? tpb->getBuffer(st) : nullptr));
    });
    d->mark.take(m_connection.impl()->generation);
}

void Transaction::commit()
{
    ITransaction* tr = transactionOf(*this);
    call([&](ThrowStatusWrapper* st) { tr->commit(st); });
    d->transaction.detach();  // commit() released the interface
}

void Transaction::commitRetaining()
{
    ITransaction* tr = transactionOf(*this);
    call([&](ThrowStatusWrapper* st) { tr->commitRetaining(st); });
}

void Transaction::rollback()
{
    // A transaction of a closed or lost attachment has nothing left to undo.
    if (dropStaleTransaction(*this))
        return;
    transactionOf(*this);  // throws when not active, like commit()
    try {
        call([&](ThrowStatusWrapper* st) { d->transaction->rollback(st); });
        d->transaction.detach();
    } catch (...) {
        // a failed rollback leaves nothing to end on our side
        d->transaction.reset();
        throw;
    }
}

void Transaction::rollbackRetaining()
{
    ITransaction* tr = transactionOf(*this);
    call([&](ThrowStatusWrapper* st) { tr->rollbackRetaining(st); });
}

bool Transaction::isActive() const
{
    return d->transaction && !d->mark.stale();
}

}  // namespace fb
