#pragma once

#include "reports/fEPrekladyTlacDialog.h"

// The job list dialog (menu items 1 to 3). Modes: 0 by customers, 1 by
// translators, 2 by project manager; modes 0 and 2 look at the customer's
// side of a job (sent date, customer, invoice), mode 1 at the translator's
// (delivered date, translator, payment).
class TfrmEPrekladyTlacZoznam : public TfrmEPrekladyTlacDialog {
    Q_OBJECT
public:
    explicit TfrmEPrekladyTlacZoznam(ReportDialogCalls calls = {}, QWidget* parent = nullptr);

    // Address emptied, the previous month, the three boxes ticked, Slovak, the mode's texts.
    void ClearControls() override;
    ReportRequest request() const override;
    ZoznamValues values() const;

    TIBComboBox* eAdresar;
    QLabel* lblAdresar;
    QToolButton* btnAdresar;
    TIBCheckBox* eDodane;
    TIBCheckBox* eFaktura;
    TIBCheckBox* eSkupiny;
    TIBComboBox* eJazyk;

protected:
    QString caption() const override;
};
