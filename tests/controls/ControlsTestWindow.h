#pragma once

#include "controls/QDLBtn.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

// A small active window: the controls a test adds, then a plain line edit
// ("other") to leave to and the editors' cancel button ("btnNezapis").
class ControlsTestWindow : public QWidget {
public:
    ControlsTestWindow()
    {
        setObjectName(QStringLiteral("frmTest"));
        m_layout = new QVBoxLayout(this);
    }

    template <typename T>
    T* add(const QString& name)
    {
        auto* w = new T(this);
        w->setObjectName(name);
        m_layout->addWidget(w);
        return w;
    }

    // Adds the closing widgets and shows the window active.
    void open()
    {
        other = add<QLineEdit>(QStringLiteral("other"));
        cancel = add<TQDLBtn>(QStringLiteral("btnNezapis"));
        cancel->setText(QStringLiteral("&Zrušiť"));
        cancel->setCancel(true);
        show();
        QApplication::setActiveWindow(this);
        ASSERT_TRUE(QTest::qWaitForWindowActive(this));
        focus(other);  // no data control has entered yet
    }

    // Gives the focus to a widget the way Tab or a click would.
    static void focus(QWidget* w)
    {
        w->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }

    QLineEdit* other = nullptr;
    TQDLBtn* cancel = nullptr;

private:
    QVBoxLayout* m_layout;
};
