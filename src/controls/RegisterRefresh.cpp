#include "controls/RegisterRefresh.h"

#include "controls/DbGridQDL.h"
#include "controls/ListToolbar.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"
#include "framework/SlotGuard.h"
#include "framework/TransactionHelpers.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

namespace {

const QString kJedin = QStringLiteral("JEDIN");

}  // namespace

TRegisterRefresh::TRegisterRefresh(TDbGridQDL* grid, QStringList selectList, QString mainTable)
    : m_grid(grid), m_selectList(std::move(selectList)), m_mainTable(std::move(mainTable)),
      m_transaction(NewTransaction(true, true)), m_query(NewQuery(*m_transaction))
{
}

TRegisterRefresh::~TRegisterRefresh() = default;

QString TRegisterRefresh::markedCondition(QVariantMap& params)
{
    if (!btnOznacene || !btnOznacene->isChecked())
        return {};
    if (m_grid->CheckedCount() == 0) {
        // Released without a notice and without a nested refresh.
        btnOznacene->setChecked(false);
        MarkedOnlyAction(true);
        return {};
    }
    return m_grid->CheckedFilter(QStringLiteral("a."), QString(), &params);
}

QString TRegisterRefresh::orderBy()
{
    if (m_grid->ActiveTitleIndex() != 0)
        return m_grid->OrderByClause(direction);
    return QStringLiteral("a.jedin") + direction;
}

QStringList TRegisterRefresh::BuildSql(QVariantMap* params)
{
    QVariantMap values;
    const QString marked = markedCondition(values);
    QStringList sql;
    if (statement) {
        sql = statement(marked, orderBy(), values);
    } else {
        sql = m_selectList;
        sql << QStringLiteral("from ") + m_mainTable + QStringLiteral(" a") << QStringLiteral("where 1=1");
        if (!marked.isEmpty())
            sql << QStringLiteral("and ") + marked;
        if (filters && pnlFilter && !pnlFilter->isHidden())
            filters(sql, values);
        sql << QStringLiteral("order by") << orderBy();
    }
    if (params)
        *params = values;
    return sql;
}

bool TRegisterRefresh::Refresh()
{
    QVariant remembered;
    if (m_grid->isOpen() && !m_grid->isEmpty())
        remembered = m_grid->fieldValue(kJedin);
    return RunInKeptTransaction(*m_transaction, [&] {
        StartReadCommitted(*m_transaction);
        QVariantMap params;
        m_query->setSql(BuildSql(&params));
        m_query->setParams(params);
        m_grid->OpenQuery(*m_query);
        if (afterOpen)
            afterOpen();
        if (remembered.isValid())
            m_grid->Locate(kJedin, remembered);
    });
}

void TRegisterRefresh::MarkedOnlyAction(bool byWindow)
{
    if (!btnOznacene)
        return;
    UpdateMarkedOnlyButton(m_grid, btnOznacene);
    if (!byWindow)
        m_grid->DisplayGrid();
}

void TRegisterRefresh::ToggleDirection()
{
    const bool showsAscending = direction.isEmpty() || direction == QStringLiteral(" ASC");
    direction = showsAscending ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
    if (btnSmer)
        SetActionImage(btnSmer, showsAscending ? 6 : 5);
    m_grid->DisplayGrid();
}

bool TRegisterRefresh::DeleteAction()
{
    const bool deleted = DeleteRecords(m_grid, m_mainTable, {}, deleteWrap);
    if (deleted && btnOznacene && btnOznacene->isChecked()) {
        btnOznacene->setChecked(false);
        MarkedOnlyAction();
    }
    return deleted;
}

void TRegisterRefresh::watchPanel()
{
    if (!pnlFilter || m_panelWatch)
        return;
    m_panelWatch = std::make_unique<QObject>();
    QObject::connect(qApp, &QApplication::focusChanged, m_panelWatch.get(), [this](QWidget* from, QWidget* to) {
        const auto inside = [this](QWidget* w) { return w && (w == pnlFilter || pnlFilter->isAncestorOf(w)); };
        // Only a move to another control of this window leaves the panel: a
        // dialog opened from the panel, another program or the focus going
        // nowhere come back to it.
        if (inside(from) && to && !inside(to) && to->window() == pnlFilter->window() && !pnlFilter->isHidden())
            runReportingUnexpected([this] { m_grid->DisplayGrid(); });
    });
}

void TRegisterRefresh::SetFilterPanel(bool down)
{
    watchPanel();
    if (btnFilter)
        SetActionImage(btnFilter, down ? 18 : 17);
    if (pnlFilter) {
        if (down) {
            pnlFilter->show();
            if (pnlFilter->window()->isVisible())
                for (QWidget* w : pnlFilter->findChildren<QWidget*>())
                    if (w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) {
                        w->setFocus();
                        break;
                    }
        } else {
            m_grid->setFocus();
            pnlFilter->hide();
        }
    }
    m_grid->DisplayGrid();
}

void ConnectListToolbar(QObject* context, const TListToolbar& t, TDbGridQDL* grid, TRegisterRefresh& refresh,
                        const TListActions& actions)
{
    const auto on = [context](QAction* action, auto body) {
        if (action)
            QObject::connect(action, &QAction::triggered, context, guarded(std::move(body)));
    };
    const auto run = [](const std::function<void()>& action) {
        if (action)
            action();
    };
    on(t.btnPridaj, [=] { run(actions.add); });
    on(t.btnKopia, [=] { run(actions.copy); });
    on(t.btnOprav, [=] { run(actions.edit); });
    on(t.btnVymaz, [=] { run(actions.remove); });
    on(t.btnTlac, [=] { run(actions.print); });
    on(t.btnFilterZrus, [=] {
        run(actions.clearFilter);
        grid->DisplayGrid();
    });
    on(t.btnSmer, [&refresh] { refresh.ToggleDirection(); });
    on(t.btnFilter, [&refresh](bool down) { refresh.SetFilterPanel(down); });
    on(t.btnOznacene, [&refresh] { refresh.MarkedOnlyAction(); });
    on(t.btnHladaj, [grid] { grid->FindInColumn(); });
    on(t.btnOznac, [=] {
        grid->CheckAll();
        run(actions.marksChanged);
    });
    on(t.btnOdznac, [=] {
        grid->UncheckAll();
        run(actions.marksChanged);
    });
    on(t.btnRefresh, [grid] { grid->DisplayGrid(); });
}
