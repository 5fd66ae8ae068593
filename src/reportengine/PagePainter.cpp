#include "reportengine/PagePainter.h"

#include <QFontMetricsF>
#include <QPainter>

#include <optional>

namespace report {

QFont fontFor(const FontStyle& style)
{
    QFont f(style.family);
    f.setPointSizeF(style.size);
    f.setBold(style.bold);
    f.setItalic(style.italic);
    f.setUnderline(style.underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

int alignmentFlags(const ReportObject& o)
{
    int flags = 0;
    switch (o.hAlign) {
    case HAlign::Left: flags |= Qt::AlignLeft; break;
    case HAlign::Center: flags |= Qt::AlignHCenter; break;
    case HAlign::Right: flags |= Qt::AlignRight; break;
    case HAlign::Justify: flags |= Qt::AlignJustify; break;
    }
    switch (o.vAlign) {
    case VAlign::Top: flags |= Qt::AlignTop; break;
    case VAlign::Center: flags |= Qt::AlignVCenter; break;
    case VAlign::Bottom: flags |= Qt::AlignBottom; break;
    }
    if (o.wordWrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

// What of a text fits its box, in whole characters: the raster, PDF and
// print painters clip, but an SVG viewer does not, so a long name would run
// over the next column there. A wrapped text keeps the lines that fit (half a
// line of slack, for measuring that differs a little between devices).
QString fitted(const QFontMetricsF& fm, const QRectF& box, const ReportObject& o, const QString& text)
{
    // The longest start of `s` that fits.
    auto longestFitting = [](const QString& s, const auto& fits) {
        qsizetype lo = 0, hi = s.size();
        while (lo < hi) {
            const qsizetype mid = (lo + hi + 1) / 2;
            if (fits(s.left(mid)))
                lo = mid;
            else
                hi = mid - 1;
        }
        return s.left(lo);
    };
    if (!o.wordWrap) {
        auto fits = [&](const QString& line) { return fm.horizontalAdvance(line) <= box.width() + 0.5; };
        QStringList lines = text.split(u'\n');
        bool cut = false;
        for (QString& line : lines) {
            if (!fits(line)) {
                line = longestFitting(line, fits);
                cut = true;
            }
        }
        return cut ? lines.join(u'\n') : text;
    }
    const int flags = alignmentFlags(o);
    const double limit = box.height() + fm.height() / 2;
    auto fits = [&](const QString& part) { return fm.boundingRect(box, flags, part).height() <= limit; };
    return fits(text) ? text : longestFitting(text, fits);
}

void paintFrame(QPainter& painter, const QRectF& r, int sides)
{
    if (sides == FrameAll) {
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r);
        return;
    }
    if (sides & FrameLeft) painter.drawLine(r.topLeft(), r.bottomLeft());
    if (sides & FrameTop) painter.drawLine(r.topLeft(), r.topRight());
    if (sides & FrameRight) painter.drawLine(r.topRight(), r.bottomRight());
    if (sides & FrameBottom) painter.drawLine(r.bottomLeft(), r.bottomRight());
}

void paintPage(QPainter& painter, const PreparedReport& report, int pageIndex, double dpi, const QPointF& origin)
{
    if (pageIndex < 0 || pageIndex >= report.pageCount())
        return;
    const double k = dpi / 25.4;  // pixels per millimetre
    auto map = [&](const QRectF& r) {
        return QRectF(origin.x() + r.x() * k, origin.y() + r.y() * k, r.width() * k, r.height() * k);
    };
    // Fonts are sized in points against the device's own resolution; the
    // painter may scale, so the point size is corrected for the logical dpi.
    const double fontScale = dpi / double(painter.device()->logicalDpiY());
    const FontStyle* currentFont = nullptr;
    std::optional<QFontMetricsF> metrics;  // of the current font on this device
    QColor currentColor;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const PageItem& item : report.pages[size_t(pageIndex)].items) {
        const ReportObject& o = *item.object;
        const QRectF r = map(item.rect);
        switch (o.kind) {
        case ObjectKind::Line: {
            QPen pen(o.frameColor, std::max(o.frameWidth * k, 0.5));
            painter.setPen(pen);
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        }
        case ObjectKind::Text:
        case ObjectKind::Rectangle:
        case ObjectKind::Image: {
            if (o.fill.isValid())
                painter.fillRect(r, o.fill);
            if (o.kind == ObjectKind::Image) {
                const auto it = report.images.constFind(&o);
                if (it != report.images.constEnd() && !it->isNull()) {
                    QRectF target = r;
                    if (o.keepAspect) {
                        const QSizeF s = QSizeF(it->size()).scaled(r.size(), Qt::KeepAspectRatio);
                        target = QRectF(r.topLeft(), s);
                    }
                    painter.drawImage(target, *it);
                }
            }
            if (o.kind == ObjectKind::Text && !item.text.isEmpty()) {
                // Objects of one band usually share a font by value, not by address.
                if (!currentFont || !(*currentFont == o.font)) {
                    QFont f = fontFor(o.font);
                    f.setPointSizeF(o.font.size * fontScale);
                    painter.setFont(f);
                    currentFont = &o.font;
                    metrics.emplace(painter.font(), painter.device());
                }
                if (currentColor != o.color || painter.pen().style() != Qt::SolidLine) {
                    painter.setPen(o.color);
                    currentColor = o.color;
                }
                const QRectF inner = r.adjusted(kTextInsetX * k, kTextInsetY * k, -kTextInsetX * k, -kTextInsetY * k);
                painter.drawText(inner, alignmentFlags(o), fitted(*metrics, inner, o, item.text));
            }
            const int frame = o.kind == ObjectKind::Rectangle && o.frame == FrameNone ? int(FrameAll) : o.frame;
            if (frame != FrameNone && o.frameWidth > 0) {
                painter.setPen(QPen(o.frameColor, std::max(o.frameWidth * k, 0.5)));
                currentColor = QColor();
                paintFrame(painter, r, frame);
            }
            break;
        }
        }
    }
    painter.restore();
}

}  // namespace report
