#include "db/MigrationRunner.h"

#include "db/MemTable.h"
#include "db/SchemaVersion.h"
#include "fb/Connection.h"
#include "framework/TransactionHelpers.h"

namespace {

const QString kFinished = QStringLiteral("Aktualizácia databázy bola ukončená.");

}  // namespace

MigrationRunner::MigrationRunner(fb::Connection& connection, const MemTable& package, int supportedVersion)
    : m_connection(connection), m_package(package), m_supported(supportedVersion), m_transaction(connection),
      m_query(m_transaction), m_script(m_transaction)
{
    m_script.setParamCheck(false);
}

void MigrationRunner::add(const QString& line)
{
    if (addItem)
        addItem(line);
}

bool MigrationRunner::reported(const std::exception& error)
{
    return reportError && reportError(error);
}

int MigrationRunner::ZistiVerziu()
{
    return ::ZistiVerziu(m_transaction, m_query);
}

bool MigrationRunner::UpdateDatabase(int n)
{
    const int v = ZistiVerziu();
    if (n <= v)
        return true;
    if (n > v + 1)
        return false;

    QString script;
    try {
        StartReadCommitted(m_transaction);
        m_query.setSql(QStringLiteral("select max(rdb$format) from rdb$relations"));
        const int format = m_query.executeScalar().toInt();
        m_query.close();
        if (format >= 200) {
            m_transaction.commit();
            if (showError)
                showError(QStringLiteral("Nie je možné aktualizovať databázu. Musíte vykonať:\r\n\r\n"
                                         "1. Zálohovanie databázy\r\n2. Obnovu databázy zo zálohy\r\n"
                                         "3. Aktualizáciu databázy"));
            return false;
        }

        const int fieldNo = m_package.fieldIndex(QStringLiteral("VERSION_NUMBER"));
        const int fieldScript = m_package.fieldIndex(QStringLiteral("LONG_SCRIPT"));
        int row = -1;
        for (int r = 0; fieldNo >= 0 && r < m_package.recordCount(); ++r)
            if (m_package.value(r, fieldNo).toInt() == n) {
                row = r;
                break;
            }
        if (row < 0) {
            if (showMessage)
                showMessage(QStringLiteral("update script not found"));
            m_transaction.rollback();
            return false;
        }
        script = fieldScript >= 0 ? m_package.value(row, fieldScript).toString() : QString();
        if (script.isEmpty()) {
            m_transaction.rollback();
            return false;
        }

        add(QStringLiteral("  --- aktualizácia na verziu %1").arg(n));
        m_script.setSql(script);
        m_script.execute();
        m_script.close();
        m_query.setSql(QStringList{QStringLiteral("insert into database_updates"),
                                   QStringLiteral("(version,updated) values(:VER,current_timestamp)")});
        m_query.setParam(QStringLiteral("VER"), n);
        m_query.execute();
        m_transaction.commit();
        return true;
    } catch (const std::exception& e) {
        m_script.close();
        m_query.close();
        if (showMessage)
            showMessage(QStringLiteral("Chyba v príkaze:\r\n\r\n") + script);
        try {
            RollbackIfActive(m_transaction);
        } catch (const std::exception&) {
            // the connection may be broken; the error below says why
        }
        if (reported(e))
            return false;
        m_translated = true;  // the pass must not report it a second time
        throw;
    }
}

MigrationRunner::PassResult MigrationRunner::RunPass()
{
    PassResult result = PassResult::Completed;
    m_translated = false;
    try {
        add(QStringLiteral("Kontrola počtu pripojených užívateľov"));
        if (m_connection.attachedUsers().size() < 2) {
            add(QStringLiteral("--- OK"));
            const int v = ZistiVerziu();
            for (int n = v + 1; n <= m_supported; ++n) {
                if (!UpdateDatabase(n)) {
                    add(kFinished);
                    return PassResult::Failed;
                }
            }
        } else {
            add(QStringLiteral("CHYBA - Všetci musia ukončiť sprácu s programom."));
            add(QStringLiteral("Po ukončení práce, znova zatlačte tlačidlo aktualizácie"));
            result = PassResult::OtherUsers;
        }
    } catch (const std::exception& e) {
        if (m_translated || !reported(e)) {
            add(kFinished);
            throw;
        }
    }
    add(kFinished);
    return result;
}
