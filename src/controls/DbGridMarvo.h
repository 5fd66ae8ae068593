#pragma once

#include "controls/GridModel.h"

#include <QColor>
#include <QFont>
#include <QTableView>

#include <functional>

class QKeyEvent;
class TGridIndicator;
class TGridTitles;

enum TGridTitleBevel { gtbLowered, gtbNone, gtbRaised };

// TDbGridMarvo: the general layer of the record grid. A read-only, row-selecting
// table over a TGridModel with an indicator column (the vertical header; the
// corner cell is the indicator's title), an active title chosen by title clicks
// or Ctrl+Left/Right, marking by mouse and keys, and the grid's key events.
//
// ActiveTitleIndex counts the indicator as 0, so 1 is the first data column and
// 0 means no active column. Data column indexes (ActiveColumnIndex, MoveColumn)
// are the model's columns, which always stand in their on-screen order.
class TDbGridMarvo : public QTableView {
    Q_OBJECT
public:
    explicit TDbGridMarvo(QWidget* parent = nullptr);
    ~TDbGridMarvo() override;

    TGridModel* gridModel() const { return m_model; }

    // --- properties ---------------------------------------------------------
    int ActiveTitleIndex() const { return m_activeTitle; }
    void SetActiveTitleIndex(int index);
    int ActiveColumnIndex() const { return m_activeTitle - 1; }
    TGridTitleBevel ActiveTitleBevel = gtbLowered;
    QColor ActiveTitleColor;
    bool ActiveColumnBold = false;
    int LockedCols = 0;
    QFont LockedFont;
    QColor LockedColor = QColor(192, 192, 192);
    QColor FixedColor;
    bool ClickTitleEnabled = false;
    QColor CheckedColor = QColor(128, 128, 128);
    bool CheckedSignum = false;
    bool EnterIsTab = false;
    bool ReadOnly = false;

    TGridKeyType KeyFieldType() const { return m_model->keyFieldType(); }
    void SetKeyFieldType(TGridKeyType type) { m_model->setKeyFieldType(type); }
    QString KeyField() const { return m_model->keyField(); }
    void SetKeyField(const QString& field) { m_model->setKeyField(field); }
    bool CheckEnabled() const { return m_checkEnabled; }
    // Refused with a message while KeyField is empty.
    void SetCheckEnabled(bool enabled);

    // --- events (the window's handlers) -------------------------------------
    std::function<void(const QString& fieldName)> OnClickSpace;
    std::function<void(int& newTitleIndex)> OnChangeTitle;
    std::function<void(const QString& fieldName, int columnIndex)> OnClickTitle;
    std::function<void()> OnClickEnter, OnClickIns, OnClickDel, OnClickEsc, OnCheckRow;
    // The window's key handler; true when it consumed the key.
    std::function<bool(QKeyEvent*)> OnKeyDown;

    // --- dataset ------------------------------------------------------------
    bool isOpen() const { return m_model->isOpen(); }
    bool isEmpty() const { return m_model->rowCount() == 0; }
    int currentRow() const;  // -1 when there is no current record
    void setCurrentRow(int row);
    QVariant fieldValue(const QString& field) const { return m_model->fieldValue(currentRow(), field); }

    // --- operations ---------------------------------------------------------
    virtual void TitleClick(int titleIndex);
    void CheckCurrent();
    void CheckAll();
    void UncheckAll();
    void ClearChecked();
    int CheckedCount() const { return m_model->checkedCount(); }
    int CheckedKey(int index) const { return m_model->checkedKey(index); }
    bool IsCurrentChecked() const;
    // Moves a data column; an active column takes the active title along.
    void MoveColumn(int from, int to);

    // Where the title row's column-resize zones lie: each zone starts d pixels
    // left of a column's right edge and is w wide (w 7 and d (7 - line) / 2 for
    // lines up to 6 pixels, else w the line and d 0), plus [width - d, width].
    static bool InResizeZone(int x, const std::vector<int>& rightEdges, int clientWidth, int lineWidth);

    // Off: a letter the grid does not handle must not move the cursor to the
    // next row starting with it (the windows give letters their own meaning).
    void keyboardSearch(const QString&) override {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The derived grid's keys (find, moving the active title and columns), run
    // after the marking keys and before the window's OnKeyDown.
    virtual bool handleGridKey(QKeyEvent*) { return false; }
    // After a column changed place (dragged or moved by keys).
    virtual void columnMoved(int, int) {}
    void repaintTitles();

private:
    friend class TGridTitles;
    friend class TGridIndicator;
    bool handleMarkingKey(QKeyEvent* event);
    void applyColumnWidths();

    TGridModel* m_model;
    TGridTitles* m_titles;
    TGridIndicator* m_indicator;
    int m_activeTitle = 0;
    bool m_checkEnabled = false;
    bool m_undoingHeaderMove = false;
};
