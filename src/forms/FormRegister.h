#pragma once

#include "controls/ListToolbar.h"
#include "controls/QDLColumn.h"
#include "forms/FormEditor.h"
#include "forms/FormViewer.h"

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QStatusBar;
class QToolBar;
class TIBEdit;
class TQDLBtn;
class TRegisterRefresh;

// A code-list window: the records of one table in the grid gr1, with the
// standard toolbar tb, the filter panel pnlFilter and a status line counting
// records and marks. A code list names its table, select list and columns,
// puts its filter controls into pnlFilter, gives the filter lines and its
// editor; the rest is here:
//
//   toolbar   the chosen standard buttons with images, hints and actions; their
//             keys in the grid (no Shift, Ctrl or Alt; only while the button is
//             enabled)
//   refresh   the standard statement (TRegisterRefresh), back on the record held
//   filter    btnFilter shows pnlFilter; its state is remembered as
//             "btnFilter.Down", the panel's named edits by their names
//   keys      Esc closes (2), F12 closes with OK (1); in select mode Enter and a
//             double click in a list with records close with OK and the
//             chosen JEDIN is the result, otherwise Enter edits
//   records   add / edit loops with the editor (save and next), copy, delete
//             (a show-marked view is released after a delete)
class TFormRegister : public TFormViewer, public TListToolbar {
    Q_OBJECT
public:
    struct Setup {
        QString table;           // the main table, alias "a" in the statement
        QStringList selectList;  // "select a.jedin, a.skratka"
        std::vector<TQDLColumn> columns;
        QString title;           // caption and the grid's printout heading
        ListButtons buttons = DefaultButtons;
        int activeTitle = 1;     // the column ordered first (0: none, by a.jedin)
    };
    static constexpr ListButtons DefaultButtons =
        ListButtons(ListButton::Pridaj) | ListButton::Oprav | ListButton::Vymaz | ListButton::Smer |
        ListButton::Filter | ListButton::FilterZrus | ListButton::Hladaj | ListButton::Oznacene | ListButton::Oznac |
        ListButton::Odznac | ListButton::Refresh;

    explicit TFormRegister(const Setup& setup, QWidget* parent = nullptr);
    ~TFormRegister() override;

    TDbGridQDL* gr1 = nullptr;
    QWidget* pnlFilter = nullptr;  // hidden; has a horizontal layout for the filter controls
    QStatusBar* sbStatus = nullptr;

    const TListToolbar& toolbar() const { return *this; }
    TRegisterRefresh& refresh() { return *m_refresh; }

    // The editor run by the add, copy and edit buttons.
    template <class Editor>
    void SetEditor()
    {
        m_runEditor = [](TFormDetails& d) { RunEditor<Editor>(d); };
    }
    void SetEditor(std::function<void(TFormDetails&)> runEditor) { m_runEditor = std::move(runEditor); }

    void Prepare() override;
    void LoadSettings() override;
    void SaveSettings() override;
    // Fills the list, goes to Current, runs modally; in select mode a result
    // of OK returns the chosen JEDIN in Current.
    void SetDetails(TFormDetails& details) override;

    // A label and an edit in pnlFilter. While its text is not blank it filters
    // `column` of the main table: "AND UPPERQDL2(A.<column>) CONTAINING
    // :<column>" with the text in upper case without diacritics (the server
    // folds the column alike). Its text is remembered under `name`. The
    // filters stand side by side in `row` (0, 1, ...) of the panel.
    TIBEdit* AddTextFilter(const QString& label, const QString& name, int maxLength, const QString& column,
                           int row = 0);
    // "Obnov" (btnRefreshFilter) at the panel's right edge. It only moves the
    // focus to the grid: leaving the panel applies the filter.
    TQDLBtn* AddRefreshFilterButton();

    // The buttons' actions.
    void AddAction();
    void CopyAction();
    void EditAction();
    virtual bool DeleteAction();
    // "Záznamov: n   Označených: m".
    QString statusText() const;

protected:
    // The filter lines while the panel is shown; here those of AddTextFilter.
    virtual void FilterLines(QStringList& lines, QVariantMap& params);
    // btnFilterZrus: empties the panel's data controls; a refresh follows.
    virtual void ClearFilter();
    // btnTlac.
    virtual void Print() {}
    // Further parameters of the editor's call record before each run.
    virtual void BeforeEditor(TFormDetails&) {}

    bool keyPreview(QKeyEvent* event) override;
    void setVisible(bool visible) override;

private:
    void connectButtons();
    bool gridKey(QKeyEvent* event);
    void choose();
    void showCounts();
    void loaded();

    std::unique_ptr<TRegisterRefresh> m_refresh;
    std::function<void(TFormDetails&)> m_runEditor;
    std::vector<std::pair<TIBEdit*, QString>> m_textFilters;  // edit, column
    class QGridLayout* m_textFilterGrid = nullptr;
    QLabel* m_count = nullptr;
    bool m_loaded = false;
};
