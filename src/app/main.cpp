#include "app/LindavoApplication.h"
#include "app/ProgramLocations.h"
#include "app/Version.h"
#include "app/WindowTargets.h"
#include "app/fLogin.h"
#include "app/fMain.h"
#include "db/fUpdate.h"
#include "maintenance/AutomaticBackup.h"
#include "platform/SingleInstance.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <optional>
#include <string_view>

#ifdef LINDAVO_TEST_HOOKS
#include "framework/Dialogs.h"
#include "framework/SlotGuard.h"
#include "framework/WaitPlease.h"

#include <QFile>
#include <QTimer>

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

// LINDAVO_TEST_STARTUP=FILE: a start-up without anyone at the screen, for
// the test of the installed package. Every message is written to FILE and
// answered Yes where it asks; the first modal window besides the wait window
// (the login, or the migration window) is written there as "window NAME" and
// closed, which ends the program.
void WatchStartup(const QString& file)
{
    const auto note = [file](const QString& line) {
        QFile f(file);
        if (f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            f.write((line + u'\n').toUtf8());
    };
    setDialogResponder([note](const DialogRequest& request) {
        note(QStringLiteral("dialog ") + QString(request.text).replace(QLatin1String("\r\n"), QLatin1String(" ")));
        return request.buttons.contains(msg::Yes) ? int(msg::Yes) : request.defaultResult;
    });
    auto* timer = new QTimer(qApp);
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, [timer, note] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && !qobject_cast<TfrmWaitPlease*>(w)) {
            timer->stop();
            note(QStringLiteral("window ") + w->objectName());
            w->close();
        }
    });
    timer->start();
}

void RunTestHook(const QByteArray& what)
{
    if (what == "throw")
        runReportingUnexpected(RaiseDeliberateError);
    else if (what == "segv")
        CrashDeliberately();
    else if (what == "abort")
        AbortDeliberately();
    else if (what == "terminate")
        RaiseUncaught();
}

}  // namespace
#endif

namespace {

void print(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

// --version and --help are answered without a display (before any window
// exists); nullopt when neither is asked for.
std::optional<int> AnswerCommandLine(int argc, char** argv)
{
    bool version = false, help = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        version = version || arg == "--version" || arg == "-v";
        help = help || arg == "--help" || arg == "-h";
    }
    if (!version && !help)
        return std::nullopt;
    QCoreApplication app(argc, argv);
    if (help) {
        const ProgramLocations l = LocateProgramFiles(QCoreApplication::applicationFilePath());
        print(QStringLiteral("Použitie: %1 [--version] [--help]\n"
                             "Lindavo, evidencia prekladov, verzia %2\n\n"
                             "  -h, --help     tento text\n"
                             "  -v, --version  verzia programu\n\n"
                             "Konfiguračný súbor: %3\n"
                             "Predvolená databáza: %4\n")
                  .arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName(), VersionText(),
                       QDir::toNativeSeparators(l.configFile), QDir::toNativeSeparators(l.database)));
    } else {
        print(QStringLiteral("Lindavo %1\n").arg(VersionText()));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (const std::optional<int> answered = AnswerCommandLine(argc, argv))
        return *answered;
    UseOwnEngineLockFolder();
    LindavoApplication app(argc, argv);
    // The per-user folders Qt picks (window settings) carry the program's
    // name, also when the installed executable is called "lindavo".
    QCoreApplication::setApplicationName(QStringLiteral("Lindavo"));
    // The desktop's menu entry (and its icon) of the installed program.
    QGuiApplication::setDesktopFileName(QStringLiteral("sk.quendel.Lindavo"));
#ifdef LINDAVO_TEST_HOOKS
    if (qEnvironmentVariableIsSet("LINDAVO_TEST_STARTUP"))
        WatchStartup(qEnvironmentVariable("LINDAVO_TEST_STARTUP"));
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
    // Outlives the main window: closing the program stops a running backup
    // here and waits for it, before the database engine goes.
    TAutomaticBackup automaticBackup;
    TAutomaticBackup::setInstance(&automaticBackup);
    startupCalls().connected = [&automaticBackup](TfrmMain& main) { AutomaticBackupOnConnect(main, automaticBackup); };
    const int exitCode = RunMainWindow(instance, exe);
    startupCalls().connected = nullptr;
    return exitCode;
}
