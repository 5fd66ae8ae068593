// The job editor's help while a job is typed: prices from the agreed rates,
// the last exchange rate of a currency, open balances, the translator's
// average rating, the workload and duplicate-mark warnings, and the code-list
// windows that pick or add a customer, translator or language combination.
#include "register/fEPrekladyPridaj.h"

#include "controls/IBComboBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBEdit.h"
#include "framework/DbOperation.h"
#include "framework/Dialogs.h"
#include "framework/Messages.h"
#include "framework/SlotGuard.h"
#include "framework/TextHelpers.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

// A lookup whose unlisted name the window offers to add (OnNotFound). A name
// that is neither found nor added is refused and keeps the focus, so a job is
// never saved with a name on screen and no record behind it.
class OfferingComboBox : public TIBComboBox {
public:
    using TIBComboBox::TIBComboBox;

    bool offers = false;

    bool CheckValue() override
    {
        if (TIBComboBox::CheckValue())
            return true;
        return offers && !IsEmpty() && !IsSetValue(keyValue(1));
    }
};

void showAmount(TIBCurrencyEdit* e, const QVariant& v)
{
    if (!IsSetValue(v))
        e->Clear();
    else if (v.metaType() == QMetaType::fromType<fb::Decimal>())
        e->setValue(v.value<fb::Decimal>().toDouble());
    else
        e->setValue(v.toDouble());
}

// The standard question with Yes and No.
int confirm(const QString& text)
{
    DialogRequest r;
    r.kind = DialogKind::Standard;
    r.type = msg::Confirmation;
    r.caption = dialogCaption(msg::Confirmation);
    r.text = text;
    r.buttons = {msg::Yes, msg::No};
    r.defaultResult = msg::Yes;
    return showDialog(r);
}

bool offerToAdd()
{
    const QString text = QStringLiteral("Hlásenie #1013\r\n\r\n") + LoadMessageText(QStringLiteral("ERR1013"));
    return GrayMessageDlg(text, msg::Confirmation, {msg::Yes, msg::No}, 0, msg::Yes) == msg::Yes;
}

int errorNote(const QString& text)
{
    return GrayMessageDlg(text, msg::Error, {msg::OK}, 0, msg::OK);
}

bool canTakeFocus(const QWidget* w)
{
    return w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus);
}

}  // namespace

// ---- set-up -------------------------------------------------------------------------------

TIBComboBox* TfrmEPrekladyPridaj::newOfferingCombo(QWidget* parent)
{
    return new OfferingComboBox(parent);
}

void TfrmEPrekladyPridaj::setOffersAdding(TIBComboBox* combo, bool on)
{
    if (auto* offering = dynamic_cast<OfferingComboBox*>(combo))
        offering->offers = on;
    // Offering: an unlisted name is let through to OnNotFound without the
    // lookup's own message; otherwise the lookup refuses it as usual.
    combo->setSetFocusIfNotFound(!on);
    combo->setSNotFoundErrorText(on ? 0 : 1019);
}

void TfrmEPrekladyPridaj::setWindows(Windows windows)
{
    m_windows = std::move(windows);
    applyWindows();
}

void TfrmEPrekladyPridaj::applyWindows()
{
    btnObjednavatel->setVisible(bool(m_windows.pickContact));
    btnPrekladatel->setVisible(bool(m_windows.pickContact));
    btnDBJazykovaKombinacia->setVisible(bool(m_windows.pickCombination));
    setOffersAdding(eDBObjednavatel, bool(m_windows.addContact));
    setOffersAdding(eDBPrekladatel, bool(m_windows.addContact));
    setOffersAdding(eDBJazykovaKombinacia, bool(m_windows.addCombination));
}

bool TfrmEPrekladyPridaj::assistRead(const std::function<void(fb::Transaction&)>& work)
{
    // An error the translation does not know goes to the program's handler
    // here, so the editor stays open whatever started the read.
    bool done = false;
    runReportingUnexpected([&] { done = RunInTransaction(work, true); });
    return done;
}

QVariant TfrmEPrekladyPridaj::editedJob() const
{
    return Mode == TFormDetails::Edit && IsSetValue(Current) ? Current : QVariant();
}

TIBComboBox* TfrmEPrekladyPridaj::contactCombo(JobSide side) const
{
    return side == JobSide::Objednavatel ? eDBObjednavatel : eDBPrekladatel;
}

// ---- prices and rates ----------------------------------------------------------------------

void TfrmEPrekladyPridaj::loadObjPrice()
{
    loadPrice(JobSide::Objednavatel);
}

void TfrmEPrekladyPridaj::loadPrePrice()
{
    loadPrice(JobSide::Prekladatel);
}

void TfrmEPrekladyPridaj::loadPrice(JobSide side)
{
    const bool translator = side == JobSide::Prekladatel;
    TIBComboBox* contact = contactCombo(side);
    const QVariant adresar = contact->keyValue(1);
    if (!IsSetValue(adresar) || contact->IsEmpty()) {
        errorNote(translator ? QStringLiteral("Zadajte prekladateľa!") : QStringLiteral("Zadajte objednávateľa!"));
        if (canTakeFocus(contact))
            contact->setFocus(Qt::OtherFocusReason);
        return;
    }
    const QVariant kombinacia = eDBJazykovaKombinacia->keyValue(1);
    if (!IsSetValue(kombinacia) || eDBJazykovaKombinacia->IsEmpty()) {
        errorNote(QStringLiteral("Zadajte jazykovú kombináciu!"));
        return;
    }
    if (translator)
        loadAverageRating();

    std::optional<RateDefinition> rate;
    if (!assistRead([&](fb::Transaction& tr) { rate = ReadRateDefinition(tr, side, adresar, kombinacia); }))
        return;

    const PriceGroup g = translator ? preGroup() : objGroup();
    QPushButton* button = translator ? btnPreKombinacie : btnObjKombinacie;
    if (rate) {
        showAmount(g.cenaMJ, rate->cena);
        (translator ? eDBPreMena : eDBObjMena)->setText(rate->mena);
        (translator ? eDBPreMJ : eDBObjMJ)->FindIt(rate->mj);
        // The rate is what the user types next.
        if (button->hasFocus())
            g.kurz->setFocus(Qt::TabFocusReason);
        if (translator)
            RecomputePreTotals();
        else
            RecomputeObjTotals();
    } else if (m_windows.defineRate) {
        const QString who = translator ? QStringLiteral("Prekladateľ") : QStringLiteral("Objednávateľ");
        if (confirm(who + QStringLiteral(" nemá zadanú cenu prekladu tejto jazykovej kombinácie.\r\n\r\n"
                                         "Chcete zadať definíciu jazykovej kombinácie?")) == msg::Yes
            && m_windows.defineRate(adresar, translator, kombinacia)) {
            loadPrice(side);
            return;
        }
    }
    loadRate(side);
    if (g.kurz->hasFocus())
        g.kurz->selectAll();
}

void TfrmEPrekladyPridaj::loadObjRate()
{
    loadRate(JobSide::Objednavatel);
}

void TfrmEPrekladyPridaj::loadPreRate()
{
    loadRate(JobSide::Prekladatel);
}

void TfrmEPrekladyPridaj::loadRate(JobSide side)
{
    const bool translator = side == JobSide::Prekladatel;
    const QString mena = (translator ? eDBPreMena : eDBObjMena)->text();
    std::optional<QVariant> rate;
    if (!assistRead([&](fb::Transaction& tr) { rate = ReadLastRate(tr, side, mena); }))
        return;
    if (rate)
        showAmount(translator ? eDBPreKurz : eDBObjKurz, *rate);
}

// ---- balances and the rating ----------------------------------------------------------------

void TfrmEPrekladyPridaj::loadObjBalance()
{
    const QVariant adresar = eDBObjednavatel->keyValue(1);
    fb::Decimal balance(0, 2);
    if (IsSetValue(adresar)
        && !assistRead([&](fb::Transaction& tr) { balance = ReadOpenBalance(tr, JobSide::Objednavatel, adresar); }))
        return;
    eObjNeuhradene->setValue(balance.toDouble());
}

void TfrmEPrekladyPridaj::loadPreBalance()
{
    const QVariant adresar = prekladatelChosen() ? eDBPrekladatel->keyValue(1) : QVariant();
    fb::Decimal balance(0, 2);
    if (IsSetValue(adresar)
        && !assistRead([&](fb::Transaction& tr) { balance = ReadOpenBalance(tr, JobSide::Prekladatel, adresar); }))
        return;
    ePreNeuhradene->setValue(balance.toDouble());
}

void TfrmEPrekladyPridaj::loadAverageRating()
{
    const QVariant prekladatel = prekladatelChosen() ? eDBPrekladatel->keyValue(1) : QVariant();
    const QVariant kombinacia = eDBJazykovaKombinacia->keyValue(1);
    fb::Decimal average(0, 2);
    if (IsSetValue(prekladatel) && IsSetValue(kombinacia)
        && !assistRead([&](fb::Transaction& tr) { average = ReadAverageRating(tr, prekladatel, kombinacia); }))
        return;
    eHodnoteniePriemerne->setValue(average.toDouble());
}

// ---- warnings ------------------------------------------------------------------------------

void TfrmEPrekladyPridaj::checkPrekladatelWorkload()
{
    if (!prekladatelChosen())
        return;
    const QVariant prekladatel = eDBPrekladatel->keyValue(1);
    qint64 count = 0;
    if (!assistRead([&](fb::Transaction& tr) { count = CountWorkload(tr, prekladatel, editedJob()); }))
        return;
    if (count >= 1)
        PlainMessageBox(QStringLiteral("Zvolený prekladateľ má zadaný, ale neodovzdaný preklad. (") +
                        QString::number(count) + QStringLiteral(")"));
}

void TfrmEPrekladyPridaj::checkDuplicateZnacka()
{
    const QString mark = eDBZnacka->text().trimmed();
    if (mark.isEmpty() || mark == m_reportedZnacka)
        return;
    bool duplicate = false;
    if (!assistRead([&](fb::Transaction& tr) { duplicate = HasDuplicateMark(tr, mark, editedJob()); }))
        return;
    if (!duplicate) {
        m_reportedZnacka.clear();
        return;
    }
    // Reported once per mark: the focus comes back for a correction, and
    // leaving the same mark again goes on, so a mark that really repeats does
    // not hold the user in the field.
    m_reportedZnacka = mark;
    RedMessageDlg(QStringLiteral("Bola zadaná duplicitná značka prekladu!"), msg::Error, {msg::OK}, 0, msg::OK);
    eDBZnacka->setFocus(Qt::OtherFocusReason);
}

// ---- the code lists ---------------------------------------------------------------------------

void TfrmEPrekladyPridaj::pickObjednavatel()
{
    pickAddress(JobSide::Objednavatel);
}

void TfrmEPrekladyPridaj::pickPrekladatel()
{
    pickAddress(JobSide::Prekladatel);
}

void TfrmEPrekladyPridaj::pickAddress(JobSide side)
{
    const bool translator = side == JobSide::Prekladatel;
    TIBComboBox* combo = contactCombo(side);
    if (!m_windows.pickContact || (translator ? btnPrekladatel : btnObjednavatel)->isHidden())
        return;
    // Entered before the pick, so that leaving it afterwards compares the
    // picked contact with the one it had and runs its usual exit behaviour.
    if (!combo->hasFocus())
        combo->setFocus(Qt::OtherFocusReason);
    const QVariant picked = m_windows.pickContact(translator, combo->keyValue(1),
                                                  translator ? eDBJazykovaKombinacia->keyValue(1) : QVariant());
    if (IsSetValue(picked)) {
        combo->FindIt(picked);
        SelectNextFrom(combo);
    } else {
        combo->setFocus(Qt::OtherFocusReason);
    }
}

void TfrmEPrekladyPridaj::pickJazykovaKombinacia()
{
    if (!m_windows.pickCombination || btnDBJazykovaKombinacia->isHidden())
        return;
    const QVariant picked = m_windows.pickCombination(eDBJazykovaKombinacia->keyValue(1));
    if (IsSetValue(picked)) {
        eDBJazykovaKombinacia->FindIt(picked);
        if (eDBJazykovaKombinacia->hasFocus())
            SelectNextFrom(eDBJazykovaKombinacia);
    } else {
        eDBJazykovaKombinacia->setFocus(Qt::OtherFocusReason);
    }
}

void TfrmEPrekladyPridaj::addObjednavatel()
{
    offerAddress(JobSide::Objednavatel);
}

void TfrmEPrekladyPridaj::addPrekladatel()
{
    offerAddress(JobSide::Prekladatel);
}

// Runs inside the combo's exit check: a name that is not added is refused
// there (OfferingComboBox), which also puts the focus back.
void TfrmEPrekladyPridaj::offerAddress(JobSide side)
{
    if (!m_windows.addContact)
        return;
    TIBComboBox* combo = contactCombo(side);
    const QString name = combo->currentText();
    if (!offerToAdd())
        return;
    const QVariant added = m_windows.addContact(side == JobSide::Prekladatel, name);
    if (!IsSetValue(added))
        return;
    combo->FindIt(added);
    combo->lineEdit()->selectAll();
}

void TfrmEPrekladyPridaj::addJazykovaKombinacia()
{
    if (!m_windows.addCombination)
        return;
    const QString skratka = eDBJazykovaKombinacia->currentText();
    if (!offerToAdd())
        return;
    const QVariant added = m_windows.addCombination(skratka);
    if (!IsSetValue(added))
        return;
    eDBJazykovaKombinacia->FindIt(added);
    eDBJazykovaKombinacia->lineEdit()->selectAll();
}
