#pragma once

#include "controls/DataControl.h"

#include <QCheckBox>

// TIBCheckBox: a check box with its caption on the left, aqua
// while focused. CheckedValue is 1 when ticked, 0 when not; setting 1 ticks
// it, any other value clears it. A numeric-keypad digit toggles it; Enter
// fires OnExit at once and moves to the next control. No exit check.
class TIBCheckBox : public QCheckBox, public DataControl {
    Q_OBJECT
    Q_PROPERTY(int CheckedValue READ CheckedValue WRITE setCheckedValue)
public:
    explicit TIBCheckBox(QWidget* parent = nullptr);
    TIBCheckBox(const QString& caption, QWidget* parent = nullptr);

    quint8 CheckedValue() const { return isChecked() ? 1 : 0; }
    void setCheckedValue(int value) { setChecked(value == 1); }

    bool CheckValue() override { return false; }

signals:
    void OnEnter();
    void OnExit();
    void OnKeyDown(QKeyEvent* event);

protected:
    void emitOnEnter() override { emit OnEnter(); }
    void emitOnExit() override;
    bool takesPartInCheckControls() const override { return false; }
    bool exitCheckApplies() const override { return false; }
    bool hasFocusColour() const override { return true; }
    QColor idleColour() const override;
    void applyReadOnly(bool readOnly) override;
    void entered() override { m_exitFired = false; }
    void keyPressEvent(QKeyEvent* event) override;
    void nextCheckState() override;

private:
    void init();
    bool m_exitFired = false;
};
