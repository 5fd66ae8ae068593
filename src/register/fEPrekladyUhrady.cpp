#include "register/fEPrekladyUhrady.h"

#include "controls/DbGridQDL.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "controls/TempSpracuj.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"
#include "framework/Messages.h"
#include "framework/Session.h"
#include "framework/SlotGuard.h"
#include "framework/TransactionHelpers.h"
#include "framework/UiHelpers.h"
#include "framework/WaitPlease.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

const QString kUhradyZaradenie = QStringLiteral("FB0B2B39-43DF-453D");

namespace {

const QStringList kSetLines = {QStringLiteral("WHERE JEDIN IN (SELECT CISLO FROM TEMP_SPRACUJ"),
                               QStringLiteral("where connection_id=current_connection and"),
                               QStringLiteral("zaradenie='FB0B2B39-43DF-453D')")};

}  // namespace

QStringList UhradySettledSql(int adresarTyp)
{
    QStringList lines{QStringLiteral("select first 1 jedin from preklady"), kSetLines[0], kSetLines[1],
                      kSetLines[2] + QStringLiteral(" and")};
    lines << (adresarTyp == 0 ? QStringLiteral("obj_faktura<>''") : QStringLiteral("PRE_FAKTURA<>''"));
    return lines;
}

QStringList UhradyUpdateSql(int adresarTyp)
{
    const QString column = adresarTyp == 0 ? QStringLiteral("obj_faktura") : QStringLiteral("PRE_FAKTURA");
    QStringList lines{QStringLiteral("UPDATE preklady set"), column + QStringLiteral("=:FAKTURA")};
    // Only a job still unsettled when it is written: one settled meanwhile by
    // another workstation is left out, and the count shows it.
    return lines + kSetLines
           + QStringList{QStringLiteral("and (%1 = '' or %1 is null)").arg(column)};
}

QStringList UhradyCountSql()
{
    return QStringList{QStringLiteral("select count(*) from preklady")} + kSetLines;
}

QStringList UhradySettledNamesSql(int adresarTyp)
{
    QStringList lines{QStringLiteral("select znacka, jedin from preklady"), kSetLines[0], kSetLines[1],
                      kSetLines[2] + QStringLiteral(" and")};
    lines << (adresarTyp == 0 ? QStringLiteral("obj_faktura<>''") : QStringLiteral("PRE_FAKTURA<>''"))
          << QStringLiteral("order by znacka, jedin");
    return lines;
}

TfrmEPrekladyUhrady::TfrmEPrekladyUhrady(QWidget* parent)
    : TFormEditor(NextButton::No, parent)
{
    setObjectName(QStringLiteral("frmEPrekladyUhrady"));

    lblPozor = new QLabel(QStringLiteral("POZOR: Funkcia nastaví hromadne text úhrady prekladu:\n\n"
                                         "a) pokiaľ nie je označený žiadny záznam, tak iba pre záznam na ktorom "
                                         "stojí ukazovateľ záznamu.\n\n"
                                         "b) pokiaľ sú označené riadky, tak nastaví príznak pre všetky označené."),
                          this);
    lblPozor->setObjectName(QStringLiteral("lblPozor"));
    lblPozor->setWordWrap(true);
    lblPozor->setStyleSheet(QStringLiteral("color: red;"));

    auto* lblTyp = new QLabel(QStringLiteral("Úhrada komu:"), this);
    eAdresarTyp = new TIBComboBox(this);
    eAdresarTyp->setObjectName(QStringLiteral("eAdresarTyp"));
    eAdresarTyp->setSTableName(QStringLiteral("ponuky"));
    eAdresarTyp->setSKeyField(QStringLiteral("cislo"));
    eAdresarTyp->setSAppendFromField(QStringLiteral("text"));
    eAdresarTyp->setSOrderBy(QStringLiteral("text"));
    eAdresarTyp->setSWhere(QStringLiteral("zaradenie='adresar_typ'"));
    eAdresarTyp->setSAutoAppend(true);
    // A typed recipient must be one of the list.
    eAdresarTyp->setSSearchIfFound(true);
    eAdresarTyp->setSetFocusIfNotFound(true);
    eAdresarTyp->setRequired(true);
    lblTyp->setBuddy(eAdresarTyp);

    auto* lblFaktura = new QLabel(QStringLiteral("Text úhrady:"), this);
    eFaktura = new TIBEdit(this);
    eFaktura->setObjectName(QStringLiteral("eFaktura"));
    eFaktura->setMaxLength(15);
    lblFaktura->setBuddy(eFaktura);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblPozor);
    auto* fields = new QGridLayout;
    fields->addWidget(lblTyp, 0, 0);
    fields->addWidget(eAdresarTyp, 0, 1);
    fields->addWidget(lblFaktura, 1, 0);
    fields->addWidget(eFaktura, 1, 1);
    fields->setColumnStretch(1, 1);
    layout->addLayout(fields);
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnZapis);
    buttons->addWidget(btnNezapis);
    layout->addLayout(buttons);
    SetTabOrder({eAdresarTyp, eFaktura, btnZapis, btnNezapis});
    // 335 × 175, taller when the notice needs more lines in this font.
    setFixedSize(335, std::max(175, layout->heightForWidth(335)));
}

QString TfrmEPrekladyUhrady::captionFor(std::uint8_t) const
{
    return QStringLiteral("Hromadná zmena úhrady objednávateľom alebo prekladateľom");
}

void TfrmEPrekladyUhrady::ClearControls()
{
    TFormEditor::ClearControls();
    if (QWidget* first = firstControl())
        first->setFocus();
}

int TfrmEPrekladyUhrady::Run()
{
    TFormDetails details;
    InitDetails(details, TFormDetails::Insert);
    SetDetails(details);
    return details.result();
}

void TfrmEPrekladyUhrady::Zapis(QPushButton*)
{
    runReportingUnexpected([this] { write(); });
}

void TfrmEPrekladyUhrady::write()
{
    if (CheckControls(this))
        return;
    const int typ = eAdresarTyp->SKeyValue().toInt();
    // All or nothing: a job settled meanwhile makes the update write fewer
    // rows than the batch has, and the transaction is rolled back.
    struct SettledMeanwhile {};
    QStringList settled;
    const auto settledNames = [&](fb::Transaction& tr) {
        fb::Query q(tr);
        q.setSql(UhradySettledNamesSql(typ));
        q.execute();
        while (q.next()) {
            const QString znacka = q.value(0).toString().trimmed();
            settled << (znacka.isEmpty() ? QStringLiteral("č. %1").arg(q.value(1).toLongLong()) : znacka);
        }
        q.close();
    };
    bool committed = false;
    try {
        // One transaction: a job another workstation holds leaves every job
        // of the batch as it was.
        committed = RunInTransaction(TransactionParams(false, true), [&](fb::Transaction& tr) {
            CheckSessionUser(tr);
            fb::Query check(tr);
            check.setSql(UhradySettledSql(typ));
            if (check.executeAtMostOneRow()) {
                check.close();
                settledNames(tr);
                return;
            }
            fb::Query count(tr);
            count.setSql(UhradyCountSql());
            const qint64 batch = count.executeScalar().toLongLong();
            fb::Query update(tr);
            update.setSql(UhradyUpdateSql(typ));
            update.setParam(QStringLiteral("FAKTURA"), eFaktura->text());
            update.execute();
            if (update.rowsAffected() != batch)
                throw SettledMeanwhile{};
        });
    } catch (const SettledMeanwhile&) {
        // Rolled back: nothing of the batch was written. Which jobs stopped it
        // is read anew, without the rows this entry had just updated.
        committed = RunInTransaction(TransactionParams(true, true), settledNames);
    }
    if (!committed)
        return;  // reported; the dialog stays open and the marks stay
    if (!settled.isEmpty()) {
        const int shown = 20;
        QString names = settled.mid(0, shown).join(QStringLiteral(", "));
        if (settled.size() > shown)
            names += QStringLiteral(" a ďalšie (%1)").arg(settled.size() - shown);
        MessageDlg(QStringLiteral("Medzi označenými záznamami je aspoň jeden záznam, ktorý už bol uhradený. "
                                  "Úhrada sa nevykoná.\n\nUž uhradené: %1")
                       .arg(names),
                   msg::Warning, {msg::OK}, 0, msg::OK);
    }
    done(TFormDetails::ResultOk);
}

bool RunUhrady(TDbGridQDL* grid, const std::function<int()>& dialog)
{
    bool written = false;
    {
        WaitPleaseScope wait;
        WaitCursor cursor;
        written = MarkedToTempSpracuj(grid, kUhradyZaradenie, false);
    }
    if (!written)
        return false;
    const int result = dialog ? dialog() : TfrmEPrekladyUhrady(grid->window()).Run();
    return result == TFormDetails::ResultOk;
}
