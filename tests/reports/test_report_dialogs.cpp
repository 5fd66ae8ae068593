// The report menu and its four dialogs over a migrated database: captions,
// the defaults per mode, what OK hands to the report run, the picker and the
// keys.
#include "TestDatabase.h"

#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBDate.h"
#include "controls/QDLBtn.h"
#include "framework/Clock.h"
#include "framework/MainConnection.h"
#include "reports/ReportByName.h"
#include "reports/fEPrekladyTlac.h"
#include "reports/fEPrekladyTlacHodnotenie.h"
#include "reports/fEPrekladyTlacZiskovost.h"
#include "reports/fEPrekladyTlacZiskovostMesacna.h"
#include "reports/fEPrekladyTlacZoznam.h"
#include "support/Typing.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QDateTime kNow(QDate(2026, 6, 15), QTime(10, 0));
const QDate kMay1(2026, 5, 1), kMay31(2026, 5, 31);

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

class ReportDialogs : public ::testing::Test {
protected:
    ReportDialogs()
    {
        Clock::pinClock(kNow);
        setMainConnection(&db.connection());
        db.exec({"insert into adresar (jedin, typ, meno, adresa, mesto, stat, sposob_platby) "
                 "values (1, 0, 'Alfa', '', '', '', '')",
                 "insert into adresar (jedin, typ, meno, adresa, mesto, stat, sposob_platby) "
                 "values (2, 1, 'Nováková', '', '', '', '')"});
        calls.run = [this](const ReportRequest& r) { runs.append(r); };
    }
    ~ReportDialogs() override
    {
        setMainConnection(nullptr);
        Clock::unpinClock();
    }

    // Runs `dialog` in `mode`; `step` drives it once shown. Returns its result.
    template <class Dialog>
    int run(Dialog& dialog, int mode, const std::function<void(Dialog*)>& step)
    {
        bool shown = false;
        onNextModal([&](QWidget* w) {
            shown = true;
            ASSERT_EQ(w, &dialog);
            QApplication::setActiveWindow(&dialog);
            step(&dialog);
            if (dialog.isVisible())
                dialog.reject();
        });
        dialog.setReportMode(mode);
        const int result = dialog.Run();
        EXPECT_TRUE(shown);
        return result;
    }

    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript transcript;
    ReportDialogCalls calls;
    QList<ReportRequest> runs;
};

}  // namespace

TEST_F(ReportDialogs, MenuOpensEachDialogInItsModeAndStaysOpen)
{
    TfrmEPrekladyTlac menu(calls);
    EXPECT_EQ(menu.windowTitle(), u("Výber zostavy pre tlač"));
    const std::pair<TQDLBtn*, const char*> items[] = {
        {menu.btnZoznamObjednavatel, "Zoznam prekladov podľa objednávateľov"},
        {menu.btnZoznamPrekladatel, "Zoznam prekladov podľa prekladateľov"},
        {menu.btnZoznamPM, "Zoznam prekladov podľa PM"},
        {menu.btnZiskovostObjednavatelov, "Ziskovosť prekladov podľa objednávateľov"},
        {menu.btnZiskovostPrekladatelov, "Ziskovosť prekladov podľa prekladateľov"},
        {menu.btnZiskovostPM, "Ziskovosť prekladov podľa PM"},
        {menu.btnZiskovostMesacna, "Ziskovosť prekladov po mesiacoch"},
        {menu.btnHodnoteniePrekladatelov, "Prehľad hodnotenia prekladateľov"},
    };
    const char* captions[] = {
        "&1. Zoznam prekladov podľa objednávateľov", "&2. Zoznam prekladov podľa prekladateľov",
        "&3. Zoznam prekladov podľa PM",            "&4. Ziskovosť prekladov podľa objednávateľov",
        "&5. Ziskovosť prekladov podľa prekladateľov", "&6. Ziskovosť prekladov podľa PM",
        "&7. Ziskovosť prekladov po mesiacoch",     "&8. Hodnotenie prekladateľov",
    };
    int previousBottom = 0;
    for (size_t i = 0; i < std::size(items); ++i) {
        TQDLBtn* b = items[i].first;
        EXPECT_EQ(b->text(), u(captions[i]));
        EXPECT_GT(b->y(), previousBottom - 1) << "top to bottom";
        previousBottom = b->geometry().bottom();
    }

    bool menuDone = false;
    onNextModal([&](QWidget* m) {
        for (const auto& [button, caption] : items) {
            QString seen;
            onNextModal([&](QWidget* w) {
                seen = w->windowTitle();
                press(w, Qt::Key_Escape);  // closes the dialog without a report
            });
            button->click();
            EXPECT_EQ(seen, u(caption));
            EXPECT_TRUE(m->isVisible());
        }
        menuDone = true;
        press(m, Qt::Key_Escape);
    });
    menu.exec();
    EXPECT_TRUE(menuDone);
    EXPECT_TRUE(runs.isEmpty());
}

TEST_F(ReportDialogs, JobListDefaultsPerModeAndOkRunsTheReport)
{
    for (int mode : {0, 1, 2}) {
        runs.clear();
        TfrmEPrekladyTlacZoznam dialog(calls);
        const int result = run<TfrmEPrekladyTlacZoznam>(dialog, mode, [&](TfrmEPrekladyTlacZoznam* d) {
            EXPECT_EQ(d->windowTitle(), ZoznamCaption(mode));
            EXPECT_EQ(d->size(), QSize(538, 177));
            EXPECT_EQ(d->eDatumOd->date(), kMay1);
            EXPECT_EQ(d->eDatumDo->date(), kMay31);
            EXPECT_TRUE(d->eAdresar->IsEmpty());
            EXPECT_EQ(d->eAdresar->SWhere(), mode == 1 ? QStringLiteral("typ=1") : QStringLiteral("typ=0"));
            EXPECT_EQ(d->lblAdresar->text(), mode == 1 ? u("Prekladateľ:") : u("Objednávateľ:"));
            EXPECT_EQ(d->eDodane->text(), mode == 1 ? u("Iba preklady dodané:") : u("Iba preklady odoslané:"));
            EXPECT_EQ(d->eFaktura->text(),
                      mode == 1 ? u("Iba preklady nevyplatené:") : u("Iba preklady nevyfaktúrované:"));
            EXPECT_TRUE(d->eDodane->isChecked() && d->eFaktura->isChecked() && d->eSkupiny->isChecked());
            EXPECT_EQ(d->eJazyk->SKeyValue(), QVariant(1));
            EXPECT_EQ(d->eJazyk->currentText(), u("slovenský"));
            EXPECT_EQ(d->btnZapis->text(), QStringLiteral(" &OK"));
            EXPECT_EQ(d->btnNezapis->text(), u("&Netlač"));
            EXPECT_FALSE(d->btnAdresar->isVisible());  // no picker given
            d->eFaktura->setChecked(false);
            d->eJazyk->FindIt(2);
            press(d, Qt::Key_F12);
        });
        EXPECT_EQ(result, TFormDetails::ResultOk);
        ASSERT_EQ(runs.size(), 1);
        ZoznamValues expected;
        expected.mode = mode;
        expected.od = kMay1;
        expected.doDate = kMay31;
        expected.faktura = false;
        expected.jazyk = 2;
        const ReportRequest want = ZoznamRequest(expected);
        EXPECT_EQ(runs[0].title, want.title);
        EXPECT_EQ(runs[0].layoutName, want.layoutName);
        EXPECT_TRUE(runs[0].layoutName.endsWith(QStringLiteral("_En.frf"))) << "English chosen";
        EXPECT_EQ(runs[0].statement.lines, want.statement.lines);
        EXPECT_EQ(runs[0].statement.params, want.statement.params);
    }
}

TEST_F(ReportDialogs, CancelRunsNothing)
{
    TfrmEPrekladyTlacZoznam dialog(calls);
    EXPECT_EQ(run<TfrmEPrekladyTlacZoznam>(dialog, 0, [](auto* d) { d->btnNezapis->click(); }),
              TFormDetails::ResultCancel);
    TfrmEPrekladyTlacHodnotenie other(calls);
    EXPECT_EQ(run<TfrmEPrekladyTlacHodnotenie>(other, 0, [](auto* d) { press(d, Qt::Key_Escape); }),
              TFormDetails::ResultCancel);
    EXPECT_TRUE(runs.isEmpty());
}

TEST_F(ReportDialogs, PickerFillsTheAddressOfTheDialogsSide)
{
    QList<int> sides;
    calls.pickAddress = [&](int typ, const QVariant&) {
        sides << typ;
        return QVariant(typ == 1 ? 2 : 1);
    };
    TfrmEPrekladyTlacZiskovost dialog(calls);
    run<TfrmEPrekladyTlacZiskovost>(dialog, 1, [](TfrmEPrekladyTlacZiskovost* d) {
        ASSERT_TRUE(d->btnAdresar->isVisible());
        d->btnAdresar->click();
        EXPECT_EQ(d->eAdresar->SKeyValue(), QVariant(2));
        EXPECT_EQ(d->eAdresar->currentText(), u("Nováková"));
        d->btnZapis->click();
    });
    EXPECT_EQ(sides, QList<int>({1}));
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].statement.params.value("ADRESAR"), QVariant(2));
    EXPECT_TRUE(runs[0].statement.lines.contains(QStringLiteral("and a.prekladatel=:ADRESAR")));
}

TEST_F(ReportDialogs, ProfitabilityDefaultsAndTheEmptySortChoice)
{
    for (int mode : {0, 1, 2}) {
        runs.clear();
        TfrmEPrekladyTlacZiskovost dialog(calls);
        run<TfrmEPrekladyTlacZiskovost>(dialog, mode, [&](TfrmEPrekladyTlacZiskovost* d) {
            EXPECT_EQ(d->windowTitle(), ZiskovostCaption(mode));
            EXPECT_EQ(d->eDatumOd->date(), kMay1);
            EXPECT_EQ(d->eDatumDo->date(), kMay31);
            EXPECT_EQ(d->lblAdresar->text(), mode == 1 ? u("Prekladateľ:") : u("Objednávateľ:"));
            EXPECT_EQ(d->eDodane->text(), u("Iba preklady dodané:"));
            EXPECT_TRUE(d->eDodane->isChecked() && d->eSkupiny->isChecked());
            EXPECT_EQ(d->eOrderBy->SKeyValue(), QVariant(1));
            EXPECT_EQ(d->eOrderBy->currentText(), QStringLiteral("abecedy"));
            d->eOrderBy->Clear();  // required, but not checked before the run
            press(d, Qt::Key_F12);
        });
        ASSERT_EQ(runs.size(), 1);
        const ReportRequest& r = runs[0];
        EXPECT_EQ(r.layoutName, mode == 2 ? QStringLiteral("Zisk_PM.frf") : QStringLiteral("Zisk.frf"));
        ASSERT_EQ(r.variables.size(), 1);
        EXPECT_EQ(r.variables[0].value, QVariant(mode));
        EXPECT_FALSE(r.statement.lines.last().startsWith(QStringLiteral("order by")));
    }
}

TEST_F(ReportDialogs, MonthlyShowsTheGroupingChoiceOnlyWhileTicked)
{
    TfrmEPrekladyTlacZiskovostMesacna dialog(calls);
    run<TfrmEPrekladyTlacZiskovostMesacna>(dialog, 0, [](TfrmEPrekladyTlacZiskovostMesacna* d) {
        EXPECT_EQ(d->windowTitle(), u("Ziskovosť prekladov po mesiacoch"));
        EXPECT_TRUE(d->eDatumOd->IsEmpty());
        EXPECT_TRUE(d->eDatumDo->IsEmpty());
        EXPECT_TRUE(d->eDodane->isChecked() && d->eSkupiny->isChecked());
        EXPECT_FALSE(d->eZoskupit->isChecked());
        EXPECT_FALSE(d->eZoskupitPodla->isVisible());
        EXPECT_FALSE(d->lblZoskupit->isVisible());
        EXPECT_EQ(d->eZoskupitPodla->SKeyValue(), QVariant(0));
        d->eZoskupit->setChecked(true);
        EXPECT_TRUE(d->eZoskupitPodla->isVisible());
        EXPECT_TRUE(d->lblZoskupit->isVisible());
        EXPECT_EQ(d->lblZoskupit->text(), u("Zoskupiť:"));
        d->eZoskupitPodla->FindIt(1);
        d->btnZapis->click();
    });
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].layoutName, QStringLiteral("ZiskMes.frf"));
    EXPECT_EQ(runs[0].variables.value(0).value, QVariant(1));
    EXPECT_TRUE(runs[0].statement.lines.contains(QStringLiteral("left join adresar b on b.jedin = a.prekladatel")));
    EXPECT_TRUE(runs[0].statement.params.isEmpty());
}

TEST_F(ReportDialogs, EvaluationDefaults)
{
    TfrmEPrekladyTlacHodnotenie dialog(calls);
    run<TfrmEPrekladyTlacHodnotenie>(dialog, 0, [](TfrmEPrekladyTlacHodnotenie* d) {
        EXPECT_EQ(d->windowTitle(), u("Prehľad hodnotenia prekladateľov"));
        EXPECT_EQ(d->eDatumOd->date(), kMay1);
        EXPECT_EQ(d->eDatumDo->date(), kMay31);
        EXPECT_EQ(d->eAdresar->SWhere(), QStringLiteral("typ=1"));
        EXPECT_EQ(d->lblAdresar->text(), u("Prekladateľ:"));
        EXPECT_TRUE(d->eSkupiny->isChecked());
        EXPECT_EQ(d->eJazyk->SKeyValue(), QVariant(1));
        // Dates the wrong way round go to the statement the right way round.
        d->eDatumOd->setDate(kMay31);
        d->eDatumDo->setDate(kMay1);
        d->btnZapis->click();
    });
    ASSERT_EQ(runs.size(), 1);
    EXPECT_EQ(runs[0].layoutName, QStringLiteral("Hod_pre_Sk.frf"));
    EXPECT_EQ(runs[0].statement.params, (QVariantMap{{"OD", kMay1}, {"DO", kMay31}}));
}

TEST_F(ReportDialogs, WithoutAReportRunOkSaysPrintingIsNotAvailable)
{
    TfrmEPrekladyTlacZoznam dialog;
    EXPECT_EQ(run<TfrmEPrekladyTlacZoznam>(dialog, 0, [](auto* d) { d->btnZapis->click(); }),
              TFormDetails::ResultOk);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().kind, DialogKind::Gray);
    EXPECT_EQ(transcript.last().type, msg::Information);
    EXPECT_EQ(transcript.last().text, u("Tlač zostáv zatiaľ nie je k dispozícii."));
}

// A script's report by name without options is what each dialog gives on OK
// with what it shows when it opens: the same title, layout, statement,
// parameters and variables.
TEST_F(ReportDialogs, ReportsByNameAreTheDialogsRequests)
{
    const QStringList names = NamedReports();
    ASSERT_EQ(names.size(), 8);
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(names[i].toStdString());
        runs.clear();
        auto ok = [](auto* d) { d->btnZapis->click(); };
        if (i < 3) {
            TfrmEPrekladyTlacZoznam dialog(calls);
            run<TfrmEPrekladyTlacZoznam>(dialog, i, ok);
        } else if (i < 6) {
            TfrmEPrekladyTlacZiskovost dialog(calls);
            run<TfrmEPrekladyTlacZiskovost>(dialog, i - 3, ok);
        } else if (i == 6) {
            TfrmEPrekladyTlacZiskovostMesacna dialog(calls);
            run<TfrmEPrekladyTlacZiskovostMesacna>(dialog, 0, ok);
        } else {
            TfrmEPrekladyTlacHodnotenie dialog(calls);
            run<TfrmEPrekladyTlacHodnotenie>(dialog, 0, ok);
        }
        ASSERT_EQ(runs.size(), 1);
        NamedReportOptions options;
        options.report = names[i];
        QString error;
        const auto named = NamedReportRequest(options, kNow.date(), error);
        ASSERT_TRUE(named) << error.toStdString();
        EXPECT_EQ(named->title, runs[0].title);
        EXPECT_EQ(named->layoutName, runs[0].layoutName);
        EXPECT_EQ(named->statement.lines, runs[0].statement.lines);
        EXPECT_EQ(named->statement.params, runs[0].statement.params);
        ASSERT_EQ(named->variables.size(), runs[0].variables.size());
        for (qsizetype v = 0; v < named->variables.size(); ++v)
            EXPECT_EQ(named->variables[v].value, runs[0].variables[v].value);
    }
}

