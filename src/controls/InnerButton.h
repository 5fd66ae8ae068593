#pragma once

#include <QToolButton>

class QLineEdit;

// The small button at the right edge inside an edit (TIBEdit's "...", the date
// and time edits' buttons): 16 pixels wide, never takes the focus, follows the
// edit's size. The edit's text keeps clear of it.
class InnerButton : public QToolButton {
    Q_OBJECT
public:
    InnerButton(QLineEdit* edit, const QString& text);
    void setShown(bool shown);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
    QLineEdit* m_edit;
};
