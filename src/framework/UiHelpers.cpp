#include "framework/UiHelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
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
