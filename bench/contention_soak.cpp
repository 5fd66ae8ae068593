// Two workstations on one database, contending for 50 jobs: a thousand edits
// through the job editor and the bulk entry of invoice numbers, while the
// other attachment commits its own changes to the same jobs in between. At
// the end every change that was committed must be in the database, and every
// edit that was not saved must have been reported to its user.
//
//   contention_soak [EDITS] [JOBS]        (defaults 1000 and 50)
//
// Not a timed benchmark: it prints its counts and exits non-zero on a loss.
#include "SampleDatabase.h"

#include "controls/IBCurrencyEdit.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/QDLBtn.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Dialogs.h"
#include "framework/MainConnection.h"
#include "register/fEPrekladyPridaj.h"
#include "register/fEPrekladyUhrady.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <map>
#include <random>

namespace {

struct Counts {
    int editorSaves = 0, editorConflictsTakenOver = 0, editorConflictsRefused = 0, editorLocks = 0;
    int bulkWritten = 0, bulkRefused = 0, otherWrites = 0, lost = 0;
};

void exec(fb::Connection& c, const QString& sql, const QVariantMap& params = {})
{
    fb::Transaction t(c, {"write", "read_committed", "rec_version", "nowait"});
    t.start();
    fb::Query q(t);
    q.setSql(sql);
    q.setParams(params);
    q.execute();
    q.close();
    t.commit();
}

QVariant value(fb::Connection& c, const QString& sql, const QVariantMap& params = {})
{
    fb::Transaction t(c, {"read", "read_committed", "rec_version", "nowait"});
    t.start();
    fb::Query q(t);
    q.setSql(sql);
    q.setParams(params);
    const QVariant v = q.executeScalar();
    q.close();
    t.commit();
    return v;
}

// Runs `step` once the modal window `w` shows, then cancels it if still open.
void whenShown(QDialog* w, const std::function<void()>& step)
{
    QTimer::singleShot(0, w, [w, step] {
        step();
        if (w->isVisible())
            w->reject();
    });
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int edits = argc > 1 ? atoi(argv[1]) : 1000;
    const int jobCount = argc > 2 ? atoi(argv[2]) : 50;

    SampleDatabase db(jobCount);
    fb::Connection second;
    second.open(db.path, {"USER_NAME=SYSDBA", "PASSWORD=x", "lc_ctype=WIN1250"});
    fb::Connection* stations[2] = {&db.connection, &second};

    std::vector<qint64> jobs;
    {
        fb::Transaction t(db.connection, {"read"});
        t.start();
        fb::Query q(t);
        q.setSql(QStringLiteral("select jedin from preklady order by jedin"));
        q.execute();
        while (q.next())
            jobs.push_back(q.value(0).toLongLong());
        t.commit();
    }
    // Every job unsettled on the translator's side to begin with.
    exec(db.connection, QStringLiteral("update preklady set pre_faktura=''"));

    // What must be in the database: the last committed value of each field touched.
    std::map<std::pair<qint64, QString>, QString> expected;
    std::mt19937 rnd(20261211);
    const auto chance = [&](int percent) { return int(rnd() % 100) < percent; };
    Counts n;
    int conflictQuestions = 0;
    bool takeOver = true;
    setDialogResponder([&](const DialogRequest& r) {
        if (r.text.startsWith(QStringLiteral("Záznam medzitým zmenil"))) {
            ++conflictQuestions;
            return takeOver ? int(msg::Yes) : int(msg::No);
        }
        if (r.text.contains(QStringLiteral("blokovania")))
            ++n.editorLocks;
        return r.defaultResult;
    });

    const QStringList fields = {QStringLiteral("POZNAMKA"), QStringLiteral("NAZOV"), QStringLiteral("ZNACKA")};
    for (int i = 0; i < edits; ++i) {
        const int w = int(rnd() % 2);
        fb::Connection& mine = *stations[w];
        fb::Connection& other = *stations[1 - w];
        const qint64 job = jobs[rnd() % jobs.size()];
        setMainConnection(&mine);
        if (chance(80)) {
            // The job editor: the user changes one field; meanwhile, sometimes,
            // the other workstation commits a change of the same job.
            const QString field = fields[int(rnd() % fields.size())];
            const QString text = QStringLiteral("w%1-%2").arg(w).arg(i);
            const bool interfere = chance(50);
            const QString theirField = chance(30) ? field : fields[int(rnd() % fields.size())];
            const QString theirText = QStringLiteral("o%1-%2").arg(1 - w).arg(i);
            takeOver = chance(70);
            conflictQuestions = 0;
            TfrmEPrekladyPridaj editor(QStringLiteral("AD"));
            TFormDetails d;
            InitDetails(d, TFormDetails::Edit, {}, job);
            whenShown(&editor, [&] {
                if (interfere) {
                    exec(other, QStringLiteral("update preklady set %1=:T where jedin=:J").arg(theirField),
                         {{QStringLiteral("T"), theirText}, {QStringLiteral("J"), job}});
                    expected[{job, theirField}] = theirText;
                    ++n.otherWrites;
                }
                if (field == QLatin1String("POZNAMKA"))
                    editor.eDBPoznamka->setPlainText(text);
                else if (field == QLatin1String("NAZOV"))
                    editor.eDBNazov->setPlainText(text);
                else
                    editor.eDBZnacka->setText(text);
                editor.btnZapis->click();
            });
            editor.SetDetails(d);
            if (d.result() == TFormDetails::ResultOk) {
                expected[{job, field}] = text;
                ++n.editorSaves;
                if (conflictQuestions > 0)
                    ++n.editorConflictsTakenOver;
            } else if (conflictQuestions > 0) {
                ++n.editorConflictsRefused;
            } else {
                std::fprintf(stderr, "edit %d of job %lld neither saved nor reported\n", i, job);
                ++n.lost;
            }
        } else {
            // The bulk entry over two to four jobs; sometimes the other
            // workstation settles one of them first, or clears one.
            std::vector<qint64> batch;
            for (int k = 2 + int(rnd() % 3); k > 0; --k)
                batch.push_back(jobs[rnd() % jobs.size()]);
            exec(mine, QStringLiteral("delete from temp_spracuj where connection_id=current_connection"));
            for (qint64 j : batch)
                exec(mine, QStringLiteral("insert into temp_spracuj (jedin, connection_id, zaradenie, cislo) "
                                          "values (gen_id(temp_spracuj_id, 1), current_connection, :Z, :C)"),
                     {{QStringLiteral("Z"), kUhradyZaradenie}, {QStringLiteral("C"), j}});
            const QString text = QStringLiteral("P%1-%2").arg(w).arg(i);
            if (chance(30)) {
                const qint64 j = batch[rnd() % batch.size()];
                const QString theirs = chance(50) ? QStringLiteral("Q%1-%2").arg(1 - w).arg(i) : QString();
                exec(other, QStringLiteral("update preklady set pre_faktura=:T where jedin=:J"),
                     {{QStringLiteral("T"), theirs}, {QStringLiteral("J"), j}});
                expected[{j, QStringLiteral("PRE_FAKTURA")}] = theirs;
                ++n.otherWrites;
            }
            bool allUnsettled = true;
            for (qint64 j : batch)
                allUnsettled = allUnsettled && expected[{j, QStringLiteral("PRE_FAKTURA")}].isEmpty();
            TfrmEPrekladyUhrady dialog;
            whenShown(&dialog, [&] {
                dialog.eAdresarTyp->FindIt(1);
                dialog.eFaktura->setText(text);
                dialog.btnZapis->click();
            });
            dialog.Run();
            const bool written = value(mine, QStringLiteral("select count(*) from preklady where pre_faktura=:T"),
                                       {{QStringLiteral("T"), text}})
                                     .toInt() > 0;
            if (written) {
                for (qint64 j : batch)
                    expected[{j, QStringLiteral("PRE_FAKTURA")}] = text;
                ++n.bulkWritten;
            } else {
                ++n.bulkRefused;
            }
            if (written != allUnsettled) {
                std::fprintf(stderr, "bulk entry %d: written %d, expected %d\n", i, written, allUnsettled);
                ++n.lost;
            }
        }
    }
    setMainConnection(&db.connection);
    for (const auto& [key, text] : expected) {
        const QString stored = value(db.connection, QStringLiteral("select %1 from preklady where jedin=:J").arg(key.second),
                                     {{QStringLiteral("J"), key.first}})
                                   .toString();
        if (stored != text) {
            std::fprintf(stderr, "job %lld %s: %s expected, %s stored\n", key.first, qPrintable(key.second),
                         qPrintable(text), qPrintable(stored));
            ++n.lost;
        }
    }
    std::printf("edits %d over %d jobs, two attachments\n", edits, int(jobs.size()));
    std::printf("editor saves %d (after a conflict, taken over: %d); conflicts reported and not saved: %d; "
                "lock messages: %d\n",
                n.editorSaves, n.editorConflictsTakenOver, n.editorConflictsRefused, n.editorLocks);
    std::printf("bulk entries written %d, refused as settled meanwhile %d; other workstation's commits %d\n",
                n.bulkWritten, n.bulkRefused, n.otherWrites);
    std::printf("fields checked %zu, changes lost %d\n", expected.size(), n.lost);
    setMainConnection(nullptr);
    second.close();
    return n.lost == 0 ? 0 : 1;
}
