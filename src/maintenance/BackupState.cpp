#include "maintenance/BackupState.h"

#include "fb/Error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <vector>

namespace {

constexpr int kRecordsKept = 12;

QString samePath(const QString& file)
{
    return file.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(file).absoluteFilePath());
}

QString countsText(const QMap<QString, qint64>& rows)
{
    QStringList parts;
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        parts << it.key() + QLatin1Char('=') + QString::number(it.value());
    return parts.join(QLatin1Char(';'));
}

QMap<QString, qint64> countsFrom(const QString& text)
{
    QMap<QString, qint64> rows;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq > 0)
            rows.insert(part.left(eq), part.mid(eq + 1).toLongLong());
    }
    return rows;
}

QDateTime momentFrom(const QVariant& v)
{
    return QDateTime::fromString(v.toString(), Qt::ISODate);
}

QString momentText(const QDateTime& moment)
{
    return moment.toString(Qt::ISODate);
}

std::vector<BackupRecord> readRecords(QSettings& s)
{
    std::vector<BackupRecord> out;
    const int n = s.beginReadArray(QStringLiteral("Zalohy"));
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        BackupRecord r;
        r.file = s.value(QStringLiteral("Subor")).toString();
        r.moment = momentFrom(s.value(QStringLiteral("Cas")));
        r.digest = QByteArray::fromHex(s.value(QStringLiteral("Odtlacok")).toString().toLatin1());
        r.counts.content = BackupContent::Ours;
        r.counts.version = s.value(QStringLiteral("Verzia")).toInt();
        r.counts.rows = countsFrom(s.value(QStringLiteral("Pocty")).toString());
        out.push_back(r);
    }
    s.endArray();
    return out;
}

void writeRecords(QSettings& s, const std::vector<BackupRecord>& records)
{
    s.remove(QStringLiteral("Zalohy"));
    s.beginWriteArray(QStringLiteral("Zalohy"), int(records.size()));
    for (int i = 0; i < int(records.size()); ++i) {
        s.setArrayIndex(i);
        const BackupRecord& r = records[size_t(i)];
        s.setValue(QStringLiteral("Subor"), r.file);
        s.setValue(QStringLiteral("Cas"), momentText(r.moment));
        s.setValue(QStringLiteral("Odtlacok"), QString::fromLatin1(r.digest.toHex()));
        s.setValue(QStringLiteral("Verzia"), r.counts.version);
        s.setValue(QStringLiteral("Pocty"), countsText(r.counts.rows));
    }
    s.endArray();
}

// The file that had the name now has its dated one (none: it was new).
void moveRecords(QSettings& s, const QString& file, const QString& moved)
{
    std::vector<BackupRecord> records = readRecords(s);
    for (BackupRecord& r : records)
        if (samePath(r.file) == file)
            r.file = moved;
    std::erase_if(records, [](const BackupRecord& r) { return r.file.isEmpty(); });
    writeRecords(s, records);
    if (samePath(s.value(QStringLiteral("PoslednaOverenaZalohaSubor")).toString()) == file)
        s.setValue(QStringLiteral("PoslednaOverenaZalohaSubor"), moved);
}

}  // namespace

bool BackupStatusAlarming(const BackupStatus& status, const QDate& today)
{
    if (status.lastCheckFailed || !status.lastVerified.isValid())
        return true;
    return status.lastVerified.date().daysTo(today) > 7;
}

QString BackupStatusText(const BackupStatus& status)
{
    QString text = QStringLiteral("Posledná overená záloha: ") +
                   (status.lastVerified.isValid() ? status.lastVerified.toString(QStringLiteral("dd.MM.yyyy"))
                                                  : QStringLiteral("žiadna"));
    if (status.lastCheckFailed)
        text += QStringLiteral(", kontrola zlyhala");
    return text;
}

BackupStateFile::BackupStateFile(QString stateFile, QString databasePath)
    : m_path(std::move(stateFile)), m_databasePath(std::move(databasePath))
{
    // A database path is no key of an INI file ("/" separates groups): its digest is.
    const QString key = ServerOfDatabasePath(m_databasePath).isEmpty() ? samePath(m_databasePath)
                                                                        : m_databasePath.trimmed();
    m_group = QStringLiteral("Databaza_") +
              QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

BackupStatus BackupStateFile::status() const
{
    QSettings s(m_path, QSettings::IniFormat);
    s.beginGroup(m_group);
    BackupStatus st;
    st.lastVerified = momentFrom(s.value(QStringLiteral("PoslednaOverenaZaloha")));
    st.lastVerifiedFile = s.value(QStringLiteral("PoslednaOverenaZalohaSubor")).toString();
    st.lastCheck = momentFrom(s.value(QStringLiteral("PoslednaKontrola")));
    st.lastCheckFailed = s.value(QStringLiteral("PoslednaKontrolaZlyhala")).toInt() != 0;
    st.lastProblem = s.value(QStringLiteral("Problem")).toString();
    st.lastAutomaticDay = QDate::fromString(s.value(QStringLiteral("PoslednyDenAutomatickejZalohy")).toString(), Qt::ISODate);
    return st;
}

bool BackupStateFile::automaticDue(const QDate& today) const
{
    // "!=", not "<": a clock set back must not stop the backups for days
    return status().lastAutomaticDay != today;
}

void BackupStateFile::recordAutomatic(const VerifiedBackup& result, const QDate& day, const QString& replaced)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSettings s(m_path, QSettings::IniFormat);
    s.beginGroup(m_group);
    s.setValue(QStringLiteral("Databaza"), m_databasePath);
    s.setValue(QStringLiteral("PoslednyDenAutomatickejZalohy"), day.toString(Qt::ISODate));
    s.setValue(QStringLiteral("PoslednaKontrola"), momentText(result.moment));
    s.setValue(QStringLiteral("PoslednaKontrolaZlyhala"), result.verified ? 0 : 1);
    s.setValue(QStringLiteral("Problem"), result.problem);
    s.setValue(QStringLiteral("ProblemSubor"), result.verified ? QString() : samePath(result.file));

    const QString file = samePath(result.file);
    if (result.backedUp)
        moveRecords(s, file, samePath(replaced));
    std::vector<BackupRecord> records = readRecords(s);
    if (result.verified) {
        s.setValue(QStringLiteral("PoslednaOverenaZaloha"), momentText(result.moment));
        s.setValue(QStringLiteral("PoslednaOverenaZalohaSubor"), file);
        records.insert(records.begin(), BackupRecord{file, result.moment, result.digest, result.counts});
    }
    std::erase_if(records, [](const BackupRecord& r) { return r.file.isEmpty(); });
    if (records.size() > size_t(kRecordsKept))
        records.resize(size_t(kRecordsKept));
    writeRecords(s, records);
    s.endGroup();
    s.sync();
}

void BackupStateFile::recordReplaced(const QString& file, const QString& dated)
{
    if (m_path.isEmpty())
        return;
    QSettings s(m_path, QSettings::IniFormat);
    s.beginGroup(m_group);
    moveRecords(s, samePath(file), samePath(dated));
    s.endGroup();
    s.sync();
}

void BackupStateFile::recordCheck(const QString& file, bool ok, const QString& problem, const QDateTime& when)
{
    QSettings s(m_path, QSettings::IniFormat);
    s.beginGroup(m_group);
    if (samePath(s.value(QStringLiteral("PoslednaOverenaZalohaSubor")).toString()) != samePath(file))
        return;
    // a good check clears only a failure of this same file, never that of a later backup
    const bool failed = s.value(QStringLiteral("PoslednaKontrolaZlyhala")).toInt() != 0;
    if (ok && failed && samePath(s.value(QStringLiteral("ProblemSubor")).toString()) != samePath(file))
        return;
    s.setValue(QStringLiteral("PoslednaKontrola"), momentText(when));
    s.setValue(QStringLiteral("PoslednaKontrolaZlyhala"), ok ? 0 : 1);
    s.setValue(QStringLiteral("Problem"), problem);
    s.setValue(QStringLiteral("ProblemSubor"), ok ? QString() : samePath(file));
    s.endGroup();
    s.sync();
}

std::optional<BackupRecord> BackupStateFile::recordByDigest(const QByteArray& digest) const
{
    QSettings s(m_path, QSettings::IniFormat);
    s.beginGroup(m_group);
    for (const BackupRecord& r : readRecords(s))
        if (!digest.isEmpty() && r.digest == digest)
            return r;
    return std::nullopt;
}

std::optional<BackupRecord> BackupStateFile::recordByFile(const QString& file) const
{
    QSettings s(m_path, QSettings::IniFormat);
    s.beginGroup(m_group);
    for (const BackupRecord& r : readRecords(s))
        if (samePath(r.file) == samePath(file))
            return r;
    return std::nullopt;
}

BackupFileCheck CheckBackupFile(const BackupJob& job, fb::Service& service, const QString& file,
                                const QDateTime& moment, const BackupStateFile& state,
                                const std::function<DatabaseCounts()>& liveCounts)
{
    BackupFileCheck check;
    RestoredCopy copy;
    try {
        copy = RestoreAndCount(job, service, file, moment);
    } catch (const fb::Error& e) {
        check.text = QStringLiteral("Záložný súbor sa nepodarilo obnoviť: je neúplný, poškodený alebo nie je zálohou "
                                    "databázy.\r\nSpráva servera: ") +
                     e.message();
        return check;
    }
    check.counts = copy.counts;
    const QString stamp = QStringLiteral("dd.MM.yyyy hh:mm");
    if (const std::optional<BackupRecord> record = state.recordByDigest(copy.digest)) {
        const QString problem = CompareWithRecorded(copy.counts, record->counts);
        if (!problem.isEmpty()) {
            check.text = problem;
            return check;
        }
        check.verdict = BackupFileCheck::Verified;
        check.text = QStringLiteral("Záloha z %1 je v poriadku: obnovila sa a obsahuje všetky riadky, ktoré mala "
                                    "databáza v čase zálohovania.")
                         .arg(record->moment.toString(stamp));
        return check;
    }
    if (const std::optional<BackupRecord> record = state.recordByFile(file)) {
        check.text = QStringLiteral("Záložný súbor sa od overenia %1 zmenil: je poškodený alebo prepísaný. "
                                    "Nepoužívajte ho na obnovenie.")
                         .arg(record->moment.toString(stamp));
        return check;
    }
    if (copy.counts.content != BackupContent::Ours) {
        check.text = CompareWithLive(copy.counts, copy.counts, copy.counts);
        return check;
    }
    const DatabaseCounts live = liveCounts ? liveCounts() : DatabaseCounts{};
    const QString problem = CompareWithRecorded(copy.counts, live);
    if (problem.isEmpty()) {
        check.verdict = BackupFileCheck::Verified;
        check.text = QStringLiteral("Záloha je v poriadku: obnovila sa a zhoduje sa so súčasnou databázou.");
        return check;
    }
    check.verdict = BackupFileCheck::Restorable;
    check.text = QStringLiteral("Záloha sa dá obnoviť (verzia databázy %1), ale program nemá záznam o jej "
                                "overení a od súčasnej databázy sa líši, preto jej úplnosť nemožno potvrdiť.\r\n")
                     .arg(copy.counts.version) +
                 problem;
    return check;
}
