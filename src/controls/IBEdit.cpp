#include "controls/IBEdit.h"

#include "controls/InnerButton.h"
#include "fb/Error.h"
#include "framework/MainConnection.h"
#include "framework/Messages.h"
#include "framework/UiHelpers.h"

#include <QKeyEvent>
#include <QLocale>

TIBEdit::TIBEdit(QWidget* parent)
    : QLineEdit(parent), DataControl(this)
{
    setFont(dataControlFont());
    setFixedHeight(21);
    m_button = new InnerButton(this, QStringLiteral("..."));
    m_button->setObjectName(QStringLiteral("button"));
    m_button->setShown(false);
    connect(m_button, &QToolButton::clicked, this, [this] {
        if (!ReadOnly())
            emit OnButtonClick();
    });
    updateColours();
}

void TIBEdit::setButtonVisible(bool visible)
{
    m_buttonVisible = visible;
    m_button->setShown(visible && !ReadOnly());
}

void TIBEdit::applyReadOnly(bool readOnly)
{
    QLineEdit::setReadOnly(readOnly);
    m_button->setShown(m_buttonVisible && !readOnly);
}

bool TIBEdit::IsEmpty() const
{
    return text().trimmed().isEmpty();
}

void TIBEdit::entered()
{
    m_textAtEntry = text();
    if (m_autoSelect)
        selectAll();
}

bool TIBEdit::CheckValue()
{
    if (Required() && IsEmpty()) {
        if (EmptyErrorText() != 0)
            showOwnMessage(EmptyErrorText(), msg::Warning);
        return true;
    }
    if (!IsEmpty() && text().trimmed().size() < m_minLength) {
        showOwnText(QStringLiteral("Zadajte minimálne %1 znakov").arg(m_minLength), msg::Information);
        return true;
    }
    if (m_uniqueTest && !IsEmpty()) {
        const std::optional<bool> duplicate = isDuplicate();
        if (!duplicate)
            return true;  // the text cannot be stored; the user has been told why
        if (*duplicate) {
            if (m_uniqueErrorText != 0)
                showOwnMessage(m_uniqueErrorText, msg::Warning);
            selectAll();
            return true;
        }
    }
    return false;
}

std::optional<bool> TIBEdit::isDuplicate()
{
    fb::Connection& connection = m_database ? *m_database : mainConnection();
    UniqueTestSetup setup = m_unique;
    setup.onlyNumbers = m_onlyNumbers;
    try {
        return FindDuplicate(connection, setup, text());
    } catch (const fb::Error& e) {
        if (ReportLookupError(e, {objectName() + QStringLiteral(": Error in \"IsUnique\" function"),
                                  BuildUniqueTestSql(setup, text()).text()}))
            return std::nullopt;
        throw;
    }
}

bool TIBEdit::acceptsCharacter(QChar c) const
{
    if (m_onlyNumbers) {
        if (c.isDigit())
            return true;
        return false;
    }
    if (!m_onlyTheseChars.isEmpty())
        return m_onlyTheseChars.contains(c) || c == QLatin1Char('/');
    return true;
}

void TIBEdit::keyPressEvent(QKeyEvent* event)
{
    if (windowTookKey(event, [this](QKeyEvent* e) { emit OnKeyDown(e); }))
        return;

    const Qt::KeyboardModifiers mods = ShiftCtrlAlt(event);
    const bool enter = isEnterKey(event);
    if (enter && mods == Qt::NoModifier) {
        moveToNextControl();
        emit OnClickEnter();
        return;
    }
    if (enter && mods == Qt::ControlModifier) {
        emit OnCtrlEnter();
        return;
    }

    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint() && !(mods & (Qt::ControlModifier | Qt::AltModifier));
    if (printable && !isReadOnly()) {
        const QChar c = typed.at(0);
        if (m_onlyNumbers && m_withDecimals && (c == QLatin1Char('.') || c == QLatin1Char(','))) {
            const QString sep = QLocale().decimalPoint();
            QString rest = text();
            if (hasSelectedText())
                rest.remove(selectionStart(), selectedText().size());
            if (!rest.contains(sep))
                insert(sep);
            return;  // a second separator is dropped
        }
        if (!acceptsCharacter(c))
            return;
    }
    QLineEdit::keyPressEvent(event);
}
