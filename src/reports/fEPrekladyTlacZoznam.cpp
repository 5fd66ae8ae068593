#include "reports/fEPrekladyTlacZoznam.h"

#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBDate.h"
#include "controls/QDLBtn.h"
#include "reports/EPrekladyTlacSql.h"

#include <QLabel>

TfrmEPrekladyTlacZoznam::TfrmEPrekladyTlacZoznam(ReportDialogCalls calls, QWidget* parent)
    : TfrmEPrekladyTlacDialog(std::move(calls), parent)
{
    addPeriod(8);
    eAdresar = addAddress(lblAdresar, btnAdresar, 36);
    eDodane = addCheck("eDodane", {}, 8, 64, 250);
    eFaktura = addCheck("eFaktura", {}, 8, 88, 250);
    eSkupiny = addCheck("eSkupiny", QStringLiteral("Rozdeliť na skupiny:"), 8, 112, 250);
    eJazyk = addChoice("eJazyk", QStringLiteral("Jazyk výstupu:"), QStringLiteral("jazyk_vystupu"),
                       QStringLiteral("text"), 384, 64, 120);
    placeButtons(538, 177);
    SetTabOrder({eDatumOd, eDatumDo, eAdresar, eDodane, eFaktura, eSkupiny, eJazyk, btnZapis, btnNezapis});
}

QString TfrmEPrekladyTlacZoznam::caption() const
{
    return ZoznamCaption(reportMode());
}

void TfrmEPrekladyTlacZoznam::ClearControls()
{
    TfrmEPrekladyTlacDialog::ClearControls();
    setDefaultPeriod();
    eDodane->setChecked(true);
    eFaktura->setChecked(true);
    eSkupiny->setChecked(true);
    eJazyk->FindIt(1);

    const bool translators = reportMode() == 1;
    setAddressSide(eAdresar, lblAdresar, translators ? 1 : 0);
    eDodane->setText(translators ? QStringLiteral("Iba preklady dodané:") : QStringLiteral("Iba preklady odoslané:"));
    eFaktura->setText(translators ? QStringLiteral("Iba preklady nevyplatené:")
                                  : QStringLiteral("Iba preklady nevyfaktúrované:"));
}

ZoznamValues TfrmEPrekladyTlacZoznam::values() const
{
    ZoznamValues v;
    v.mode = reportMode();
    v.od = dateOf(eDatumOd);
    v.doDate = dateOf(eDatumDo);
    v.adresar = keyOf(eAdresar);
    v.dodane = eDodane->isChecked();
    v.faktura = eFaktura->isChecked();
    v.skupiny = eSkupiny->isChecked();
    v.jazyk = keyOf(eJazyk);
    return v;
}

ReportRequest TfrmEPrekladyTlacZoznam::request() const
{
    return ZoznamRequest(values());
}
