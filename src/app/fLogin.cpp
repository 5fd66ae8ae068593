#include "app/fLogin.h"

#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"
#include "framework/Dialogs.h"
#include "framework/Messages.h"
#include "framework/PasswordHash.h"
#include "framework/SlotGuard.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
const QString kRemembered = QStringLiteral("eUzivatel");
}

TfrmLogin::TfrmLogin(QWidget* parent)
    : TFormEditor(NextButton::No, parent)
{
    setObjectName(QStringLiteral("frmLogin"));

    Label1 = new QLabel(QStringLiteral("Prihlásiť ako:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    eUzivatel = new TIBComboBox(this);
    eUzivatel->setObjectName(QStringLiteral("eUzivatel"));
    eUzivatel->setSTableName(QStringLiteral("UZIVATELIA"));
    eUzivatel->setSAppendFromField(QStringLiteral("meno"));
    eUzivatel->setSKeyField(QStringLiteral("jedin"));
    eUzivatel->setSKeyField2(QStringLiteral("spravca"));
    eUzivatel->setSKeyField3(QStringLiteral("skratka"));
    eUzivatel->setSWhere(QStringLiteral("platny=1"));
    // The list's first column is the name; the first-user lookup selects only
    // the key, so it finds the valid user with the lowest record number.
    eUzivatel->setSOrderBy(QStringLiteral("1"));
    eUzivatel->setSAutoAppend(true);
    eUzivatel->setSNotFoundErrorText(1019);
    eUzivatel->setRequired(true);
    eUzivatel->setDropDownCount(30);
    eUzivatel->setMaxLength(50);
    Label1->setBuddy(eUzivatel);

    Label2 = new QLabel(QStringLiteral("Prihlasovacie heslo:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    eHeslo = new TIBEdit(this);
    eHeslo->setObjectName(QStringLiteral("eHeslo"));
    eHeslo->setEchoMode(QLineEdit::Password);
    eHeslo->setMaxLength(15);
    Label2->setBuddy(eHeslo);

    btnNezapis->setText(QStringLiteral("&Neprihlásiť"));

    auto* layout = new QVBoxLayout(this);
    auto* fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(eUzivatel, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(eHeslo, 1, 1);
    eUzivatel->setMinimumWidth(240);
    layout->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnZapis);
    buttons->addWidget(btnNezapis);
    layout->addLayout(buttons);
    SetTabOrder({eUzivatel, eHeslo, btnZapis, btnNezapis});

    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TfrmLogin::captionFor(std::uint8_t) const
{
    return QStringLiteral("Prihlásenie k Lindavo...");
}

void TfrmLogin::ClearControls()
{
    TFormEditor::ClearControls();
    m_attempt = 1;
    eUzivatel->FindIt(ReadSetting(kRemembered, 0));
    // The remembered user is gone or no longer valid: the first valid one.
    if (eUzivatel->currentText().isEmpty())
        eUzivatel->FindFirst();
}

void TfrmLogin::Zapis(QPushButton*)
{
    // An error the translation does not know goes to the unexpected-error
    // dialog; the login stays open.
    runReportingUnexpected([this] { checkPassword(); });
}

void TfrmLogin::checkPassword()
{
    if (CheckControls(this))
        return;
    const QVariant chosen = eUzivatel->SKeyValue();
    bool failed = false;
    bool vanished = false;
    // An attempt that meets a database error never logs in and is not counted.
    const bool checked = RunInTransaction(
        [&](fb::Transaction& tr) {
            fb::Query q(tr);
            // Valid access is tested here too, not only by the list of names:
            // a user made invalid meanwhile, or typed past the list, stays out.
            q.setSql({QStringLiteral("select heslo, jedin from uzivatelia where jedin=:JEDIN and platny=1")});
            q.setParam(QStringLiteral("JEDIN"), chosen);
            if (!q.executeAtMostOneRow()) {
                vanished = true;
                return;
            }
            failed = !PasswordMatches(chosen.toLongLong(), eHeslo->text(), q.value(0));
        },
        true);
    if (!checked)
        return;
    if (vanished) {
        // Deleted or made invalid since the list was filled: nobody to log in as.
        RedMessageDlg(QStringLiteral("Užívateľ „%1“ už v databáze nie je alebo nemá platný prístup do programu. "
                                     "Vyberte iného užívateľa.")
                          .arg(eUzivatel->currentText()),
                      msg::Error, {msg::OK}, 0, msg::OK);
        eUzivatel->Clear();
        eUzivatel->FindFirst();
        eUzivatel->setFocus();
        return;
    }
    if (failed) {
        RedMessageDlg(QStringLiteral("Nesprávne heslo. Opakujte zadanie."), msg::Error, {msg::OK}, 0,
                      msg::OK);
        eHeslo->setFocus();
        ++m_attempt;
    }
    Current = chosen;
    if (!eUzivatel->currentText().trimmed().isEmpty())
        WriteSetting(kRemembered, chosen.toInt());
    if (!failed)
        done(TFormDetails::ResultOk);
    else if (m_attempt > 3)
        done(TFormDetails::ResultCancel);
}

bool Login(TUzivatel& user)
{
    TFormDetails details;
    InitDetails(details, TFormDetails::Edit);
    TfrmLogin dialog;
    dialog.SetDetails(details);
    if (details.result() != TFormDetails::ResultOk)
        return false;
    details.Text = dialog.eUzivatel->currentText();
    details.Text2 = dialog.eUzivatel->SKeyValue3().toString();
    details.Flag = dialog.eUzivatel->SKeyValue2().toInt() == 1;
    user.Jedin = details.Current;
    user.Meno = details.Text;
    user.Skratka = details.Text2;
    user.Spravca = details.Flag;
    return true;
}
