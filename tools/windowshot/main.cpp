// windowshot DATABASE WINDOW FILE.png [--keep]
//
// Opens one window of the program on a database, as a user would see it, and
// saves a picture of it (for the README and for looking at a window under a
// virtual display; the offscreen platform has no real fonts). WINDOW:
//   preklady  the translation register
//   editor    the job editor on the newest delivered, rated job (add mode
//             when there is none)
//   uhrady    the bulk invoice and payment entry
//   tlac      the report menu
//   tlac-zoznam, tlac-ziskovost, tlac-mesacna, tlac-hodnotenie
//             a report dialog (job list and profitability by customers)
//   nahlad    the report preview of the sample job list over all jobs, with
//             a text found
//   preh_obj  the preview of the job list by customers (Preh_Obj_Sk) over the
//             last six months of sent jobs, as the report run prepares it
//   navrhar   the report designer on Preh_Obj_Sk with the statement's fields
//   zostava-NAME  the same for the shipped layout NAME (Preh_Pre_En, Zisk,
//             ZiskMes, ...; ZiskMes over every sent job, by customers)
//   zalohovanie  the backup window after a backup into a temporary folder
//   exception the exception dialog with its details shown, for an error
//             thrown by a function of this tool (DATABASE is not opened)
//   kombinacie, jednotky, uzivatelia   the code lists, filter panel as left
//   uzivatel  the user editor on the first user, as an administrator sees it
//   adresar   the address book of customers (with --rates: on its rates tab)
//   kontakt   the contact editor on the first customer with a colour
// With --keep the window stays open for a look.
#include "framework/UiHelpers.h"
#include "codelists/fCAdresar.h"
#include "codelists/fCAdresarPridaj.h"
#include "codelists/fCJazykoveKombinacie.h"
#include "codelists/fCMerneJednotky.h"
#include "codelists/fCUzivatelia.h"
#include "codelists/fCUzivateliaPridaj.h"
#include "controls/QDLBtn.h"
#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "forms/FormDetails.h"
#include "framework/DbOperation.h"
#include "framework/Dialogs.h"
#include "framework/MainConnection.h"
#include "framework/SlotGuard.h"
#include "maintenance/fExceptionDialog.h"
#include "maintenance/fZalohovanie.h"
#include "register/fEPreklady.h"
#include "register/fEPrekladyPridaj.h"
#include "register/fEPrekladyUhrady.h"
#include "reportengine/Report.h"
#include "reportengine/ReportPreview.h"
#include "reportengine/designer/DesignerWindow.h"
#include "reports/EPrekladyTlacSql.h"
#include "reports/ReportDataset.h"
#include "reports/fEPrekladyTlac.h"
#include "reports/fEPrekladyTlacHodnotenie.h"
#include "reports/fEPrekladyTlacZiskovost.h"
#include "reports/fEPrekladyTlacZiskovostMesacna.h"
#include "reports/fEPrekladyTlacZoznam.h"
#include "reports/fTlac.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <map>
#include <stdexcept>

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
    // The code lists are not opened here; given, so their "..." buttons show.
    TfrmEPrekladyPridaj::Windows windows;
    windows.pickContact = [](bool, const QVariant&, const QVariant&) { return QVariant(); };
    windows.pickCombination = [](const QVariant&) { return QVariant(); };
    TfrmEPrekladyPridaj editor(QStringLiteral("JN"), windows);
    editor.SetDetails(d);
}

template <class Dialog>
void showReportDialog()
{
    Dialog dialog;
    dialog.Run();
}

// The sample job list (tools/lindavo-report/sample) over every job; the
// preview finds the second customer's name before the picture is taken.
void showPreview()
{
    QFile sql(QStringLiteral(LINDAVO_SAMPLE_DIR "/zoznam.sql"));
    sql.open(QIODevice::ReadOnly);
    TReportQueryDataset master;
    RunInTransaction(
        [&](fb::Transaction& tr) {
            fb::Query q(tr);
            q.setSql(QString::fromUtf8(sql.readAll()));
            master.fill(q);
        },
        true);
    report::Report rep;
    rep.loadFromFile(QStringLiteral(LINDAVO_SAMPLE_DIR "/Zoznam.frf"));
    rep.setDataset(QStringLiteral("MASTER"), &master);
    const auto prepared = std::make_shared<const report::PreparedReport>(rep.prepare());
    std::fprintf(stderr, "%d rows, %d pages\n", master.rowCount(), prepared->pageCount());
    report::PreviewWindow preview(prepared);
    preview.resize(980, 1000);
    const int column = master.columnIndex(QStringLiteral("OBJEDNAVATEL"));
    QString name;
    for (int r = 0; r < master.rowCount() && name.isEmpty(); ++r)
        if (master.value(r, column).toText() != master.value(0, column).toText())
            name = master.value(r, column).toText();
    QTimer::singleShot(300, &preview, [&preview, name] {
        preview.findChild<QLineEdit*>(QStringLiteral("eFind"))->setText(name);
        preview.findNext(name);
    });
    preview.exec();
}

QDate lastSentDate()
{
    QDate last;
    RunInTransaction(
        [&](fb::Transaction& tr) {
            fb::Query q(tr);
            q.setSql(QStringLiteral("select max(datum_odoslania_prekladu) from preklady"));
            last = q.executeScalar().toDate();
        },
        true);
    return last;
}

// The request of each shipped layout over the last six months of the sample
// (the monthly profitability over every sent job, by customers).
ReportRequest layoutRequest(const QString& layout, const QDate& od, const QDate& doDate)
{
    const bool english = layout.endsWith(QLatin1String("_En"));
    if (layout.startsWith(QLatin1String("Preh_"))) {
        ZoznamValues v;
        v.mode = layout.startsWith(QLatin1String("Preh_Obj")) ? 0 : layout.startsWith(QLatin1String("Preh_Pre")) ? 1 : 2;
        v.od = od;
        v.doDate = doDate;
        v.faktura = false;
        v.jazyk = english ? 2 : 1;
        return ZoznamRequest(v);
    }
    if (layout.startsWith(QLatin1String("Hod_pre"))) {
        HodnotenieValues v;
        v.od = od;
        v.doDate = doDate;
        v.jazyk = english ? 2 : 1;
        return HodnotenieRequest(v);
    }
    if (layout == QLatin1String("ZiskMes")) {
        ZiskovostMesacnaValues v;
        v.zoskupit = true;
        return ZiskovostMesacnaRequest(v);
    }
    ZiskovostValues v;
    v.mode = layout == QLatin1String("Zisk_PM") ? 2 : 0;
    v.od = od;
    v.doDate = doDate;
    return ZiskovostRequest(v);
}

const QStringList kLayouts{"Preh_Obj_Sk", "Preh_Obj_En", "Preh_Pre_Sk", "Preh_Pre_En", "Preh_PM_Sk", "Preh_PM_En",
                           "Hod_pre_Sk",  "Hod_pre_En",  "Zisk",        "Zisk_PM",     "ZiskMes"};

// The preview of a shipped layout as the report run prepares it.
void showLayoutReport(const QString& layout)
{
    const QDate last = lastSentDate();
    TfrmTlac runner(QStringLiteral(LINDAVO_REPORTS_DIR));
    if (!runner.open(layoutRequest(layout, last.addMonths(-6), last)))
        return;
    const auto prepared = runner.prepare();
    std::fprintf(stderr, "%d rows, %d pages\n", runner.master().rowCount(), prepared->pageCount());
    report::PreviewWindow preview(prepared);
    preview.setWindowTitle(runner.report().title());
    const bool landscape = runner.report().layout().page.orientation == report::Orientation::Landscape;
    preview.resize(landscape ? 1100 : 900, landscape ? 800 : 1000);
    preview.exec();
}

// The designer on the job list by customers, with the statement's fields,
// a column selected.
void showDesigner()
{
    const QDate last = lastSentDate();
    TfrmTlac runner(QStringLiteral(LINDAVO_REPORTS_DIR));
    if (!runner.open(layoutRequest(QStringLiteral("Preh_Obj_Sk"), last.addMonths(-1), last)))
        return;
    report::DesignerWindow designer;
    designer.setFieldNames(runner.master().columnNames());
    designer.openOrCreate(runner.layoutPath());
    designer.pageView()->setSelection({{{report::BandKind::MasterData, -1}, 1}});
    designer.exec();
}

// The backup window as it looks after a backup: the progress lines in it.
void showZalohovanie(fb::Connection& connection, const QString& file, bool keep)
{
    QTemporaryDir dir;
    ZalohovanieEnvironment env;
    env.connection = &connection;
    env.databasePath = connection.databasePath();
    env.userName = QStringLiteral("SYSDBA");
    env.password = QStringLiteral("masterkey");
    env.backupsFolder = dir.filePath(QStringLiteral("Zalohy"));
    const QStringList params = connection.params();
    env.closeConnection = [&connection] { connection.close(); };
    env.reopenConnection = [&connection, params] { connection.open(connection.databasePath(), params); };
    TfrmZalohovanie window(env);
    window.show();
    window.Zalohuj();
    QTimer::singleShot(700, &window, [&window, file, keep] {
        window.grab().save(file);
        if (!keep)
            window.close();
    });
    window.exec();
}

// Thrown far from the handler, so the picture shows a stack worth reading.
[[gnu::noinline]] void LoadInvoiceTemplate(const QString& name)
{
    throw std::runtime_error("Súbor šablóny faktúry \"" + name.toStdString() + "\" sa nepodarilo otvoriť");
}

// The dialog for a thrown error, its details shown once they are built.
int shootExceptionDialog(const QString& file, bool keep)
{
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quendel - Lindavo"));
    TExceptionDialog::Install();
    QTimer::singleShot(0, [file, keep] {
        auto* dlg = qobject_cast<TExceptionDialog*>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        QTimer::singleShot(300, dlg, [dlg, file, keep] {
            dlg->DetailsBtn->click();
            QTimer::singleShot(500, dlg, [dlg, file, keep] {
                dlg->grab().save(file);
                if (!keep)
                    dlg->close();
            });
        });
    });
    runReportingUnexpected([] { LoadInvoiceTemplate(QStringLiteral("Faktura.frf")); });
    TExceptionDialog::Remove();
    return 0;
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
    UseSlovakUserInterface();
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[2] == QLatin1String("exception"))
        return shootExceptionDialog(args[3], args.contains(QStringLiteral("--keep")));
    std::map<QString, std::function<void()>> windows = {
        {QStringLiteral("preklady"), [] { RunEPreklady({}); }},
        {QStringLiteral("editor"), showEditor},
        {QStringLiteral("uhrady"), [] { TfrmEPrekladyUhrady().Run(); }},
        {QStringLiteral("tlac"), [] { RunEPrekladyTlac({}); }},
        {QStringLiteral("tlac-zoznam"), showReportDialog<TfrmEPrekladyTlacZoznam>},
        {QStringLiteral("tlac-ziskovost"), showReportDialog<TfrmEPrekladyTlacZiskovost>},
        {QStringLiteral("tlac-mesacna"), showReportDialog<TfrmEPrekladyTlacZiskovostMesacna>},
        {QStringLiteral("tlac-hodnotenie"), showReportDialog<TfrmEPrekladyTlacHodnotenie>},
        {QStringLiteral("nahlad"), showPreview},
        {QStringLiteral("preh_obj"), [] { showLayoutReport(QStringLiteral("Preh_Obj_Sk")); }},
        {QStringLiteral("navrhar"), showDesigner},
        {QStringLiteral("zalohovanie"), [] {}},
        {QStringLiteral("kombinacie"), codeList(RunCJazykoveKombinacie)},
        {QStringLiteral("jednotky"), codeList(RunCMerneJednotky)},
        {QStringLiteral("uzivatelia"), codeList(RunCUzivatelia)},
        {QStringLiteral("uzivatel"), showUserEditor},
        {QStringLiteral("adresar"), [&args] { showAdresar(args.contains(QStringLiteral("--rates"))); }},
        {QStringLiteral("kontakt"), showContactEditor},
    };
    for (const QString& layout : kLayouts)
        windows.emplace(QStringLiteral("zostava-") + layout, [layout] { showLayoutReport(layout); });
    if (args.size() < 4 || !windows.count(args[2])) {
        QStringList names{QStringLiteral("exception")};
        for (const auto& w : windows)
            names << w.first;
        std::fprintf(stderr, "usage: windowshot DATABASE %s FILE.png [--keep]\n", qPrintable(names.join('|')));
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
    if (args[2] == QLatin1String("zalohovanie")) {
        showZalohovanie(connection, args[3], args.contains(QStringLiteral("--keep")));
    } else {
        shootActiveWindow(args[3], args.contains(QStringLiteral("--keep")));
        windows.at(args[2])();
    }
    setMainConnection(nullptr);
    connection.close();
    return 0;
}
