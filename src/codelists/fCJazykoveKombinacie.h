#pragma once

#include "forms/FormRegister.h"

class TIBEdit;
class TQDLBtn;

// The code list of language combinations (JAZYKOVE_KOMBINACIE): browsed from
// the main window, and a picker (select mode) for the windows that refer to a
// combination.
class TfrmCJazykoveKombinacie : public TFormRegister {
    Q_OBJECT
public:
    explicit TfrmCJazykoveKombinacie(QWidget* parent = nullptr);

    TIBEdit* eSkratka = nullptr;
    TIBEdit* eSkupina = nullptr;
    TQDLBtn* btnRefreshFilter = nullptr;
};

// Runs the code list with the call record: browse (1) or select (2); in select
// mode a result of 1 returns the chosen JEDIN in Current.
void RunCJazykoveKombinacie(TFormDetails& details);

// Opens the code list to pick a combination, standing on `current` (a JEDIN or
// null). The chosen JEDIN; null when the user cancelled or the list was empty.
QVariant PickJazykovaKombinacia(const QVariant& current = {});

// Opens the editor to add a combination whose abbreviation starts as
// `skratka` (its first 15 characters), without "Ď&alší". The new JEDIN; null
// when the user cancelled.
QVariant PridajJazykovuKombinaciu(const QString& skratka);
