#include "controls/ListToolbar.h"

#include "controls/DbGridQDL.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"
#include "framework/MainConnection.h"
#include "framework/Session.h"
#include "framework/Messages.h"
#include "framework/TransactionHelpers.h"
#include "framework/UiHelpers.h"

#include <QAction>
#include <QKeyEvent>
#include <QToolBar>

#include <exception>

// --- the standard toolbar ------------------------------------------------------

TListToolbar BuildListToolbar(QWidget* parent, ListButtons buttons)
{
    TListToolbar t;
    t.tb = new QToolBar(parent);
    t.tb->setObjectName(QStringLiteral("tb"));
    t.tb->setIconSize(QSize(32, 32));
    t.tb->setMovable(false);
    t.tb->setFloatable(false);
    struct Def {
        ListButton button;
        QAction* TListToolbar::*member;
        const char* name;
        int image;
        bool checkable;
    };
    // Groups of buttons, separated on the toolbar.
    static const std::vector<std::vector<Def>> groups = {
        {{ListButton::Pridaj, &TListToolbar::btnPridaj, "btnPridaj", 0, false},
         {ListButton::Kopia, &TListToolbar::btnKopia, "btnKopia", 14, false},
         {ListButton::Oprav, &TListToolbar::btnOprav, "btnOprav", 1, false},
         {ListButton::Vymaz, &TListToolbar::btnVymaz, "btnVymaz", 2, false},
         {ListButton::Tlac, &TListToolbar::btnTlac, "btnTlac", 3, false}},
        {{ListButton::Smer, &TListToolbar::btnSmer, "btnSmer", 5, false},
         {ListButton::Filter, &TListToolbar::btnFilter, "btnFilter", 17, true},
         {ListButton::FilterZrus, &TListToolbar::btnFilterZrus, "btnFilterZrus", 18, false},
         {ListButton::Hladaj, &TListToolbar::btnHladaj, "btnHladaj", 16, false}},
        {{ListButton::Oznacene, &TListToolbar::btnOznacene, "btnOznacene", 7, true},
         {ListButton::Oznac, &TListToolbar::btnOznac, "btnOznac", 9, false},
         {ListButton::Odznac, &TListToolbar::btnOdznac, "btnOdznac", 10, false},
         {ListButton::Refresh, &TListToolbar::btnRefresh, "btnRefresh", 4, false}},
    };
    bool any = false;
    for (const auto& group : groups) {
        bool separated = !any;
        for (const Def& d : group) {
            if (!buttons.testFlag(d.button))
                continue;
            if (!separated) {
                t.tb->addSeparator();
                separated = true;
            }
            t.*(d.member) = AddToolbarButton(t.tb, QString::fromLatin1(d.name), d.image, d.checkable);
            any = true;
        }
    }
    SetupToolbarHints(t.tb);
    return t;
}

QAction* ListToolbarKeyAction(const TListToolbar& t, const QKeyEvent* e)
{
    if (ShiftCtrlAlt(e) != Qt::NoModifier)
        return nullptr;
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    QAction* action = nullptr;
    switch (e->key()) {
    case Qt::Key_P:
    case Qt::Key_F2: action = t.btnPridaj; break;
    case Qt::Key_K:
    case Qt::Key_F5: action = t.btnKopia; break;
    case Qt::Key_O:
    case Qt::Key_F4: action = t.btnOprav; break;
    case Qt::Key_Delete:
    case Qt::Key_F8: action = t.btnVymaz; break;
    case Qt::Key_T:
        action = t.btnTlac && t.btnTlac->isVisible() ? t.btnTlac : nullptr;
        break;
    case Qt::Key_A: action = t.btnSmer; break;
    case Qt::Key_F: action = t.btnFilter; break;
    case Qt::Key_X: action = t.btnFilterZrus; break;
    case Qt::Key_R: action = t.btnRefresh; break;
    case Qt::Key_Asterisk:
    case Qt::Key_Slash:
        if (keypad)
            action = t.btnOznacene;
        break;
    default:
        if (isEnterKey(e))
            action = t.btnOprav;
        break;
    }
    return action && action->isEnabled() ? action : nullptr;
}

bool HandleListToolbarKey(const TListToolbar& toolbar, const QKeyEvent* event)
{
    QAction* action = ListToolbarKeyAction(toolbar, event);
    if (!action)
        return false;
    action->trigger();  // toggles a check button, then runs its action
    return true;
}

// --- marked-only button -------------------------------------------------------

void UpdateMarkedOnlyButton(TDbGridQDL* grid, QAction* btnOznacene)
{
    if (btnOznacene->isChecked() && grid->CheckedCount() == 0) {
        GrayMessageDlg(QStringLiteral("Nie je označený žiadny záznam!"), msg::Information, {msg::OK}, 0, msg::OK);
        btnOznacene->setChecked(false);
    }
    SetActionImage(btnOznacene, btnOznacene->isChecked() ? 8 : 7);
}

// --- deleting -----------------------------------------------------------------

QString DeleteStatement(TDbGridQDL* grid, const QString& table, const QString& extra, QVariantMap* params)
{
    if (grid->CheckedCount() > 0)
        return QStringLiteral("delete from ") + table + QStringLiteral(" where ") +
               grid->CheckedFilter(QString(), QString(), params) + QLatin1Char(' ') + extra;
    QString key;
    if (grid->KeyFieldType() == gktInteger) {
        const auto k = grid->gridModel()->intKeyOfRow(grid->currentRow());
        // "jedin=null" would delete nothing and pass for a success.
        if (!k)
            return {};
        key = QString::number(*k);
    } else {
        // A text key travels as a parameter, never inside the statement.
        const QVariant value = grid->gridModel()->keyOfRow(grid->currentRow());
        if (value.isNull())
            return {};
        key = QStringLiteral(":KEY");
        if (params)
            params->insert(QStringLiteral("KEY"), value);
    }
    return QStringLiteral("delete from ") + table + QStringLiteral(" where ") + grid->KeyField() +
           QLatin1Char('=') + key + QLatin1Char(' ') + extra;
}

namespace {

// Whether the current record can be named in a delete statement.
bool currentKeyReadable(TDbGridQDL* grid)
{
    if (grid->KeyFieldType() == gktInteger)
        return grid->gridModel()->intKeyOfRow(grid->currentRow()).has_value();
    return !grid->gridModel()->keyOfRow(grid->currentRow()).isNull();
}

void execute(fb::Transaction& transaction, const QString& sql, const QVariantMap& params)
{
    fb::Query query(transaction);
    query.setSql(sql);
    query.setParams(params);
    query.execute();
}

}  // namespace

bool DeleteRecords(TDbGridQDL* grid, const QString& table, const QString& extra, const TDeleteWrap& wrap)
{
    const int remembered = grid->currentRow();
    grid->SetOznacNaCerveno(true);
    bool deleted = false;
    std::exception_ptr failure;
    try {
        const bool marked = grid->CheckedCount() > 0;
        if (!grid->isEmpty() && (marked || currentKeyReadable(grid))) {
            const QString question = marked ? QStringLiteral("Naozaj vymazať všetky označené záznamy?")
                                            : QStringLiteral("Naozaj vymazať označený záznam?");
            if (RedMessageDlg(question, msg::Confirmation, {msg::Yes, msg::No}, 0, msg::Yes) == msg::Yes) {
                // The statement is built first: beyond 500 marks it fills
                // TEMP_SPRACUJ (committed), which the delete must see.
                fb::Transaction transaction(mainConnection(), TransactionParams(false, false));
                RunInKeptTransaction(transaction, [&] {
                    QVariantMap params;
                    const QString sql = DeleteStatement(grid, table, extra, &params);
                    if (sql.isEmpty())
                        return;
                    transaction.start();
                    CheckSessionUser(transaction);
                    const auto runDelete = [&] { execute(transaction, sql, params); };
                    if (wrap)
                        wrap(transaction, runDelete);
                    else
                        runDelete();
                    transaction.commit();
                    deleted = true;
                });
                if (deleted && marked)
                    grid->ClearChecked();
            }
        }
    } catch (...) {
        failure = std::current_exception();
    }
    grid->SetOznacNaCerveno(false);
    grid->DisplayGrid();
    if (!grid->isEmpty() && remembered >= 0)
        grid->setCurrentRow(std::min(remembered, grid->gridModel()->rowCount() - 1));
    if (failure)
        std::rethrow_exception(failure);
    return deleted;
}

bool ExecInNewTransaction(const QString& sql, const QVariantMap& params)
{
    // No-wait, like every transaction of the program: a record another
    // workstation holds is reported at once instead of hanging the window.
    return RunInTransaction(TransactionParams(false, false),
                            [&](fb::Transaction& transaction) { execute(transaction, sql, params); });
}
