#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class QEvent;
class QFont;
class QFocusEvent;
class QKeyEvent;
class QObject;
class QWidget;
namespace fb {
class Error;
}

// ---------------------------------------------------------------------------
// DataControl: the behaviour every data control shares.
//
//   * state colours: required yellow, focused aqua / (0,217,255) when required,
//     read-only button face, red with white text while the control shows one
//     of its own check messages (the previous palette comes back afterwards);
//   * Required and ReadOnly changeable at any time (read-only leaves the Tab
//     order), Tag, MessagesSource, EmptyErrorText;
//   * Courier 10;
//   * the check on leaving: when the focus moves to another widget of the same
//     window, CheckValue() runs; a refused value keeps the focus in the control.
//     Moving to a TQDLBtn whose Cancel is set skips the check (and OnExit)
//     unless checksOnCancelButton() says otherwise (the time edit);
//   * CheckControls(window): the editors' check before saving.
//
// HOW A CONTROL PLUGS IN
//
//   class TMyControl : public QLineEdit, public DataControl {   // any QWidget
//       Q_OBJECT
//   public:
//       explicit TMyControl(QWidget* parent = nullptr)
//           : QLineEdit(parent), DataControl(this) {}
//       bool CheckValue() override;          // true = NOT acceptable; show the
//                                            // message with showOwnMessage()
//   signals:
//       void OnEnter();                      // the window connects to these
//       void OnExit();
//   protected:
//       void emitOnEnter() override { emit OnEnter(); }
//       void emitOnExit() override { emit OnExit(); }
//   };
//
//   * Focus in / focus out are intercepted by an event filter that DataControl
//     installs on the widget passed to its constructor (and on `focusSource`
//     when given, e.g. an inner editor that takes the focus itself). The
//     control does not need to override focusInEvent/focusOutEvent; if it does,
//     it must call the base class as usual. The filter runs BEFORE the
//     widget's own focus handlers.
//   * Keys are the control's business: call moveToNextControl() for Enter.
//   * Optional virtual hooks (all have defaults): applyReadOnly() to make the
//     inner editor read-only / hide buttons; entered() after the focus colour
//     is set (select text, show the typing form); leaving() before the check;
//     idleColour() for the not-focused colour (the amount edit's MoneyColor);
//     applyColours() to paint on other palette roles or inner widgets;
//     takesPartInCheckControls(); checksOnCancelButton();
//     exitCheckApplies() (e.g. false while read-only).
//   * A Qt base that has its own setReadOnly (QLineEdit, QPlainTextEdit)
//     makes the call ambiguous: add
//         void setReadOnly(bool r) { DataControl::setReadOnly(r); }
//     to the control and call the base's one (QLineEdit::setReadOnly) in
//     applyReadOnly().
//   * After changing anything that affects the colour call updateColours().
//   * Messages: showOwnMessage(n, type) shows ErrMessage(n, type) while the
//     control is red/white; showOwnText(text, ...) does the same for a literal
//     text. The free function showOwnMessage(widget, n, type) does it for any
//     widget that is a DataControl (or just shows the message otherwise).
//
// The combo box developer uses exactly this: TIBComboBox : QComboBox,
// DataControl. For an editable QComboBox the combo itself holds the focus
// (the line edit's focus proxy is the combo), so no focusSource is needed.
// ---------------------------------------------------------------------------

class DataControlFilter;

class DataControl {
public:
    // `self` is the control widget itself (its objectName is the component
    // name). `focusSource` is an extra widget whose focus events count as the
    // control's own (nullptr: only `self`).
    explicit DataControl(QWidget* self, QWidget* focusSource = nullptr);
    virtual ~DataControl();
    DataControl(const DataControl&) = delete;
    DataControl& operator=(const DataControl&) = delete;

    QWidget* controlWidget() const { return m_self; }

    // ---- shared properties -------------------------------------------------
    bool Required() const { return m_required; }
    void setRequired(bool required);
    bool ReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);
    QVariant Tag() const { return m_tag; }
    void setTag(const QVariant& tag) { m_tag = tag; }
    QString MessagesSource() const { return m_messagesSource; }
    void setMessagesSource(const QString& source) { m_messagesSource = source; }
    int EmptyErrorText() const { return m_emptyErrorText; }
    void setEmptyErrorText(int n) { m_emptyErrorText = n; }

    // ---- the check ----------------------------------------------------------
    // The control's own test of its value. True = NOT acceptable (its message
    // has been shown). It must not move the focus; the caller does.
    virtual bool CheckValue() = 0;

    // The exit check as CheckControls (and a focus-out) runs it: CheckValue()
    // when exitCheckApplies(); on refusal the focus colour is set, the
    // stay-in-control flag is set and the focus is put back on the control.
    // True = refused.
    bool runExitCheck();

    // Set when the last exit check refused the value; cleared on every entry.
    bool stayInControl() const { return m_stayInControl; }

    // True while the control has entered (focus in) and not yet left.
    bool isEntered() const { return m_entered; }

    // ---- messages while red/white ------------------------------------------
    int showOwnMessage(int n, int type);
    int showOwnText(const QString& text, int type);   // standard dialog, OK
    int showOwnPlainText(const QString& text);        // plain message box
    bool isShowingOwnMessage() const { return m_showingMessage; }
    // Runs `show` (any dialog) while the control is red with white text; the
    // previous palette comes back afterwards, also when `show` throws.
    int whileRed(const std::function<int()>& show);

    // ---- colours -------------------------------------------------------------
    // The colour for the present state (read-only, focused, required, ...),
    // before the red of a shown message.
    QColor stateColour() const;
    void updateColours();

    // Moves the focus to the next control of the window in Tab order (Enter).
    void moveToNextControl();

    // The DataControl of a widget, or nullptr.
    static DataControl* of(QWidget* widget);

    // Colour constants of the state table.
    static QColor requiredColour() { return QColor(255, 255, 0); }
    static QColor focusedRequiredColour() { return QColor(0, 217, 255); }
    static QColor focusedColour() { return QColor(0, 255, 255); }
    static QColor errorColour() { return QColor(255, 0, 0); }
    static QColor errorTextColour() { return QColor(255, 255, 255); }
    static QColor windowColour();      // editable, optional (the palette's Base)
    static QColor buttonFaceColour();  // read-only (the palette's Button)

protected:
    virtual void emitOnEnter() = 0;
    virtual void emitOnExit() = 0;

    virtual bool takesPartInCheckControls() const { return true; }
    virtual bool checksOnCancelButton() const { return false; }
    // The check runs only for editable controls by default.
    virtual bool exitCheckApplies() const { return !m_readOnly; }
    virtual void applyReadOnly(bool readOnly);   // default: nothing more
    virtual void entered() {}
    virtual void leaving() {}
    virtual void exitAccepted() {}
    // Colour when not focused and editable: yellow when required, else window.
    virtual QColor idleColour() const;
    // Paints background/text; default sets Base, Window, Text, WindowText and
    // the widget's own background/foreground roles (and autoFillBackground
    // for widgets that are not text editors).
    virtual void applyColours(const QColor& background, const QColor& text);
    // The message when an accepted control cannot take back the focus of a
    // window left without a focused control.
    virtual QString cannotFocusText() const;
    // Whether the focus colour is used at all (TIBCheckBox: always aqua).
    virtual bool hasFocusColour() const { return !m_readOnly; }

    // Focus handling, called by the filter; controls rarely need them.
    // handleFocusOut returns true when the value was refused and the focus
    // taken back: the filter then swallows the focus-out, so the widget's own
    // focusOutEvent (which would clear a selection) does not run.
    virtual void handleFocusIn(QFocusEvent* event);
    virtual bool handleFocusOut(QFocusEvent* event);

    // The widget that receives the focus now (inside a focus-out: the new one).
    static QWidget* newFocusWidget();
    // True when `widget` is a TQDLBtn with Cancel set.
    static bool isCancelButton(QWidget* widget);

    bool m_exitHandled = false;  // e.g. Enter already ran the exit processing

private:
    friend class DataControlFilter;
    friend bool CheckControls(QWidget* window);

    QWidget* m_self;
    QPointer<DataControlFilter> m_filter;
    quint64 m_order;
    bool m_required = false;
    bool m_readOnly = false;
    bool m_readOnlyApplied = false;
    Qt::FocusPolicy m_focusPolicy = Qt::StrongFocus;
    bool m_entered = false;
    bool m_stayInControl = false;
    bool m_showingMessage = false;
    bool m_inCheck = false;
    QVariant m_tag = 0;
    QString m_messagesSource = QStringLiteral("Messages");
    int m_emptyErrorText = 1001;
};

// The editors' check before saving: over the window's data controls in
// creation order, each one that takes part (date, combo, amount, TIBEdit) and
// can take the focus runs its exit check; the first refusal ends the walk
// with true (its message has been shown and the focus put on it).
bool CheckControls(QWidget* window);

// The start of every data control's key handling: the window's OnKeyDown
// handler sees the key first (the event arrives ignored; a handler that
// accepts it stops the control's own handling). True when the window took the
// key; otherwise the event is accepted for the control.
bool windowTookKey(QKeyEvent* event, const std::function<void(QKeyEvent*)>& onKeyDown);

// ErrMessage(n, type) while `widget` (a data control) is red with white text.
int showOwnMessage(QWidget* widget, int n, int type);

// A database error met by a data control's own lookup. A refusal of the
// client layer itself (a letter WIN1250 lacks, a value that does not fit)
// already says in Slovak what is wrong: it is shown once, as it stands, and
// true is returned. Any other error shows `messages` (the control's name and
// its statement, as plain message boxes) and gives false: the caller raises
// it again or not, as its operation does.
bool ReportLookupError(const fb::Error& error, const QStringList& messages);

// The Courier 10 font of the text controls.
QFont dataControlFont();
