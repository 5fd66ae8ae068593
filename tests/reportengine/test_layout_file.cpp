// The .frf file: save and load give the same layout back; damaged, foreign
// and newer files give a clear error and never a crash.

#include "LayoutBuilder.h"

#include "reportengine/Report.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportFile.h"

#include <QBuffer>
#include <QDir>
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

// Loads a layout and, when it loads, prepares it over rows with the job
// list's fields: either works or fails with report::Error, never worse. The
// message of a failure, when asked for.
QString loadAndPrepare(const QByteArray& content)
{
    static const MemoryDataset rows = [] {
        MemoryDataset ds;
        for (const char* name : {"ZNACKA", "NAZOV", "SKUPINA", "SKUPINA2", "PM", "OBJEDNAVATEL", "PREKLADATEL",
                                 "JAZYKOVA_KOMBINACIA", "OBJ_MJ", "PRE_MJ", "OBJ_MENA", "PRE_MENA", "OBJ_FAKTURA",
                                 "PRE_FAKTURA", "ADRESAR"})
            ds.addColumn({QLatin1String(name), ColumnType::Text});
        for (const char* name : {"OBJ_CENA_SKK", "PRE_CENA_SKK", "OBJ_CENA", "PRE_CENA", "OBJ_CENA_MJ", "PRE_CENA_MJ",
                                 "OBJ_ROZSAH", "PRE_ROZSAH", "ZISK", "ZISKPER", "HODNOTENIE", "MESIAC", "ROK", "POCET",
                                 "ZISK_PERCENTO_SUCET"})
            ds.addColumn({QLatin1String(name), ColumnType::Decimal, 2});
        for (const char* name : {"DATUM_ODOSLANIA_PREKLADU", "DATUM_DODANIA_PREKLADU"})
            ds.addColumn({QLatin1String(name), ColumnType::Date});
        for (int r = 0; r < 40; ++r) {
            std::vector<Value> row;
            for (int c = 0; c < 15; ++c)
                row.push_back(Value::text(QStringLiteral("Text %1 %2").arg(r / 7).arg(c).repeated(c == 1 ? 12 : 1)));
            for (int c = 0; c < 15; ++c)
                row.push_back(Value::number(Decimal::fromUnits(r * 137 + c, 2)));
            row.push_back(Value::date(QDate(2026, 5, 1 + r % 28)));
            row.push_back(Value());
            ds.addRow(std::move(row));
        }
        return ds;
    }();
    try {
        Report rep(parseLayout(content, QStringLiteral("x.frf")));
        rep.setDataset(rep.layout().masterAlias, &rows);
        rep.setVariable(QStringLiteral(" Nastavenia"), QStringLiteral("Typ"), Value::integer(0));
        rep.prepare();
        return {};
    } catch (const Error& e) {
        return e.message().isEmpty() ? QStringLiteral("(empty message)") : e.message();
    }
}

// The loader and the preparer over hostile files (what a fuzzer would feed
// them) and over damaged copies of every shipped layout, in the normal build.
TEST(ReportFile, HostileAndDamagedLayoutsNeverCrash)
{
    auto layout = [](const QString& body) {
        return (QStringLiteral("<lindavo-report version=\"1\">") + body + QStringLiteral("</lindavo-report>")).toUtf8();
    };
    auto masterText = [&](const QString& text, const QString& attrs = QString()) {
        return layout(QStringLiteral("<band type=\"masterdata\" height=\"5\"><text width=\"50\" height=\"5\"%1>%2</text></band>")
                          .arg(attrs, text.toHtmlEscaped()));
    };
    const QString parens = QStringLiteral("(").repeated(20000) + u'1' + QStringLiteral(")").repeated(20000);
    const struct {
        const char* name;
        QByteArray content;
        const char* mustContain;  // nullptr: it may load and prepare
    } hostile[] = {
        {"40 KB of nested parentheses", masterText(u'[' + parens + u']'), "hlbšie ako 200"},
        {"a group condition nested 10 000 deep", layout(QStringLiteral("<group condition=\"[%1]\"/><band type=\"masterdata\"/>")
                                                            .arg(QStringLiteral("(").repeated(10000) + u'1' + QStringLiteral(")").repeated(10000))),
         "podmienka skupiny 1"},
        {"40 KB of brackets", masterText(QStringLiteral("[").repeated(20000) + QStringLiteral("]").repeated(20000)), "hlbšie ako 200"},
        {"elements nested 50 000 deep", layout(QStringLiteral("<band type=\"masterdata\">") + QStringLiteral("<text>").repeated(50000)),
         "je poškodený"},
        {"a million objects' worth of attributes", layout(QStringLiteral("<page ") + QStringLiteral("a=\"1\" ").repeated(1) + QStringLiteral("/>") +
                                                          QStringLiteral("<band type=\"masterdata\"><text x=\"1\"/></band>")), nullptr},
        {"a stretching band taller than the page", masterText(QStringLiteral("[NAZOV]").repeated(200), QStringLiteral(" wrap=\"1\" stretch=\"1\"")), nullptr},
        {"objects far off the page", masterText(QStringLiteral("[ZNACKA]"), QStringLiteral(" x=\"9999\" y=\"-9999\" width=\"9999\" height=\"9999\"")), nullptr},
        {"tiny font, huge font", masterText(QStringLiteral("[NAZOV]"), QStringLiteral(" size=\"1\"")) + masterText(QStringLiteral("x"), QStringLiteral(" size=\"500\"")), nullptr},
        {"nine group levels", layout(QStringLiteral("<group condition=\"[ZNACKA]\"/>").repeated(9) + QStringLiteral("<band type=\"masterdata\"/>")), "8 úrovní"},
        {"an unclosed string", masterText(QStringLiteral("['abc]")), "chýba ]"},
        {"control characters", masterText(QStringLiteral("[ZNACKA]\x01\x0b")), nullptr},
        {"a page of minimal size", layout(QStringLiteral("<page width=\"10\" height=\"10\" left=\"0\" right=\"0\" top=\"0\" bottom=\"0\"/>"
                                                         "<band type=\"pagefooter\" height=\"9\"/><band type=\"masterdata\" height=\"5\"/>")), nullptr},
    };
    for (const auto& c : hostile) {
        const QString message = loadAndPrepare(c.content);
        if (c.mustContain)
            EXPECT_TRUE(message.contains(QString::fromUtf8(c.mustContain))) << c.name << ": " << message.left(300).toStdString();
        EXPECT_LT(message.size(), 1000) << c.name << ": a message to read, not the whole file";
    }

    // Every shipped layout, damaged the ways files get damaged.
    const QDir shipped(QStringLiteral(LINDAVO_LAYOUTS_DIR));
    const QStringList files = shipped.entryList({QStringLiteral("*.frf")});
    ASSERT_GE(files.size(), 11);
    QRandomGenerator random(20261211);
    for (const QString& name : files) {
        QFile f(shipped.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray valid = f.readAll();
        EXPECT_EQ(loadAndPrepare(valid), QString()) << name.toStdString();
        for (int round = 0; round < 60; ++round) {
            QByteArray damaged = valid;
            switch (round % 4) {
            case 0: damaged.truncate(int(random.bounded(damaged.size()))); break;
            case 1:
                for (int e = 0; e < 3; ++e)
                    damaged[int(random.bounded(damaged.size()))] = "[]()'\"<>&;,.-0 "[random.bounded(15)];
                break;
            case 2: {
                const int at = int(random.bounded(damaged.size()));
                damaged.insert(at, damaged.mid(int(random.bounded(damaged.size())), int(random.bounded(200))));
                break;
            }
            default: damaged[int(random.bounded(damaged.size()))] = char(random.bounded(256)); break;
            }
            loadAndPrepare(damaged);
        }
    }
}

}  // namespace
