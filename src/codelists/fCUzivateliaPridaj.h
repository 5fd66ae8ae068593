#pragma once

#include "forms/FormEditor.h"

#include <functional>
#include <stdexcept>

class QGroupBox;
class TIBCheckBox;
class TIBEdit;

// The program must keep a user who may log in and manage the users: a change
// (a delete, an administrator's rights or access taken away) that would leave
// no valid administrator where there was one is refused with this exception,
// thrown inside the change's transaction so that it rolls back.
class TNoAdministratorLeft : public std::runtime_error {
public:
    TNoAdministratorLeft() : std::runtime_error("no valid administrator would be left") {}
};

// The users who are administrators with valid access, counted in `transaction`.
int ValidAdministrators(fb::Transaction& transaction);
// Runs `change` in `transaction` and throws TNoAdministratorLeft when it took
// away the last valid administrator. When it took one away and others remain,
// they stay locked until the transaction ends, so two workstations cannot
// each remove one of the last two.
void KeepValidAdministrator(fb::Transaction& transaction, const std::function<void()>& change);

// The editor of one user: add (mode 3) or edit (mode 5). `administrator`: the
// logged-in user manages users; anyone else changes only his own password
// (name, abbreviation and both rights locked).
//
// The password is stored as PasswordHash of the record number and the text;
// it is written when adding and when "Zmeniť heslo:" is ticked, otherwise the
// stored hash stays.
class TfrmCUzivateliaPridaj : public TFormEditor {
    Q_OBJECT
public:
    explicit TfrmCUzivateliaPridaj(bool administrator, QWidget* parent = nullptr);

    TIBEdit* eMeno = nullptr;
    QGroupBox* gbHeslo = nullptr;
    TIBCheckBox* eZmenaHesla = nullptr;
    TIBEdit* eHeslo = nullptr;
    TIBEdit* eHeslo2 = nullptr;
    TIBEdit* eSkratka = nullptr;
    TIBCheckBox* eSpravca = nullptr;
    TIBCheckBox* ePlatny = nullptr;

    // Everything emptied, then not an administrator, valid access.
    void ClearControls() override;
    // Locks what the logged-in user may not change; the password fields are
    // read-only unless "Zmeniť heslo:" is ticked.
    void ApplyRights();

protected:
    QString captionFor(std::uint8_t mode) const override;
    bool LoadRecord(fb::Transaction& transaction) override;
    void SaveRecord(fb::Transaction& transaction, bool isNew) override;
    QString sequenceName() const override { return QStringLiteral("UZIVATELIA_ID"); }
    QString recordTable() const override { return QStringLiteral("UZIVATELIA"); }
    QVariantMap recordValues() const override;
    QString columnCaption(const QString& column) const override;
    bool savingNeedsAdministrator() const override { return m_administrator; }
    void Zapis(QPushButton* originator) override;

private:
    bool m_administrator;
};

// Runs the editor with the call record.
void RunCUzivateliaPridaj(TFormDetails& details, bool administrator);
