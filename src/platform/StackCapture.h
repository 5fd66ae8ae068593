#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <exception>
#include <vector>

// The stack of the point where an exception was thrown, not of the handler
// that catches it: the program's __cxa_throw wraps the C++ runtime's and keeps
// the return addresses of the last few throws of each thread in thread-local
// storage, keyed by the exception object. Rethrowing keeps the object, so a
// rethrown or stored exception (std::exception_ptr) still finds its stack.

struct CapturedStack {
    std::vector<std::uintptr_t> frames;  // return addresses, innermost first
    std::uintptr_t throwAddress = 0;     // where the throwing function called the runtime
    QDateTime captured;                  // local time of the throw
    bool valid() const { return !frames.empty(); }
};

// The stack recorded when `error` was thrown. Only the thread that threw it
// knows it (a thread handing an error to another takes the stack along);
// invalid when the object was never thrown (std::make_exception_ptr) or its
// record has been overwritten by many later throws.
CapturedStack StackOfException(const std::exception_ptr& error);

// The stack of the caller, now (`skip` further frames dropped).
CapturedStack CaptureStackHere(int skip = 0);

// One line per frame: address, function with the offset from its start, and
// where debug information allows, file, line and the line offset within the
// function: "[00005631a2b4c9d0] Foo::bar(int) + 0x2c (Foo.cpp:42 + 3)".
// Return addresses are looked up one byte back so the call's own line shows;
// `firstIsExact` marks the first address as an exact pc (a signal's frame).
QStringList RenderStack(const std::vector<std::uintptr_t>& frames, bool firstIsExact = false);

// The demangled name of the type of the object `error` holds; "" when empty.
QString ExceptionTypeName(const std::exception_ptr& error);

// A loaded module (the program and its shared libraries), as the exception
// report lists them.
struct LoadedModule {
    std::uintptr_t base = 0;       // where its first segment is mapped
    std::uintptr_t preferred = 0;  // its linked address; 0 for position-independent code
    QString path;
    QString version;               // "6.4.2" from a versioned file name, else empty
};
// Sorted by base address; empty when the list cannot be had.
std::vector<LoadedModule> LoadedModules();
