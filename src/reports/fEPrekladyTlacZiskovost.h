#pragma once

#include "reports/fEPrekladyTlacDialog.h"

// The profitability dialog (menu items 4 to 6): per customer (mode 0), per
// translator (mode 1) or per project manager (mode 2).
class TfrmEPrekladyTlacZiskovost : public TfrmEPrekladyTlacDialog {
    Q_OBJECT
public:
    explicit TfrmEPrekladyTlacZiskovost(ReportDialogCalls calls = {}, QWidget* parent = nullptr);

    // Address emptied, the previous month, delivered and groups ticked, sorted alphabetically.
    void ClearControls() override;
    ReportRequest request() const override;
    ZiskovostValues values() const;

    TIBComboBox* eAdresar;
    QLabel* lblAdresar;
    QToolButton* btnAdresar;
    TIBCheckBox* eDodane;
    TIBComboBox* eOrderBy;
    TIBCheckBox* eSkupiny;

protected:
    QString caption() const override;
};
