// windowshot DATABASE WINDOW FILE.png [--keep]
//
// Opens one window of the program on a database, as a user would see it, and
// saves a picture of it (for the README and for looking at a window under a
// virtual display; the offscreen platform has no real fonts). WINDOW:
//   preklady  the translation register
//   editor    the job editor on the newest delivered, rated job (add mode
//             when there is none)
//   adresar   the address book of customers (with --rates: on its rates tab)
//   kontakt   the contact editor on the first customer with a colour
// With --keep the window stays open for a look.
#include "codelists/fCAdresar.h"
#include "codelists/fCAdresarPridaj.h"
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
#include <QTabWidget>
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
    TfrmEPrekladyPridaj editor(QStringLiteral("JN"));
    editor.SetDetails(d);
}

void showAdresar(bool ratesTab)
{
    // On the rates tab: the first customer that has rates.
    QVariant contact;
    if (ratesTab)
        RunInTransaction(
            [&](fb::Transaction& tr) {
                fb::Query q(tr);
                q.setSql({QStringLiteral("select first 1 a.jedin from adresar a where a.typ=0 and exists"),
                          QStringLiteral("(select 1 from kombinacie k where k.adresar=a.jedin) order by a.meno")});
                contact = q.executeScalar();
            },
            true);
    TFormDetails d;
    InitDetails(d, TFormDetails::Browse, {}, contact);
    if (ratesTab)
        QTimer::singleShot(300, [] {
            if (auto* w = qobject_cast<TfrmCAdresar*>(QApplication::activeModalWidget()))
                w->pc1->setCurrentWidget(w->tabKombinacie);
        });
    RunCAdresar(d);
}

void showContactEditor()
{
    QVariant contact;
    RunInTransaction(
        [&](fb::Transaction& tr) {
            fb::Query q(tr);
            q.setSql({QStringLiteral("select first 1 jedin from adresar where typ=0"),
                      QStringLiteral("order by farba nulls last, jedin")});
            contact = q.executeScalar();
        },
        true);
    TFormDetails d;
    InitDetails(d, contact.isValid() ? TFormDetails::Edit : TFormDetails::Insert, {}, contact);
    RunEditor<TfrmCAdresarPridaj>(d);
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
        {QStringLiteral("adresar"), [&args] { showAdresar(args.contains(QStringLiteral("--rates"))); }},
        {QStringLiteral("kontakt"), showContactEditor},
    };
    if (args.size() < 4 || !windows.count(args[2])) {
        std::fprintf(stderr, "usage: windowshot DATABASE preklady|editor|adresar|kontakt FILE.png [--keep] [--rates]\n");
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
