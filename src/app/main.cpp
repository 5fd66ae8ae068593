#include "app/LindavoApplication.h"
#include "app/ProgramLocations.h"
#include "app/Version.h"
#include "app/fLogin.h"
#include "app/fMain.h"
#include "codelists/fCAdresar.h"
#include "codelists/fCAdresarPridaj.h"
#include "codelists/fCKombinaciePridaj.h"
#include "codelists/fCJazykoveKombinacie.h"
#include "codelists/fCMerneJednotky.h"
#include "codelists/fCUzivatelia.h"
#include "codelists/fCUzivateliaPridaj.h"
#include "db/fUpdate.h"
#include "framework/UiHelpers.h"
#include "maintenance/fZalohovanie.h"
#include "platform/SingleInstance.h"
#include "register/fEPreklady.h"
#include "register/fEPrekladyPridaj.h"
#include "reports/fEPrekladyTlac.h"
#include "reports/fTlac.h"

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

// The address book in select mode: customers, or translators (ranked for
// `combination` when given). The picked record number, or null.
QVariant PickContact(bool translator, const QVariant& current, const QVariant& combination)
{
    TFormDetails d;
    InitDetails(d, TFormDetails::Select, {}, current);
    d.Flag = translator;
    d.Value = combination;
    RunCAdresar(d);
    return d.result() == TFormDetails::ResultOk ? d.Current : QVariant();
}

// The code lists the job editor opens: pickers, the offers to add and the
// rate definition.
TfrmEPrekladyPridaj::Windows JobEditorWindows()
{
    TfrmEPrekladyPridaj::Windows w;
    w.defineRate = [](const QVariant& contact, bool translator, const QVariant& combination) {
        TFormDetails d;
        InitDetails(d, TFormDetails::Insert, contact);
        d.Flag = translator;
        d.Value = combination;
        d.ShowNext = false;
        RunEditor<TfrmCKombinaciePridaj>(d);
        return d.result() == TFormDetails::ResultOk;
    };
    w.pickContact = PickContact;
    w.pickCombination = [](const QVariant& current) { return PickJazykovaKombinacia(current); };
    w.addContact = [](bool translator, const QString& name) {
        TFormDetails d;
        InitDetails(d, TFormDetails::Insert);
        d.Flag = translator;
        d.Text = name;
        d.ShowNext = false;
        RunEditor<TfrmCAdresarPridaj>(d);
        return d.result() == TFormDetails::ResultOk ? d.Current : QVariant();
    };
    w.addCombination = [](const QString& skratka) { return PridajJazykovuKombinaciu(skratka); };
    return w;
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
    mainWindowTargets().preklady = [] {
        // The register opens from the main window, which knows who is logged in.
        auto* main = qobject_cast<TfrmMain*>(MainWindow());
        TfrmEPreklady::Windows windows;
        windows.userAbbreviation = main ? main->Uzivatel().Skratka : QString();
        windows.editorWindows = JobEditorWindows();
        // Taken now: while the register is open it is the main window itself.
        const QString reports = main ? main->settings().reports : QString();
        const QString shipped = main ? main->locations().shippedReports : QString();
        windows.reportMenu = [reports, shipped] {
            ReportDialogCalls calls;
            calls.run = [reports, shipped](const ReportRequest& request) { RunReport(request, reports, shipped); };
            calls.pickAddress = [](int typ, const QVariant& current) { return PickContact(typ == 1, current, {}); };
            RunEPrekladyTlac(std::move(calls));
        };
        RunEPreklady(std::move(windows));
    };
    mainWindowTargets().zalohovanie = [] {
        auto* main = qobject_cast<TfrmMain*>(MainWindow());
        if (!main)
            return;
        ZalohovanieEnvironment env;
        env.connection = &main->IBDatabase();
        env.databasePath = main->settings().database;
        env.userName = main->settings().userName;
        env.password = main->settings().password;
        env.backupsFolder = main->settings().backups;
        env.closeConnection = [main] { main->CloseConnection(); };
        env.reopenConnection = [main] { main->Reconnect(); };
        RunZalohovanie(env);
    };
    mainWindowTargets().jazykoveKombinacie = RunCJazykoveKombinacie;
    TfrmCKombinaciePridaj::languageCombinations() = RunCJazykoveKombinacie;
    mainWindowTargets().merneJednotky = RunCMerneJednotky;
    mainWindowTargets().uzivatelia = RunCUzivatelia;
    // The main window gives everyone but an administrator his own record only.
    mainWindowTargets().uzivatelEditor = [](TFormDetails& d) { RunCUzivateliaPridaj(d, false); };
    // Customers and translators (Flag) share the address book.
    mainWindowTargets().adresar = [](TFormDetails& d) { RunCAdresar(d); };
    return RunMainWindow(instance, exe);
}
