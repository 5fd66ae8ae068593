#pragma once

#include "reportengine/ReportFormat.h"
#include "reportengine/ReportValue.h"

#include <QString>

#include <memory>
#include <variant>
#include <vector>

namespace report {

struct Function;
struct Node;

enum class AggregateKind { Sum, Count, Avg, Min, Max };

// What an expression asks of the report while it is bound and evaluated.
class EvalContext {
public:
    virtual ~EvalContext() = default;
    // A field ("MASTER", "ZNACKA" or "", "ZNACKA"), a variable or a built-in
    // name (PAGE, TOTALPAGES, LINE, DATE, TIME, REPORTTITLE). Returns a slot
    // for nameValue(); throws report::Error for an unknown name.
    virtual int bindName(const QString& alias, const QString& name) = 0;
    virtual Value nameValue(int slot) = 0;
    virtual const Function* findFunction(const QString& name) const = 0;
    // SUM(expr), COUNT(), ... over the scope ("GROUP", "PAGE", "REPORT" or
    // empty: the band decides). `node` identifies the call for caching.
    virtual Value aggregate(AggregateKind kind, const Node* argument, const QString& scope, const Node* node) = 0;
    // The language values are formatted in.
    virtual Language language() const { return Language::Slovak; }
};

// A parsed expression. Parsing checks the syntax; bind() resolves names and
// functions once (unknown ones fail there with the name); evaluate() is then
// cheap enough for every row.
class Expression {
public:
    Expression();
    ~Expression();
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;

    static Expression parse(const QString& text);   // throws report::Error
    void bind(EvalContext& context);
    Value evaluate(EvalContext& context) const;
    const QString& text() const { return m_text; }

    // Evaluates one node of a bound tree (the argument of an aggregate).
    static Value evaluateNode(const Node* node, EvalContext& context);

private:
    QString m_text;
    std::unique_ptr<Node> m_root;
};

// A text object's text: literal parts and [expression] parts.
class TextTemplate {
public:
    static TextTemplate parse(const QString& text);  // throws report::Error
    void bind(EvalContext& context);
    // Each expression's value formatted with the display format.
    QString evaluate(EvalContext& context, const QString& format) const;
    // The value when the whole text is one expression (for the table exports).
    bool isSingleExpression() const { return m_parts.size() == 1 && std::holds_alternative<Expression>(m_parts[0]); }
    Value evaluateSingle(EvalContext& context) const;
    bool isConstant() const;

private:
    std::vector<std::variant<QString, Expression>> m_parts;
};

// Evaluates one expression text against a context (parse, bind, evaluate).
Value evaluateText(const QString& expression, EvalContext& context);

}  // namespace report
