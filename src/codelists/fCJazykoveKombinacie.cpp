#include "codelists/fCJazykoveKombinacie.h"

#include "codelists/CodeList.h"
#include "codelists/fCJazykoveKombinaciePridaj.h"
#include "controls/IBEdit.h"

TfrmCJazykoveKombinacie::TfrmCJazykoveKombinacie(QWidget* parent)
    : TFormRegister({QStringLiteral("jazykove_kombinacie"),
                     {QStringLiteral(
                         "select a.jedin,a.skratka,a.skupina,iif(a.hodnoteny=1, 'Áno', 'Nie') as hodnoteny")},
                     {CodeListColumn(QStringLiteral("SKRATKA"), QStringLiteral("Skratka"), 147,
                                     QStringLiteral("a.skratka")),
                      CodeListColumn(QStringLiteral("SKUPINA"), QStringLiteral("Skupina"), 197,
                                     QStringLiteral("a.skupina")),
                      CodeListColumn(QStringLiteral("HODNOTENY"), QStringLiteral("Hodnotená"), 80,
                                     QStringLiteral("3"), Qt::AlignHCenter)},
                     QStringLiteral("Číselník jazykových kombinácií"),
                     kCodeListButtons},
                    parent)
{
    resize(455, 332);
    pnlFilter->setFixedHeight(55);
    eSkratka =
        AddTextFilter(QStringLiteral("Skratka:"), QStringLiteral("eSkratka"), 15, QStringLiteral("SKRATKA"));
    eSkupina =
        AddTextFilter(QStringLiteral("Skupina:"), QStringLiteral("eSkupina"), 50, QStringLiteral("SKUPINA"), 1);
    eSkupina->setFixedWidth(eSkratka->width() * 2);
    btnRefreshFilter = AddRefreshFilterButton();
    SetEditor<TfrmCJazykoveKombinaciePridaj>();
}

void RunCJazykoveKombinacie(TFormDetails& details)
{
    RunViewer<TfrmCJazykoveKombinacie>(details);
}

QVariant PickJazykovaKombinacia(const QVariant& current)
{
    TFormDetails d;
    InitDetails(d, TFormDetails::Select, {}, current);
    RunCJazykoveKombinacie(d);
    return d.result() == TFormDetails::ResultOk ? d.Current : QVariant();
}

QVariant PridajJazykovuKombinaciu(const QString& skratka)
{
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert);
    d.Text = skratka;
    d.ShowNext = false;
    RunEditor<TfrmCJazykoveKombinaciePridaj>(d);
    return d.result() == TFormDetails::ResultOk ? d.Current : QVariant();
}
