#include "forms/FormEditor.h"

#include "controls/DataControl.h"
#include "controls/IBComboBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBDate.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/QDLBtn.h"
#include "fb/Decimal.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/DbOperation.h"
#include "framework/Dialogs.h"
#include "framework/Messages.h"
#include "framework/Session.h"
#include "framework/SlotGuard.h"
#include "framework/TransactionHelpers.h"
#include "framework/UiHelpers.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLocale>
#include <QShowEvent>
#include <QPlainTextEdit>
#include <QToolButton>

#include <optional>
#include <stdexcept>

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
    m_loadedRow.clear();
    m_valuesAtLoad.clear();
    m_takeOver.clear();
    m_captureAtShow = false;
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
    const bool check = !recordTable().isEmpty();
    if (!RunInTransaction(
            [&](fb::Transaction& tr) {
                found = LoadRecord(tr);
                // What the check compares with, read in the same snapshot as the controls.
                if (found && check)
                    found = readRow(tr, false, m_loadedRow);
            },
            true))
        return false;
    m_captureAtShow = found && check;
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
    const bool check = !isNew && !m_loadedRow.isEmpty();
    for (;;) {
        SaveConflict conflict;
        const bool committed = RunInTransaction([&](fb::Transaction& tr) {
            CheckSessionUser(tr, savingNeedsAdministrator());
            if (isNew) {
                fb::Query q(tr);
                Current = NextGeneratorValue(sequenceName(), q);
            }
            if (check && !rowUnchanged(tr, conflict))
                return;  // nothing written
            SaveRecord(tr, isNew);
        });
        if (committed && conflict.theirs.isEmpty()) {
            restore.saved = true;
            break;
        }
        // Taken over: saved again over the row as it is now (checked again).
        if (!committed || !offerTakeOver(conflict))
            return;
    }
    done(btnDalsi && originator == btnDalsi ? TFormDetails::ResultNext : TFormDetails::ResultOk);
}

// ---- saving over the row that was loaded ------------------------------------------

namespace {

bool isNullValue(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

// Values of one column compared across their representations: a Decimal
// parameter against the stored NUMERIC, a date against a timestamp at
// midnight, an empty text against null.
bool sameValue(const QVariant& a, const QVariant& b)
{
    const bool aEmpty = isNullValue(a) || (a.typeId() == QMetaType::QString && a.toString().isEmpty());
    const bool bEmpty = isNullValue(b) || (b.typeId() == QMetaType::QString && b.toString().isEmpty());
    if (aEmpty || bEmpty)
        return aEmpty == bEmpty;
    const QMetaType decimal = QMetaType::fromType<fb::Decimal>();
    if (a.metaType() == decimal || b.metaType() == decimal) {
        const auto toDecimal = [&](const QVariant& v) -> std::optional<fb::Decimal> {
            if (v.metaType() == decimal)
                return v.value<fb::Decimal>();
            return fb::Decimal::fromString(v.toString());
        };
        const auto x = toDecimal(a), y = toDecimal(b);
        return x && y && *x == *y;
    }
    if (a.typeId() == QMetaType::QDate || b.typeId() == QMetaType::QDate)
        return a.toDate() == b.toDate() && a.toDateTime().time() == b.toDateTime().time();
    if (a == b)
        return true;
    return a.toString() == b.toString();
}

}  // namespace

QString TFormEditor::columnText(const QString&, const QVariant& value) const
{
    if (isNullValue(value) || value.toString().isEmpty())
        return QStringLiteral("(prázdne)");
    const QLocale locale;
    switch (value.typeId()) {
    case QMetaType::QDate:
        return locale.toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime: {
        const QDateTime t = value.toDateTime();
        return t.time() == QTime(0, 0) ? locale.toString(t.date(), QLocale::ShortFormat)
                                       : locale.toString(t, QLocale::ShortFormat);
    }
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return locale.toString(value.toLongLong());
    default:
        break;
    }
    if (value.metaType() == QMetaType::fromType<fb::Decimal>())
        return locale.toString(value.value<fb::Decimal>().toDouble(), 'f', value.value<fb::Decimal>().scale());
    QString text = value.toString().simplified();
    if (text.size() > 60)
        text = text.left(57) + QStringLiteral("...");
    return QStringLiteral("„%1“").arg(text);
}

QVariantMap TFormEditor::valuesToSave() const
{
    QVariantMap values = recordValues();
    for (auto it = m_takeOver.begin(); it != m_takeOver.end(); ++it)
        // Only while the user still leaves the field as it was loaded.
        if (sameValue(values.value(it.key()), m_valuesAtLoad.value(it.key())))
            values[it.key()] = it.value();
    return values;
}

bool TFormEditor::readRow(fb::Transaction& transaction, bool lock, QVariantMap& row) const
{
    const QString table = recordTable();
    if (!IsPlainIdentifier(table))
        throw std::invalid_argument("not a table name: " + table.toStdString());
    fb::Query q(transaction);
    q.setSql(QStringLiteral("select * from %1 where JEDIN = :JEDIN%2").arg(table, lock ? QStringLiteral(" with lock") : QString()));
    q.setParam(QStringLiteral("JEDIN"), Current);
    if (!q.executeAtMostOneRow())
        return false;
    const QVariantMap values = recordValues();
    row.clear();
    for (int i = 0; i < q.columnCount(); ++i) {
        const QString name = q.column(i).name;
        if (values.contains(name) && name != QLatin1String("JEDIN"))
            row[name] = q.value(i);
    }
    q.close();
    return true;
}

bool TFormEditor::rowUnchanged(fb::Transaction& transaction, SaveConflict& conflict) const
{
    if (!readRow(transaction, true, conflict.now))
        throw fb::Error(LoadMessageText(QStringLiteral("ERR1012")).trimmed());
    for (auto it = m_loadedRow.begin(); it != m_loadedRow.end(); ++it)
        if (!sameValue(conflict.now.value(it.key()), it.value()))
            conflict.theirs << it.key();
    if (conflict.theirs.isEmpty())
        return true;
    const QVariantMap values = recordValues();
    for (auto it = m_loadedRow.begin(); it != m_loadedRow.end(); ++it)
        if (!sameValue(values.value(it.key()), m_valuesAtLoad.value(it.key(), it.value())))
            conflict.mine << it.key();
    return false;
}

bool TFormEditor::offerTakeOver(const SaveConflict& conflict)
{
    const QVariantMap values = recordValues();
    QStringList lines{QStringLiteral("Záznam medzitým zmenil a uložil iný používateľ. Vaše zmeny sa neuložili."),
                      QString(), QStringLiteral("Zmenené na inom pracovisku:")};
    for (const QString& c : conflict.theirs)
        lines << QStringLiteral("  %1: %2 → %3%4")
                     .arg(columnCaption(c), columnText(c, m_loadedRow.value(c)), columnText(c, conflict.now.value(c)),
                          conflict.mine.contains(c) ? QStringLiteral("  (zmenili ste aj vy)") : QString());
    if (!conflict.mine.isEmpty()) {
        lines << QString() << QStringLiteral("Vaše zmeny:");
        for (const QString& c : conflict.mine)
            lines << QStringLiteral("  %1: %2 → %3").arg(columnCaption(c), columnText(c, m_loadedRow.value(c)),
                                                         columnText(c, values.value(c)));
    }
    lines << QString()
          << QStringLiteral("Áno: prevziať hodnoty z iného pracoviska v položkách, ktoré ste nemenili, a uložiť "
                            "vaše zmeny.")
          << QStringLiteral("Nie: nič neukladať a pokračovať v úpravách.");
    const int answer =
        RedMessageDlg(lines.join(QLatin1Char('\n')), msg::Warning, {msg::Yes, msg::No}, 0, msg::No);
    if (answer != msg::Yes)
        return false;
    for (const QString& c : conflict.theirs)
        if (!conflict.mine.contains(c))
            m_takeOver[c] = conflict.now.value(c);
    // The row as it is now is what the next save must find.
    m_loadedRow = conflict.now;
    return true;
}

void TFormEditor::showEvent(QShowEvent* event)
{
    TFormUni::showEvent(event);
    // The loaded record as the window shows it, before the user types.
    if (m_captureAtShow && !event->spontaneous()) {
        m_captureAtShow = false;
        m_valuesAtLoad = recordValues();
    }
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
