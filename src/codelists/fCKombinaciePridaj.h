#pragma once

#include "forms/FormEditor.h"

#include <QVariant>

#include <functional>
#include <memory>

class QGroupBox;
class TDbGridQDL;
class TIBComboBox;
class TIBCurrencyEdit;
class TIBMemo;
class TRegisterRefresh;

// The editor of one rate of a contact (a row of KOMBINACIE): the price per
// unit, currency and unit for one language combination. Parent is the
// contact; Flag its type (true: translator), which chooses the side of the
// jobs shown in the price history beside the rate. The contact of a row is
// never changed here.
class TfrmCKombinaciePridaj : public TFormEditor {
    Q_OBJECT
public:
    explicit TfrmCKombinaciePridaj(QWidget* parent = nullptr);
    ~TfrmCKombinaciePridaj() override;

    // The language combinations' own window, opened from eDBNazov (Ctrl+Enter
    // or a double click): gets the call record (select mode, Current = the
    // combination shown) and leaves the chosen one in Current with result 1.
    // Installed by the module of that window; nothing happens without it.
    static std::function<void(TFormDetails&)>& languageCombinations();

    TIBComboBox* eDBNazov;
    TIBCurrencyEdit* eDBCena;
    TIBComboBox* eDBMena;
    TIBComboBox* eDBMJ;
    QGroupBox* gbPoznamka;
    TIBMemo* eDBPoznamka;
    QGroupBox* gbCeny;
    TDbGridQDL* grCeny;

    void ClearControls() override;
    // Re-queries the price history for the combination shown.
    void ShowPriceHistory();

protected:
    QString captionFor(std::uint8_t mode) const override;
    bool LoadRecord(fb::Transaction& transaction) override;
    void SaveRecord(fb::Transaction& transaction, bool isNew) override;
    QString sequenceName() const override { return QStringLiteral("kombinacie_id"); }
    QString recordTable() const override { return QStringLiteral("KOMBINACIE"); }
    QVariantMap recordValues() const override;
    QString columnCaption(const QString& column) const override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void pickLanguageCombination();

    std::unique_ptr<TRegisterRefresh> m_history;
    int m_quietSearch = 0;  // > 0: a search of eDBNazov does not re-query the history
};
