#include "codelists/fCUzivateliaPridaj.h"

#include "codelists/CodeList.h"
#include "controls/DataControl.h"
#include "controls/IBCheckBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "fb/Query.h"

#include <QHash>
#include "framework/Dialogs.h"
#include "framework/Messages.h"
#include "framework/PasswordHash.h"

#include <QGroupBox>

int ValidAdministrators(fb::Transaction& transaction)
{
    fb::Query q(transaction);
    q.setSql(QStringLiteral("select count(*) from uzivatelia where spravca=1 and platny=1"));
    return q.executeScalar().toInt();
}

void KeepValidAdministrator(fb::Transaction& transaction, const std::function<void()>& change)
{
    const int before = ValidAdministrators(transaction);
    change();
    const int after = ValidAdministrators(transaction);
    if (after >= before)
        return;
    if (after == 0)
        throw TNoAdministratorLeft();
    // Touching the remaining ones makes a concurrent change of any of them a
    // lock conflict (no transaction waits) instead of a silent lock-out.
    fb::Query lock(transaction);
    lock.setSql(QStringLiteral("update uzivatelia set spravca=spravca where spravca=1 and platny=1"));
    lock.execute();
}

TfrmCUzivateliaPridaj::TfrmCUzivateliaPridaj(bool administrator, QWidget* parent)
    : TFormEditor(NextButton::Yes, parent), m_administrator(administrator)
{
    eMeno = AddEditorEdit(this, QStringLiteral("eMeno"), QStringLiteral("Meno a priezvisko:"), 8, 136, 8, 395,
                          50, true);

    gbHeslo = new QGroupBox(QStringLiteral(" Prihlasovacie heslo: "), this);
    gbHeslo->setObjectName(QStringLiteral("gbHeslo"));
    gbHeslo->setGeometry(8, 36, 523, 76);
    eZmenaHesla =
        AddEditorCheck(gbHeslo, QStringLiteral("eZmenaHesla"), QStringLiteral("Zmeniť heslo:"), 8, 20, 150);
    eHeslo = AddEditorEdit(gbHeslo, QStringLiteral("eHeslo"), QStringLiteral("Nové heslo:"), 180, 290, 20,
                           150, 15);
    eHeslo2 = AddEditorEdit(gbHeslo, QStringLiteral("eHeslo2"), QStringLiteral("Overenie hesla:"), 180, 290,
                            46, 150, 15);
    for (TIBEdit* e : {eHeslo, eHeslo2})
        e->setEchoMode(QLineEdit::Password);

    eSkratka =
        AddEditorEdit(this, QStringLiteral("eSkratka"), QStringLiteral("Skratka:"), 8, 136, 118, 40, 2, true);
    UpperCaseEdit(eSkratka);
    eSpravca =
        AddEditorCheck(this, QStringLiteral("eSpravca"), QStringLiteral("Správca programu:"), 240, 118, 260);
    ePlatny = AddEditorCheck(this, QStringLiteral("ePlatny"), QStringLiteral("Platný prístup do programu:"),
                             240, 142, 260);

    LayOutEditor(this, 539, 203);
    SetTabOrder(
        {eMeno, eZmenaHesla, eHeslo, eHeslo2, eSkratka, eSpravca, ePlatny, btnDalsi, btnZapis, btnNezapis});
    connect(eZmenaHesla, &QCheckBox::toggled, this, [this] { ApplyRights(); });
}

void TfrmCUzivateliaPridaj::ClearControls()
{
    TFormEditor::ClearControls();
    eSpravca->setChecked(false);
    ePlatny->setChecked(true);
    ApplyRights();
}

void TfrmCUzivateliaPridaj::ApplyRights()
{
    eMeno->setReadOnly(!m_administrator);
    eSkratka->setReadOnly(!m_administrator);
    eSpravca->setEnabled(m_administrator);
    ePlatny->setEnabled(m_administrator);
    // The texts stay when the fields become read-only.
    const bool changing = eZmenaHesla->isChecked();
    eHeslo->setReadOnly(!changing);
    eHeslo2->setReadOnly(!changing);
}

QString TfrmCUzivateliaPridaj::captionFor(std::uint8_t mode) const
{
    return mode == TFormDetails::Insert ? QStringLiteral("Pridanie používateľa")
                                        : QStringLiteral("Oprava používateľa");
}

bool TfrmCUzivateliaPridaj::LoadRecord(fb::Transaction& transaction)
{
    fb::Query q(transaction);
    q.setSql(
        QStringLiteral("SELECT FIRST 1 MENO, SKRATKA, SPRAVCA, PLATNY FROM UZIVATELIA WHERE JEDIN=:JEDIN"));
    q.setParam(QStringLiteral("JEDIN"), Current);
    if (!q.executeAtMostOneRow())
        return false;
    eMeno->setText(q.value(0).toString());
    eSkratka->setText(q.value(1).toString());
    eSpravca->setCheckedValue(q.value(2).toInt());
    ePlatny->setCheckedValue(q.value(3).toInt());
    ApplyRights();
    return true;
}

void TfrmCUzivateliaPridaj::Zapis(QPushButton* originator)
{
    if (CheckControls(this))
        return;
    // Compared whether or not a new password is being set: what is typed
    // twice must agree.
    if (eHeslo2->text() != eHeslo->text()) {
        RedMessageDlg(
            QStringLiteral("Overenie hesla sa nezhoduje s prihlasovacím heslom. Zadajte heslá ešte raz!"),
            msg::Error, {msg::OK}, 0, msg::OK);
        eHeslo->setFocus();
        return;
    }
    // A password with a character the stored form cannot hold could never be
    // typed at the login again.
    if (eZmenaHesla->isChecked() && !TryPasswordHash(0, eHeslo->text())) {
        ErrorBox(QStringLiteral("Heslo obsahuje znak, ktorý program nevie uložiť. Zadajte iné heslo."));
        eHeslo->setFocus();
        return;
    }
    try {
        Save(originator);
    } catch (const TNoAdministratorLeft&) {
        ErrMessage(2005, msg::Warning);
    }
}

void TfrmCUzivateliaPridaj::SaveRecord(fb::Transaction& transaction, bool isNew)
{
    const bool changing = eZmenaHesla->isChecked();
    const bool writeHash = changing || isNew;
    QStringList sql{QStringLiteral("UPDATE OR INSERT INTO UZIVATELIA (JEDIN, MENO,")};
    if (writeHash)
        sql << QStringLiteral("HESLO,");
    sql << QStringLiteral("SKRATKA, SPRAVCA, PLATNY)") << QStringLiteral("VALUES (:JEDIN, :MENO,");
    if (writeHash)
        sql << QStringLiteral(":HESLO,");
    sql << QStringLiteral(":SKRATKA, :SPRAVCA, :PLATNY)") << QStringLiteral("MATCHING (JEDIN)");

    fb::Query q(transaction);
    q.setSql(sql);
    q.setParams(valuesToSave());
    if (writeHash)
        q.setParam(QStringLiteral("HESLO"),
                   PasswordHash(Current.toLongLong(), changing ? eHeslo->text() : QString()));
    KeepValidAdministrator(transaction, [&] { q.execute(); });
}

void RunCUzivateliaPridaj(TFormDetails& details, bool administrator)
{
    RunEditor<TfrmCUzivateliaPridaj>(details, administrator);
}

QVariantMap TfrmCUzivateliaPridaj::recordValues() const
{
    return {{QStringLiteral("JEDIN"), Current},
            {QStringLiteral("MENO"), TextParam(eMeno->text())},
            {QStringLiteral("SKRATKA"), TextParam(eSkratka->text().toUpper())},
            {QStringLiteral("SPRAVCA"), int(eSpravca->CheckedValue())},
            {QStringLiteral("PLATNY"), int(ePlatny->CheckedValue())}};
}

QString TfrmCUzivateliaPridaj::columnCaption(const QString& column) const
{
    static const QHash<QString, QString> captions = {
        {QStringLiteral("MENO"), QStringLiteral("Meno")},
        {QStringLiteral("SKRATKA"), QStringLiteral("Skratka")},
        {QStringLiteral("SPRAVCA"), QStringLiteral("Správca")},
        {QStringLiteral("PLATNY"), QStringLiteral("Platný prístup do programu")},
    };
    return captions.value(column, column);
}
