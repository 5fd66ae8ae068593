#pragma once

#include "forms/FormUni.h"

#include <QStringList>
#include <QVariantMap>

#include <cstdint>

class QPushButton;
class TQDLBtn;
namespace fb {
class Transaction;
}

// An editor: a dialog that adds or changes one record.
//
//   btnZapis " &OK" / F12        check the controls, save, close with 1
//   btnDalsi "Ď&alší" / F11      the same, closing with 4 (saved and next)
//   btnNezapis "&Nezapíš" / Esc  close with 2
//   Enter does nothing; the keys act only without Shift, Ctrl and Alt.
//
// A derived editor lays the three buttons out, puts its controls and then the
// buttons into tab order with SetTabOrder (the buttons are created first, so
// they would lead the chain otherwise), and supplies the caption per mode, the
// reading of `Current` and the statement that stores the record.
class TFormEditor : public TFormUni {
    Q_OBJECT
public:
    enum class NextButton { No, Yes };
    explicit TFormEditor(NextButton next = NextButton::Yes, QWidget* parent = nullptr);

    TQDLBtn* btnZapis = nullptr;
    TQDLBtn* btnDalsi = nullptr;  // nullptr in editors without it
    TQDLBtn* btnNezapis = nullptr;

    // The whole run: copy the record, set up btnDalsi, ClearControls, read the
    // record (modes other than insert), show modally, write the result back.
    void SetDetails(TFormDetails& details) override;

    // Runs the save as the given button (btnZapis or btnDalsi) would.
    void Save(QPushButton* originator);

    // Whether btnDalsi takes part in Tab.
    bool nextInTabOrder() const;
    void setNextInTabOrder(bool on);

protected:
    bool keyPreview(QKeyEvent* event) override;

    // The caption for the mode (3 add, 4 copy, otherwise edit).
    virtual QString captionFor(std::uint8_t mode) const;
    // Reads the record `Current` into the controls; false when it is gone.
    // Runs in a read-only read-committed transaction.
    virtual bool LoadRecord(fb::Transaction& transaction);
    // Stores the controls: inserts the record `Current` when `isNew`,
    // otherwise updates it. Runs in a read-write read-committed transaction.
    virtual void SaveRecord(fb::Transaction& transaction, bool isNew);
    // The sequence that numbers new records ("" when the editor never inserts).
    virtual QString sequenceName() const { return {}; }
    // Whether saving needs an administrator (checked again at each save, as
    // the user's validity is).
    virtual bool savingNeedsAdministrator() const { return false; }
    // The action of btnZapis and btnDalsi; editors with a check of their own
    // (the login) override it.
    virtual void Zapis(QPushButton* originator);
    void showEvent(QShowEvent* event) override;

    // ---- saving over the row that was loaded -------------------------------------
    // An edit saves only over the row as it was loaded: in the saving
    // transaction the row is locked and compared with what was loaded; when
    // another workstation changed it meanwhile nothing is written, the user
    // sees what changed there and what he changed, and may take over the other
    // values for the fields he did not touch. A row deleted meanwhile is 1012.
    //
    // The table the editor changes (keyed by JEDIN); "" skips the check.
    virtual QString recordTable() const { return {}; }
    // Column -> value as the save writes them; the check compares these columns.
    virtual QVariantMap recordValues() const { return {}; }
    // A column's caption in the conflict message; the column name by default.
    virtual QString columnCaption(const QString& column) const { return column; }
    // A stored value as the message shows it (foreign keys may show a name).
    virtual QString columnText(const QString& column, const QVariant& value) const;
    // What SaveRecord writes: recordValues() with the other workstation's
    // values for the fields the user left as they were, when he took them over.
    QVariantMap valuesToSave() const;

private:
    bool loadCurrent();
    // Reads the record's row in `transaction` (locked when `lock`); false when
    // it is gone. Only the columns recordValues() writes.
    bool readRow(fb::Transaction& transaction, bool lock, QVariantMap& row) const;
    struct SaveConflict {
        QVariantMap now;     // the compared columns as they are now
        QStringList theirs;  // columns another workstation changed
        QStringList mine;    // columns the user changed
    };
    // False (and the conflict filled) when the row differs from the loaded one.
    bool rowUnchanged(fb::Transaction& transaction, SaveConflict& conflict) const;
    bool offerTakeOver(const SaveConflict& conflict);

    QVariantMap m_loadedRow;      // the compared columns as the database held them at load
    QVariantMap m_valuesAtLoad;   // recordValues() when the loaded record was first shown
    QVariantMap m_takeOver;       // the other workstation's values the user took over
    bool m_captureAtShow = false;
};

// Runs an editor: create it, its SetDetails (which runs it), destroy.
template <class Editor, class... Args>
void RunEditor(TFormDetails& details, Args&&... args)
{
    Editor editor(std::forward<Args>(args)...);
    editor.SetDetails(details);
}

// Makes a window show its data without letting it be changed: lookup combo
// boxes, amount, edit, date and memo controls read-only; check boxes, plain
// memos and tool buttons disabled; every push button but btnDalsi, btnZapis and
// btnNezapis disabled, and btnNezapis hidden.
void MakeReadOnly(QWidget* window);
