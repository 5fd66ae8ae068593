#include "app/LindavoApplication.h"
#include "app/Version.h"
#include "app/fLogin.h"
#include "app/fMain.h"
#include "db/fUpdate.h"
#include "framework/UiHelpers.h"
#include "platform/SingleInstance.h"
#include "register/fEPreklady.h"

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
    mainWindowTargets().preklady = [] { RunEPreklady({}); };
    return RunMainWindow(instance, exe);
}
