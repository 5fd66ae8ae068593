#include "controls/IBComboBox.h"

#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/MainConnection.h"
#include "framework/Messages.h"
#include "framework/SettingsRoots.h"
#include "framework/SlotGuard.h"
#include "framework/TextHelpers.h"
#include "framework/TransactionHelpers.h"
#include "framework/UiHelpers.h"
#include "framework/UserSettings.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMetaMethod>
#include <QPainter>
#include <QProxyStyle>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTimer>

namespace {

QString shownText(const QVariant& v)
{
    QString text = v.typeId() == QMetaType::QString ? v.toString() : VariantToText(v);
    // CHAR columns come padded; the comparison in the database ignores the padding too.
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// A read-only combo box looks like a plain edit: no drop-down button, the edit
// over the whole frame.
class ReadOnlyComboStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    static bool plain(const QWidget* w)
    {
        const auto* combo = qobject_cast<const TIBComboBox*>(w);
        return combo && combo->ReadOnly();
    }

    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* w) const override
    {
        if (cc == CC_ComboBox && plain(w)) {
            if (sc == SC_ComboBoxArrow)
                return {};
            if (sc == SC_ComboBoxEditField) {
                const int f = pixelMetric(PM_DefaultFrameWidth, opt, w);
                return opt->rect.adjusted(f, f, -f, -f);
            }
        }
        return QProxyStyle::subControlRect(cc, opt, sc, w);
    }

    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex* opt, QPainter* p,
                            const QWidget* w) const override
    {
        if (cc == CC_ComboBox && plain(w)) {
            QStyleOptionFrame frame;
            frame.initFrom(w);
            frame.rect = opt->rect;
            frame.lineWidth = pixelMetric(PM_DefaultFrameWidth, opt, w);
            frame.state |= State_Sunken;
            drawPrimitive(PE_PanelLineEdit, &frame, p, w);
            return;
        }
        QProxyStyle::drawComplexControl(cc, opt, p, w);
    }
};

}  // namespace

TIBComboBox::TIBComboBox(QWidget* parent) : QComboBox(parent), DataControl(this)
{
    m_model = new ComboBoxModel(this);
    setModel(m_model);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);  // completion is the control's own
    // Measuring thousands of items for the size hint would cost more than the load.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    setMaxVisibleItems(30);
    setFont(dataControlFont());
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    view()->installEventFilter(this);
    setStyle(new ReadOnlyComboStyle);
    style()->setParent(this);

    m_timer = new QTimer(this);
    m_timer->setInterval(m_sTimerInterval);
    // Both can run a search; an error must not leave a slot.
    connect(m_timer, &QTimer::timeout, this, guarded([this] { timerFired(); }));
    connect(this, &QComboBox::editTextChanged, this,
            guarded([this](const QString& text) { textChanged(text); }));
    connect(this, qOverload<int>(&QComboBox::activated), this, &TIBComboBox::itemActivated);
    updateColours();
}

TIBComboBox::~TIBComboBox()
{
    // Queries before their transaction; the transaction rolls back when it goes.
    for (auto& q : m_queries)
        q.reset();
    m_transaction.reset();
}

// ---- properties --------------------------------------------------------------

void TIBComboBox::setDatabase(fb::Connection* connection)
{
    if (connection == m_database)
        return;
    for (auto& q : m_queries)
        q.reset();
    m_transaction.reset();
    m_database = connection;
}

void TIBComboBox::setSAutoAppend(bool on)
{
    m_sAutoAppend = on;
    if (on)
        m_autoComplete = false;
}

void TIBComboBox::setAutoComplete(bool on)
{
    m_autoComplete = on;
    if (on)
        m_sAutoAppend = false;
}

void TIBComboBox::setSTimerUse(bool on)
{
    m_sTimerUse = on;
    if (!on)
        m_timer->stop();
}

void TIBComboBox::setSTimerInterval(int ms)
{
    m_sTimerInterval = ms;
    m_timer->setInterval(ms);
}

int TIBComboBox::MaxLength() const
{
    return lineEdit()->maxLength();
}

void TIBComboBox::setMaxLength(int n)
{
    lineEdit()->setMaxLength(n > 0 ? n : 32767);
}

QString TIBComboBox::dropDownSettingsKey() const
{
    return QString(settingsroot::KovraCompany) + QLatin1Char('\\') + applicationTitle()
           + QStringLiteral("\\ComboBox Settings\\") + QString::fromLatin1(window()->metaObject()->className());
}

// ---- state -------------------------------------------------------------------

bool TIBComboBox::pickedItemShown() const
{
    return m_pickedItem >= 0 && m_pickedItem < count() && itemText(m_pickedItem) == currentText();
}

QVariant TIBComboBox::keyValue(int n) const
{
    if (n < 1 || n > 9)
        return {};
    if (pickedItemShown())
        return m_model->item(m_pickedItem).keys[size_t(n - 1)];
    return m_keys[size_t(n - 1)];
}

bool TIBComboBox::isListOpen() const
{
    return view() && view()->isVisible();
}

bool TIBComboBox::IsEmpty() const
{
    return IsBlank(currentText(), true);
}

void TIBComboBox::clearFoundKeys(int upTo)
{
    m_foundText.clear();
    m_shownForKey.clear();
    for (int i = 0; i < upTo && i < 9; ++i)
        m_keys[size_t(i)] = QVariant();
}

void TIBComboBox::ClearKeys()
{
    clearFoundKeys(9);
    m_pickedItem = -1;
}

void TIBComboBox::Clear()
{
    if (m_timer)
        m_timer->stop();
    setTextQuietly(QString());
    ClearKeys();
    setSearchRed(false);
    m_foundText.clear();
    m_typedLength = 0;
    m_modified = false;
}

void TIBComboBox::setTextQuietly(const QString& text)
{
    // A stored text is shown whole: cut, it would no longer find its own row.
    if (text.size() > MaxLength())
        setMaxLength(int(text.size()));
    ++m_quiet;
    setEditText(text);
    --m_quiet;
}

// ---- colours -----------------------------------------------------------------

void TIBComboBox::applyColours(const QColor& background, const QColor& text)
{
    // Any other colour replaces the red of a failed search; the red/white of a
    // shown message only covers it for a while.
    const bool messageRed = background == errorColour() && text == errorTextColour();
    if (!m_paintingSearchRed && !messageRed)
        m_searchRed = false;
    DataControl::applyColours(background, text);
}

void TIBComboBox::setSearchRed(bool red)
{
    if (!red) {
        restoreFocusColour();
        return;
    }
    if (isShowingOwnMessage())
        return;
    m_paintingSearchRed = true;
    DataControl::applyColours(errorColour(), QColor(Qt::black));
    m_paintingSearchRed = false;
    m_searchRed = true;
}

void TIBComboBox::restoreFocusColour()
{
    m_searchRed = false;
    updateColours();
}

// ---- read-only and focus -------------------------------------------------------

void TIBComboBox::applyReadOnly(bool readOnly)
{
    lineEdit()->setReadOnly(readOnly);
    if (readOnly && isListOpen())
        hidePopup();
    if (readOnly)
        m_timer->stop();
    // The edit field follows the style's new geometry.
    QResizeEvent relayout(size(), size());
    QCoreApplication::sendEvent(this, &relayout);
    update();
}

void TIBComboBox::entered()
{
    m_textAtEntry = currentText();
    m_keyAtEntry = keyValue(1);
    if (m_dropDownWidth > 0)
        view()->setMinimumWidth(m_dropDownWidth);
    lineEdit()->selectAll();
}

bool TIBComboBox::handleFocusOut(QFocusEvent* event)
{
    const UserAction action(this);
    const bool refused = DataControl::handleFocusOut(event);
    if (refused)
        ClearKeys();  // the exit processing drops the keys of a refused value
    return refused;
}

void TIBComboBox::leaving()
{
    if (!m_exitHandled)
        settleText();
}

void TIBComboBox::settleText()
{
    if (ReadOnly())
        return;
    if (m_sTimerUse) {
        m_timer->stop();
        // A row the user picked from the list stays chosen, and so does the row
        // whose own text is shown: a search would take the first row starting
        // with the text, which may be another one ("SJ-ŠJ" for "ŠJ-SJ", the
        // search folds diacritics).
        const bool ownTextShown =
            !m_shownForKey.isEmpty() && currentText() == m_shownForKey && IsSetValue(m_keys[0]);
        if (!currentText().isEmpty() && !pickedItemShown() && !ownTextShown) {
            AppendText(false);
            if (!m_foundText.isEmpty())
                setTextQuietly(m_foundText);
        }
    }
    const QVariant key1 = keyValue(1);
    const QVariant key2 = keyValue(2);
    if (IsSetValue(key1) && IsSetValue(key2))
        FindIt2(key1, key2);
    else if (IsSetValue(key1))
        FindIt(key1);
}

// ---- the check -----------------------------------------------------------------

bool TIBComboBox::CheckValue()
{
    const UserAction action(this);
    const QString text = currentText();
    bool refused = false;
    if (Required() && IsEmpty()) {
        if (EmptyErrorText() != 0)
            showOwnMessage(EmptyErrorText(), msg::Warning);
        refused = true;
    } else if (!IsEmpty() && text.trimmed().size() < m_minLength) {
        showOwnText(QStringLiteral("Zadajte minimálne %1 znakov").arg(m_minLength), msg::Information);
        refused = true;
    } else if (IsNotExist() && m_sSearchIfFound) {
        refused = true;
    } else {
        refused = IsUnique();
    }
    if (refused)
        return true;  // the exit processing drops the keys, the window's check does not
    static const QMetaMethod notFound = QMetaMethod::fromSignal(&TIBComboBox::OnNotFound);
    if (isSignalConnected(notFound) && !IsSetValue(keyValue(1)) && (!text.isEmpty() || Required()) && !ReadOnly())
        emit OnNotFound();
    return false;
}

bool TIBComboBox::IsNotExist()
{
    const QString text = currentText();
    if (!m_sAutoAppend || !m_sSearchIfFound || text.isEmpty() || !isEnabled() || !isVisible() || ReadOnly())
        return false;
    // Among rows with the same text, the one already chosen stays chosen.
    const QVariant chosen = keyValue(1);
    ClearKeys();
    const fb::Statement st = BuildIsNotExistSql(m_lookup, text);
    const ComboKeyColumns columns = IsNotExistKeyColumns(m_lookup);
    bool found = false;
    const LookupFailure failure{
        {objectName() + QStringLiteral(": Error in \"IsNotExist\" function\r\n\r\n") + st.text()}};
    const bool answered = runLookup(failure, [&] {
        fb::Query& q = query(OpIsNotExist);
        q.setStatement(st);
        q.execute();
        while (q.next()) {
            if (shownText(q.value(0)).compare(text, Qt::CaseInsensitive) != 0)
                continue;
            const bool isChosen = IsSetValue(chosen) && CompareVariants(q.value(1), chosen) == 0;
            if (found && !isChosen)
                continue;
            for (size_t i = 0; i < 9; ++i)
                m_keys[i] = columns[i] >= 0 ? q.value(columns[i]) : QVariant();
            found = true;
            if (isChosen)
                break;
        }
        q.close();
    });
    if (!answered) {
        // The client layer refused the text (reported): no row can hold it.
        ClearKeys();
        return true;
    }
    if (found)
        return false;
    if (m_setFocusIfNotFound)
        ClearKeys();
    if (m_sNotFoundErrorText != 0)
        showOwnMessage(m_sNotFoundErrorText, msg::Warning);
    // The caller's refusal puts the focus back (DataControl::runExitCheck).
    return m_setFocusIfNotFound;
}

bool TIBComboBox::IsUnique()
{
    if (!m_uniqueTest)
        return false;
    const QString text = currentText();
    // A blank text is nobody's duplicate.
    if (!m_unique.useKeyValue && IsBlank(text, true))
        return false;
    UniqueTestSetup setup = m_unique;
    setup.onlyNumbers = OnlyNumbers();
    const fb::Statement st = BuildUniqueTestSql(setup, text, keyValue(1));
    bool duplicate = false;
    const LookupFailure failure{
        {objectName() + QStringLiteral(": Error in \"IsUnique\" function\r\n\r\n") + st.text()}};
    const bool answered = runLookup(failure, [&] {
        fb::Query& q = query(OpIsUnique);
        q.setStatement(st);
        q.execute();
        duplicate = q.next();
        q.close();
    });
    if (!answered)
        return true;  // the client layer refused the text (reported): it cannot be stored
    if (!duplicate)
        return false;
    if (m_uniqueErrorText != 0)
        showOwnMessage(m_uniqueErrorText, msg::Warning);
    lineEdit()->selectAll();
    return true;
}

// ---- searching -------------------------------------------------------------------

fb::Query& TIBComboBox::query(Op op)
{
    if (!m_transaction) {
        fb::Connection& connection = m_database ? *m_database : mainConnection();
        m_transaction = std::make_unique<fb::Transaction>(connection, TransactionParams(true, true));
    }
    if (!m_transaction->isActive())
        m_transaction->start();
    auto& q = m_queries[size_t(op)];
    if (!q)
        q = std::make_unique<fb::Query>(*m_transaction);
    return *q;
}

TIBComboBox::UserAction::UserAction(TIBComboBox* combo, bool reportsClientRefusal) : m_combo(combo)
{
    if (m_combo->m_userActions++ == 0)
        m_combo->m_clientRefusalShown = !reportsClientRefusal;
}

TIBComboBox::UserAction::~UserAction()
{
    --m_combo->m_userActions;
}

bool TIBComboBox::runLookup(const LookupFailure& failure, const std::function<void()>& work)
{
    try {
        WaitCursor wait;
        if (!m_database)
            ReopenMainConnectionIfLost();
        work();
        return true;
    } catch (const fb::Error& e) {
        if (failure.rollback)
            rollbackRetaining();
        // One action of the user runs several lookups of the same text; the
        // client layer's refusal of it is told once.
        if (e.kind() == fb::ErrorKind::Client && m_clientRefusalShown && m_userActions > 0)
            return false;
        if (ReportLookupError(e, failure.messages)) {
            m_clientRefusalShown = m_userActions > 0;
            return false;
        }
        if (failure.raise)
            throw;
        return false;
    }
}

void TIBComboBox::rollbackRetaining()
{
    try {
        if (m_transaction && m_transaction->isActive())
            m_transaction->rollbackRetaining();
    } catch (const fb::Error&) {
        // The error being reported is the one that matters.
    }
}

void TIBComboBox::AppendText(bool complete)
{
    if (!m_sAutoAppend)
        return;
    const QString text = currentText();
    const bool backspace = m_lastChar == QLatin1Char('\b');
    // An empty text would "find" the first row of the table.
    if (text.isEmpty() || text.size() < m_sMinSearchLength || backspace || m_lastChar == QLatin1Char(' ')) {
        if (backspace)
            restoreFocusColour();
        clearFoundKeys(3);
        emit OnAfterSearch(false);
        return;
    }
    const fb::Statement st = BuildAppendTextSql(m_lookup, text);
    const ComboKeyColumns columns = DropDownKeyColumns(m_lookup);
    bool found = false;
    QString foundText;
    std::array<QVariant, 9> keys;
    int width = 0;
    // A text the client layer refused finds nothing: no row can hold it.
    const LookupFailure failure{{QStringLiteral("Chyba v TIBComboBox.AppendText: ") + st.text()}};
    runLookup(failure, [&] {
        fb::Query& q = query(OpAppendText);
        q.setStatement(st);
        q.execute();
        width = q.column(0).length;
        if (q.next()) {
            found = true;
            foundText = shownText(q.value(0));
            for (size_t i = 0; i < 9; ++i)
                keys[i] = columns[i] >= 0 ? q.value(columns[i]) : QVariant();
        }
        q.close();
    });
    if (width > 0)
        setMaxLength(width);
    if (!found) {
        clearFoundKeys(3);
        emit OnAfterSearch(false);
        if (!ReadOnly() && hasFocus() && !text.isEmpty() && !m_searchRed && !text.startsWith(QLatin1Char('*')))
            setSearchRed(true);
    } else {
        if (hasFocus() && !ReadOnly())
            restoreFocusColour();
        m_foundText = foundText;
        m_shownForKey.clear();
        m_keys = keys;
        emit OnAfterSearch(true);
    }
    if (complete && m_modified) {
        const int typed = int(text.size());
        if (!m_foundText.isEmpty()) {
            const QString completed = text.left(typed) + m_foundText.mid(typed);
            setTextQuietly(completed);
            // The cursor after the typed part, the appended part selected.
            lineEdit()->setSelection(int(completed.size()), typed - int(completed.size()));
            m_typedLength = typed;
        }
        m_modified = false;
    }
}

bool TIBComboBox::loadList(const fb::Statement& st)
{
    const ComboKeyColumns columns = DropDownKeyColumns(m_lookup);
    std::vector<ComboBoxModel::Item> items;
    items.reserve(size_t(m_model->rowCount()));
    int width = 0;
    // The list load leaves the transaction as it is.
    const LookupFailure failure{
        {objectName() + QStringLiteral(": Error in \"DropDown\" event\r\n\r\n") + st.text()},
        /*rollback=*/false};
    const bool loaded = runLookup(failure, [&] {
        fb::Query& q = query(OpDropDown);
        q.setStatement(st);
        q.execute();
        width = q.column(0).length;
        while (q.next()) {
            ComboBoxModel::Item item;
            item.text = shownText(q.value(0));
            for (size_t i = 0; i < 9; ++i) {
                if (columns[i] >= 0)
                    item.keys[i] = q.value(columns[i]);
            }
            items.push_back(std::move(item));
        }
        q.close();
    });
    if (!loaded)
        return false;
    if (width > 0)
        setMaxLength(width);

    // Replacing the items resets the edit text; the typed text and its
    // selection stay as they were.
    QLineEdit* edit = lineEdit();
    const QString text = edit->text();
    const int selStart = edit->selectionStart();
    const int selLength = int(edit->selectedText().size());
    const int cursor = edit->cursorPosition();
    {
        const QSignalBlocker blocker(this);
        ++m_quiet;
        m_model->replace(std::move(items));
        setCurrentIndex(-1);
        edit->setText(text);
        if (selStart >= 0 && selLength > 0) {
            if (cursor == selStart)
                edit->setSelection(selStart + selLength, -selLength);
            else
                edit->setSelection(selStart, selLength);
        } else {
            edit->setCursorPosition(cursor);
        }
        --m_quiet;
    }
    m_pickedItem = -1;
    return true;
}

bool TIBComboBox::DropDown()
{
    if (ReadOnly())
        return false;
    bool stored = false;
    const int size = readUserInt(dropDownSettingsKey(), dropDownSettingsName(), DropDownCount(), &stored);
    if (stored && size > 0)
        setDropDownCount(size);
    if (m_sAutoAppend) {
        const QString text = currentText();
        const bool filtered = !text.isEmpty() && lineEdit()->selectedText() != text;
        const bool hasFilter = filtered && (!text.startsWith(QLatin1Char('*')) || !ContainingWords(text).isEmpty());
        if (!loadList(BuildDropDownSql(m_lookup, text, m_typedLength, filtered)))
            return false;
        if (m_model->rowCount() == 0 && hasFilter) {
            // Nothing matches what was typed: offer the whole list instead.
            if (!loadList(BuildDropDownSql(m_lookup, text, 0, false)))
                return false;
            lineEdit()->selectAll();
        }
    }
    emit OnDropDown();
    return true;
}

void TIBComboBox::showPopup()
{
    if (ReadOnly())
        return;
    m_timer->stop();
    if (DropDown())
        QComboBox::showPopup();
}

void TIBComboBox::FindIt(const QVariant& value)
{
    if (!m_sAutoAppend)
        return;
    m_pickedItem = -1;
    if (!IsSetValue(value)) {
        ClearKeys();
        ++m_quiet;
        m_model->replace({});
        setEditText(QString());
        --m_quiet;
        m_modified = false;
        emit OnChange();
        return;
    }
    showFound(OpFindIt, BuildFindItSql(m_lookup, value), value, /*raise=*/false);
}

// Runs a FindIt statement and shows its row: the text, `key` as the first key
// and the other keys from their columns. A database error is reported with the
// statement; `raise` decides whether it goes on to the caller.
void TIBComboBox::showFound(Op op, const fb::Statement& st, const QVariant& key, bool raise)
{
    const ComboKeyColumns columns = FindItKeyColumns(m_lookup);
    bool found = false;
    QString text;
    std::array<QVariant, 9> keys;
    const QString name = op == OpFindIt2 ? QStringLiteral("FindIt2") : QStringLiteral("FindIt");
    const LookupFailure failure{
        {objectName() + QStringLiteral(": Error in \"%1\" procedure").arg(name), st.text()},
        /*rollback=*/true, raise};
    int width = 0;
    const bool done = runLookup(failure, [&] {
        fb::Query& q = query(op);
        q.setStatement(st);
        q.execute();
        width = q.column(0).length;
        if (q.next()) {
            found = true;
            text = shownText(q.value(0));
            keys[0] = key;
            for (size_t i = 1; i < 9; ++i)
                keys[i] = columns[i] >= 0 ? q.value(columns[i]) : QVariant();
        }
        q.close();
    });
    if (!done)
        return;
    if (width > 0)
        setMaxLength(width);
    m_keys = keys;
    if (!found)
        m_foundText.clear();
    m_shownForKey = found ? text : QString();
    setTextQuietly(text);
    m_modified = false;
    emit OnAfterSearch(found);
    emit OnChange();
}

void TIBComboBox::FindIt2(const QVariant& value1, const QVariant& value2)
{
    if (!m_sAutoAppend)
        return;
    m_pickedItem = -1;
    if (!IsSetValue(value1)) {
        FindIt(value1);
        return;
    }
    showFound(OpFindIt2, BuildFindIt2Sql(m_lookup, value1, value2), value1, /*raise=*/true);
}

void TIBComboBox::FindFirst()
{
    if (m_lookup.keyFields[0].isEmpty())
        return;
    const fb::Statement st = BuildFindFirstSql(m_lookup);
    QVariant key;
    const LookupFailure failure{
        {objectName() + QStringLiteral(": Error in \"FindFirst\" procedure\r\n\r\n") + st.text()},
        /*rollback=*/true, /*raise=*/false};
    const bool done = runLookup(failure, [&] {
        fb::Query& q = query(OpFindFirst);
        q.setStatement(st);
        q.execute();
        if (q.next())
            key = q.value(0);
        q.close();
    });
    if (done && IsSetValue(key))
        FindIt(key);
}

// ---- typing --------------------------------------------------------------------

void TIBComboBox::timerFired()
{
    if (isListOpen())
        return;  // never while the list is open; the next tick tries again
    const UserAction action(this, /*reportsClientRefusal=*/false);
    m_timer->stop();
    AppendText(true);
}

void TIBComboBox::textChanged(const QString&)
{
    if (m_quiet)
        return;
    if (ReadOnly() && hasFocus()) {
        setTextQuietly(m_textAtEntry);
        lineEdit()->selectAll();
    }
    m_modified = true;
    m_exitHandled = false;  // the value changed after an Enter had checked it
    const QString shown = currentText();
    if (shown.isEmpty()) {
        ClearKeys();
        if (hasFocus() && !ReadOnly() && window()->isVisible())
            restoreFocusColour();
    }
    if (window()->isVisible() && hasFocus() && !isListOpen() && !shown.isEmpty() && !ReadOnly()
        && m_lastKey != Qt::Key_Delete) {
        if (!m_autoComplete) {
            m_typedLength = int(shown.size());
            if (!m_sTimerUse) {
                const UserAction action(this, /*reportsClientRefusal=*/false);
                AppendText(true);
            }
        } else if (m_lastKey != Qt::Key_Backspace && m_lastKey != Qt::Key_Return && m_lastKey != Qt::Key_Enter) {
            for (int i = 0; i < count(); ++i) {
                const QString item = itemText(i);
                if (!item.startsWith(shown, Qt::CaseInsensitive))
                    continue;
                const int typed = int(shown.size());
                ++m_quiet;
                setCurrentIndex(i);
                setEditText(item);
                lineEdit()->setSelection(int(item.size()), typed - int(item.size()));
                --m_quiet;
                m_pickedItem = i;
                break;
            }
        }
    }
    emit OnChange();
}

void TIBComboBox::itemActivated(int index)
{
    if (index < 0 || index >= count())
        return;
    m_pickedItem = index;
    m_keys = m_model->item(index).keys;
    m_foundText = itemText(index);
    if (hasFocus() && !ReadOnly())
        restoreFocusColour();
}

bool TIBComboBox::acceptsCharacter(QChar c) const
{
    if (c == QLatin1Char('\b'))
        return true;
    if (m_lookup.onlyNumbers && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')))
        return false;
    if (!m_onlyTheseChars.isEmpty() && !m_onlyTheseChars.contains(c) && c != QLatin1Char('/'))
        return false;
    return true;
}

void TIBComboBox::changeDropDownCount(int delta)
{
    const int size = DropDownCount();
    if (delta < 0 && size < 4)
        QApplication::beep();
    else
        setDropDownCount(size + delta);
    writeUserInt(dropDownSettingsKey(), dropDownSettingsName(), DropDownCount());
}

void TIBComboBox::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers mods = ShiftCtrlAlt(event);
    const int key = event->key();
    const bool enter = isEnterKey(event);
    m_timer->stop();

    if (enter && mods == Qt::ControlModifier) {
        emit OnCtrlEnter();  // the window offers its code list
        event->accept();
        return;
    }
    if (enter && mods == Qt::NoModifier) {
        const UserAction action(this);
        if (isListOpen() && !ReadOnly())
            hidePopup();
        emit OnClickEnter();
        m_lastKey = key;
        settleText();
        if (runExitCheck()) {
            ClearKeys();
        } else {
            // Leaving now does not run the check a second time.
            m_exitHandled = true;
            emit OnExit();
            if (hasFocus())
                moveToNextControl();
        }
        event->accept();
        return;
    }

    bool handled = false;
    if (key == Qt::Key_Down && mods == Qt::NoModifier) {
        showPopup();
        handled = true;
    } else if (key == Qt::Key_Delete && mods == Qt::NoModifier) {
        if (isListOpen())
            hidePopup();
        if (lineEdit()->hasSelectedText())
            ClearKeys();
    } else if (mods == Qt::ControlModifier && (event->modifiers() & Qt::KeypadModifier)
               && (key == Qt::Key_Plus || key == Qt::Key_Minus)) {
        changeDropDownCount(key == Qt::Key_Plus ? 1 : -1);
        handled = true;
    }
    m_lastKey = key;
    event->ignore();
    emit OnKeyDown(event);
    if (event->isAccepted() || handled) {
        event->accept();
        return;
    }

    // The character part of the key.
    const QString text = event->text();
    const bool backspace = key == Qt::Key_Backspace;
    const bool character = backspace
                           || (!text.isEmpty() && text.at(0).isPrint() && !(mods & (Qt::ControlModifier | Qt::AltModifier)));
    if (!character) {
        QComboBox::keyPressEvent(event);
        return;
    }
    if (isListOpen())
        hidePopup();
    QString typed = backspace ? QStringLiteral("\b") : text;
    if (m_charCase == ecUpperCase)
        typed = typed.toUpper();
    else if (m_charCase == ecLowerCase)
        typed = typed.toLower();
    QKeyEvent converted(event->type(), key, event->modifiers(), typed, event->isAutoRepeat(), ushort(event->count()));
    converted.ignore();
    emit OnKeyPress(&converted);
    if (converted.isAccepted()) {
        event->accept();
        return;
    }
    m_lastChar = typed.isEmpty() ? QChar() : typed.at(0);
    if (!acceptsCharacter(m_lastChar)) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(&converted);
    event->setAccepted(converted.isAccepted());
}

void TIBComboBox::keyReleaseEvent(QKeyEvent* event)
{
    event->ignore();
    emit OnKeyUp(event);
    if (m_sTimerUse && hasFocus() && !ReadOnly() && ShiftCtrlAlt(event) == Qt::NoModifier
        && event->key() != Qt::Key_Delete)
        m_timer->start(m_sTimerInterval);
    QComboBox::keyReleaseEvent(event);
}

bool TIBComboBox::eventFilter(QObject* watched, QEvent* event)
{
    // Typing while the list is open closes it and goes on in the edit.
    if (watched == view() && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        const bool character = key->key() == Qt::Key_Backspace
                               || (!text.isEmpty() && text.at(0).isPrint()
                                   && !(ShiftCtrlAlt(key) & (Qt::ControlModifier | Qt::AltModifier)));
        if (character) {
            hidePopup();
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text(), key->isAutoRepeat(),
                           ushort(key->count()));
            QCoreApplication::sendEvent(this, &copy);
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

namespace {

class DoubleClickFilter : public QObject {
public:
    DoubleClickFilter(QObject* parent, std::function<void()> action) : QObject(parent), m_action(std::move(action)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonDblClick)
            runReportingUnexpected(m_action);
        return false;
    }

private:
    std::function<void()> m_action;
};

}  // namespace

void OnDoubleClick(TIBComboBox* combo, std::function<void()> action)
{
    combo->lineEdit()->installEventFilter(new DoubleClickFilter(combo, std::move(action)));
}
