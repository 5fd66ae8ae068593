#pragma once

#include "controls/DbGridMarvo.h"

#include <QStyle>
#include <QVariantMap>

class QMenu;
class QPainter;
class QResizeEvent;
class QShowEvent;
namespace fb {
class Query;
}

// The colours one data cell is drawn with; the window's OnDrawColumnCell may
// change them before the text is drawn.
struct TGridCellColors {
    QColor background;
    QColor text;
    bool strikeOut = false;  // a finished item is shown struck out
    bool bold = false;
};

struct TGridCellState {
    int row = -1;           // the row being drawn
    bool selected = false;  // the current row
    bool focused = false;   // the grid has the focus
    bool marked = false;
};

// TDbGridQDL: the grid the windows use. Adds ordering (the active column first,
// the others after it), the marked-records clause, the re-query protocol
// (DisplayGrid fires OnDisplayGrid), the drawing rules, the find in the active
// column and the context menu, and fits column widths to the grid.
class TDbGridQDL : public TDbGridMarvo {
    Q_OBJECT
public:
    explicit TDbGridQDL(QWidget* parent = nullptr);
    ~TDbGridQDL() override;

    // --- properties ---------------------------------------------------------
    QString Title;
    bool ColoringRows = true;
    // A menu of the window's own; the grid's items are appended after a separator.
    QMenu* PopupMenu = nullptr;
    bool OznacNaCerveno() const { return m_oznacNaCerveno; }
    void SetOznacNaCerveno(bool on);
    bool ColorSelectedRow() const { return m_colorSelectedRow; }
    void SetColorSelectedRow(bool on);

    // --- events -------------------------------------------------------------
    std::function<void()> OnDisplayGrid, OnFoundRecord, OnFindExternal;
    using DrawCellEvent = std::function<void(QPainter*, const QRect&, int dataCol, const TQDLColumn&,
                                             const TGridCellState&, TGridCellColors&)>;
    DrawCellEvent OnDrawColumnCell;      // the window's own drawing, before the text
    DrawCellEvent OnDrawColumnCellPost;  // after the cell has been drawn

    // --- columns ------------------------------------------------------------
    void SetColumns(std::vector<TQDLColumn> columns) { gridModel()->setColumns(std::move(columns)); }
    void AddColumn(const TQDLColumn& column) { gridModel()->addColumn(column); }
    const std::vector<TQDLColumn>& Columns() const { return gridModel()->columns(); }
    int ColumnCount() const { return gridModel()->columnCount(); }
    // First column showing the field (letter case ignored); -1 when none.
    int ColumnIndexByField(const QString& fieldName) const;

    // --- dataset ------------------------------------------------------------
    // Runs the query (its transaction active) and shows its whole result.
    void OpenQuery(fb::Query& query);
    void CloseData() { gridModel()->close(); }
    // Positions the grid on the first record whose field matches; false (and
    // the position kept) when there is none.
    bool Locate(const QString& field, const QVariant& value, bool caseInsensitive = false, bool partial = false);
    // The same search starting at the record after the current one.
    bool LocateNext(const QString& field, const QVariant& value, bool caseInsensitive, bool partial);

    // --- operations ---------------------------------------------------------
    void TitleClick(int titleIndex) override;
    QString OrderByClause(const QString& direction);
    QString ColumnOrderExpr(int column, const QString& direction);
    // The marked-records clause; beyond 500 marks the keys go to TEMP_SPRACUJ
    // on the main connection under a fresh key. Text keys are parameters of the
    // clause, their values go to `params`.
    QString CheckedFilter(const QString& prefix, const QString& fieldName, QVariantMap* params = nullptr);
    QVariant CheckedValue(int index, const QString& fieldName);
    void DisplayGrid();
    int CountRecords() const;
    void FindInColumn();
    // Fits the visible columns that take part (AutoSizeAlignment) to the
    // grid's width. Runs by itself after DisplayGrid and resizes once the
    // grid is shown, and when it appears; a direct call fits at once.
    void AutoFitColumns();
    // Restores the stored column order and builds the context menu; the window
    // calls it once its columns and object names are set.
    void Loaded();

    // The colours of a data cell by the drawing rules (without the window's event).
    TGridCellColors CellColors(int row, int dataCol) const;
    TGridCellState CellState(int row) const;
    QMenu* GridMenu();
    // Portrait or landscape for the printouts of the context menu.
    bool PrintLandscape() const;

protected:
    bool handleGridKey(QKeyEvent* event) override;
    void columnMoved(int from, int to) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void runFindExternal();
    QString transferToTempSpracuj(const QString& field);

    bool m_oznacNaCerveno = false;
    bool m_colorSelectedRow = false;
    class TGridContextMenu* m_menuActions = nullptr;
};
