#pragma once

#include "reports/fEPrekladyTlacDialog.h"

// The monthly profitability dialog (menu item 7): per month, optionally per
// customer or translator within the month.
class TfrmEPrekladyTlacZiskovostMesacna : public TfrmEPrekladyTlacDialog {
    Q_OBJECT
public:
    explicit TfrmEPrekladyTlacZiskovostMesacna(ReportDialogCalls calls = {}, QWidget* parent = nullptr);

    // No dates (all time), sent and groups ticked, no grouping by address (customers offered).
    void ClearControls() override;
    ReportRequest request() const override;
    ZiskovostMesacnaValues values() const;

    TIBCheckBox* eDodane;
    TIBCheckBox* eZoskupit;
    QLabel* lblZoskupit;
    TIBComboBox* eZoskupitPodla;
    TIBCheckBox* eSkupiny;

protected:
    QString caption() const override;

private:
    // The grouping choice is there only while grouping by address is ticked.
    void showGrouping();
};
