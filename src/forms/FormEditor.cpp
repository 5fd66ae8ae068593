#include "forms/FormEditor.h"

#include "controls/DataControl.h"
#include "controls/IBComboBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBDate.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/QDLBtn.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"
#include "framework/Dialogs.h"
#include "framework/Messages.h"
#include "framework/SlotGuard.h"
#include "framework/TransactionHelpers.h"
#include "framework/UiHelpers.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QToolButton>

// --- TFormEditor ----------------------------------------------------------------

TFormEditor::TFormEditor(NextButton next, QWidget* parent)
    : TFormUni(parent)
{
    btnZapis = new TQDLBtn(QStringLiteral(" &OK"), this);
    btnZapis->setObjectName(QStringLiteral("btnZapis"));
    connect(btnZapis, &QPushButton::clicked, this, guarded([this] { Zapis(btnZapis); }));
    if (next == NextButton::Yes) {
        btnDalsi = new TQDLBtn(QStringLiteral("Ď&alší"), this);
        btnDalsi->setObjectName(QStringLiteral("btnDalsi"));
        setNextInTabOrder(false);
        connect(btnDalsi, &QPushButton::clicked, this, guarded([this] {
            setNextInTabOrder(true);
            Zapis(btnDalsi);
        }));
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
    bool found = false;
    if (!RunInTransaction([&](fb::Transaction& tr) { found = LoadRecord(tr); }, true))
        return false;
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
    // Nothing is saved unless the commit is reached: the editor then stays
    // open with the user's values and the record it had, also when the error
    // goes on to the unexpected-error handler.
    struct RestoreUnlessSaved {
        QVariant& current;
        const QVariant before;
        bool saved = false;
        ~RestoreUnlessSaved()
        {
            if (!saved)
                current = before;
        }
    } restore{Current, Current};
    restore.saved = RunInTransaction([&](fb::Transaction& tr) {
        if (isNew) {
            fb::Query q(tr);
            Current = NextGeneratorValue(sequenceName(), q);
        }
        SaveRecord(tr, isNew);
    });
    if (!restore.saved)
        return;
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
