#pragma once

#include "reportengine/ReportPages.h"

class QPainter;

namespace report {

// Paints one prepared page onto any device (printer, PDF, SVG, image, the
// preview). The painter's coordinates are device pixels at `dpi`; `origin`
// is where the page's top left corner lands.
void paintPage(QPainter& painter, const PreparedReport& report, int pageIndex, double dpi,
               const QPointF& origin = QPointF());

// The sides of a frame (FrameLeft | FrameTop ...) in the painter's pen.
void paintFrame(QPainter& painter, const QRectF& rect, int sides);

// The font of a layout object as it is printed.
QFont fontFor(const FontStyle& style);
int alignmentFlags(const ReportObject& object);

}  // namespace report
