#pragma once

#include <cstdint>
#include <exception>

// The last word of a dying program: a segmentation fault, a bus error, an
// illegal instruction, a floating-point trap or an abort (also std::terminate)
// hands its stack to the writer before the program ends as it would have.
// The writer runs inside a signal handler: the program is broken already, so
// it does what it can; an alarm ends the process should the writer hang.

struct FatalReport {
    int signal = 0;                   // 0 for std::terminate with an exception
    const char* description = "";     // "Segmentation fault", "Aborted", ...
    const std::uintptr_t* frames = nullptr;  // innermost first
    int frameCount = 0;
    bool firstIsExact = false;        // frames[0] is the faulting instruction
    std::exception_ptr error;         // the uncaught exception (terminate only)
};
using FatalWriter = void (*)(const FatalReport& report);

void InstallFatalSignalHandlers(FatalWriter writer);
void RemoveFatalSignalHandlers();
