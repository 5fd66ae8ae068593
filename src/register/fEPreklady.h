#pragma once

#include "controls/ListToolbar.h"
#include "fb/Decimal.h"
#include "forms/FormEditor.h"
#include "forms/FormViewer.h"
#include "register/EPrekladySql.h"
#include "register/PriceCalc.h"
#include "register/fEPrekladyPridaj.h"

#include <QColor>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QStatusBar;
class QToolBar;
class TDbGridQDL;
class TIBComboBox;
class TIBEdit;
class TQDLBtn;
class TRegisterRefresh;

// The translation register: every job of the agency in a grid under a filter
// panel, the listed prices summed in the status bar, each row coloured by the
// job's state, and every action on jobs started from its toolbar.
//
// A window of its own (not a code list): its statement joins the customer,
// the translator and the language combination, and every refresh walks the
// whole result for the sums.
class TfrmEPreklady : public TFormViewer, public TListToolbar {
    Q_OBJECT
public:
    // What the register needs from the windows around it. Print stays hidden
    // until its window is given.
    struct Windows {
        QString userAbbreviation;          // the PM of new jobs
        std::function<void()> reportMenu;  // btnTlac
        // btnFaktura's dialog over the jobs handed to it, returning its result;
        // TfrmEPrekladyUhrady when not given.
        std::function<int()> bulkEntry;
        // The job editor for one add, edit or copy loop; the job editor of
        // this folder when not given.
        std::function<std::unique_ptr<TFormEditor>()> editor;
        // The code-list windows that job editor opens.
        TfrmEPrekladyPridaj::Windows editorWindows;
        // The deadline filter the window opens with (the main window's
        // counts); none: all jobs.
        std::optional<DeadlineFilter> termin;
    };

    explicit TfrmEPreklady(Windows windows = {}, QWidget* parent = nullptr);
    ~TfrmEPreklady() override;

    TDbGridQDL* gr1 = nullptr;
    // The standard buttons come with TListToolbar; the find button is named
    // tbtHladaj in this window.
    QAction* tbtHladaj = nullptr;
    QAction* btnFaktura = nullptr;

    QWidget* pnlFilter = nullptr;
    TIBComboBox* eObjednavatel = nullptr;
    TIBComboBox* ePrekladatel = nullptr;
    TIBComboBox* eZadanie = nullptr;
    TIBComboBox* eDodanie = nullptr;
    TIBComboBox* eOdoslanie = nullptr;
    QCheckBox* eObjFaktura = nullptr;
    QCheckBox* ePreFaktura = nullptr;
    TIBEdit* ePM = nullptr;
    TIBEdit* eText = nullptr;
    QComboBox* eTermin = nullptr;  // DeadlineFilter, in its order
    TQDLBtn* btnRefresh2 = nullptr;
    QStatusBar* sbStatus = nullptr;
    std::array<QLabel*, 6> sbPanels{};

    // The filter panel's values as the statement takes them.
    PrekladyFilter filterValues() const;
    // Customer, translator, PM and text emptied, the dates and the deadline
    // "všetky" except the sent date "prázdny"; the two check boxes keep their
    // state. Refreshes.
    void ClearFilter();

    struct Totals {
        int count = 0;
        fb::Decimal objCena, objCenaEur, preCena, preCenaEur;
        // The prices in the jobs' own currencies, per currency.
        CurrencySums objByCurrency, preByCurrency;
    };
    const Totals& totals() const { return m_totals; }
    const QString& direction() const;

    // Fills the grid, runs modally; in select mode returns the chosen JEDIN.
    void SetDetails(TFormDetails& details) override;

    // The buttons' actions.
    void AddAction();
    void CopyAction();
    void EditAction();
    bool DeleteAction();
    // The change history of the current job (F9), and of the deleted jobs
    // (Ctrl+F9); both also in the grid's context menu.
    void HistoryAction();
    void DeletedHistoryAction();
    QAction* actHistoria = nullptr;
    QAction* actHistoriaVymazanych = nullptr;

    // The colours of the state cell: 1 day left light orange, due or overdue red.
    static std::optional<QColor> StateColour(const QVariant& stav);

protected:
    bool keyPreview(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildFilterPanel();
    void buildGrid();
    void buildStatusBar();
    void connectButtons();
    void resetFilter();
    bool gridKey(QKeyEvent* event);
    void sumRows();
    void showTotals();
    void editLoop(std::uint8_t mode);

    Windows m_windows;
    std::unique_ptr<TRegisterRefresh> m_refresh;
    Totals m_totals;
};

// Runs the register (created, filled, shown modally, destroyed).
void RunEPreklady(TfrmEPreklady::Windows windows);
