#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Starts a probe for `path` and waits for its first line.
std::unique_ptr<QProcess> startProbe(const QString& path, QByteArray* firstLine)
{
    auto p = std::make_unique<QProcess>();
    p->start(PROBE_PATH, {path});
    EXPECT_TRUE(p->waitForStarted(5000));
    EXPECT_TRUE(p->waitForReadyRead(5000));
    *firstLine = p->readLine().trimmed();
    return p;
}

}  // namespace

TEST(SingleInstance, SecondStartOfTheSamePathWakesTheFirstAndExits)
{
    QByteArray line;
    auto first = startProbe("/opt/agency/Lindavo", &line);
    ASSERT_EQ(line, "first");

    // the same path in other letter case is the same program
    auto second = startProbe("/OPT/Agency/LINDAVO", &line);
    EXPECT_EQ(line, "second");
    ASSERT_TRUE(second->waitForFinished(5000));
    EXPECT_EQ(second->exitCode(), 0);

    ASSERT_TRUE(first->waitForFinished(5000));
    EXPECT_EQ(first->readAll().trimmed(), "activated");
    EXPECT_EQ(first->exitCode(), 0);
}

TEST(SingleInstance, CopiesInOtherFoldersRunSideBySide)
{
    QByteArray line;
    auto a = startProbe("/opt/one/Lindavo", &line);
    EXPECT_EQ(line, "first");
    auto b = startProbe("/opt/two/Lindavo", &line);
    EXPECT_EQ(line, "first");
    a->kill();
    b->kill();
    a->waitForFinished();
    b->waitForFinished();
    // a killed instance leaves its name behind; the next start still becomes the first
    auto c = startProbe("/opt/one/Lindavo", &line);
    EXPECT_EQ(line, "first");
    c->kill();
    c->waitForFinished();
}

TEST(SingleInstance, TheProgramExitsBeforeReadingItsConfiguration)
{
    QTemporaryDir dir;
    const QString exe = dir.filePath("Lindavo");
    ASSERT_TRUE(QFile::copy(LINDAVO_PATH, exe));
    QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The first instance stops at its first message (the database is missing).
    QProcess first;
    first.start(exe, {});
    ASSERT_TRUE(first.waitForStarted(5000));
    // It has claimed the name and read its whole configuration once the last
    // key it reads (Backups) is in the file; only then is the file removed.
    const QString ini = dir.filePath("Lindavo.ini");
    const bool configured = QTest::qWaitFor(
        [&] {
            QFile f(ini);
            return f.open(QIODevice::ReadOnly) && f.readAll().contains("Backups=");
        },
        10000);
    ASSERT_TRUE(configured) << "the first instance did not start";
    ASSERT_TRUE(QFile::remove(ini));

    QProcess second;
    second.start(exe, {});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(ini)) << "the second start read its configuration";
    first.kill();
    first.waitForFinished();
}

// Another local user could take the name in the shared temporary folder and
// make the program exit at its start: the name lives in this user's runtime
// folder now.
TEST(SingleInstance, TheNameIsInTheUsersRuntimeFolderNotInTheSharedTemporaryOne)
{
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const QString path = "/opt/agency/Lindavo";
    const QString key = SingleInstance::keyFor(path);
    EXPECT_TRUE(key.startsWith(runtime.path() + "/")) << key.toStdString();

    // someone listening under the name in the shared temporary folder
    QLocalServer squatter;
    ASSERT_TRUE(squatter.listen(QFileInfo(key).fileName()));
    ASSERT_TRUE(squatter.fullServerName().startsWith(QDir::tempPath()));
    {
        SingleInstance mine(path);
        EXPECT_TRUE(mine.claim());
        EXPECT_TRUE(QFileInfo::exists(key));
    }
    squatter.close();
    if (saved.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", saved);
}
