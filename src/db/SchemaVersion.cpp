#include "db/SchemaVersion.h"

#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/TransactionHelpers.h"

int ZistiVerziu(fb::Transaction& transaction, fb::Query& query)
{
    int version = 0;
    try {
        StartReadCommitted(transaction);
        query.setSql(QStringLiteral("select max(VERSION) FROM DATABASE_UPDATES"));
        const QVariant v = query.executeScalar();
        query.close();
        version = v.isNull() ? 0 : v.toInt();
    } catch (const std::exception&) {
        // a database without the table is simply at version 0
        query.close();
        RollbackIfActive(transaction);
        return 0;
    }
    if (transaction.isActive())
        transaction.commit();
    return version;
}
