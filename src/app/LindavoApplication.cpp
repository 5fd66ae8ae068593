#include "app/LindavoApplication.h"

#include "app/AppConfig.h"
#include "app/ProgramLocations.h"
#include "app/Version.h"
#include "app/fMain.h"
#include "framework/SlotGuard.h"
#include "framework/UiHelpers.h"
#include "maintenance/fExceptionDialog.h"
#include "platform/SingleInstance.h"

#include <QPointer>

LindavoApplication::LindavoApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationVersion(VersionText());
    UseSlovakUserInterface();
    ExceptionDialogSettings settings;
    const ProgramLocations locations = LocateProgramFiles(applicationFilePath());
    settings.logFile = locations.errorLog;
    // Not read now: a second start must end before it touches the configuration.
    settings.readSupportAddress = [config = locations.configFile] { return ReadSupportEmail(config); };
    TExceptionDialog::Install(settings);
}

LindavoApplication::~LindavoApplication()
{
    TExceptionDialog::Remove();
}

bool LindavoApplication::notify(QObject* receiver, QEvent* event)
{
    // The last resort: slots run guarded, but Qt does not promise that an
    // exception gets this far, so nothing should rely on it.
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportUnexpectedError(std::current_exception());
    }
    return false;
}

void RaiseApplication(QWidget* mainWindow)
{
    QWidget* w = QApplication::activeModalWidget();
    if (!w)
        w = mainWindow;
    if (!w)
        return;
    if (w->isMinimized())
        w->showNormal();
    w->raise();
    w->activateWindow();
}

int RunMainWindow(SingleInstance& instance, const QString& executablePath)
{
    // The application ends when the main window closes, not when the last
    // visible window does: the main window is hidden while a register runs.
    QApplication::setQuitOnLastWindowClosed(false);

    // Connected before the main window exists: its creation runs the migration
    // and the login, and a second start meanwhile must raise those.
    QObject wakeUp;
    QPointer<TfrmMain> mainWindow;
    QObject::connect(&instance, &SingleInstance::activationRequested, &wakeUp,
                     guarded([&mainWindow] { RaiseApplication(mainWindow); }));

    TfrmMain frmMain(executablePath);
    if (frmMain.terminated())
        return 1;
    mainWindow = &frmMain;
    QObject::connect(&frmMain, &TfrmMain::closed, qApp, &QCoreApplication::quit);
    QObject::connect(&frmMain, &TfrmMain::startupEnded, qApp,
                     [](int exitCode) { QCoreApplication::exit(exitCode); });
    frmMain.show();
    return QApplication::exec();
}
