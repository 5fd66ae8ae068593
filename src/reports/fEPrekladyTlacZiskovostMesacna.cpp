#include "reports/fEPrekladyTlacZiskovostMesacna.h"

#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBDate.h"
#include "controls/QDLBtn.h"
#include "framework/SlotGuard.h"
#include "reports/EPrekladyTlacSql.h"

#include <QLabel>

TfrmEPrekladyTlacZiskovostMesacna::TfrmEPrekladyTlacZiskovostMesacna(ReportDialogCalls calls, QWidget* parent)
    : TfrmEPrekladyTlacDialog(std::move(calls), parent)
{
    addPeriod(8);
    eDodane = addCheck("eDodane", QStringLiteral("Iba preklady dodané:"), 8, 36, 400);
    eZoskupit = addCheck("eZoskupit", QStringLiteral("Zoskupiť ziskovosť podľa objednávateľov alebo prekladateľov:"),
                         8, 60, 400);
    eZoskupitPodla = addChoice("eZoskupitPodla", QStringLiteral("Zoskupiť:"), QStringLiteral("adresar_typ"),
                               QStringLiteral("text"), 104, 84, 160, &lblZoskupit);
    lblZoskupit->setObjectName(QStringLiteral("lblZoskupit"));
    eSkupiny = addCheck("eSkupiny", QStringLiteral("Rozdeliť na skupiny:"), 8, 110, 400);
    placeButtons(538, 177);
    SetTabOrder({eDatumOd, eDatumDo, eDodane, eZoskupit, eZoskupitPodla, eSkupiny, btnZapis, btnNezapis});
    connect(eZoskupit, &QCheckBox::toggled, this, guarded([this] { showGrouping(); }));
}

QString TfrmEPrekladyTlacZiskovostMesacna::caption() const
{
    return ZiskovostMesacnaCaption();
}

void TfrmEPrekladyTlacZiskovostMesacna::ClearControls()
{
    TfrmEPrekladyTlacDialog::ClearControls();
    eZoskupitPodla->FindIt(0);
    eDodane->setChecked(true);
    eSkupiny->setChecked(true);
    eZoskupit->setChecked(false);
    showGrouping();
}

void TfrmEPrekladyTlacZiskovostMesacna::showGrouping()
{
    const bool on = eZoskupit->isChecked();
    eZoskupitPodla->setVisible(on);
    lblZoskupit->setVisible(on);
}

ZiskovostMesacnaValues TfrmEPrekladyTlacZiskovostMesacna::values() const
{
    ZiskovostMesacnaValues v;
    v.od = dateOf(eDatumOd);
    v.doDate = dateOf(eDatumDo);
    v.dodane = eDodane->isChecked();
    v.zoskupit = eZoskupit->isChecked();
    v.zoskupitPodla = keyOf(eZoskupitPodla);
    v.skupiny = eSkupiny->isChecked();
    return v;
}

ReportRequest TfrmEPrekladyTlacZiskovostMesacna::request() const
{
    return ZiskovostMesacnaRequest(values());
}
