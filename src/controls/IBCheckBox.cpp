#include "controls/IBCheckBox.h"

#include "framework/UiHelpers.h"

#include <QApplication>
#include <QKeyEvent>

TIBCheckBox::TIBCheckBox(QWidget* parent)
    : QCheckBox(parent), DataControl(this)
{
    init();
}

TIBCheckBox::TIBCheckBox(const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), DataControl(this)
{
    init();
}

void TIBCheckBox::init()
{
    setLayoutDirection(Qt::RightToLeft);  // the caption on the left of the box
    updateColours();
}

QColor TIBCheckBox::idleColour() const
{
    // A check box has no edit background: the window's own colour.
    return QApplication::palette().color(QPalette::Active, QPalette::Window);
}

void TIBCheckBox::applyReadOnly(bool readOnly)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, readOnly);
}

void TIBCheckBox::nextCheckState()
{
    if (!ReadOnly())
        QCheckBox::nextCheckState();
}

void TIBCheckBox::emitOnExit()
{
    // An Enter that already fired OnExit is not followed by a second one.
    if (m_exitFired) {
        m_exitFired = false;
        return;
    }
    emit OnExit();
}

void TIBCheckBox::keyPressEvent(QKeyEvent* event)
{
    if (windowTookKey(event, [this](QKeyEvent* e) { emit OnKeyDown(e); }))
        return;
    const bool keypad = event->modifiers() & Qt::KeypadModifier;
    if (keypad && event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9) {
        if (!ReadOnly())
            toggle();
        return;
    }
    const bool enter = isEnterKey(event);
    if (enter && ShiftCtrlAlt(event) == Qt::NoModifier) {
        emit OnExit();
        m_exitFired = true;
        if (hasFocus())
            moveToNextControl();
        return;
    }
    QCheckBox::keyPressEvent(event);
}
