// editorshot DATABASE PNG: opens the job editor on a job of the database (a
// delivered, rated one when there is one) the way a user sees it and saves a
// picture of the window. Run it on a real display or under Xvfb; the
// offscreen platform has no real fonts.
#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "forms/FormDetails.h"
#include "framework/Dialogs.h"
#include "framework/MainConnection.h"
#include "register/fEPrekladyPridaj.h"

#include <QApplication>
#include <QLocale>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Slovak, QLocale::Slovakia));
    if (argc != 3) {
        std::fprintf(stderr, "usage: editorshot DATABASE PNG\n");
        return 2;
    }
    const QString png = QString::fromLocal8Bit(argv[2]);
    // Any message would wait for a user: print it and go on.
    setDialogResponder([](const DialogRequest& r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.text));
        return r.defaultResult;
    });
    try {
        fb::Connection c;
        c.open(QString::fromLocal8Bit(argv[1]),
               {QStringLiteral("USER_NAME=SYSDBA"), QStringLiteral("PASSWORD=masterkey"),
                QStringLiteral("lc_ctype=WIN1250")});
        setMainConnection(&c);
        QVariant job;
        {
            fb::Transaction tr(c, {QStringLiteral("read"), QStringLiteral("read_committed"),
                                   QStringLiteral("rec_version"), QStringLiteral("nowait")});
            fb::Query q(tr);
            tr.start();
            q.setSql(QStringList{
                QStringLiteral("select first 1 a.jedin from preklady a join jazykove_kombinacie j"),
                QStringLiteral("on j.jedin=a.jazykova_kombinacia where j.hodnoteny=1 and a.hodnoteny=1"),
                QStringLiteral("and a.datum_dodania_prekladu is not null and a.prekladatel is not null"),
                QStringLiteral("order by a.jedin desc")});
            job = q.executeScalar();
            tr.commit();
        }
        TFormDetails d;
        InitDetails(d, job.isValid() ? TFormDetails::Edit : TFormDetails::Insert, {}, job);
        TfrmEPrekladyPridaj editor(QStringLiteral("JN"));
        bool saved = false;
        QTimer::singleShot(800, [&] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                saved = w->grab().save(png);
                w->close();
            }
        });
        editor.SetDetails(d);
        setMainConnection(nullptr);
        if (!saved) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(png));
            return 1;
        }
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "database error %ld: %s\n", long(e.code()), qPrintable(e.message()));
        return 1;
    }
    return 0;
}
