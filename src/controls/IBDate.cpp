#include "controls/IBDate.h"

#include "controls/DateInput.h"
#include "controls/InnerButton.h"
#include "controls/MonthCalendar.h"
#include "framework/Clock.h"
#include "framework/UiHelpers.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMetaMethod>

namespace {

QDate toDate(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return v.toDate();
}

}  // namespace

TIBDate::TIBDate(QWidget* parent)
    : QLineEdit(parent), DataControl(this)
{
    setFont(dataControlFont());
    setFixedHeight(21);
    resize(105, 21);
    setMinimumWidth(105);
    setMaxLength(8);
    m_button = new InnerButton(this, QStringLiteral("▾"));
    m_button->setObjectName(QStringLiteral("button"));
    m_button->setShown(true);
    connect(m_button, &QToolButton::clicked, this, [this] {
        if (ReadOnly())
            return;
        if (isSignalConnected(QMetaMethod::fromSignal(&TIBDate::OnButtonClick)))
            emit OnButtonClick();
        else
            OpenCalendar();
    });
    connect(this, &QLineEdit::textChanged, this, [this] { emit OnChange(); });
    setMaxLength(10);  // the display form; typing is limited to 8 in keyPressEvent
    m_value = Clock::now();
    showValue();
    updateColours();
}

QVariant TIBDate::Date() const
{
    return m_value.isValid() ? QVariant(m_value) : QVariant();
}

void TIBDate::setDate(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        setValue({});
    } else if (value.typeId() == QMetaType::QDateTime) {
        setValue(value.toDateTime());
    } else {
        const QDate d = value.toDate();
        setValue(d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime());
    }
    showValue();
}

void TIBDate::setValue(const QDateTime& value)
{
    m_value = value;
    updateColours();
}

bool TIBDate::IsEmpty() const
{
    return !m_value.isValid() || m_value.date() == QDate(1899, 12, 30);
}

void TIBDate::Clear()
{
    setValue({});
    clear();
}

void TIBDate::showValue()
{
    const QDate d = IsEmpty() ? QDate() : m_value.date();
    if (hasFocus() && isEntered() && !ReadOnly())
        setText(DateTypingText(d));
    else
        setText(DateDisplayText(d));
}

void TIBDate::applyReadOnly(bool readOnly)
{
    QLineEdit::setReadOnly(readOnly);
    m_button->setShown(!readOnly);
}

QColor TIBDate::idleColour() const
{
    if (!IsEmpty() && !IsPlausibleDate(m_value.date(), Clock::today()))
        return errorColour();  // a warning only
    return DataControl::idleColour();
}

void TIBDate::entered()
{
    m_atEntry = m_value;
    if (!IsEmpty() && !ReadOnly())
        setText(DateTypingText(m_value.date()));
    selectAll();
}

bool TIBDate::ApplyText(bool silent)
{
    QString t = text().trimmed();
    if (t.isEmpty()) {
        // No text is no date; the typing rules would read it as today.
        setValue({});
        return false;
    }
    const QDate shown = IsEmpty() ? QDate() : m_value.date();
    if (t == DateDisplayText(shown))
        t = DateTypingText(shown);  // the display form stands for the date itself
    const DateInputResult r = ParseDateInput(t, shown, Clock::today());
    if (!r.ok()) {
        if (!silent)
            showOwnPlainText(DateInputMessage(r.error));
        if (r.error == DateInputError::ImpossibleDate)
            setText(hasFocus() ? DateTypingText(shown) : DateDisplayText(shown));
        return false;
    }
    setValue(QDateTime(r.date, QTime(0, 0)));
    return true;
}

bool TIBDate::refuse(const QString& text)
{
    showOwnPlainText(text);
    return true;
}

bool TIBDate::CheckValue()
{
    if (!text().trimmed().isEmpty()) {
        if (!ApplyText(false))
            return true;
    } else if (Required()) {
        return refuse(QStringLiteral("Povinný údaj. Položka musí byť zadaná!"));
    } else {
        setValue({});
    }
    if (!IsEmpty()) {
        const QDate d = m_value.date();
        const QDate min = toDate(m_minDate), max = toDate(m_maxDate);
        const QLocale locale;
        if (min.isValid() && d < min)
            return refuse(QStringLiteral("Zadaný dátum je menší ako je povolené! (%1)")
                              .arg(locale.toString(min, QLocale::ShortFormat)));
        if (max.isValid() && d > max)
            return refuse(QStringLiteral("Zadaný dátum je väčší ako je povolené! (%1)")
                              .arg(locale.toString(max, QLocale::ShortFormat)));
    }
    // Accepted: the display form unless the control is still being typed in.
    if (!hasFocus() || !isEntered())
        setText(DateDisplayText(IsEmpty() ? QDate() : m_value.date()));
    setModified(m_value != m_atEntry);
    updateColours();
    return false;
}

void TIBDate::setToday()
{
    setValue(Clock::now());
    setText(DateTypingText(m_value.date()));
    selectAll();
}

bool TIBDate::OpenCalendar()
{
    setFocus(Qt::OtherFocusReason);
    TfrmMonthCalendar calendar(window());
    const QDate start = ApplyText(true) && !IsEmpty() ? m_value.date() : Clock::today();
    calendar.setDate(start);
    if (calendar.exec() != QDialog::Accepted)
        return false;
    setValue(QDateTime(calendar.date(), QTime(0, 0)));
    // The window gets its focus back only when it is active again; the edit
    // is still the window's focused control.
    if (hasFocus() || (window()->focusWidget() == this && isEntered())) {
        setText(DateTypingText(m_value.date()));
        selectAll();
    } else {
        showValue();
    }
    return true;
}

void TIBDate::keyPressEvent(QKeyEvent* event)
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
            OpenCalendar();
        return;
    }
    if (event->key() == Qt::Key_F5 && mods == Qt::NoModifier) {
        if (!ReadOnly() && hasFocus())
            setToday();
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && !(mods & (Qt::ControlModifier | Qt::AltModifier))) {
        const QChar c = typed.at(0);
        if (!(c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-')))
            return;
        if (!hasSelectedText() && text().size() >= 8)
            return;  // eight characters at most while typing
    }
    QLineEdit::keyPressEvent(event);
}

void TIBDate::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TIBDate::OnDblClick))) {
        emit OnDblClick();
        return;
    }
    if (!ReadOnly()) {
        setToday();
        return;
    }
    QLineEdit::mouseDoubleClickEvent(event);
}
