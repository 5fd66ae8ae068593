// The behaviour every data control shares: state colours, the exit
// check that keeps the focus, the cancel button, the red of a shown message,
// CheckControls.
#include "ControlsTestWindow.h"
#include "controls/DataControl.h"
#include "controls/IBEdit.h"
#include "support/DialogTranscript.h"
#include "support/QtPrinters.h"

#include <QSignalSpy>

namespace {

QColor background(QWidget* w)
{
    return w->palette().color(QPalette::Active, QPalette::Base);
}

}  // namespace

TEST(DataControl, StateColoursFollowRequiredReadOnlyAndFocus)
{
    ControlsTestWindow win;
    auto* e = win.add<TIBEdit>("eMeno");
    win.open();
    EXPECT_EQ(background(e), DataControl::windowColour());
    e->setRequired(true);
    EXPECT_EQ(background(e), QColor(255, 255, 0));
    ControlsTestWindow::focus(e);
    EXPECT_EQ(background(e), QColor(0, 217, 255));
    e->setRequired(false);
    EXPECT_EQ(background(e), QColor(0, 255, 255));
    e->setReadOnly(true);
    EXPECT_EQ(background(e), DataControl::buttonFaceColour());
    EXPECT_TRUE(e->isReadOnly());
    EXPECT_FALSE(e->focusPolicy() & Qt::TabFocus);
    e->setReadOnly(false);
    EXPECT_TRUE(e->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(background(e), QColor(0, 255, 255));
    ControlsTestWindow::focus(win.other);
    EXPECT_EQ(background(e), DataControl::windowColour());
}

TEST(DataControl, CourierTen)
{
    TIBEdit e;
    EXPECT_EQ(e.font().pointSize(), 10);
    EXPECT_EQ(e.font().family(), QStringLiteral("Courier"));
    EXPECT_EQ(e.height(), 21);
}

TEST(DataControl, RequiredBlankIsRedWhileMessageShownAndKeepsFocus)
{
    ControlsTestWindow win;
    auto* e = win.add<TIBEdit>("eMeno");
    win.open();
    e->setRequired(true);
    QSignalSpy exits(e, &TIBEdit::OnExit);
    ControlsTestWindow::focus(e);

    QColor during, textDuring;
    DialogTranscript transcript;
    setDialogResponder([&](const DialogRequest& r) {
        during = background(e);
        textDuring = e->palette().color(QPalette::Active, QPalette::Text);
        EXPECT_TRUE(r.text.startsWith(QStringLiteral("Hlásenie #1001\r\n\r\nPovinný údaj.")));
        return msg::OK;
    });
    QTest::keyClick(e, Qt::Key_Tab);
    setDialogResponder({});
    EXPECT_EQ(during, QColor(255, 0, 0));
    EXPECT_EQ(textDuring, QColor(255, 255, 255));
    EXPECT_EQ(QApplication::focusWidget(), e);
    EXPECT_TRUE(e->stayInControl());
    EXPECT_EQ(background(e), QColor(0, 217, 255));  // focused + required again
    EXPECT_EQ(exits.count(), 0);
}

TEST(DataControl, LeavingForTheCancelButtonSkipsTheCheck)
{
    ControlsTestWindow win;
    auto* e = win.add<TIBEdit>("eMeno");
    win.open();
    e->setRequired(true);
    QSignalSpy exits(e, &TIBEdit::OnExit);
    ControlsTestWindow::focus(e);
    DialogTranscript transcript;
    ControlsTestWindow::focus(win.cancel);
    EXPECT_EQ(transcript.count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), win.cancel);
    EXPECT_EQ(exits.count(), 0);
    EXPECT_EQ(background(e), QColor(255, 255, 0));
}

TEST(DataControl, AcceptedValueFiresEnterAndExit)
{
    ControlsTestWindow win;
    auto* e = win.add<TIBEdit>("eMeno");
    win.open();
    e->setRequired(true);
    QSignalSpy enters(e, &TIBEdit::OnEnter);
    QSignalSpy exits(e, &TIBEdit::OnExit);
    ControlsTestWindow::focus(e);
    QTest::keyClicks(e, "Novak");
    DialogTranscript transcript;
    QTest::keyClick(e, Qt::Key_Return);  // Enter moves on
    EXPECT_EQ(transcript.count(), 0);
    EXPECT_EQ(QApplication::focusWidget(), win.other);
    EXPECT_EQ(enters.count(), 1);
    EXPECT_EQ(exits.count(), 1);
}

TEST(DataControl, CheckControlsWalksInCreationOrderAndStopsAtTheFirstRefusal)
{
    ControlsTestWindow win;
    auto* a = win.add<TIBEdit>("eA");
    auto* b = win.add<TIBEdit>("eB");
    auto* c = win.add<TIBEdit>("eC");
    win.open();
    b->setRequired(true);
    c->setRequired(true);
    a->setText("x");
    ControlsTestWindow::focus(win.other);
    DialogTranscript transcript;
    EXPECT_TRUE(CheckControls(&win));
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), b);
    b->setText("y");
    c->setText("z");
    transcript.clear();
    EXPECT_FALSE(CheckControls(&win));
    EXPECT_EQ(transcript.count(), 0);
}

TEST(DataControl, ReadOnlyControlsAreNotChecked)
{
    ControlsTestWindow win;
    auto* a = win.add<TIBEdit>("eA");
    win.open();
    a->setRequired(true);
    a->setReadOnly(true);
    DialogTranscript transcript;
    EXPECT_FALSE(CheckControls(&win));
}

TEST(DataControl, ShowOwnMessageByWidget)
{
    ControlsTestWindow win;
    auto* a = win.add<TIBEdit>("eA");
    win.open();
    QColor during;
    const QColor before = background(a);
    DialogTranscript transcript;
    setDialogResponder([&](const DialogRequest&) {
        during = background(a);
        return msg::OK;
    });
    showOwnMessage(a, 1036, msg::Error);
    setDialogResponder({});
    EXPECT_EQ(during, QColor(255, 0, 0));
    EXPECT_EQ(background(a), before);
}
