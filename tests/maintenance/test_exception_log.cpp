// The error log's format and the message's full stop, without a window.
#include "framework/Clock.h"
#include "maintenance/fExceptionDialog.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ExceptionLogTest : public ::testing::Test {
protected:
    ExceptionLogTest() { Clock::pinClock(QDateTime(QDate(2026, 3, 9), QTime(14, 5, 7))); }
    ~ExceptionLogTest() override { Clock::unpinClock(); }
    QString file() const { return dir.filePath(QStringLiteral("Lindavo_Err.log")); }

    QByteArray bar(int width, char c = '=') const { return QByteArray(width, c) + "\r\n"; }
    QByteArray stampLine(int width) const
    {
        return "= " + StampText(Clock::now()).leftJustified(width - 4).toUtf8() + " =\r\n";
    }

    QTemporaryDir dir;
};

TEST(ExceptionMessageTest, AFullStopIsAddedOnlyWhenMissing)
{
    const struct {
        QString message, shown;
    } cases[] = {
        {"Disk je plný", "Disk je plný."},
        {"Disk je plný.", "Disk je plný."},
        {"Prvý riadok\nDruhý", "Prvý riadok\r\nDruhý."},
        {"Mac\rkoniec riadku.", "Mac\r\nkoniec riadku."},
        {"Hotovo.\r\n", "Hotovo."},
        {"Bez bodky \r\n", "Bez bodky."},
        {"", "."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExceptionMessageText(c.message), c.shown) << c.message.toStdString();
}

TEST_F(ExceptionLogTest, TheFirstEntryStartsWithTheBarLaterOnesAfterAnEmptyLine)
{
    for (int entry = 0; entry < 2; ++entry) {
        TSimpleExceptionLog log(file());
        log.WriteStamp(0);
        log.Write(QStringLiteral("chyba %1").arg(entry));
        log.Close();
    }
    const QByteArray entry0 = bar(100) + stampLine(100) + bar(100) + "chyba 0\r\n";
    const QByteArray entry1 = bar(100) + stampLine(100) + bar(100) + "chyba 1\r\n";
    EXPECT_EQ(readAll(file()), entry0 + "\r\n" + entry1);
    EXPECT_EQ(stampLine(100).size(), 102);  // 100 characters and CR LF
}

TEST_F(ExceptionLogTest, LinesLoseTrailingBlanksAndTakeTheIndent)
{
    TSimpleExceptionLog log(file());
    ASSERT_TRUE(log.Open());
    EXPECT_TRUE(log.WasEmpty());
    log.Write(QStringLiteral("a  \r\n  b\t \nc\r\rd \r\n"), 2);
    log.Close();
    EXPECT_EQ(readAll(file()), "  a\r\n    b\r\n  c\r\n  \r\n  d\r\n");
}

TEST_F(ExceptionLogTest, StampWidthsAndReopening)
{
    for (const auto& [asked, width] : {std::pair{0, 100}, std::pair{5, 20}, std::pair{40, 40}}) {
        QFile::remove(file());
        TSimpleExceptionLog log(file());
        log.WriteStamp(asked);
        log.Close();
        EXPECT_EQ(readAll(file()), bar(width) + stampLine(width) + bar(width)) << asked;
    }
    // Opening an open log clears the flag: a second stamp gets its empty line.
    TSimpleExceptionLog log(file());
    QFile::remove(file());
    ASSERT_TRUE(log.Open());
    EXPECT_TRUE(log.WasEmpty());
    ASSERT_TRUE(log.Open());
    EXPECT_FALSE(log.WasEmpty());
    log.WriteStamp(20);
    log.Close();
    EXPECT_TRUE(readAll(file()).startsWith("\r\n" + bar(20)));
}

TEST_F(ExceptionLogTest, NothingIsWrittenWhileClosedAndAnUnopenableLogIsSkipped)
{
    TSimpleExceptionLog closed(file());
    closed.Write(QStringLiteral("ztratí sa"));
    EXPECT_FALSE(QFile::exists(file()));

    // A folder where the file should be: the log cannot be opened.
    QDir(dir.path()).mkpath(QStringLiteral("Lindavo_Err.log"));
    TSimpleExceptionLog blocked(file());
    EXPECT_FALSE(blocked.Open());
    blocked.WriteStamp(0);
    blocked.Write(QStringLiteral("nikam"));
    EXPECT_FALSE(blocked.IsOpen());
}

}  // namespace

// A link put where the log will be written leads nowhere: the log is not
// written through it (another user's file stays as it was), and a new log is
// readable by its owner only.
TEST_F(ExceptionLogTest, TheLogIsNotWrittenThroughALinkAndIsPrivate)
{
    const QString victim = dir.filePath("cudzi.txt");
    {
        QFile f(victim);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("obsah\n");
    }
    ASSERT_TRUE(QFile::link(victim, file()));
    {
        TSimpleExceptionLog log(file());
        log.WriteStamp(100);
        EXPECT_FALSE(log.IsOpen());
        log.Write("tajné");
    }
    EXPECT_EQ(readAll(victim), "obsah\n");

    ASSERT_TRUE(QFile::remove(file()));
    {
        TSimpleExceptionLog log(file());
        log.WriteStamp(100);
        ASSERT_TRUE(log.IsOpen());
    }
    EXPECT_EQ(QFileInfo(file()).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFileDevice::Permissions());
}
