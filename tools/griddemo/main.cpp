// griddemo DATABASE [units|combinations] [--shot FILE.png]
//
// A register window over MERNE_JEDNOTKY (default) or JAZYKOVE_KOMBINACIE with
// the standard toolbar, the filter panel and the record grid: ordering by the
// active column, marking, marked-only view, find (V), delete and the context menu.
// With --shot the window saves a picture of itself and ends.
#include "controls/DbGridQDL.h"
#include "controls/ListToolbar.h"
#include "controls/RegisterRefresh.h"
#include "fb/Connection.h"
#include "fb/Error.h"
#include "framework/MainConnection.h"
#include "framework/TextHelpers.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <cstdio>

namespace {

struct Register {
    QString table;
    QString title;
    QStringList select;
    std::vector<TQDLColumn> columns;
};

TQDLColumn column(const QString& field, const QString& title, int width, const QString& orderBy)
{
    TQDLColumn c;
    c.FieldName = field;
    c.TitleCaption = title;
    c.Width = width;
    c.OrderBy = orderBy;
    return c;
}

Register units()
{
    return {"merne_jednotky", "Merné jednotky", {"select a.jedin, a.skratka"},
            {column("SKRATKA", "Skratka", 200, "a.skratka"), column("JEDIN", "Číslo", 80, "a.jedin")}};
}

Register combinations()
{
    return {"jazykove_kombinacie", "Jazykové kombinácie", {"select a.jedin, a.skratka, a.skupina, a.hodnoteny"},
            {column("SKRATKA", "Skratka", 150, "a.skratka"), column("SKUPINA", "Skupina", 200, "a.skupina"),
             column("HODNOTENY", "Hodnotený", 80, "a.hodnoteny"), column("JEDIN", "Číslo", 80, "a.jedin")}};
}

class TfrmGridDemo : public QMainWindow {
public:
    explicit TfrmGridDemo(const Register& reg)
    {
        setWindowTitle(reg.title);
        resize(700, 500);
        tb = addToolBar(QStringLiteral("tb"));
        tb->setIconSize(QSize(32, 32));
        btnVymaz = AddToolbarButton(tb, "btnVymaz", 2);
        tb->addSeparator();
        btnSmer = AddToolbarButton(tb, "btnSmer", 5);
        btnFilter = AddToolbarButton(tb, "btnFilter", 17, true);
        btnFilterZrus = AddToolbarButton(tb, "btnFilterZrus", 18);
        btnHladaj = AddToolbarButton(tb, "btnHladaj", 16);
        tb->addSeparator();
        btnOznacene = AddToolbarButton(tb, "btnOznacene", 7, true);
        btnOznac = AddToolbarButton(tb, "btnOznac", 9);
        btnOdznac = AddToolbarButton(tb, "btnOdznac", 10);
        btnRefresh = AddToolbarButton(tb, "btnRefresh", 4);
        SetupToolbarHints(tb);

        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        pnlFilter = new QWidget;
        auto* filterLayout = new QHBoxLayout(pnlFilter);
        filterLayout->addWidget(new QLabel(QStringLiteral("Skratka:")));
        eSkratka = new QLineEdit;
        filterLayout->addWidget(eSkratka);
        pnlFilter->hide();
        layout->addWidget(pnlFilter);
        gr1 = new TDbGridQDL;
        gr1->setObjectName(QStringLiteral("gr1"));
        gr1->Title = reg.title;
        gr1->SetColumns(reg.columns);
        gr1->SetActiveTitleIndex(1);
        layout->addWidget(gr1);
        setCentralWidget(central);
        status = new QLabel;
        statusBar()->addWidget(status);

        refresh = std::make_unique<TRegisterRefresh>(gr1, reg.select, reg.table);
        refresh->btnOznacene = btnOznacene;
        refresh->btnSmer = btnSmer;
        refresh->btnFilter = btnFilter;
        refresh->pnlFilter = pnlFilter;
        refresh->filters = [this](QStringList& lines, QVariantMap& params) {
            if (IsBlank(eSkratka->text(), true))
                return;
            lines << QStringLiteral("AND UPPERQDL2(A.SKRATKA) CONTAINING :SKRATKA");
            params.insert(QStringLiteral("SKRATKA"), ToPlainUpper(eSkratka->text()));
        };
        gr1->OnDisplayGrid = [this] {
            refresh->Refresh();
            showCounts();
        };
        gr1->OnCheckRow = [this] { showCounts(); };
        gr1->OnKeyDown = [this](QKeyEvent* e) { return windowKey(e); };

        connect(btnVymaz, &QAction::triggered, this, [this] { refresh->DeleteAction(); });
        connect(btnSmer, &QAction::triggered, this, [this] { refresh->ToggleDirection(); });
        connect(btnFilter, &QAction::triggered, this, [this](bool down) { refresh->SetFilterPanel(down); });
        connect(btnFilterZrus, &QAction::triggered, this, [this] {
            eSkratka->clear();
            gr1->DisplayGrid();
        });
        connect(btnHladaj, &QAction::triggered, gr1, &TDbGridQDL::FindInColumn);
        connect(btnOznacene, &QAction::triggered, this, [this] { refresh->MarkedOnlyAction(); });
        connect(btnOznac, &QAction::triggered, gr1, &TDbGridQDL::CheckAll);
        connect(btnOdznac, &QAction::triggered, gr1, [this] {
            gr1->UncheckAll();
            showCounts();
        });
        connect(btnRefresh, &QAction::triggered, gr1, &TDbGridQDL::DisplayGrid);
        gr1->Loaded();
        gr1->DisplayGrid();
    }

private:
    bool windowKey(QKeyEvent* e)
    {
        if (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
            return false;
        QAction* action = nullptr;
        switch (e->key()) {
        case Qt::Key_Delete:
        case Qt::Key_F8: action = btnVymaz; break;
        case Qt::Key_A: action = btnSmer; break;
        case Qt::Key_F: action = btnFilter; break;
        case Qt::Key_X: action = btnFilterZrus; break;
        case Qt::Key_R: action = btnRefresh; break;
        case Qt::Key_Asterisk:
        case Qt::Key_Slash:
            if (e->modifiers() & Qt::KeypadModifier)
                action = btnOznacene;
            break;
        default: break;
        }
        if (!action || !action->isEnabled())
            return false;
        action->trigger();  // toggles a check button, then runs its action
        return true;
    }

    void showCounts()
    {
        status->setText(QStringLiteral("Záznamov: %1   Označených: %2").arg(gr1->CountRecords()).arg(gr1->CheckedCount()));
    }

    QToolBar* tb;
    QAction *btnVymaz, *btnSmer, *btnFilter, *btnFilterZrus, *btnHladaj, *btnOznacene, *btnOznac, *btnOdznac,
        *btnRefresh;
    QWidget* pnlFilter;
    QLineEdit* eSkratka;
    TDbGridQDL* gr1;
    QLabel* status;
    std::unique_ptr<TRegisterRefresh> refresh;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: griddemo DATABASE [units|combinations] [--shot FILE.png]\n");
        return 2;
    }
    fb::Connection connection;
    try {
        connection.open(args[1], {"USER_NAME=SYSDBA", "PASSWORD=masterkey", "lc_ctype=WIN1250"});
        setMainConnection(&connection);
        CleanStaleTempSpracuj(connection);
    } catch (const fb::Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    int rc = 0;
    {
        TfrmGridDemo window(args.value(2) == QLatin1String("combinations") ? combinations() : units());
        window.show();
        const qsizetype shot = args.indexOf(QStringLiteral("--shot"));
        if (shot > 0 && shot + 1 < args.size())
            QTimer::singleShot(300, &window, [&window, file = args[shot + 1]] {
                window.grab().save(file);
                QApplication::quit();
            });
        rc = app.exec();
    }
    setMainConnection(nullptr);
    connection.close();
    return rc;
}
