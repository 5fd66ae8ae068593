// windowshot DATABASE WINDOW FILE.png [--keep]
//
// Opens one window of the program on a database, as a user would see it, and
// saves a picture of it (for the README and for looking at a window under a
// virtual display). WINDOW: preklady. With --keep the window stays open.
#include "fb/Connection.h"
#include "fb/Error.h"
#include "forms/FormDetails.h"
#include "framework/MainConnection.h"
#include "register/fEPreklady.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <map>

namespace {

// Saves the active window once it has been shown and painted.
void shootActiveWindow(const QString& file, bool keep)
{
    QTimer::singleShot(700, [file, keep] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w)
            w = QApplication::activeWindow();
        if (w) {
            w->grab().save(file);
            if (!keep)
                w->close();
        }
    });
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
    const QStringList args = app.arguments();
    const std::map<QString, std::function<void()>> windows = {
        {QStringLiteral("preklady"), [] { RunEPreklady({}); }},
    };
    if (args.size() < 4 || !windows.count(args[2])) {
        std::fprintf(stderr, "usage: windowshot DATABASE preklady FILE.png [--keep]\n");
        return 2;
    }
    fb::Connection connection;
    try {
        connection.open(args[1], {"USER_NAME=SYSDBA", "PASSWORD=masterkey", "lc_ctype=WIN1250"});
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    setMainConnection(&connection);
    shootActiveWindow(args[3], args.contains(QStringLiteral("--keep")));
    windows.at(args[2])();
    setMainConnection(nullptr);
    connection.close();
    return 0;
}
