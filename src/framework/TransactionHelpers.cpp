#include "framework/TransactionHelpers.h"

#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/MainConnection.h"

#include <QRegularExpression>

#include <stdexcept>

QStringList TransactionParams(bool readOnly, bool readCommitted)
{
    QStringList lines;
    if (readCommitted)
        lines << QStringLiteral("read_committed") << QStringLiteral("rec_version");
    lines << (readOnly ? QStringLiteral("read") : QStringLiteral("write")) << QStringLiteral("nowait");
    return lines;
}

std::unique_ptr<fb::Transaction> NewTransaction(bool readOnly, bool readCommitted)
{
    return std::make_unique<fb::Transaction>(mainConnection(), TransactionParams(readOnly, readCommitted));
}

std::unique_ptr<fb::Query> NewQuery(fb::Transaction& transaction)
{
    return std::make_unique<fb::Query>(transaction);
}

void StartReadCommitted(fb::Transaction& transaction)
{
    const bool readCommitted =
        transaction.params().join(QLatin1Char('\n')).toUpper().contains(QLatin1String("READ_COMMITTED"));
    if (readCommitted) {
        if (transaction.isActive())
            return;
        transaction.setParams(TransactionParams(false, true));
        transaction.start();
        return;
    }
    if (transaction.isActive()) {
        transaction.commit();
        transaction.setParams(TransactionParams(false, true));
    }
    transaction.start();
}

void RollbackIfActive(fb::Transaction& transaction)
{
    if (transaction.isActive())
        transaction.rollback();
}

bool IsPlainIdentifier(const QString& name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]*$"));
    return identifier.match(name).hasMatch();
}

qint64 NextGeneratorValue(const QString& sequence, fb::Query& query)
{
    if (!IsPlainIdentifier(sequence))
        throw std::invalid_argument("NextGeneratorValue: not a sequence name: " + sequence.toStdString());

    query.close();
    query.setSql(QStringLiteral("select next value for ") + sequence + QStringLiteral(" from rdb$database"));
    const QVariant value = query.executeScalar();
    query.close();
    if (!value.isValid())
        throw fb::Error(QStringLiteral("NextGeneratorValue: no value from sequence ") + sequence);
    return value.toLongLong();
}
