// windowshot DATABASE WINDOW FILE.png [--keep]
//
// Opens one window of the program on a database, as a user would see it, and
// saves a picture of it (for the README and for looking at a window under a
// virtual display; the offscreen platform has no real fonts). WINDOW:
//   preklady  the translation register
//   editor    the job editor on the newest delivered, rated job (add mode
//             when there is none)
//   kombinacie, jednotky, uzivatelia   the code lists, filter panel as left
//   uzivatel  the user editor on the first user, as an administrator sees it
// With --keep the window stays open for a look.
#include "codelists/fCJazykoveKombinacie.h"
#include "codelists/fCMerneJednotky.h"
#include "codelists/fCUzivatelia.h"
#include "codelists/fCUzivateliaPridaj.h"
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
            q.setSql(
                {QStringLiteral("select first 1 a.jedin from preklady a join jazykove_kombinacie j"),
                 QStringLiteral("on j.jedin=a.jazykova_kombinacia where j.hodnoteny=1 and a.hodnoteny=1"),
                 QStringLiteral("and a.datum_dodania_prekladu is not null and a.prekladatel is not null"),
                 QStringLiteral("order by a.jedin desc")});
            job = q.executeScalar();
        },
        true);
    TFormDetails d;
    InitDetails(d, job.isValid() ? TFormDetails::Edit : TFormDetails::Insert, {}, job);
    TfrmEPrekladyPridaj editor(QStringLiteral("JN"));
    editor.SetDetails(d);
}

// A code list as the main window opens it.
std::function<void()> codeList(void (*run)(TFormDetails&))
{
    return [run] {
        TFormDetails d;
        InitDetails(d, TFormDetails::Browse);
        run(d);
    };
}

void showUserEditor()
{
    QVariant user;
    RunInTransaction(
        [&](fb::Transaction& tr) {
            fb::Query q(tr);
            q.setSql(QStringLiteral("select first 1 jedin from uzivatelia order by jedin"));
            user = q.executeScalar();
        },
        true);
    TFormDetails d;
    InitDetails(d, user.isValid() ? TFormDetails::Edit : TFormDetails::Insert, {}, user);
    RunCUzivateliaPridaj(d, true);
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
        {QStringLiteral("kombinacie"), codeList(RunCJazykoveKombinacie)},
        {QStringLiteral("jednotky"), codeList(RunCMerneJednotky)},
        {QStringLiteral("uzivatelia"), codeList(RunCUzivatelia)},
        {QStringLiteral("uzivatel"), showUserEditor},
    };
    if (args.size() < 4 || !windows.count(args[2])) {
        std::fprintf(stderr,
                     "usage: windowshot DATABASE preklady|editor|kombinacie|jednotky|uzivatelia|uzivatel "
                     "FILE.png [--keep]\n");
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
