#pragma once

#include <QIcon>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <memory>

class QAction;
class QObject;
class QToolBar;
class QWidget;
class TDbGridQDL;
namespace fb {
class Connection;
class Query;
class Transaction;
}  // namespace fb

// The standard toolbar of the register windows and the routines they share for
// marked records: hints, the show-marked-only button, deleting, and handing
// record numbers to the server through TEMP_SPRACUJ.

// --- images -----------------------------------------------------------------
// The images of the 32-pixel list (indexes 0..48) and the 16-pixel list (0..13),
// drawn in code. An action remembers its index in the property "imageIndex".
QIcon ToolbarImage(int index, int size);
void SetActionImage(QAction* action, int index);
int ActionImage(const QAction* action);  // -1 when none was set
// Adds a standard button (39 x 38 pixels on a 32-pixel toolbar) named `name`.
QAction* AddToolbarButton(QToolBar* toolbar, const QString& name, int imageIndex, bool checkable = false);

// Gives a hint to every button of the toolbar whose hint is blank, chosen by its
// image index: the 32-pixel table for a toolbar with 32-pixel icons, the 16-pixel
// table for 16-pixel icons; any other toolbar is left alone.
void SetupToolbarHints(QToolBar* toolbar);
QString ToolbarHint(int imageIndex, int iconSize);

// --- marked records ---------------------------------------------------------
// Releases a pressed btnOznacene when nothing is marked (with a notice) and shows
// image 8 when it is down, 7 when up.
void UpdateMarkedOnlyButton(TDbGridQDL* grid, QAction* btnOznacene);

// The delete statement for the current record (no marks) or for the marked ones.
// With more than 500 marks the keys are written to TEMP_SPRACUJ first.
// `params` receives the values of parameters the text uses (text keys).
QString DeleteStatement(TDbGridQDL* grid, const QString& table, const QString& extra, QVariantMap* params = nullptr);
// Asks, deletes in one statement, drops the marks only after a successful
// delete, re-queries and returns to the row held before. True only when a
// delete ran and committed.
bool DeleteRecords(TDbGridQDL* grid, const QString& table, const QString& extra = {});
// Runs one statement in its own write transaction on the main connection. On a
// database error: rolls back, lets the error translation report it, raises it
// again when that does not handle it, and returns false.
bool ExecInNewTransaction(const QString& sql, const QVariantMap& params = {});
// Replaces this connection's set under `key` with the marked record numbers (in
// marking order), with every record when nothing is marked and allWhenNone, or
// else with the current record. False when there was nothing to write.
bool MarkedToTempSpracuj(TDbGridQDL* grid, const QString& key, bool allWhenNone);
// Removes the TEMP_SPRACUJ rows of connections that are gone. Run once when the
// program connects. Returns the number of rows removed; does nothing (0) when
// this user cannot see every attachment, since another user's live rows would
// look stale then.
int CleanStaleTempSpracuj(fb::Connection& connection);

// --- the standard refresh of a register window -------------------------------
// A register window fills in its select list, main table and filters and sets
// Refresh() as the grid's OnDisplayGrid. The read-only query stays open
// between refreshes.
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

    QStringList BuildSql(QVariantMap* params = nullptr);
    void Refresh();
    // btnOznacene's action; a refresh follows unless the window itself ran it.
    void MarkedOnlyAction(bool byWindow = false);
    void ToggleDirection();
    // btnFilter's action. While the panel is shown, leaving it refreshes.
    void SetFilterPanel(bool down);
    // btnVymaz's action: DeleteRecords on the main table; after a delete the
    // marked-only view is released (and its action run).
    bool DeleteAction();

    fb::Transaction& transaction() { return *m_transaction; }

private:
    TDbGridQDL* m_grid;
    QStringList m_selectList;
    QString m_mainTable;
    std::unique_ptr<fb::Transaction> m_transaction;
    std::unique_ptr<fb::Query> m_query;
    std::unique_ptr<QObject> m_panelWatch;  // ends the focus watch with this object
};
