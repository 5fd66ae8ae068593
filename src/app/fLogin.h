#pragma once

#include "app/Uzivatel.h"
#include "forms/FormEditor.h"

class QLabel;
class TIBComboBox;
class TIBEdit;

// The login: one of the program's own users (UZIVATELIA) with the password
// whose hash is stored for that user. Three wrong passwords end it. The user
// chosen last time is offered first, per operating-system user.
class TfrmLogin : public TFormEditor {
    Q_OBJECT
public:
    explicit TfrmLogin(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    TIBComboBox* eUzivatel = nullptr;
    QLabel* Label2 = nullptr;
    TIBEdit* eHeslo = nullptr;

    // 1 for the first try; one more after each wrong password.
    int attempt() const { return m_attempt; }

    void ClearControls() override;

protected:
    QString captionFor(std::uint8_t mode) const override;
    void Zapis(QPushButton* originator) override;

private:
    void checkPassword();

    int m_attempt = 1;
};

// Runs the login. On success fills `user` and returns true; otherwise leaves
// it as it was and returns false.
bool Login(TUzivatel& user);
