#include "controls/DataControl.h"

#include "controls/QDLBtn.h"
#include "fb/Error.h"
#include "framework/Dialogs.h"
#include "framework/ErrorTranslation.h"
#include "framework/Messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QHash>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>

namespace {

quint64 g_nextOrder = 1;

// Every live data control by its widget, so CheckControls and of() find them.
QHash<QWidget*, DataControl*>& registry()
{
    static QHash<QWidget*, DataControl*> map;
    return map;
}

}  // namespace

// Watches the focus events of the control (and of its focus source).
class DataControlFilter : public QObject {
public:
    DataControlFilter(DataControl* control, QObject* parent)
        : QObject(parent), m_control(control) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        Q_UNUSED(watched);
        if (event->type() == QEvent::FocusIn)
            m_control->handleFocusIn(static_cast<QFocusEvent*>(event));
        else if (event->type() == QEvent::FocusOut)
            return m_control->handleFocusOut(static_cast<QFocusEvent*>(event));
        return false;
    }

private:
    DataControl* m_control;
};

QFont dataControlFont()
{
    QFont font(QStringLiteral("Courier"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(10);
    return font;
}

DataControl::DataControl(QWidget* self, QWidget* focusSource)
    : m_self(self), m_order(g_nextOrder++)
{
    m_filter = new DataControlFilter(this, self);
    self->installEventFilter(m_filter);
    if (focusSource && focusSource != self)
        focusSource->installEventFilter(m_filter);
    registry().insert(self, this);
    // Colours are painted through the palette; a style sheet would override it.
}

DataControl::~DataControl()
{
    registry().remove(m_self);
    delete m_filter.data();
}

DataControl* DataControl::of(QWidget* widget)
{
    return widget ? registry().value(widget, nullptr) : nullptr;
}

QColor DataControl::windowColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

QColor DataControl::buttonFaceColour()
{
    return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

void DataControl::setRequired(bool required)
{
    m_required = required;
    updateColours();
}

void DataControl::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    if (readOnly == m_readOnlyApplied) {
        applyReadOnly(readOnly);
        updateColours();
        return;
    }
    m_readOnlyApplied = readOnly;
    if (readOnly) {
        m_focusPolicy = m_self->focusPolicy();
        m_self->setFocusPolicy(Qt::ClickFocus);  // out of the Tab order, still clickable
    } else {
        m_self->setFocusPolicy(m_focusPolicy);
    }
    applyReadOnly(readOnly);
    updateColours();
}

void DataControl::applyReadOnly(bool) {}

QColor DataControl::idleColour() const
{
    return m_required ? requiredColour() : windowColour();
}

QColor DataControl::stateColour() const
{
    if (m_readOnly)
        return buttonFaceColour();
    if (m_entered && hasFocusColour())
        return m_required ? focusedRequiredColour() : focusedColour();
    return idleColour();
}

void DataControl::updateColours()
{
    if (m_showingMessage)
        return;  // the red stays while the message is up; restored afterwards
    applyColours(stateColour(), QApplication::palette().color(QPalette::Active, QPalette::Text));
}

void DataControl::applyColours(const QColor& background, const QColor& text)
{
    QPalette p = m_self->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Base, background);
        p.setColor(group, QPalette::Window, background);
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::WindowText, text);
        // Widgets that fill with another role (a check box fills with Button).
        p.setColor(group, m_self->backgroundRole(), background);
        p.setColor(group, m_self->foregroundRole(), text);
    }
    m_self->setPalette(p);
    const bool textEditor = qobject_cast<QLineEdit*>(m_self) || qobject_cast<QPlainTextEdit*>(m_self)
                            || qobject_cast<QTextEdit*>(m_self);
    if (!textEditor)
        m_self->setAutoFillBackground(true);
}

int DataControl::whileRed(const std::function<int()>& show)
{
    const QPalette before = m_self->palette();
    const bool autoFill = m_self->autoFillBackground();
    const bool wasShowing = m_showingMessage;
    applyColours(errorColour(), errorTextColour());
    m_showingMessage = true;
    struct Restore {
        DataControl* c;
        QPalette p;
        bool fill;
        bool was;
        ~Restore()
        {
            c->m_showingMessage = was;
            c->m_self->setPalette(p);
            c->m_self->setAutoFillBackground(fill);
        }
    } restore{this, before, autoFill, wasShowing};
    return show();
}

int DataControl::showOwnMessage(int n, int type)
{
    return whileRed([&] { return ErrMessage(n, type); });
}

int DataControl::showOwnText(const QString& text, int type)
{
    DialogRequest request;
    request.kind = DialogKind::Standard;
    request.type = type;
    request.caption = dialogCaption(type);
    request.text = text;
    request.buttons = {msg::OK};
    request.defaultResult = msg::OK;
    return whileRed([&] { return showDialog(request); });
}

int DataControl::showOwnPlainText(const QString& text)
{
    return whileRed([&] { return PlainMessageBox(text); });
}

int showOwnMessage(QWidget* widget, int n, int type)
{
    if (DataControl* control = DataControl::of(widget))
        return control->showOwnMessage(n, type);
    return ErrMessage(n, type);
}

bool ReportLookupError(const fb::Error& error, const QStringList& messages)
{
    // The client layer's refusal and a lost connection say in Slovak what
    // happened; the statement text would only confuse.
    if (error.kind() == fb::ErrorKind::Client || error.kind() == fb::ErrorKind::ConnectionLost) {
        TranslateDbError(error);
        return true;
    }
    for (const QString& text : messages)
        PlainMessageBox(text);
    return false;
}

QString DataControl::cannotFocusText() const
{
    return m_self->objectName() + QStringLiteral(": Nie je možné nastaviť kurzor.");
}

QWidget* DataControl::newFocusWidget()
{
    return QApplication::focusWidget();
}

bool DataControl::isCancelButton(QWidget* widget)
{
    auto* button = qobject_cast<TQDLBtn*>(widget);
    return button && button->Cancel();
}

void DataControl::moveToNextControl()
{
    QWidget* window = m_self->window();
    QWidget* start = m_self;
    // Walk the focus chain from the control (inner widgets that are focus
    // proxies of it count as the control).
    QWidget* w = start->nextInFocusChain();
    while (w && w != start) {
        const bool inside = w == m_self || m_self->isAncestorOf(w);
        if (!inside && w->window() == window && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled()
            && w->isVisibleTo(window) && !w->focusProxy()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
        w = w->nextInFocusChain();
    }
}

void DataControl::handleFocusIn(QFocusEvent* event)
{
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) {
        if (m_entered)
            return;  // the window came back; the control never left
    }
    if (m_entered)
        return;
    m_entered = true;
    m_stayInControl = false;
    m_exitHandled = false;
    updateColours();
    entered();
    emitOnEnter();
}

bool DataControl::handleFocusOut(QFocusEvent* event)
{
    if (!m_entered || m_inCheck)
        return false;
    // Another window (a message, a pop-up, another program) took the focus:
    // the control has not been left.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return false;
    QWidget* next = newFocusWidget();
    if (next && (next == m_self || m_self->isAncestorOf(next)))
        return false;  // focus moved inside the control (an inner button)
    if (next && next->window() != m_self->window())
        return false;  // focus went to another window without deactivating this one

    m_entered = false;
    updateColours();  // the colour before entry comes back
    leaving();

    if (m_exitHandled) {  // e.g. Enter has already run the exit processing
        m_exitHandled = false;
        return false;
    }
    if (!next)
        return false;  // the window is going away
    if (isCancelButton(next) && !checksOnCancelButton())
        return false;

    if (runExitCheck())
        return true;  // the control has the focus back: its own focus-out never happens
    exitAccepted();
    emitOnExit();
    // A window left without a focused control gives the focus back to this
    // one.
    QWidget* window = m_self->window();
    if (!window->focusWidget() && QApplication::activeWindow() == window) {
        if (m_self->isEnabled() && m_self->isVisible())
            m_self->setFocus(Qt::OtherFocusReason);
        else
            PlainMessageBox(cannotFocusText());
    }
    return false;
}

bool DataControl::runExitCheck()
{
    if (!exitCheckApplies())
        return false;
    if (m_inCheck)
        return true;
    m_inCheck = true;
    bool refused = false;
    try {
        refused = CheckValue();
    } catch (...) {
        m_inCheck = false;
        throw;
    }
    if (refused) {
        m_stayInControl = true;
        if (m_self->isEnabled() && m_self->isVisible()) {
            // Taking the focus back from inside a focus-out: the widget that
            // was about to receive the focus never gets its focus-in.
            m_self->setFocus(Qt::OtherFocusReason);
        }
        if (!m_entered) {
            m_entered = true;
            updateColours();
            entered();
        }
        m_stayInControl = true;
        updateColours();
    }
    m_inCheck = false;
    return refused;
}

bool CheckControls(QWidget* window)
{
    if (!window)
        return false;
    QList<DataControl*> controls;
    for (auto it = registry().cbegin(); it != registry().cend(); ++it) {
        QWidget* w = it.key();
        if (w->window() == window || window->isAncestorOf(w))
            controls.append(it.value());
    }
    std::sort(controls.begin(), controls.end(),
              [](const DataControl* a, const DataControl* b) { return a->m_order < b->m_order; });
    for (DataControl* control : controls) {
        if (!control->takesPartInCheckControls())
            continue;
        QWidget* w = control->controlWidget();
        if (!w->isEnabled() || !w->isVisibleTo(window) || w->focusPolicy() == Qt::NoFocus)
            continue;
        if (control->runExitCheck())
            return true;
    }
    return false;
}

bool windowTookKey(QKeyEvent* event, const std::function<void(QKeyEvent*)>& onKeyDown)
{
    event->ignore();
    onKeyDown(event);
    if (event->isAccepted())
        return true;
    event->accept();
    return false;
}
