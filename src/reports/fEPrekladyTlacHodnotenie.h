#pragma once

#include "reports/fEPrekladyTlacDialog.h"

// The translator evaluation dialog (menu item 8): the average rating per
// translator and language combination.
class TfrmEPrekladyTlacHodnotenie : public TfrmEPrekladyTlacDialog {
    Q_OBJECT
public:
    explicit TfrmEPrekladyTlacHodnotenie(ReportDialogCalls calls = {}, QWidget* parent = nullptr);

    // Translator emptied, the previous month, groups ticked, Slovak.
    void ClearControls() override;
    ReportRequest request() const override;
    HodnotenieValues values() const;

    TIBComboBox* eAdresar;
    QLabel* lblAdresar;
    QToolButton* btnAdresar;
    TIBComboBox* eJazyk;
    TIBCheckBox* eSkupiny;

protected:
    QString caption() const override;
};
