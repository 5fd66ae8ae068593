#pragma once

// Small layouts for the tests, built in code.

#include "reportengine/ReportDataset.h"
#include "reportengine/ReportLayout.h"

namespace reporttest {

inline report::ReportObject text(double x, double y, double w, double h, const QString& content,
                                 const QString& format = QString())
{
    report::ReportObject o;
    o.kind = report::ObjectKind::Text;
    o.x = x;
    o.y = y;
    o.width = w;
    o.height = h;
    o.text = content;
    o.format = format;
    return o;
}

inline report::Band band(report::BandKind kind, double height, std::vector<report::ReportObject> objects = {})
{
    report::Band b;
    b.kind = kind;
    b.height = height;
    b.objects = std::move(objects);
    return b;
}

// Rows of (customer, mark, price) ordered by customer.
inline report::MemoryDataset jobs(const std::vector<std::tuple<QString, QString, QString>>& rows)
{
    report::MemoryDataset ds({{QStringLiteral("OBJEDNAVATEL"), report::ColumnType::Text},
                              {QStringLiteral("ZNACKA"), report::ColumnType::Text},
                              {QStringLiteral("CENA"), report::ColumnType::Decimal, 2}});
    for (const auto& [customer, mark, price] : rows)
        ds.addRow({report::Value::text(customer), report::Value::text(mark),
                   price.isEmpty() ? report::Value() : report::Value::number(*report::Decimal::fromString(price))});
    return ds;
}

}  // namespace reporttest
