#include "controls/QDLBtn.h"

#include <QFocusEvent>
#include <QFont>

TQDLBtn::TQDLBtn(QWidget* parent)
    : QPushButton(parent)
{
    init();
}

TQDLBtn::TQDLBtn(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent)
{
    init();
}

void TQDLBtn::init()
{
    QFont f = font();
    f.setBold(true);
    setFont(f);
    resize(97, height());
    setMinimumWidth(97);
    setFocusPolicy(Qt::StrongFocus);
}

void TQDLBtn::focusInEvent(QFocusEvent* event)
{
    if (!m_focusColoured)
        m_before = palette();
    m_focusColoured = true;
    QPalette p = m_before;
    p.setColor(QPalette::Button, QColor(0, 255, 255));
    setPalette(p);
    QPushButton::focusInEvent(event);
}

void TQDLBtn::focusOutEvent(QFocusEvent* event)
{
    if (m_focusColoured)
        setPalette(m_before);
    m_focusColoured = false;
    QPushButton::focusOutEvent(event);
}
