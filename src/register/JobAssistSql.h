#pragma once

#include "fb/Decimal.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

namespace fb {
class Transaction;
}

// The reads behind the job editor's help: a contact's rate for a language
// combination, the last exchange rate of a currency, open balances, the
// translator's average rating, work in progress and a duplicate mark. Each
// statement is built here and run on a transaction the caller gives, so tests
// read both the text and the answer without a window.

// The customer's side of a job (OBJ_ columns, OBJEDNAVATEL) or the
// translator's (PRE_ columns, PREKLADATEL).
enum class JobSide { Objednavatel, Prekladatel };

// ---- statements ------------------------------------------------------------------
// A contact's rate definition (:JAZYKOVA_KOMBINACIA, :ADRESAR).
QStringList RateDefinitionSql(JobSide side);
// The rate of the most recently received job in a currency (:MENA); the
// higher record number wins a tie.
QStringList LastRateSql(JobSide side);
// The € total of the contact's jobs that are sent (customer) or delivered
// (translator) and not yet invoiced or paid (:ADRESAR).
QStringList OpenBalanceSql(JobSide side);
// The translator's average rating in a combination (:JAZYKOVA_KOMBINACIA, :ADRESAR).
QStringList AverageRatingSql();
// The translator's jobs assigned but not delivered (:ADRESAR), other than the
// job being edited (:JEDIN) when `excludeJob`.
QStringList WorkloadSql(bool excludeJob);
// Another job with the same mark ignoring letter case (:ZNACKA), other than
// the job being edited (:JEDIN) when `excludeJob`.
QStringList DuplicateMarkSql(bool excludeJob);

// ---- reads -------------------------------------------------------------------------
struct RateDefinition {
    QVariant cena;  // price per unit (fb::Decimal) or null
    QString mena;   // currency
    QVariant mj;    // record number of MERNE_JEDNOTKY or null
};

// The first definition the server returns (a contact may have two for one
// combination); nothing when there is none.
std::optional<RateDefinition> ReadRateDefinition(fb::Transaction& transaction, JobSide side,
                                                 const QVariant& adresar, const QVariant& kombinacia);

// The stored rate of the newest job in `mena` (which may itself be null);
// nothing when no job uses that currency.
std::optional<QVariant> ReadLastRate(fb::Transaction& transaction, JobSide side, const QString& mena);

// 0 without a contact or without open jobs.
fb::Decimal ReadOpenBalance(fb::Transaction& transaction, JobSide side, const QVariant& adresar);

// 0 without a translator, a combination or a rated, delivered job.
fb::Decimal ReadAverageRating(fb::Transaction& transaction, const QVariant& prekladatel,
                              const QVariant& kombinacia);

// `excludeJob`: the record number of the job being edited, null for a new job.
qint64 CountWorkload(fb::Transaction& transaction, const QVariant& prekladatel, const QVariant& excludeJob);

// The mark is compared trimmed; a blank mark is nobody's duplicate.
bool HasDuplicateMark(fb::Transaction& transaction, const QString& znacka, const QVariant& excludeJob);
