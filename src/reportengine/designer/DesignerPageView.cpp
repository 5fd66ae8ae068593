#include "reportengine/designer/DesignerWindow.h"

#include "reportengine/PagePainter.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace report {

namespace {

constexpr int kCaption = 16;  // px: the strip naming a band above it
constexpr int kMargin = 12;   // px around the page
constexpr int kHandle = 6;    // px: the resize handle at an object's corner

}  // namespace

DesignerPageView::DesignerPageView(DesignerDocument& doc, QWidget* parent) : QWidget(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("designerPage"));
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setMouseTracking(true);
    connect(&m_doc, &DesignerDocument::changed, this, [this] {
        // Objects removed by an undo leave the selection.
        std::erase_if(m_selection, [this](const ObjectRef& r) { return !m_doc.object(r); });
        if (!m_doc.band(m_band)) {
            const auto bands = m_doc.bands();
            m_band = bands.empty() ? BandRef{} : bands.front();
        }
        updateGeometry();
        resize(sizeHint());
        update();
        emit selectionChanged();
    });
}

QSize DesignerPageView::sizeHint() const
{
    const PageSetup& page = m_doc.layout().page;
    int height = 2 * kMargin;
    for (const BandRef& b : m_doc.bands())
        height += kCaption + int(m_doc.band(b)->height * m_scale) + 1;
    return {int(page.pageWidth() * m_scale) + 2 * kMargin, std::max(height, 200)};
}

int DesignerPageView::bandTop(const BandRef& band) const
{
    int y = kMargin;
    for (const BandRef& b : m_doc.bands()) {
        y += kCaption;
        if (b == band)
            return y;
        y += int(m_doc.band(b)->height * m_scale) + 1;
    }
    return -1;
}

QRectF DesignerPageView::objectRect(const BandRef& band, const ReportObject& o) const
{
    const double left = kMargin + m_doc.layout().page.marginLeft * m_scale;
    QRectF r(left + o.x * m_scale, bandTop(band) + o.y * m_scale, o.width * m_scale, o.height * m_scale);
    return r.normalized();
}

void DesignerPageView::setSelection(std::vector<ObjectRef> selection)
{
    m_selection = std::move(selection);
    if (!m_selection.empty())
        m_band = m_selection.front().band;
    update();
    emit selectionChanged();
}

void DesignerPageView::setCurrentBand(const BandRef& band)
{
    m_band = band;
    m_selection.clear();
    update();
    emit selectionChanged();
}

void DesignerPageView::paintObject(QPainter& p, const QRectF& r, const ReportObject& o) const
{
    p.save();
    switch (o.kind) {
    case ObjectKind::Line:
        p.setPen(QPen(o.frameColor, std::max(1.0, o.frameWidth * m_scale)));
        p.drawLine(r.topLeft(), QPointF(r.left() + o.width * m_scale, r.top() + o.height * m_scale));
        break;
    case ObjectKind::Image: {
        QImage image;
        if (!o.image.isEmpty() && image.loadFromData(o.image)) {
            const QSize size = image.size().scaled(r.size().toSize(),
                                                   o.keepAspect ? Qt::KeepAspectRatio : Qt::IgnoreAspectRatio);
            p.drawImage(QRectF(r.topLeft(), size), image);
        } else {
            p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
            p.drawRect(r);
            p.drawText(r, Qt::AlignCenter, QStringLiteral("Obrázok"));
        }
        break;
    }
    case ObjectKind::Rectangle:
    case ObjectKind::Text: {
        if (o.fill.isValid())
            p.fillRect(r, o.fill);
        if (o.kind == ObjectKind::Text) {
            QFont f = fontFor(o.font);
            f.setPixelSize(std::max(6, int(o.font.size / 72.0 * 25.4 * m_scale)));
            p.setFont(f);
            p.setPen(o.color);
            int flags = alignmentFlags(o);
            if (o.wordWrap)
                flags |= Qt::TextWordWrap;
            p.drawText(r.adjusted(1, 0, -1, 0), flags, o.text);
            // The outline of a text without a frame, so it can be found.
            p.setPen(QPen(QColor(180, 180, 180), 1, Qt::DotLine));
            p.drawRect(r);
        }
        const QPen frame(o.frameColor, std::max(1.0, o.frameWidth * m_scale));
        p.setPen(frame);
        paintFrame(p, r, o.kind == ObjectKind::Rectangle && o.frame == FrameNone ? FrameAll : o.frame);
        break;
    }
    }
    p.restore();
}

void DesignerPageView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
    const PageSetup& page = m_doc.layout().page;
    const int pageWidth = int(page.pageWidth() * m_scale);
    const int left = kMargin + int(page.marginLeft * m_scale);
    const int right = kMargin + pageWidth - int(page.marginRight * m_scale);
    p.fillRect(QRect(kMargin, kMargin, pageWidth, height() - 2 * kMargin), Qt::white);
    QFont captionFont = font();
    captionFont.setPointSizeF(captionFont.pointSizeF() * 0.9);
    for (const BandRef& ref : m_doc.bands()) {
        const Band* band = m_doc.band(ref);
        const int top = bandTop(ref);
        const int h = int(band->height * m_scale);
        const bool current = ref == m_band;
        const QRect strip(kMargin, top - kCaption, pageWidth, kCaption);
        p.fillRect(strip, current ? QColor(255, 236, 160) : QColor(225, 230, 240));
        p.setPen(QColor(60, 60, 60));
        p.setFont(captionFont);
        QString caption = DesignerDocument::bandCaption(ref);
        if (ref.group >= 0 && ref.kind == BandKind::GroupHeader)
            caption += QStringLiteral(": ") + m_doc.layout().groups[size_t(ref.group)].condition;
        if (ref.kind == BandKind::MasterData)
            caption += QStringLiteral(": ") + m_doc.layout().masterAlias;
        p.drawText(strip.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, caption);
        // The grid, every 5 mm, and the printable area's edges.
        p.setPen(QColor(235, 235, 235));
        for (double x = 0; left + x * m_scale < right; x += 5)
            p.drawLine(QPointF(left + x * m_scale, top), QPointF(left + x * m_scale, top + h));
        p.setPen(QPen(QColor(200, 200, 200), 1, Qt::DashLine));
        p.drawLine(left, top, left, top + h);
        p.drawLine(right, top, right, top + h);
        p.setPen(QColor(150, 150, 150));
        p.drawLine(kMargin, top + h, kMargin + pageWidth, top + h);
        for (size_t i = 0; i < band->objects.size(); ++i) {
            const ReportObject& o = band->objects[i];
            QRectF r = objectRect(ref, o);
            const ObjectRef me{ref, int(i)};
            const bool selected = std::find(m_selection.begin(), m_selection.end(), me) != m_selection.end();
            if (selected && m_drag == Drag::Move)
                r.translate(m_dragDelta * m_scale);
            if (selected && m_drag == Drag::Resize && m_selection.size() == 1)
                r.setSize(r.size() + QSizeF(m_dragDelta.x(), m_dragDelta.y()) * m_scale);
            paintObject(p, r, o);
            if (selected) {
                p.setPen(QPen(QColor(0, 90, 200), 1));
                p.setBrush(Qt::NoBrush);
                p.drawRect(r.adjusted(-1, -1, 1, 1));
                p.fillRect(QRectF(r.right() - kHandle / 2.0, r.bottom() - kHandle / 2.0, kHandle, kHandle),
                           QColor(0, 90, 200));
            }
        }
    }
}

DesignerPageView::Hit DesignerPageView::hitTest(const QPoint& pos) const
{
    Hit hit;
    const double left = kMargin + m_doc.layout().page.marginLeft * m_scale;
    for (const BandRef& ref : m_doc.bands()) {
        const int top = bandTop(ref);
        const Band* band = m_doc.band(ref);
        const int bottom = top + int(band->height * m_scale);
        if (pos.y() < top - kCaption || pos.y() > bottom + 2)
            continue;
        hit.band = ref;
        hit.inBand = true;
        hit.onBandEdge = std::abs(pos.y() - bottom) <= 2;
        hit.x = (pos.x() - left) / m_scale;
        hit.y = std::max(0.0, (pos.y() - top) / m_scale);
        for (int i = int(band->objects.size()) - 1; i >= 0; --i) {
            const QRectF r = objectRect(ref, band->objects[size_t(i)]).adjusted(-2, -2, 2, 2);
            if (r.contains(pos)) {
                hit.object = i;
                hit.onHandle = QRectF(r.right() - kHandle - 2, r.bottom() - kHandle - 2, kHandle + 4, kHandle + 4)
                                   .contains(pos);
                hit.onBandEdge = false;
                break;
            }
        }
        return hit;
    }
    return hit;
}

void DesignerPageView::mousePressEvent(QMouseEvent* e)
{
    setFocus();
    const Hit hit = hitTest(e->pos());
    m_pressAt = e->pos();
    m_dragDelta = {};
    m_drag = Drag::None;
    if (!hit.inBand)
        return;
    if (hit.onBandEdge) {
        setCurrentBand(hit.band);
        m_drag = Drag::BandHeight;
        return;
    }
    if (hit.object < 0) {
        setCurrentBand(hit.band);
        return;
    }
    const ObjectRef ref{hit.band, hit.object};
    auto selection = m_selection;
    const auto it = std::find(selection.begin(), selection.end(), ref);
    if (e->modifiers() & Qt::ControlModifier) {
        if (it != selection.end())
            selection.erase(it);
        else
            selection.push_back(ref);
    } else if (it == selection.end()) {
        selection = {ref};
    }
    setSelection(selection);
    if (std::find(m_selection.begin(), m_selection.end(), ref) != m_selection.end())
        m_drag = hit.onHandle && m_selection.size() == 1 ? Drag::Resize : Drag::Move;
}

void DesignerPageView::mouseMoveEvent(QMouseEvent* e)
{
    if (m_drag == Drag::None) {
        const Hit hit = hitTest(e->pos());
        setCursor(hit.onBandEdge ? Qt::SizeVerCursor
                  : hit.onHandle ? Qt::SizeFDiagCursor
                  : hit.object >= 0 ? Qt::SizeAllCursor
                                    : Qt::ArrowCursor);
        return;
    }
    const QPointF d = QPointF(e->pos() - m_pressAt) / m_scale;
    m_dragDelta = {DesignerDocument::snap(d.x(), kGrid), DesignerDocument::snap(d.y(), kGrid)};
    update();
}

void DesignerPageView::mouseReleaseEvent(QMouseEvent*)
{
    const Drag drag = m_drag;
    const QPointF d = m_dragDelta;
    m_drag = Drag::None;
    m_dragDelta = {};
    if (d.isNull()) {
        update();
        return;
    }
    if (drag == Drag::Move) {
        m_doc.moveObjects(m_selection, d.x(), d.y());
    } else if (drag == Drag::Resize && m_selection.size() == 1) {
        if (const ReportObject* o = m_doc.object(m_selection.front()))
            m_doc.resizeObject(m_selection.front(), o->width + d.x(), o->height + d.y());
    } else if (drag == Drag::BandHeight) {
        if (const Band* b = m_doc.band(m_band))
            m_doc.setBandHeight(m_band, b->height + d.y());
    }
    update();
}

void DesignerPageView::keyPressEvent(QKeyEvent* e)
{
    double dx = 0, dy = 0;
    switch (e->key()) {
    case Qt::Key_Left: dx = -kGrid; break;
    case Qt::Key_Right: dx = kGrid; break;
    case Qt::Key_Up: dy = -kGrid; break;
    case Qt::Key_Down: dy = kGrid; break;
    case Qt::Key_Delete:
        if (!m_selection.empty()) {
            m_doc.removeObjects(m_selection);
            setSelection({});
        }
        return;
    default: QWidget::keyPressEvent(e); return;
    }
    if (m_selection.empty())
        return;
    if (e->modifiers() & Qt::ShiftModifier) {
        for (const ObjectRef& r : m_selection)
            if (const ReportObject* o = m_doc.object(r))
                m_doc.resizeObject(r, o->width + dx, o->height + dy, true);
    } else {
        m_doc.moveObjects(m_selection, dx, dy, true);
    }
}

void DesignerPageView::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->mimeData()->hasText())
        e->acceptProposedAction();
}

void DesignerPageView::dropEvent(QDropEvent* e)
{
    const Hit hit = hitTest(e->position().toPoint());
    if (!hit.inBand)
        return;
    emit fieldDropped(e->mimeData()->text(), hit.band, DesignerDocument::snap(std::max(0.0, hit.x), kGrid),
                      DesignerDocument::snap(hit.y, kGrid));
    e->acceptProposedAction();
}

}  // namespace report
