#pragma once

#include "platform/StackCapture.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <exception>

// The error log and the text of an error's report, without the dialog: the
// fatal-signal entry and the dialog both write through these.

// The executable's name without its folder and extension.
QString ProgramBaseName();
// Every line break (CR LF, LF or CR) as CR LF, as the log and the mail carry them.
QString WithCrLf(const QString& text);

// ---------------------------------------------------------------------------
// The error log: "<program>_Err.log" beside the executable, appended to and
// never truncated. Lines end in CR LF and lose their trailing blanks.
// ---------------------------------------------------------------------------
class TSimpleExceptionLog {
public:
    // An empty name means DefaultFileName().
    explicit TSimpleExceptionLog(const QString& fileName = {});
    ~TSimpleExceptionLog();
    TSimpleExceptionLog(const TSimpleExceptionLog&) = delete;
    TSimpleExceptionLog& operator=(const TSimpleExceptionLog&) = delete;

    // The executable's folder + its name without extension + "_Err.log".
    static QString DefaultFileName();
    // The same name in the user's application-data folder, for a program
    // folder the user may not write to.
    static QString FallbackFileName();

    QString FileName() const { return m_fileName; }
    bool IsOpen() const { return m_file.isOpen(); }
    bool WasEmpty() const { return m_wasEmpty; }

    // Creates the file when missing and goes to its end; WasEmpty tells
    // whether there was nothing in it. On an open log only clears WasEmpty.
    bool Open();
    void Close();
    // Each line of `text`, right-trimmed, after `indent` blanks, with CR LF;
    // nothing when the log is not open.
    void Write(const QString& text, int indent = 0);
    // Opens the log and writes the entry head: an empty line unless the file
    // was empty, then "====", "= <now> =", "====" of `width` characters
    // (100 for 0, never under 20).
    void WriteStamp(int width = 0);

private:
    void writeLine(const QString& line);

    QString m_fileName;
    QFile m_file;
    bool m_wasEmpty = false;
};

// The separator that closes a block of the report: 100 "-".
QString ReportSeparator();
// The message as the dialog shows it: line breaks as CR LF and a full stop at
// the end unless there is one.
QString ExceptionMessageText(const QString& message);
// "<date> <time>" in the system's short date and long time format.
QString StampText(const QDateTime& moment);

// What the dialog shows of one exception. Described in the thread that threw
// it: only that thread knows the stack of its throw.
struct ExceptionReport {
    QString className;
    QString message;
    CapturedStack stack;  // invalid when the throw was not seen
    QString thread;       // the raising thread's description; empty: the main thread
};
ExceptionReport DescribeException(const std::exception_ptr& error);
