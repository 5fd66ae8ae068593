#include "app/WindowTargets.h"

#include "app/AppConfig.h"
#include "app/Version.h"
#include "app/fMain.h"
#include "framework/Clock.h"
#include "framework/Messages.h"
#include "framework/UserSettings.h"
#include "maintenance/AutomaticBackup.h"
#include "maintenance/BackupState.h"
#include "maintenance/BackupStatusLabel.h"
#include "maintenance/fExceptionDialog.h"
#include "codelists/fCAdresar.h"
#include "codelists/fCAdresarPridaj.h"
#include "codelists/fCJazykoveKombinacie.h"
#include "codelists/fCKombinaciePridaj.h"
#include "codelists/fCMerneJednotky.h"
#include "codelists/fCUzivatelia.h"
#include "codelists/fCUzivateliaPridaj.h"
#include "register/fEPrekladyPridaj.h"
#include "reports/fEPrekladyTlac.h"
#include "reports/fPrehladAgentury.h"
#include "reports/fTlac.h"

#include <QDir>
#include <QSysInfo>

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

ReportRun ReportRunFor(TfrmMain& main)
{
    // The folders are read when the report runs: a reconnect re-reads the settings.
    return [&main](const ReportRequest& request) {
        RunReport(request, main.settings().reports, main.locations().shippedReports);
    };
}

TfrmEPreklady::Windows RegisterWindowsFor(TfrmMain& main)
{
    TfrmEPreklady::Windows windows;
    windows.userAbbreviation = main.Uzivatel().Skratka;
    windows.editorWindows = JobEditorWindows();
    windows.reportMenu = [run = ReportRunFor(main)] {
        ReportDialogCalls calls;
        calls.run = run;
        calls.pickAddress = [](int typ, const QVariant& current) { return PickContact(typ == 1, current, {}); };
        RunEPrekladyTlac(std::move(calls));
    };
    return windows;
}

ZalohovanieEnvironment BackupEnvironmentFor(TfrmMain& main)
{
    ZalohovanieEnvironment env;
    env.connection = &main.IBDatabase();
    env.databasePath = main.settings().database;
    env.userName = main.settings().userName;
    env.password = main.settings().password;
    env.backupsFolder = main.settings().backups;
    env.keepCopies = ReadBackupCopies(main.configPath());
    env.supportedVersion = SupportedVersion();
    env.loggedInUser = [&main] { return main.Uzivatel().Jedin; };
    env.stateFile = main.locations().backupState;
    env.logProblem = LogBackupProblem;
    env.closeConnection = [&main] { main.CloseConnection(); };
    env.reopenConnection = [&main] { main.Reconnect(); };
    return env;
}

void LogBackupProblem(const QString& text)
{
    TSimpleExceptionLog log(TExceptionDialog::Settings().logFile);
    log.WriteStamp();
    log.Write(text);
    log.Close();
}

void AutomaticBackupOnConnect(TfrmMain& main, TAutomaticBackup& runner)
{
    const ConnectionSettings& settings = main.settings();
    const bool on = ReadAutomaticBackup(main.configPath(), settings.database);
    main.lblZaloha->setVisible(on);
    if (!on)
        return;
    const QString stateFile = main.locations().backupState;
    const auto showStatus = [&main, stateFile] {
        main.lblZaloha->showStatus(BackupStateFile(stateFile, main.settings().database).status(), Clock::today());
    };
    QObject::disconnect(&runner, nullptr, &main, nullptr);
    QObject::connect(&runner, &TAutomaticBackup::finished, &main, [&main, showStatus](const VerifiedBackup& result) {
        showStatus();
        if (result.verified)
            return;
        const QString text = QStringLiteral("Automatická záloha databázy zo dňa %1 nie je overená.\r\n%2\r\n\r\n"
                                            "Záložný súbor: %3")
                                 .arg(result.moment.toString(QStringLiteral("dd.MM.yyyy hh:mm")), result.problem,
                                      QDir::toNativeSeparators(result.file));
        LogBackupProblem(text);
        RedMessageDlg(text, msg::Error, {msg::OK}, 0, msg::OK);
    });
    if (runner.running()) {
        main.lblZaloha->showRunning();
        return;
    }
    showStatus();

    // The backup window's file in the configured folder; a stored name it
    // would refuse falls back to its default.
    QString name = readUserString(TfrmZalohovanie::settingsSection(), QStringLiteral("VevavivaviBackup"),
                                  QStringLiteral("Lindavo.fbk"))
                       .trimmed();
    if (!BackupFileNameProblem(name, settings.backups, settings.database).isEmpty())
        name = QStringLiteral("Lindavo.fbk");
    const fb::DatabaseInfo info = main.IBDatabase().info();
    AutomaticBackupSettings a;
    a.job.login = {ChooseServiceSite(settings.database, info.siteName, QSysInfo::machineHostName()),
                   settings.userName, settings.password};
    a.job.databasePath = settings.database;
    a.job.databaseFile = info.fileName;
    a.job.params = ConnectionParams(settings);
    a.job.supportedVersion = SupportedVersion();
    a.target = BackupFilePath(settings.backups, name);
    a.keepCopies = ReadBackupCopies(main.configPath());
    a.stateFile = stateFile;
    if (runner.startIfDue(a, Clock::today(), Clock::now()))
        main.lblZaloha->showRunning();
}

void InstallWindowTargets()
{
    MainWindowTargets& t = mainWindowTargets();
    t.preklady = [](TfrmMain& main) { RunEPreklady(RegisterWindowsFor(main)); };
    t.prekladyPodlaTerminu = [](TfrmMain& main, DeadlineFilter filter) {
        TfrmEPreklady::Windows windows = RegisterWindowsFor(main);
        windows.termin = filter;
        RunEPreklady(std::move(windows));
    };
    t.prehlad = [](TfrmMain&) { RunPrehladAgentury(); };
    t.zalohovanie = [](TfrmMain& main) {
        RunZalohovanie(BackupEnvironmentFor(main));
        // a check in the window may have found the newest backup damaged
        const TAutomaticBackup* automatic = TAutomaticBackup::instance();
        if (!main.lblZaloha->isHidden() && !(automatic && automatic->running()))
            main.lblZaloha->showStatus(
                BackupStateFile(main.locations().backupState, main.settings().database).status(), Clock::today());
    };
    t.jazykoveKombinacie = RunCJazykoveKombinacie;
    TfrmCKombinaciePridaj::languageCombinations() = RunCJazykoveKombinacie;
    t.merneJednotky = RunCMerneJednotky;
    t.uzivatelia = RunCUzivatelia;
    // The main window gives everyone but an administrator his own record only.
    t.uzivatelEditor = [](TFormDetails& d) { RunCUzivateliaPridaj(d, false); };
    // Customers and translators (Flag) share the address book.
    t.adresar = [](TFormDetails& d) { RunCAdresar(d); };
}
