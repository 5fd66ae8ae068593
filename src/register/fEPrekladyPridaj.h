#pragma once

#include "fb/Decimal.h"
#include "forms/FormEditor.h"
#include "register/PriceCalc.h"

#include <QVariant>

class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;
class TIBCheckBox;
class TIBComboBox;
class TIBCurrencyEdit;
class TIBDate;
class TIBEdit;
class TIBMemo;
class TIBTime;

// The editor of one translation job (a row of PREKLADY): add, edit or copy.
//
// It runs on the editor protocol of TFormEditor (modes Insert, Edit and Copy of
// TFormDetails; results 1 OK, 4 saved and next, 2 cancel). One instance may
// serve a whole add or edit loop of the register: what Clear keeps depends on
// how the previous run ended.
//
// The customer's price group (OBJ_ columns) and the translator's (PRE_) are
// shown side by side; their totals follow every change of price, rate,
// coefficient and scope, by the same arithmetic as the server's job trigger.
//
// The help the editor gives while a job is typed (loading prices and rates,
// balances, the average rating, the workload and duplicate-mark warnings, the
// code-list pickers) is reached through the protected virtual functions at the
// end: each one is already connected to its event and does nothing here.
class TfrmEPrekladyPridaj : public TFormEditor {
    Q_OBJECT
public:
    // `userAbbreviation`: the logged-in user's abbreviation, the PM of new jobs.
    explicit TfrmEPrekladyPridaj(const QString& userAbbreviation = {}, QWidget* parent = nullptr);

    void setUserAbbreviation(const QString& abbreviation) { m_userAbbreviation = abbreviation; }
    QString userAbbreviation() const { return m_userAbbreviation; }

    // Clear: presets for the next job; after a save-and-next the mark, title,
    // PM, deadline and customer stay.
    void ClearControls() override;
    void SetDetails(TFormDetails& details) override;

    // The totals of a price group as shown (also what the question before
    // saving compares).
    PriceTotals objTotals() const;
    PriceTotals preTotals() const;

    // ---- the controls, top to bottom --------------------------------------------
    TIBEdit* eDBZnacka;
    TIBComboBox* eDBJazykovaKombinacia;
    QToolButton* btnDBJazykovaKombinacia;
    TIBEdit* eDBPM;
    TIBDate* eDBDatumPrijatia;
    TIBTime* eDBDatumPrijatiaTime;
    TIBMemo* eDBNazov;
    TIBDate* eDBTerminDate;
    TIBTime* eDBTerminTime;
    TIBDate* eDBDatumOdoslaniaPrekladu;

    TIBComboBox* eDBObjednavatel;
    QToolButton* btnObjednavatel;
    QPushButton* btnObjKombinacie;
    TIBCurrencyEdit* eDBObjCenaMJ;
    TIBEdit* eDBObjMena;
    TIBComboBox* eDBObjMJ;
    TIBCurrencyEdit* eDBObjKurz;
    QToolButton* btnObjKurz;
    TIBCurrencyEdit* eDBObjKoeficient;
    TIBCurrencyEdit* eDBObjRozsah;
    TIBCurrencyEdit* eObjCenaSpolu;
    TIBCurrencyEdit* eObjCenaSpoluSKK;
    TIBEdit* eDBObjFaktura;
    TIBCurrencyEdit* eObjNeuhradene;

    TIBComboBox* eDBPrekladatel;
    QToolButton* btnPrekladatel;
    QPushButton* btnPreKombinacie;
    TIBDate* eDBDatumZadaniaPrekladatelovi;
    TIBDate* eDBDatumDodaniaPrekladu;
    TIBCheckBox* eHodnoteny;
    TIBCurrencyEdit* eHodnotenie;
    TIBCurrencyEdit* eHodnoteniePriemerne;
    TIBCurrencyEdit* eDBPreCenaMJ;
    TIBEdit* eDBPreMena;
    TIBComboBox* eDBPreMJ;
    TIBCurrencyEdit* eDBPreKurz;
    QToolButton* btnPreKurz;
    TIBCurrencyEdit* eDBPreKoeficient;
    TIBCurrencyEdit* eDBPreRozsah;
    TIBCurrencyEdit* ePreCenaSpolu;
    TIBCurrencyEdit* ePreCenaSpoluSKK;
    TIBEdit* eDBPreFaktura;
    TIBComboBox* eDBPreSposobPlatby;
    TIBCurrencyEdit* ePreNeuhradene;

    TIBMemo* eDBPoznamka;

    // Labels that come and go with their controls.
    QLabel* lblDatumOdoslaniaPrekladu;
    QLabel* lblDatumDodaniaPrekladu;
    QLabel* lblHodnotenie;

    // The visibility rules: sent date, rating, delivered date, the translator's
    // price button; then the customer's balance is refilled.
    void ApplyVisibility();
    // The payment method of the chosen translator (emptied without one).
    void ShowPaymentMethod();
    void RecomputeObjTotals();
    void RecomputePreTotals();

protected:
    QString captionFor(std::uint8_t mode) const override;
    bool LoadRecord(fb::Transaction& transaction) override;
    void SaveRecord(fb::Transaction& transaction, bool isNew) override;
    QString sequenceName() const override { return QStringLiteral("preklady_id"); }
    void Zapis(QPushButton* originator) override;
    void showEvent(QShowEvent* event) override;

    // ---- the assistance: connected, empty here ----------------------------------
    // Prices of the chosen address for the language combination (the buttons
    // "Načítaj cenu ...", and a changed customer or translator).
    virtual void loadObjPrice() {}
    virtual void loadPrePrice() {}
    // The rate last used for the group's currency (btnObjKurz, btnPreKurz).
    virtual void loadObjRate() {}
    virtual void loadPreRate() {}
    // Open balances ("Neuhradené v €:"): the customer's on showing a job and
    // on every run of the visibility rules, the translator's on showing a job
    // and on leaving the translator.
    virtual void loadObjBalance() {}
    virtual void loadPreBalance() {}
    // "Priemerné hodnotenie:" on showing a job.
    virtual void loadAverageRating() {}
    // Leaving the translator: work in progress of the chosen translator.
    virtual void checkPrekladatelWorkload() {}
    // Leaving the mark: the same mark on another job.
    virtual void checkDuplicateZnacka() {}
    // The customer or translator differs from the one on entering the combo.
    virtual void onObjednavatelChanged() { loadObjPrice(); }
    virtual void onPrekladatelChanged() { loadPrePrice(); }
    // "...", double click or Ctrl+Enter: pick from the code list.
    virtual void pickObjednavatel() {}
    virtual void pickPrekladatel() {}
    virtual void pickJazykovaKombinacia() {}
    // A typed name the code list does not have: offer to add it.
    virtual void addObjednavatel() {}
    virtual void addPrekladatel() {}
    virtual void addJazykovaKombinacia() {}

private:
    struct PriceGroup {
        TIBCurrencyEdit* cenaMJ;
        TIBCurrencyEdit* kurz;
        TIBCurrencyEdit* koeficient;
        TIBCurrencyEdit* rozsah;
        TIBCurrencyEdit* spolu;
        TIBCurrencyEdit* spoluEur;
    };
    PriceGroup objGroup() const;
    PriceGroup preGroup() const;
    static PriceTotals totalsOf(const PriceGroup& group);
    static void showTotals(const PriceGroup& group);
    // A rate of 0 cannot divide the group's price: refused with the focus on
    // the rate. True when refused.
    bool refuseZeroRate(const PriceGroup& group);
    void save(QPushButton* originator);

    void buildControls();
    void connectEvents();
    void prekladatelLeft();
    void objednavatelLeft();
    void zadanieEntered();
    bool prekladatelChosen() const;

    QString m_userAbbreviation;
    int m_previousResult = 0;
    int m_filling = 0;  // > 0 while Clear or the load sets the controls
    bool m_created = false;
    QVariant m_objednavatelAtEntry;
    QVariant m_prekladatelAtEntry;
};
