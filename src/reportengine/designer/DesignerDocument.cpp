#include "reportengine/designer/DesignerDocument.h"

#include "reportengine/ReportError.h"
#include "reportengine/ReportFile.h"
#include "reportengine/ReportFunctions.h"

#include <QFile>
#include <QUndoCommand>

#include <algorithm>
#include <cmath>

namespace report {

// One step of the history: the whole layout before and after. Layouts are
// small, and a copy cannot get out of step with the edit it undoes.
class LayoutEditCommand : public QUndoCommand {
public:
    LayoutEditCommand(DesignerDocument* doc, const QString& text, Layout before, Layout after, int mergeId)
        : QUndoCommand(text), m_doc(doc), m_before(std::move(before)), m_after(std::move(after)), m_id(mergeId)
    {
    }
    void redo() override { m_doc->setLayoutQuietly(m_after); }
    void undo() override { m_doc->setLayoutQuietly(m_before); }
    int id() const override { return m_id; }
    // Steps of one kind in a row (the arrow keys moving the same objects) are one step.
    bool mergeWith(const QUndoCommand* other) override
    {
        m_after = static_cast<const LayoutEditCommand*>(other)->m_after;
        return true;
    }

private:
    DesignerDocument* m_doc;
    Layout m_before, m_after;
    int m_id;
};

namespace {

Band newBand(BandKind kind, double height)
{
    Band b;
    b.kind = kind;
    b.height = height;
    return b;
}

std::optional<Band> Layout::*slotOf(BandKind kind)
{
    switch (kind) {
    case BandKind::ReportTitle: return &Layout::reportTitle;
    case BandKind::PageHeader: return &Layout::pageHeader;
    case BandKind::ColumnHeader: return &Layout::columnHeader;
    case BandKind::MasterData: return &Layout::masterData;
    case BandKind::MasterFooter: return &Layout::masterFooter;
    case BandKind::ReportSummary: return &Layout::reportSummary;
    case BandKind::PageFooter: return &Layout::pageFooter;
    case BandKind::GroupHeader:
    case BandKind::GroupFooter: break;
    }
    return nullptr;
}

}  // namespace

DesignerDocument::DesignerDocument(QObject* parent) : QObject(parent)
{
    connect(&m_undo, &QUndoStack::cleanChanged, this, &DesignerDocument::changed);
}

void DesignerDocument::startNew(const QString& fileName)
{
    Layout l;
    l.pageHeader = newBand(BandKind::PageHeader, 10);
    l.masterData = newBand(BandKind::MasterData, 5);
    l.pageFooter = newBand(BandKind::PageFooter, 6);
    m_undo.clear();
    m_fileName = fileName;
    m_readOnly = false;
    m_new = true;  // no file yet
    setLayoutQuietly(l);
}

void DesignerDocument::open(const QString& fileName, const QString& saveName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("Súbor zostavy %1 sa nedá otvoriť: %2").arg(fileName, file.errorString()));
    const QByteArray xml = file.readAll();
    const bool newer = layoutFormatVersion(xml) > kLayoutFormatVersion;
    Layout l = newer ? parseNewerLayout(xml, fileName) : parseLayout(xml, fileName);
    m_undo.clear();
    m_fileName = saveName.isEmpty() ? fileName : saveName;
    m_readOnly = newer;
    m_new = false;
    setLayoutQuietly(l);
}

void DesignerDocument::save()
{
    if (m_readOnly)
        throw Error(QStringLiteral("Zostava %1 je z novšej verzie programu a nedá sa uložiť.").arg(m_fileName));
    saveLayout(m_layout, m_fileName);
    m_new = false;
    m_undo.setClean();
    emit changed();
}

void DesignerDocument::saveAs(const QString& fileName)
{
    saveLayout(m_layout, fileName);
    m_fileName = fileName;
    m_readOnly = false;
    m_new = false;
    m_undo.setClean();
    emit changed();
}

std::vector<BandRef> DesignerDocument::bands() const
{
    std::vector<BandRef> out;
    const auto fixed = [&](BandKind kind) {
        if (m_layout.*slotOf(kind))
            out.push_back({kind, -1});
    };
    fixed(BandKind::ReportTitle);
    fixed(BandKind::PageHeader);
    fixed(BandKind::ColumnHeader);
    const int groups = int(m_layout.groups.size());
    for (int g = 0; g < groups; ++g)
        if (m_layout.groups[size_t(g)].header)
            out.push_back({BandKind::GroupHeader, g});
    fixed(BandKind::MasterData);
    for (int g = groups - 1; g >= 0; --g)
        if (m_layout.groups[size_t(g)].footer)
            out.push_back({BandKind::GroupFooter, g});
    fixed(BandKind::MasterFooter);
    fixed(BandKind::ReportSummary);
    fixed(BandKind::PageFooter);
    return out;
}

Band* DesignerDocument::bandOf(Layout& layout, const BandRef& ref) const
{
    if (ref.kind == BandKind::GroupHeader || ref.kind == BandKind::GroupFooter) {
        if (ref.group < 0 || ref.group >= int(layout.groups.size()))
            return nullptr;
        auto& slot = ref.kind == BandKind::GroupHeader ? layout.groups[size_t(ref.group)].header
                                                       : layout.groups[size_t(ref.group)].footer;
        return slot ? &*slot : nullptr;
    }
    auto& slot = layout.*slotOf(ref.kind);
    return slot ? &*slot : nullptr;
}

ReportObject* DesignerDocument::objectOf(Layout& layout, const ObjectRef& ref) const
{
    Band* b = bandOf(layout, ref.band);
    if (!b || ref.index < 0 || ref.index >= int(b->objects.size()))
        return nullptr;
    return &b->objects[size_t(ref.index)];
}

const Band* DesignerDocument::band(const BandRef& ref) const
{
    return bandOf(const_cast<Layout&>(m_layout), ref);
}

const ReportObject* DesignerDocument::object(const ObjectRef& ref) const
{
    return objectOf(const_cast<Layout&>(m_layout), ref);
}

QString DesignerDocument::bandCaption(const BandRef& ref)
{
    switch (ref.kind) {
    case BandKind::ReportTitle: return QStringLiteral("Hlavička zostavy");
    case BandKind::PageHeader: return QStringLiteral("Hlavička strany");
    case BandKind::ColumnHeader: return QStringLiteral("Hlavička stĺpcov");
    case BandKind::MasterData: return QStringLiteral("Údaje");
    case BandKind::GroupHeader: return QStringLiteral("Hlavička skupiny %1").arg(ref.group + 1);
    case BandKind::GroupFooter: return QStringLiteral("Päta skupiny %1").arg(ref.group + 1);
    case BandKind::MasterFooter: return QStringLiteral("Päta údajov");
    case BandKind::ReportSummary: return QStringLiteral("Súhrn zostavy");
    case BandKind::PageFooter: return QStringLiteral("Päta strany");
    }
    return {};
}

QStringList DesignerDocument::fieldExpressions() const
{
    QStringList out;
    for (const QString& f : m_fields)
        out << QStringLiteral("[%1.\"%2\"]").arg(m_layout.masterAlias, f);
    return out;
}

QStringList DesignerDocument::variableExpressions() const
{
    QStringList out;
    for (const VariableDef& v : m_layout.variables)
        out << QStringLiteral("[%1]").arg(v.name);
    for (const char* builtIn : {"PAGE#", "TOTALPAGES#", "LINE#", "DATE", "TIME", "REPORTTITLE"})
        out << QStringLiteral("[%1]").arg(QLatin1String(builtIn));
    return out;
}

void DesignerDocument::setLayoutQuietly(const Layout& layout)
{
    m_layout = layout;
    emit changed();
}

void DesignerDocument::edit(const QString& text, const std::function<void(Layout&)>& change, int mergeId)
{
    if (m_readOnly)
        return;
    Layout after = m_layout;
    change(after);
    if (after == m_layout)
        return;
    m_undo.push(new LayoutEditCommand(this, text, m_layout, std::move(after), mergeId));
}

void DesignerDocument::addBand(BandKind kind)
{
    if (!slotOf(kind))
        return;
    edit(QStringLiteral("Pridať pás"), [&](Layout& l) {
        auto& slot = l.*slotOf(kind);
        if (!slot)
            slot = newBand(kind, kind == BandKind::MasterData ? 5 : 8);
    });
}

int DesignerDocument::addGroup(const QString& condition)
{
    edit(QStringLiteral("Pridať skupinu"), [&](Layout& l) {
        Group g;
        g.condition = condition;
        g.header = newBand(BandKind::GroupHeader, 7);
        g.footer = newBand(BandKind::GroupFooter, 7);
        l.groups.push_back(std::move(g));
    });
    return int(m_layout.groups.size()) - 1;
}

void DesignerDocument::removeBand(const BandRef& ref)
{
    edit(QStringLiteral("Odstrániť pás"), [&](Layout& l) {
        if (ref.kind == BandKind::GroupHeader || ref.kind == BandKind::GroupFooter) {
            if (ref.group < 0 || ref.group >= int(l.groups.size()))
                return;
            Group& g = l.groups[size_t(ref.group)];
            (ref.kind == BandKind::GroupHeader ? g.header : g.footer).reset();
            if (!g.header && !g.footer)
                l.groups.erase(l.groups.begin() + ref.group);
            return;
        }
        (l.*slotOf(ref.kind)).reset();
    });
}

void DesignerDocument::moveGroup(int from, int to)
{
    edit(QStringLiteral("Presunúť skupinu"), [&](Layout& l) {
        const int n = int(l.groups.size());
        if (from < 0 || from >= n || to < 0 || to >= n || from == to)
            return;
        Group g = std::move(l.groups[size_t(from)]);
        l.groups.erase(l.groups.begin() + from);
        l.groups.insert(l.groups.begin() + to, std::move(g));
    });
}

void DesignerDocument::setBandHeight(const BandRef& ref, double height)
{
    edit(QStringLiteral("Výška pásu"), [&](Layout& l) {
        if (Band* b = bandOf(l, ref))
            b->height = std::max(1.0, height);
    });
}

void DesignerDocument::setGroupCondition(int group, const QString& condition)
{
    edit(QStringLiteral("Podmienka skupiny"), [&](Layout& l) {
        if (group >= 0 && group < int(l.groups.size()))
            l.groups[size_t(group)].condition = condition;
    });
}

void DesignerDocument::setGroupNewPage(int group, bool newPage)
{
    edit(QStringLiteral("Nová strana po skupine"), [&](Layout& l) {
        if (group >= 0 && group < int(l.groups.size()))
            l.groups[size_t(group)].newPageAfterFooter = newPage;
    });
}

void DesignerDocument::setPage(const PageSetup& page)
{
    if (page.printableWidth() <= 1 || page.printableHeight() <= 1)
        throw Error(QStringLiteral("Okraje stránky nenechávajú miesto na tlač."));
    edit(QStringLiteral("Nastavenie stránky"), [&](Layout& l) { l.page = page; });
}

void DesignerDocument::setTitle(const QString& title)
{
    edit(QStringLiteral("Titulok zostavy"), [&](Layout& l) { l.title = title; });
}

void DesignerDocument::setVariables(const std::vector<VariableDef>& variables)
{
    QStringList names;
    for (const VariableDef& v : variables) {
        if (v.name.trimmed().isEmpty())
            throw Error(QStringLiteral("Premenná musí mať meno."));
        if (names.contains(v.name.trimmed(), Qt::CaseInsensitive))
            throw Error(QStringLiteral("Premenná %1 je dvakrát.").arg(v.name.trimmed()));
        if (v.type != u"string" && v.type != u"integer")
            throw Error(QStringLiteral("Premenná %1 má neznámy typ \"%2\".").arg(v.name, v.type));
        names << v.name.trimmed();
    }
    edit(QStringLiteral("Premenné zostavy"), [&](Layout& l) {
        l.variables = variables;
        for (VariableDef& v : l.variables)
            v.name = v.name.trimmed();
    });
}

std::vector<DesignerDocument::FunctionEntry> DesignerDocument::functionEntries()
{
    std::vector<FunctionEntry> out;
    for (const Function& f : FunctionRegistry::global().functions()) {
        // The description is "syntax/what it does"; the syntax is the call.
        const qsizetype slash = f.description.indexOf(u'/');
        const QString syntax = slash > 0 ? f.description.left(slash).trimmed() : f.name;
        out.push_back({u'[' + syntax + u']', slash > 0 ? f.description.mid(slash + 1).trimmed() : f.description});
    }
    return out;
}

void DesignerDocument::setMasterAlias(const QString& alias)
{
    edit(QStringLiteral("Dáta pásu údajov"), [&](Layout& l) { l.masterAlias = alias; });
}

int DesignerDocument::addObject(const BandRef& ref, const ReportObject& object)
{
    int index = -1;
    edit(QStringLiteral("Vložiť objekt"), [&](Layout& l) {
        if (Band* b = bandOf(l, ref)) {
            b->objects.push_back(object);
            index = int(b->objects.size()) - 1;
        }
    });
    return index;
}

void DesignerDocument::setObject(const ObjectRef& ref, const ReportObject& object, const QString& text)
{
    edit(text, [&](Layout& l) {
        if (ReportObject* o = objectOf(l, ref))
            *o = object;
    });
}

void DesignerDocument::removeObjects(std::vector<ObjectRef> refs)
{
    // Highest index first, so the others keep their place.
    std::sort(refs.begin(), refs.end(), [](const ObjectRef& a, const ObjectRef& b) { return a.index > b.index; });
    edit(QStringLiteral("Odstrániť"), [&](Layout& l) {
        for (const ObjectRef& r : refs) {
            Band* b = bandOf(l, r.band);
            if (b && r.index >= 0 && r.index < int(b->objects.size()))
                b->objects.erase(b->objects.begin() + r.index);
        }
    });
}

void DesignerDocument::moveObjects(const std::vector<ObjectRef>& refs, double dx, double dy, bool merge)
{
    edit(QStringLiteral("Presunúť"), [&](Layout& l) {
        for (const ObjectRef& r : refs) {
            ReportObject* o = objectOf(l, r);
            if (!o)
                continue;
            o->x = std::max(0.0, o->x + dx);
            o->y = std::clamp(o->y + dy, 0.0, std::max(0.0, bandOf(l, r.band)->height - std::max(0.0, o->height)));
        }
    }, merge ? 1 : -1);
}

void DesignerDocument::resizeObject(const ObjectRef& ref, double width, double height, bool merge)
{
    edit(QStringLiteral("Zmeniť veľkosť"), [&](Layout& l) {
        ReportObject* o = objectOf(l, ref);
        if (!o)
            return;
        // A line may be flat in one direction; other objects keep a minimum.
        const double min = o->kind == ObjectKind::Line ? 0.0 : 1.0;
        o->width = std::max(min, width);
        o->height = std::max(min, height);
    }, merge ? 2 : -1);
}

void DesignerDocument::alignObjects(const std::vector<ObjectRef>& refs, AlignEdge edge)
{
    if (refs.size() < 2)
        return;
    const ReportObject* first = object(refs.front());
    if (!first)
        return;
    const ReportObject anchor = *first;
    edit(QStringLiteral("Zarovnať"), [&](Layout& l) {
        for (const ObjectRef& r : refs) {
            ReportObject* found = objectOf(l, r);
            if (!found)
                continue;
            ReportObject& o = *found;
            switch (edge) {
            case AlignEdge::Left: o.x = anchor.x; break;
            case AlignEdge::Right: o.x = anchor.x + anchor.width - o.width; break;
            case AlignEdge::Top: o.y = anchor.y; break;
            case AlignEdge::Bottom: o.y = anchor.y + anchor.height - o.height; break;
            case AlignEdge::CenterHorizontally: o.x = anchor.x + (anchor.width - o.width) / 2; break;
            }
            o.x = std::max(0.0, o.x);
            o.y = std::max(0.0, o.y);
        }
    });
}

double DesignerDocument::snap(double mm, double grid)
{
    return grid > 0 ? std::round(mm / grid) * grid : mm;
}

}  // namespace report
