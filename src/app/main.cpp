#include "app/LindavoApplication.h"
#include "app/Version.h"
#include "app/fLogin.h"
#include "app/fMain.h"
#include "db/fUpdate.h"
#include "framework/UiHelpers.h"
#include "maintenance/fZalohovanie.h"
#include "platform/SingleInstance.h"
#include "register/fEPreklady.h"
#include "reports/fEPrekladyTlac.h"

int main(int argc, char** argv)
{
    LindavoApplication app(argc, argv);
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
        // Until reports can be printed, the dialogs say so on OK.
        windows.reportMenu = [] { RunEPrekladyTlac({}); };
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
    return RunMainWindow(instance, exe);
}
