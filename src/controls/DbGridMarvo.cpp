#include "controls/DbGridMarvo.h"

#include "framework/Messages.h"
#include "framework/UiHelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionHeader>
#include <qdrawutil.h>

namespace {

enum class IndicatorImage { None, Arrow, Check, CheckArrow };

void drawIndicatorImage(QPainter& p, const QRect& cell, IndicatorImage image, int rightGap)
{
    if (image == IndicatorImage::None)
        return;
    const int h = std::min(cell.height() - 4, 10);
    const QRect r(cell.right() - rightGap - h + 1, cell.center().y() - h / 2, h, h);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (image == IndicatorImage::Arrow || image == IndicatorImage::CheckArrow) {
        QPainterPath arrow;
        arrow.moveTo(r.left() + h / 4.0, r.top());
        arrow.lineTo(r.right(), r.center().y() + 0.5);
        arrow.lineTo(r.left() + h / 4.0, r.bottom() + 1);
        arrow.closeSubpath();
        p.fillPath(arrow, Qt::black);
    }
    if (image == IndicatorImage::Check || image == IndicatorImage::CheckArrow) {
        p.setPen(QPen(image == IndicatorImage::CheckArrow ? Qt::white : Qt::black, 2));
        p.drawPolyline(QPolygonF{QPointF(r.left() + 1, r.center().y()), QPointF(r.left() + h / 2.5, r.bottom() - 1),
                                 QPointF(r.right(), r.top() + 1)});
    }
    p.restore();
}

}  // namespace

// The indicator column: marked rows filled with CheckedColor, the current row's
// arrow, check marks when CheckedSignum is on.
class TGridIndicator : public QHeaderView {
public:
    explicit TGridIndicator(TDbGridMarvo* grid) : QHeaderView(Qt::Vertical, grid), m_grid(grid)
    {
        setSectionResizeMode(QHeaderView::Fixed);
        setSectionsClickable(true);
        setHighlightSections(false);
        setFixedWidth(14);
    }

protected:
    // A press on a row's indicator marks it once the row has been made current.
    void mousePressEvent(QMouseEvent* e) override
    {
        const int row = logicalIndexAt(e->position().toPoint().y());
        QHeaderView::mousePressEvent(e);
        if (row >= 0 && e->button() != Qt::NoButton) {
            m_grid->setCurrentRow(row);
            m_grid->CheckCurrent();
        }
    }

    void paintSection(QPainter* p, const QRect& rect, int row) const override
    {
        const bool marked = m_grid->CheckEnabled() && m_grid->gridModel()->isRowChecked(row);
        p->fillRect(rect, marked ? m_grid->CheckedColor : m_grid->FixedColor);
        p->setPen(m_grid->palette().color(QPalette::Mid));
        p->drawLine(rect.bottomLeft(), rect.bottomRight());
        p->drawLine(rect.topRight(), rect.bottomRight());
        const bool current = row == m_grid->currentRow();
        IndicatorImage image = current ? IndicatorImage::Arrow : IndicatorImage::None;
        if (m_grid->CheckEnabled() && m_grid->CheckedSignum && marked)
            image = current ? IndicatorImage::CheckArrow : IndicatorImage::Check;
        drawIndicatorImage(*p, rect, image, m_grid->showGrid() ? 1 : 2);
    }

private:
    TDbGridMarvo* m_grid;
};

// The title row: the active title in its own colour and edge, title clicks
// outside the resize zones, and dragged columns moved in the model so that the
// model's order is always the order on screen.
class TGridTitles : public QHeaderView {
public:
    explicit TGridTitles(TDbGridMarvo* grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid)
    {
        setSectionsMovable(true);
        setSectionsClickable(true);
        setHighlightSections(false);
        setSectionResizeMode(QHeaderView::Interactive);
    }

protected:
    void paintSection(QPainter* p, const QRect& rect, int section) const override
    {
        if (section + 1 != m_grid->ActiveTitleIndex()) {
            QHeaderView::paintSection(p, rect, section);
            return;
        }
        p->fillRect(rect, m_grid->ActiveTitleColor);
        const QPalette pal = m_grid->palette();
        switch (m_grid->ActiveTitleBevel) {
        case gtbLowered: qDrawShadePanel(p, rect, pal, true, 1); break;
        case gtbRaised: qDrawShadePanel(p, rect, pal, false, 1); break;
        case gtbNone:
            p->setPen(m_grid->ActiveTitleColor);
            p->drawRect(rect.adjusted(0, 0, -1, -1));
            break;
        }
        const auto align = model()->headerData(section, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        p->setPen(pal.color(QPalette::ButtonText));
        p->drawText(rect.adjusted(3, 0, -3, 0), int(align),
                    model()->headerData(section, Qt::Horizontal, Qt::DisplayRole).toString());
    }

    void mousePressEvent(QMouseEvent* e) override
    {
        std::vector<int> edges;
        for (int v = visualIndexAt(0); v >= 0 && v < count(); ++v) {
            const int logical = logicalIndex(v);
            if (!isSectionHidden(logical))
                edges.push_back(sectionViewportPosition(logical) + sectionSize(logical));
        }
        const int x = int(e->position().x());
        if (!TDbGridMarvo::InResizeZone(x, edges, viewport()->width(), 1)) {
            const int logical = logicalIndexAt(x);
            if (logical >= 0)
                m_grid->TitleClick(logical + 1);
        }
        QHeaderView::mousePressEvent(e);
    }

private:
    TDbGridMarvo* m_grid;
};

TDbGridMarvo::TDbGridMarvo(QWidget* parent)
    : QTableView(parent), m_model(new TGridModel(this)), m_titles(new TGridTitles(this)),
      m_indicator(new TGridIndicator(this))
{
    ActiveTitleColor = palette().color(QPalette::Button);
    FixedColor = palette().color(QPalette::Button);
    setHorizontalHeader(m_titles);
    setVerticalHeader(m_indicator);
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    m_indicator->setDefaultSectionSize(fontMetrics().height() + 4);
    m_indicator->setMinimumSectionSize(8);

    connect(m_titles, &QHeaderView::sectionMoved, this, [this](int, int oldVisual, int newVisual) {
        if (m_undoingHeaderMove)
            return;
        m_undoingHeaderMove = true;
        m_titles->moveSection(newVisual, oldVisual);
        m_undoingHeaderMove = false;
        MoveColumn(oldVisual, newVisual);
    });
    connect(m_titles, &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (section < m_model->columnCount() && size > 0 && m_model->column(section).Width != size) {
            TQDLColumn c = m_model->column(section);
            c.Width = size;
            m_model->updateColumn(section, c);
        }
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &TDbGridMarvo::applyColumnWidths);
    connect(m_model, &QAbstractItemModel::columnsInserted, this, &TDbGridMarvo::applyColumnWidths);
    connect(m_model, &QAbstractItemModel::columnsMoved, this, &TDbGridMarvo::applyColumnWidths);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { m_indicator->viewport()->update(); });
    if (auto* corner = findChild<QAbstractButton*>())
        corner->installEventFilter(this);
}

TDbGridMarvo::~TDbGridMarvo() = default;

void TDbGridMarvo::applyColumnWidths()
{
    for (int i = 0; i < m_model->columnCount(); ++i) {
        const TQDLColumn& c = m_model->column(i);
        setColumnHidden(i, !c.Visible);
        if (columnWidth(i) != c.Width)
            setColumnWidth(i, c.Width);
    }
}

void TDbGridMarvo::SetActiveTitleIndex(int index)
{
    m_activeTitle = index;
    repaintTitles();
}

void TDbGridMarvo::repaintTitles()
{
    m_titles->viewport()->update();
    viewport()->update();
}

void TDbGridMarvo::SetCheckEnabled(bool enabled)
{
    if (enabled && KeyField().trimmed().isEmpty()) {
        PlainMessageBox(QStringLiteral("Položka \"KeyField\" musí být definována"));
        enabled = false;
    }
    m_checkEnabled = enabled;
    viewport()->update();
    m_indicator->viewport()->update();
}

int TDbGridMarvo::currentRow() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : (m_model->rowCount() > 0 ? 0 : -1);
}

void TDbGridMarvo::setCurrentRow(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const int col = std::max(currentIndex().column(), 0);
    const QModelIndex i = m_model->index(row, std::min(col, std::max(m_model->columnCount() - 1, 0)));
    if (!i.isValid())
        return;
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(i);
}

void TDbGridMarvo::TitleClick(int titleIndex)
{
    if (!ClickTitleEnabled)
        return;
    int newIndex = titleIndex;
    if (OnChangeTitle)
        OnChangeTitle(newIndex);
    if (newIndex != m_activeTitle) {
        m_activeTitle = newIndex;
        if (OnClickTitle) {
            const int c = ActiveColumnIndex();
            OnClickTitle(c >= 0 && c < m_model->columnCount() ? m_model->column(c).FieldName : QString(), c);
        }
    }
    repaintTitles();
}

bool TDbGridMarvo::IsCurrentChecked() const
{
    const int row = currentRow();
    return row >= 0 && m_model->isRowChecked(row);
}

void TDbGridMarvo::CheckCurrent()
{
    if (!m_checkEnabled)
        return;
    const int row = currentRow();
    if (row < 0)
        return;
    m_model->setRowChecked(row, !m_model->isRowChecked(row));
    if (OnCheckRow)
        OnCheckRow();
}

void TDbGridMarvo::CheckAll()
{
    if (!m_checkEnabled || KeyField().isEmpty())
        return;
    const std::vector<int> rows = m_model->checkAllRows();
    // The window hears of every newly marked record, as with marking by hand.
    if (OnCheckRow)
        for (size_t i = 0; i < rows.size(); ++i)
            OnCheckRow();
}

void TDbGridMarvo::UncheckAll()
{
    if (m_checkEnabled && m_model->isOpen())
        m_model->uncheckAllRows();
}

void TDbGridMarvo::ClearChecked()
{
    if (m_checkEnabled)
        m_model->clearChecked();
}

void TDbGridMarvo::MoveColumn(int from, int to)
{
    const int n = m_model->columnCount();
    if (from == to || from < 0 || to < 0 || from >= n || to >= n)
        return;
    const bool wasActive = from == ActiveColumnIndex();
    m_model->moveColumn(from, to);
    if (wasActive)
        m_activeTitle = to + 1;
    repaintTitles();
    columnMoved(from, to);
}

bool TDbGridMarvo::InResizeZone(int x, const std::vector<int>& rightEdges, int clientWidth, int lineWidth)
{
    const int w = lineWidth <= 6 ? 7 : lineWidth;
    const int d = lineWidth <= 6 ? (7 - lineWidth) / 2 : 0;
    for (int edge : rightEdges)
        if (x >= edge - d && x < edge - d + w)
            return true;
    return x >= clientWidth - d && x <= clientWidth;
}

bool TDbGridMarvo::handleMarkingKey(QKeyEvent* e)
{
    if (!m_checkEnabled)
        return false;
    const auto mods = ShiftCtrlAlt(e);
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (mods == Qt::NoModifier && (e->key() == Qt::Key_Insert || e->key() == Qt::Key_Space)) {
        CheckCurrent();
        setCurrentRow(currentRow() + 1);
        return true;
    }
    if (keypad && mods == Qt::NoModifier && e->key() == Qt::Key_Plus) {
        CheckAll();
        return true;
    }
    if (keypad && e->key() == Qt::Key_Minus && (mods == Qt::NoModifier || mods == Qt::ControlModifier)) {
        if (mods == Qt::ControlModifier)
            ClearChecked();
        else
            UncheckAll();
        if (OnCheckRow)
            OnCheckRow();
        return true;
    }
    return false;
}

void TDbGridMarvo::keyPressEvent(QKeyEvent* e)
{
    if (handleMarkingKey(e) || handleGridKey(e) || (OnKeyDown && OnKeyDown(e))) {
        e->accept();
        return;
    }
    const auto mods = ShiftCtrlAlt(e);
    const bool enter = isEnterKey(e);
    if (EnterIsTab && enter && mods == Qt::NoModifier) {
        focusNextChild();
        e->accept();
        return;
    }
    if (e->key() == Qt::Key_Space && mods == Qt::NoModifier && OnClickSpace) {
        const int c = currentIndex().column();
        OnClickSpace(c >= 0 && c < m_model->columnCount() ? m_model->column(c).FieldName : QString());
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
    if (!m_model->isOpen())
        return;
    if (enter) {
        if (OnClickEnter)
            OnClickEnter();
        e->accept();
    } else if (e->key() == Qt::Key_Escape) {
        if (OnClickEsc) {
            OnClickEsc();
            e->accept();
        }
    } else if (e->key() == Qt::Key_Insert) {
        // The grid is read-only; a window that adds records handles the key.
        if (OnClickIns)
            OnClickIns();
        e->accept();
    } else if (e->key() == Qt::Key_Delete) {
        if (OnClickDel)
            OnClickDel();
        e->accept();
    }
}

void TDbGridMarvo::keyReleaseEvent(QKeyEvent* e)
{
    if (EnterIsTab && isEnterKey(e)) {
        e->accept();
        return;
    }
    QTableView::keyReleaseEvent(e);
}

void TDbGridMarvo::wheelEvent(QWheelEvent* e)
{
    if (!m_model->isOpen() || isEmpty()) {
        e->ignore();
        return;
    }
    QTableView::wheelEvent(e);
    const int dy = e->angleDelta().y();
    if (dy < 0)
        setCurrentRow(std::min(currentRow() + 1, m_model->rowCount() - 1));
    else if (dy > 0)
        setCurrentRow(std::max(currentRow() - 1, 0));
    e->accept();
}

void TDbGridMarvo::focusInEvent(QFocusEvent* e)
{
    QTableView::focusInEvent(e);
    if (!currentIndex().isValid() && !isEmpty())
        setCurrentRow(0);
    viewport()->update();
}

void TDbGridMarvo::focusOutEvent(QFocusEvent* e)
{
    QTableView::focusOutEvent(e);
    viewport()->update();
}

bool TDbGridMarvo::eventFilter(QObject* watched, QEvent* event)
{
    // The corner cell is the indicator's title: a click there leaves no column active.
    if (event->type() == QEvent::MouseButtonPress && watched == findChild<QAbstractButton*>()) {
        TitleClick(0);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}
