// The .frf file: save and load give the same layout back; damaged, foreign
// and newer files give a clear error and never a crash.

#include "LayoutBuilder.h"

#include "reportengine/ReportError.h"
#include "reportengine/ReportFile.h"

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace report;
using reporttest::band;
using reporttest::text;

namespace {

Layout everything()
{
    Layout l;
    l.title = QStringLiteral("Prehľad prác");
    l.page.orientation = Orientation::Landscape;
    l.page.marginLeft = 20;
    l.page.marginTop = 12.5;
    l.pageHeaderOnFirstPage = false;
    l.variables = {{QStringLiteral(" Nastavenia"), QStringLiteral("Typ"), QStringLiteral("integer"), QStringLiteral("1")},
                   {QStringLiteral(" Nastavenia"), QStringLiteral("Jazyk"), QStringLiteral("string"), QStringLiteral("Sk & <En>")}};
    ReportObject title = text(0, 0, 180, 8, QStringLiteral("[REPORTTITLE] – \"[DATE]\""));
    title.font = {QStringLiteral("DejaVu Serif"), 14, true, true, true};
    title.hAlign = HAlign::Center;
    title.vAlign = VAlign::Bottom;
    title.color = QColor(255, 255, 255);
    title.fill = QColor(128, 128, 128);
    title.frame = FrameAll;
    title.frameWidth = 0.5;
    title.frameColor = QColor(10, 20, 30);
    ReportObject line;
    line.kind = ObjectKind::Line;
    line.y = 9;
    line.width = 180;
    ReportObject rect;
    rect.kind = ObjectKind::Rectangle;
    rect.x = 1;
    rect.width = 5;
    rect.height = 5;
    rect.frame = FrameLeft | FrameBottom;
    ReportObject logo;
    logo.kind = ObjectKind::Image;
    logo.name = QStringLiteral("logo");
    logo.width = 20;
    logo.height = 10;
    logo.keepAspect = false;
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer buffer(&logo.image);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    l.reportTitle = band(BandKind::ReportTitle, 12, {title, line, rect, logo});
    l.pageHeader = band(BandKind::PageHeader, 5, {text(0, 0, 50, 5, QStringLiteral("Strana [PAGE#]"))});
    l.columnHeader = band(BandKind::ColumnHeader, 5, {text(0, 0, 50, 5, QStringLiteral("Značka"))});
    ReportObject price = text(50, 0, 30, 5, QStringLiteral("[MASTER.\"CENA\"]"), QStringLiteral(",0.00"));
    price.hAlign = HAlign::Right;
    price.wordWrap = true;
    price.stretch = true;
    l.masterData = band(BandKind::MasterData, 5, {text(0, 0, 50, 5, QStringLiteral("[ZNACKA]")), price});
    Group g;
    g.condition = QStringLiteral("[MASTER.\"OBJEDNAVATEL\"]");
    g.newPageAfterFooter = true;
    g.header = band(BandKind::GroupHeader, 6, {text(0, 0, 80, 6, QStringLiteral("[OBJEDNAVATEL]"))});
    g.footer = band(BandKind::GroupFooter, 6, {text(0, 0, 80, 6, QStringLiteral("[SUM(CENA)]"))});
    Group inner;
    inner.condition = QStringLiteral("YEAROF(TERMIN)");
    inner.footer = band(BandKind::GroupFooter, 4);
    l.groups = {g, inner};
    l.masterFooter = band(BandKind::MasterFooter, 4);
    l.reportSummary = band(BandKind::ReportSummary, 4, {text(0, 0, 80, 4, QStringLiteral("Spolu"))});
    l.pageFooter = band(BandKind::PageFooter, 4, {text(0, 0, 80, 4, QStringLiteral("[PAGE] / [TOTALPAGES]"))});
    return l;
}

TEST(ReportFile, SaveThenLoadGivesTheSameLayout)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Preh_Obj_Sk.frf"));
    const Layout original = everything();
    saveLayout(original, file);
    const Layout loaded = loadLayout(file);
    EXPECT_TRUE(loaded == original);
    EXPECT_EQ(loaded.groups.size(), 2u);
    EXPECT_EQ(loaded.variables[1].value, QStringLiteral("Sk & <En>"));
    EXPECT_EQ(serializeLayout(loaded), serializeLayout(original));
}

TEST(ReportFile, DamagedAndForeignFilesGiveClearErrors)
{
    const QByteArray valid = serializeLayout(everything());
    const struct {
        const char* name;
        QByteArray content;
        const char* mustContain;
    } cases[] = {
        {"empty", "", "chýba koreňový prvok"},
        {"cut in half", valid.left(valid.size() / 2), "je poškodený"},
        {"other root", "<report version=\"1\"/>", "koreňový prvok je <report>"},
        {"newer version", "<lindavo-report version=\"2\"/>", "má verziu formátu 2; tento program pozná verziu 1"},
        {"no version", "<lindavo-report/>", "chýba číslo verzie"},
        {"bad number", "<lindavo-report version=\"1\"><page width=\"široká\"/></lindavo-report>", "width=\"široká\""},
        {"no room to print", "<lindavo-report version=\"1\"><page width=\"30\" left=\"20\" right=\"20\"/></lindavo-report>", "nenechávajú miesto"},
        {"unknown band", "<lindavo-report version=\"1\"><band type=\"detail\"/></lindavo-report>", "neznámy typ pásu \"detail\""},
        {"band twice", "<lindavo-report version=\"1\"><band type=\"masterdata\"/><band type=\"masterdata\"/></lindavo-report>", "dvakrát"},
        {"group band outside a group", "<lindavo-report version=\"1\"><band type=\"groupheader\"/></lindavo-report>", "patria do <group>"},
        {"group without condition", "<lindavo-report version=\"1\"><group/></lindavo-report>", "skupina bez podmienky"},
        {"unknown object", "<lindavo-report version=\"1\"><band type=\"masterdata\"><chart/></band></lindavo-report>", "neznámy objekt <chart>"},
        {"bad colour", "<lindavo-report version=\"1\"><band type=\"masterdata\"><text fill=\"zelenkavá\"/></band></lindavo-report>", "nie je farba"},
        {"bad image", "<lindavo-report version=\"1\"><band type=\"masterdata\"><image>@@@</image></band></lindavo-report>", "Base64"},
        {"negative size", "<lindavo-report version=\"1\"><band type=\"masterdata\"><text width=\"-5\"/></band></lindavo-report>", "zápornú"},
    };
    for (const auto& c : cases) {
        try {
            parseLayout(c.content, QStringLiteral("Test.frf"));
            ADD_FAILURE() << c.name << ": loaded";
        } catch (const Error& e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.mustContain))) << c.name << ": " << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(QStringLiteral("Test.frf"))) << c.name;
        }
    }
    EXPECT_THROW(loadLayout(QStringLiteral("/nonexistent/Zisk.frf")), Error);
}

// Random damage to a valid file: every variant either loads or fails with
// report::Error (the sanitizer run catches anything worse).
TEST(ReportFile, RandomDamageNeverCrashes)
{
    const QByteArray valid = serializeLayout(everything());
    QRandomGenerator random(20240301);
    for (int round = 0; round < 2000; ++round) {
        QByteArray damaged = valid;
        const int edits = 1 + int(random.bounded(4));
        for (int e = 0; e < edits; ++e) {
            const int at = int(random.bounded(damaged.size()));
            switch (random.bounded(3)) {
            case 0: damaged[at] = char(random.bounded(256)); break;
            case 1: damaged.remove(at, int(random.bounded(20))); break;
            default: damaged.insert(at, damaged.mid(int(random.bounded(damaged.size())), 10)); break;
            }
        }
        try {
            parseLayout(damaged, QStringLiteral("x.frf"));
        } catch (const Error&) {
        }
    }
}

}  // namespace
