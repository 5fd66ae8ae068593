// The designer through its document: a layout built from nothing prints what
// was placed, every edit undoes, a failed save leaves the old file, a newer
// file stays read-only; and the window shows a shipped layout.
#include "LayoutBuilder.h"

#include "reportengine/Report.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportFile.h"
#include "reportengine/ReportFunctions.h"
#include "reportengine/designer/DesignerWindow.h"

#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace report;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

ReportObject textAt(double x, double w, const QString& text, const QString& format = {})
{
    return reporttest::text(x, 0, w, 5, text, format);
}

}  // namespace

// Title, master band with two fields and a summary with a sum, made from an
// empty layout, saved, loaded and prepared: the items stand where they were put.
TEST(Designer, LayoutFromNothingSavesLoadsAndPrints)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Novy.frf"));
    DesignerDocument doc;
    doc.startNew(path);
    EXPECT_FALSE(doc.isModified()) << "nobody has edited the new layout yet";
    EXPECT_TRUE(doc.isNew());
    EXPECT_EQ(doc.bands(), (std::vector<BandRef>{{BandKind::PageHeader, -1}, {BandKind::MasterData, -1},
                                                 {BandKind::PageFooter, -1}}));
    doc.setFieldNames({QStringLiteral("OBJEDNAVATEL"), QStringLiteral("ZNACKA"), QStringLiteral("CENA")});
    EXPECT_EQ(doc.fieldExpressions(), (QStringList{"[MASTER.\"OBJEDNAVATEL\"]", "[MASTER.\"ZNACKA\"]",
                                                   "[MASTER.\"CENA\"]"}));

    doc.addBand(BandKind::ReportTitle);
    doc.addBand(BandKind::ReportSummary);
    const BandRef title{BandKind::ReportTitle, -1}, master{BandKind::MasterData, -1},
        summary{BandKind::ReportSummary, -1};
    EXPECT_EQ(doc.bands().front(), title);
    doc.addObject(title, textAt(0, 80, QStringLiteral("Zoznam prác")));
    doc.addObject(master, textAt(0, 30, doc.fieldExpressions()[1]));
    const int price = doc.addObject(master, textAt(30, 25, doc.fieldExpressions()[2], QStringLiteral(",0.00")));
    doc.addObject(summary, textAt(30, 25, QStringLiteral("[SUM(CENA)]"), QStringLiteral(",0.00")));
    doc.moveObjects({{master, price}}, 10, 0);
    doc.save();
    EXPECT_FALSE(doc.isModified());

    Report r(loadLayout(path));
    EXPECT_EQ(r.layout(), doc.layout());
    const MemoryDataset data = reporttest::jobs({{"Alfa", "Z1", "10.50"}, {"Alfa", "Z2", "6.25"}});
    r.setDataset(QStringLiteral("MASTER"), &data);
    const PreparedReport prepared = r.prepare();
    ASSERT_EQ(prepared.pageCount(), 1);
    const double left = r.layout().page.marginLeft;
    QStringList placed;
    for (const PageItem& item : prepared.pages[0].items)
        placed << QStringLiteral("%1@%2").arg(item.text).arg(item.rect.left() - left);
    EXPECT_EQ(placed, (QStringList{"Zoznam prác@0", "Z1@0", "10,50@40", "Z2@0", "6,25@40", "16,75@30"}));
}

// Every edit is one step back and forth; arrow-key moves in a row are one step.
TEST(Designer, EditsUndoAndRedo)
{
    DesignerDocument doc;
    doc.startNew(QStringLiteral("/nowhere/x.frf"));
    const BandRef master{BandKind::MasterData, -1};
    doc.addObject(master, textAt(10, 20, QStringLiteral("A")));
    doc.addObject(master, textAt(40, 20, QStringLiteral("B")));
    const ObjectRef a{master, 0}, b{master, 1};
    const struct {
        const char* name;
        std::function<void()> edit;
    } cases[] = {
        {"move", [&] { doc.moveObjects({a, b}, 5, 0); }},
        {"resize", [&] { doc.resizeObject(b, 33, 4); }},
        {"delete", [&] { doc.removeObjects({a}); }},
        {"align right", [&] { doc.alignObjects({b, a}, AlignEdge::Right); }},
        {"band height", [&] { doc.setBandHeight(master, 12); }},
        {"group", [&] { doc.addGroup(QStringLiteral("[OBJEDNAVATEL]")); }},
        {"remove band", [&] { doc.removeBand({BandKind::PageHeader, -1}); }},
    };
    for (const auto& c : cases) {
        const Layout before = doc.layout();
        c.edit();
        const Layout after = doc.layout();
        EXPECT_NE(after, before) << c.name;
        doc.undoStack().undo();
        EXPECT_EQ(doc.layout(), before) << c.name;
        doc.undoStack().redo();
        EXPECT_EQ(doc.layout(), after) << c.name;
        doc.undoStack().undo();
    }
    const Layout start = doc.layout();
    const int steps = doc.undoStack().index();
    doc.moveObjects({a}, 1, 0, true);
    doc.moveObjects({a}, 1, 0, true);
    doc.moveObjects({a}, 0, 1, true);
    EXPECT_EQ(doc.undoStack().index(), steps + 1);
    EXPECT_EQ(doc.object(a)->x, 12);
    doc.undoStack().undo();
    EXPECT_EQ(doc.layout(), start);
    // An object stays inside its band and on the page.
    doc.moveObjects({a}, -50, 50);
    EXPECT_EQ(doc.object(a)->x, 0);
    EXPECT_EQ(doc.object(a)->y, doc.band(master)->height - doc.object(a)->height);
}

// Groups reorder and their bands print in nesting order.
TEST(Designer, GroupsReorder)
{
    DesignerDocument doc;
    doc.startNew(QStringLiteral("/nowhere/x.frf"));
    doc.addGroup(QStringLiteral("[A]"));
    doc.addGroup(QStringLiteral("[B]"));
    doc.moveGroup(1, 0);
    ASSERT_EQ(doc.layout().groups.size(), 2u);
    EXPECT_EQ(doc.layout().groups[0].condition, QStringLiteral("[B]"));
    const auto bands = doc.bands();
    const std::vector<BandRef> middle(bands.begin() + 1, bands.end() - 1);
    EXPECT_EQ(middle, (std::vector<BandRef>{{BandKind::GroupHeader, 0}, {BandKind::GroupHeader, 1},
                                            {BandKind::MasterData, -1}, {BandKind::GroupFooter, 1},
                                            {BandKind::GroupFooter, 0}}));
    const Layout before = doc.layout();
    doc.setGroupCondition(1, QStringLiteral("[PM]"));
    doc.setGroupNewPage(1, true);
    EXPECT_EQ(doc.layout().groups[1].condition, QStringLiteral("[PM]"));
    EXPECT_TRUE(doc.layout().groups[1].newPageAfterFooter);
    doc.undoStack().undo();
    doc.undoStack().undo();
    EXPECT_EQ(doc.layout(), before);
}

// A save that cannot be written completely (here: the file size limit, as a
// full disk would) leaves the old layout as it was and the document unsaved.
TEST(Designer, AFailedSaveKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Stara.frf"));
    DesignerDocument doc;
    doc.startNew(path);
    doc.save();
    const QByteArray old = bytesOf(path);
    for (int i = 0; i < 40; ++i)
        doc.addObject({BandKind::MasterData, -1}, textAt(i, 5, QStringLiteral("[MASTER.\"POLE%1\"]").arg(i)));

    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = rlim_t(old.size() + 100);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
        doc.save();
    } catch (const Error&) {
        failed = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(failed) << old.size() << " -> " << serializeLayout(doc.layout()).size();
    EXPECT_EQ(bytesOf(path), old);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Stara.frf")}) << "no leftovers";
    doc.save();
    EXPECT_EQ(loadLayout(path), doc.layout());
}

// A layout of a later format opens for reading only; the runner's loader
// still refuses it.
TEST(Designer, NewerFormatOpensReadOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nova.frf"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<lindavo-report version=\"7\" master=\"MASTER\">\n"
                " <hologram depth=\"3\"/>\n"
                " <band type=\"masterdata\" height=\"5\"><text x=\"0\" y=\"0\" width=\"20\" height=\"5\">[X]</text></band>\n"
                "</lindavo-report>\n");
    }
    const QByteArray old = bytesOf(path);
    DesignerDocument doc;
    doc.open(path);
    EXPECT_TRUE(doc.isReadOnly());
    ASSERT_NE(doc.object({{BandKind::MasterData, -1}, 0}), nullptr);
    doc.moveObjects({{{BandKind::MasterData, -1}, 0}}, 5, 0);
    EXPECT_EQ(doc.object({{BandKind::MasterData, -1}, 0})->x, 0) << "no edits";
    EXPECT_THROW(doc.save(), Error);
    EXPECT_EQ(bytesOf(path), old);
    EXPECT_THROW(loadLayout(path), Error);
}

// The window on a shipped layout: its bands in print order, named, with the
// fields of the layout drawn; and an empty layout under a missing file's name.
TEST(DesignerWindowTest, ShowsAShippedLayout)
{
    DesignerWindow w;
    w.setFieldNames({QStringLiteral("ZNACKA")});
    w.openOrCreate(QStringLiteral(LINDAVO_LAYOUTS_DIR "/Preh_Obj_Sk.frf"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Návrhár zostáv - Preh_Obj_Sk.frf"));
    EXPECT_FALSE(w.document().isModified());
    w.resize(1100, 760);
    w.show();
    const QImage image = w.pageView()->grab().toImage();
    ASSERT_FALSE(image.isNull());
    int dark = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            dark += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 200) << "captions and texts are drawn";
    const auto bands = w.document().bands();
    int previous = -1;
    for (const BandRef& b : bands) {
        EXPECT_GT(w.pageView()->bandTop(b), previous);
        previous = w.pageView()->bandTop(b);
    }

    QTemporaryDir dir;
    DesignerWindow empty;
    empty.openOrCreate(dir.filePath(QStringLiteral("Chyba.frf")));
    // Opened for a missing layout and closed untouched: no question, no file.
    EXPECT_FALSE(empty.document().isModified());
    EXPECT_EQ(empty.document().bands().size(), 3u);
    EXPECT_EQ(empty.windowTitle(), QStringLiteral("Návrhár zostáv - Chyba.frf"));
    empty.close();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("Chyba.frf"))));
}

// A damaged file opens as an empty layout under its name with the reason
// shown; closing without an edit leaves the file alone, saving replaces it.
TEST(DesignerWindowTest, ADamagedFileOpensWithTheReason)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Zisk.frf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<lindavo-report version=\"1\"><band type=\"masterdata\"><text>[ZNACKA]</band>");
    file.close();

    DesignerWindow w;
    ASSERT_NO_THROW(w.openOrCreate(path));
    EXPECT_TRUE(w.problem().contains(QStringLiteral("je poškodený (riadok 1)"))) << w.problem().toStdString();
    EXPECT_TRUE(w.problem().contains(QStringLiteral("Zisk.frf")));
    EXPECT_TRUE(w.findChild<QLabel*>(QStringLiteral("lblProblem"))->isVisibleTo(&w));
    EXPECT_EQ(w.document().fileName(), path);
    EXPECT_EQ(w.document().bands().size(), 3u);
    EXPECT_FALSE(w.document().isModified()) << "closing without an edit keeps the damaged file";
    EXPECT_TRUE(w.save());
    EXPECT_NO_THROW(loadLayout(path));

    DesignerWindow sound;
    sound.openOrCreate(path);
    EXPECT_EQ(sound.problem(), QString());
}

// The host's report functions are in the field list with their descriptions;
// a double click inserts the call.
TEST(DesignerWindowTest, FieldListOffersTheHostsFunctions)
{
    Function f;
    f.name = QStringLiteral("MONEYTOSTR");
    f.category = QStringLiteral("Quendel");
    f.description = QStringLiteral("MONEYTOSTR(<Number>)/Vráti číslo ako text suma slovom.");
    f.minArgs = f.maxArgs = 1;
    f.call = [](const std::vector<Value>&) { return Value::text(QStringLiteral("sto")); };
    FunctionRegistry::global().add(f);
    Function n = f;
    n.name = QStringLiteral("NEWLINESTR");
    n.description = QStringLiteral("NEWLINESTR/Vráti reťazec Chr(13) + Chr(10)");
    n.minArgs = n.maxArgs = 0;
    FunctionRegistry::global().add(n);

    QTemporaryDir dir;
    DesignerWindow w;
    w.openOrCreate(dir.filePath(QStringLiteral("F.frf")));
    w.setFieldNames({QStringLiteral("ZNACKA")});
    auto* list = w.findChild<QListWidget*>(QStringLiteral("lstFields"));
    ASSERT_NE(list, nullptr);
    const auto found = list->findItems(QStringLiteral("[MONEYTOSTR(<Number>)]"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(list->findItems(QStringLiteral("[NEWLINESTR]"), Qt::MatchExactly).size(), 1);
    list->setCurrentItem(found.front());
    EXPECT_EQ(w.findChild<QLabel*>(QStringLiteral("lblFieldDescription"))->text(), QStringLiteral("Vráti číslo ako text suma slovom."));
    EXPECT_EQ(found.front()->toolTip(), QStringLiteral("Vráti číslo ako text suma slovom."));
    w.pageView()->setCurrentBand({BandKind::MasterData, -1});
    emit list->itemDoubleClicked(found.front());
    const Band* data = w.document().band({BandKind::MasterData, -1});
    ASSERT_NE(data, nullptr);
    ASSERT_FALSE(data->objects.empty());
    EXPECT_EQ(data->objects.back().text, QStringLiteral("[MONEYTOSTR(<Number>)]"));
    FunctionRegistry::global().remove(QStringLiteral("MONEYTOSTR"));
    FunctionRegistry::global().remove(QStringLiteral("NEWLINESTR"));
}

// Page set-up, the title and the variables: edited in their dialogs, one undo
// step each, saved with the layout; margins without room and a variable
// named twice are refused.
TEST(DesignerWindowTest, PageSetUpTitleAndVariables)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("P.frf"));
    DesignerWindow w;
    w.openOrCreate(path);
    DesignerDocument& doc = w.document();

    PageSetupDialog page(doc.layout().page);
    EXPECT_EQ(page.cmbPaper->currentText(), QStringLiteral("A4"));
    EXPECT_FALSE(page.eWidth->isEnabled());
    page.cmbPaper->setCurrentText(QStringLiteral("A5"));
    page.cmbOrientation->setCurrentIndex(1);
    page.eLeft->setValue(15);
    page.eBottom->setValue(12.5);
    doc.setPage(page.page());
    EXPECT_EQ(doc.layout().page.width, 148);
    EXPECT_EQ(doc.layout().page.height, 210);
    EXPECT_EQ(doc.layout().page.orientation, Orientation::Landscape);
    EXPECT_EQ(doc.layout().page.marginLeft, 15);
    EXPECT_EQ(doc.layout().page.marginBottom, 12.5);
    PageSetup noRoom = doc.layout().page;
    noRoom.marginLeft = 200;
    EXPECT_THROW(doc.setPage(noRoom), Error);
    PageSetupDialog own(doc.layout().page);
    EXPECT_EQ(own.cmbPaper->currentText(), QStringLiteral("A5"));
    own.cmbPaper->setCurrentIndex(own.cmbPaper->count() - 1);
    EXPECT_TRUE(own.eWidth->isEnabled());

    ReportSettingsDialog settings(doc.layout().title, doc.layout().variables);
    settings.eTitle->setText(QStringLiteral("Zoznam prác"));
    settings.btnAdd->click();
    settings.grdVariables->item(0, 1)->setText(QStringLiteral("Typ"));
    qobject_cast<QComboBox*>(settings.grdVariables->cellWidget(0, 2))->setCurrentIndex(1);
    settings.grdVariables->item(0, 3)->setText(QStringLiteral("1"));
    doc.setVariables(settings.variables());
    doc.setTitle(settings.title());
    ASSERT_EQ(doc.layout().variables.size(), 1u);
    EXPECT_EQ(doc.layout().variables[0], (VariableDef{QStringLiteral(" Nastavenia"), QStringLiteral("Typ"), QStringLiteral("integer"), QStringLiteral("1")}));
    EXPECT_EQ(doc.layout().title, QStringLiteral("Zoznam prác"));
    EXPECT_EQ(w.findChild<QListWidget*>(QStringLiteral("lstFields"))->findItems(QStringLiteral("[Typ]"), Qt::MatchExactly).size(), 1);
    std::vector<VariableDef> twice = doc.layout().variables;
    twice.push_back(twice[0]);
    twice[1].name = QStringLiteral("TYP");
    EXPECT_THROW(doc.setVariables(twice), Error);

    ASSERT_TRUE(w.save());
    const Layout saved = loadLayout(path);
    EXPECT_EQ(saved.page, doc.layout().page);
    EXPECT_EQ(saved.title, QStringLiteral("Zoznam prác"));
    EXPECT_EQ(saved.variables, doc.layout().variables);
    doc.undoStack().undo();
    doc.undoStack().undo();
    EXPECT_TRUE(doc.layout().variables.empty());
    EXPECT_EQ(doc.layout().title, QString());
}

// The page by mouse and keyboard: a click selects, a drag moves by whole
// millimetres, the corner handle resizes, arrows nudge, Delete removes, and
// each gesture is one step to undo.
TEST(DesignerWindowTest, MouseAndKeysEditThePage)
{
    QTemporaryDir dir;
    DesignerWindow w;
    w.openOrCreate(dir.filePath(QStringLiteral("Mys.frf")));
    const BandRef master{BandKind::MasterData, -1};
    DesignerDocument& doc = w.document();
    doc.addObject(master, reporttest::text(10, 0, 30, 5, QStringLiteral("[ZNACKA]")));
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    DesignerPageView* view = w.pageView();
    const double k = view->scale();
    const double left = 12 + doc.layout().page.marginLeft * k;  // the view's margin, then the page's
    const auto at = [&](double xMm, double yMm) {
        return QPoint(int(left + xMm * k), int(view->bandTop(master) + yMm * k));
    };
    const ObjectRef ref{master, 0};

    QTest::mouseClick(view, Qt::LeftButton, {}, at(20, 2));
    ASSERT_EQ(view->selection(), std::vector<ObjectRef>{ref});
    QTest::mousePress(view, Qt::LeftButton, {}, at(20, 2));
    QTest::mouseMove(view, at(25.2, 2));
    QTest::mouseRelease(view, Qt::LeftButton, {}, at(25.2, 2));
    EXPECT_EQ(doc.object(ref)->x, 15) << "snapped to the millimetre";

    QTest::mousePress(view, Qt::LeftButton, {}, at(45, 5));  // the corner handle
    QTest::mouseMove(view, at(55, 5));
    QTest::mouseRelease(view, Qt::LeftButton, {}, at(55, 5));
    EXPECT_EQ(doc.object(ref)->width, 40);

    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(doc.object(ref)->x, 17);
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(doc.object(ref)->width, 41);
    doc.undoStack().undo();
    doc.undoStack().undo();
    EXPECT_EQ(doc.object(ref)->x, 15) << "two nudges are one step";

    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(doc.object(ref), nullptr);
    EXPECT_TRUE(view->selection().empty());
    doc.undoStack().undo();
    EXPECT_NE(doc.object(ref), nullptr);
}
