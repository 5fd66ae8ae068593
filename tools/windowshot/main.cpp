// windowshot DATABASE WINDOW FILE.png [--keep]
//
// Opens one window of the program on a database, as a user would see it, and
// saves a picture of it (for the README and for looking at a window under a
// virtual display; the offscreen platform has no real fonts). WINDOW:
//   preklady  the translation register
//   editor    the job editor on the newest delivered, rated job (add mode
//             when there is none)
// With --keep the window stays open for a look.
#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "forms/FormDetails.h"
#include "framework/DbOperation.h"
#include "framework/Dialogs.h"
#include "framework/MainConnection.h"
#include "register/fEPreklady.h"
#include "register/fEPrekladyPridaj.h"

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

void showEditor()
{
    QVariant job;
    RunInTransaction(
        [&](fb::Transaction& tr) {
            fb::Query q(tr);
            q.setSql({QStringLiteral("select first 1 a.jedin from preklady a join jazykove_kombinacie j"),
                      QStringLiteral("on j.jedin=a.jazykova_kombinacia where j.hodnoteny=1 and a.hodnoteny=1"),
                      QStringLiteral("and a.datum_dodania_prekladu is not null and a.prekladatel is not null"),
                      QStringLiteral("order by a.jedin desc")});
            job = q.executeScalar();
        },
        true);
    TFormDetails d;
    InitDetails(d, job.isValid() ? TFormDetails::Edit : TFormDetails::Insert, {}, job);
    // The code lists are not opened here; given, so their "..." buttons show.
    TfrmEPrekladyPridaj::Windows windows;
    windows.pickContact = [](bool, const QVariant&, const QVariant&) { return QVariant(); };
    windows.pickCombination = [](const QVariant&) { return QVariant(); };
    TfrmEPrekladyPridaj editor(QStringLiteral("JN"), windows);
    editor.SetDetails(d);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
    const QStringList args = app.arguments();
    const std::map<QString, std::function<void()>> windows = {
        {QStringLiteral("preklady"), [] { RunEPreklady({}); }},
        {QStringLiteral("editor"), showEditor},
    };
    if (args.size() < 4 || !windows.count(args[2])) {
        std::fprintf(stderr, "usage: windowshot DATABASE preklady|editor FILE.png [--keep]\n");
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
    // A message would wait for a user: print it and go on.
    setDialogResponder([](const DialogRequest& r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.text));
        return r.defaultResult;
    });
    shootActiveWindow(args[3], args.contains(QStringLiteral("--keep")));
    windows.at(args[2])();
    setMainConnection(nullptr);
    connection.close();
    return 0;
}
