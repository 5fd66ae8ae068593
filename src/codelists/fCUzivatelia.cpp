#include "codelists/fCUzivatelia.h"

#include "framework/Session.h"

#include "codelists/CodeList.h"
#include "codelists/fCUzivateliaPridaj.h"
#include "controls/DbGridQDL.h"
#include "controls/IBEdit.h"
#include "controls/RegisterRefresh.h"
#include "framework/Dialogs.h"
#include "framework/Messages.h"

TfrmCUzivatelia::TfrmCUzivatelia(QWidget* parent)
    : TFormRegister({QStringLiteral("uzivatelia"),
                     {QStringLiteral("select a.jedin,a.meno,a.skratka,a.spravca,a.platny")},
                     {CodeListColumn(QStringLiteral("MENO"), QStringLiteral("Meno a priezvisko"), 377,
                                     QStringLiteral("MENO")),
                      CodeListColumn(QStringLiteral("SKRATKA"), QStringLiteral("Skratka"), 47,
                                     QStringLiteral("skratka"), Qt::AlignHCenter)},
                     QStringLiteral("Číselník používateľov programu"),
                     kCodeListButtons},
                    parent)
{
    resize(545, 332);
    pnlFilter->setFixedHeight(31);
    eMeno = AddTextFilter(QStringLiteral("Meno:"), QStringLiteral("eMeno"), 50, QStringLiteral("MENO"));
    eSkratka =
        AddTextFilter(QStringLiteral("Skratka:"), QStringLiteral("eSkratka"), 2, QStringLiteral("SKRATKA"));
    btnRefreshFilter = AddRefreshFilterButton();
    // Only administrators open this list.
    SetEditor([](TFormDetails& d) { RunCUzivateliaPridaj(d, true); });
    refresh().deleteWrap = [](fb::Transaction& transaction, const std::function<void()>& runDelete) {
        CheckSessionUser(transaction, /*administrator=*/true);
        KeepValidAdministrator(transaction, runDelete);
    };
    gr1->OnDrawColumnCell = [this](QPainter*, const QRect&, int, const TQDLColumn&,
                                   const TGridCellState& state, TGridCellColors& colors) {
        const TGridModel* model = gr1->gridModel();
        colors.bold = model->fieldValue(state.row, QStringLiteral("SPRAVCA")).toInt() == 1;
        colors.strikeOut = model->fieldValue(state.row, QStringLiteral("PLATNY")).toInt() == 0;
    };
}

bool TfrmCUzivatelia::DeleteAction()
{
    try {
        return TFormRegister::DeleteAction();
    } catch (const TNoAdministratorLeft&) {
        ErrMessage(2005, msg::Warning);
        return false;
    }
}

void RunCUzivatelia(TFormDetails& details)
{
    RunViewer<TfrmCUzivatelia>(details);
}
