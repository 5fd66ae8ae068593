#pragma once

#include "reportengine/ReportDataset.h"
#include "reportengine/ReportFunctions.h"
#include "reportengine/ReportLayout.h"
#include "reportengine/ReportPages.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace report {

// A report to run: a layout, its datasets by alias, variables grouped in
// categories, a title and the report's own functions (besides the global and
// the built-in ones). prepare() runs the two passes and gives read-only pages.
class Report {
public:
    Report();
    explicit Report(Layout layout);

    const Layout& layout() const { return m_layout; }
    void setLayout(Layout layout);
    void loadFromFile(const QString& fileName);   // throws report::Error

    void setTitle(const QString& title) { m_title = title; }
    const QString& title() const { return m_title; }

    // Not owned; the dataset must outlive prepare().
    void setDataset(const QString& alias, const Dataset* dataset);
    const Dataset* dataset(const QString& alias) const;

    // Adds or replaces a variable (names are unique regardless of case).
    void setVariable(const QString& category, const QString& name, const Value& value);
    Value variable(const QString& name) const;
    struct Variable {
        QString category, name;
        Value value;
    };
    const std::vector<Variable>& variables() const { return m_variables; }

    FunctionRegistry& functions() { return m_functions; }
    const FunctionRegistry& functions() const { return m_functions; }

    // DATE and TIME show this moment (tests pin it); default: when prepare() runs.
    void setNow(const QDateTime& now) { m_now = now; }
    const QDateTime& now() const { return m_now; }

    PreparedReport prepare() const;   // throws report::Error

private:
    Layout m_layout;
    QString m_title;
    std::vector<std::pair<QString, const Dataset*>> m_datasets;
    std::vector<Variable> m_variables;
    FunctionRegistry m_functions;
    QDateTime m_now;
};

}  // namespace report
