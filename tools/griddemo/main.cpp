// griddemo DATABASE [units|combinations] [--shot FILE.png]
//
// A register window over MERNE_JEDNOTKY (default) or JAZYKOVE_KOMBINACIE on the
// register base: the standard toolbar, the filter panel and the record grid
// with ordering by the active column, marking, marked-only view, find (V),
// delete and the context menu. With --shot the window saves a picture of
// itself and ends.
#include "fb/Connection.h"
#include "fb/Error.h"
#include "controls/TempSpracuj.h"
#include "forms/FormRegister.h"
#include "framework/MainConnection.h"
#include "framework/TextHelpers.h"

#include <QApplication>
#include <QLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

namespace {

TQDLColumn column(const QString& field, const QString& title, int width, const QString& orderBy)
{
    TQDLColumn c;
    c.FieldName = field;
    c.TitleCaption = title;
    c.Width = width;
    c.OrderBy = orderBy;
    return c;
}

// No editor here: the buttons that need none.
const ListButtons kButtons = ListButtons(ListButton::Vymaz) | ListButton::Smer | ListButton::Filter |
                             ListButton::FilterZrus | ListButton::Hladaj | ListButton::Oznacene | ListButton::Oznac |
                             ListButton::Odznac | ListButton::Refresh;

TFormRegister::Setup units()
{
    return {"merne_jednotky", {"select a.jedin, a.skratka"},
            {column("SKRATKA", "Skratka", 200, "a.skratka"), column("JEDIN", "Číslo", 80, "a.jedin")},
            "Merné jednotky", kButtons};
}

TFormRegister::Setup combinations()
{
    return {"jazykove_kombinacie", {"select a.jedin, a.skratka, a.skupina, a.hodnoteny"},
            {column("SKRATKA", "Skratka", 150, "a.skratka"), column("SKUPINA", "Skupina", 200, "a.skupina"),
             column("HODNOTENY", "Hodnotený", 80, "a.hodnoteny"), column("JEDIN", "Číslo", 80, "a.jedin")},
            "Jazykové kombinácie", kButtons};
}

class TfrmGridDemo : public TFormRegister {
    Q_OBJECT
public:
    explicit TfrmGridDemo(const Setup& setup)
        : TFormRegister(setup)
    {
        resize(700, 500);
        pnlFilter->layout()->addWidget(new QLabel(QStringLiteral("Skratka:")));
        eSkratka = new QLineEdit;
        eSkratka->setObjectName(QStringLiteral("eSkratka"));
        pnlFilter->layout()->addWidget(eSkratka);
    }

protected:
    void FilterLines(QStringList& lines, QVariantMap& params) override
    {
        if (IsBlank(eSkratka->text(), true))
            return;
        lines << QStringLiteral("AND UPPERQDL2(A.SKRATKA) CONTAINING :SKRATKA");
        params.insert(QStringLiteral("SKRATKA"), ToPlainUpper(eSkratka->text()));
    }

private:
    QLineEdit* eSkratka;
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
    {
        TfrmGridDemo window(args.value(2) == QLatin1String("combinations") ? combinations() : units());
        const qsizetype shot = args.indexOf(QStringLiteral("--shot"));
        if (shot > 0 && shot + 1 < args.size())
            QTimer::singleShot(300, &window, [&window, file = args[shot + 1]] {
                window.grab().save(file);
                window.done(TFormDetails::ResultOk);
            });
        // As every register window runs: prepare, settings, the modal run.
        window.Prepare();
        window.LoadSettings();
        TFormDetails details;
        InitDetails(details, TFormDetails::Browse);
        window.SetDetails(details);
        window.SaveSettings();
    }
    setMainConnection(nullptr);
    connection.close();
    return 0;
}

#include "main.moc"
