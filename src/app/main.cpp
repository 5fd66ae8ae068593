#include "app/AppConfig.h"
#include "app/LindavoApplication.h"
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

namespace {

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
    mainWindowTargets().preklady = [] {
        // The register opens from the main window, which knows who is logged in.
        auto* main = qobject_cast<TfrmMain*>(MainWindow());
        TfrmEPreklady::Windows windows;
        windows.userAbbreviation = main ? main->Uzivatel().Skratka : QString();
        windows.editorWindows = JobEditorWindows();
        windows.reportMenu = [] {
            ReportDialogCalls calls;
            calls.run = [](const ReportRequest& request) {
                auto* main = qobject_cast<TfrmMain*>(MainWindow());
                RunReport(request, main ? main->settings().reports : QString());
            };
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
        env.keepCopies = ReadBackupCopies(main->configPath());
        env.supportedVersion = SupportedVersion();
        env.loggedInUser = [main] { return main->Uzivatel().Jedin; };
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
