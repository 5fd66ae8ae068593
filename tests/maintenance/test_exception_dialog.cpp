// The exception dialog: the stack of the throw, the log entry, the details
// button, the second-error guard, sending, Ctrl+C and errors of other threads.
#include "controls/QDLBtn.h"
#include "framework/Clock.h"
#include "framework/SlotGuard.h"
#include "maintenance/fExceptionDialog.h"
#include "platform/Mail.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <thread>

namespace {

[[gnu::noinline]] void ThrowFromDeepInside(const char* text)
{
    throw std::runtime_error(text);
}

[[gnu::noinline]] void ThrowInWorkerThread()
{
    throw std::out_of_range("Index mimo rozsah");
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class ExceptionDialogTest : public ::testing::Test {
protected:
    ExceptionDialogTest()
    {
        Clock::pinClock(QDateTime(QDate(2026, 3, 9), QTime(14, 5, 7)));
        settings.logFile = logFile();
        settings.fallbackLogFile = dir.filePath(QStringLiteral("appdata/") + base() + QStringLiteral("_Err.log"));
        settings.supportAddress = QStringLiteral("chyby@example.sk");
        settings.attachmentFolder = dir.filePath(QStringLiteral("prilohy"));
        TExceptionDialog::Install(settings);
        setMailSender([this](const MailMessage& m) {
            mails.push_back(m);
            return mailAccepted;
        });
    }
    ~ExceptionDialogTest() override
    {
        setMailSender({});
        TExceptionDialog::Remove();
        Clock::unpinClock();
    }

    static QString base() { return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(); }
    QString logFile() const { return dir.filePath(base() + QStringLiteral("_Err.log")); }

    // Reports `error` as an unexpected error and runs `body` on the dialog once
    // its details are built; the dialog is closed afterwards when still open.
    bool report(std::exception_ptr error, const std::function<void(TExceptionDialog*)>& body)
    {
        bool seen = false;
        onNextModal([&](QWidget* w) {
            auto* dlg = qobject_cast<TExceptionDialog*>(w);
            ASSERT_NE(dlg, nullptr);
            seen = true;
            EXPECT_TRUE(QTest::qWaitFor([dlg] { return dlg->DetailsBuilt(); }, 10000));
            body(dlg);
            if (dlg->isVisible())
                dlg->OkBtn->click();
        });
        reportUnexpectedError(error);
        return seen;
    }

    static std::exception_ptr thrown(const char* text)
    {
        try {
            ThrowFromDeepInside(text);
        } catch (...) {
            return std::current_exception();
        }
        return {};
    }

    QTemporaryDir dir;
    ExceptionDialogSettings settings;
    DialogTranscript transcript;
    std::vector<MailMessage> mails;
    bool mailAccepted = true;
};

TEST_F(ExceptionDialogTest, TheStackIsTheThrowersAndTheLogHoldsTheReport)
{
    std::exception_ptr error = thrown("Disk je plný");
    // Later throws, caught on the way, do not take the stack's place.
    for (int i = 0; i < 3; ++i)
        EXPECT_THROW(throw std::logic_error("iná"), std::logic_error);
    QString details, reportText;
    ASSERT_TRUE(report(error, [&](TExceptionDialog* dlg) {
        EXPECT_EQ(dlg->windowTitle(), applicationTitle() + QStringLiteral(" - chyba systému"));
        EXPECT_EQ(dlg->TextLabel->toPlainText(), QStringLiteral("Disk je plný."));
        details = dlg->DetailsMemo->toPlainText();
        reportText = dlg->ReportText();
        EXPECT_EQ(dlg->LogFileName(), logFile());
        EXPECT_TRUE(dlg->OkBtn->hasFocus());
    }));
    const QStringList lines = details.split(QLatin1Char('\n'));
    ASSERT_GT(lines.size(), 8);
    EXPECT_EQ(lines[0], QStringLiteral("Exception class: std::runtime_error"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Exception address: "))) << lines[1].toStdString();
    EXPECT_NE(lines[1], QStringLiteral("Exception address: 0000000000000000"));
    EXPECT_EQ(lines[2], QString(100, QLatin1Char('-')));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("Stack list, generated "))) << lines[3].toStdString();
    // The first frame is the throwing function, with its file and line.
    EXPECT_TRUE(lines[4].contains(QStringLiteral("ThrowFromDeepInside"))) << details.toStdString();
    EXPECT_TRUE(lines[4].contains(QStringLiteral("test_exception_dialog.cpp:"))) << lines[4].toStdString();
    EXPECT_FALSE(details.contains(QStringLiteral("TExceptionDialog::HandleException"))) << "the handler's stack was shown";
    for (const char* block : {"System   : ", "Processor: ", "PC name  : ", "Display  : ", "List of loaded modules:"})
        EXPECT_TRUE(details.contains(QString::fromLatin1(block))) << block;
    EXPECT_TRUE(details.endsWith(QString(100, QLatin1Char('-'))));

    EXPECT_EQ(reportText, QStringLiteral("Disk je plný.\r\n\r\n") + QString(details).replace("\n", "\r\n"));
    const QString log = readText(logFile());
    const QString bar(100, QLatin1Char('='));
    EXPECT_TRUE(log.startsWith(bar + QStringLiteral("\r\n= ") + StampText(Clock::now())));
    EXPECT_TRUE(log.contains(QStringLiteral("\r\nDisk je plný.\r\n\r\nException class: std::runtime_error\r\n")));
    EXPECT_TRUE(log.contains(QStringLiteral("ThrowFromDeepInside")));
    EXPECT_FALSE(log.contains(QStringLiteral(" \r\n"))) << "trailing blanks";
}

TEST_F(ExceptionDialogTest, TheFocusedControlsAreListedUpToTheirWindow)
{
    QWidget window;
    window.setObjectName(QStringLiteral("frmOkno"));
    auto* panel = new QWidget(&window);
    panel->setObjectName(QStringLiteral("pnlHore"));
    auto* edit = new QLineEdit(panel);
    edit->setObjectName(QStringLiteral("eMeno"));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([edit] { return edit->hasFocus(); }));
    QString details;
    ASSERT_TRUE(report(thrown("chyba"), [&](TExceptionDialog* dlg) { details = dlg->DetailsMemo->toPlainText(); }));
    EXPECT_TRUE(details.endsWith(QStringLiteral("Active Controls hiearchy:\n"
                                                "QLineEdit \"eMeno\"\n"
                                                "QWidget \"pnlHore\"\n"
                                                "QWidget \"frmOkno\"\n") +
                                 QString(100, QLatin1Char('-'))))
        << details.right(300).toStdString();
}

TEST_F(ExceptionDialogTest, TheDetailsButtonCollapsesAndExpandsToTheKnownHeights)
{
    ASSERT_TRUE(report(thrown("chyba"), [&](TExceptionDialog* dlg) {
        const int collapsed = dlg->Bevel1->y();
        EXPECT_EQ(dlg->CollapsedHeight(), collapsed);
        EXPECT_FALSE(dlg->DetailsShown());
        EXPECT_EQ(dlg->height(), collapsed);
        EXPECT_EQ(dlg->minimumHeight(), collapsed);
        EXPECT_EQ(dlg->maximumHeight(), collapsed);
        EXPECT_EQ(dlg->DetailsBtn->text(), QStringLiteral("&Detaily >>"));
        EXPECT_FALSE(dlg->DetailsMemo->isEnabled());
        EXPECT_GE(dlg->minimumWidth(), 200);

        dlg->DetailsBtn->click();
        EXPECT_TRUE(dlg->DetailsShown());
        EXPECT_EQ(dlg->DetailsBtn->text(), QStringLiteral("<< &Detaily"));
        EXPECT_EQ(dlg->height(), 449);
        EXPECT_EQ(dlg->minimumHeight(), collapsed + 100);
        EXPECT_EQ(dlg->DetailsMemo->geometry().bottom() + 1, 449 - 3);
        EXPECT_TRUE(dlg->DetailsMemo->isEnabled());
        EXPECT_EQ(dlg->OkBtn->size(), QSize(75, 25));
        EXPECT_EQ(dlg->OkBtn->geometry().right() + 1, dlg->width() - 8);

        // The expanded height the user chose comes back after collapsing.
        dlg->resize(dlg->width() + 40, 500);
        EXPECT_EQ(dlg->DetailsMemo->geometry().bottom() + 1, 500 - 3);
        EXPECT_EQ(dlg->OkBtn->geometry().right() + 1, dlg->width() - 8);
        dlg->DetailsBtn->click();
        EXPECT_EQ(dlg->height(), collapsed);
        EXPECT_EQ(dlg->DetailsBtn->text(), QStringLiteral("&Detaily >>"));
        dlg->DetailsBtn->click();
        EXPECT_EQ(dlg->height(), 500);
    }));
}

TEST_F(ExceptionDialogTest, ASecondErrorWhileTheDialogIsOpenGoesToThePlainBox)
{
    ASSERT_TRUE(report(thrown("prvá"), [&](TExceptionDialog*) {
        EXPECT_TRUE(TExceptionDialog::Showing());
        reportUnexpectedError(thrown("druhá chyba"));
        const QWidgetList windows = QApplication::topLevelWidgets();
        EXPECT_EQ(std::count_if(windows.begin(), windows.end(),
                                [](QWidget* w) { return qobject_cast<TExceptionDialog*>(w) != nullptr; }),
                  1);
    }));
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().kind, DialogKind::Plain);
    EXPECT_EQ(transcript.last().text, QStringLiteral("druhá chyba."));
    // The guard is cleared: the next error has its dialog again.
    EXPECT_FALSE(TExceptionDialog::Showing());
    EXPECT_TRUE(report(thrown("tretia"), [](TExceptionDialog*) {}));
    EXPECT_EQ(transcript.count(), 1);
}

TEST_F(ExceptionDialogTest, SendingRenamesTheLogWhenTheMailClientTakesIt)
{
    const QString dated = dir.filePath(base() + QStringLiteral("_Err_20260309.log"));
    const struct {
        bool accepted;
        bool datedBefore;  // a report was sent earlier the same day
        QString message;
    } cases[] = {
        {true, false, "Správa bola uložená do e-mailového klienta a je pripravená na odoslanie."},
        {true, true, "Správa bola uložená do e-mailového klienta a je pripravená na odoslanie."},
        {false, false, "Chyba pri odoslaní správy do e-mailového klienta. Kontaktujte administratora systému."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString() + (c.datedBefore ? " (dated before)" : ""));
        QFile::remove(logFile());
        QFile::remove(dated);
        if (c.datedBefore) {
            QFile earlier(dated);
            ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write("ranajsia\r\n");
        }
        mails.clear();
        transcript.clear();
        mailAccepted = c.accepted;
        QString logBefore, body;
        ASSERT_TRUE(report(thrown("Odoslať ma"), [&](TExceptionDialog* dlg) {
            logBefore = readText(logFile());
            body = QStringLiteral("Odoslať ma.\r\n\r\n") + dlg->DetailsMemo->toPlainText().replace("\n", "\r\n");
            dlg->btnSend->click();
            EXPECT_TRUE(dlg->OkBtn->hasFocus());
        }));
        ASSERT_EQ(mails.size(), 1u);
        EXPECT_EQ(mails[0].toAddress, QStringLiteral("chyby@example.sk"));
        EXPECT_EQ(mails[0].subject, QStringLiteral("Lindavo - Chybové hlásenie"));
        // a copy, which the rename of the log cannot take from the mail client
        EXPECT_TRUE(mails[0].attachment.startsWith(settings.attachmentFolder + "/")) << mails[0].attachment.toStdString();
        EXPECT_EQ(readText(mails[0].attachment), logBefore);
        EXPECT_EQ(mails[0].body, body);
        ASSERT_EQ(transcript.count(), 1);
        EXPECT_EQ(transcript.last().text, c.message);
        ASSERT_FALSE(logBefore.isEmpty());
        if (c.accepted) {
            EXPECT_FALSE(QFile::exists(logFile()));
            const QString expected = c.datedBefore ? QStringLiteral("ranajsia\r\n\r\n") + logBefore : logBefore;
            EXPECT_EQ(readText(dated), expected);
        } else {
            EXPECT_EQ(readText(logFile()), logBefore);
            EXPECT_FALSE(QFile::exists(dated));
        }
    }
}

// Send without a log file (removed meanwhile) says so instead of nothing.
TEST_F(ExceptionDialogTest, SendingWithoutALogFileSaysSo)
{
    ASSERT_TRUE(report(thrown("Bez protokolu"), [&](TExceptionDialog* dlg) {
        ASSERT_TRUE(QFile::remove(logFile()));
        dlg->btnSend->click();
    }));
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_TRUE(mails[0].attachment.isEmpty());
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, "Správa bola uložená do e-mailového klienta a je pripravená na odoslanie, ale bez "
                                      "súboru s chybami: súbor " + QDir::toNativeSeparators(logFile()) + " neexistuje.");
}

// The desktop's mail hand-over may stay until its compose window closes: the
// program does not wait for it.
TEST(MailHandOver, TheMailProgramIsNotWaitedFor)
{
    QTemporaryDir bin;
    const QString marker = bin.filePath("called");
    {
        QFile script(bin.filePath("xdg-email"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QString("#!/bin/sh\necho \"$@\" > '%1'\nsleep 5\n").arg(marker).toUtf8());
    }
    QFile::setPermissions(bin.filePath("xdg-email"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ":" + path);
    QElapsedTimer clock;
    clock.start();
    const bool started = SendMail({"chyby@example.sk", "Podpora", "Predmet", "Telo", ""});
    const qint64 elapsed = clock.elapsed();
    qputenv("PATH", path);
    EXPECT_TRUE(started);
    EXPECT_LT(elapsed, 2000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker); }, 5000));
}

TEST_F(ExceptionDialogTest, CtrlCCopiesTheWholeReport)
{
    QApplication::clipboard()->clear();
    ASSERT_TRUE(report(thrown("Kopíruj"), [&](TExceptionDialog* dlg) {
        dlg->DetailsBtn->click();
        for (QWidget* target : {static_cast<QWidget*>(dlg->DetailsMemo), static_cast<QWidget*>(dlg->OkBtn)}) {
            QApplication::clipboard()->clear();
            target->setFocus();
            QTest::keyClick(target, Qt::Key_C, Qt::ControlModifier);
            EXPECT_EQ(QApplication::clipboard()->text(), dlg->ReportText()) << target->objectName().toStdString();
        }
    }));
}

TEST_F(ExceptionDialogTest, AProgramFolderThatCannotTakeTheLogSendsItToTheUsersFolderAndSaysSo)
{
    // A folder in the log file's place: the file cannot be opened there.
    ASSERT_TRUE(QDir(dir.path()).mkpath(base() + QStringLiteral("_Err.log")));
    ASSERT_TRUE(report(thrown("Kam s tým"), [&](TExceptionDialog* dlg) {
        EXPECT_EQ(dlg->LogFileName(), settings.fallbackLogFile);
        EXPECT_TRUE(dlg->TextLabel->toPlainText().startsWith(QStringLiteral("Kam s tým.")));
        EXPECT_TRUE(dlg->TextLabel->toPlainText().contains(QDir::toNativeSeparators(settings.fallbackLogFile)));
    }));
    EXPECT_TRUE(readText(settings.fallbackLogFile).contains(QStringLiteral("Kam s tým.")));
}

TEST_F(ExceptionDialogTest, AnErrorOfAnotherThreadIsShownByTheMainThreadWithItsOwnStack)
{
    std::thread worker([] {
        try {
            ThrowInWorkerThread();
        } catch (...) {
            TExceptionDialog::HandleThreadException(std::current_exception(), QStringLiteral("výpočet"));
        }
    });
    worker.join();
    QString details;
    bool seen = false;
    onNextModal([&](QWidget* w) {
        auto* dlg = qobject_cast<TExceptionDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        seen = true;
        EXPECT_TRUE(QTest::qWaitFor([dlg] { return dlg->DetailsBuilt(); }, 10000));
        details = dlg->DetailsMemo->toPlainText();
        dlg->OkBtn->click();
    });
    // The dialog comes through the main thread's event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen && !TExceptionDialog::Showing(); }, 10000));
    const QStringList lines = details.split(QLatin1Char('\n'));
    ASSERT_GT(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("Exception class: std::out_of_range"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Thread: ID "))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(", \"výpočet\""))) << lines[1].toStdString();
    EXPECT_TRUE(lines[4].contains(QStringLiteral("ThrowInWorkerThread"))) << details.left(600).toStdString();
    EXPECT_TRUE(readText(logFile()).contains(QStringLiteral("Index mimo rozsah.")));
}

TEST_F(ExceptionDialogTest, TheDialogReturnsToWhereItWasLeft)
{
    QPoint left;
    ASSERT_TRUE(report(thrown("prvá"), [&](TExceptionDialog* dlg) {
        dlg->move(dlg->pos() + QPoint(37, 23));
        left = dlg->pos();
    }));
    ASSERT_TRUE(report(thrown("druhá"), [&](TExceptionDialog* dlg) { EXPECT_EQ(dlg->pos(), left); }));
}

}  // namespace
