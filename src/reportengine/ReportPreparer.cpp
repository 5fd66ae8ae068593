// Preparation: a layout and its data become pages of positioned items.
// It runs twice: the first pass counts the pages and records which rows each
// page holds, so the second can print "page N of M" and page totals on any page.
// Group totals need no pass of their own: the group's rows are known from the
// data before layout starts.

#include "reportengine/Report.h"

#include "reportengine/ReportError.h"
#include "reportengine/ReportExpression.h"
#include "reportengine/ReportFormat.h"
#include "reportengine/PagePainter.h"

#include <QFontMetricsF>
#include <QImage>
#include <QTextLayout>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>

namespace report {

namespace {

// Text is measured at this resolution; positions are kept in millimetres.
constexpr double kMeasureDpi = 720.0;
constexpr double kMmPerInch = 25.4;

int textFlags(const ReportObject& o)
{
    int flags = 0;
    switch (o.hAlign) {
    case HAlign::Left: flags |= Qt::AlignLeft; break;
    case HAlign::Center: flags |= Qt::AlignHCenter; break;
    case HAlign::Right: flags |= Qt::AlignRight; break;
    case HAlign::Justify: flags |= Qt::AlignJustify; break;
    }
    if (o.wordWrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

// Measures text heights in millimetres, one metrics object per font.
class Measurer {
public:
    Measurer() : m_device(1, 1, QImage::Format_RGB32)
    {
        const int dpm = int(std::lround(kMeasureDpi / kMmPerInch * 1000.0));
        m_device.setDotsPerMeterX(dpm);
        m_device.setDotsPerMeterY(dpm);
    }

    double textHeight(const ReportObject& o, const QString& text)
    {
        Metrics& m = metrics(o.font);
        const bool multiLine = text.contains(u'\n');
        double px = m.lineHeight;
        if (o.wordWrap || multiLine) {
            const double widthPx = std::max(0.0, o.width - 2 * kTextInsetX) * kMeasureDpi / kMmPerInch;
            if (multiLine || width(m, text) > widthPx)
                px = m.fm.boundingRect(QRectF(0, 0, std::max(widthPx, 1.0), 1e7), textFlags(o), text).height();
        }
        return px * kMmPerInch / kMeasureDpi + 2 * kTextInsetY;
    }

    // How much of `text`, from its start, fits into `heightMm` of the object
    // as drawn (its width, font and word wrap): whole lines only. At least
    // one line when `atLeastOneLine`, so a text continued page after page
    // always gets shorter.
    qsizetype fittingLength(const ReportObject& o, const QString& text, double heightMm, bool atLeastOneLine)
    {
        Metrics& m = metrics(o.font);
        const double limitPx = (heightMm - 2 * kTextInsetY) * kMeasureDpi / kMmPerInch;
        const double widthPx = std::max(1.0, (o.width - 2 * kTextInsetX) * kMeasureDpi / kMmPerInch);
        QTextOption option;
        option.setWrapMode(o.wordWrap ? QTextOption::WordWrap : QTextOption::NoWrap);
        double used = 0;
        qsizetype start = 0;
        for (const QString& paragraph : text.split(u'\n')) {
            QTextLayout layout(paragraph, m.font, &m_device);
            layout.setTextOption(option);
            layout.beginLayout();
            for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                line.setLineWidth(widthPx);
                const bool first = start == 0 && line.textStart() == 0;
                if (used + line.height() > limitPx + 0.01 && !(first && atLeastOneLine)) {
                    layout.endLayout();
                    return start + line.textStart();
                }
                used += line.height();
            }
            layout.endLayout();
            start += paragraph.size() + 1;
        }
        return text.size();
    }

private:
    struct Metrics {
        QFont font;
        QFontMetricsF fm;
        double lineHeight;
        QHash<QString, double> widths;  // texts repeat (names, language pairs)
    };

    static double width(Metrics& m, const QString& text)
    {
        if (auto it = m.widths.constFind(text); it != m.widths.constEnd())
            return *it;
        if (m.widths.size() > 50000)
            m.widths.clear();
        const double w = m.fm.horizontalAdvance(text);
        m.widths.insert(text, w);
        return w;
    }

    Metrics& metrics(const FontStyle& style)
    {
        for (auto& entry : m_metrics)
            if (entry.first == style)
                return *entry.second;
        const QFont font = fontFor(style);
        QFontMetricsF fm(font, &m_device);
        const double line = fm.height();
        m_metrics.emplace_back(style, std::make_unique<Metrics>(Metrics{font, fm, line, {}}));
        return *m_metrics.back().second;
    }

    QImage m_device;
    std::vector<std::pair<FontStyle, std::unique_ptr<Metrics>>> m_metrics;
};

struct CompiledObject {
    const ReportObject* object = nullptr;
    int tableColumn = -1;  // its column in the table exports (master band only)
    TextTemplate text;
    bool constant = true;
    QString constantText;
};

struct CompiledBand {
    const Band* band = nullptr;
    int groupLevel = -1;  // for group headers and footers
    bool pageDependent = false;  // shows PAGE or TOTALPAGES: measured again in the final pass
    std::vector<CompiledObject> objects;
    // A group header's text that shows the group's key (the topmost, then
    // leftmost text that is not constant); -1 when it has none.
    int keyObject = -1;
};

enum class Slot { Field, Variable, Page, TotalPages, Line, LineThrough, Date, Time, Title };

struct SlotDef {
    Slot kind = Slot::Field;
    const Dataset* dataset = nullptr;
    int index = 0;  // column or variable
};

struct Range {
    int begin = 0, end = 0;
};

class Preparer final : public EvalContext {
public:
    explicit Preparer(const Report& report) : m_report(report) {}

    PreparedReport run()
    {
        PreparedReport out;
        out.layout = std::make_shared<const Layout>(m_report.layout());
        m_layout = out.layout.get();
        out.title = m_report.title();
        m_now = m_report.now().isValid() ? m_report.now() : QDateTime::currentDateTime();
        m_master = m_layout->masterData ? m_report.dataset(m_layout->masterAlias) : nullptr;
        if (m_layout->masterData && !m_master)
            throw Error(QStringLiteral("Zostava čaká dáta \"%1\", ale žiadne nedostala.").arg(m_layout->masterAlias));
        m_rowCount = m_master ? m_master->rowCount() : 0;

        compileAll();
        computeGroups();

        // Pass 1 counts pages; pass 2 prints with the totals known.
        m_final = false;
        layoutPass();
        m_firstPassPages = m_pageRows;
        m_totalPages = int(m_pages.size());
        m_final = true;
        m_collectRows = true;
        layoutPass();
        m_totalPages = int(m_pages.size());

        out.pages = std::move(m_pages);
        out.rows = std::move(m_tableRows);
        buildColumns(out);
        for (const auto& band : m_compiled)
            for (const auto& co : band.objects)
                if (co.object->kind == ObjectKind::Image && !co.object->image.isEmpty())
                    out.images.insert(co.object, QImage::fromData(co.object->image));
        return out;
    }

    // --- EvalContext ------------------------------------------------------

    int bindName(const QString& alias, const QString& name) override
    {
        SlotDef def;
        if (!alias.isEmpty()) {
            const Dataset* ds = m_report.dataset(alias);
            if (!ds)
                throw Error(QStringLiteral("Neznáme dáta \"%1\" v poli %1.\"%2\".").arg(quoted(alias), quoted(name)));
            const int column = ds->columnIndex(name);
            if (column < 0)
                throw Error(QStringLiteral("Neznáme pole %1.\"%2\".").arg(quoted(alias), quoted(name)));
            def.dataset = ds;
            def.index = column;
            return addSlot(def);
        }
        const auto& vars = m_report.variables();
        for (size_t i = 0; i < vars.size(); ++i) {
            if (vars[i].name.compare(name, Qt::CaseInsensitive) == 0) {
                def.kind = Slot::Variable;
                def.index = int(i);
                return addSlot(def);
            }
        }
        static const struct {
            const char* name;
            Slot kind;
        } builtins[] = {{"PAGE", Slot::Page},         {"PAGE#", Slot::Page},          {"TOTALPAGES", Slot::TotalPages},
                        {"TOTALPAGES#", Slot::TotalPages}, {"LINE", Slot::Line},      {"LINE#", Slot::Line},
                        {"LINETHROUGH", Slot::LineThrough}, {"LINETHROUGH#", Slot::LineThrough},
                        {"DATE", Slot::Date},         {"TIME", Slot::Time},           {"REPORTTITLE", Slot::Title},
                        {"TITLE", Slot::Title}};
        for (const auto& b : builtins) {
            if (name.compare(QLatin1String(b.name), Qt::CaseInsensitive) == 0) {
                def.kind = b.kind;
                if ((b.kind == Slot::Page || b.kind == Slot::TotalPages) && m_compiling)
                    m_compiling->pageDependent = true;
                return addSlot(def);
            }
        }
        if (m_master) {
            const int column = m_master->columnIndex(name);
            if (column >= 0) {
                def.dataset = m_master;
                def.index = column;
                return addSlot(def);
            }
        }
        throw Error(QStringLiteral("Neznáme pole alebo premenná \"%1\".").arg(quoted(name)));
    }

    Value nameValue(int slot) override
    {
        const SlotDef& def = m_slots[size_t(slot)];
        switch (def.kind) {
        case Slot::Field:
            return def.dataset == m_master ? (m_row >= 0 && m_row < m_rowCount ? m_master->value(m_row, def.index)
                                                                                 : Value())
                                           : def.dataset->value(0, def.index);
        case Slot::Variable: return m_report.variables()[size_t(def.index)].value;
        case Slot::Page: return Value::integer(int(m_pages.size()));
        case Slot::TotalPages: return Value::integer(m_totalPages);
        case Slot::Line: return Value::integer(m_row - m_lineBase + 1);
        case Slot::LineThrough: return Value::integer(m_row + 1);
        case Slot::Date: return Value::date(m_now.date());
        case Slot::Time: return Value::text(m_now.time().toString(QStringLiteral("HH:mm")));
        case Slot::Title: return Value::text(m_report.title());
        }
        return {};
    }

    Language language() const override { return m_layout->language; }

    const Function* findFunction(const QString& name) const override
    {
        if (const Function* f = m_report.functions().find(name))
            return f;
        if (const Function* f = FunctionRegistry::global().find(name))
            return f;
        return FunctionRegistry::builtins().find(name);
    }

    Value aggregate(AggregateKind kind, const Node* argument, const QString& scope, const Node* node) override
    {
        const Range range = aggregateRange(scope);
        const auto key = std::make_tuple(node, range.begin, range.end);
        if (auto it = m_aggregateCache.find(key); it != m_aggregateCache.end())
            return it->second;
        const int savedRow = m_row;
        Value result;
        qint64 count = 0;
        Decimal sum;
        double fsum = 0;
        bool floating = false;
        for (int r = range.begin; r < range.end; ++r) {
            m_row = r;
            if (!argument) {
                ++count;
                continue;
            }
            const Value v = Expression::evaluateNode(argument, *this);
            if (v.isNull())
                continue;
            ++count;
            if (kind == AggregateKind::Sum || kind == AggregateKind::Avg) {
                if (v.kind() == Value::Kind::Float || floating) {
                    if (!floating) fsum = sum.toDouble();
                    floating = true;
                    fsum += v.toDouble();
                } else {
                    sum = sum + v.toDecimal();
                }
            } else if (kind == AggregateKind::Min || kind == AggregateKind::Max) {
                if (result.isNull() || (kind == AggregateKind::Min ? Value::compare(v, result) < 0
                                                                   : Value::compare(v, result) > 0))
                    result = v;
            }
        }
        m_row = savedRow;
        switch (kind) {
        case AggregateKind::Count: result = Value::integer(count); break;
        case AggregateKind::Sum: result = floating ? Value::real(fsum) : Value::number(sum); break;
        case AggregateKind::Avg:
            if (count == 0) result = Value();
            else if (floating) result = Value::real(fsum / double(count));
            else result = Value::number(sum / Decimal::fromInt(count));
            break;
        case AggregateKind::Min:
        case AggregateKind::Max: break;
        }
        m_aggregateCache.emplace(key, result);
        return result;
    }

private:
    int addSlot(const SlotDef& def)
    {
        m_slots.push_back(def);
        return int(m_slots.size()) - 1;
    }

    Range aggregateRange(const QString& scope)
    {
        QString s = scope;
        if (s.isEmpty()) {
            switch (m_bandKind) {
            case BandKind::GroupHeader:
            case BandKind::GroupFooter: s = QStringLiteral("GROUP"); break;
            case BandKind::PageHeader:
            case BandKind::PageFooter: s = QStringLiteral("PAGE"); break;
            default: s = QStringLiteral("REPORT"); break;
            }
        }
        if (s == u"GROUP") {
            int level = m_bandLevel >= 0 ? m_bandLevel : int(m_groups.size()) - 1;
            if (level < 0)
                return {0, m_rowCount};
            return m_groupRange[size_t(level)];
        }
        if (s == u"PAGE") {
            const size_t page = m_pages.empty() ? 0 : m_pages.size() - 1;
            // The final pass knows every page's rows from the first.
            if (m_final && page < m_firstPassPages.size())
                return m_firstPassPages[page];
            if (page < m_pageRows.size())
                return {m_pageRows[page].begin, std::max(m_pageRows[page].begin, m_row + (m_rowPrinted ? 1 : 0))};
            return {0, 0};
        }
        return {0, m_rowCount};
    }

    CompiledBand compileBand(const Band& band, int level)
    {
        CompiledBand cb;
        cb.band = &band;
        cb.groupLevel = level;
        m_compiling = &cb;
        for (const ReportObject& o : band.objects) {
            CompiledObject co;
            co.object = &o;
            if (o.kind == ObjectKind::Text) {
                try {
                    co.text = TextTemplate::parse(o.text);
                    co.text.bind(*this);
                } catch (const Error& e) {
                    // An unnamed object is found by its place on the band.
                    const QString object = o.name.isEmpty()
                                               ? QStringLiteral("text na x = %1 mm, y = %2 mm")
                                                     .arg(QString::number(o.x).replace(u'.', u','),
                                                          QString::number(o.y).replace(u'.', u','))
                                               : QStringLiteral("objekt ") + o.name;
                    throw Error(QStringLiteral("%1 (pás %2, %3)").arg(e.message(), bandKindName(band.kind), object));
                }
                co.constant = co.text.isConstant();
                if (co.constant)
                    co.constantText = co.text.evaluate(*this, o.format);
            }
            cb.objects.push_back(std::move(co));
        }
        m_compiling = nullptr;
        if (band.kind == BandKind::GroupHeader) {
            for (size_t i = 0; i < cb.objects.size(); ++i) {
                const CompiledObject& co = cb.objects[i];
                if (co.object->kind != ObjectKind::Text || co.constant)
                    continue;
                const ReportObject* best = cb.keyObject < 0 ? nullptr : cb.objects[size_t(cb.keyObject)].object;
                if (!best || std::make_pair(co.object->y, co.object->x) < std::make_pair(best->y, best->x))
                    cb.keyObject = int(i);
            }
        }
        return cb;
    }

    void compileAll()
    {
        m_compiled.reserve(32);  // the pointers below stay valid
        auto compile = [this](const std::optional<Band>& band, int level = -1) -> const CompiledBand* {
            if (!band)
                return nullptr;
            m_compiled.push_back(compileBand(*band, level));
            return &m_compiled.back();
        };
        const Layout& l = *m_layout;
        m_title = compile(l.reportTitle);
        m_pageHeader = compile(l.pageHeader);
        m_columnHeader = compile(l.columnHeader);
        m_data = compile(l.masterData);
        if (m_data) {
            CompiledBand& data = m_compiled.back();
            std::vector<CompiledObject*> texts;
            for (CompiledObject& co : data.objects)
                if (co.object->kind == ObjectKind::Text)
                    texts.push_back(&co);
            std::stable_sort(texts.begin(), texts.end(), [](const CompiledObject* a, const CompiledObject* b) {
                return a->object->x < b->object->x;
            });
            for (size_t i = 0; i < texts.size(); ++i) {
                texts[i]->tableColumn = int(i);
                m_tableObjects.push_back(texts[i]);
            }
        }
        m_masterFooter = compile(l.masterFooter);
        m_summary = compile(l.reportSummary);
        m_pageFooter = compile(l.pageFooter);
        if (l.groups.size() > 8)
            throw Error(QStringLiteral("Zostava má viac ako 8 úrovní skupín."));
        for (size_t g = 0; g < l.groups.size(); ++g) {
            GroupState gs;
            try {
                gs.condition = Expression::parse(l.groups[g].condition);
                gs.condition.bind(*this);
            } catch (const Error& e) {
                throw Error(QStringLiteral("%1 (podmienka skupiny %2)").arg(e.message()).arg(g + 1));
            }
            gs.header = compile(l.groups[g].header, int(g));
            gs.footer = compile(l.groups[g].footer, int(g));
            gs.newPage = l.groups[g].newPageAfterFooter;
            m_groups.push_back(std::move(gs));
        }
        m_groupRange.assign(m_groups.size(), Range{0, 0});
    }

    // For each row, the outermost group level that starts there (0 at row 0;
    // the number of groups when none does), and each level's next start.
    void computeGroups()
    {
        const int levels = int(m_groups.size());
        m_breakLevel.assign(size_t(m_rowCount), levels);
        if (levels == 0)
            return;
        std::vector<Value> previous(static_cast<size_t>(levels));
        for (int r = 0; r < m_rowCount; ++r) {
            m_row = r;
            for (int g = 0; g < levels; ++g) {
                Value key = m_groups[size_t(g)].condition.evaluate(*this);
                if ((r == 0 || !(key == previous[size_t(g)])) && m_breakLevel[size_t(r)] == levels)
                    m_breakLevel[size_t(r)] = g;
                previous[size_t(g)] = std::move(key);
            }
            if (r == 0)
                m_breakLevel[0] = 0;
        }
        m_row = -1;
        // nextStart[g][r]: the first row after r where level g (or an outer one) starts again.
        m_nextStart.assign(size_t(levels), std::vector<int>(size_t(m_rowCount)));
        for (int g = 0; g < levels; ++g) {
            int next = m_rowCount;
            for (int r = m_rowCount - 1; r >= 0; --r) {
                m_nextStart[size_t(g)][size_t(r)] = next;
                if (m_breakLevel[size_t(r)] <= g)
                    next = r;
            }
        }
    }

    // --- layout -------------------------------------------------------------

    double pageBottom() const
    {
        const PageSetup& p = m_layout->page;
        return p.pageHeight() - p.marginBottom - (m_pageFooter ? m_pageFooter->band->height : 0);
    }

    void startPage()
    {
        const PageSetup& p = m_layout->page;
        Page page;
        page.size = QSizeF(p.pageWidth(), p.pageHeight());
        m_pages.push_back(std::move(page));
        m_pageRows.push_back({m_row < 0 ? 0 : m_row + (m_rowPrinted ? 1 : 0), 0});
        m_y = p.marginTop;
        m_pageHasBody = false;
        const bool first = m_pages.size() == 1;
        if (first && m_title)
            emitBand(*m_title, BandKind::ReportTitle, -1);
        if (m_pageHeader && (!first || m_layout->pageHeaderOnFirstPage))
            emitBand(*m_pageHeader, BandKind::PageHeader, -1);
        if (m_columnHeader && m_inMaster)
            emitBand(*m_columnHeader, BandKind::ColumnHeader, -1);
    }

    void endPage(bool last)
    {
        m_pageRows.back().end = std::max(m_pageRows.back().begin, m_row + (m_rowPrinted ? 1 : 0));
        if (m_pageFooter && (!last || m_layout->pageFooterOnLastPage)) {
            const PageSetup& p = m_layout->page;
            m_y = p.pageHeight() - p.marginBottom - m_pageFooter->band->height;
            emitBand(*m_pageFooter, BandKind::PageFooter, -1);
        }
    }

    void newPage()
    {
        endPage(false);
        startPage();
    }

    // Places a body band, moving it whole to the next page when it does not
    // fit; `reserve` keeps that much room below it (a group header stays with
    // its first row).
    void placeBand(const CompiledBand& band, BandKind kind, int level, double reserve = 0)
    {
        m_bandKind = kind;
        m_bandLevel = level;
        std::vector<PageItem> items;
        const double height = measureBand(band, items);
        if (m_pageHasBody && m_y + height + reserve > pageBottom() + 1e-9) {
            newPage();
            m_bandKind = kind;
            m_bandLevel = level;
            // Page-dependent values (PAGE, page totals) come from the page the band lands on.
            items.clear();
            measureBand(band, items);
        }
        flushAcrossPages(items, height);
        m_pageHasBody = true;
    }

    // Flushes a body band; one taller than the rest of the page (a long text
    // that stretches) continues on the next pages: what crosses the page's
    // foot is cut there, a text after its last whole line.
    void flushAcrossPages(std::vector<PageItem>& items, double height)
    {
        for (;;) {
            const double room = pageBottom() - m_y;
            // A page with less than a millimetre left cannot take a part.
            if (height <= room + 1e-9 || room < 1) {
                flushItems(items, height);
                return;
            }
            const bool freshPage = !m_pageHasBody;
            std::vector<PageItem> here, rest;
            double restHeight = height - room;
            for (PageItem& item : items) {
                const ReportObject& o = *item.object;
                const double top = std::min(item.rect.top(), item.rect.bottom());
                const double bottom = std::max(item.rect.top(), item.rect.bottom());
                if (bottom <= room + 1e-9 || (o.kind == ObjectKind::Line && top < room)) {
                    here.push_back(std::move(item));
                    continue;
                }
                if (top >= room - 1e-9) {
                    item.rect.translate(0, -room);
                    restHeight = std::max(restHeight, item.rect.bottom());
                    rest.push_back(std::move(item));
                    continue;
                }
                PageItem tail = item;
                tail.rect = QRectF(item.rect.left(), 0, item.rect.width(), bottom - room);
                item.rect.setHeight(room - top);
                if (o.kind == ObjectKind::Text && !item.text.isEmpty()) {
                    const qsizetype cut = m_measurer.fittingLength(o, item.text, room - top, freshPage && top <= 1e-9);
                    QString head = item.text.left(cut);
                    QString remainder = item.text.mid(cut);
                    if (head.endsWith(u'\n'))
                        head.chop(1);
                    while (remainder.startsWith(u' '))
                        remainder.remove(0, 1);
                    item.text = head;
                    tail.text = remainder;
                    if (!remainder.isEmpty())
                        tail.rect.setHeight(std::max(tail.rect.height(), m_measurer.textHeight(o, remainder)));
                }
                restHeight = std::max(restHeight, tail.rect.bottom());
                here.push_back(std::move(item));
                rest.push_back(std::move(tail));
            }
            flushItems(here, room);
            m_pageHasBody = true;
            const BandKind kind = m_bandKind;
            const int level = m_bandLevel;
            newPage();
            m_bandKind = kind;
            m_bandLevel = level;
            items = std::move(rest);
            height = restHeight;
        }
    }

    // Header and footer bands of the page: printed where the cursor is, never moved.
    void emitBand(const CompiledBand& band, BandKind kind, int level)
    {
        const BandKind savedKind = m_bandKind;
        const int savedLevel = m_bandLevel;
        m_bandKind = kind;
        m_bandLevel = level;
        std::vector<PageItem> items;
        const double height = measureBand(band, items);
        flushItems(items, height);
        m_bandKind = savedKind;
        m_bandLevel = savedLevel;
    }

    // Evaluates the band's objects at y = 0 and returns its height after
    // stretching. The first pass needs heights only: objects that cannot
    // stretch are not evaluated there, and a master row measured there is
    // not measured again in the final pass (unless it shows the page number).
    double measureBand(const CompiledBand& band, std::vector<PageItem>& items)
    {
        const bool dataRow = &band == m_data && m_row >= 0 && m_row < m_rowCount;
        const std::vector<double>* cached = nullptr;
        if (dataRow && m_final && !band.pageDependent && !m_rowHeights[size_t(m_row)].empty())
            cached = &m_rowHeights[size_t(m_row)];
        const bool collect = dataRow && m_collectRows;
        const size_t keys = m_groups.size();
        if (collect)
            m_currentRow.assign(keys + m_tableObjects.size(), Value());
        // A group header gives its key column the value it shows.
        const CompiledObject* key =
            m_collectRows && band.keyObject >= 0 ? &band.objects[size_t(band.keyObject)] : nullptr;
        const bool columnHeader = m_final && &band == m_columnHeader;
        double height = band.band->height;
        const double left = m_layout->page.marginLeft;
        items.reserve(band.objects.size());
        bool anyStretch = false;
        for (const CompiledObject& co : band.objects) {
            const ReportObject& o = *co.object;
            if (!m_final && !o.stretch)
                continue;
            PageItem item;
            item.object = &o;
            item.rect = QRectF(left + o.x, o.y, o.width, o.height);
            if (o.kind == ObjectKind::Text) {
                if (co.constant) {
                    item.text = co.constantText;
                } else if (co.text.isSingleExpression()) {
                    Value v = co.text.evaluateSingle(*this);
                    item.text = formatValue(v, o.format, m_layout->language);
                    if (&co == key)
                        m_groupKeys[size_t(band.groupLevel)] = v;
                    if (collect && co.tableColumn >= 0)
                        m_currentRow[keys + size_t(co.tableColumn)] = std::move(v);
                } else {
                    item.text = co.text.evaluate(*this, o.format);
                    if (&co == key)
                        m_groupKeys[size_t(band.groupLevel)] = Value::text(item.text);
                    if (collect && co.tableColumn >= 0)
                        m_currentRow[keys + size_t(co.tableColumn)] = Value::text(item.text);
                }
                if (columnHeader && !m_headerTexts.contains(&o))
                    m_headerTexts.insert(&o, item.text);
                if (o.stretch && !cached) {
                    anyStretch = true;
                    const double h = std::max(o.height, m_measurer.textHeight(o, item.text));
                    item.rect.setHeight(h);
                    height = std::max(height, o.y + h);
                }
            }
            items.push_back(std::move(item));
        }
        if (cached) {
            // [band height, then each stretched object's height in order]
            height = (*cached)[0];
            size_t k = 1;
            for (PageItem& item : items)
                if (item.object->stretch && item.object->kind == ObjectKind::Text)
                    item.rect.setHeight((*cached)[k++]);
            return height;
        }
        // Stretched objects share the band's final height, so a row's frames line up.
        if (anyStretch && height > band.band->height)
            for (PageItem& item : items)
                if (item.object->stretch)
                    item.rect.setHeight(height - item.object->y);
        if (dataRow && !m_final) {
            std::vector<double>& keep = m_rowHeights[size_t(m_row)];
            keep.assign(1, height);
            for (const PageItem& item : items)
                if (item.object->stretch && item.object->kind == ObjectKind::Text)
                    keep.push_back(item.rect.height());
        }
        return height;
    }

    void flushItems(std::vector<PageItem>& items, double height)
    {
        if (m_final) {
            auto& pageItems = m_pages.back().items;
            for (PageItem& item : items) {
                item.rect.translate(0, m_y);
                pageItems.push_back(std::move(item));
            }
        }
        m_y += height;
    }

    double bandHeight(const CompiledBand* band) const
    {
        return band ? band->band->height : 0;
    }

    void layoutPass()
    {
        m_pages.clear();
        m_pageRows.clear();
        m_tableRows.clear();
        m_groupKeys.assign(m_groups.size(), Value());
        if (!m_final)
            m_rowHeights.assign(size_t(m_rowCount), {});
        m_row = -1;
        m_rowPrinted = false;
        m_lineBase = 0;
        m_inMaster = false;
        startPage();
        const int levels = int(m_groups.size());
        if (m_data) {
            m_inMaster = true;
            if (m_columnHeader)
                placeBand(*m_columnHeader, BandKind::ColumnHeader, -1);
            if (m_collectRows)
                m_tableRows.reserve(size_t(m_rowCount));
            for (int r = 0; r < m_rowCount; ++r) {
                const int breakLevel = m_breakLevel[size_t(r)];
                if (r > 0 && breakLevel < levels)
                    closeGroups(breakLevel);
                m_row = r;
                m_rowPrinted = false;
                for (int g = breakLevel; g < levels; ++g) {
                    m_groupRange[size_t(g)] = {r, m_nextStart[size_t(g)][size_t(r)]};
                    m_lineBase = r;
                    const CompiledBand* header = m_groups[size_t(g)].header;
                    if (m_collectRows && (!header || header->keyObject < 0))
                        m_groupKeys[size_t(g)] = m_groups[size_t(g)].condition.evaluate(*this);
                    // A header keeps room for the headers inside it and the
                    // first row, so no header of this row is left alone.
                    if (const CompiledBand* h = m_groups[size_t(g)].header) {
                        double reserve = bandHeight(m_data);
                        for (int inner = g + 1; inner < levels; ++inner)
                            reserve += bandHeight(m_groups[size_t(inner)].header);
                        placeBand(*h, BandKind::GroupHeader, g, reserve);
                    }
                }
                placeBand(*m_data, BandKind::MasterData, -1);
                m_rowPrinted = true;
                if (m_collectRows) {
                    std::copy(m_groupKeys.begin(), m_groupKeys.end(), m_currentRow.begin());
                    m_tableRows.push_back(std::move(m_currentRow));
                }
            }
            if (m_rowCount > 0)
                closeGroups(0);
            m_inMaster = false;
            if (m_masterFooter)
                placeBand(*m_masterFooter, BandKind::MasterFooter, -1);
        }
        if (m_summary)
            placeBand(*m_summary, BandKind::ReportSummary, -1);
        endPage(true);
    }

    // Prints the footers from the innermost group out to `level`, for the rows just printed.
    void closeGroups(int level)
    {
        for (int g = int(m_groups.size()) - 1; g >= level; --g) {
            if (const CompiledBand* f = m_groups[size_t(g)].footer)
                placeBand(*f, BandKind::GroupFooter, g);
            if (m_groups[size_t(g)].newPage && m_row + 1 < m_rowCount)
                newPage();
        }
    }

    void buildColumns(PreparedReport& out)
    {
        if (!m_data)
            return;
        for (size_t g = 0; g < m_groups.size(); ++g) {
            TableColumn column;
            column.groupLevel = int(g);
            const Group& group = m_layout->groups[g];
            column.header = group.caption;
            if (column.header.isEmpty()) {
                // The condition: [MASTER."SKUPINA"] heads its column SKUPINA.
                column.header = group.condition.trimmed();
                if (column.header.startsWith(u'[') && column.header.endsWith(u']'))
                    column.header = column.header.mid(1, column.header.size() - 2).trimmed();
                static const QRegularExpression field(QStringLiteral("^(?:\\w+\\.)?\"?(\\w+)\"?$"));
                if (const auto m = field.match(column.header); m.hasMatch())
                    column.header = m.captured(1);
            }
            if (const CompiledBand* h = m_groups[g].header; h && h->keyObject >= 0) {
                column.object = h->objects[size_t(h->keyObject)].object;
                column.format = column.object->format;
            }
            out.columns.push_back(column);
        }
        for (const CompiledObject* co : m_tableObjects) {
            TableColumn column;
            column.object = co->object;
            column.format = co->object->format;
            // The header is the column-header text that overlaps the column most.
            double best = 0;
            if (m_columnHeader) {
                for (const CompiledObject& h : m_columnHeader->objects) {
                    const ReportObject& ho = *h.object;
                    if (ho.kind != ObjectKind::Text)
                        continue;
                    const double overlap = std::min(ho.x + ho.width, co->object->x + co->object->width) -
                                           std::max(ho.x, co->object->x);
                    if (overlap > best) {
                        best = overlap;
                        // What the header printed: an expression exports its value, not its source.
                        column.header = h.constant ? h.constantText : m_headerTexts.value(&ho);
                    }
                }
            }
            if (column.header.isEmpty())
                column.header = co->object->name;
            out.columns.push_back(column);
        }
    }

    struct GroupState {
        Expression condition;
        const CompiledBand* header = nullptr;
        const CompiledBand* footer = nullptr;
        bool newPage = false;
    };

    const Report& m_report;
    const Layout* m_layout = nullptr;
    const Dataset* m_master = nullptr;
    int m_rowCount = 0;
    QDateTime m_now;
    Measurer m_measurer;

    std::vector<SlotDef> m_slots;
    std::vector<CompiledBand> m_compiled;
    CompiledBand* m_compiling = nullptr;
    const CompiledBand *m_title = nullptr, *m_pageHeader = nullptr, *m_columnHeader = nullptr, *m_data = nullptr,
                       *m_masterFooter = nullptr, *m_summary = nullptr, *m_pageFooter = nullptr;
    std::vector<GroupState> m_groups;
    std::vector<int> m_breakLevel;
    std::vector<std::vector<int>> m_nextStart;
    std::vector<Range> m_groupRange;
    std::vector<const CompiledObject*> m_tableObjects;

    // State of a pass.
    bool m_final = false;
    bool m_collectRows = false;
    std::vector<Page> m_pages;
    std::vector<Range> m_pageRows, m_firstPassPages;
    std::vector<std::vector<Value>> m_tableRows;
    std::vector<Value> m_currentRow;     // the group keys, then the master band's values
    std::vector<Value> m_groupKeys;      // per level, as its header showed it
    QHash<const ReportObject*, QString> m_headerTexts;  // the column header as first printed
    std::vector<std::vector<double>> m_rowHeights;  // master rows measured in the first pass
    int m_totalPages = 0;
    int m_row = -1;
    bool m_rowPrinted = false;
    int m_lineBase = 0;
    bool m_inMaster = false;
    bool m_pageHasBody = false;
    double m_y = 0;
    BandKind m_bandKind = BandKind::ReportTitle;
    int m_bandLevel = -1;
    std::map<std::tuple<const Node*, int, int>, Value> m_aggregateCache;
};

}  // namespace

PreparedReport Report::prepare() const
{
    return Preparer(*this).run();
}

}  // namespace report
