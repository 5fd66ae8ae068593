#include "platform/FatalSignals.h"

#include <execinfo.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int kMaxFrames = 64;

std::atomic<FatalWriter> g_writer{nullptr};
std::atomic<bool> g_reported{false};  // one last entry, even when abort() follows terminate
std::terminate_handler g_previousTerminate = nullptr;
struct sigaction g_previous[sizeof kSignals / sizeof kSignals[0]];
bool g_installed = false;

const char* describe(int signal)
{
    switch (signal) {
    case SIGSEGV: return "Segmentation fault";
    case SIGBUS: return "Bus error";
    case SIGILL: return "Illegal instruction";
    case SIGFPE: return "Floating-point exception";
    case SIGABRT: return "Aborted";
    default: return "Fatal signal";
    }
}

// Should the writer hang (a lock held by the code that crashed), the alarm's
// default action ends the process.
void report(FatalReport& r)
{
    FatalWriter writer = g_writer.load();
    if (!writer || g_reported.exchange(true))
        return;
    alarm(10);
    writer(r);
}

void onSignal(int signal, siginfo_t*, void* context)
{
    void* raw[kMaxFrames];
    const int n = backtrace(raw, kMaxFrames);
    std::uintptr_t frames[kMaxFrames];
    int count = 0;
    // Start at the faulting instruction: the frames before it are this
    // handler and the kernel's return trampoline.
    std::uintptr_t pc = 0;
#if defined(__x86_64__)
    pc = static_cast<std::uintptr_t>(static_cast<ucontext_t*>(context)->uc_mcontext.gregs[REG_RIP]);
#else
    (void)context;
#endif
    int start = 0;
    bool exact = false;
    for (int i = 0; i < n; ++i)
        if (reinterpret_cast<std::uintptr_t>(raw[i]) == pc) {
            start = i;
            exact = true;
            break;
        }
    if (!exact && n > 2)
        start = 2;
    for (int i = start; i < n; ++i)
        frames[count++] = reinterpret_cast<std::uintptr_t>(raw[i]);
    FatalReport r;
    r.signal = signal;
    r.description = describe(signal);
    r.frames = frames;
    r.frameCount = count;
    r.firstIsExact = exact;
    report(r);
    // End as the signal would have ended the program (SA_RESETHAND restored
    // the default action; a fault raised again on return does the same).
    ::signal(signal, SIG_DFL);
    raise(signal);
}

void onTerminate()
{
    if (std::exception_ptr error = std::current_exception()) {
        FatalReport r;
        r.description = "Uncaught exception";
        r.error = error;
        report(r);
    }
    // abort() as the default handler would; its own entry is not written again.
    std::abort();
}

}  // namespace

void InstallFatalSignalHandlers(FatalWriter writer)
{
    g_writer = writer;
    g_reported = false;
    if (g_installed)
        return;
    // The unwinder is loaded on first use; not inside a handler.
    void* warm[2];
    backtrace(warm, 2);
    // A stack overflow needs a stack of its own to report on.
    // (generous: the writer formats text and reads debug information on it)
    static char altStack[1024 * 1024];
    stack_t ss{};
    ss.ss_sp = altStack;
    ss.ss_size = sizeof altStack;
    sigaltstack(&ss, nullptr);
    struct sigaction sa {};
    sa.sa_sigaction = onSignal;
    sa.sa_flags = SA_SIGINFO | SA_RESETHAND | SA_ONSTACK;
    sigemptyset(&sa.sa_mask);
    for (std::size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i)
        sigaction(kSignals[i], &sa, &g_previous[i]);
    g_previousTerminate = std::set_terminate(onTerminate);
    g_installed = true;
}

void RemoveFatalSignalHandlers()
{
    g_writer = nullptr;
    if (!g_installed)
        return;
    for (std::size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i)
        sigaction(kSignals[i], &g_previous[i], nullptr);
    std::set_terminate(g_previousTerminate);
    g_installed = false;
}
