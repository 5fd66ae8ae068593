#include "controls/UniqueTest.h"

#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/TextHelpers.h"
#include "framework/TransactionHelpers.h"

#include <QLocale>

#include <stdexcept>

namespace {

void requireIdentifier(const QString& name)
{
    if (!IsPlainIdentifier(name))
        throw std::invalid_argument("unique test: not a plain identifier: " + name.toStdString());
}

}  // namespace

fb::Statement BuildUniqueTestSql(const UniqueTestSetup& setup, const QString& text,
                                       const QVariant& key1)
{
    requireIdentifier(setup.tableName);
    requireIdentifier(setup.uniqueColumn);
    requireIdentifier(setup.useKeyValue ? setup.keyField : setup.testColumn);
    fb::Statement st;
    st.lines << QStringLiteral("Select first 1 %1 from %2 where").arg(setup.uniqueColumn, setup.tableName);
    if (!IsSetValue(setup.uniqueColumnValue)) {
        st.lines << setup.uniqueColumn + QStringLiteral(" is not null");
    } else {
        st.lines << setup.uniqueColumn + QStringLiteral("<>:UNIQUE_VALUE");
        st.params.insert(QStringLiteral("UNIQUE_VALUE"), setup.uniqueColumnValue.toLongLong());
    }
    if (setup.useKeyValue) {
        st.lines << QStringLiteral("and %1=:VALUE").arg(setup.keyField);
        st.params.insert(QStringLiteral("VALUE"), IsSetValue(key1) ? QVariant(VariantToText(key1)) : QVariant());
    } else if (setup.bezDiakritiky) {
        st.lines << QStringLiteral("and %1_X=:TEST_TEXT").arg(setup.testColumn);
        st.params.insert(QStringLiteral("TEST_TEXT"), ToPlainUpper(text));
    } else if (setup.onlyNumbers) {
        // The number as SQL reads it, whatever separator the user's locale types.
        st.lines << QStringLiteral("and %1=:TEST_TEXT").arg(setup.testColumn);
        QString number = text.trimmed();
        number.replace(QLocale().decimalPoint(), QStringLiteral("."));
        st.params.insert(QStringLiteral("TEST_TEXT"), number);
    } else {
        // A parameter has no collation of its own: cast it to the column's
        // character set first (the length only bounds the parameter buffer).
        st.lines << QStringLiteral("and Upper(%1 Collate PXW_CSY)=Upper(cast(:TEST_TEXT as varchar(%2) "
                                   "character set WIN1250) Collate PXW_CSY)")
                        .arg(setup.testColumn)
                        .arg(qMax<qsizetype>(1, text.size()));
        st.params.insert(QStringLiteral("TEST_TEXT"), text);
    }
    if (!IsBlank(setup.additionalToWhere, true))
        st.lines << setup.additionalToWhere;
    return st;
}

bool FindDuplicate(fb::Connection& connection, const UniqueTestSetup& setup, const QString& text)
{
    const fb::Statement st = BuildUniqueTestSql(setup, text);
    fb::Transaction transaction(connection, TransactionParams(true, true));
    transaction.start();
    fb::Query query(transaction);
    query.setStatement(st);
    query.execute();
    const bool found = query.next();
    query.close();
    transaction.commit();
    return found;
}
