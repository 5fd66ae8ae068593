#pragma once

#include "controls/DataControl.h"

#include <QDateTime>
#include <QLineEdit>

class InnerButton;

// TIBDate: the date edit. Width 105, height 21, Courier 10, a
// 16-pixel button inside at the right edge (the calendar, or OnButtonClick
// when connected). Shows "dd.mm.yyyy" without the focus and "ddmmyyyy" with
// it; typed digits, "+N" / "-N" days, F5 today, double-click today, Ctrl+Enter
// the calendar. The typing rules live in DateInput.h.
class TIBDate : public QLineEdit, public DataControl {
    Q_OBJECT
public:
    explicit TIBDate(QWidget* parent = nullptr);

    void setReadOnly(bool readOnly) { DataControl::setReadOnly(readOnly); }

    // The value: a QDateTime, or a null QVariant. A null or zero date counts as empty.
    QVariant Date() const;
    void setDate(const QVariant& value);   // QDate, QDateTime or null
    QDate date() const { return m_value.date(); }
    QVariant MinDate() const { return m_minDate; }
    void setMinDate(const QVariant& d) { m_minDate = d; }
    QVariant MaxDate() const { return m_maxDate; }
    void setMaxDate(const QVariant& d) { m_maxDate = d; }

    bool IsEmpty() const;
    void Clear();
    // Interprets the typed text by the typing rules of DateInput.h; true when
    // a date resulted. An empty text empties the date.
    bool ApplyText(bool silent);
    bool CheckValue() override;
    // Opens the calendar on the date shown, or on today when the text gives
    // none; true when a date was picked.
    bool OpenCalendar();

    InnerButton* button() const { return m_button; }

signals:
    void OnEnter();
    void OnExit();
    void OnChange();
    void OnButtonClick();  // connected: replaces the calendar
    void OnDblClick();     // connected: replaces "today" on double-click
    void OnKeyDown(QKeyEvent* event);

protected:
    void emitOnEnter() override { emit OnEnter(); }
    void emitOnExit() override { emit OnExit(); }
    void applyReadOnly(bool readOnly) override;
    void entered() override;
    QColor idleColour() const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void setValue(const QDateTime& value);
    void showValue();
    void setToday();
    bool refuse(const QString& text);

    QDateTime m_value;  // invalid = empty
    QDateTime m_atEntry;
    QVariant m_minDate, m_maxDate;
    InnerButton* m_button;
};
