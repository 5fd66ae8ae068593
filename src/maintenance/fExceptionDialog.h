#pragma once

#include "maintenance/ErrorLog.h"
#include "platform/StackCapture.h"

#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QString>

#include <exception>
#include <functional>
#include <memory>

class QFrame;
class QLabel;
class QPlainTextEdit;
class TQDLBtn;


// Where the report goes and who receives it by mail.
struct ExceptionDialogSettings {
    QString supportAddress = QStringLiteral("podpora@kovra.sk");
    QString supportName = QStringLiteral("Kovra s.r.o. - podpora");
    // When set, asked at the moment of sending instead of supportAddress (the
    // program reads its configuration file only then).
    std::function<QString()> readSupportAddress;
    QString logFile;          // empty: TSimpleExceptionLog::DefaultFileName()
    QString fallbackLogFile;  // empty: TSimpleExceptionLog::FallbackFileName()
    // Where the copy of the log that the mail carries is kept (the log itself
    // is renamed once the mail client has it). Empty: the user's cache folder.
    QString attachmentFolder;
};

// ---------------------------------------------------------------------------
// TExceptionDialog: the window for every failure that no window handles
// itself. It shows the message at once and builds the details (stack of the
// throw, system, modules, focused controls) after its first paint, writes the
// report to the error log and can hand it to the mail client.
// ---------------------------------------------------------------------------
class TExceptionDialog : public QDialog {
    Q_OBJECT
public:
    explicit TExceptionDialog(QWidget* parent = nullptr);
    ~TExceptionDialog() override;

    // Start-up: errors escaping guarded slots and event handlers come here,
    // fatal signals write a last log entry. Remove undoes it at the end.
    static void Install(const ExceptionDialogSettings& settings = {});
    static void Remove();
    static const ExceptionDialogSettings& Settings();

    // The handler (main thread): a fresh dialog for the error, or the plain
    // message box while a dialog is open already.
    static void HandleException(const std::exception_ptr& error);
    static void ShowReport(const ExceptionReport& report);
    // Any thread: the error is described here, in the thread that threw it,
    // and shown by the main thread.
    static void HandleThreadException(const std::exception_ptr& error, const QString& threadDescription);
    // True while a dialog is being shown.
    static bool Showing();

    // Fills the dialog for `report` (done by ShowReport before exec()).
    void SetReport(const ExceptionReport& report, QWidget* focused);
    // The four detail blocks and the log entry; the buttons are enabled
    // afterwards even when a step failed.
    void BuildDetails();
    bool DetailsBuilt() const { return m_detailsBuilt; }
    // The message, a line break, an empty line and the details: what Ctrl+C
    // copies, the log receives and the mail carries.
    QString ReportText() const;
    // The log the report went to (empty until written).
    QString LogFileName() const { return m_logFile; }

    void ShowDetails(bool show);
    bool DetailsShown() const { return m_detailsShown; }
    int CollapsedHeight() const { return m_collapsedHeight; }

    // Writes the report into the log when bit 1 of Tag is set.
    int Tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    QPlainTextEdit* TextLabel = nullptr;
    TQDLBtn* OkBtn = nullptr;
    TQDLBtn* btnSend = nullptr;
    TQDLBtn* DetailsBtn = nullptr;
    QLabel* Label1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QPlainTextEdit* DetailsMemo = nullptr;

public slots:
    void Send();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void layoutControls();
    void updateTextScrollBar();
    void writeReportToLog();
    void copyReport();
    QStringList stackBlock() const;
    QStringList systemBlock() const;
    QStringList modulesBlock() const;
    QStringList focusBlock() const;

    ExceptionReport m_report;
    QPointer<QWidget> m_focused;
    bool m_mainThread = true;
    bool m_detailsBuilt = false;
    bool m_detailsShown = true;
    bool m_buildQueued = false;
    int m_tag = 1;
    int m_labelHeight = 32;
    int m_bevelTop = 110;
    int m_collapsedHeight = 0;
    int m_expandedHeight = 0;
    QString m_logFile;
};
