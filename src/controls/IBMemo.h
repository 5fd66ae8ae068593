#pragma once

#include "controls/DataControl.h"

#include <QPlainTextEdit>

// TIBMemo: a multi-line data edit with a vertical scroll bar,
// Courier 10. With EnterKeyMovesFocus (on at construction) Enter without a
// modifier moves to the next control; Enter with a modifier makes a new line.
// It takes no part in CheckControls.
class TIBMemo : public QPlainTextEdit, public DataControl {
    Q_OBJECT
public:
    explicit TIBMemo(QWidget* parent = nullptr);

    void setReadOnly(bool readOnly) { DataControl::setReadOnly(readOnly); }
    bool EnterKeyMovesFocus() const { return m_enterMoves; }
    void setEnterKeyMovesFocus(bool on) { m_enterMoves = on; }
    // Tab inserts a tab character instead of moving the focus.
    bool WantTabs() const { return m_wantTabs; }
    void setWantTabs(bool on);

    bool CheckValue() override { return false; }

signals:
    void OnEnter();
    void OnExit();
    void OnKeyDown(QKeyEvent* event);

protected:
    void emitOnEnter() override { emit OnEnter(); }
    void emitOnExit() override { emit OnExit(); }
    bool takesPartInCheckControls() const override { return false; }
    bool exitCheckApplies() const override { return false; }
    void applyReadOnly(bool readOnly) override { QPlainTextEdit::setReadOnly(readOnly); }
    void entered() override { selectAll(); }
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_enterMoves = true;
    bool m_wantTabs = false;
};
