#pragma once

#include "controls/ComboBoxModel.h"
#include "controls/ComboBoxSql.h"
#include "controls/DataControl.h"
#include "controls/UniqueTest.h"

#include <QComboBox>
#include <QVariant>

#include <array>
#include <functional>
#include <memory>

class QTimer;

namespace fb {
class Connection;
class Query;
class Transaction;
}  // namespace fb

// TIBComboBox: the edit-with-list through which the windows enter every value
// that comes from another table or from a list of earlier values. It searches
// STableName after a pause in typing and completes the text, lists the
// matching rows when opened, checks the text on leaving (required, minimum
// length, found in the table, unique) and keeps the key values of the chosen
// row for the window to store.
//
// All lookups run in one private read-only transaction (read_committed,
// rec_version, read, nowait) on Database (the main connection when none is
// set), started on first use and never committed.
class TIBComboBox : public QComboBox, public DataControl {
    Q_OBJECT
public:
    enum TCharCase { ecNormal, ecUpperCase, ecLowerCase };

    explicit TIBComboBox(QWidget* parent = nullptr);
    ~TIBComboBox() override;

    // ---- where to search -----------------------------------------------------
    fb::Connection* Database() const { return m_database; }
    void setDatabase(fb::Connection* connection);
    QString STableName() const { return m_lookup.tableName; }
    void setSTableName(const QString& s) { m_lookup.tableName = s; }
    QString SAppendFromField() const { return m_lookup.appendFromField; }
    void setSAppendFromField(const QString& s) { m_lookup.appendFromField = s; }
    // Key columns 1 to 9 (SKeyField .. SKeyField9).
    QString SKeyField(int n = 1) const { return m_lookup.keyFields[size_t(n - 1)]; }
    void setSKeyField(const QString& s) { setSKeyField(1, s); }
    void setSKeyField(int n, const QString& s) { m_lookup.keyFields[size_t(n - 1)] = s; }
    void setSKeyField2(const QString& s) { setSKeyField(2, s); }
    void setSKeyField3(const QString& s) { setSKeyField(3, s); }
    QString SWhere() const { return m_lookup.where; }
    void setSWhere(const QString& s) { m_lookup.where = s; }
    QString SOrderBy() const { return m_lookup.orderBy; }
    void setSOrderBy(const QString& s) { m_lookup.orderBy = s; }
    bool SDistinct() const { return m_lookup.distinct; }
    void setSDistinct(bool on) { m_lookup.distinct = on; }
    bool SUseBasicASCIIColumn() const { return m_lookup.useBasicAsciiColumn; }
    void setSUseBasicASCIIColumn(bool on) { m_lookup.useBasicAsciiColumn = on; }
    const ComboLookup& lookup() const { return m_lookup; }

    // ---- how it searches -----------------------------------------------------
    bool SAutoAppend() const { return m_sAutoAppend; }
    void setSAutoAppend(bool on);   // clears AutoComplete
    bool AutoComplete() const { return m_autoComplete; }
    void setAutoComplete(bool on);  // clears SAutoAppend
    int SMinSearchLength() const { return m_sMinSearchLength; }
    void setSMinSearchLength(int n) { m_sMinSearchLength = n; }
    bool SSearchIfFound() const { return m_sSearchIfFound; }
    void setSSearchIfFound(bool on) { m_sSearchIfFound = on; }
    int SNotFoundErrorText() const { return m_sNotFoundErrorText; }
    void setSNotFoundErrorText(int n) { m_sNotFoundErrorText = n; }
    bool SetFocusIfNotFound() const { return m_setFocusIfNotFound; }
    void setSetFocusIfNotFound(bool on) { m_setFocusIfNotFound = on; }
    bool STimerUse() const { return m_sTimerUse; }
    void setSTimerUse(bool on);
    int STimerInterval() const { return m_sTimerInterval; }
    void setSTimerInterval(int ms);

    // ---- what may be typed -----------------------------------------------------
    int MinLength() const { return m_minLength; }
    void setMinLength(int n) { m_minLength = n; }
    bool OnlyNumbers() const { return m_lookup.onlyNumbers; }
    void setOnlyNumbers(bool on) { m_lookup.onlyNumbers = on; }
    QString OnlyTheseChars() const { return m_onlyTheseChars; }
    void setOnlyTheseChars(const QString& chars) { m_onlyTheseChars = chars; }
    TCharCase CharCase() const { return m_charCase; }
    void setCharCase(TCharCase c) { m_charCase = c; }
    int MaxLength() const;
    void setMaxLength(int n);

    // ---- the duplicate test ------------------------------------------------------
    bool UniqueTest() const { return m_uniqueTest; }
    void setUniqueTest(bool on) { m_uniqueTest = on; }
    QString UTableName() const { return m_unique.tableName; }
    void setUTableName(const QString& s) { m_unique.tableName = s; }
    QString UTestColumn() const { return m_unique.testColumn; }
    void setUTestColumn(const QString& s) { m_unique.testColumn = s; }
    QString UniqueColumn() const { return m_unique.uniqueColumn; }
    void setUniqueColumn(const QString& s) { m_unique.uniqueColumn = s; }
    QVariant UniqueColumnValue() const { return m_unique.uniqueColumnValue; }
    void setUniqueColumnValue(const QVariant& v) { m_unique.uniqueColumnValue = v; }
    bool UniqueTestSKeyValue() const { return m_unique.useKeyValue; }
    void setUniqueTestSKeyValue(bool on) { m_unique.useKeyValue = on; }
    QString UniqueTestSKeyField() const { return m_unique.keyField; }
    void setUniqueTestSKeyField(const QString& s) { m_unique.keyField = s; }
    QString UAdditionalToWhere() const { return m_unique.additionalToWhere; }
    void setUAdditionalToWhere(const QString& s) { m_unique.additionalToWhere = s; }
    bool UBezDiakritiky() const { return m_unique.bezDiakritiky; }
    void setUBezDiakritiky(bool on) { m_unique.bezDiakritiky = on; }
    int UniqueErrorText() const { return m_uniqueErrorText; }
    void setUniqueErrorText(int n) { m_uniqueErrorText = n; }

    // ---- the list --------------------------------------------------------------
    int DropDownCount() const { return maxVisibleItems(); }
    void setDropDownCount(int n) { setMaxVisibleItems(n); }
    int DropDownWidth() const { return m_dropDownWidth; }
    void setDropDownWidth(int w) { m_dropDownWidth = w; }
    ComboBoxModel* listModel() const { return m_model; }
    // Where the list size is remembered for this control's window.
    QString dropDownSettingsKey() const;
    QString dropDownSettingsName() const { return objectName() + QStringLiteral(".DropDownCount"); }

    // ---- state ------------------------------------------------------------------
    // Key value n (1 to 9): of the list item the user picked while its text is
    // shown, else the stored key value; NULL (invalid) when nothing was found.
    QVariant keyValue(int n) const;
    QVariant SKeyValue() const { return keyValue(1); }
    QVariant SKeyValue2() const { return keyValue(2); }
    QVariant SKeyValue3() const { return keyValue(3); }
    QString foundText() const { return m_foundText; }
    int typedLength() const { return m_typedLength; }
    bool isModified() const { return m_modified; }
    bool isSearchRed() const { return m_searchRed; }
    bool isListOpen() const;
    QTimer* searchTimer() const { return m_timer; }

    // ---- operations ---------------------------------------------------------------
    bool IsEmpty() const;
    // The exit check; true = not acceptable (its message has been shown).
    bool CheckValue() override;
    // True when strict lookup does not find the text in the table.
    bool IsNotExist();
    // True when the text (or key value 1) is a duplicate.
    bool IsUnique();
    // The incremental search; `complete` appends the rest of the found text
    // after the typed part and selects it (the timer path).
    void AppendText(bool complete = true);
    // Loads the list for the text typed so far (runs before the list opens);
    // false when a reported error left the list as it was.
    bool DropDown();
    void FindIt(const QVariant& value);
    void FindIt2(const QVariant& value1, const QVariant& value2);
    void FindFirst();
    void ClearKeys();
    // Empties the text and the keys without searching.
    void Clear();

    void showPopup() override;

signals:
    void OnEnter();
    void OnExit();
    // Key events arrive ignored; a handler that accept()s one stops the
    // ordinary handling of that key.
    void OnKeyDown(QKeyEvent* event);
    void OnKeyPress(QKeyEvent* event);
    void OnKeyUp(QKeyEvent* event);
    void OnDropDown();
    void OnNotFound();
    void OnAfterSearch(bool found);
    void OnCtrlEnter();
    void OnClickEnter();
    void OnChange();

protected:
    void emitOnEnter() override { emit OnEnter(); }
    void emitOnExit() override { emit OnExit(); }
    void applyReadOnly(bool readOnly) override;
    void entered() override;
    void leaving() override;
    void applyColours(const QColor& background, const QColor& text) override;
    bool handleFocusOut(QFocusEvent* event) override;

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum Op { OpDropDown, OpAppendText, OpIsNotExist, OpIsUnique, OpFindIt, OpFindIt2, OpFindFirst, OpCount };

    // How one lookup reports a database error: the control's own messages,
    // whether the private transaction is rolled back retaining first, and
    // whether the error goes on to the caller.
    struct LookupFailure {
        QStringList messages;
        bool rollback = true;
        bool raise = true;
    };
    // One action of the user (leaving the control, Enter, the window's check
    // before saving, a search while typing): the lookups it runs report a
    // refusal of the client layer once, not once per lookup. A search while
    // typing reports none: it only finds nothing, and the check on leaving
    // tells the user.
    class UserAction {
    public:
        explicit UserAction(TIBComboBox* combo, bool reportsClientRefusal = true);
        ~UserAction();
        UserAction(const UserAction&) = delete;
        UserAction& operator=(const UserAction&) = delete;

    private:
        TIBComboBox* m_combo;
    };

    fb::Query& query(Op op);
    // Runs one lookup under the wait cursor. True when it finished; false
    // when it met an error that was reported and not raised.
    bool runLookup(const LookupFailure& failure, const std::function<void()>& work);
    void showFound(Op op, const fb::Statement& st, const QVariant& key, bool raise);
    void rollbackRetaining();
    void textChanged(const QString& text);
    void itemActivated(int index);
    void timerFired();
    // Exit processing steps before the check: the last search and the
    // canonical text of the chosen row.
    void settleText();
    void setTextQuietly(const QString& text);
    bool loadList(const fb::Statement& st);
    void setSearchRed(bool red);
    void restoreFocusColour();
    void clearFoundKeys(int upTo);
    void changeDropDownCount(int delta);
    bool acceptsCharacter(QChar c) const;
    bool pickedItemShown() const;

    fb::Connection* m_database = nullptr;
    ComboLookup m_lookup;
    UniqueTestSetup m_unique;
    bool m_sAutoAppend = false;
    bool m_autoComplete = false;
    int m_sMinSearchLength = 0;
    bool m_sSearchIfFound = true;
    int m_sNotFoundErrorText = 1019;
    bool m_setFocusIfNotFound = true;
    bool m_sTimerUse = true;
    int m_sTimerInterval = 500;
    int m_minLength = 0;
    QString m_onlyTheseChars;
    TCharCase m_charCase = ecNormal;
    bool m_uniqueTest = false;
    int m_uniqueErrorText = 0;
    int m_dropDownWidth = 0;

    std::array<QVariant, 9> m_keys;
    QString m_foundText;
    QString m_shownForKey;  // the text FindIt showed for the keys it set
    int m_typedLength = 0;
    bool m_modified = false;
    QVariant m_keyAtEntry;
    QString m_textAtEntry;
    QChar m_lastChar;
    int m_lastKey = 0;
    int m_pickedItem = -1;   // the list item the user chose, while its text is shown
    int m_quiet = 0;         // > 0 while the control sets its own text
    bool m_searchRed = false;
    bool m_paintingSearchRed = false;
    int m_userActions = 0;              // depth of UserAction scopes
    bool m_clientRefusalShown = false;  // within the present user action

    ComboBoxModel* m_model;
    QTimer* m_timer;
    std::unique_ptr<fb::Transaction> m_transaction;
    std::array<std::unique_ptr<fb::Query>, OpCount> m_queries;
};

// Runs `action` (guarded like a slot) on a double click into the combo's text:
// the windows open their pickers that way.
void OnDoubleClick(TIBComboBox* combo, std::function<void()> action);
