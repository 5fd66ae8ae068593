#pragma once

#include "forms/FormDetails.h"

#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <initializer_list>

class QKeyEvent;
class QPushButton;
class TDbGridQDL;
class TQDLBtn;
namespace fb {
class Transaction;
}

// ---------------------------------------------------------------------------
// The window base classes. Every code-list window, editor, the login dialog
// and the main window derive from one of them and share one calling
// convention: the caller fills a TFormDetails, the window copies what it
// needs, runs modally and writes its result back into the same record.
//
// Placement and window settings live in the per-user store, in a section named
// after the window's class ("Software\<program>\TfrmLogin"). The class name
// comes from the meta-object, so every derived window needs Q_OBJECT.
// ---------------------------------------------------------------------------

// Where a window of `size` at `window.topLeft()` ends up on a screen of
// `screen`: shrunk to the screen, then centred along an axis whose edge is off
// the screen.
QRect FitToScreen(const QRect& window, const QSize& screen);

// The parameter lines with every waiting line made NOWAIT, and "NOWAIT" added
// when none says so: no window's transaction waits for a lock.
QStringList ForceNoWaitParams(const QStringList& lines);
void ForceNoWait(fb::Transaction& transaction);

// The window keeps its own copy of the call record's parameters (TFormValues).
class TFormUni : public QDialog, public TFormValues {
    Q_OBJECT
public:
    explicit TFormUni(QWidget* parent = nullptr);
    ~TFormUni() override;

    // Empties every data control of the window (check boxes unchecked).
    // Editors override it to preset values and then call it.
    virtual void ClearControls();
    // Copies the call record into the window; windows override it to run.
    virtual void SetDetails(TFormDetails& details);

    // The window's own settings, in its placement section.
    int ReadSetting(const QString& name, int defaultValue) const;
    QString ReadSetting(const QString& name, const QString& defaultValue) const;
    QString ReadSetting(const QString& name, const char* defaultValue) const
    {
        return ReadSetting(name, QString::fromUtf8(defaultValue));
    }
    void WriteSetting(const QString& name, int value);
    void WriteSetting(const QString& name, const QString& value);
    void WriteSetting(const QString& name, const char* value) { WriteSetting(name, QString::fromUtf8(value)); }

    // "Software\<program>\<class name>".
    QString settingsSection() const;

    // Focus to the control after `control` in tab order (after a lookup has
    // filled a field).
    void SelectNextFrom(QWidget* control);
    // The first control in tab order that can take the focus, or nullptr.
    QWidget* firstControl() const;

    // Puts the widgets into this tab order (QWidget::setTabOrder in pairs,
    // made safe for a control with inner widgets at the end of the chain).
    void SetTabOrder(std::initializer_list<QWidget*> order);

    // A transaction the window owns: made no-wait now.
    void OwnTransaction(fb::Transaction& transaction);

    // Stores position, size, state and active control (also done when the
    // window is destroyed after it was shown).
    void SavePlacement();

    // Closing with the close box is a Cancel (2), like the cancel button.
    void reject() override;

protected:
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Every key pressed anywhere in the window comes here first. True: the key
    // was handled and goes no further.
    virtual bool keyPreview(QKeyEvent* event);

private:
    void restorePlacement();

    QString m_section;  // known from the first show on (the class is complete then)
    bool m_placed = false;
};

// A register window: a list of records with a toolbar. While it exists it is
// the application's main window; the previous one gets the role back when it
// is destroyed.
class TFormViewer : public TFormUni {
    Q_OBJECT
public:
    explicit TFormViewer(QWidget* parent = nullptr);
    ~TFormViewer() override;

    virtual void Prepare() {}
    virtual void LoadSettings() {}
    virtual void SaveSettings() {}

    QWidget* previousMainWindow() const { return m_previousMain; }

    // The common part of a register window's run, for its SetDetails: base
    // SetDetails, `Text` as caption when not blank, `fill` (the list, its
    // position), show modally, `Result`; in select mode a result of 1 stores
    // `chosenKey()` in `Current`.
    void RunModal(TFormDetails& details, const std::function<void()>& fill = {},
                  const std::function<QVariant()>& chosenKey = {});

private:
    QPointer<QWidget> m_previousMain;
};

// Runs a register window: create, Prepare, LoadSettings, its SetDetails (which
// runs it), SaveSettings, destroy.
template <class Window, class... Args>
void RunViewer(TFormDetails& details, Args&&... args)
{
    Window window(std::forward<Args>(args)...);
    window.Prepare();
    window.LoadSettings();
    window.SetDetails(details);
    window.SaveSettings();
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
    // The action of btnZapis and btnDalsi; editors with a check of their own
    // (the login) override it.
    virtual void Zapis(QPushButton* originator);

private:
    bool loadCurrent();
};

// Runs an editor: create it, its SetDetails (which runs it), destroy.
template <class Editor, class... Args>
void RunEditor(TFormDetails& details, Args&&... args)
{
    Editor editor(std::forward<Args>(args)...);
    editor.SetDetails(details);
}

// The register side of the editor protocol.
//
// Add: an insert call record under the window's Parent; runs the editor again
// while it answers "saved and next", refreshing the list after each run and
// putting it on the saved record. `beforeEach` may set further parameters.
void AddRecords(TFormUni& window, TDbGridQDL* grid, const std::function<void(TFormDetails&)>& runEditor,
                const std::function<void(TFormDetails&)>& beforeEach = {});
// Edit: an edit call record for the current row; while the editor answers
// "saved and next" and the list has a next row, moves there and edits it.
// Refreshes the list at the end. Nothing happens on a closed or empty list.
void EditRecords(TFormUni& window, TDbGridQDL* grid, const std::function<void(TFormDetails&)>& runEditor,
                 const std::function<void(TFormDetails&)>& beforeEach = {});

// Makes a window show its data without letting it be changed: lookup combo
// boxes, amount, edit, date and memo controls read-only; check boxes, plain
// memos and tool buttons disabled; every push button but btnDalsi, btnZapis and
// btnNezapis disabled, and btnNezapis hidden.
void MakeReadOnly(QWidget* window);
