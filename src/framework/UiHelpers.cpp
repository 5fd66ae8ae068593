#include "framework/UiHelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QMimeData>
#include <QPointer>
#include <QStatusBar>

namespace {
QPointer<QWidget> g_mainWindow;
}

QString localeMimeType()
{
    return QStringLiteral("application/x-lindavo-locale");
}

void CopyToClipboard(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(localeMimeType(), QLocale::system().name().toUtf8());
    clipboard->setMimeData(data);
}

void FitStatusPanels(QStatusBar* bar)
{
    if (!bar)
        return;
    bar->setSizeGripEnabled(false);
    const QFontMetrics metrics(bar->font());
    for (QLabel* panel : bar->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        panel->setFixedWidth(metrics.horizontalAdvance(panel->text()) + 6);
}

void SetMainWindow(QWidget* window)
{
    g_mainWindow = window;
}

QWidget* MainWindow()
{
    return g_mainWindow;
}

Qt::KeyboardModifiers ShiftCtrlAlt(const QKeyEvent* event)
{
    return event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}

bool isEnterKey(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

QColor ColorFromDelphi(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}

int ColorToDelphi(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}

FocusReturn::FocusReturn(const QWidget* opening)
{
    QWidget* w = QApplication::focusWidget();
    if (w && opening && w->window() == opening)
        w = nullptr;
    // Nothing focused (a dialog closed a moment ago and the window under it is
    // not active yet): the control that window had focused.
    QWidget* window = QApplication::activeModalWidget();
    if (!window)
        window = QApplication::activeWindow();
    if (!window && MainWindow() && MainWindow()->isVisible())
        window = MainWindow();
    if (window == opening)
        window = nullptr;
    if (!w && window)
        w = window->focusWidget() ? window->focusWidget() : window;
    m_widget = w;
}

void FocusReturn::restore() const
{
    QWidget* target = m_widget.data();
    if (!target)
        return;
    // Once the closing dialog is gone: the window then gets the keyboard
    // unless another dialog has opened over it meanwhile (a loop of dialogs).
    QTimer::singleShot(0, target, [w = m_widget] {
        if (!w || !w->isVisible() || !w->isEnabled())
            return;
        QWidget* window = w->window();
        const QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != window)
            return;
        // Another window has been activated since: it keeps the keyboard.
        const QWidget* active = QApplication::activeWindow();
        if (active && active != window && active->isVisible())
            return;
        if (QApplication::activeWindow() != window)
            window->activateWindow();
        if (QApplication::focusWidget() != w)
            w->setFocus(Qt::ActiveWindowFocusReason);
    });
}

namespace {

// Qt's Slovak translation lacks the texts of the standard buttons (context
// QPlatformTheme) that its file, colour and print dialogs use: they would
// read "Cancel" among Slovak labels.
class StandardButtonTexts : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* sourceText, const char* = nullptr, int = -1) const override
    {
        if (qstrcmp(context, "QPlatformTheme") != 0 || !sourceText)
            return {};
        static const QHash<QByteArray, QString> texts = {
            {"OK", QStringLiteral("OK")},
            {"Save", QStringLiteral("&Uložiť")},
            {"Save All", QStringLiteral("Uložiť &všetko")},
            {"Open", QStringLiteral("&Otvoriť")},
            {"&Yes", QStringLiteral("Án&o")},
            {"Yes to &All", QStringLiteral("Áno &všetkým")},
            {"&No", QStringLiteral("&Nie")},
            {"N&o to All", QStringLiteral("Nie v&šetkým")},
            {"Abort", QStringLiteral("Pre&rušiť")},
            {"Retry", QStringLiteral("&Opakovať")},
            {"Ignore", QStringLiteral("&Ignorovať")},
            {"Close", QStringLiteral("&Zavrieť")},
            {"Cancel", QStringLiteral("Zrušiť")},
            {"Discard", QStringLiteral("&Zahodiť")},
            {"Help", QStringLiteral("&Pomocník")},
            {"Apply", QStringLiteral("&Použiť")},
            {"Reset", QStringLiteral("&Obnoviť")},
            {"Restore Defaults", QStringLiteral("Obnoviť &predvolené")},
            {"Don't Save", QStringLiteral("&Neukladať")},
            {"Close without Saving", QStringLiteral("Zavrieť &bez uloženia")},
        };
        return texts.value(QByteArray(sourceText));
    }
};

}  // namespace

void UseSlovakUserInterface()
{
    const QLocale slovak(QLocale::Slovak, QLocale::Slovakia);
    QLocale::setDefault(slovak);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase", "qt"}) {
        auto* translator = new QTranslator(qApp);
        if (translator->load(slovak, QString::fromLatin1(name), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            break;  // qt_sk only bundles qtbase_sk and the modules this program does not use
        }
        delete translator;
    }
    QCoreApplication::installTranslator(new StandardButtonTexts(qApp));
}
