#pragma once

#include "controls/DataControl.h"

#include <QLineEdit>
#include <QTime>

class InnerButton;

// TIBTime: the time edit. Width 65, height 21, Courier 10, a
// 16-pixel button. "hh:nn" without the focus, "hhnn" with it; digits only;
// F5 the current time. Unlike the other controls it checks its value also
// when the focus goes to a cancel button, and takes no part in CheckControls.
class TIBTime : public QLineEdit, public DataControl {
    Q_OBJECT
public:
    explicit TIBTime(QWidget* parent = nullptr);

    void setReadOnly(bool readOnly) { DataControl::setReadOnly(readOnly); }

    // The time of day, or a null QVariant (the date part of a QDateTime is dropped).
    QVariant Time() const;
    void setTime(const QVariant& value);
    QTime time() const { return m_value; }
    QVariant MinTime() const { return m_minTime; }
    void setMinTime(const QVariant& t) { m_minTime = t; }
    QVariant MaxTime() const { return m_maxTime; }
    void setMaxTime(const QVariant& t) { m_maxTime = t; }

    bool IsEmpty() const { return !m_value.isValid(); }
    void Clear();
    bool CheckValue() override;

    InnerButton* button() const { return m_button; }

signals:
    void OnEnter();
    void OnExit();
    void OnButtonClick();
    void OnKeyDown(QKeyEvent* event);

protected:
    void emitOnEnter() override { emit OnEnter(); }
    void emitOnExit() override { emit OnExit(); }
    bool takesPartInCheckControls() const override { return false; }
    bool checksOnCancelButton() const override { return true; }
    void applyReadOnly(bool readOnly) override;
    void entered() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool refuse(const QString& text);
    QTime m_value;  // invalid = empty (hour 24, minute 61 in the original)
    QVariant m_minTime, m_maxTime;
    InnerButton* m_button;
};
