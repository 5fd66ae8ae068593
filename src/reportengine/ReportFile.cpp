#include "reportengine/ReportFile.h"

#include "reportengine/ReportError.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

namespace report {

namespace {

const char* const kRoot = "lindavo-report";

struct KindName {
    BandKind kind;
    const char* name;
};
constexpr KindName kKindNames[] = {
    {BandKind::ReportTitle, "reporttitle"},   {BandKind::PageHeader, "pageheader"},
    {BandKind::ColumnHeader, "columnheader"}, {BandKind::MasterData, "masterdata"},
    {BandKind::GroupHeader, "groupheader"},   {BandKind::GroupFooter, "groupfooter"},
    {BandKind::MasterFooter, "masterfooter"}, {BandKind::ReportSummary, "reportsummary"},
    {BandKind::PageFooter, "pagefooter"},
};

QString hAlignName(HAlign a)
{
    switch (a) {
    case HAlign::Left: return QStringLiteral("left");
    case HAlign::Center: return QStringLiteral("center");
    case HAlign::Right: return QStringLiteral("right");
    case HAlign::Justify: return QStringLiteral("justify");
    }
    return {};
}

QString vAlignName(VAlign a)
{
    switch (a) {
    case VAlign::Top: return QStringLiteral("top");
    case VAlign::Center: return QStringLiteral("center");
    case VAlign::Bottom: return QStringLiteral("bottom");
    }
    return {};
}

QString frameName(int frame)
{
    QString s;
    if (frame & FrameLeft) s += u'l';
    if (frame & FrameTop) s += u't';
    if (frame & FrameRight) s += u'r';
    if (frame & FrameBottom) s += u'b';
    return s;
}

QString num(double v)
{
    return QString::number(v, 'g', 10);
}

// --- reading ---------------------------------------------------------------

class Reader {
public:
    Reader(const QByteArray& xml, const QString& source, bool newer = false)
        : m_xml(xml), m_source(source), m_newer(newer)
    {
    }

    Layout read()
    {
        Layout layout;
        if (!m_xml.readNextStartElement())
            fail(QStringLiteral("chýba koreňový prvok"));
        if (m_xml.name() != QLatin1String(kRoot))
            fail(QStringLiteral("koreňový prvok je <%1>, očakáva sa <%2>").arg(m_xml.name().toString(), kRoot));
        const QString versionText = m_xml.attributes().value(QStringLiteral("version")).toString();
        bool ok = false;
        const int version = versionText.toInt(&ok);
        if (!ok)
            fail(QStringLiteral("chýba číslo verzie formátu"));
        if (version < 1 || (version > kLayoutFormatVersion && !m_newer))
            throw Error(QStringLiteral("Súbor zostavy %1 má verziu formátu %2; tento program pozná verziu %3.")
                            .arg(m_source)
                            .arg(version)
                            .arg(kLayoutFormatVersion));
        layout.title = attr(QStringLiteral("title"));
        layout.masterAlias = attr(QStringLiteral("master"), QStringLiteral("MASTER"));
        layout.pageHeaderOnFirstPage = attrBool(QStringLiteral("pageheader-on-first"), true);
        layout.pageFooterOnLastPage = attrBool(QStringLiteral("pagefooter-on-last"), true);
        const QString language = attr(QStringLiteral("language"), QStringLiteral("sk"));
        if (language == u"sk")
            layout.language = Language::Slovak;
        else if (language == u"en")
            layout.language = Language::English;
        else
            fail(QStringLiteral("neznámy jazyk \"%1\"").arg(language));
        while (m_xml.readNextStartElement()) {
            const auto name = m_xml.name();
            if (name == QLatin1String("page"))
                readPage(layout.page);
            else if (name == QLatin1String("variables"))
                readVariables(layout.variables);
            else if (name == QLatin1String("band"))
                placeBand(layout, readBand());
            else if (name == QLatin1String("group"))
                layout.groups.push_back(readGroup());
            else if (m_newer)
                m_xml.skipCurrentElement();  // what a later version added
            else
                fail(QStringLiteral("neznámy prvok <%1>").arg(name.toString()));
        }
        if (m_xml.hasError())
            fail(m_xml.errorString());
        return layout;
    }

private:
    [[noreturn]] void fail(const QString& what)
    {
        throw Error(QStringLiteral("Súbor zostavy %1 je poškodený (riadok %2): %3.")
                        .arg(m_source)
                        .arg(m_xml.lineNumber())
                        .arg(what));
    }

    QString attr(const QString& name, const QString& fallback = QString())
    {
        const auto a = m_xml.attributes();
        return a.hasAttribute(name) ? a.value(name).toString() : fallback;
    }

    double attrNum(const QString& name, double fallback, double min = -10000, double max = 10000)
    {
        const auto a = m_xml.attributes();
        if (!a.hasAttribute(name))
            return fallback;
        bool ok = false;
        const double v = a.value(name).toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < min || v > max)
            fail(QStringLiteral("atribút %1=\"%2\" nie je platné číslo").arg(name, a.value(name).toString()));
        return v;
    }

    bool attrBool(const QString& name, bool fallback)
    {
        const QString v = attr(name);
        if (v.isEmpty())
            return fallback;
        if (v == u"1" || v == u"true")
            return true;
        if (v == u"0" || v == u"false")
            return false;
        fail(QStringLiteral("atribút %1=\"%2\" nie je 0 ani 1").arg(name, v));
    }

    QColor attrColor(const QString& name, const QColor& fallback)
    {
        const QString v = attr(name);
        if (v.isEmpty())
            return fallback;
        const QColor c = QColor::fromString(v);
        if (!c.isValid())
            fail(QStringLiteral("atribút %1=\"%2\" nie je farba").arg(name, v));
        return c;
    }

    void readPage(PageSetup& page)
    {
        page.width = attrNum(QStringLiteral("width"), page.width, 10, 5000);
        page.height = attrNum(QStringLiteral("height"), page.height, 10, 5000);
        const QString o = attr(QStringLiteral("orientation"), QStringLiteral("portrait"));
        if (o == u"portrait")
            page.orientation = Orientation::Portrait;
        else if (o == u"landscape")
            page.orientation = Orientation::Landscape;
        else
            fail(QStringLiteral("neznáma orientácia \"%1\"").arg(o));
        page.marginLeft = attrNum(QStringLiteral("left"), page.marginLeft, 0, 1000);
        page.marginRight = attrNum(QStringLiteral("right"), page.marginRight, 0, 1000);
        page.marginTop = attrNum(QStringLiteral("top"), page.marginTop, 0, 1000);
        page.marginBottom = attrNum(QStringLiteral("bottom"), page.marginBottom, 0, 1000);
        if (page.printableWidth() <= 1 || page.printableHeight() <= 1)
            fail(QStringLiteral("okraje stránky nenechávajú miesto na tlač"));
        m_xml.skipCurrentElement();
    }

    void readVariables(std::vector<VariableDef>& out)
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != QLatin1String("category"))
                fail(QStringLiteral("v <variables> je neznámy prvok <%1>").arg(m_xml.name().toString()));
            const QString category = attr(QStringLiteral("name"));
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() != QLatin1String("variable"))
                    fail(QStringLiteral("v <category> je neznámy prvok <%1>").arg(m_xml.name().toString()));
                VariableDef v;
                v.category = category;
                v.name = attr(QStringLiteral("name"));
                v.type = attr(QStringLiteral("type"), QStringLiteral("string"));
                if (v.name.isEmpty())
                    fail(QStringLiteral("premenná bez mena"));
                if (v.type != u"string" && v.type != u"integer")
                    fail(QStringLiteral("neznámy typ premennej \"%1\"").arg(v.type));
                v.value = m_xml.readElementText();
                out.push_back(v);
            }
        }
    }

    Band readBand()
    {
        Band band;
        const QString type = attr(QStringLiteral("type"));
        const auto kind = bandKindFromName(type);
        if (!kind)
            fail(QStringLiteral("neznámy typ pásu \"%1\"").arg(type));
        band.kind = *kind;
        band.height = attrNum(QStringLiteral("height"), 5, 0, 5000);
        while (m_xml.readNextStartElement())
            band.objects.push_back(readObject());
        return band;
    }

    ReportObject readObject()
    {
        ReportObject o;
        const auto name = m_xml.name();
        if (name == QLatin1String("text"))
            o.kind = ObjectKind::Text;
        else if (name == QLatin1String("line"))
            o.kind = ObjectKind::Line;
        else if (name == QLatin1String("rect"))
            o.kind = ObjectKind::Rectangle;
        else if (name == QLatin1String("image"))
            o.kind = ObjectKind::Image;
        else
            fail(QStringLiteral("neznámy objekt <%1>").arg(name.toString()));
        o.name = attr(QStringLiteral("name"));
        o.x = attrNum(QStringLiteral("x"), 0);
        o.y = attrNum(QStringLiteral("y"), 0);
        o.width = attrNum(QStringLiteral("width"), 0);
        o.height = attrNum(QStringLiteral("height"), 0);
        if (o.kind != ObjectKind::Line && (o.width < 0 || o.height < 0))
            fail(QStringLiteral("objekt má zápornú šírku alebo výšku"));
        o.font.family = attr(QStringLiteral("font"), o.font.family);
        o.font.size = attrNum(QStringLiteral("size"), o.font.size, 1, 500);
        o.font.bold = attrBool(QStringLiteral("bold"), false);
        o.font.italic = attrBool(QStringLiteral("italic"), false);
        o.font.underline = attrBool(QStringLiteral("underline"), false);
        o.color = attrColor(QStringLiteral("color"), Qt::black);
        const QString h = attr(QStringLiteral("align"), QStringLiteral("left"));
        if (h == u"left") o.hAlign = HAlign::Left;
        else if (h == u"center") o.hAlign = HAlign::Center;
        else if (h == u"right") o.hAlign = HAlign::Right;
        else if (h == u"justify") o.hAlign = HAlign::Justify;
        else fail(QStringLiteral("neznáme zarovnanie \"%1\"").arg(h));
        const QString v = attr(QStringLiteral("valign"), QStringLiteral("top"));
        if (v == u"top") o.vAlign = VAlign::Top;
        else if (v == u"center") o.vAlign = VAlign::Center;
        else if (v == u"bottom") o.vAlign = VAlign::Bottom;
        else fail(QStringLiteral("neznáme zvislé zarovnanie \"%1\"").arg(v));
        o.wordWrap = attrBool(QStringLiteral("wrap"), false);
        o.stretch = attrBool(QStringLiteral("stretch"), false);
        o.format = attr(QStringLiteral("format"));
        const QString frame = attr(QStringLiteral("frame"));
        for (QChar c : frame) {
            if (c == u'l') o.frame |= FrameLeft;
            else if (c == u't') o.frame |= FrameTop;
            else if (c == u'r') o.frame |= FrameRight;
            else if (c == u'b') o.frame |= FrameBottom;
            else fail(QStringLiteral("neznáma strana rámu \"%1\"").arg(frame));
        }
        o.frameWidth = attrNum(QStringLiteral("frame-width"), o.frameWidth, 0, 100);
        o.frameColor = attrColor(QStringLiteral("frame-color"), Qt::black);
        o.fill = attrColor(QStringLiteral("fill"), QColor());
        o.keepAspect = attrBool(QStringLiteral("keep-aspect"), true);
        const QString body = m_xml.readElementText();
        if (m_xml.hasError())
            fail(m_xml.errorString());
        if (o.kind == ObjectKind::Text) {
            o.text = body;
        } else if (o.kind == ObjectKind::Image) {
            const auto decoded = QByteArray::fromBase64Encoding(QString(body).remove(QRegularExpression(QStringLiteral("\\s"))).toLatin1(),
                                                                QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                fail(QStringLiteral("obrázok nie je platný Base64"));
            o.image = *decoded;
        }
        return o;
    }

    Group readGroup()
    {
        Group g;
        g.condition = attr(QStringLiteral("condition"));
        if (g.condition.trimmed().isEmpty())
            fail(QStringLiteral("skupina bez podmienky"));
        g.newPageAfterFooter = attrBool(QStringLiteral("new-page"), false);
        g.caption = attr(QStringLiteral("caption"));
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != QLatin1String("band"))
                fail(QStringLiteral("v <group> je neznámy prvok <%1>").arg(m_xml.name().toString()));
            Band b = readBand();
            if (b.kind == BandKind::GroupHeader && !g.header)
                g.header = std::move(b);
            else if (b.kind == BandKind::GroupFooter && !g.footer)
                g.footer = std::move(b);
            else
                fail(QStringLiteral("skupina smie mať jednu hlavičku a jednu pätu"));
        }
        return g;
    }

    void placeBand(Layout& layout, Band band)
    {
        std::optional<Band>* slot = nullptr;
        switch (band.kind) {
        case BandKind::ReportTitle: slot = &layout.reportTitle; break;
        case BandKind::PageHeader: slot = &layout.pageHeader; break;
        case BandKind::ColumnHeader: slot = &layout.columnHeader; break;
        case BandKind::MasterData: slot = &layout.masterData; break;
        case BandKind::MasterFooter: slot = &layout.masterFooter; break;
        case BandKind::ReportSummary: slot = &layout.reportSummary; break;
        case BandKind::PageFooter: slot = &layout.pageFooter; break;
        case BandKind::GroupHeader:
        case BandKind::GroupFooter: fail(QStringLiteral("hlavička a päta skupiny patria do <group>"));
        }
        if (slot->has_value())
            fail(QStringLiteral("pás %1 je v súbore dvakrát").arg(bandKindName(band.kind)));
        *slot = std::move(band);
    }

    QXmlStreamReader m_xml;
    QString m_source;
    bool m_newer = false;
};

// --- writing ---------------------------------------------------------------

void writeBand(QXmlStreamWriter& w, const Band& band)
{
    w.writeStartElement(QStringLiteral("band"));
    w.writeAttribute(QStringLiteral("type"), bandKindName(band.kind));
    w.writeAttribute(QStringLiteral("height"), num(band.height));
    const ReportObject defaults;
    for (const ReportObject& o : band.objects) {
        const char* tag = o.kind == ObjectKind::Text ? "text"
                          : o.kind == ObjectKind::Line ? "line"
                          : o.kind == ObjectKind::Rectangle ? "rect"
                                                             : "image";
        w.writeStartElement(QLatin1String(tag));
        if (!o.name.isEmpty()) w.writeAttribute(QStringLiteral("name"), o.name);
        w.writeAttribute(QStringLiteral("x"), num(o.x));
        w.writeAttribute(QStringLiteral("y"), num(o.y));
        w.writeAttribute(QStringLiteral("width"), num(o.width));
        w.writeAttribute(QStringLiteral("height"), num(o.height));
        if (o.kind == ObjectKind::Text) {
            w.writeAttribute(QStringLiteral("font"), o.font.family);
            w.writeAttribute(QStringLiteral("size"), num(o.font.size));
            if (o.font.bold) w.writeAttribute(QStringLiteral("bold"), QStringLiteral("1"));
            if (o.font.italic) w.writeAttribute(QStringLiteral("italic"), QStringLiteral("1"));
            if (o.font.underline) w.writeAttribute(QStringLiteral("underline"), QStringLiteral("1"));
            if (o.color != defaults.color) w.writeAttribute(QStringLiteral("color"), o.color.name(QColor::HexArgb));
            if (o.hAlign != HAlign::Left) w.writeAttribute(QStringLiteral("align"), hAlignName(o.hAlign));
            if (o.vAlign != VAlign::Top) w.writeAttribute(QStringLiteral("valign"), vAlignName(o.vAlign));
            if (o.wordWrap) w.writeAttribute(QStringLiteral("wrap"), QStringLiteral("1"));
            if (o.stretch) w.writeAttribute(QStringLiteral("stretch"), QStringLiteral("1"));
            if (!o.format.isEmpty()) w.writeAttribute(QStringLiteral("format"), o.format);
        }
        if (o.frame != FrameNone) w.writeAttribute(QStringLiteral("frame"), frameName(o.frame));
        if (o.frameWidth != defaults.frameWidth) w.writeAttribute(QStringLiteral("frame-width"), num(o.frameWidth));
        if (o.frameColor != defaults.frameColor)
            w.writeAttribute(QStringLiteral("frame-color"), o.frameColor.name(QColor::HexArgb));
        if (o.fill.isValid()) w.writeAttribute(QStringLiteral("fill"), o.fill.name(QColor::HexArgb));
        if (o.kind == ObjectKind::Image) {
            if (!o.keepAspect) w.writeAttribute(QStringLiteral("keep-aspect"), QStringLiteral("0"));
            w.writeCharacters(QString::fromLatin1(o.image.toBase64()));
        } else if (o.kind == ObjectKind::Text) {
            w.writeCharacters(o.text);
        }
        w.writeEndElement();
    }
    w.writeEndElement();
}

}  // namespace

QString bandKindName(BandKind kind)
{
    for (const auto& k : kKindNames)
        if (k.kind == kind)
            return QLatin1String(k.name);
    return {};
}

std::optional<BandKind> bandKindFromName(const QString& name)
{
    for (const auto& k : kKindNames)
        if (name == QLatin1String(k.name))
            return k.kind;
    return std::nullopt;
}

Layout parseLayout(const QByteArray& xml, const QString& sourceName)
{
    return Reader(xml, sourceName).read();
}

Layout parseNewerLayout(const QByteArray& xml, const QString& sourceName)
{
    return Reader(xml, sourceName, true).read();
}

int layoutFormatVersion(const QByteArray& xml)
{
    QXmlStreamReader r(xml);
    if (!r.readNextStartElement())
        return 0;
    return r.attributes().value(QStringLiteral("version")).toInt();
}

Layout loadLayout(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Súbor zostavy %1 sa nedá otvoriť: %2").arg(fileName, file.errorString()));
    return parseLayout(file.readAll(), fileName);
}

QByteArray serializeLayout(const Layout& layout)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeStartDocument();
    w.writeStartElement(QLatin1String(kRoot));
    w.writeAttribute(QStringLiteral("version"), QString::number(kLayoutFormatVersion));
    if (!layout.title.isEmpty()) w.writeAttribute(QStringLiteral("title"), layout.title);
    w.writeAttribute(QStringLiteral("master"), layout.masterAlias);
    if (layout.language == Language::English) w.writeAttribute(QStringLiteral("language"), QStringLiteral("en"));
    if (!layout.pageHeaderOnFirstPage) w.writeAttribute(QStringLiteral("pageheader-on-first"), QStringLiteral("0"));
    if (!layout.pageFooterOnLastPage) w.writeAttribute(QStringLiteral("pagefooter-on-last"), QStringLiteral("0"));

    const PageSetup& p = layout.page;
    w.writeStartElement(QStringLiteral("page"));
    w.writeAttribute(QStringLiteral("width"), num(p.width));
    w.writeAttribute(QStringLiteral("height"), num(p.height));
    w.writeAttribute(QStringLiteral("orientation"),
                     p.orientation == Orientation::Portrait ? QStringLiteral("portrait") : QStringLiteral("landscape"));
    w.writeAttribute(QStringLiteral("left"), num(p.marginLeft));
    w.writeAttribute(QStringLiteral("right"), num(p.marginRight));
    w.writeAttribute(QStringLiteral("top"), num(p.marginTop));
    w.writeAttribute(QStringLiteral("bottom"), num(p.marginBottom));
    w.writeEndElement();

    if (!layout.variables.empty()) {
        w.writeStartElement(QStringLiteral("variables"));
        QString open;
        bool any = false;
        for (const VariableDef& v : layout.variables) {
            if (!any || v.category != open) {
                if (any) w.writeEndElement();
                w.writeStartElement(QStringLiteral("category"));
                w.writeAttribute(QStringLiteral("name"), v.category);
                open = v.category;
                any = true;
            }
            w.writeStartElement(QStringLiteral("variable"));
            w.writeAttribute(QStringLiteral("name"), v.name);
            w.writeAttribute(QStringLiteral("type"), v.type.isEmpty() ? QStringLiteral("string") : v.type);
            w.writeCharacters(v.value);
            w.writeEndElement();
        }
        w.writeEndElement();
        w.writeEndElement();
    }

    for (const auto* band : {&layout.reportTitle, &layout.pageHeader, &layout.columnHeader})
        if (*band) writeBand(w, **band);
    for (const Group& g : layout.groups) {
        w.writeStartElement(QStringLiteral("group"));
        w.writeAttribute(QStringLiteral("condition"), g.condition);
        if (g.newPageAfterFooter) w.writeAttribute(QStringLiteral("new-page"), QStringLiteral("1"));
        if (!g.caption.isEmpty()) w.writeAttribute(QStringLiteral("caption"), g.caption);
        if (g.header) writeBand(w, *g.header);
        if (g.footer) writeBand(w, *g.footer);
        w.writeEndElement();
    }
    for (const auto* band : {&layout.masterData, &layout.masterFooter, &layout.reportSummary, &layout.pageFooter})
        if (*band) writeBand(w, **band);
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

void saveLayout(const Layout& layout, const QString& fileName)
{
    QSaveFile file(fileName);
    // Unbuffered: the count write() returns is what reached the file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw Error(QStringLiteral("Súbor zostavy %1 sa nedá zapísať: %2").arg(fileName, file.errorString()));
    // A short write (a full disk, a size limit) is no error to QSaveFile, and
    // commit() would put the cut file in place: the count tells.
    const QByteArray bytes = serializeLayout(layout);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        file.commit();
        throw Error(QStringLiteral("Súbor zostavy %1 sa nedá zapísať celý: %2").arg(fileName, reason));
    }
    if (!file.commit())
        throw Error(QStringLiteral("Súbor zostavy %1 sa nedá zapísať: %2").arg(fileName, file.errorString()));
}

}  // namespace report
