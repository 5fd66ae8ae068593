#pragma once

#include <QPushButton>

// TQDLBtn: a push button with an image and a bold caption, 97 pixels
// wide at construction, aqua while focused. `Cancel` marks an editor's cancel
// button (btnNezapis): leaving a data control for it skips the control's exit
// check (the time edit excepted).
class TQDLBtn : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(bool Cancel READ Cancel WRITE setCancel)
public:
    explicit TQDLBtn(QWidget* parent = nullptr);
    TQDLBtn(const QString& caption, QWidget* parent = nullptr);

    bool Cancel() const { return m_cancel; }
    void setCancel(bool cancel) { m_cancel = cancel; }

    QVariant Tag() const { return m_tag; }
    void setTag(const QVariant& tag) { m_tag = tag; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void init();
    bool m_cancel = false;
    QVariant m_tag = 0;
    QPalette m_before;
    bool m_focusColoured = false;
};
