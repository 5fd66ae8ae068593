#include "maintenance/ErrorLog.h"

#include "fb/Error.h"
#include "framework/Clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>

#include <typeinfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

QString ProgramBaseName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString WithCrLf(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

// ---------------------------------------------------------------------------
// TSimpleExceptionLog
// ---------------------------------------------------------------------------

TSimpleExceptionLog::TSimpleExceptionLog(const QString& fileName)
    : m_fileName(fileName.isEmpty() ? DefaultFileName() : fileName)
{
    m_file.setFileName(m_fileName);
}

TSimpleExceptionLog::~TSimpleExceptionLog()
{
    Close();
}

QString TSimpleExceptionLog::DefaultFileName()
{
    const QFileInfo exe(QCoreApplication::applicationFilePath());
    return exe.dir().filePath(exe.completeBaseName() + QStringLiteral("_Err.log"));
}

QString TSimpleExceptionLog::FallbackFileName()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(dir).filePath(ProgramBaseName() + QStringLiteral("_Err.log"));
}

bool TSimpleExceptionLog::Open()
{
    if (m_file.isOpen()) {
        m_wasEmpty = false;
        return true;
    }
    QDir().mkpath(QFileInfo(m_fileName).absolutePath());
#ifdef Q_OS_UNIX
    // Never through a link someone put there, and for its owner's eyes only:
    // the report holds the program's state.
    const int fd = ::open(QFile::encodeName(m_fileName).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (!m_file.open(fd, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
#else
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
#endif
    m_wasEmpty = m_file.size() == 0;
    return true;
}

void TSimpleExceptionLog::Close()
{
    if (m_file.isOpen())
        m_file.close();
}

void TSimpleExceptionLog::writeLine(const QString& line)
{
    m_file.write(line.toUtf8());
    m_file.write("\r\n");
}

void TSimpleExceptionLog::Write(const QString& text, int indent)
{
    if (!m_file.isOpen())
        return;
    static const QRegularExpression breaks(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(breaks);
    // A text ending with a line break has no further line.
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    const QString prefix(std::max(indent, 0), QLatin1Char(' '));
    for (QString line : lines) {
        qsizetype end = line.size();
        while (end > 0 && line.at(end - 1).isSpace())
            --end;
        line.truncate(end);
        writeLine(prefix + line);
    }
    m_file.flush();
}

void TSimpleExceptionLog::WriteStamp(int width)
{
    if (width == 0)
        width = 100;
    width = std::max(width, 20);
    if (!Open())
        return;
    if (!m_wasEmpty)
        writeLine(QString());
    const QString bar(width, QLatin1Char('='));
    writeLine(bar);
    writeLine(QStringLiteral("= ") + StampText(Clock::now()).leftJustified(width - 4) + QStringLiteral(" ="));
    writeLine(bar);
    m_file.flush();
}

QString ReportSeparator()
{
    return QString(100, QLatin1Char('-'));
}

QString ExceptionMessageText(const QString& message)
{
    QString text = WithCrLf(message);
    // A message that ends with a line break gets its full stop on its last line.
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

QString StampText(const QDateTime& moment)
{
    const QLocale system = QLocale::system();
    return system.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           system.toString(moment.time(), QLocale::LongFormat);
}

ExceptionReport DescribeException(const std::exception_ptr& error)
{
    ExceptionReport r;
    if (!error)
        return r;
    r.className = ExceptionTypeName(error);
    r.stack = StackOfException(error);
    try {
        std::rethrow_exception(error);
    } catch (const fb::Error& e) {
        r.message = e.message();
    } catch (const std::exception& e) {
        r.message = QString::fromUtf8(e.what());
    } catch (...) {
        r.message = QStringLiteral("Neznáma výnimka");
    }
    return r;
}

