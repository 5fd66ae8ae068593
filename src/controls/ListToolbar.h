#pragma once

#include "controls/TempSpracuj.h"
#include "controls/ToolbarImages.h"

#include <QFlags>
#include <QString>
#include <QVariantMap>

#include <functional>

class QAction;
class QKeyEvent;
class QToolBar;
class QWidget;
class TDbGridQDL;
namespace fb {
class Transaction;
}

// The standard toolbar of the register windows and the routines they share for
// marked records: building the toolbar, its keys in the grid, the
// show-marked-only button and deleting. The images and hints
// (ToolbarImages.h) and the sets in TEMP_SPRACUJ (TempSpracuj.h) come with it.

// --- the standard toolbar ------------------------------------------------------
// The standard buttons; a window chooses the ones it uses.
enum class ListButton : unsigned {
    Pridaj = 1u << 0,
    Kopia = 1u << 1,
    Oprav = 1u << 2,
    Vymaz = 1u << 3,
    Tlac = 1u << 4,
    Smer = 1u << 5,
    Filter = 1u << 6,
    FilterZrus = 1u << 7,
    Hladaj = 1u << 8,
    Oznacene = 1u << 9,
    Oznac = 1u << 10,
    Odznac = 1u << 11,
    Refresh = 1u << 12,
};
Q_DECLARE_FLAGS(ListButtons, ListButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(ListButtons)

// The toolbar `tb` and its buttons by component name; a button the window does
// not use is nullptr.
struct TListToolbar {
    QToolBar* tb = nullptr;
    QAction* btnPridaj = nullptr;
    QAction* btnKopia = nullptr;
    QAction* btnOprav = nullptr;
    QAction* btnVymaz = nullptr;
    QAction* btnTlac = nullptr;
    QAction* btnSmer = nullptr;
    QAction* btnFilter = nullptr;  // checkable
    QAction* btnFilterZrus = nullptr;
    QAction* btnHladaj = nullptr;
    QAction* btnOznacene = nullptr;  // checkable
    QAction* btnOznac = nullptr;
    QAction* btnOdznac = nullptr;
    QAction* btnRefresh = nullptr;
};

// A flat 32-pixel toolbar named "tb" under `parent` with the chosen buttons in
// the standard order (add, copy, edit, delete, print | direction, filter, clear
// filter, find | marked only, mark all, unmark all, refresh), their images and
// hints. The buttons are not connected.
TListToolbar BuildListToolbar(QWidget* parent, ListButtons buttons);

// The button a key pressed in the grid stands for: P/F2 add, K/F5 copy,
// O/F4/Enter edit, Delete/F8 delete, T print, A direction, F filter, X clear
// filter, R refresh, keypad * and / marked only; only without Shift, Ctrl and
// Alt. nullptr for other keys and for a button that is missing or disabled
// (btnTlac also when hidden). V and the keypad's + and - belong to the grid.
QAction* ListToolbarKeyAction(const TListToolbar& toolbar, const QKeyEvent* event);
// Runs that button (a check button toggles first). True when one ran.
bool HandleListToolbarKey(const TListToolbar& toolbar, const QKeyEvent* event);

// --- marked records ---------------------------------------------------------
// Releases a pressed btnOznacene when nothing is marked (with a notice) and shows
// image 8 when it is down, 7 when up.
void UpdateMarkedOnlyButton(TDbGridQDL* grid, QAction* btnOznacene);

// --- deleting -----------------------------------------------------------------
// The delete statement for the current record (no marks) or for the marked ones.
// With more than 500 marks the keys are written to TEMP_SPRACUJ first.
// `params` receives the values of parameters the text uses (text keys).
// Empty when the current record's key cannot be read: nothing would identify it.
QString DeleteStatement(TDbGridQDL* grid, const QString& table, const QString& extra, QVariantMap* params = nullptr);
// A window that must check what a delete leaves behind runs the delete itself
// (`runDelete`) inside the delete's transaction and refuses by throwing: the
// transaction is then rolled back and the exception goes on to the window.
using TDeleteWrap = std::function<void(fb::Transaction& transaction, const std::function<void()>& runDelete)>;
// Asks, deletes in one statement, drops the marks only after a successful
// delete, re-queries and returns to the row held before. True only when a
// delete ran and committed.
bool DeleteRecords(TDbGridQDL* grid, const QString& table, const QString& extra = {}, const TDeleteWrap& wrap = {});
// Runs one statement in its own write transaction on the main connection. On a
// database error: rolls back, lets the error translation report it, raises it
// again when that does not handle it, and returns false.
bool ExecInNewTransaction(const QString& sql, const QVariantMap& params = {});
