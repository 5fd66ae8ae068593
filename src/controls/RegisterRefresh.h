#pragma once

#include "controls/ListToolbar.h"

#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>

class QAction;
class QObject;
struct TListToolbar;
class QWidget;
class TDbGridQDL;
namespace fb {
class Query;
class Transaction;
}  // namespace fb

// The standard refresh of a register window: the window gives its grid,
// select list, main table and filter lines and sets Refresh() as the grid's
// OnDisplayGrid. The read-only query stays open between refreshes.
//
// The statement, one piece a line: the select list, "from <table> a",
// "where 1=1", the marked-records condition while btnOznacene is down, the
// filter lines while the filter panel is shown, "order by" and the grid's
// ORDER BY list (or "a.jedin" when no column is active) in `direction`.
class TRegisterRefresh {
public:
    TRegisterRefresh(TDbGridQDL* grid, QStringList selectList, QString mainTable);
    ~TRegisterRefresh();

    QAction* btnOznacene = nullptr;  // show marked records only
    QAction* btnSmer = nullptr;      // sort direction
    QAction* btnFilter = nullptr;    // filter panel
    QWidget* pnlFilter = nullptr;
    QString direction;               // "", " DESC" or " ASC"
    // The filter lines ("AND UPPERQDL2(A.MENO) CONTAINING :MENO") and their values,
    // used while the filter panel is shown.
    std::function<void(QStringList& lines, QVariantMap& params)> filters;
    // A register with a statement of its own (the translation register) builds
    // it here from the marked-records condition ("" when there is none) and the
    // ORDER BY text; the standard statement and `filters` are not used then.
    std::function<QStringList(const QString& marked, const QString& orderBy, QVariantMap& params)> statement;
    // Runs once the query is open, before the record held before is located
    // (the translation register sums its prices and stands on the last row).
    std::function<void()> afterOpen;
    // Runs the delete of DeleteAction inside its transaction (DeleteRecords).
    TDeleteWrap deleteWrap;

    const QString& mainTable() const { return m_mainTable; }

    QStringList BuildSql(QVariantMap* params = nullptr);
    // Re-queries and returns to the record held before. A database error is
    // rolled back and reported (one the error translation does not know is
    // raised again); false then.
    bool Refresh();
    // btnOznacene's action; a refresh follows unless the window itself ran it.
    void MarkedOnlyAction(bool byWindow = false);
    void ToggleDirection();
    // btnFilter's action. While the panel is shown, leaving it for another
    // control of the same window refreshes (not the focus going to another
    // window, or nowhere).
    void SetFilterPanel(bool down);
    // btnVymaz's action: DeleteRecords on the main table; after a delete the
    // marked-only view is released (and its action run).
    bool DeleteAction();

    fb::Transaction& transaction() { return *m_transaction; }

    // Starts watching the filter panel: leaving it for another control of the
    // same window refreshes. SetFilterPanel starts it; a window whose panel is
    // always shown calls it once.
    void watchPanel();

private:
    QString markedCondition(QVariantMap& params);
    QString orderBy();

    TDbGridQDL* m_grid;
    QStringList m_selectList;
    QString m_mainTable;
    std::unique_ptr<fb::Transaction> m_transaction;
    std::unique_ptr<fb::Query> m_query;
    std::unique_ptr<QObject> m_panelWatch;  // ends the focus watch with this object
};

// What a window does itself on its standard buttons; the rest is common.
struct TListActions {
    std::function<void()> add, copy, edit, remove, print, clearFilter;
    std::function<void()> marksChanged;  // after mark all / unmark all (the status line)
};

// Connects the standard buttons of `toolbar` (each through guarded(...)):
// add, copy, edit, delete, print and clear filter (followed by a refresh) run
// the window's actions; direction, filter panel, marked only, find, mark all,
// unmark all and refresh work on `grid` and `refresh`.
void ConnectListToolbar(QObject* context, const TListToolbar& toolbar, TDbGridQDL* grid, TRegisterRefresh& refresh,
                        const TListActions& actions);
