#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

namespace fb {
class Transaction;
}

// The change history of jobs (table HISTORIA_PREKLADOV, filled by the
// server's trigger PREKLADY_HISTORIA in the transaction of each change): the
// reads behind the history windows and how a stored row reads to the user.
// Values are stored as text: dates "yyyy-mm-dd", times "yyyy-mm-dd hh:mm:ss",
// numbers with a decimal point, a code list's key as the name it stood for,
// a title or note of more than 1000 characters as its first 997 and "...".

struct HistoryRow {
    QVariant preklad;  // the job's record number
    QDateTime kedy;
    QString kto;
    QString akcia;     // "I" created, "U" changed, "D" deleted
    QString stlpec;    // the changed column ("" for I and D)
    QVariant stara;    // null when the column was empty (null)
    QVariant nova;
};

// One job's rows, newest change first; the columns of one save in the
// order of the editor (:PREKLAD).
QStringList JobHistorySql();
// The deletions, newest first; STARA holds the job's mark and title as they were.
QStringList DeletedJobsSql();

std::vector<HistoryRow> ReadJobHistory(fb::Transaction& transaction, const QVariant& preklad);
std::vector<HistoryRow> ReadDeletedJobs(fb::Transaction& transaction);

// The field a row speaks of: the caption of the column (from `caption`), or
// what happened to the job as a whole for a creation or a deletion.
QString HistoryFieldText(const HistoryRow& row, const std::function<QString(const QString&)>& caption);
// A stored value as the user reads it: dates and times as dd.mm.yyyy (hh:nn),
// numbers with a decimal comma, the rating flag as áno / nie; "" for null.
QString HistoryValueText(const QString& column, const QVariant& stored);
