#include "app/LindavoApplication.h"
#include "app/Version.h"
#include "app/WindowTargets.h"
#include "app/fLogin.h"
#include "app/fMain.h"
#include "db/fUpdate.h"
#include "platform/SingleInstance.h"

#ifdef LINDAVO_TEST_HOOKS
#include "framework/SlotGuard.h"

#include <csignal>
#include <cstdint>
#include <stdexcept>

namespace {

// The test hook: the environment variable LINDAVO_TEST_ERROR, read only by
// builds with the tests, raises an error at start-up so that tests and a
// developer see the exception dialog, the log and the fatal-signal entry:
//   throw      an exception from RaiseDeliberateError() reaches the dialog
//   segv       a segmentation fault in CrashDeliberately()
//   abort      abort() in AbortDeliberately()
//   terminate  an exception that nothing catches, from RaiseUncaught()
// After "throw" the program starts as usual once the dialog is closed.
[[gnu::noinline]] void RaiseDeliberateError()
{
    throw std::runtime_error("Úmyselná chyba na skúšku dialógu chýb");
}

[[gnu::noinline]] void CrashDeliberately()
{
    // An unmapped address in the first page, not null: the sanitizer build
    // would stop a null store before it faults. Volatile both ways, so
    // neither the address nor the store is optimised away.
    volatile int* volatile nowhere = reinterpret_cast<volatile int*>(std::uintptr_t(64));
    *nowhere = 1;
}

[[gnu::noinline]] void AbortDeliberately()
{
    std::abort();
}

[[gnu::noinline]] void RaiseUncaught()
{
    throw std::logic_error("Úmyselná nezachytená chyba");
}

void RunTestHook(const QByteArray& what)
{
    if (what == "throw")
        runGuarded(RaiseDeliberateError);
    else if (what == "segv")
        CrashDeliberately();
    else if (what == "abort")
        AbortDeliberately();
    else if (what == "terminate")
        RaiseUncaught();
}

}  // namespace
#endif

int main(int argc, char** argv)
{
    LindavoApplication app(argc, argv);
#ifdef LINDAVO_TEST_HOOKS
    RunTestHook(qgetenv("LINDAVO_TEST_ERROR"));
#endif
    const QString exe = QCoreApplication::applicationFilePath();

    // A second start of the same executable only wakes the first one.
    SingleInstance instance(exe);
    if (!instance.claim())
        return 0;

    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quendel - Lindavo"));
    startupCalls().migrate = [](TfrmMain& main) {
        TfrmUpdate window(main.IBDatabase(), SupportedVersion());
        if (!window.packageUsable())
            return false;
        window.exec();
        return true;
    };
    startupCalls().login = [](TfrmMain& main) { return Login(main.Uzivatel()); };
    InstallWindowTargets();
    return RunMainWindow(instance, exe);
}
