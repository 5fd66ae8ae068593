#include "reportengine/ReportExpression.h"

#include "reportengine/ReportError.h"
#include "reportengine/ReportFormat.h"
#include "reportengine/ReportFunctions.h"

#include <QRegularExpression>

#include <algorithm>

namespace report {

struct Node {
    enum class Type { Literal, Name, Unary, Binary, Call, Iif, Aggregate, Missing };
    Type type = Type::Literal;
    Value literal;
    QString alias, name;  // Name; Call: name
    QString op;           // Unary / Binary: "-", "NOT", "+", "AND", "<=", ...
    std::vector<std::unique_ptr<Node>> args;
    int height = 1;       // of the tree below and including this node
    // Bound:
    int slot = -1;
    const Function* function = nullptr;
    AggregateKind aggregate = AggregateKind::Sum;
    QString scope;
};

namespace {

using NodePtr = std::unique_ptr<Node>;

struct Token {
    enum class Type { End, Number, String, Ident, Quoted, Op, Bracket };
    Type type = Type::End;
    QString text;
    int pos = 0;
};

// Binding, evaluation and destruction walk the tree recursively, and so does
// the parser: nesting deeper than this (10 000 parentheses, or a chain of
// thousands of "+") would overflow the stack. No sensible layout comes near it.
constexpr int kMaxDepth = 200;

[[noreturn]] void syntaxError(const QString& expr, int pos, const QString& what)
{
    throw Error(QStringLiteral("Chyba vo výraze \"%1\" na pozícii %2: %3.").arg(quoted(expr)).arg(pos + 1).arg(what));
}

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isIdentPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'#';
}

std::vector<Token> tokenize(const QString& s)
{
    std::vector<Token> out;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.pos = i;
        if (c.isDigit()) {
            int j = i;
            while (j < n && s[j].isDigit()) ++j;
            if (j + 1 < n && s[j] == u'.' && s[j + 1].isDigit()) {
                ++j;
                while (j < n && s[j].isDigit()) ++j;
            }
            t.type = Token::Type::Number;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == u'\'' || c == u'"') {
            QString text;
            int j = i + 1;
            for (;;) {
                if (j >= n) syntaxError(s, i, QStringLiteral("neukončený text"));
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        text += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                text += s[j++];
            }
            t.type = c == u'\'' ? Token::Type::String : Token::Type::Quoted;
            t.text = text;
            i = j + 1;
        } else if (isIdentStart(c)) {
            int j = i;
            while (j < n && isIdentPart(s[j])) ++j;
            t.type = Token::Type::Ident;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (c == u'[') {
            // A bracketed part: a sub-expression, or a name with blanks.
            int depth = 0, j = i;
            QChar quote;
            for (; j < n; ++j) {
                if (!quote.isNull()) {
                    if (s[j] == quote) quote = QChar();
                } else if (s[j] == u'\'' || s[j] == u'"') {
                    quote = s[j];
                } else if (s[j] == u'[') {
                    ++depth;
                } else if (s[j] == u']' && --depth == 0) {
                    break;
                }
            }
            if (j >= n) syntaxError(s, i, QStringLiteral("chýba ]"));
            t.type = Token::Type::Bracket;
            t.text = s.mid(i + 1, j - i - 1);
            i = j + 1;
        } else {
            static const QString two[] = {QStringLiteral("<="), QStringLiteral(">="), QStringLiteral("<>")};
            t.type = Token::Type::Op;
            t.text = QString(c);
            for (const QString& op : two)
                if (s.mid(i, 2) == op) t.text = op;
            if (!QStringLiteral("+-*/(),=<>.").contains(c))
                syntaxError(s, i, QStringLiteral("neznámy znak '%1'").arg(c));
            i += int(t.text.size());
        }
        out.push_back(t);
    }
    Token end;
    end.pos = n;
    out.push_back(end);
    return out;
}

NodePtr makeLiteral(Value v)
{
    auto node = std::make_unique<Node>();
    node->type = Node::Type::Literal;
    node->literal = std::move(v);
    return node;
}

class Parser {
public:
    explicit Parser(const QString& text, int depth = 0) : m_text(text), m_tokens(tokenize(text)), m_depth(depth) {}

    NodePtr parseAll()
    {
        if (peek().type == Token::Type::End)
            syntaxError(m_text, 0, QStringLiteral("prázdny výraz"));
        NodePtr node = parseOr();
        if (peek().type != Token::Type::End)
            syntaxError(m_text, peek().pos, QStringLiteral("nečakané \"%1\"").arg(peek().text));
        return node;
    }

private:
    const Token& peek() const { return m_tokens[m_pos]; }
    Token take() { return m_tokens[m_pos++]; }
    bool isKeyword(const char* word) const
    {
        return peek().type == Token::Type::Ident && peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }
    bool isOp(const char* op) const { return peek().type == Token::Type::Op && peek().text == QLatin1String(op); }
    void expectOp(const char* op)
    {
        if (!isOp(op))
            syntaxError(m_text, peek().pos, QStringLiteral("očakáva sa \"%1\"").arg(QLatin1String(op)));
        ++m_pos;
    }

    // Counts one level of the parser's recursion for as long as it lives.
    class Deeper {
    public:
        explicit Deeper(Parser& p) : m_p(p)
        {
            if (++m_p.m_depth > kMaxDepth) {
                m_p.m_tooDeep = true;
                syntaxError(m_p.m_text, m_p.peek().pos, tooDeep());
            }
        }
        ~Deeper() { --m_p.m_depth; }
        Deeper(const Deeper&) = delete;
        Deeper& operator=(const Deeper&) = delete;

    private:
        Parser& m_p;
    };

    static QString tooDeep() { return QStringLiteral("výraz je vnorený hlbšie ako %1 úrovní").arg(kMaxDepth); }

    // Sets the node's height from its arguments; a tree higher than the limit is refused.
    NodePtr grown(NodePtr node, int pos) const
    {
        int height = 0;
        for (const auto& a : node->args)
            height = std::max(height, a->height);
        node->height = height + 1;
        if (m_depth + node->height > kMaxDepth) {
            m_tooDeep = true;
            syntaxError(m_text, pos, tooDeep());
        }
        return node;
    }

    NodePtr binary(const QString& op, NodePtr a, NodePtr b) const
    {
        auto node = std::make_unique<Node>();
        node->type = Node::Type::Binary;
        node->op = op;
        node->args.push_back(std::move(a));
        node->args.push_back(std::move(b));
        return grown(std::move(node), peek().pos);
    }

    NodePtr parseOr()
    {
        const Deeper deeper(*this);
        NodePtr left = parseAnd();
        while (isKeyword("OR")) {
            ++m_pos;
            left = binary(QStringLiteral("OR"), std::move(left), parseAnd());
        }
        return left;
    }

    NodePtr parseAnd()
    {
        NodePtr left = parseNot();
        while (isKeyword("AND")) {
            ++m_pos;
            left = binary(QStringLiteral("AND"), std::move(left), parseNot());
        }
        return left;
    }

    NodePtr parseNot()
    {
        if (isKeyword("NOT")) {
            const Deeper deeper(*this);
            const int pos = take().pos;
            auto node = std::make_unique<Node>();
            node->type = Node::Type::Unary;
            node->op = QStringLiteral("NOT");
            node->args.push_back(parseNot());
            return grown(std::move(node), pos);
        }
        return parseComparison();
    }

    NodePtr parseComparison()
    {
        NodePtr left = parseAdditive();
        while (peek().type == Token::Type::Op &&
               (peek().text == u"=" || peek().text == u"<>" || peek().text == u"<" || peek().text == u">" ||
                peek().text == u"<=" || peek().text == u">=")) {
            const QString op = take().text;
            left = binary(op, std::move(left), parseAdditive());
        }
        return left;
    }

    NodePtr parseAdditive()
    {
        NodePtr left = parseMultiplicative();
        while (isOp("+") || isOp("-")) {
            const QString op = take().text;
            left = binary(op, std::move(left), parseMultiplicative());
        }
        return left;
    }

    NodePtr parseMultiplicative()
    {
        NodePtr left = parseUnary();
        while (isOp("*") || isOp("/") || isKeyword("DIV") || isKeyword("MOD")) {
            const QString op = take().text.toUpper();
            left = binary(op, std::move(left), parseUnary());
        }
        return left;
    }

    NodePtr parseUnary()
    {
        if (isOp("-") || isOp("+")) {
            const Deeper deeper(*this);
            const Token t = take();
            NodePtr arg = parseUnary();
            if (t.text == u"+")
                return arg;
            auto node = std::make_unique<Node>();
            node->type = Node::Type::Unary;
            node->op = t.text;
            node->args.push_back(std::move(arg));
            return grown(std::move(node), t.pos);
        }
        return parsePrimary();
    }

    NodePtr parsePrimary()
    {
        const Token t = take();
        switch (t.type) {
        case Token::Type::Number: {
            const auto d = Decimal::fromString(t.text);
            if (!d) syntaxError(m_text, t.pos, QStringLiteral("číslo %1 je mimo rozsahu").arg(t.text));
            return makeLiteral(Value::number(*d));
        }
        case Token::Type::String: return makeLiteral(Value::text(t.text));
        case Token::Type::Bracket: {
            // [expression] or [a name with blanks]
            Parser inner(t.text, m_depth + 1);
            try {
                return inner.parseAll();
            } catch (const Error&) {
                // Only words may form a name ("Cena spolu"); anything else is a real syntax
                // error, and so is "NOT NOT ... NOT" nested too deep.
                static const QRegularExpression words(QStringLiteral("^\\s*[\\p{L}_][\\p{L}\\p{N}_# ]*$"));
                if (inner.m_tooDeep || !words.match(t.text).hasMatch())
                    throw;
                return nameNode(QString(), t.text.trimmed());
            }
        }
        case Token::Type::Quoted: return nameNode(QString(), t.text);
        case Token::Type::Ident: {
            if (t.text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0) return makeLiteral(Value::boolean(true));
            if (t.text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) return makeLiteral(Value::boolean(false));
            if (t.text.compare(QLatin1String("NULL"), Qt::CaseInsensitive) == 0) return makeLiteral(Value::null());
            if (isOp(".")) {
                ++m_pos;
                const Token field = take();
                if (field.type != Token::Type::Ident && field.type != Token::Type::Quoted)
                    syntaxError(m_text, field.pos, QStringLiteral("za \"%1.\" chýba meno poľa").arg(t.text));
                return nameNode(t.text, field.text);
            }
            if (isOp("("))
                return parseCall(t);
            return nameNode(QString(), t.text);
        }
        case Token::Type::Op:
            if (t.text == u"(") {
                NodePtr inner = parseOr();
                expectOp(")");
                return inner;
            }
            syntaxError(m_text, t.pos, QStringLiteral("nečakané \"%1\"").arg(t.text));
        case Token::Type::End: syntaxError(m_text, t.pos, QStringLiteral("výraz nie je úplný"));
        }
        syntaxError(m_text, t.pos, QStringLiteral("nečakaný znak"));
    }

    NodePtr parseCall(const Token& name)
    {
        expectOp("(");
        auto node = std::make_unique<Node>();
        node->type = Node::Type::Call;
        node->name = name.text.toUpper();
        if (!isOp(")")) {
            for (;;) {
                node->args.push_back(parseOr());
                if (isOp(",")) {
                    ++m_pos;
                    continue;
                }
                break;
            }
        }
        expectOp(")");
        node = grown(std::move(node), name.pos);
        static const struct {
            const char* name;
            AggregateKind kind;
        } aggregates[] = {{"SUM", AggregateKind::Sum}, {"COUNT", AggregateKind::Count}, {"AVG", AggregateKind::Avg},
                          {"MIN", AggregateKind::Min}, {"MAX", AggregateKind::Max}};
        if (node->name == u"IIF") {
            if (node->args.size() != 3)
                syntaxError(m_text, name.pos, QStringLiteral("IIF má tri argumenty"));
            node->type = Node::Type::Iif;
        }
        for (const auto& a : aggregates) {
            if (node->name != QLatin1String(a.name))
                continue;
            node->type = Node::Type::Aggregate;
            node->aggregate = a.kind;
            const size_t min = a.kind == AggregateKind::Count ? 0 : 1;
            if (node->args.size() < min || node->args.size() > 2)
                syntaxError(m_text, name.pos, QStringLiteral("%1 má jeden alebo dva argumenty").arg(node->name));
            if (node->args.size() == 2) {
                // The scope: 'GROUP', 'PAGE' or 'REPORT'.
                const Node* scope = node->args[1].get();
                if (scope->type != Node::Type::Literal || scope->literal.kind() != Value::Kind::Text)
                    syntaxError(m_text, name.pos, QStringLiteral("rozsah %1 je text 'GROUP', 'PAGE' alebo 'REPORT'").arg(node->name));
                node->scope = scope->literal.textValue().toUpper();
                if (node->scope != u"GROUP" && node->scope != u"PAGE" && node->scope != u"REPORT")
                    syntaxError(m_text, name.pos, QStringLiteral("neznámy rozsah '%1'").arg(node->scope));
                node->args.pop_back();
            }
        }
        return node;
    }

    NodePtr nameNode(const QString& alias, const QString& name)
    {
        auto node = std::make_unique<Node>();
        node->type = Node::Type::Name;
        node->alias = alias;
        node->name = name;
        return node;
    }

    QString m_text;
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    int m_depth = 0;  // levels of recursion, counting the enclosing brackets' parsers
    mutable bool m_tooDeep = false;
};

// `guarded`: the node lies in a branch of IIF. A name unknown there fails only
// when the branch is taken, so one layout can serve statements that differ by
// a column: [IIF(Typ < 0, '', ADRESAR)].
void bindNode(Node* node, EvalContext& context, const QString& text, bool guarded = false)
{
    for (size_t i = 0; i < node->args.size(); ++i)
        bindNode(node->args[i].get(), context, text, guarded || (node->type == Node::Type::Iif && i > 0));
    if (node->type == Node::Type::Name) {
        // A bare name that is no field or variable may be a function without arguments.
        try {
            node->slot = context.bindName(node->alias, node->name);
        } catch (const Error& error) {
            const Function* f = node->alias.isEmpty() ? context.findFunction(node->name) : nullptr;
            if ((!f || f->minArgs > 0) && guarded) {
                node->type = Node::Type::Missing;
                node->literal = Value::text(error.message());
                return;
            }
            if (!f || f->minArgs > 0)
                throw;
            node->type = Node::Type::Call;
            node->function = f;
        }
    } else if (node->type == Node::Type::Call) {
        node->function = context.findFunction(node->name);
        if (!node->function)
            throw Error(QStringLiteral("Neznáma funkcia %1 vo výraze \"%2\".").arg(quoted(node->name), quoted(text)));
        const int n = int(node->args.size());
        if (n < node->function->minArgs || (node->function->maxArgs >= 0 && n > node->function->maxArgs))
            throw Error(QStringLiteral("Funkcia %1 dostala %2 argumentov vo výraze \"%3\".").arg(node->name).arg(n).arg(text));
    }
}

Value arithmetic(const QString& op, const Value& a, const Value& b)
{
    const bool aTime = a.kind() == Value::Kind::Date || a.kind() == Value::Kind::DateTime;
    const bool bTime = b.kind() == Value::Kind::Date || b.kind() == Value::Kind::DateTime;
    if (op == u"+" && (a.kind() == Value::Kind::Text || b.kind() == Value::Kind::Text))
        return Value::text(a.toText() + b.toText());
    if (a.isNull() || b.isNull())
        return Value::null();
    if (aTime || bTime) {
        if (op == u"-" && aTime && bTime)
            return Value::integer(b.toDate().daysTo(a.toDate()));
        if ((op == u"+" || op == u"-") && aTime && b.isNumeric()) {
            const qint64 days = b.toDecimal().truncated().raw() / Decimal::kOne;
            const QDateTime dt = a.toDateTime().addDays(op == u"+" ? days : -days);
            return a.kind() == Value::Kind::Date ? Value::date(dt.date()) : Value::dateTime(dt);
        }
        throw Error(QStringLiteral("S dátumom sa nedá počítať operáciou %1.").arg(op));
    }
    if (a.kind() == Value::Kind::Float || b.kind() == Value::Kind::Float) {
        const double x = a.toDouble(), y = b.toDouble();
        if (op == u"+") return Value::real(x + y);
        if (op == u"-") return Value::real(x - y);
        if (op == u"*") return Value::real(x * y);
        if ((op == u"/" || op == u"DIV" || op == u"MOD") && y == 0) throw Error(QStringLiteral("Delenie nulou."));
        if (op == u"/") return Value::real(x / y);
    }
    const Decimal x = a.toDecimal(), y = b.toDecimal();
    if (op == u"+") return Value::number(x + y);
    if (op == u"-") return Value::number(x - y);
    if (op == u"*") return Value::number(x * y);
    if (op == u"/") return Value::number(x / y);
    if (y.isZero()) throw Error(QStringLiteral("Delenie nulou."));
    const qint64 xi = x.truncated().raw() / Decimal::kOne, yi = y.truncated().raw() / Decimal::kOne;
    if (yi == 0) throw Error(QStringLiteral("Delenie nulou."));
    if (op == u"DIV") return Value::integer(xi / yi);
    return Value::integer(xi % yi);
}

Value evaluate(const Node* node, EvalContext& context)
{
    switch (node->type) {
    case Node::Type::Literal: return node->literal;
    case Node::Type::Name: return context.nameValue(node->slot);
    case Node::Type::Unary: {
        const Value v = evaluate(node->args[0].get(), context);
        if (node->op == u"NOT") return v.isNull() ? v : Value::boolean(!v.toBool());
        if (v.isNull()) return v;
        if (v.kind() == Value::Kind::Float) return Value::real(-v.toDouble());
        return Value::number(-v.toDecimal());
    }
    case Node::Type::Binary: {
        const QString& op = node->op;
        if (op == u"AND") {
            if (!evaluate(node->args[0].get(), context).toBool()) return Value::boolean(false);
            return Value::boolean(evaluate(node->args[1].get(), context).toBool());
        }
        if (op == u"OR") {
            if (evaluate(node->args[0].get(), context).toBool()) return Value::boolean(true);
            return Value::boolean(evaluate(node->args[1].get(), context).toBool());
        }
        const Value a = evaluate(node->args[0].get(), context);
        const Value b = evaluate(node->args[1].get(), context);
        if (op == u"=" || op == u"<>" || op == u"<" || op == u">" || op == u"<=" || op == u">=") {
            // Null equals only null; an order with null is false.
            if (a.isNull() || b.isNull()) {
                const bool both = a.isNull() && b.isNull();
                if (op == u"=") return Value::boolean(both);
                if (op == u"<>") return Value::boolean(!both);
                return Value::boolean(false);
            }
            const int c = Value::compare(a, b);
            if (op == u"=") return Value::boolean(c == 0);
            if (op == u"<>") return Value::boolean(c != 0);
            if (op == u"<") return Value::boolean(c < 0);
            if (op == u">") return Value::boolean(c > 0);
            if (op == u"<=") return Value::boolean(c <= 0);
            return Value::boolean(c >= 0);
        }
        return arithmetic(op, a, b);
    }
    case Node::Type::Missing: throw Error(node->literal.toText());
    case Node::Type::Iif:
        return evaluate(node->args[0].get(), context).toBool() ? evaluate(node->args[1].get(), context)
                                                               : evaluate(node->args[2].get(), context);
    case Node::Type::Aggregate:
        return context.aggregate(node->aggregate, node->args.empty() ? nullptr : node->args[0].get(), node->scope, node);
    case Node::Type::Call: {
        std::vector<Value> args;
        args.reserve(node->args.size());
        for (const auto& a : node->args)
            args.push_back(evaluate(a.get(), context));
        return node->function->call(args);
    }
    }
    return {};
}

}  // namespace

Expression::Expression() = default;
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

Expression Expression::parse(const QString& text)
{
    Expression e;
    e.m_text = text;
    e.m_root = Parser(text).parseAll();
    return e;
}

void Expression::bind(EvalContext& context)
{
    if (m_root)
        bindNode(m_root.get(), context, m_text);
}

Value Expression::evaluate(EvalContext& context) const
{
    return m_root ? report::evaluate(m_root.get(), context) : Value();
}

Value Expression::evaluateNode(const Node* node, EvalContext& context)
{
    return report::evaluate(node, context);
}

TextTemplate TextTemplate::parse(const QString& text)
{
    TextTemplate t;
    QString literal;
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        if (text[i] != u'[') {
            literal += text[i];
            continue;
        }
        int depth = 0, j = i;
        QChar quote;
        for (; j < n; ++j) {
            if (!quote.isNull()) {
                if (text[j] == quote) quote = QChar();
            } else if (text[j] == u'\'' || text[j] == u'"') {
                quote = text[j];
            } else if (text[j] == u'[') {
                ++depth;
            } else if (text[j] == u']' && --depth == 0) {
                break;
            }
        }
        if (j >= n)
            throw Error(QStringLiteral("V texte \"%1\" chýba ].").arg(quoted(text)));
        if (!literal.isEmpty()) {
            t.m_parts.emplace_back(literal);
            literal.clear();
        }
        // Parsed as a bracketed token, so a name with blanks works too.
        t.m_parts.emplace_back(Expression::parse(text.mid(i, j - i + 1)));
        i = j;
    }
    if (!literal.isEmpty())
        t.m_parts.emplace_back(literal);
    return t;
}

void TextTemplate::bind(EvalContext& context)
{
    for (auto& part : m_parts)
        if (auto* e = std::get_if<Expression>(&part))
            e->bind(context);
}

QString TextTemplate::evaluate(EvalContext& context, const QString& format) const
{
    if (m_parts.size() == 1) {
        if (const auto* s = std::get_if<QString>(&m_parts[0]))
            return *s;
        return formatValue(std::get<Expression>(m_parts[0]).evaluate(context), format, context.language());
    }
    QString out;
    for (const auto& part : m_parts) {
        if (const auto* s = std::get_if<QString>(&part))
            out += *s;
        else
            out += formatValue(std::get<Expression>(part).evaluate(context), format, context.language());
    }
    return out;
}

Value TextTemplate::evaluateSingle(EvalContext& context) const
{
    return std::get<Expression>(m_parts[0]).evaluate(context);
}

bool TextTemplate::isConstant() const
{
    for (const auto& part : m_parts)
        if (std::holds_alternative<Expression>(part))
            return false;
    return true;
}

Value evaluateText(const QString& expression, EvalContext& context)
{
    Expression e = Expression::parse(expression);
    e.bind(context);
    return e.evaluate(context);
}

}  // namespace report
