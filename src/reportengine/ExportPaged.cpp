// Writers over prepared pages: PDF, SVG, PNG, HTML pages, RTF and text.

#include "reportengine/ReportExport.h"

#include "reportengine/PagePainter.h"
#include "reportengine/ReportError.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <map>

namespace report {

namespace {

QPageSize pageSizeOf(const Page& page)
{
    return QPageSize(page.size, QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
}

// Items of a page grouped into text lines (by their top edge), each line left to right.
std::vector<std::vector<const PageItem*>> textLines(const Page& page, double tolerance = 1.0)
{
    std::vector<const PageItem*> texts;
    for (const PageItem& item : page.items)
        if (item.object->kind == ObjectKind::Text && !item.text.isEmpty())
            texts.push_back(&item);
    std::stable_sort(texts.begin(), texts.end(), [](const PageItem* a, const PageItem* b) {
        return a->rect.y() < b->rect.y();
    });
    std::vector<std::vector<const PageItem*>> lines;
    double lineTop = -1e9;
    for (const PageItem* item : texts) {
        if (lines.empty() || item->rect.y() - lineTop > tolerance) {
            lines.emplace_back();
            lineTop = item->rect.y();
        }
        lines.back().push_back(item);
    }
    for (auto& line : lines)
        std::stable_sort(line.begin(), line.end(), [](const PageItem* a, const PageItem* b) {
            return a->rect.x() < b->rect.x();
        });
    return lines;
}

QString htmlEscape(const QString& s)
{
    return s.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
}

QString mm(double v)
{
    return QString::number(v, 'f', 2) + QStringLiteral("mm");
}

QString cssColor(const QColor& c)
{
    return c.alpha() == 255 ? c.name() : QStringLiteral("rgba(%1,%2,%3,%4)").arg(c.red()).arg(c.green()).arg(c.blue()).arg(c.alphaF());
}

}  // namespace

QString pageFileName(const QString& fileName, int page, int pageCount)
{
    if (pageCount <= 1)
        return fileName;
    const QFileInfo info(fileName);
    const QString base = info.path() + u'/' + info.completeBaseName();
    return QStringLiteral("%1_%2.%3").arg(base).arg(page + 1).arg(info.suffix());
}

void exportPdf(const PreparedReport& report, const QString& fileName)
{
    QPdfWriter writer(fileName);
    writer.setCreator(QStringLiteral("Lindavo"));
    writer.setTitle(report.title);
    writer.setResolution(600);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    if (report.pageCount() > 0)
        writer.setPageSize(pageSizeOf(report.pages[0]));
    QPainter painter;
    if (!painter.begin(&writer))
        throw Error(QStringLiteral("Súbor %1 sa nedá zapísať.").arg(fileName));
    for (int i = 0; i < report.pageCount(); ++i) {
        if (i > 0) {
            writer.setPageSize(pageSizeOf(report.pages[size_t(i)]));
            writer.newPage();
        }
        paintPage(painter, report, i, writer.resolution());
    }
    painter.end();
    if (!QFileInfo(fileName).exists())
        throw Error(QStringLiteral("Súbor %1 sa nedá zapísať.").arg(fileName));
}

QStringList exportSvg(const PreparedReport& report, const QString& fileName)
{
    QStringList files;
    for (int i = 0; i < report.pageCount(); ++i) {
        const QString name = pageFileName(fileName, i, report.pageCount());
        const Page& page = report.pages[size_t(i)];
        QSvgGenerator svg;
        svg.setFileName(name);
        svg.setTitle(report.title);
        svg.setResolution(96);
        const QSizeF px = page.size * 96.0 / 25.4;
        svg.setSize(px.toSize());
        svg.setViewBox(QRectF(QPointF(0, 0), px));
        QPainter painter;
        if (!painter.begin(&svg))
            throw Error(QStringLiteral("Súbor %1 sa nedá zapísať.").arg(name));
        paintPage(painter, report, i, 96.0);
        painter.end();
        files << name;
    }
    return files;
}

QStringList exportPng(const PreparedReport& report, const QString& fileName, double dpi)
{
    QStringList files;
    for (int i = 0; i < report.pageCount(); ++i) {
        const QString name = pageFileName(fileName, i, report.pageCount());
        const Page& page = report.pages[size_t(i)];
        const QSize px = (page.size * dpi / 25.4).toSize();
        QImage image(px, QImage::Format_RGB32);
        const int dpm = int(std::lround(dpi / 0.0254));
        image.setDotsPerMeterX(dpm);
        image.setDotsPerMeterY(dpm);
        image.fill(Qt::white);
        QPainter painter(&image);
        paintPage(painter, report, i, dpi);
        painter.end();
        if (!image.save(name, "PNG"))
            throw Error(QStringLiteral("Súbor %1 sa nedá zapísať.").arg(name));
        files << name;
    }
    return files;
}

QString htmlPages(const PreparedReport& report)
{
    QString out;
    out += QStringLiteral("<!DOCTYPE html>\n<html lang=\"sk\"><head><meta charset=\"utf-8\"><title>%1</title>\n"
                          "<style>body{background:#888;margin:0}"
                          ".page{position:relative;background:#fff;margin:8mm auto;overflow:hidden}"
                          ".page div{position:absolute;box-sizing:border-box;overflow:hidden}"
                          "</style></head><body>\n")
               .arg(htmlEscape(report.title));
    for (int p = 0; p < report.pageCount(); ++p) {
        const Page& page = report.pages[size_t(p)];
        out += QStringLiteral("<div class=\"page\" id=\"page%1\" style=\"width:%2;height:%3\">\n")
                   .arg(p + 1)
                   .arg(mm(page.size.width()), mm(page.size.height()));
        for (const PageItem& item : page.items) {
            const ReportObject& o = *item.object;
            const QRectF& r = item.rect;
            if (o.kind == ObjectKind::Line) {
                const QRectF n = r.normalized();
                out += QStringLiteral("<svg style=\"position:absolute;left:%1;top:%2;overflow:visible\" width=\"%3\" "
                                      "height=\"%4\"><line x1=\"%5\" y1=\"%6\" x2=\"%7\" y2=\"%8\" stroke=\"%9\" "
                                      "stroke-width=\"%10\"/></svg>\n")
                           .arg(mm(n.x()), mm(n.y()), mm(std::max(n.width(), 0.1)), mm(std::max(n.height(), 0.1)))
                           .arg(mm(r.x() - n.x()), mm(r.y() - n.y()), mm(r.right() - n.x()), mm(r.bottom() - n.y()))
                           .arg(cssColor(o.frameColor), mm(o.frameWidth));
                continue;
            }
            QString style = QStringLiteral("left:%1;top:%2;width:%3;height:%4;")
                                .arg(mm(r.x()), mm(r.y()), mm(r.width()), mm(r.height()));
            if (o.fill.isValid())
                style += QStringLiteral("background:%1;").arg(cssColor(o.fill));
            const int frame = o.kind == ObjectKind::Rectangle && o.frame == FrameNone ? int(FrameAll) : o.frame;
            const QString border = QStringLiteral("%1 solid %2").arg(mm(o.frameWidth), cssColor(o.frameColor));
            if (frame & FrameLeft) style += QStringLiteral("border-left:") + border + u';';
            if (frame & FrameTop) style += QStringLiteral("border-top:") + border + u';';
            if (frame & FrameRight) style += QStringLiteral("border-right:") + border + u';';
            if (frame & FrameBottom) style += QStringLiteral("border-bottom:") + border + u';';
            QString body;
            if (o.kind == ObjectKind::Text) {
                style += QStringLiteral("padding:%1 %2;font-family:'%3';font-size:%4pt;color:%5;")
                             .arg(mm(kTextInsetY), mm(kTextInsetX), o.font.family)
                             .arg(o.font.size)
                             .arg(cssColor(o.color));
                if (o.font.bold) style += QStringLiteral("font-weight:bold;");
                if (o.font.italic) style += QStringLiteral("font-style:italic;");
                if (o.font.underline) style += QStringLiteral("text-decoration:underline;");
                if (!o.wordWrap) style += QStringLiteral("white-space:pre;");
                static const char* const aligns[] = {"left", "center", "right", "justify"};
                style += QStringLiteral("text-align:%1;").arg(QLatin1String(aligns[int(o.hAlign)]));
                body = htmlEscape(item.text);
            } else if (o.kind == ObjectKind::Image && !o.image.isEmpty()) {
                body = QStringLiteral("<img style=\"max-width:100%;max-height:100%\" src=\"data:image;base64,%1\">")
                           .arg(QString::fromLatin1(o.image.toBase64()));
            }
            out += QStringLiteral("<div style=\"%1\">%2</div>\n").arg(style, body);
        }
        out += QStringLiteral("</div>\n");
    }
    out += QStringLiteral("</body></html>\n");
    return out;
}

namespace {

QString rtfEscape(const QString& s)
{
    QString out;
    for (QChar c : s) {
        const ushort u = c.unicode();
        if (c == u'\\' || c == u'{' || c == u'}')
            out += u'\\' + QString(c);
        else if (c == u'\n')
            out += QStringLiteral("\\line ");
        else if (u < 128)
            out += c;
        else
            out += QStringLiteral("\\u%1?").arg(short(u));
    }
    return out;
}

}  // namespace

QString rtfText(const PreparedReport& report)
{
    // Fonts used, in the font table.
    QStringList fonts;
    for (const Page& page : report.pages)
        for (const PageItem& item : page.items)
            if (item.object->kind == ObjectKind::Text && !fonts.contains(item.object->font.family))
                fonts << item.object->font.family;
    if (fonts.isEmpty())
        fonts << QStringLiteral("DejaVu Sans");
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl");
    for (int i = 0; i < fonts.size(); ++i)
        out += QStringLiteral("{\\f%1 %2;}").arg(i).arg(rtfEscape(fonts[i]));
    out += QStringLiteral("}\n");
    constexpr double twips = 1440.0 / 25.4;
    for (int p = 0; p < report.pageCount(); ++p) {
        const Page& page = report.pages[size_t(p)];
        const double left = report.layout ? report.layout->page.marginLeft : 0;
        if (p == 0) {
            out += QStringLiteral("\\paperw%1\\paperh%2\\margl%3\\margr0\\margt%4\\margb0\n")
                       .arg(std::lround(page.size.width() * twips))
                       .arg(std::lround(page.size.height() * twips))
                       .arg(std::lround(left * twips))
                       .arg(std::lround((report.layout ? report.layout->page.marginTop : 0) * twips));
        } else {
            out += QStringLiteral("\\page\n");
        }
        for (const auto& line : textLines(page)) {
            out += QStringLiteral("\\pard\\plain");
            // A tab stop at each item's left edge (right edge for right-aligned items).
            for (size_t i = 1; i < line.size(); ++i) {
                const PageItem* it = line[i];
                const bool right = it->object->hAlign == HAlign::Right;
                const double x = (right ? it->rect.right() - kTextInsetX : it->rect.x() + kTextInsetX) - left;
                out += QStringLiteral("%1\\tx%2").arg(right ? QStringLiteral("\\tqr") : QString()).arg(std::lround(x * twips));
            }
            out += u' ';
            for (size_t i = 0; i < line.size(); ++i) {
                const ReportObject& o = *line[i]->object;
                if (i > 0) out += QStringLiteral("\\tab ");
                out += QStringLiteral("{\\f%1\\fs%2%3%4 %5}")
                           .arg(fonts.indexOf(o.font.family))
                           .arg(std::lround(o.font.size * 2))
                           .arg(o.font.bold ? QStringLiteral("\\b") : QString(),
                                o.font.italic ? QStringLiteral("\\i") : QString(), rtfEscape(line[i]->text));
            }
            out += QStringLiteral("\\par\n");
        }
    }
    out += QStringLiteral("}\n");
    return out;
}

QString plainText(const PreparedReport& report)
{
    QString out;
    for (int p = 0; p < report.pageCount(); ++p) {
        if (p > 0)
            out += u'\n';
        for (const auto& line : textLines(report.pages[size_t(p)])) {
            QStringList parts;
            for (const PageItem* item : line)
                parts << QString(item->text).replace(u'\n', u' ');
            out += parts.join(u'\t') + u'\n';
        }
    }
    return out;
}

QString formattedText(const PreparedReport& report)
{
    // A fixed grid: 2 mm a character, 6 lines an inch; pages end with a form feed.
    constexpr double charWidth = 2.0, lineHeight = 25.4 / 6.0;
    QString out;
    for (int p = 0; p < report.pageCount(); ++p) {
        const Page& page = report.pages[size_t(p)];
        std::map<int, QString> rows;
        auto put = [&rows](int row, int column, const QString& text) {
            QString& line = rows[row];
            column = std::max(column, 0);
            if (line.size() < column + text.size())
                line = line.leftJustified(column + int(text.size()), u' ');
            line.replace(column, text.size(), text);
        };
        for (const PageItem& item : page.items) {
            const ReportObject& o = *item.object;
            if (o.kind != ObjectKind::Text || item.text.isEmpty())
                continue;
            const QStringList lines = item.text.split(u'\n');
            const int width = std::max(1, int(std::lround(item.rect.width() / charWidth)) - 1);
            int row = int(std::lround(item.rect.y() / lineHeight));
            for (QString text : lines) {
                text = text.left(width);
                int column = int(std::lround(item.rect.x() / charWidth));
                if (o.hAlign == HAlign::Right)
                    column += width - int(text.size());
                else if (o.hAlign == HAlign::Center)
                    column += (width - int(text.size())) / 2;
                put(row++, column, text);
            }
        }
        const int first = int(std::lround(report.layout ? report.layout->page.marginTop / lineHeight : 0));
        int next = first;
        for (const auto& [row, text] : rows) {
            for (; next < row; ++next)
                out += u'\n';
            out += QString(text).remove(QRegularExpression(QStringLiteral("\\s+$"))) + u'\n';
            next = row + 1;
        }
        out += u'\f';
    }
    return out;
}

}  // namespace report
