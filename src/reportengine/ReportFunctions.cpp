#include "reportengine/ReportFunctions.h"

#include "reportengine/ReportError.h"
#include "reportengine/ReportFormat.h"

namespace report {

void FunctionRegistry::add(Function function)
{
    function.name = function.name.toUpper();
    for (Function& f : m_functions) {
        if (f.name == function.name) {
            f = std::move(function);
            return;
        }
    }
    m_functions.push_back(std::move(function));
}

bool FunctionRegistry::remove(const QString& name)
{
    const QString upper = name.toUpper();
    for (auto it = m_functions.begin(); it != m_functions.end(); ++it) {
        if (it->name == upper) {
            m_functions.erase(it);
            return true;
        }
    }
    return false;
}

const Function* FunctionRegistry::find(const QString& name) const
{
    for (const Function& f : m_functions)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

FunctionRegistry& FunctionRegistry::global()
{
    static FunctionRegistry registry;
    return registry;
}

namespace {

using Args = std::vector<Value>;

qint64 wholeArg(const Value& v)
{
    return v.toDecimal().truncated().raw() / Decimal::kOne;
}

FunctionRegistry makeBuiltins()
{
    FunctionRegistry r;
    const QString text = QStringLiteral("Text"), number = QStringLiteral("Čísla"), date = QStringLiteral("Dátum");
    auto add = [&r](const char* name, const QString& category, const char* description, int minArgs, int maxArgs,
                    std::function<Value(const Args&)> call) {
        r.add({QLatin1String(name), category, QString::fromUtf8(description), minArgs, maxArgs, std::move(call)});
    };
    add("UPPERCASE", text, "UPPERCASE(<Text>)/Text veľkými písmenami", 1, 1,
        [](const Args& a) { return a[0].isNull() ? a[0] : Value::text(a[0].toText().toUpper()); });
    add("LOWERCASE", text, "LOWERCASE(<Text>)/Text malými písmenami", 1, 1,
        [](const Args& a) { return a[0].isNull() ? a[0] : Value::text(a[0].toText().toLower()); });
    add("TRIM", text, "TRIM(<Text>)/Text bez medzier na začiatku a na konci", 1, 1,
        [](const Args& a) { return a[0].isNull() ? a[0] : Value::text(a[0].toText().trimmed()); });
    add("LENGTH", text, "LENGTH(<Text>)/Počet znakov", 1, 1,
        [](const Args& a) { return Value::integer(a[0].toText().size()); });
    add("COPY", text, "COPY(<Text>, <Od>, <Počet>)/Časť textu (od 1)", 3, 3, [](const Args& a) {
        const qint64 from = std::max<qint64>(wholeArg(a[1]), 1), count = std::max<qint64>(wholeArg(a[2]), 0);
        return Value::text(a[0].toText().mid(from - 1, count));
    });
    add("POS", text, "POS(<Hľadaný>, <Text>)/Poloha textu v texte (od 1, 0 keď chýba)", 2, 2,
        [](const Args& a) { return Value::integer(a[1].toText().indexOf(a[0].toText()) + 1); });
    add("STR", text, "STR(<Hodnota>)/Hodnota ako text", 1, 1, [](const Args& a) { return Value::text(a[0].toText()); });
    add("NVL", text, "NVL(<Hodnota>, <Náhrada>)/Náhrada, keď hodnota chýba", 2, 2,
        [](const Args& a) { return a[0].isNull() ? a[1] : a[0]; });
    add("ISNULL", text, "ISNULL(<Hodnota>)/Pravda, keď hodnota chýba", 1, 1,
        [](const Args& a) { return Value::boolean(a[0].isNull()); });
    add("FORMATFLOAT", number, "FORMATFLOAT(<Formát>, <Číslo>)/Číslo vo formáte, napr. ',0.00'", 2, 2,
        [](const Args& a) { return Value::text(formatValue(a[1], a[0].toText())); });
    add("FORMATDATETIME", date, "FORMATDATETIME(<Formát>, <Dátum>)/Dátum vo formáte, napr. 'dd.mm.yyyy'", 2, 2,
        [](const Args& a) { return Value::text(formatValue(a[1], a[0].toText())); });
    add("ROUND", number, "ROUND(<Číslo>, <Desatinné miesta>)/Zaokrúhlenie (polovica od nuly)", 1, 2, [](const Args& a) {
        if (a[0].isNull()) return a[0];
        const int decimals = a.size() > 1 ? int(std::clamp<qint64>(wholeArg(a[1]), 0, Decimal::kMaxScale)) : 0;
        return Value::number(a[0].toDecimal().rounded(decimals));
    });
    add("INT", number, "INT(<Číslo>)/Celá časť čísla", 1, 1,
        [](const Args& a) { return a[0].isNull() ? a[0] : Value::number(a[0].toDecimal().truncated()); });
    add("FRAC", number, "FRAC(<Číslo>)/Desatinná časť čísla", 1, 1, [](const Args& a) {
        if (a[0].isNull()) return a[0];
        const Decimal d = a[0].toDecimal();
        return Value::number(d - d.truncated());
    });
    add("ABS", number, "ABS(<Číslo>)/Absolútna hodnota", 1, 1, [](const Args& a) {
        if (a[0].isNull()) return a[0];
        const Decimal d = a[0].toDecimal();
        return Value::number(d < Decimal() ? -d : d);
    });
    add("DAYOF", date, "DAYOF(<Dátum>)/Deň v mesiaci", 1, 1,
        [](const Args& a) { return a[0].isNull() ? a[0] : Value::integer(a[0].toDate().day()); });
    add("MONTHOF", date, "MONTHOF(<Dátum>)/Mesiac", 1, 1,
        [](const Args& a) { return a[0].isNull() ? a[0] : Value::integer(a[0].toDate().month()); });
    add("YEAROF", date, "YEAROF(<Dátum>)/Rok", 1, 1,
        [](const Args& a) { return a[0].isNull() ? a[0] : Value::integer(a[0].toDate().year()); });
    return r;
}

}  // namespace

const FunctionRegistry& FunctionRegistry::builtins()
{
    static const FunctionRegistry registry = makeBuiltins();
    return registry;
}

}  // namespace report
