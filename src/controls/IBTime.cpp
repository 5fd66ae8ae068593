#include "controls/IBTime.h"

#include "controls/DateInput.h"
#include "controls/InnerButton.h"
#include "framework/Clock.h"
#include "framework/UiHelpers.h"

#include <QKeyEvent>
#include <QLocale>

namespace {

QTime toTime(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().time();
    return v.toTime();
}

QTime minutesOnly(const QTime& t)
{
    return t.isValid() ? QTime(t.hour(), t.minute()) : QTime();
}

}  // namespace

TIBTime::TIBTime(QWidget* parent)
    : QLineEdit(parent), DataControl(this)
{
    setFont(dataControlFont());
    setFixedHeight(21);
    resize(65, 21);
    setMinimumWidth(65);
    m_button = new InnerButton(this, QStringLiteral("▾"));
    m_button->setObjectName(QStringLiteral("button"));
    m_button->setShown(true);
    connect(m_button, &QToolButton::clicked, this, [this] {
        if (!ReadOnly())
            emit OnButtonClick();
    });
    updateColours();
}

QVariant TIBTime::Time() const
{
    return m_value.isValid() ? QVariant(m_value) : QVariant();
}

void TIBTime::setTime(const QVariant& value)
{
    m_value = minutesOnly(toTime(value));
    setText(hasFocus() && isEntered() && !ReadOnly() ? TimeTypingText(m_value) : TimeDisplayText(m_value));
}

void TIBTime::Clear()
{
    m_value = QTime();
    clear();
}

void TIBTime::applyReadOnly(bool readOnly)
{
    QLineEdit::setReadOnly(readOnly);
    m_button->setShown(!readOnly);
}

void TIBTime::entered()
{
    if (!IsEmpty() && !ReadOnly())
        setText(TimeTypingText(m_value));
    selectAll();
}

bool TIBTime::refuse(const QString& text)
{
    showOwnPlainText(text);
    return true;
}

bool TIBTime::CheckValue()
{
    QString t = text().trimmed();
    if (t == TimeDisplayText(m_value))
        t = TimeTypingText(m_value);
    if (!t.isEmpty()) {
        const TimeInputResult r = ParseTimeInput(t, m_value);
        if (!r.ok) {
            showOwnPlainText(QStringLiteral("Nesprávny čas! Opravte hodnotu."));
            setText(hasFocus() ? TimeTypingText(m_value) : TimeDisplayText(m_value));
            return true;
        }
        m_value = r.time;
    } else if (Required()) {
        return refuse(QStringLiteral("Povinný údaj. Položka musí byť zadaná!"));
    } else {
        m_value = QTime();
    }
    if (!IsEmpty()) {
        const QTime min = toTime(m_minTime), max = toTime(m_maxTime);
        const QLocale locale;
        if (min.isValid() && m_value < minutesOnly(min))
            return refuse(QStringLiteral("Zadaný čas je menší ako je povolené! (%1)")
                              .arg(locale.toString(min, QLocale::ShortFormat)));
        if (max.isValid() && m_value > max)
            return refuse(QStringLiteral("Zadaný čas je väčší ako je povolené! (%1)")
                              .arg(locale.toString(max, QLocale::ShortFormat)));
    }
    if (!hasFocus() || !isEntered())
        setText(TimeDisplayText(m_value));
    return false;
}

void TIBTime::keyPressEvent(QKeyEvent* event)
{
    if (windowTookKey(event, [this](QKeyEvent* e) { emit OnKeyDown(e); }))
        return;
    const Qt::KeyboardModifiers mods = ShiftCtrlAlt(event);
    const bool enter = isEnterKey(event);
    if (enter && mods == Qt::NoModifier) {
        moveToNextControl();
        return;
    }
    if (enter && mods == Qt::ControlModifier) {
        if (!ReadOnly())
            emit OnButtonClick();
        return;
    }
    if (event->key() == Qt::Key_F5 && mods == Qt::NoModifier) {
        if (!ReadOnly() && hasFocus()) {
            m_value = minutesOnly(Clock::now().time());
            setText(TimeTypingText(m_value));
            selectAll();
        }
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
        if (!typed.at(0).isDigit())
            return;
        if (!hasSelectedText() && text().size() >= 4)
            return;  // "hhnn" at most
    }
    QLineEdit::keyPressEvent(event);
}
