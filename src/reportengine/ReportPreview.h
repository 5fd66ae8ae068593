#pragma once

#include "reportengine/ReportPages.h"

#include <QAbstractScrollArea>
#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace report {

// The pages one under another, painted straight from the prepared items as
// they scroll into view: nothing is kept per page, so a 2 000-page report
// costs no more memory on screen than a 2-page one.
class PreviewPages : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class Fit { None, Width, Page };

    explicit PreviewPages(QWidget* parent = nullptr);

    void setReport(const PreparedReport* report);
    double zoom() const { return m_zoom; }
    void setZoom(double zoom);        // 1.0 = actual size
    void setFit(Fit fit);
    Fit fit() const { return m_fit; }
    int currentPage() const;          // the page at the top of the view (0-based)
    void goToPage(int page);
    // Marks an item and scrolls it into view.
    void showItem(int page, int item);
    std::pair<int, int> markedItem() const { return m_marked; }
    // Pages painted by the last paint event (for tests: only the visible ones).
    const QList<int>& paintedPages() const { return m_painted; }

signals:
    void currentPageChanged(int page);
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    double pixelsPerMm() const;
    double pageTop(int page) const;    // in content pixels
    QSizeF pageSizePx(int page) const;
    void updateScrollBars();
    void applyFit();

    const PreparedReport* m_report = nullptr;
    double m_zoom = 1.0;
    Fit m_fit = Fit::Width;
    std::pair<int, int> m_marked{-1, -1};
    QList<int> m_painted;
    int m_lastPage = -1;
};

// The preview window: pages, zoom (opens at page width), page navigation,
// find, save in any export format and print through the print dialog.
class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    explicit PreviewWindow(std::shared_ptr<const PreparedReport> report, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    PreviewPages* pages() const { return m_pages; }
    // Finds the next occurrence after the marked one; false when there is none.
    bool findNext(const QString& text);
    void save();
    void print();

private:
    void updatePageControls(int page);
    void zoomChosen(int index);

    std::shared_ptr<const PreparedReport> m_report;
    PreviewPages* m_pages;
    QComboBox* m_zoom;
    QSpinBox* m_page;
    QLabel* m_pageCount;
    QLineEdit* m_find;
};

}  // namespace report
