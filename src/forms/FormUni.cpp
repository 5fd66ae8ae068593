#include "forms/FormUni.h"

#include "controls/IBComboBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBDate.h"
#include "controls/IBTime.h"
#include "fb/Transaction.h"
#include "framework/SettingsRoots.h"
#include "framework/UserSettings.h"
#include "framework/WindowPlacement.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>

namespace {

const QString kFormVersion = QStringLiteral("FormVersion");

bool takesTabFocus(const QWidget* w, const QWidget* window)
{
    return w != window && w->window() == window && !w->focusProxy() && (w->focusPolicy() & Qt::TabFocus)
           && w->isEnabled() && w->isVisibleTo(window);
}

// The inner line edit of a combo box or spin box is not a control of its own.
bool isInnerEdit(const QWidget* w)
{
    const QWidget* parent = w->parentWidget();
    return qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent);
}

}  // namespace

QStringList ForceNoWaitParams(const QStringList& lines)
{
    QStringList out;
    bool noWait = false;
    for (const QString& line : lines) {
        const QString upper = line.toUpper();
        if (upper.contains(QLatin1String("WAIT")) && !upper.contains(QLatin1String("NOWAIT"))) {
            out << QString(upper).replace(QLatin1String("WAIT"), QLatin1String("NOWAIT"));
            noWait = true;
        } else {
            out << line;
            noWait = noWait || upper.contains(QLatin1String("NOWAIT"));
        }
    }
    if (!noWait)
        out << QStringLiteral("NOWAIT");
    return out;
}

void ForceNoWait(fb::Transaction& transaction)
{
    transaction.setParams(ForceNoWaitParams(transaction.params()));
}

// --- TFormUni -----------------------------------------------------------------

TFormUni::TFormUni(QWidget* parent)
    : QDialog(parent)
{
    // The key preview sees every key of the window before its controls do.
    qApp->installEventFilter(this);
}

TFormUni::~TFormUni()
{
    qApp->removeEventFilter(this);
    if (m_placed)
        SavePlacement();
}

QString TFormUni::settingsSection() const
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return settingsroot::Software + QLatin1Char('\\') + program + QLatin1Char('\\') +
           QString::fromLatin1(metaObject()->className());
}

int TFormUni::ReadSetting(const QString& name, int defaultValue) const
{
    return readUserInt(settingsSection(), name, defaultValue);
}

QString TFormUni::ReadSetting(const QString& name, const QString& defaultValue) const
{
    return readUserString(settingsSection(), name, defaultValue);
}

void TFormUni::WriteSetting(const QString& name, int value)
{
    writeUserInt(settingsSection(), name, value);
}

void TFormUni::WriteSetting(const QString& name, const QString& value)
{
    writeUserString(settingsSection(), name, value);
}

void TFormUni::ClearControls()
{
    for (QWidget* w : findChildren<QWidget*>()) {
        if (auto* amount = qobject_cast<TIBCurrencyEdit*>(w))
            amount->Clear();
        else if (auto* date = qobject_cast<TIBDate*>(w))
            date->Clear();
        else if (auto* time = qobject_cast<TIBTime*>(w))
            time->Clear();
        else if (auto* combo = qobject_cast<TIBComboBox*>(w))
            combo->Clear();
        else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            if (!isInnerEdit(edit))
                edit->clear();
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
            memo->clear();
        else if (auto* rich = qobject_cast<QTextEdit*>(w))
            rich->clear();
        else if (auto* check = qobject_cast<QCheckBox*>(w))
            check->setChecked(false);
    }
}

void TFormUni::SetDetails(TFormDetails& d)
{
    static_cast<TFormValues&>(*this) = d;
}

QWidget* TFormUni::firstControl() const
{
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
        if (takesTabFocus(w, this))
            return w;
    return nullptr;
}

void TFormUni::SelectNextFrom(QWidget* control)
{
    if (!control)
        return;
    for (QWidget* w = control->nextInFocusChain(); w && w != control; w = w->nextInFocusChain()) {
        if (takesTabFocus(w, this)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TFormUni::SetTabOrder(std::initializer_list<QWidget*> order)
{
    // Qt 6.4 leaves the chain unchanged when the first widget of a pair ends
    // the window's chain and has inner widgets; a placeholder at the end
    // keeps every real control off that spot.
    QWidget placeholder(this);
    placeholder.setFocusPolicy(Qt::TabFocus);
    QWidget* previous = nullptr;
    for (QWidget* w : order) {
        if (previous && w)
            QWidget::setTabOrder(previous, w);
        if (w)
            previous = w;
    }
}

void TFormUni::OwnTransaction(fb::Transaction& transaction)
{
    ForceNoWait(transaction);
}

void TFormUni::reject()
{
    done(TFormDetails::ResultCancel);
}

void TFormUni::setVisible(bool visible)
{
    if (visible && !m_placed) {
        m_placed = true;
        m_section = settingsSection();
        restorePlacement();
    }
    if (visible && !isVisible())
        m_focusReturn.emplace(this);
    const bool hiding = !visible && isVisible();
    QDialog::setVisible(visible);
    if (hiding && m_focusReturn) {
        const FocusReturn focus = *m_focusReturn;
        m_focusReturn.reset();
        focus.restore();
    }
}

void TFormUni::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Not when the window system shows it again (restored from the task bar).
    if (event->spontaneous())
        return;
    if (QWidget* first = firstControl())
        first->setFocus(Qt::TabFocusReason);
}

void TFormUni::restorePlacement()
{
    auto s = userSettings();
    s->beginGroup(settingsGroup(m_section));
    bool ok = false;
    // A placement of another layout version is not used.
    const bool stored = s->value(kFormVersion).toInt(&ok) == 0 && ok && s->contains(QStringLiteral("Left"));
    if (!testAttribute(Qt::WA_Resized))
        adjustSize();
    if (stored) {
        const bool resizable = minimumSize() != maximumSize();
        if (resizable)
            resize(s->value(QStringLiteral("Width")).toInt(), s->value(QStringLiteral("Height")).toInt());
        move(s->value(QStringLiteral("Left")).toInt(), s->value(QStringLiteral("Top")).toInt());
        if (resizable && s->value(QStringLiteral("State")).toString() == QLatin1String("Maximized"))
            setWindowState(windowState() | Qt::WindowMaximized);
    }
    const QScreen* sc = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!sc)
        return;
    // A window that was never placed is centred by the dialog itself; only its
    // size must fit then.
    const bool moved = testAttribute(Qt::WA_Moved);
    const QRect fitted = FitToScreen(QRect(moved ? pos() : QPoint(0, 0), size()), sc->geometry().size());
    if (fitted.size() != size())
        resize(fitted.size());
    if (moved && fitted.topLeft() != pos())
        move(fitted.topLeft());
}

void TFormUni::SavePlacement()
{
    if (m_section.isEmpty())
        m_section = settingsSection();
    auto s = userSettings();
    s->beginGroup(settingsGroup(m_section));
    s->setValue(kFormVersion, 0);
    const QRect normal = (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) && normalGeometry().isValid()
                             ? normalGeometry()
                             : QRect(pos(), size());
    s->setValue(QStringLiteral("Left"), normal.left());
    s->setValue(QStringLiteral("Top"), normal.top());
    s->setValue(QStringLiteral("Width"), normal.width());
    s->setValue(QStringLiteral("Height"), normal.height());
    s->setValue(QStringLiteral("State"),
                windowState() & Qt::WindowMaximized ? QStringLiteral("Maximized") : QStringLiteral("Normal"));
    QWidget* active = focusWidget();
    s->setValue(QStringLiteral("ActiveControl"), active ? active->objectName() : QString());
}

bool TFormUni::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->window() == this && keyPreview(static_cast<QKeyEvent*>(event)))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormUni::keyPreview(QKeyEvent*)
{
    return false;
}

