#pragma once

#include "forms/FormRegister.h"

class TIBEdit;
class TQDLBtn;

// The code list of units of measure (MERNE_JEDNOTKY), opened from the main
// window to browse, add, edit and delete units.
class TfrmCMerneJednotky : public TFormRegister {
    Q_OBJECT
public:
    explicit TfrmCMerneJednotky(QWidget* parent = nullptr);

    TIBEdit* eSkratka = nullptr;
    TQDLBtn* btnRefreshFilter = nullptr;
};

// Runs the code list with the call record (the main window: browse mode).
void RunCMerneJednotky(TFormDetails& details);
