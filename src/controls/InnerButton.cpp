#include "controls/InnerButton.h"

#include <QEvent>
#include <QLineEdit>

InnerButton::InnerButton(QLineEdit* edit, const QString& text)
    : QToolButton(edit), m_edit(edit)
{
    setText(text);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setAutoRaise(false);
    edit->installEventFilter(this);
    place();
}

void InnerButton::setShown(bool shown)
{
    setVisible(shown);
    m_edit->setTextMargins(0, 0, shown ? 16 : 0, 0);
}

bool InnerButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        place();
    return false;
}

void InnerButton::place()
{
    const int frame = 2;
    setGeometry(m_edit->width() - 16 - frame, frame, 16, qMax(1, m_edit->height() - 2 * frame));
}
