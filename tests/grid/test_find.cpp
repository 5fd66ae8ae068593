// The incremental find in the active column.
#include "GridFixture.h"
#include "controls/fDBGridQDLFind.h"
#include "framework/UserSettings.h"
#include "platform/Sound.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QTest>

namespace {

// Counts the sounds instead of playing them.
struct SoundCounter {
    SoundCounter()
    {
        setSoundPlayer([this](const QString& path) {
            ++played;
            lastPath = path;
        });
    }
    ~SoundCounter() { setSoundPlayer({}); }
    int played = 0;
    QString lastPath;
};

}  // namespace

class GridFind : public GridFixture {
protected:
    void SetUp() override
    {
        fillUnits(QStringList{"xa", "abx", "ABC", "abd", "abcz"});
        open();
        grid->SetActiveTitleIndex(2);  // SKRATKA
        window.show();
    }
    SoundCounter sound;
};

TEST_F(GridFind, IncrementalRules)
{
    TfrmDBGridQDLFind dialog(grid, "SKRATKA", TfrmDBGridQDLFind::TextPage, "skratky");
    EXPECT_EQ(dialog.windowTitle(), "Vyhľadávanie podľa skratky...");
    EXPECT_TRUE(grid->ColorSelectedRow());
    dialog.show();
    QLineEdit* edit = dialog.textEdit();
    const QColor red(Qt::red), aqua(0, 255, 255);
    struct Step {
        const char* keys;  // typed; "\b" is Backspace
        int row;           // current row afterwards
        bool found;
        bool isRed;
        int sounds;
    };
    const Step steps[] = {
        {"a", 1, true, false, 0},      // first record beginning with "a", case ignored
        {"b", 1, true, false, 0},      // "ab": the current record still fits
        {"c", 2, true, false, 0},      // "abc": forward to ABC
        {"z", 4, true, false, 0},      // "abcz": forward past abd
        {"q", 4, false, true, 1},      // fails: red, one sound, record kept
        {"q", 4, false, true, 1},      // still failing: no second sound
        {"\b\b", 4, true, false, 1},   // back to "abcz": found again from the current record
        {"\b", 4, true, false, 1},     // "abc": the current record is tested first
        {"\b\b\b", 4, false, false, 1},  // empty: nothing searched, stays aqua
        {"abd", 3, true, false, 1},    // a new search from the top
    };
    for (const Step& s : steps) {
        for (const char* k = s.keys; *k; ++k)
            *k == '\b' ? QTest::keyClick(edit, Qt::Key_Backspace) : QTest::keyClick(edit, *k);
        EXPECT_EQ(grid->currentRow(), s.row) << "after " << edit->text().toStdString();
        EXPECT_EQ(dialog.found(), s.found) << edit->text().toStdString();
        EXPECT_EQ(edit->palette().color(QPalette::Base), s.isRed ? red : aqua) << edit->text().toStdString();
        EXPECT_EQ(sound.played, s.sounds) << edit->text().toStdString();
    }
    EXPECT_TRUE(sound.lastPath.endsWith("Sounds/Oops.Wav"));

    int foundEvents = 0;
    grid->OnFoundRecord = [&] { ++foundEvents; };
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(foundEvents, 1);
    EXPECT_FALSE(grid->ColorSelectedRow());
    EXPECT_EQ(grid->currentRow(), 3);
    bool stored = false;
    readUserInt(TfrmDBGridQDLFind::settingsKey(), "Left", 0, &stored);
    EXPECT_TRUE(stored);
}

TEST_F(GridFind, EnterWithoutAFindDoesNothingEscCloses)
{
    grid->setCurrentRow(2);
    bool sawEnterIgnored = false;
    onNextModal([&](QWidget* w) {
        auto* dialog = qobject_cast<TfrmDBGridQDLFind*>(w);
        ASSERT_NE(dialog, nullptr);
        QTest::keyClicks(dialog->textEdit(), "zz");
        QTest::keyClick(dialog->textEdit(), Qt::Key_Return);
        sawEnterIgnored = dialog->isVisible();
        QTest::keyClick(dialog->textEdit(), Qt::Key_Escape);
    });
    QTest::keyClick(grid, Qt::Key_V);
    EXPECT_TRUE(sawEnterIgnored);
    EXPECT_EQ(grid->currentRow(), 2);
    EXPECT_FALSE(grid->ColorSelectedRow());
}

TEST_F(GridFind, RefusalsAndExternalFind)
{
    DialogTranscript transcript;
    grid->SetActiveTitleIndex(0);
    grid->FindInColumn();
    EXPECT_EQ(transcript.last().text, "Nie je zvolený žiadny stĺpec, nie je možné vyhľadávať.");

    grid->SetActiveTitleIndex(1);
    TQDLColumn c = grid->Columns()[0];
    c.FindExternal = true;
    grid->gridModel()->updateColumn(0, c);
    bool coloured = false;
    grid->OnFindExternal = [&] { coloured = grid->ColorSelectedRow(); };
    QTest::keyClick(grid, Qt::Key_V);
    EXPECT_TRUE(coloured);
    EXPECT_FALSE(grid->ColorSelectedRow());

    db.exec({"delete from merne_jednotky"});
    grid->SetActiveTitleIndex(2);
    open();
    grid->FindInColumn();
    EXPECT_EQ(transcript.last().text, "Nie sú zobrazené žiadne údaje, nie je v čom vyhľadávať.");
}
