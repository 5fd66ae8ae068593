#include "codelists/fCMerneJednotky.h"

#include "codelists/CodeList.h"
#include "codelists/fCMerneJednotkyPridaj.h"
#include "controls/IBEdit.h"

TfrmCMerneJednotky::TfrmCMerneJednotky(QWidget* parent)
    : TFormRegister({QStringLiteral("merne_jednotky"),
                     {QStringLiteral("select a.jedin,a.skratka")},
                     {CodeListColumn(QStringLiteral("SKRATKA"), QStringLiteral("Skratka"), 147,
                                     QStringLiteral("a.skratka"))},
                     QStringLiteral("Číselník merných jednotiek"),
                     kCodeListButtons},
                    parent)
{
    resize(455, 332);
    pnlFilter->setFixedHeight(31);
    eSkratka =
        AddTextFilter(QStringLiteral("Skratka:"), QStringLiteral("eSkratka"), 15, QStringLiteral("SKRATKA"));
    btnRefreshFilter = AddRefreshFilterButton();
    SetEditor<TfrmCMerneJednotkyPridaj>();
}

void RunCMerneJednotky(TFormDetails& details)
{
    RunViewer<TfrmCMerneJednotky>(details);
}
