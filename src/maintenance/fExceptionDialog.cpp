#include "maintenance/fExceptionDialog.h"

#include "controls/QDLBtn.h"
#include "fb/Error.h"
#include "forms/FormUni.h"
#include "framework/Clock.h"
#include "framework/Dialogs.h"
#include "framework/Messages.h"
#include "framework/SettingsRoots.h"
#include "framework/SlotGuard.h"
#include "framework/UserSettings.h"
#include "framework/WindowPlacement.h"
#include "platform/FatalSignals.h"
#include "platform/Mail.h"
#include "platform/SystemFacts.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QTextBlock>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kClientWidth = 492;
constexpr int kExpandedHeight = 449;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kMargin = 8;
constexpr int kTextLeft = 56;
constexpr int kLabelTop = 76;
constexpr int kBevelTop = 110;  // at least; lower when the warning needs more lines

ExceptionDialogSettings& settings()
{
    static ExceptionDialogSettings s;
    return s;
}

bool g_showing = false;  // a single flag of the main thread

QString hex(std::uintptr_t value, int digits)
{
    return QString::number(quint64(value), 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

QString logFileName()
{
    return settings().logFile.isEmpty() ? TSimpleExceptionLog::DefaultFileName() : settings().logFile;
}

QString fallbackLogFileName()
{
    return settings().fallbackLogFile.isEmpty() ? TSimpleExceptionLog::FallbackFileName() : settings().fallbackLogFile;
}

QString settingsSection()
{
    return settingsroot::Software + QLatin1Char('\\') + ProgramBaseName() + QStringLiteral("\\TExceptionDialog");
}

// The last entry of a dying program, written from the fatal-signal handler.
void writeFatalEntry(const FatalReport& r)
{
    QStringList lines;
    CapturedStack stack;
    if (r.error) {
        const ExceptionReport e = DescribeException(r.error);
        lines << ExceptionMessageText(e.message) << QString()
              << QStringLiteral("Exception class: %1").arg(e.className);
        stack = e.stack;
        if (stack.valid())
            lines << QStringLiteral("Exception address: %1").arg(hex(stack.throwAddress, 16));
        lines << QStringLiteral("Uncaught exception: the program ends.");
    } else {
        lines << QStringLiteral("%1 (signal %2): the program ends.").arg(QString::fromLatin1(r.description)).arg(r.signal)
              << QString();
        stack.frames.assign(r.frames, r.frames + r.frameCount);
        stack.captured = QDateTime::currentDateTime();
    }
    lines << ReportSeparator();
    if (stack.valid()) {
        lines << QStringLiteral("Stack list, generated %1").arg(StampText(stack.captured));
        lines += RenderStack(stack.frames, !r.error && r.firstIsExact);
        lines << ReportSeparator();
    }
    for (const QString& file : {logFileName(), fallbackLogFileName()}) {
        TSimpleExceptionLog log(file);
        log.WriteStamp(100);
        if (!log.IsOpen())
            continue;
        log.Write(lines.join(QStringLiteral("\r\n")));
        log.Close();
        break;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// TExceptionDialog
// ---------------------------------------------------------------------------

TExceptionDialog::TExceptionDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("ExceptionDialog"));
    setWindowTitle(QStringLiteral("%1 - chyba systému").arg(applicationTitle()));
    setMinimumWidth(200);

    TextLabel = new QPlainTextEdit(this);
    TextLabel->setObjectName(QStringLiteral("TextLabel"));
    TextLabel->setReadOnly(true);
    TextLabel->setFrameShape(QFrame::NoFrame);
    TextLabel->setToolTip(QStringLiteral("Použite Ctrl+C pre skopírovanie chybovej správy do schránky"));
    TextLabel->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette windowColour = TextLabel->palette();
    windowColour.setColor(QPalette::Base, windowColour.color(QPalette::Window));
    TextLabel->setPalette(windowColour);

    auto button = [this](const char* name, const QString& caption, const QString& hint) {
        auto* b = new TQDLBtn(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setFixedSize(kButtonWidth, kButtonHeight);
        b->setToolTip(hint);
        return b;
    };
    OkBtn = button("OkBtn", QStringLiteral("&OK"), {});
    OkBtn->setDefault(true);
    btnSend = button("btnSend", QStringLiteral("&Odoslať"),
                     QStringLiteral("Pokiaľ máte nakonfigurovaného MAPI klienta tak program pošle chybovník programátorovi."));
    DetailsBtn = button("DetailsBtn", QStringLiteral("&Detaily"), QStringLiteral("Zobrazí alebo skryje podrobný popis chyby"));
    DetailsBtn->setEnabled(false);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setText(QStringLiteral("POZOR: Pokiaľ sa chyba vyskytuje častejšie, stlačte tlačidlo \"Odoslať\" pre odoslanie "
                                   "chybovej správy programátorovi."));
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(red);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    DetailsMemo = new QPlainTextEdit(this);
    DetailsMemo->setObjectName(QStringLiteral("DetailsMemo"));
    DetailsMemo->setReadOnly(true);
    DetailsMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    DetailsMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DetailsMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont courier(QStringLiteral("Courier New"), 8);
    courier.setStyleHint(QFont::TypeWriter);
    DetailsMemo->setFont(courier);

    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnSend, &QPushButton::clicked, this, guarded([this] { Send(); }));
    connect(DetailsBtn, &QPushButton::clicked, this, guarded([this] { ShowDetails(!m_detailsShown); }));

    // Key preview: Ctrl+C anywhere in the window copies the whole report.
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);

    resize(kClientWidth, kExpandedHeight);
    // The warning keeps the height it needs at the starting width.
    m_labelHeight = std::max(32, Label1->heightForWidth(std::max(kClientWidth - 2 * kMargin - kButtonWidth - kTextLeft, 20)));
    m_bevelTop = std::max(kBevelTop, kLabelTop + m_labelHeight + 2);
    layoutControls();
    ShowDetails(false);  // the dialog starts with its details hidden

    RestorePlacement(this, settingsSection());
}

TExceptionDialog::~TExceptionDialog() = default;

void TExceptionDialog::Install(const ExceptionDialogSettings& s)
{
    settings() = s;
    setUnexpectedErrorHandler([](std::exception_ptr error) { HandleException(error); });
    InstallFatalSignalHandlers(writeFatalEntry);
}

void TExceptionDialog::Remove()
{
    RemoveFatalSignalHandlers();
    setUnexpectedErrorHandler({});
}

const ExceptionDialogSettings& TExceptionDialog::Settings()
{
    return settings();
}

bool TExceptionDialog::Showing()
{
    return g_showing;
}

void TExceptionDialog::HandleException(const std::exception_ptr& error)
{
    ShowReport(DescribeException(error));
}

void TExceptionDialog::ShowReport(const ExceptionReport& report)
{
    if (g_showing) {
        PlainMessageBox(ExceptionMessageText(report.message));
        return;
    }
    g_showing = true;
    const auto clear = qScopeGuard([] { g_showing = false; });
    QWidget* focused = QApplication::focusWidget();
    TExceptionDialog dialog;  // a fresh dialog for each error, gone when it closes
    dialog.SetReport(report, focused);
    dialog.exec();
}

void TExceptionDialog::HandleThreadException(const std::exception_ptr& error, const QString& threadDescription)
{
    ExceptionReport report = DescribeException(error);
    report.thread = QStringLiteral("ID %1").arg(quint64(reinterpret_cast<quintptr>(QThread::currentThreadId())));
    if (!threadDescription.isEmpty())
        report.thread += QStringLiteral(", \"%1\"").arg(threadDescription);
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    if (QThread::currentThread() == app->thread()) {
        ShowReport(report);
        return;
    }
    QMetaObject::invokeMethod(app, [report] { runReportingUnexpected([&] { ShowReport(report); }); }, Qt::QueuedConnection);
}

void TExceptionDialog::SetReport(const ExceptionReport& report, QWidget* focused)
{
    m_report = report;
    m_focused = focused;
    m_mainThread = report.thread.isEmpty();
    TextLabel->setPlainText(ExceptionMessageText(report.message));
    updateTextScrollBar();
    QStringList head{QStringLiteral("Exception class: %1").arg(report.className)};
    if (!m_mainThread)
        head << QStringLiteral("Thread: %1").arg(report.thread);
    else
        head << QStringLiteral("Exception address: %1").arg(hex(report.stack.throwAddress, 16));
    head << ReportSeparator();
    DetailsMemo->setPlainText(head.join(QLatin1Char('\n')));
}

QStringList TExceptionDialog::stackBlock() const
{
    QStringList lines;
    if (m_report.stack.valid()) {
        lines << QStringLiteral("Stack list, generated %1").arg(StampText(m_report.stack.captured));
        lines += RenderStack(m_report.stack.frames);
    } else {
        // An error that was never thrown (made as an exception_ptr): the
        // handler's stack is all there is.
        const CapturedStack here = CaptureStackHere();
        lines << QStringLiteral("Stack list, generated %1").arg(StampText(here.captured))
              << QStringLiteral("(the stack of the throw is not known; the stack of the handler follows)");
        lines += RenderStack(here.frames);
    }
    return lines;
}

QStringList TExceptionDialog::systemBlock() const
{
    const OsFacts os = OperatingSystem();
    const CpuFacts cpu = Processor();
    QStringList lines;
    lines << QStringLiteral("System   : %1 %2, Version: %3.%4, Build: %5, \"%6\"")
                 .arg(os.name, os.productType)
                 .arg(os.major)
                 .arg(os.minor)
                 .arg(QString::number(os.build, 16), os.servicePack);
    lines << QStringLiteral("Processor: %1, %2, %3 MHz %4%5")
                 .arg(cpu.vendor, cpu.name)
                 .arg(cpu.mhz)
                 .arg(cpu.mmx ? QStringLiteral("MMX") : QString(), cpu.fdivBug ? QStringLiteral(" [FDIV Bug]") : QString());
    lines << QStringLiteral("PC name  : %1").arg(ComputerName());
    if (const QScreen* sc = QGuiApplication::primaryScreen())
        lines << QStringLiteral("Display  : %1x%2 pixels, %3 bpp")
                     .arg(sc->geometry().width())
                     .arg(sc->geometry().height())
                     .arg(sc->depth());
    return lines;
}

QStringList TExceptionDialog::modulesBlock() const
{
    const std::vector<LoadedModule> modules = LoadedModules();
    QStringList lines;
    if (modules.empty())
        return lines;
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    lines << QStringLiteral("List of loaded modules:");
    for (const LoadedModule& m : modules) {
        lines << QStringLiteral("[%1] %2").arg(hex(m.base, 8), m.path);
        const QString prefix = m.preferred && m.preferred != m.base ? QStringLiteral("<%1> ").arg(hex(m.preferred, 8))
                                                                    : QString(11, QLatin1Char(' '));
        QString version = m.version;
        QString description;
        if (QFileInfo(m.path).canonicalFilePath() == program) {
            version = QCoreApplication::applicationVersion();
            description = QGuiApplication::applicationDisplayName();
        }
        if (version.isEmpty()) {
            lines << prefix + QStringLiteral("(no version info)");
            continue;
        }
        QStringList numbers = version.split(QLatin1Char('.')).mid(0, 4);
        while (numbers.size() < 4)
            numbers << QStringLiteral("0");
        lines << prefix + numbers.join(QLatin1Char('.')) + QStringLiteral(" - ") + version;
        if (!description.isEmpty())
            lines << QString(11, QLatin1Char(' ')) + description;
    }
    return lines;
}

QStringList TExceptionDialog::focusBlock() const
{
    QStringList lines;
    if (!m_focused)
        return lines;
    lines << QStringLiteral("Active Controls hiearchy:");
    for (QWidget* w = m_focused; w; w = w->parentWidget()) {
        lines << QStringLiteral("%1 \"%2\"").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
        if (w->isWindow())
            break;
    }
    return lines;
}

void TExceptionDialog::BuildDetails()
{
    if (m_detailsBuilt)
        return;
    m_detailsBuilt = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DetailsMemo->setUpdatesEnabled(false);
    try {
        QStringList lines;
        for (const QStringList& block : {stackBlock(), systemBlock(), modulesBlock(), focusBlock()}) {
            if (block.isEmpty())
                continue;
            lines += block;
            lines << ReportSeparator();
        }
        DetailsMemo->appendPlainText(lines.join(QLatin1Char('\n')));
        if (m_tag & 1)
            writeReportToLog();
        QTextCursor start = DetailsMemo->textCursor();
        start.movePosition(QTextCursor::Start);
        DetailsMemo->setTextCursor(start);
        DetailsMemo->ensureCursorVisible();
    } catch (...) {
        // The dialog stays usable with what it has.
    }
    DetailsMemo->setUpdatesEnabled(true);
    OkBtn->setEnabled(true);
    DetailsBtn->setEnabled(true);
    OkBtn->setFocus();
    QApplication::restoreOverrideCursor();
}

QString TExceptionDialog::ReportText() const
{
    QString message = ExceptionMessageText(m_report.message);
    if (!message.endsWith(QStringLiteral("\r\n")))
        message += QStringLiteral("\r\n");
    return message + QStringLiteral("\r\n") + WithCrLf(DetailsMemo->toPlainText());
}

void TExceptionDialog::writeReportToLog()
{
    // Beside the program when its folder takes it, else in the user's
    // application-data folder, and then the message says where.
    for (const QString& file : {logFileName(), fallbackLogFileName()}) {
        TSimpleExceptionLog log(file);
        log.WriteStamp(100);
        if (!log.IsOpen())
            continue;
        log.Write(ReportText(), 0);
        log.Close();
        m_logFile = file;
        if (file != logFileName()) {
            TextLabel->setPlainText(ExceptionMessageText(m_report.message) +
                                    QStringLiteral("\r\n\r\nZáznam o chybe je uložený v súbore %1")
                                        .arg(QDir::toNativeSeparators(file)));
            updateTextScrollBar();
        }
        return;
    }
}

namespace {

// A copy of the log for the mail client, which reads it at its own pace:
// private to the user, named by the moment. Empty when it cannot be made.
QString attachmentCopy(const QString& logFile)
{
    QString folder = settings().attachmentFolder;
    if (folder.isEmpty())
        folder = QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).filePath(QStringLiteral("hlasenia"));
    if (!QDir().mkpath(folder))
        return {};
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString name = ProgramBaseName() + QStringLiteral("_Err_") +
                         Clock::now().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QFile source(logFile);
    if (!source.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = source.readAll();
    for (int i = 1; i < 100; ++i) {
        const QString path = QDir(folder).filePath(name + (i > 1 ? QStringLiteral("_%1").arg(i) : QString()) +
                                                   QStringLiteral(".log"));
        QFile copy(path);
        if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            continue;
        copy.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        if (copy.write(bytes) == bytes.size() && copy.flush())
            return path;
        copy.remove();
        return {};
    }
    return {};
}

}  // namespace

void TExceptionDialog::Send()
{
    const QString logFile = m_logFile.isEmpty() ? logFileName() : m_logFile;
    MailMessage m;
    m.toAddress = settings().readSupportAddress ? settings().readSupportAddress() : settings().supportAddress;
    m.toName = settings().supportName;
    m.subject = QStringLiteral("Lindavo - Chybové hlásenie");
    m.body = WithCrLf(ExceptionMessageText(m_report.message)) + QStringLiteral("\r\n\r\n") + WithCrLf(DetailsMemo->toPlainText());
    const bool haveLog = QFileInfo(logFile).isFile();
    // The mail client gets a copy: renaming the log below cannot pull the
    // file away from under it. Without a copy the log itself goes and stays.
    const QString copy = haveLog ? attachmentCopy(logFile) : QString();
    m.attachment = haveLog ? (copy.isEmpty() ? logFile : copy) : QString();
    if (SendMail(m)) {
        if (!haveLog) {
            showDialog({DialogKind::Standard, msg::Information, dialogCaption(msg::Information),
                        QStringLiteral("Správa bola uložená do e-mailového klienta a je pripravená na odoslanie, "
                                       "ale bez súboru s chybami: súbor %1 neexistuje.")
                            .arg(QDir::toNativeSeparators(logFile)),
                        {msg::OK}});
            OkBtn->setFocus();
            return;
        }
        const QFileInfo log(logFile);
        const QString dated = log.dir().filePath(ProgramBaseName() + QStringLiteral("_Err_") +
                                                 Clock::today().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log"));
        bool moved = !copy.isEmpty() && QFile::rename(logFile, dated);
        if (!copy.isEmpty() && !moved && QFile::exists(dated) && QFile::exists(logFile)) {
            // A second report on the same day: its entries join the first's.
            QFile from(logFile), to(dated);
            if (from.open(QIODevice::ReadOnly) && to.open(QIODevice::WriteOnly | QIODevice::Append)) {
                const QByteArray entries = from.readAll();
                moved = to.write(QByteArrayLiteral("\r\n") + entries) == entries.size() + 2;
                to.close();
                from.close();
                moved = moved && QFile::remove(logFile);
            }
        }
        if (moved || copy.isEmpty())
            showDialog({DialogKind::Standard, msg::Information, dialogCaption(msg::Information),
                        QStringLiteral("Správa bola uložená do e-mailového klienta a je pripravená na odoslanie."),
                        {msg::OK}});
    } else {
        showDialog({DialogKind::Standard, msg::Error, dialogCaption(msg::Error),
                    QStringLiteral("Chyba pri odoslaní správy do e-mailového klienta. Kontaktujte administratora systému."),
                    {msg::OK}});
    }
    OkBtn->setFocus();
}

void TExceptionDialog::ShowDetails(bool show)
{
    QString caption = DetailsBtn->text();
    caption.remove(QLatin1Char('<')).remove(QLatin1Char('>'));
    caption = caption.trimmed();
    if (!show) {
        if (m_detailsShown)
            m_expandedHeight = height();
        DetailsBtn->setText(caption + QStringLiteral(" >>"));
        if (m_collapsedHeight == 0)
            m_collapsedHeight = Bevel1->y();
        setMinimumHeight(0);
        setMaximumHeight(QWIDGETSIZE_MAX);
        resize(width(), m_collapsedHeight);
        setFixedHeight(m_collapsedHeight);
        DetailsMemo->setEnabled(false);
    } else {
        DetailsBtn->setText(QStringLiteral("<< ") + caption);
        const QScreen* sc = screen() ? screen() : QGuiApplication::primaryScreen();
        setMinimumHeight(m_collapsedHeight + 100);
        setMaximumHeight(sc ? sc->geometry().height() : QWIDGETSIZE_MAX);
        resize(width(), m_expandedHeight > 0 ? m_expandedHeight : kExpandedHeight);
        DetailsMemo->setEnabled(true);
    }
    m_detailsShown = show;
    layoutControls();
}

void TExceptionDialog::layoutControls()
{
    const int w = width();
    const int buttonsLeft = w - kMargin - kButtonWidth;
    OkBtn->move(buttonsLeft, kMargin);
    btnSend->move(buttonsLeft, kMargin + 31);
    DetailsBtn->move(buttonsLeft, kMargin + 62);
    const int textWidth = std::max(buttonsLeft - kMargin - kTextLeft, 20);
    TextLabel->setGeometry(kTextLeft, kMargin, textWidth, 64);
    Label1->setGeometry(kTextLeft, kLabelTop, textWidth, m_labelHeight);
    Bevel1->setGeometry(0, m_bevelTop, w, 2);
    const int memoTop = m_bevelTop + 6;
    DetailsMemo->setGeometry(4, memoTop, w - 8, std::max(height() - memoTop - 3, 0));
}

void TExceptionDialog::updateTextScrollBar()
{
    const int lineHeight = TextLabel->fontMetrics().height();  // the height of "Wg"
    const int lines = TextLabel->document()->blockCount();
    TextLabel->setVerticalScrollBarPolicy(lines * lineHeight > TextLabel->viewport()->height() ? Qt::ScrollBarAlwaysOn
                                                                                                : Qt::ScrollBarAlwaysOff);
}

void TExceptionDialog::copyReport()
{
    QGuiApplication::clipboard()->setText(ReportText());
    QApplication::beep();
}

void TExceptionDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || m_detailsBuilt || m_buildQueued)
        return;
    QApplication::beep();  // the error beep
    m_buildQueued = true;
    if (m_mainThread) {
        // Paint first: the message is there at once, the details follow.
        QMetaObject::invokeMethod(this, [this] { BuildDetails(); }, Qt::QueuedConnection);
    } else {
        BuildDetails();
    }
}

void TExceptionDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxCritical, nullptr, this);
    QPainter p(this);
    p.drawPixmap(TextLabel->x() - size - 15 < 0 ? 0 : TextLabel->x() - size - 15, TextLabel->y(), icon.pixmap(size, size));
}

void TExceptionDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layoutControls();
    updateTextScrollBar();
}

bool TExceptionDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        copyReport();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TExceptionDialog::done(int result)
{
    // Every shown error leaves its entry, also one closed before its details.
    if (!m_detailsBuilt)
        BuildDetails();
    if (isVisible())
        StorePlacement(this, settingsSection());
    QDialog::done(result);
}
