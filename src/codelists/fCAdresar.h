#pragma once

#include "controls/ListToolbar.h"
#include "forms/FormViewer.h"

#include <functional>
#include <memory>

class QLabel;
class QStatusBar;
class QTabWidget;
class TDbGridQDL;
class TIBComboBox;
class TIBEdit;
class TQDLBtn;
class TRegisterRefresh;

// The address book: the contacts of one type (Flag false: customers, true:
// translators) on the first tab, the rates of the current contact per
// language combination on the second. Opened from the main window to keep
// the contacts, and from the job editor to pick one (Mode 2; Value: the job's
// combination, by which translators are then ranked).
class TfrmCAdresar : public TFormViewer, public TListToolbar {
    Q_OBJECT
public:
    // The editors run by the add and edit loops; the contact editor and the
    // rate editor of this folder when not given.
    struct Editors {
        std::function<void(TFormDetails&)> contact;
        std::function<void(TFormDetails&)> rate;
    };

    explicit TfrmCAdresar(Editors editors = {}, QWidget* parent = nullptr);
    ~TfrmCAdresar() override;

    QTabWidget* pc1 = nullptr;
    QWidget* tabAdresar = nullptr;
    QWidget* tabKombinacie = nullptr;
    QWidget* pFilter = nullptr;
    TIBComboBox* eJazykovaKombinacia = nullptr;
    TIBEdit* eJazykovaKombinaciaText = nullptr;
    TQDLBtn* btnRefresh2 = nullptr;
    TDbGridQDL* gr1 = nullptr;
    QStatusBar* sb1 = nullptr;
    QLabel* sb1Panel = nullptr;
    TDbGridQDL* gr2 = nullptr;

    // Fills the list (with Value: the combination chosen, translators
    // ranked), goes to Current, runs modally; a pick returns the contact.
    void SetDetails(TFormDetails& details) override;
    // The opening steps of the run without the modal show, on the values
    // taken over from the call record: the combination and the ranking, the
    // caption, the first query, the position on Current.
    void Open();

    const QString& baseCaption() const { return m_baseCaption; }
    const QString& direction() const { return m_direction; }
    bool onRatesTab() const;
    // Re-queries the grid of the tab shown, with the caption for it.
    void RefreshShown();
    // The contact query as it runs now.
    QStringList contactStatement(QVariantMap* params = nullptr);

    // The buttons' actions, on the tab shown.
    void AddAction();
    void EditAction();
    bool DeleteAction();
    void ClearFilter();

protected:
    bool keyPreview(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildFilterStrip();
    void buildGrids();
    void connectButtons();
    bool gridKey(QKeyEvent* event);
    QString markedCondition(TDbGridQDL* grid, QVariantMap& params);
    void contactsShown();
    void updateCaption();
    void rank();
    void choose();

    Editors m_editors;
    std::unique_ptr<TRegisterRefresh> m_contacts;
    std::unique_ptr<TRegisterRefresh> m_rates;
    QString m_baseCaption;
    QString m_direction;
    bool m_opening = true;  // no query before the call record is known
};

// The main window's customer and translator buttons: the address book in
// browse mode for the type the call record's Flag names.
void RunCAdresar(TFormDetails& details);
