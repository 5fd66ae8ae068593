#pragma once

#include "reportengine/ReportValue.h"

#include <QString>

#include <functional>
#include <vector>

namespace report {

// A function an expression may call. Its arguments are evaluated as report
// expressions before the call. The description is what a designer shows:
// "NAME(<Arg>)/What it does".
struct Function {
    QString name;         // upper case is conventional; lookups ignore case
    QString category;
    QString description;
    int minArgs = 0;
    int maxArgs = 0;      // -1: any number
    std::function<Value(const std::vector<Value>&)> call;
};

class FunctionRegistry {
public:
    // Replaces a function of the same name.
    void add(Function function);
    bool remove(const QString& name);
    const Function* find(const QString& name) const;
    const std::vector<Function>& functions() const { return m_functions; }

    // The host's functions, seen by every report (the report runner registers
    // its library here for its lifetime).
    static FunctionRegistry& global();
    // Text, number and date functions every layout may use.
    static const FunctionRegistry& builtins();

private:
    std::vector<Function> m_functions;
};

}  // namespace report
