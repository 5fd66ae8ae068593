#include "controls/ListToolbar.h"

#include "controls/DbGridQDL.h"
#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/ErrorTranslation.h"
#include "framework/MainConnection.h"
#include "framework/Messages.h"
#include "framework/TransactionHelpers.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

#include <exception>

namespace {

// Lets the error translation report a database error; raises it again when the
// translation does not know it.
void reportOrRethrow(const std::exception& e)
{
    if (TranslateDbError(e) == 0)
        throw;
}

}  // namespace

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
               grid->CheckedFilter(QString(), QString()) + QLatin1Char(' ') + extra;
    QString key;
    if (grid->KeyFieldType() == gktInteger) {
        const auto k = grid->gridModel()->intKeyOfRow(grid->currentRow());
        key = k ? QString::number(*k) : QStringLiteral("null");
    } else {
        // A text key travels as a parameter, never inside the statement.
        key = QStringLiteral(":KEY");
        if (params)
            params->insert(QStringLiteral("KEY"), grid->gridModel()->keyOfRow(grid->currentRow()));
    }
    return QStringLiteral("delete from ") + table + QStringLiteral(" where ") + grid->KeyField() +
           QLatin1Char('=') + key + QLatin1Char(' ') + extra;
}

bool DeleteRecords(TDbGridQDL* grid, const QString& table, const QString& extra)
{
    const int remembered = grid->currentRow();
    grid->SetOznacNaCerveno(true);
    bool deleted = false;
    std::exception_ptr failure;
    try {
        if (!grid->isEmpty()) {
            const bool marked = grid->CheckedCount() > 0;
            const QString question = marked ? QStringLiteral("Naozaj vymazať všetky označené záznamy?")
                                            : QStringLiteral("Naozaj vymazať označený záznam?");
            if (RedMessageDlg(question, msg::Confirmation, {msg::Yes, msg::No}, 0, msg::Yes) == msg::Yes) {
                QVariantMap params;
                QString sql;
                try {
                    sql = DeleteStatement(grid, table, extra, &params);  // may fill TEMP_SPRACUJ
                } catch (const fb::Error& e) {
                    reportOrRethrow(e);
                }
                if (!sql.isEmpty())
                    deleted = ExecInNewTransaction(sql, params);
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
    fb::Transaction transaction(mainConnection(), TransactionParams(false, false));
    fb::Query query(transaction);
    try {
        transaction.start();
        query.setSql(sql);
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            query.setParam(it.key(), it.value());
        query.execute();
        transaction.commit();
        return true;
    } catch (const fb::Error& e) {
        RollbackIfActive(transaction);
        reportOrRethrow(e);
        return false;
    }
}

// --- TEMP_SPRACUJ ---------------------------------------------------------------

bool MarkedToTempSpracuj(TDbGridQDL* grid, const QString& key, bool allWhenNone)
{
    auto transaction = NewTransaction(false, true);
    auto query = NewQuery(*transaction);
    try {
        transaction->start();
        query->setSql(QStringList{QStringLiteral("delete from temp_spracuj where connection_id=current_connection"),
                                  QStringLiteral("and zaradenie=:ZARADENIE")});
        query->setParam(QStringLiteral("ZARADENIE"), key);
        query->execute();
        transaction->commitRetaining();
        query->setSql(QStringList{
            QStringLiteral("insert into temp_spracuj (jedin,cislo,zaradenie,connection_id)"),
            QStringLiteral("values (gen_id(temp_spracuj_id,1),:CISLO,:ZARADENIE,current_connection)")});
        query->setParam(QStringLiteral("ZARADENIE"), key);
        auto insert = [&](const QVariant& number, qsizetype i) {
            query->setParam(QStringLiteral("CISLO"), number);
            query->execute();
            if (i % 500 == 0) {
                transaction->commitRetaining();
                QCoreApplication::processEvents();
            }
        };
        bool wrote = true;
        if (grid->CheckedCount() > 0) {
            const auto keys = grid->gridModel()->checkedList().keys();
            for (size_t i = 0; i < keys.size(); ++i)
                insert(keys[i], qsizetype(i));
        } else if (allWhenNone) {
            for (int row = 0; row < grid->gridModel()->rowCount(); ++row)
                insert(grid->gridModel()->keyOfRow(row), row);
        } else if (!grid->isEmpty()) {
            insert(grid->gridModel()->keyOfRow(grid->currentRow()), 1);
        } else {
            wrote = false;
        }
        transaction->commit();
        return wrote;
    } catch (const fb::Error& e) {
        RollbackIfActive(*transaction);
        reportOrRethrow(e);
        return false;
    }
}

int CleanStaleTempSpracuj(fb::Connection& connection)
{
    fb::Transaction transaction(connection, TransactionParams(false, true));
    fb::Query query(transaction);
    transaction.start();
    // Ordinary users see only their own attachments in MON$ATTACHMENTS; then a
    // live connection of someone else would look gone, so nothing is removed.
    query.setSql(QStringLiteral("select count(*) from mon$attachments where mon$system_flag=0"));
    const qlonglong visible = query.executeScalar().toLongLong();
    if (visible < connection.attachedUsers().size()) {
        transaction.commit();
        return 0;
    }
    // Connections that attach after the monitoring snapshot have higher
    // numbers than this one and are left alone.
    query.setSql(QStringList{
        QStringLiteral("delete from temp_spracuj t"),
        QStringLiteral("where t.connection_id is not null and t.connection_id < current_connection"),
        QStringLiteral("and not exists (select 1 from mon$attachments m where m.mon$attachment_id=t.connection_id)")});
    query.execute();
    const int removed = int(query.rowsAffected());
    transaction.commit();
    return removed;
}

// --- standard refresh -------------------------------------------------------------

TRegisterRefresh::TRegisterRefresh(TDbGridQDL* grid, QStringList selectList, QString mainTable)
    : m_grid(grid), m_selectList(std::move(selectList)), m_mainTable(std::move(mainTable)),
      m_transaction(NewTransaction(true, true)), m_query(NewQuery(*m_transaction))
{
}

TRegisterRefresh::~TRegisterRefresh() = default;

QStringList TRegisterRefresh::BuildSql(QVariantMap* params)
{
    QStringList sql = m_selectList;
    sql << QStringLiteral("from ") + m_mainTable + QStringLiteral(" a") << QStringLiteral("where 1=1");
    if (btnOznacene && btnOznacene->isChecked()) {
        if (m_grid->CheckedCount() == 0) {
            btnOznacene->setChecked(false);
            MarkedOnlyAction(true);
        } else {
            sql << QStringLiteral("and ") + m_grid->CheckedFilter(QStringLiteral("a."), QString());
        }
    }
    QVariantMap values;
    if (filters && pnlFilter && !pnlFilter->isHidden())
        filters(sql, values);
    if (params)
        *params = values;
    sql << QStringLiteral("order by");
    if (m_grid->ActiveTitleIndex() != 0)
        sql << m_grid->OrderByClause(direction);
    else
        sql << QStringLiteral("a.jedin") + direction;
    return sql;
}

void TRegisterRefresh::Refresh()
{
    QVariant remembered;
    if (m_grid->isOpen() && !m_grid->isEmpty())
        remembered = m_grid->fieldValue(QStringLiteral("JEDIN"));
    try {
        StartReadCommitted(*m_transaction);
        QVariantMap params;
        m_query->setSql(BuildSql(&params));
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            m_query->setParam(it.key(), it.value());
        m_grid->OpenQuery(*m_query);
        if (remembered.isValid())
            m_grid->Locate(QStringLiteral("JEDIN"), remembered);
    } catch (const fb::Error& e) {
        RollbackIfActive(*m_transaction);
        reportOrRethrow(e);
    }
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
    const bool deleted = DeleteRecords(m_grid, m_mainTable);
    if (deleted && btnOznacene && btnOznacene->isChecked()) {
        btnOznacene->setChecked(false);
        MarkedOnlyAction();
    }
    return deleted;
}

void TRegisterRefresh::SetFilterPanel(bool down)
{
    if (pnlFilter && !m_panelWatch) {
        m_panelWatch = std::make_unique<QObject>();
        QObject::connect(qApp, &QApplication::focusChanged, m_panelWatch.get(), [this](QWidget* from, QWidget* to) {
            const auto inside = [this](QWidget* w) { return w && (w == pnlFilter || pnlFilter->isAncestorOf(w)); };
            if (inside(from) && !inside(to) && !pnlFilter->isHidden())
                m_grid->DisplayGrid();
        });
    }
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
