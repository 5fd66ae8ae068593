#pragma once

#include "forms/FormRegister.h"

class TIBEdit;
class TQDLBtn;

// The code list of the program's users (UZIVATELIA), for administrators: an
// administrator's row in bold, a user without valid access struck out.
class TfrmCUzivatelia : public TFormRegister {
    Q_OBJECT
public:
    explicit TfrmCUzivatelia(QWidget* parent = nullptr);

    TIBEdit* eMeno = nullptr;
    TIBEdit* eSkratka = nullptr;
    TQDLBtn* btnRefreshFilter = nullptr;

    // A delete that would leave no valid administrator is refused (message
    // 2005) and deletes nothing.
    bool DeleteAction() override;
};

// Runs the code list with the call record (the main window: browse mode).
void RunCUzivatelia(TFormDetails& details);
