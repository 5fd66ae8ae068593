#include "forms/FormUni.h"

#include "controls/DataControl.h"
#include "controls/DbGridQDL.h"
#include "controls/IBComboBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBDate.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/IBTime.h"
#include "controls/QDLBtn.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Dialogs.h"
#include "framework/ErrorTranslation.h"
#include "framework/Messages.h"
#include "framework/TransactionHelpers.h"
#include "framework/UiHelpers.h"
#include "framework/UserSettings.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>
#include <QToolButton>

namespace {

const QString kFormVersion = QStringLiteral("FormVersion");
const QString kJedin = QStringLiteral("JEDIN");

// Along one axis: the window's start after fitting.
int fitAxis(int start, int length, int screen)
{
    if (start < 0 || start > screen || start + length > screen)
        return (screen - length) / 2;
    return start;
}

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

QRect FitToScreen(const QRect& window, const QSize& screen)
{
    const int width = qMin(window.width(), screen.width());
    const int height = qMin(window.height(), screen.height());
    return {fitAxis(window.left(), width, screen.width()), fitAxis(window.top(), height, screen.height()), width,
            height};
}

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
    return QStringLiteral("Software\\") + program + QLatin1Char('\\') + QString::fromLatin1(metaObject()->className());
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
    QDialog::setVisible(visible);
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

// --- TFormViewer ----------------------------------------------------------------

TFormViewer::TFormViewer(QWidget* parent)
    : TFormUni(parent), m_previousMain(MainWindow())
{
    SetMainWindow(this);
}

TFormViewer::~TFormViewer()
{
    if (MainWindow() == this)
        SetMainWindow(m_previousMain);
}

void TFormViewer::RunModal(TFormDetails& details, const std::function<void()>& fill,
                           const std::function<QVariant()>& chosenKey)
{
    TFormUni::SetDetails(details);
    if (!Text.trimmed().isEmpty())
        setWindowTitle(Text);
    if (fill)
        fill();
    const int result = exec();
    details.Result = result;
    if (details.Mode == TFormDetails::Select && result == TFormDetails::ResultOk && chosenKey)
        details.Current = chosenKey();
}

// --- TFormEditor ----------------------------------------------------------------

TFormEditor::TFormEditor(NextButton next, QWidget* parent)
    : TFormUni(parent)
{
    btnZapis = new TQDLBtn(QStringLiteral(" &OK"), this);
    btnZapis->setObjectName(QStringLiteral("btnZapis"));
    connect(btnZapis, &QPushButton::clicked, this, [this] { Zapis(btnZapis); });
    if (next == NextButton::Yes) {
        btnDalsi = new TQDLBtn(QStringLiteral("Ď&alší"), this);
        btnDalsi->setObjectName(QStringLiteral("btnDalsi"));
        setNextInTabOrder(false);
        connect(btnDalsi, &QPushButton::clicked, this, [this] {
            setNextInTabOrder(true);
            Zapis(btnDalsi);
        });
    }
    btnNezapis = new TQDLBtn(QStringLiteral("&Nezapíš"), this);
    btnNezapis->setObjectName(QStringLiteral("btnNezapis"));
    btnNezapis->setCancel(true);
    connect(btnNezapis, &QPushButton::clicked, this, [this] { done(TFormDetails::ResultCancel); });
    // Enter is not the dialog's default action here.
    for (TQDLBtn* b : {btnZapis, btnDalsi, btnNezapis})
        if (b)
            b->setAutoDefault(false);
}

bool TFormEditor::nextInTabOrder() const
{
    return btnDalsi && (btnDalsi->focusPolicy() & Qt::TabFocus);
}

void TFormEditor::setNextInTabOrder(bool on)
{
    if (btnDalsi)
        btnDalsi->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
}

void TFormEditor::SetDetails(TFormDetails& d)
{
    TFormUni::SetDetails(d);
    if (btnDalsi) {
        btnDalsi->setVisible(d.ShowNext);
        setNextInTabOrder(d.NextInTabOrder);
    }
    ClearControls();
    setWindowTitle(captionFor(Mode));
    int result = TFormDetails::ResultCancel;
    if (Mode == TFormDetails::Insert || loadCurrent())
        result = exec();
    d.Result = result;
    if (result == TFormDetails::ResultOk || result == TFormDetails::ResultNext) {
        d.Current = Current;
        d.NextInTabOrder = nextInTabOrder();
    } else {
        d.Current = QVariant();
    }
}

bool TFormEditor::loadCurrent()
{
    auto tr = NewTransaction(true, true);
    bool found = false;
    try {
        tr->start();
        found = LoadRecord(*tr);
        tr->commit();
    } catch (const std::exception& e) {
        RollbackIfActive(*tr);
        if (TranslateDbError(e) == 0)
            throw;
        return false;
    }
    if (!found)
        ErrMessage(1012, msg::Information);
    return found;
}

void TFormEditor::Zapis(QPushButton* originator)
{
    Save(originator);
}

void TFormEditor::Save(QPushButton* originator)
{
    if (CheckControls(this))
        return;
    const bool isNew = Mode == TFormDetails::Insert || Mode == TFormDetails::Copy;
    const QVariant before = Current;
    auto tr = NewTransaction(false, true);
    try {
        tr->start();
        if (isNew) {
            auto q = NewQuery(*tr);
            Current = NextGeneratorValue(sequenceName(), *q);
        }
        SaveRecord(*tr, isNew);
        tr->commit();
    } catch (const std::exception& e) {
        RollbackIfActive(*tr);
        // Nothing was saved: the editor stays open with the user's values.
        Current = before;
        if (TranslateDbError(e) == 0)
            throw;
        return;
    }
    done(btnDalsi && originator == btnDalsi ? TFormDetails::ResultNext : TFormDetails::ResultOk);
}

QString TFormEditor::captionFor(std::uint8_t) const
{
    return windowTitle();
}

bool TFormEditor::LoadRecord(fb::Transaction&)
{
    return true;
}

void TFormEditor::SaveRecord(fb::Transaction&, bool)
{
}

bool TFormEditor::keyPreview(QKeyEvent* event)
{
    if (ShiftCtrlAlt(event) != Qt::NoModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_F12:
        btnZapis->click();
        return true;
    case Qt::Key_F11:
        if (btnDalsi && btnDalsi->isVisible()) {
            btnDalsi->click();
            return true;
        }
        return false;
    case Qt::Key_Escape:
        btnNezapis->click();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        return false;
    }
}

// --- the register side ----------------------------------------------------------

void AddRecords(TFormUni& window, TDbGridQDL* grid, const std::function<void(TFormDetails&)>& runEditor,
                const std::function<void(TFormDetails&)>& beforeEach)
{
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert, window.Parent);
    do {
        d.Current = QVariant();
        if (beforeEach)
            beforeEach(d);
        runEditor(d);
        grid->DisplayGrid();
        if (d.result() == TFormDetails::ResultOk || d.result() == TFormDetails::ResultNext)
            grid->Locate(kJedin, d.Current);
    } while (d.result() == TFormDetails::ResultNext);
}

void EditRecords(TFormUni& window, TDbGridQDL* grid, const std::function<void(TFormDetails&)>& runEditor,
                 const std::function<void(TFormDetails&)>& beforeEach)
{
    if (!grid->isOpen() || grid->isEmpty())
        return;
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, window.Parent);
    bool atEnd = false;
    do {
        d.Current = grid->fieldValue(kJedin);
        if (beforeEach)
            beforeEach(d);
        runEditor(d);
        if (d.result() == TFormDetails::ResultNext) {
            const int next = grid->currentRow() + 1;
            atEnd = next >= grid->CountRecords();
            if (!atEnd)
                grid->setCurrentRow(next);
        }
    } while (d.result() == TFormDetails::ResultNext && !atEnd);
    grid->DisplayGrid();
}

// --- read-only windows ----------------------------------------------------------

void MakeReadOnly(QWidget* window)
{
    static const QStringList kEditorButtons = {QStringLiteral("btnDalsi"), QStringLiteral("btnZapis"),
                                               QStringLiteral("btnNezapis")};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (qobject_cast<TIBComboBox*>(w) || qobject_cast<TIBCurrencyEdit*>(w) || qobject_cast<TIBEdit*>(w)
            || qobject_cast<TIBDate*>(w) || qobject_cast<TIBMemo*>(w)) {
            DataControl::of(w)->setReadOnly(true);
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QToolButton*>(w)) {
            w->setEnabled(false);
        } else if (auto* button = qobject_cast<QPushButton*>(w)) {
            if (!kEditorButtons.contains(button->objectName()))
                button->setEnabled(false);
            else if (button->objectName() == QLatin1String("btnNezapis"))
                button->hide();
        }
    }
}
