#pragma once

#include "forms/FormDetails.h"
#include "framework/UiHelpers.h"

#include <QDialog>
#include <QRect>
#include <QStringList>

#include <initializer_list>
#include <optional>

class QKeyEvent;
namespace fb {
class Transaction;
}

// ---------------------------------------------------------------------------
// The window base classes (TFormUni here, TFormViewer, TFormEditor and
// TFormRegister in their own files). Every code-list window, editor, the login
// dialog and the main window derive from one of them and share one calling
// convention: the caller fills a TFormDetails, the window copies what it
// needs, runs modally and writes its result back into the same record.
//
// Placement and window settings live in the per-user store, in a section named
// after the window's class ("Software\<program>\TfrmLogin"). The class name
// comes from the meta-object, so every derived window needs Q_OBJECT.
// ---------------------------------------------------------------------------

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
    std::optional<FocusReturn> m_focusReturn;  // while shown
};
