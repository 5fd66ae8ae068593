#include "reports/fEPrekladyTlacHodnotenie.h"

#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBDate.h"
#include "controls/QDLBtn.h"
#include "reports/EPrekladyTlacSql.h"

#include <QLabel>

TfrmEPrekladyTlacHodnotenie::TfrmEPrekladyTlacHodnotenie(ReportDialogCalls calls, QWidget* parent)
    : TfrmEPrekladyTlacDialog(std::move(calls), parent)
{
    addPeriod(8);
    eAdresar = addAddress(lblAdresar, btnAdresar, 36);
    setAddressSide(eAdresar, lblAdresar, 1);
    eSkupiny = addCheck("eSkupiny", QStringLiteral("Rozdeliť na skupiny:"), 8, 64, 250);
    eJazyk = addChoice("eJazyk", QStringLiteral("Jazyk výstupu:"), QStringLiteral("jazyk_vystupu"),
                       QStringLiteral("text"), 384, 64, 120);
    placeButtons(538, 129);
    SetTabOrder({eDatumOd, eDatumDo, eAdresar, eSkupiny, eJazyk, btnZapis, btnNezapis});
}

QString TfrmEPrekladyTlacHodnotenie::caption() const
{
    return HodnotenieCaption();
}

void TfrmEPrekladyTlacHodnotenie::ClearControls()
{
    TfrmEPrekladyTlacDialog::ClearControls();
    setDefaultPeriod();
    eSkupiny->setChecked(true);
    eJazyk->FindIt(1);
    setAddressSide(eAdresar, lblAdresar, 1);
}

HodnotenieValues TfrmEPrekladyTlacHodnotenie::values() const
{
    HodnotenieValues v;
    v.od = dateOf(eDatumOd);
    v.doDate = dateOf(eDatumDo);
    v.adresar = keyOf(eAdresar);
    v.jazyk = keyOf(eJazyk);
    v.skupiny = eSkupiny->isChecked();
    return v;
}

ReportRequest TfrmEPrekladyTlacHodnotenie::request() const
{
    return HodnotenieRequest(values());
}
