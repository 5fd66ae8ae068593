#include "reportengine/ReportPreview.h"

#include "reportengine/PagePainter.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportPrint.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace report {

namespace {

constexpr int kGap = 12;  // pixels around and between the pages

}  // namespace

// --- PreviewPages -------------------------------------------------------------

PreviewPages::PreviewPages(QWidget* parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("PreviewPages"));
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
}

void PreviewPages::setReport(const PreparedReport* report)
{
    m_report = report;
    m_marked = {-1, -1};
    m_lastPage = -1;
    applyFit();
    updateScrollBars();
    viewport()->update();
}

double PreviewPages::pixelsPerMm() const
{
    return m_zoom * logicalDpiY() / 25.4;
}

QSizeF PreviewPages::pageSizePx(int page) const
{
    return m_report->pages[size_t(page)].size * pixelsPerMm();
}

double PreviewPages::pageTop(int page) const
{
    // Pages of one report nearly always share a size; the sum is kept simple.
    double top = kGap;
    if (page <= 0)
        return top;
    const QSizeF first = m_report->pages[0].size;
    bool uniform = true;
    for (int i = 1; i < page && uniform; ++i)
        uniform = m_report->pages[size_t(i)].size == first;
    if (uniform)
        return top + page * (first.height() * pixelsPerMm() + kGap);
    for (int i = 0; i < page; ++i)
        top += pageSizePx(i).height() + kGap;
    return top;
}

void PreviewPages::setZoom(double zoom)
{
    const int page = currentPage();
    m_fit = Fit::None;
    m_zoom = std::clamp(zoom, 0.1, 8.0);
    updateScrollBars();
    goToPage(page);
    emit zoomChanged(m_zoom);
}

void PreviewPages::setFit(Fit fit)
{
    const int page = currentPage();
    m_fit = fit;
    applyFit();
    updateScrollBars();
    goToPage(page);
}

void PreviewPages::applyFit()
{
    if (!m_report || m_report->pages.empty() || m_fit == Fit::None)
        return;
    double widest = 0, tallest = 0;
    for (const Page& p : m_report->pages) {
        widest = std::max(widest, p.size.width());
        tallest = std::max(tallest, p.size.height());
    }
    const double perMmAtOne = logicalDpiY() / 25.4;
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const double byWidth = (viewport()->width() - 2.0 * kGap - (verticalScrollBar()->isVisible() ? 0 : scrollBar)) /
                           (widest * perMmAtOne);
    const double byHeight = (viewport()->height() - 2.0 * kGap) / (tallest * perMmAtOne);
    const double zoom = m_fit == Fit::Width ? byWidth : std::min(byWidth, byHeight);
    m_zoom = std::clamp(zoom, 0.1, 8.0);
    emit zoomChanged(m_zoom);
}

void PreviewPages::updateScrollBars()
{
    if (!m_report || m_report->pages.empty()) {
        verticalScrollBar()->setRange(0, 0);
        horizontalScrollBar()->setRange(0, 0);
        return;
    }
    const int count = m_report->pageCount();
    const double total = pageTop(count - 1) + pageSizePx(count - 1).height() + kGap;
    double widest = 0;
    for (const Page& p : m_report->pages)
        widest = std::max(widest, p.size.width());
    const double width = widest * pixelsPerMm() + 2 * kGap;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, int(std::ceil(total)) - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, int(std::ceil(width)) - viewport()->width()));
}

int PreviewPages::currentPage() const
{
    if (!m_report || m_report->pages.empty())
        return 0;
    const double y = verticalScrollBar()->value() + kGap + 1;
    int lo = 0, hi = m_report->pageCount() - 1;
    while (lo < hi) {  // the last page whose top is above y
        const int mid = (lo + hi + 1) / 2;
        if (pageTop(mid) <= y)
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

void PreviewPages::goToPage(int page)
{
    if (!m_report || m_report->pages.empty())
        return;
    page = std::clamp(page, 0, m_report->pageCount() - 1);
    verticalScrollBar()->setValue(int(std::ceil(pageTop(page))) - kGap);
    viewport()->update();
}

void PreviewPages::showItem(int page, int item)
{
    m_marked = {page, item};
    if (m_report && page >= 0 && page < m_report->pageCount() && item >= 0 &&
        item < int(m_report->pages[size_t(page)].items.size())) {
        const QRectF r = m_report->pages[size_t(page)].items[size_t(item)].rect;
        const double y = pageTop(page) + r.top() * pixelsPerMm();
        const int top = verticalScrollBar()->value();
        if (y < top || y + r.height() * pixelsPerMm() > top + viewport()->height())
            verticalScrollBar()->setValue(int(y) - viewport()->height() / 3);
    }
    viewport()->update();
}

void PreviewPages::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), QColor(0x80, 0x80, 0x80));
    m_painted.clear();
    if (!m_report || m_report->pages.empty())
        return;
    const int scrollY = verticalScrollBar()->value();
    const int scrollX = horizontalScrollBar()->value();
    const double ppm = pixelsPerMm();
    const double dpi = ppm * 25.4;
    int page = 0;
    {
        int lo = 0, hi = m_report->pageCount() - 1;
        while (lo < hi) {  // the first page whose bottom is below the view's top
            const int mid = (lo + hi) / 2;
            if (pageTop(mid) + pageSizePx(mid).height() <= scrollY)
                lo = mid + 1;
            else
                hi = mid;
        }
        page = lo;
    }
    for (; page < m_report->pageCount(); ++page) {
        const double top = pageTop(page) - scrollY;
        if (top > viewport()->height())
            break;
        const QSizeF size = pageSizePx(page);
        const double left = std::max(double(kGap), (viewport()->width() - size.width()) / 2.0) - scrollX;
        const QRectF sheet(left, top, size.width(), size.height());
        painter.fillRect(sheet.translated(3, 3), QColor(0x50, 0x50, 0x50));
        painter.fillRect(sheet, Qt::white);
        painter.save();
        painter.setClipRect(sheet);
        paintPage(painter, *m_report, page, dpi, sheet.topLeft());
        if (m_marked.first == page && m_marked.second >= 0 &&
            m_marked.second < int(m_report->pages[size_t(page)].items.size())) {
            const QRectF r = m_report->pages[size_t(page)].items[size_t(m_marked.second)].rect;
            const QRectF mark(sheet.left() + r.left() * ppm, sheet.top() + r.top() * ppm, r.width() * ppm, r.height() * ppm);
            painter.fillRect(mark, QColor(255, 230, 0, 90));
            painter.setPen(QPen(QColor(230, 120, 0), 2));
            painter.drawRect(mark);
        }
        painter.restore();
        m_painted << page;
    }
    const int current = currentPage();
    if (current != m_lastPage) {
        m_lastPage = current;
        emit currentPageChanged(current);
    }
}

void PreviewPages::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    const int page = currentPage();
    applyFit();
    updateScrollBars();
    if (m_fit != Fit::None)
        goToPage(page);
}

void PreviewPages::scrollContentsBy(int, int)
{
    viewport()->update();
}

// --- PreviewWindow ------------------------------------------------------------

PreviewWindow::PreviewWindow(std::shared_ptr<const PreparedReport> report, QWidget* parent)
    : QDialog(parent), m_report(std::move(report))
{
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(m_report->title.isEmpty() ? QStringLiteral("Náhľad pred tlačou")
                                             : QStringLiteral("Náhľad pred tlačou – ") + m_report->title);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    resize(900, 1000);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("tbPreview"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    auto button = [this, bar, row](const char* name, const QString& text, QStyle::StandardPixmap icon, auto slot) {
        auto* b = new QToolButton(bar);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(text);
        b->setIcon(style()->standardIcon(icon));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, slot);
        row->addWidget(b);
        return b;
    };

    m_zoom = new QComboBox(bar);
    m_zoom->setObjectName(QStringLiteral("cbZoom"));
    m_zoom->addItem(QStringLiteral("Šírka strany"));
    m_zoom->addItem(QStringLiteral("Celá strana"));
    for (int percent : {50, 75, 100, 150, 200})
        m_zoom->addItem(QStringLiteral("%1 %").arg(percent), percent);
    row->addWidget(m_zoom);
    row->addSpacing(8);

    m_pages = new PreviewPages(this);
    button("btnFirst", QStringLiteral("Prvá"), QStyle::SP_MediaSkipBackward, [this] { m_pages->goToPage(0); });
    button("btnPrior", QStringLiteral("Predchádzajúca"), QStyle::SP_MediaSeekBackward,
           [this] { m_pages->goToPage(m_pages->currentPage() - 1); });
    m_page = new QSpinBox(bar);
    m_page->setObjectName(QStringLiteral("ePage"));
    m_page->setRange(1, std::max(1, m_report->pageCount()));
    row->addWidget(m_page);
    m_pageCount = new QLabel(QStringLiteral("z %1").arg(m_report->pageCount()), bar);
    row->addWidget(m_pageCount);
    button("btnNext", QStringLiteral("Nasledujúca"), QStyle::SP_MediaSeekForward,
           [this] { m_pages->goToPage(m_pages->currentPage() + 1); });
    button("btnLast", QStringLiteral("Posledná"), QStyle::SP_MediaSkipForward,
           [this] { m_pages->goToPage(m_report->pageCount() - 1); });
    row->addSpacing(8);
    m_find = new QLineEdit(bar);
    m_find->setObjectName(QStringLiteral("eFind"));
    m_find->setPlaceholderText(QStringLiteral("Hľadaný text"));
    m_find->setClearButtonEnabled(true);
    m_find->setMinimumWidth(150);
    m_find->setMaximumWidth(220);
    row->addWidget(m_find);
    button("btnFind", QStringLiteral("Hľadať"), QStyle::SP_FileDialogContentsView, [this] { findNext(m_find->text()); });
    row->addStretch(1);
    button("btnSave", QStringLiteral("Uložiť"), QStyle::SP_DialogSaveButton, [this] { save(); });
    button("btnPrint", QStringLiteral("Tlačiť"), QStyle::SP_FileIcon, [this] { print(); });
    button("btnClose", QStringLiteral("Zavrieť"), QStyle::SP_DialogCloseButton, [this] { reject(); });

    layout->addWidget(bar);
    layout->addWidget(m_pages, 1);

    connect(m_find, &QLineEdit::returnPressed, this, [this] { findNext(m_find->text()); });
    connect(m_find, &QLineEdit::textChanged, this, [this] { m_find->setStyleSheet(QString()); });
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
        m_find->setFocus();
        m_find->selectAll();
    });
    connect(new QShortcut(QKeySequence::FindNext, this), &QShortcut::activated, this, [this] { findNext(m_find->text()); });
    connect(m_zoom, &QComboBox::activated, this, &PreviewWindow::zoomChosen);
    connect(m_page, &QSpinBox::editingFinished, this, [this] { m_pages->goToPage(m_page->value() - 1); });
    connect(m_pages, &PreviewPages::currentPageChanged, this, &PreviewWindow::updatePageControls);

    m_pages->setReport(m_report.get());
    m_pages->setFocus();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::updatePageControls(int page)
{
    const QSignalBlocker block(m_page);
    m_page->setValue(page + 1);
}

void PreviewWindow::zoomChosen(int index)
{
    if (index == 0)
        m_pages->setFit(PreviewPages::Fit::Width);
    else if (index == 1)
        m_pages->setFit(PreviewPages::Fit::Page);
    else
        m_pages->setZoom(m_zoom->itemData(index).toInt() / 100.0);
}

bool PreviewWindow::findNext(const QString& text)
{
    if (text.isEmpty())
        return false;
    auto [page, item] = m_pages->markedItem();
    if (page < 0) {
        page = m_pages->currentPage();
        item = -1;
    }
    auto found = m_report->find(text, page, item);
    if (found.first < 0)
        found = m_report->find(text, 0, -1);  // from the top once more
    if (found.first < 0) {
        m_find->setStyleSheet(QStringLiteral("background:#ff8080"));
        return false;
    }
    m_find->setStyleSheet(QString());
    m_pages->showItem(found.first, found.second);
    updatePageControls(found.first);
    return true;
}

void PreviewWindow::save()
{
    QStringList filters;
    for (const ExportFormatInfo& f : exportFormats())
        filters << QStringLiteral("%1 (*.%2)").arg(f.description, f.suffix);
    QString chosen;
    const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Uložiť zostavu"), m_report->title,
                                                      filters.join(QStringLiteral(";;")), &chosen);
    if (file.isEmpty())
        return;
    const int index = int(filters.indexOf(chosen));
    const auto [format, name] = saveTarget(file, exportFormats()[size_t(std::max(index, 0))].format);
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        exportReport(*m_report, format, name);
        QApplication::restoreOverrideCursor();
    } catch (const Error& e) {
        QApplication::restoreOverrideCursor();
        QMessageBox::warning(this, windowTitle(), e.message());
    }
}

void PreviewWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_report->title);
    setUpPrinter(printer, *m_report);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, m_report->pageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    try {
        printReport(*m_report, printer);
    } catch (const Error& e) {
        QMessageBox::warning(this, windowTitle(), e.message());
    }
}

}  // namespace report
