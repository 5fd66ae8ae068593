#include "controls/GridSql.h"

QString ColumnOrderTerm(const TQDLColumn& c, const QString& direction, bool* missingExpression)
{
    if (missingExpression)
        *missingExpression = false;
    if (c.Order == osNone)
        return {};
    QString term = (c.OrderBy.trimmed().isEmpty() ? c.FieldName : c.OrderBy).trimmed();
    if (term.isEmpty()) {
        if (missingExpression)
            *missingExpression = true;
        return {};
    }
    if (c.CollateBy == coPXW_CSY)
        term += QStringLiteral(" collate PXW_CSY");
    else if (c.CollateBy == coWin1250)
        term += QStringLiteral(" collate Win1250");
    if (!direction.isEmpty())
        term += QLatin1Char(' ') + direction;
    if (c.NullsPosition == npNullsLast)
        term += QStringLiteral(" nulls last ");
    else if (c.NullsPosition == npNullsFirst)
        term += QStringLiteral(" nulls first ");
    return term;
}

TOrderBy BuildOrderBy(const std::vector<TQDLColumn>& columns, int activeColumn, const QString& direction)
{
    TOrderBy out;
    QStringList terms;
    const auto add = [&](const TQDLColumn& c) {
        bool missing = false;
        const QString term = ColumnOrderTerm(c, direction, &missing);
        if (missing)
            out.columnsWithoutTerm << c.TitleCaption;
        if (!term.isEmpty())
            terms << term;
    };
    const bool hasActive = activeColumn >= 0 && activeColumn < int(columns.size());
    if (hasActive)
        add(columns[size_t(activeColumn)]);
    for (int i = 0; i < int(columns.size()); ++i)
        if (!hasActive || i != activeColumn)
            add(columns[size_t(i)]);
    out.clause = terms.join(QLatin1Char(','));
    return out;
}

bool MarkedNeedTempSpracuj(qsizetype count, TGridKeyType keyType)
{
    return keyType == gktInteger && count > kLiteralListLimit;
}

TMarkedFilter MarkedRecordsFilter(const QVariantList& values, const QString& prefix, const QString& keyField,
                                  TGridKeyType keyType)
{
    TMarkedFilter out;
    if (values.isEmpty())
        return out;
    if (MarkedNeedTempSpracuj(values.size(), keyType)) {
        out.viaTempSpracuj = true;
        return out;
    }
    QStringList items;
    items.reserve(values.size());
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (keyType == gktInteger) {
            items << QString::number(values[i].toLongLong());
        } else {
            const QString name = QStringLiteral("MARKED%1").arg(i);
            items << QLatin1Char(':') + name;
            out.params.insert(name, values[i]);
        }
    }
    out.sql = QStringLiteral(" ") + prefix + keyField + QStringLiteral(" in (") + items.join(QLatin1Char(',')) +
              QLatin1Char(')');
    return out;
}

QString TempSpracujFilter(const QString& prefix, const QString& keyField, const QString& setKey)
{
    return QStringLiteral(" ") + prefix + keyField +
           QStringLiteral(" in (select cislo from temp_spracuj where connection_id=current_connection and zaradenie='") +
           setKey + QStringLiteral("') ");
}
