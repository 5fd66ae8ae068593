#pragma once

#include <QApplication>

class SingleInstance;

// The application object. It installs the exception dialog as the handler of
// guarded slots (framework/SlotGuard.h) and of fatal signals, and removes it
// at the end; an exception that still escapes an event handler ends there too
// instead of ending the program.
class LindavoApplication : public QApplication {
    Q_OBJECT
public:
    LindavoApplication(int& argc, char** argv);
    ~LindavoApplication() override;
    bool notify(QObject* receiver, QEvent* event) override;
};

// Brings the program to the front, restored first when minimised: the active
// modal window (the migration window or the login while starting, a dialog
// later), otherwise `mainWindow` (null while it is being created).
void RaiseApplication(QWidget* mainWindow);

// Runs the program once the single-instance check let it: creates the main
// window (the whole start-up runs meanwhile), shows it and runs the event loop.
// A second start wakes this one from the beginning, also during the migration
// and the login. Returns the exit code: 1 when the start-up (also that of a
// later reconnect) ended the application.
int RunMainWindow(SingleInstance& instance, const QString& executablePath);
