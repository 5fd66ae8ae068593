#include "codelists/fCMerneJednotkyPridaj.h"

#include "codelists/CodeList.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "fb/Query.h"

#include <QHash>

TfrmCMerneJednotkyPridaj::TfrmCMerneJednotkyPridaj(QWidget* parent) : TFormEditor(NextButton::Yes, parent)
{
    eSkratka =
        AddEditorEdit(this, QStringLiteral("eSkratka"), QStringLiteral("Skratka:"), 8, 72, 8, 130, 15, true);
    LayOutEditor(this, 322, 76);
    SetTabOrder({eSkratka, btnDalsi, btnZapis, btnNezapis});
}

QString TfrmCMerneJednotkyPridaj::captionFor(std::uint8_t mode) const
{
    return mode == TFormDetails::Insert ? QStringLiteral("Pridanie mernej jednotky")
                                        : QStringLiteral("Oprava mernej jednotky");
}

bool TfrmCMerneJednotkyPridaj::LoadRecord(fb::Transaction& transaction)
{
    fb::Query q(transaction);
    q.setSql(QStringLiteral("SELECT FIRST 1 SKRATKA FROM MERNE_JEDNOTKY WHERE JEDIN=:JEDIN"));
    q.setParam(QStringLiteral("JEDIN"), Current);
    if (!q.executeAtMostOneRow())
        return false;
    eSkratka->setText(q.value(0).toString());
    return true;
}

void TfrmCMerneJednotkyPridaj::SaveRecord(fb::Transaction& transaction, bool)
{
    fb::Query q(transaction);
    q.setSql({QStringLiteral("UPDATE OR INSERT INTO MERNE_JEDNOTKY (JEDIN, SKRATKA)"),
              QStringLiteral("VALUES (:JEDIN, :SKRATKA)"), QStringLiteral("MATCHING (JEDIN)")});
    q.setParams(valuesToSave());
    q.execute();
}

QVariantMap TfrmCMerneJednotkyPridaj::recordValues() const
{
    return {{QStringLiteral("JEDIN"), Current}, {QStringLiteral("SKRATKA"), TextParam(eSkratka->text())}};
}

QString TfrmCMerneJednotkyPridaj::columnCaption(const QString& column) const
{
    static const QHash<QString, QString> captions = {
        {QStringLiteral("SKRATKA"), QStringLiteral("Skratka")},
    };
    return captions.value(column, column);
}
