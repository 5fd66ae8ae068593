#pragma once

#include "forms/FormUni.h"
#include "reports/fEPrekladyTlacDialog.h"

class TQDLBtn;

// The report menu of the translation register: eight reports, each opening
// its parameter dialog; the menu stays open until Esc.
class TfrmEPrekladyTlac : public TFormUni {
    Q_OBJECT
public:
    explicit TfrmEPrekladyTlac(ReportDialogCalls calls = {}, QWidget* parent = nullptr);

    TQDLBtn* btnZoznamObjednavatel;
    TQDLBtn* btnZoznamPrekladatel;
    TQDLBtn* btnZoznamPM;
    TQDLBtn* btnZiskovostObjednavatelov;
    TQDLBtn* btnZiskovostPrekladatelov;
    TQDLBtn* btnZiskovostPM;
    TQDLBtn* btnZiskovostMesacna;
    TQDLBtn* btnHodnoteniePrekladatelov;

protected:
    bool keyPreview(QKeyEvent* event) override;

private:
    // Creates the dialog, sets its mode, runs it modally and destroys it.
    template <class Dialog>
    void runDialog(int mode);

    ReportDialogCalls m_calls;
};

// Runs the menu (created, shown modally, destroyed).
void RunEPrekladyTlac(ReportDialogCalls calls);
