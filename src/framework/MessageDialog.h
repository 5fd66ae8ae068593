#pragma once

#include "framework/Dialogs.h"

#include <QDialog>

class QPushButton;

// The real window behind showDialog(): icon, text and a row of buttons. Buttons
// are named after their meaning ("OK", "Yes", "No", "Cancel") so callers and
// tests can find them; exec() returns the result of the button pressed.
class MessageDialog : public QDialog {
    Q_OBJECT
public:
    explicit MessageDialog(const DialogRequest& request, QWidget* parent = nullptr);

    QPushButton* button(int result) const;
    int helpContext() const { return m_helpContext; }

    static QString buttonCaption(int result);
    static QString buttonName(int result);

public slots:
    void reject() override;

private:
    QList<QPair<int, QPushButton*>> m_buttons;
    int m_escapeResult = msg::OK;
    int m_helpContext = 0;
};
