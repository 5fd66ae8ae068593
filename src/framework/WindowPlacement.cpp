#include "framework/WindowPlacement.h"

#include "framework/UserSettings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

// Along one axis: the window's start after fitting.
int fitAxis(int start, int length, int screen)
{
    if (start < 0 || start > screen || start + length > screen)
        return (screen - length) / 2;
    return start;
}

}  // namespace

QRect FitToScreen(const QRect& window, const QSize& screen)
{
    const int width = qMin(window.width(), screen.width());
    const int height = qMin(window.height(), screen.height());
    return {fitAxis(window.left(), width, screen.width()), fitAxis(window.top(), height, screen.height()), width,
            height};
}

bool RestorePlacement(QWidget* window, const QString& key, Placement what)
{
    bool hasLeft = false;
    bool hasTop = false;
    const int left = readUserInt(key, QStringLiteral("Left"), 0, &hasLeft);
    const int top = readUserInt(key, QStringLiteral("Top"), 0, &hasTop);
    if (what == Placement::PositionAndSize) {
        bool hasWidth = false;
        bool hasHeight = false;
        const int width = readUserInt(key, QStringLiteral("Width"), 0, &hasWidth);
        const int height = readUserInt(key, QStringLiteral("Height"), 0, &hasHeight);
        if (hasWidth && hasHeight && width > 50 && height > 50)
            window->resize(width, height);
    }
    if (!hasLeft || !hasTop)
        return false;
    QRect placed(QPoint(left, top), window->size());
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen)
        placed = FitToScreen(placed, screen->geometry().size());
    if (placed.size() != window->size())
        window->resize(placed.size());
    window->move(placed.topLeft());
    return true;
}

void StorePlacement(const QWidget* window, const QString& key, Placement what)
{
    writeUserInt(key, QStringLiteral("Left"), window->x());
    writeUserInt(key, QStringLiteral("Top"), window->y());
    if (what == Placement::PositionAndSize) {
        writeUserInt(key, QStringLiteral("Width"), window->width());
        writeUserInt(key, QStringLiteral("Height"), window->height());
    }
}
