#include "reports/fEPrekladyTlacZiskovost.h"

#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBDate.h"
#include "controls/QDLBtn.h"
#include "reports/EPrekladyTlacSql.h"

#include <QLabel>

TfrmEPrekladyTlacZiskovost::TfrmEPrekladyTlacZiskovost(ReportDialogCalls calls, QWidget* parent)
    : TfrmEPrekladyTlacDialog(std::move(calls), parent)
{
    addPeriod(8);
    eAdresar = addAddress(lblAdresar, btnAdresar, 36);
    eDodane = addCheck("eDodane", QStringLiteral("Iba preklady dodané:"), 8, 64, 250);
    eSkupiny = addCheck("eSkupiny", QStringLiteral("Rozdeliť na skupiny:"), 8, 88, 250);
    eOrderBy = addChoice("eOrderBy", QStringLiteral("Zoradiť podľa:"), QStringLiteral("ziskovost_orderby"),
                         QStringLiteral("poradie"), 104, 114, 250);
    placeButtons(538, 177);
    SetTabOrder({eDatumOd, eDatumDo, eAdresar, eDodane, eSkupiny, eOrderBy, btnZapis, btnNezapis});
}

QString TfrmEPrekladyTlacZiskovost::caption() const
{
    return ZiskovostCaption(reportMode());
}

void TfrmEPrekladyTlacZiskovost::ClearControls()
{
    TfrmEPrekladyTlacDialog::ClearControls();
    setDefaultPeriod();
    eDodane->setChecked(true);
    eSkupiny->setChecked(true);
    eOrderBy->FindIt(1);
    setAddressSide(eAdresar, lblAdresar, reportMode() == 1 ? 1 : 0);
}

ZiskovostValues TfrmEPrekladyTlacZiskovost::values() const
{
    ZiskovostValues v;
    v.mode = reportMode();
    v.od = dateOf(eDatumOd);
    v.doDate = dateOf(eDatumDo);
    v.adresar = keyOf(eAdresar);
    v.dodane = eDodane->isChecked();
    v.orderBy = keyOf(eOrderBy);
    v.skupiny = eSkupiny->isChecked();
    return v;
}

ReportRequest TfrmEPrekladyTlacZiskovost::request() const
{
    return ZiskovostRequest(values());
}
