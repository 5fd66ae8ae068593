// The real dialogs, driven on the offscreen platform.
#include "framework/Messages.h"
#include "framework/UserSettings.h"
#include "support/QtPrinters.h"
#include "support/Modal.h"
#include "support/TempSettings.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QPushButton* button(QWidget* dialog, const char* name)
{
    return dialog->findChild<QPushButton*>(name);
}

}  // namespace

TEST(MessageDialogs, DefaultResultPicksTheFocusedDefaultButton)
{
    struct Case {
        QList<int> buttons;
        int defaultResult;
        const char* focused;
        const char* press;
        int result;
    };
    const Case cases[] = {
        {{msg::Yes, msg::No}, msg::No, "No", "No", msg::No},
        {{msg::Yes, msg::No}, msg::Yes, "Yes", "No", msg::No},
        {{msg::OK}, msg::OK, "OK", "OK", msg::OK},
    };
    TempSettings settings;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focused);
        QString focused, other;
        QString caption;
        onNextModal([&](QWidget* dialog) {
            caption = dialog->windowTitle();
            focused = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
            for (QPushButton* b : dialog->findChildren<QPushButton*>())
                if (b->isDefault())
                    other += b->objectName();
            button(dialog, c.press)->click();
        });
        EXPECT_EQ(RedMessageDlg("Naozaj?", msg::Confirmation, c.buttons, 0, c.defaultResult), c.result);
        EXPECT_EQ(focused, c.focused);
        EXPECT_EQ(other, c.focused);  // the only default button
        EXPECT_EQ(caption, "Potvrdenie...");
    }
}

TEST(MessageDialogs, ButtonsTextAndColours)
{
    TempSettings settings;
    QStringList captions;
    QString text;
    QColor background, foreground;
    onNextModal([&](QWidget* dialog) {
        for (const char* name : {"Yes", "No"})
            captions << button(dialog, name)->text();
        text = dialog->findChild<QLabel*>("Message")->text();
        background = dialog->palette().color(QPalette::Window);
        foreground = dialog->palette().color(QPalette::WindowText);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    // Escape answers No when there is no Cancel button.
    EXPECT_EQ(RedMessageDlg("Prvý\r\nDruhý", msg::Warning, {msg::Yes, msg::No}, 0, msg::Yes), msg::No);
    EXPECT_EQ(captions, (QStringList{"&Ano", "&Nie"}));
    EXPECT_EQ(text, "Prvý\nDruhý");
    EXPECT_EQ(background, QColor(Qt::red));
    EXPECT_EQ(foreground, QColor(Qt::black));

    onNextModal([&](QWidget* dialog) {
        background = dialog->palette().color(QPalette::Window);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(GrayMessageDlg("Oznam", msg::Information, {msg::OK}, 0, msg::OK), msg::OK);
    EXPECT_NE(background, QColor(Qt::red));
}

TEST(MessageDialogs, EachKindReopensWhereTheUserLeftIt)
{
    TempSettings settings;
    const QPoint moved(137, 91);
    onNextModal([&](QWidget* dialog) {
        dialog->move(moved);
        button(dialog, "OK")->click();
    });
    ErrorBox("Chyba");

    // A new settings object reads the file again, as after a restart.
    {
        auto store = userSettings();
        store->beginGroup("Software/Kovra/TRedMessageDlg");
        EXPECT_EQ(store->value("Left").toInt(), moved.x());
        EXPECT_EQ(store->value("Top").toInt(), moved.y());
        EXPECT_FALSE(userSettings()->childGroups().isEmpty());
        EXPECT_FALSE(userSettings()->contains("Software/Kovra/TGrayMessageDlg/Left"));
    }

    QPoint redAgain, gray;
    onNextModal([&](QWidget* dialog) {
        redAgain = dialog->pos();
        button(dialog, "OK")->click();
    });
    ErrorBox("Chyba znova");
    EXPECT_EQ(redAgain, moved);

    onNextModal([&](QWidget* dialog) {
        gray = dialog->pos();
        button(dialog, "OK")->click();
    });
    NoPrintData();
    EXPECT_NE(gray, moved);  // the grey kind keeps its own place
    EXPECT_TRUE(userSettings()->contains("Software/Kovra/TGrayMessageDlg/Left"));
}

TEST(MessageDialogs, QuestionAskedFromAnOpenDialog)
{
    TempSettings settings;
    QString innerCaption;
    int innerResult = 0;
    onNextModal([&](QWidget* outer) {
        onNextModal([&](QWidget* inner) {
            innerCaption = inner->windowTitle();
            button(inner, "OK")->click();
        });
        innerResult = ErrorBox("Vnútri");
        button(outer, "Yes")->click();
    });
    EXPECT_EQ(GrayMessageDlg("Vonku", msg::Confirmation, {msg::Yes, msg::No}, 0, msg::No), msg::Yes);
    EXPECT_EQ(innerCaption, "C H Y B A ...");
    EXPECT_EQ(innerResult, msg::OK);
}
