#include "reports/ReportDataset.h"

#include "fb/Decimal.h"
#include "fb/Query.h"

void TReportQueryDataset::fill(fb::Query& query)
{
    m_table.clear();
    query.execute();
    query.fetchAll(m_table);
}

report::DatasetColumn TReportQueryDataset::column(int index) const
{
    const fb::Column& c = m_table.columns().at(size_t(index));
    report::DatasetColumn out;
    out.name = c.name;
    out.scale = c.scale;
    switch (c.type) {
    case fb::ColumnType::Integer:
    case fb::ColumnType::BigInt: out.type = report::ColumnType::Integer; break;
    case fb::ColumnType::Decimal: out.type = report::ColumnType::Decimal; break;
    case fb::ColumnType::Double: out.type = report::ColumnType::Float; break;
    case fb::ColumnType::Date: out.type = report::ColumnType::Date; break;
    case fb::ColumnType::Timestamp: out.type = report::ColumnType::DateTime; break;
    case fb::ColumnType::Boolean: out.type = report::ColumnType::Bool; break;
    case fb::ColumnType::Time:
    case fb::ColumnType::Text:
    case fb::ColumnType::Blob: out.type = report::ColumnType::Text; break;
    case fb::ColumnType::Other: out.type = report::ColumnType::Other; break;
    }
    return out;
}

report::Value TReportQueryDataset::value(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return toReportValue(m_table.value(row, column));
}

report::Value TReportQueryDataset::toReportValue(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return {};
    if (v.metaType() == QMetaType::fromType<fb::Decimal>()) {
        const fb::Decimal d = v.value<fb::Decimal>();
        return report::Value::number(report::Decimal::fromUnits(d.units(), d.scale()));
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short: return report::Value::integer(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float: return report::Value::real(v.toDouble());
    case QMetaType::Bool: return report::Value::boolean(v.toBool());
    case QMetaType::QDate: return report::Value::date(v.toDate());
    case QMetaType::QDateTime: return report::Value::dateTime(v.toDateTime());
    case QMetaType::QTime: return report::Value::text(v.toTime().toString(QStringLiteral("HH:mm")));
    case QMetaType::QByteArray: return report::Value::text(QStringLiteral("(BLOB)"));
    default: return report::Value::text(v.toString());
    }
}
