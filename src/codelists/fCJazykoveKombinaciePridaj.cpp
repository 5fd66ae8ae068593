#include "codelists/fCJazykoveKombinaciePridaj.h"

#include "codelists/CodeList.h"
#include "controls/IBCheckBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "fb/Query.h"

#include <QHash>

TfrmCJazykoveKombinaciePridaj::TfrmCJazykoveKombinaciePridaj(QWidget* parent)
    : TFormEditor(NextButton::Yes, parent)
{
    eSkratka =
        AddEditorEdit(this, QStringLiteral("eSkratka"), QStringLiteral("Skratka:"), 8, 72, 8, 130, 15, true);
    eSkupina =
        AddEditorEdit(this, QStringLiteral("eSkupina"), QStringLiteral("Skupina:"), 8, 72, 34, 233, 25);
    eHodnoteny = AddEditorCheck(this, QStringLiteral("eHodnoteny"),
                                QStringLiteral("Hodnotená jazyková kombinácia:"), 8, 60, 297);
    LayOutEditor(this, 313, 119);
    SetTabOrder({eSkratka, eSkupina, eHodnoteny, btnDalsi, btnZapis, btnNezapis});
}

void TfrmCJazykoveKombinaciePridaj::ClearControls()
{
    TFormEditor::ClearControls();
    // A combination typed in another window and not found starts from that text.
    if (Mode == TFormDetails::Insert)
        eSkratka->setText(Text.left(15));
}

QString TfrmCJazykoveKombinaciePridaj::captionFor(std::uint8_t mode) const
{
    return mode == TFormDetails::Insert ? QStringLiteral("Pridanie jazykovej kombinácie")
                                        : QStringLiteral("Oprava jazykovej kombinácie");
}

bool TfrmCJazykoveKombinaciePridaj::LoadRecord(fb::Transaction& transaction)
{
    fb::Query q(transaction);
    q.setSql({QStringLiteral("SELECT FIRST 1 SKRATKA, SKUPINA, HODNOTENY"),
              QStringLiteral("FROM JAZYKOVE_KOMBINACIE WHERE JEDIN=:JEDIN")});
    q.setParam(QStringLiteral("JEDIN"), Current);
    if (!q.executeAtMostOneRow())
        return false;
    eSkratka->setText(q.value(0).toString());
    eSkupina->setText(q.value(1).toString());
    eHodnoteny->setCheckedValue(q.value(2).toInt());
    return true;
}

void TfrmCJazykoveKombinaciePridaj::SaveRecord(fb::Transaction& transaction, bool)
{
    fb::Query q(transaction);
    q.setSql({QStringLiteral("UPDATE OR INSERT INTO JAZYKOVE_KOMBINACIE"),
              QStringLiteral("(JEDIN, SKRATKA, SKUPINA, HODNOTENY)"),
              QStringLiteral("VALUES (:JEDIN, :SKRATKA, :SKUPINA, :HODNOTENY)"),
              QStringLiteral("MATCHING (JEDIN)")});
    q.setParams(valuesToSave());
    q.execute();
}

QVariantMap TfrmCJazykoveKombinaciePridaj::recordValues() const
{
    return {{QStringLiteral("JEDIN"), Current},
            {QStringLiteral("SKRATKA"), TextParam(eSkratka->text())},
            {QStringLiteral("SKUPINA"), TextParam(eSkupina->text())},
            {QStringLiteral("HODNOTENY"), int(eHodnoteny->CheckedValue())}};
}

QString TfrmCJazykoveKombinaciePridaj::columnCaption(const QString& column) const
{
    static const QHash<QString, QString> captions = {
        {QStringLiteral("SKRATKA"), QStringLiteral("Skratka")},
        {QStringLiteral("SKUPINA"), QStringLiteral("Skupina")},
        {QStringLiteral("HODNOTENY"), QStringLiteral("Hodnotený")},
    };
    return captions.value(column, column);
}
