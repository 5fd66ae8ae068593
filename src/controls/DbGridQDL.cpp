#include "controls/DbGridQDL.h"

#include "controls/GridContextMenu.h"
#include "controls/GridSql.h"
#include "controls/TempSpracuj.h"
#include "controls/fDBGridQDLFind.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Dialogs.h"
#include "framework/Messages.h"
#include "framework/TextHelpers.h"
#include "framework/UiHelpers.h"
#include "framework/TransactionHelpers.h"
#include "framework/WaitPlease.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

void informationBox(const QString& text)
{
    DialogRequest r;
    r.kind = DialogKind::Standard;
    r.type = msg::Information;
    r.caption = dialogCaption(msg::Information);
    r.text = text;
    r.buttons = {msg::OK};
    showDialog(r);
}

// Paints data cells by the grid's rules, then the window's own events.
class TGridCellDelegate : public QStyledItemDelegate {
public:
    explicit TGridCellDelegate(TDbGridQDL* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int row = index.row();
        const int col = index.column();
        const TQDLColumn& column = m_grid->gridModel()->column(col);
        const TGridCellState state = m_grid->CellState(row);
        TGridCellColors colors = m_grid->CellColors(row, col);
        if (m_grid->OnDrawColumnCell)
            m_grid->OnDrawColumnCell(p, option.rect, col, column, state, colors);
        p->fillRect(option.rect, colors.background);
        QFont font = option.font;
        if (col < m_grid->LockedCols)
            font = m_grid->LockedFont;
        if (m_grid->ActiveColumnBold && col == m_grid->ActiveColumnIndex())
            font.setBold(true);
        if (colors.bold)
            font.setBold(true);
        font.setStrikeOut(colors.strikeOut);
        p->setFont(font);
        p->setPen(colors.text);
        const QRect textRect = option.rect.adjusted(2, 0, -2, 0);
        const QString text = QFontMetrics(font).elidedText(index.data().toString(), Qt::ElideRight, textRect.width());
        p->drawText(textRect, int(column.Alignment | Qt::AlignVCenter), text);
        if (m_grid->OnDrawColumnCellPost)
            m_grid->OnDrawColumnCellPost(p, option.rect, col, column, state, colors);
    }

private:
    TDbGridQDL* m_grid;
};

}  // namespace

TDbGridQDL::TDbGridQDL(QWidget* parent) : TDbGridMarvo(parent)
{
    CheckedColor = QColor(255, 255, 0);
    SetKeyField(QStringLiteral("jedin"));
    SetCheckEnabled(true);
    ClickTitleEnabled = true;
    ReadOnly = true;
    setItemDelegate(new TGridCellDelegate(this));
}

TDbGridQDL::~TDbGridQDL() = default;

void TDbGridQDL::SetOznacNaCerveno(bool on)
{
    m_oznacNaCerveno = on;
    viewport()->update();
}

void TDbGridQDL::SetColorSelectedRow(bool on)
{
    m_colorSelectedRow = on;
    viewport()->update();
}

int TDbGridQDL::ColumnIndexByField(const QString& fieldName) const
{
    for (int i = 0; i < ColumnCount(); ++i)
        if (Columns()[size_t(i)].FieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// --- dataset ----------------------------------------------------------------

void TDbGridQDL::OpenQuery(fb::Query& query)
{
    query.execute();
    fb::ResultTable table;
    query.fetchAll(table);
    gridModel()->setResult(std::move(table));
    if (!isEmpty())
        setCurrentRow(0);
}

bool TDbGridQDL::Locate(const QString& field, const QVariant& value, bool caseInsensitive, bool partial)
{
    const int row = gridModel()->findRow(field, value, caseInsensitive, partial, 0);
    if (row < 0)
        return false;
    setCurrentRow(row);
    return true;
}

bool TDbGridQDL::LocateNext(const QString& field, const QVariant& value, bool caseInsensitive, bool partial)
{
    const int row = gridModel()->findRow(field, value, caseInsensitive, partial, currentRow() + 1);
    if (row < 0)
        return false;
    setCurrentRow(row);
    return true;
}

int TDbGridQDL::CountRecords() const
{
    return gridModel()->isOpen() ? gridModel()->rowCount() : 0;
}

// --- ordering ---------------------------------------------------------------

QString TDbGridQDL::ColumnOrderExpr(int column, const QString& direction)
{
    if (column < 0 || column >= ColumnCount())
        return {};
    const TQDLColumn& c = Columns()[size_t(column)];
    bool missing = false;
    const QString term = ColumnOrderTerm(c, direction, &missing);
    if (missing)
        PlainMessageBox(QStringLiteral("Nastavte vlastnosť \"OrderBY\" pre stĺpec ") + c.TitleCaption);
    return term;
}

QString TDbGridQDL::OrderByClause(const QString& direction)
{
    const TOrderBy order = BuildOrderBy(Columns(), ActiveTitleIndex() - 1, direction);
    for (const QString& title : order.columnsWithoutTerm)
        PlainMessageBox(QStringLiteral("Nastavte vlastnosť \"OrderBY\" pre stĺpec ") + title);
    return order.clause;
}

// --- marked-records clause ----------------------------------------------------

QVariant TDbGridQDL::CheckedValue(int index, const QString& fieldName)
{
    if (index < 0 || index >= CheckedCount())
        return {};
    const QVariant key = KeyFieldType() == gktInteger
                             ? QVariant(CheckedKey(index))
                             : QVariant(gridModel()->checkedStrings().at(index));
    if (fieldName.isEmpty() || fieldName.compare(KeyField(), Qt::CaseInsensitive) == 0)
        return key;
    if (!Locate(KeyField(), key))
        return {};
    return fieldValue(fieldName);
}

QString TDbGridQDL::CheckedFilter(const QString& prefix, const QString& fieldName, QVariantMap* params)
{
    if (!CheckEnabled() || CheckedCount() == 0)
        return {};
    const QString field = fieldName.isEmpty() ? KeyField() : fieldName;
    if (MarkedNeedTempSpracuj(CheckedCount(), KeyFieldType()))
        return TempSpracujFilter(prefix, KeyField(), transferToTempSpracuj(field));
    QVariantList values;
    values.reserve(CheckedCount());
    for (int i = 0; i < CheckedCount(); ++i)
        values << CheckedValue(i, field);
    TMarkedFilter filter = MarkedRecordsFilter(values, prefix, KeyField(), KeyFieldType());
    if (params)
        params->insert(filter.params);
    return filter.sql;
}

// The key is a GUID made here, never user text, so it may stand in the SQL.
QString TDbGridQDL::transferToTempSpracuj(const QString& field)
{
    WaitPleaseScope wait(2000);
    const QString key = NewGuidText();
    const bool byKey = field.compare(KeyField(), Qt::CaseInsensitive) == 0;
    const auto keys = gridModel()->checkedList().keys();
    auto transaction = NewTransaction(false, true);
    try {
        transaction->start();
        WriteTempSpracuj(*transaction, key, qsizetype(keys.size()), [&](qsizetype k) {
            return byKey ? QVariant(keys[size_t(k)]) : QVariant(CheckedValue(int(k), field).toLongLong());
        }, ClauseSetRhythm());
        transaction->commit();
    } catch (...) {
        // The caller reports the error; the rows written so far go with it.
        RollbackIfActive(*transaction);
        throw;
    }
    return key;
}

// --- re-query ---------------------------------------------------------------

void TDbGridQDL::DisplayGrid()
{
    {
        WaitCursor cursor;
        if (OnDisplayGrid)
            OnDisplayGrid();
        else if (ClickTitleEnabled)
            PlainMessageBox(QStringLiteral("Missing OnDisplay event code."));
    }
    // A grid not yet shown has no width of its own; it fits when it appears.
    if (isVisible())
        AutoFitColumns();
}

void TDbGridQDL::TitleClick(int titleIndex)
{
    const bool same = titleIndex == ActiveTitleIndex();
    TDbGridMarvo::TitleClick(titleIndex);
    if (!same && ClickTitleEnabled)
        DisplayGrid();
}

void TDbGridQDL::columnMoved(int, int)
{
    DisplayGrid();
    repaintTitles();
}

// --- drawing ----------------------------------------------------------------

TGridCellState TDbGridQDL::CellState(int row) const
{
    TGridCellState s;
    s.row = row;
    s.selected = row == currentRow();
    s.focused = hasFocus();
    s.marked = CheckEnabled() && gridModel()->isRowChecked(row);
    return s;
}

TGridCellColors TDbGridQDL::CellColors(int row, int dataCol) const
{
    const TGridCellState s = CellState(row);
    const bool highlighted = s.selected && s.focused;
    TGridCellColors c{palette().color(QPalette::Base), palette().color(QPalette::Text)};
    if (highlighted)
        c = {palette().color(QPalette::Highlight), palette().color(QPalette::HighlightedText)};
    if (ColoringRows && !highlighted)
        c.background = (row + 1) % 2 ? QColor(230, 251, 255) : QColor(254, 255, 230);
    if (s.marked && !highlighted)
        c.background = CheckedColor;
    if (m_oznacNaCerveno && (CheckedCount() == 0 ? s.selected : s.marked))
        c = {Qt::red, Qt::yellow};
    if (m_colorSelectedRow && s.selected && dataCol == ActiveColumnIndex())
        c.background = QColor(0, 255, 0);
    return c;
}

// --- keys -------------------------------------------------------------------

void TDbGridQDL::runFindExternal()
{
    if (!OnFindExternal)
        return;
    SetColorSelectedRow(true);
    struct Reset {
        TDbGridQDL* g;
        ~Reset() { g->SetColorSelectedRow(false); }
    } reset{this};
    OnFindExternal();
}

bool TDbGridQDL::handleGridKey(QKeyEvent* e)
{
    const auto mods = ShiftCtrlAlt(e);
    const int active = ActiveTitleIndex();
    if (e->key() == Qt::Key_V && mods == Qt::NoModifier && isOpen() && !isEmpty()) {
        if (active < 1 || active > ColumnCount() || !Columns()[size_t(active - 1)].FindExternal)
            FindInColumn();
        else
            runFindExternal();
        return true;
    }
    if (mods == Qt::ControlModifier && ClickTitleEnabled) {
        if (e->key() == Qt::Key_Left && active > 0) {
            SetActiveTitleIndex(active - 1);
            DisplayGrid();
            return true;
        }
        if (e->key() == Qt::Key_Right && active < ColumnCount()) {
            SetActiveTitleIndex(active + 1);
            DisplayGrid();
            return true;
        }
    }
    if (mods == (Qt::ControlModifier | Qt::ShiftModifier)) {
        if (e->key() == Qt::Key_Left && active > 1) {
            MoveColumn(active - 1, active - 2);
            return true;
        }
        if (e->key() == Qt::Key_Right && active > 0 && active < ColumnCount()) {
            MoveColumn(active - 1, active);
            return true;
        }
    }
    return false;
}

// --- find -------------------------------------------------------------------

void TDbGridQDL::FindInColumn()
{
    const int active = ActiveTitleIndex();
    if (active == 0 || active > ColumnCount()) {
        informationBox(QStringLiteral("Nie je zvolený žiadny stĺpec, nie je možné vyhľadávať."));
        return;
    }
    if (!isVisible() || !isEnabled()) {
        informationBox(QStringLiteral("Grid nie je viditeľný, vyhľadávanie sa neprevedie."));
        return;
    }
    if (!isOpen() || isEmpty()) {
        informationBox(QStringLiteral("Nie sú zobrazené žiadne údaje, nie je v čom vyhľadávať."));
        return;
    }
    const TQDLColumn& column = Columns()[size_t(active - 1)];
    const QString field = column.FindByField.isEmpty() ? column.FieldName : column.FindByField;
    if (column.FindExternal) {
        runFindExternal();
        return;
    }
    TfrmDBGridQDLFind::Page page;
    switch (gridModel()->fieldType(field)) {
    case fb::ColumnType::Text:
    case fb::ColumnType::Integer:
    case fb::ColumnType::BigInt:
    case fb::ColumnType::Decimal:
        page = TfrmDBGridQDLFind::TextPage;
        break;
    case fb::ColumnType::Date:
    case fb::ColumnType::Timestamp:
        page = TfrmDBGridQDLFind::DatePage;
        break;
    default:
        PlainMessageBox(QStringLiteral("Unknown type"));
        return;
    }
    TfrmDBGridQDLFind dialog(this, field, page, column.FindBy);
    dialog.exec();
}

// --- widths and menu --------------------------------------------------------

void TDbGridQDL::AutoFitColumns()
{
    std::vector<TQDLColumn> cols = Columns();
    const int n = int(cols.size());
    if (n == 0)
        return;
    // Hidden columns take no room: they neither count nor change.
    const auto fits = [](const TQDLColumn& c) { return c.Visible && c.AutoSizeAlignment; };
    int s = 0;
    int k = 0;
    for (const TQDLColumn& c : cols) {
        s += c.Visible ? c.Width : 0;
        k += fits(c) ? 1 : 0;
    }
    if (k == 0)
        return;
    const int b = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int w = width();
    int delta = 0;
    if (s + b + 24 < w) {
        const int e = w - b - s - 30;
        if (e <= 0)
            return;
        delta = e / k;
    } else if (s + b + 24 > w) {
        delta = -((s + b + 30 - w) / k);
    }
    if (delta == 0)
        return;
    for (int i = 0; i < n; ++i) {
        if (!fits(cols[size_t(i)]))
            continue;
        TQDLColumn c = cols[size_t(i)];
        // A column never shrinks out of sight.
        c.Width = std::max(c.Width + delta, 8);
        gridModel()->updateColumn(i, c);
        setColumnWidth(i, c.Width);
    }
}

void TDbGridQDL::resizeEvent(QResizeEvent* event)
{
    TDbGridMarvo::resizeEvent(event);
    // Before the grid is shown its width is a placeholder (Qt's default);
    // fitting to it would squeeze the design widths for good.
    if (isVisible())
        AutoFitColumns();
}

void TDbGridQDL::showEvent(QShowEvent* event)
{
    TDbGridMarvo::showEvent(event);
    AutoFitColumns();
}

void TDbGridQDL::Loaded()
{
    GridMenu();
    m_menuActions->RestoreColumnPositions();
    if (toolTip().trimmed().isEmpty() && !Title.trimmed().isEmpty())
        setToolTip(Title);
}

bool TDbGridQDL::PrintLandscape() const
{
    return m_menuActions && m_menuActions->landscape();
}

QMenu* TDbGridQDL::GridMenu()
{
    if (!m_menuActions)
        m_menuActions = new TGridContextMenu(this);
    return m_menuActions->menu();
}

void TDbGridQDL::contextMenuEvent(QContextMenuEvent* event)
{
    GridMenu()->exec(event->globalPos());
}
