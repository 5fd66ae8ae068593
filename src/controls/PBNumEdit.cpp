#include "controls/PBNumEdit.h"

#include "framework/UiHelpers.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMetaMethod>

TPBNumEdit::TPBNumEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_model.setSettings(currentSettings());
    m_model.setValue(0);
    render();
    // A paste or an outside setText goes through the model too.
    connect(this, &QLineEdit::textEdited, this, [this] { reformat(); });
}

NumberTyping::Settings TPBNumEdit::currentSettings() const
{
    NumberTyping::Settings s;
    const QLocale locale;
    s.decimalPoint = locale.decimalPoint().at(0);
    s.groupSeparator = locale.groupSeparator().isEmpty() ? QChar(0x00A0) : locale.groupSeparator().at(0);
    s.decimals = m_decimals;
    s.format = m_format;
    s.maxLength = maxLength() < 32767 ? maxLength() : 0;
    return s;
}

void TPBNumEdit::syncModel()
{
    const NumberTyping::Settings s = currentSettings();
    const NumberTyping::Settings& m = m_model.settings();
    if (s.decimalPoint != m.decimalPoint || s.groupSeparator != m.groupSeparator || s.decimals != m.decimals
        || s.format != m.format || s.maxLength != m.maxLength)
        m_model.setSettings(s);
}

void TPBNumEdit::render()
{
    const QString t = m_model.text();
    if (text() != t) {
        const bool wasModified = isModified();
        QLineEdit::setText(t);
        setModified(wasModified);
    }
    if (m_model.selectionLength() > 0)
        setSelection(m_model.selectionStart(), m_model.selectionLength());
    else
        setCursorPosition(m_model.caret());
}

long double TPBNumEdit::Value() const
{
    return m_model.value();
}

void TPBNumEdit::setValue(long double value)
{
    syncModel();
    m_model.setValue(value);
    m_model.setCaret(int(m_model.text().size()));
    render();
}

void TPBNumEdit::setDecimals(int decimals)
{
    m_decimals = decimals > 14 ? -1 : decimals;
    syncModel();
    render();
}

void TPBNumEdit::setNumberFormat(Format format)
{
    m_format = format;
    syncModel();
    render();
}

void TPBNumEdit::setMaxLength(int length)
{
    QLineEdit::setMaxLength(length);
    syncModel();
    m_decimals = m_model.settings().decimals;
    render();
}

void TPBNumEdit::Clear()
{
    setValue(m_min);
    emit OnClear();
}

void TPBNumEdit::reformat()
{
    syncModel();
    QString t = text();
    if (t.endsWith(QLatin1Char('\n')) || t.endsWith(QLatin1Char('\r')))
        t = QStringLiteral("0");
    m_model.setText(t);
    m_model.setCaret(int(m_model.text().size()));
    render();
    setModified(true);
}

void TPBNumEdit::beep()
{
    ++m_beeps;
    QApplication::beep();
    emit Beeped();
}

bool TPBNumEdit::isSeparatorKey(QChar c) const
{
    return c == m_model.settings().decimalPoint;
}

bool TPBNumEdit::event(QEvent* e)
{
    if (e->type() == QEvent::LocaleChange) {
        const long double v = Value();
        syncModel();
        m_model.setValue(v);
        render();
    }
    return QLineEdit::event(e);
}

void TPBNumEdit::focusInEvent(QFocusEvent* event)
{
    syncModel();
    QLineEdit::focusInEvent(event);
    if (m_autoSelect)
        selectAll();
}

void TPBNumEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        rangeCheckOnExit();
}

void TPBNumEdit::rangeCheckOnExit()
{
    if (m_min == 0 && m_max == 0)
        return;
    const long double v = Value();
    if (v >= m_min && v <= m_max)
        return;
    if (isSignalConnected(QMetaMethod::fromSignal(&TPBNumEdit::OnInvalidEntry))) {
        emit OnInvalidEntry();
        return;
    }
    setValue(v < m_min ? m_min : m_max);
    beep();
    setFocus(Qt::OtherFocusReason);
}

void TPBNumEdit::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = ShiftCtrlAlt(event);
    if (mods == Qt::ControlModifier
        && (event->key() == Qt::Key_C || event->key() == Qt::Key_V || event->key() == Qt::Key_X)) {
        QLineEdit::keyPressEvent(event);
        if (event->key() != Qt::Key_C)
            reformat();
        return;
    }
    const bool editing = !isReadOnly();
    syncModel();
    // The model follows the edit's caret and selection.
    if (hasSelectedText())
        m_model.setSelection(selectionStart(), int(selectedText().size()));
    else
        m_model.setCaret(cursorPosition());

    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (!editing)
            return;
        const bool ok = event->key() == Qt::Key_Backspace ? m_model.backspace() : m_model.del();
        if (!ok)
            beep();
        render();
        setModified(true);
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
        if (!editing)
            return;
        QChar c = typed.at(0);
        if (isSeparatorKey(c))
            c = m_model.settings().decimalPoint;
        const bool ok = m_model.type(c);
        if (!ok)
            beep();
        render();
        if (ok)
            setModified(true);
        return;
    }
    // Caret movement and the like.
    QLineEdit::keyPressEvent(event);
}
