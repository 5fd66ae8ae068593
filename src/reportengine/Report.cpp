#include "reportengine/Report.h"

#include "reportengine/ReportFile.h"

namespace report {

Report::Report() = default;

Report::Report(Layout layout)
{
    setLayout(std::move(layout));
}

void Report::setLayout(Layout layout)
{
    m_layout = std::move(layout);
    if (m_title.isEmpty())
        m_title = m_layout.title;
    // The layout's variables give the starting values; the host may override them.
    for (const VariableDef& v : m_layout.variables) {
        Value value = Value::text(v.value);
        if (v.type == u"integer") {
            bool ok = false;
            const qint64 i = v.value.trimmed().toLongLong(&ok);
            value = ok ? Value::integer(i) : Value::null();
        }
        if (variable(v.name).isNull())
            setVariable(v.category, v.name, value);
    }
}

void Report::loadFromFile(const QString& fileName)
{
    setLayout(loadLayout(fileName));
}

void Report::setDataset(const QString& alias, const Dataset* dataset)
{
    for (auto& entry : m_datasets) {
        if (entry.first.compare(alias, Qt::CaseInsensitive) == 0) {
            entry.second = dataset;
            return;
        }
    }
    m_datasets.emplace_back(alias, dataset);
}

const Dataset* Report::dataset(const QString& alias) const
{
    for (const auto& entry : m_datasets)
        if (entry.first.compare(alias, Qt::CaseInsensitive) == 0)
            return entry.second;
    return nullptr;
}

void Report::setVariable(const QString& category, const QString& name, const Value& value)
{
    for (Variable& v : m_variables) {
        if (v.name.compare(name, Qt::CaseInsensitive) == 0) {
            v.category = category;
            v.value = value;
            return;
        }
    }
    m_variables.push_back({category, name, value});
}

Value Report::variable(const QString& name) const
{
    for (const Variable& v : m_variables)
        if (v.name.compare(name, Qt::CaseInsensitive) == 0)
            return v.value;
    return {};
}

std::pair<int, int> PreparedReport::find(const QString& text, int fromPage, int fromItem) const
{
    if (text.isEmpty())
        return {-1, -1};
    for (int p = std::max(fromPage, 0); p < pageCount(); ++p) {
        const auto& items = pages[size_t(p)].items;
        for (int i = p == fromPage ? fromItem + 1 : 0; i < int(items.size()); ++i)
            if (items[size_t(i)].text.contains(text, Qt::CaseInsensitive))
                return {p, i};
    }
    return {-1, -1};
}

}  // namespace report
