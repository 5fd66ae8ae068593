#pragma once

#include "fb/Decimal.h"
#include "forms/FormEditor.h"
#include "register/JobAssistSql.h"
#include "register/PriceCalc.h"

#include <QVariant>

#include <functional>

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
// code-list pickers and the offer to add a missing name) lives in the
// protected virtual functions at the end, each connected to its event
// (fEPrekladyPridajAssist.cpp). Every read runs in a short transaction of its
// own; a database error is translated and the editor stays open.
class TfrmEPrekladyPridaj : public TFormEditor {
    Q_OBJECT
public:
    // The code-list windows the editor opens. One that is not given is not
    // offered: its "..." button is hidden, a missing rate only loads the last
    // exchange rate, and an unlisted name is refused as in any lookup.
    struct Windows {
        // The rate editor in insert mode for `contact` (a customer, or a
        // translator when `translator`) with `combination` preset, without
        // "Ďalší". True when it saved (closed with OK).
        std::function<bool(const QVariant& contact, bool translator, const QVariant& combination)> defineRate;
        // The address book in select mode: customers, or translators ranked
        // for `combination` (null for customers), positioned on `current`.
        // The picked JEDIN; null when nothing was picked.
        std::function<QVariant(bool translator, const QVariant& current, const QVariant& combination)> pickContact;
        // The language combinations in select mode, positioned on `current`.
        // The picked JEDIN; null when nothing was picked.
        std::function<QVariant(const QVariant& current)> pickCombination;
        // The contact editor in insert mode for a customer or a translator,
        // `name` as the new name, without "Ďalší". The new JEDIN; null when
        // it was not saved.
        std::function<QVariant(bool translator, const QString& name)> addContact;
        // The language-combination editor in insert mode, `skratka` as the new
        // abbreviation, without "Ďalší". The new JEDIN; null when not saved.
        std::function<QVariant(const QString& skratka)> addCombination;
    };

    // `userAbbreviation`: the logged-in user's abbreviation, the PM of new jobs.
    explicit TfrmEPrekladyPridaj(const QString& userAbbreviation = {}, QWidget* parent = nullptr);
    TfrmEPrekladyPridaj(const QString& userAbbreviation, Windows windows, QWidget* parent = nullptr);

    void setWindows(Windows windows);
    const Windows& windows() const { return m_windows; }

    void setUserAbbreviation(const QString& abbreviation) { m_userAbbreviation = abbreviation; }
    QString userAbbreviation() const { return m_userAbbreviation; }

    // Clear: presets for the next job; after a save-and-next the mark, title,
    // PM, deadline and customer stay.
    void ClearControls() override;
    void SetDetails(TFormDetails& details) override;

    // The caption of a column of PREKLADY as this editor names its field (the
    // conflict message of a save and the change history use it).
    static QString JobColumnCaption(const QString& column);

    // "História" (F9): the job's changes, newest first; only for a stored job.
    QPushButton* btnHistoria = nullptr;
    void ShowHistory();

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
    QString recordTable() const override { return QStringLiteral("PREKLADY"); }
    QVariantMap recordValues() const override;
    QString columnCaption(const QString& column) const override;
    QString columnText(const QString& column, const QVariant& value) const override;
    void Zapis(QPushButton* originator) override;
    void showEvent(QShowEvent* event) override;
    bool keyPreview(QKeyEvent* event) override;

    // ---- the assistance ------------------------------------------------------------
    // Prices of the chosen address for the language combination (the buttons
    // "Načítaj cenu ...", and a changed customer or translator), then the last
    // exchange rate of the currency shown.
    virtual void loadObjPrice();
    virtual void loadPrePrice();
    // The rate last used for the group's currency (btnObjKurz, btnPreKurz).
    virtual void loadObjRate();
    virtual void loadPreRate();
    // Open balances ("Neuhradené v €:"): the customer's on showing a job and
    // on every run of the visibility rules, the translator's on showing a job
    // and on leaving the translator.
    virtual void loadObjBalance();
    virtual void loadPreBalance();
    // "Priemerné hodnotenie:" on showing a job and in the translator's price load.
    virtual void loadAverageRating();
    // Leaving the translator: work in progress of the chosen translator.
    virtual void checkPrekladatelWorkload();
    // Leaving the mark: the same mark on another job.
    virtual void checkDuplicateZnacka();
    // The customer or translator differs from the one on entering the combo.
    virtual void onObjednavatelChanged() { loadObjPrice(); }
    virtual void onPrekladatelChanged() { loadPrePrice(); }
    // "...", double click or Ctrl+Enter: pick from the code list.
    virtual void pickObjednavatel();
    virtual void pickPrekladatel();
    virtual void pickJazykovaKombinacia();
    // A typed name the code list does not have: offer to add it.
    virtual void addObjednavatel();
    virtual void addPrekladatel();
    virtual void addJazykovaKombinacia();

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

    // The assistance (fEPrekladyPridajAssist.cpp).
    // A lookup that offers an unlisted name for adding and refuses the name
    // when it is not added.
    static TIBComboBox* newOfferingCombo(QWidget* parent);
    static void setOffersAdding(TIBComboBox* combo, bool on);
    void applyWindows();
    // One read in a short read-only transaction; false when it failed (the
    // error has been reported, also one the translation does not know).
    bool assistRead(const std::function<void(fb::Transaction&)>& work);
    // The record number of the job being edited; null for a new job or a copy.
    QVariant editedJob() const;
    TIBComboBox* contactCombo(JobSide side) const;
    void loadPrice(JobSide side);
    void loadRate(JobSide side);
    void pickAddress(JobSide side);
    void offerAddress(JobSide side);
    void prekladatelLeft();
    void objednavatelLeft();
    void zadanieEntered();
    bool prekladatelChosen() const;

    QString m_userAbbreviation;
    int m_previousResult = 0;
    // The totals of both sides as the job was shown: an unchanged loss of a
    // stored job is not asked about again at every save.
    QString m_pricesAtShow;
    QString priceSignature() const;
    int m_filling = 0;  // > 0 while Clear or the load sets the controls
    bool m_created = false;
    QVariant m_objednavatelAtEntry;
    QVariant m_prekladatelAtEntry;
    Windows m_windows;
    // The mark last reported as a duplicate: leaving it again unchanged does
    // not pull the focus back once more.
    QString m_reportedZnacka;
};
