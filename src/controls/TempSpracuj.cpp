#include "controls/TempSpracuj.h"

#include "controls/DbGridQDL.h"
#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"
#include "framework/TransactionHelpers.h"

#include <QCoreApplication>

QStringList TempSpracujInsert(int rows)
{
    if (rows == 1)
        return {QStringLiteral("insert into temp_spracuj (jedin,cislo,zaradenie,connection_id)"),
                QStringLiteral("values (gen_id(temp_spracuj_id,1),:CISLO,:ZARADENIE,current_connection)")};
    // The block's own variables are written ": NAME" so that they are not
    // taken for parameters of the statement.
    QStringList params{QStringLiteral("ZAR VARCHAR(40) = :ZARADENIE")};
    QStringList body;
    for (int i = 0; i < rows; ++i) {
        params << QStringLiteral("C%1 INTEGER = :C%1").arg(i);
        body << QStringLiteral("  INSERT INTO TEMP_SPRACUJ(JEDIN,CISLO,ZARADENIE,CONNECTION_ID)"
                               " VALUES (GEN_ID(TEMP_SPRACUJ_ID, 1), : C%1, : ZAR, CURRENT_CONNECTION);")
                    .arg(i);
    }
    return QStringList{QStringLiteral("EXECUTE BLOCK (") + params.join(QStringLiteral(", ")) + QStringLiteral(")"),
                       QStringLiteral("AS BEGIN")} +
           body + QStringList{QStringLiteral("END")};
}

TempSpracujRhythm ClauseSetRhythm()
{
    return {100, [](qsizetype row) { return (row + 1) % 1000 == 0; }, true, false};
}

TempSpracujRhythm MarkedSetRhythm()
{
    return {100, [](qsizetype row) { return (row + 1) % 500 == 0; }, false, true};
}

std::vector<TempSpracujBlock> PlanTempSpracuj(qsizetype count, const TempSpracujRhythm& rhythm)
{
    std::vector<TempSpracujBlock> plan;
    const int limit = std::max(1, rhythm.rowsPerStatement);
    for (qsizetype first = 0; first < count;) {
        // The block ends at the limit, at the last row, or at a pause row.
        TempSpracujBlock block{first, 0, false};
        while (block.rows < limit && first + block.rows < count) {
            ++block.rows;
            if (rhythm.pauseAfter && rhythm.pauseAfter(first + block.rows - 1)) {
                block.pause = true;
                break;
            }
        }
        plan.push_back(block);
        first += block.rows;
    }
    return plan;
}

void WriteTempSpracuj(fb::Transaction& transaction, const QString& setKey, qsizetype count,
                      const std::function<QVariant(qsizetype)>& numberAt, const TempSpracujRhythm& rhythm)
{
    fb::Query query(transaction);
    int prepared = 0;  // rows of the statement the query holds
    for (const TempSpracujBlock& block : PlanTempSpracuj(count, rhythm)) {
        if (block.rows != prepared) {
            query.setSql(TempSpracujInsert(block.rows));
            prepared = block.rows;
        }
        query.setParam(QStringLiteral("ZARADENIE"), setKey);
        if (block.rows == 1)
            query.setParam(QStringLiteral("CISLO"), numberAt(block.first));
        else
            for (int i = 0; i < block.rows; ++i)
                query.setParam(QStringLiteral("C%1").arg(i), numberAt(block.first + i));
        query.execute();
        if (block.pause) {
            if (rhythm.commit)
                transaction.commitRetaining();
            if (rhythm.processEvents)
                QCoreApplication::processEvents();
        }
    }
}

bool MarkedToTempSpracuj(TDbGridQDL* grid, const QString& key, bool allWhenNone)
{
    bool wrote = false;
    const bool ok = RunInTransaction([&](fb::Transaction& transaction) {
        {
            // An earlier set of this connection under the same key is replaced.
            fb::Query query(transaction);
            query.setSql(QStringList{QStringLiteral("delete from temp_spracuj where connection_id=current_connection"),
                                     QStringLiteral("and zaradenie=:ZARADENIE")});
            query.setParam(QStringLiteral("ZARADENIE"), key);
            query.execute();
        }
        const TempSpracujRhythm rhythm = MarkedSetRhythm();
        TGridModel* model = grid->gridModel();
        wrote = true;
        if (grid->CheckedCount() > 0) {
            const auto keys = model->checkedList().keys();
            WriteTempSpracuj(transaction, key, qsizetype(keys.size()),
                             [&](qsizetype i) { return QVariant(keys[size_t(i)]); }, rhythm);
        } else if (allWhenNone) {
            WriteTempSpracuj(transaction, key, model->rowCount(),
                             [&](qsizetype row) { return model->keyOfRow(int(row)); }, rhythm);
        } else if (!grid->isEmpty()) {
            // A single row: committed with the rest.
            WriteTempSpracuj(transaction, key, 1, [&](qsizetype) { return model->keyOfRow(grid->currentRow()); },
                             {1, {}, false, false});
        } else {
            wrote = false;
        }
    });
    return ok && wrote;
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
