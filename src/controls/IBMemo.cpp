#include "controls/IBMemo.h"

#include "framework/UiHelpers.h"

#include <QKeyEvent>

TIBMemo::TIBMemo(QWidget* parent)
    : QPlainTextEdit(parent), DataControl(this)
{
    setFont(dataControlFont());
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true);
    updateColours();
}

void TIBMemo::setWantTabs(bool on)
{
    m_wantTabs = on;
    setTabChangesFocus(!on);
}

void TIBMemo::keyPressEvent(QKeyEvent* event)
{
    if (windowTookKey(event, [this](QKeyEvent* e) { emit OnKeyDown(e); }))
        return;
    const Qt::KeyboardModifiers mods = ShiftCtrlAlt(event);
    const bool enter = isEnterKey(event);
    if (enter && m_enterMoves) {
        if (mods == Qt::NoModifier) {
            moveToNextControl();
            return;
        }
        // With a modifier: a new line (Shift+Enter would give a line separator).
        insertPlainText(QStringLiteral("\n"));
        return;
    }
    if (event->key() == Qt::Key_A && mods == Qt::ControlModifier) {
        selectAll();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
