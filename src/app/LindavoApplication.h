#pragma once

#include <QApplication>

// The application object. An exception that escapes an event handler ends in
// the unexpected-error dialog instead of ending the program.
class LindavoApplication : public QApplication {
    Q_OBJECT
public:
    LindavoApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
