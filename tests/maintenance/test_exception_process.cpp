// The program itself, started with its test hook (LINDAVO_TEST_ERROR, only in
// builds with the tests): an error reaches the dialog and the log beside the
// executable, and a fatal signal leaves a last entry with its stack.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class ExceptionProcessTest : public ::testing::Test {
protected:
    ExceptionProcessTest()
    {
        program = dir.filePath(QStringLiteral("Lindavo"));
        copied = QFile::copy(QStringLiteral(LINDAVO_PATH), program);
    }

    void start(QProcess& p, const QString& hook)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LINDAVO_TEST_ERROR"), hook);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The user's folders stay out of it.
        env.insert(QStringLiteral("HOME"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
        // In the sanitizer build the program's own handler answers the signals.
        env.insert(QStringLiteral("ASAN_OPTIONS"), env.value(QStringLiteral("ASAN_OPTIONS")) +
                                                       QStringLiteral(":handle_segv=0:handle_abort=0:detect_leaks=0"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(program, {});
        ASSERT_TRUE(p.waitForStarted());
    }

    QString log() const { return readText(dir.filePath(QStringLiteral("Lindavo_Err.log"))); }

    QTemporaryDir dir;
    QString program;
    bool copied = false;
};

TEST_F(ExceptionProcessTest, ADeliberateErrorShowsTheDialogAndLeavesItsEntryBesideTheProgram)
{
    ASSERT_TRUE(copied);
    QProcess p;
    start(p, QStringLiteral("throw"));
    // The entry is written once the dialog has painted and built its details;
    // the dialog then waits for a user, so the test ends the program.
    const bool written = QTest::qWaitFor([&] { return log().contains(QStringLiteral("List of loaded modules:")); }, 60000);
    p.kill();
    p.waitForFinished();
    ASSERT_TRUE(written) << p.readAll().toStdString();
    const QString text = log();
    EXPECT_TRUE(text.startsWith(QString(100, QLatin1Char('=')))) << text.left(300).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Úmyselná chyba na skúšku dialógu chýb.\r\n\r\n"
                                             "Exception class: std::runtime_error\r\n")));
    // The first frame of the stack is the function that threw.
    const qsizetype stack = text.indexOf(QStringLiteral("Stack list, generated "));
    ASSERT_GE(stack, 0);
    const QString firstFrame = text.mid(stack).section(QStringLiteral("\r\n"), 1, 1);
    EXPECT_TRUE(firstFrame.contains(QStringLiteral("RaiseDeliberateError"))) << firstFrame.toStdString();
    EXPECT_TRUE(firstFrame.contains(QStringLiteral("main.cpp:"))) << firstFrame.toStdString();
}

TEST_F(ExceptionProcessTest, AFatalSignalWritesALastEntryWithItsStack)
{
    ASSERT_TRUE(copied);
    const struct {
        const char* hook;
        QString head;
        const char* function;
    } cases[] = {
        {"segv", "Segmentation fault (signal 11): the program ends.", "CrashDeliberately"},
        {"abort", "Aborted (signal 6): the program ends.", "AbortDeliberately"},
        {"terminate", "Úmyselná nezachytená chyba.\r\n\r\nException class: std::logic_error", "RaiseUncaught"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hook);
        QFile::remove(dir.filePath(QStringLiteral("Lindavo_Err.log")));
        QProcess p;
        start(p, QString::fromLatin1(c.hook));
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            FAIL() << "the program did not end";
        }
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit) << p.readAll().toStdString();
        const QString text = log();
        EXPECT_TRUE(text.startsWith(QString(100, QLatin1Char('=')))) << text.left(300).toStdString();
        EXPECT_TRUE(text.contains(c.head)) << text.left(600).toStdString();
        const qsizetype stack = text.indexOf(QStringLiteral("Stack list, generated "));
        ASSERT_GE(stack, 0) << text.toStdString();
        // The crashing function is among the first frames (after the C
        // library's abort and raise where they are the ones that signal).
        const QStringList frames = text.mid(stack).split(QStringLiteral("\r\n")).mid(1, 6);
        EXPECT_TRUE(frames.join(QLatin1Char('\n')).contains(QString::fromLatin1(c.function)))
            << frames.join(QLatin1Char('\n')).toStdString();
    }
}

}  // namespace
