#pragma once

#include <QString>
#include <QVariant>

// The logged-in user; empty until the login succeeds. Owned by the main window.
struct TUzivatel {
    QVariant Jedin;  // record number in UZIVATELIA, null when nobody is logged in
    QString Meno;
    QString Skratka;
    bool Spravca = false;

    void clear() { *this = TUzivatel(); }
};
