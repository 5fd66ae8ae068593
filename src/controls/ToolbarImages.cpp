// The toolbar images and the hints chosen by image index.
#include "controls/ToolbarImages.h"

#include <QAction>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QToolBar>
#include <QToolButton>

namespace {

const char* kImageProperty = "imageIndex";

// What each image of the 32-pixel list shows: a glyph on a coloured tile.
struct Glyph {
    QChar symbol;
    QColor colour;
};

Glyph glyph32(int index)
{
    switch (index) {
    case 0: return {QChar(u'+'), QColor(0, 140, 0)};        // add
    case 1: return {QChar(u'\u270E'), QColor(0, 90, 180)};  // edit
    case 2: return {QChar(u'\u2715'), QColor(200, 0, 0)};   // delete
    case 3: return {QChar(u'\u2399'), QColor(60, 60, 60)};  // print
    case 4: return {QChar(u'\u21BB'), QColor(0, 120, 120)}; // refresh
    case 5: return {QChar(u'\u2191'), QColor(90, 60, 160)}; // ascending
    case 6: return {QChar(u'\u2193'), QColor(90, 60, 160)}; // descending
    case 7: return {QChar(u'\u2610'), QColor(150, 120, 0)}; // all records
    case 8: return {QChar(u'\u2611'), QColor(150, 120, 0)}; // marked only
    case 9: return {QChar(u'\u2713'), QColor(0, 140, 0)};   // mark all
    case 10: return {QChar(u'\u2717'), QColor(200, 90, 0)}; // unmark all
    case 11: return {QChar(u'\u25C9'), QColor(0, 90, 180)}; // show record
    case 12: return {QChar(u'i'), QColor(0, 90, 180)};      // information
    case 13: return {QChar(u'\u21BA'), QColor(0, 120, 120)};// repeat
    case 14: return {QChar(u'\u2750'), QColor(0, 140, 0)};  // copy
    case 15: return {QChar(u'\u2193'), QColor(60, 60, 60)}; // save to disk
    case 16: return {QChar(u'?'), QColor(0, 90, 180)};      // find
    case 17: return {QChar(u'\u25BD'), QColor(100, 100, 100)}; // filter off
    case 18: return {QChar(u'\u25BC'), QColor(0, 90, 180)}; // filter on / clear
    case 20: return {QChar(u'\u03A3'), QColor(60, 60, 60)}; // sum
    case 26: return {QChar(u'\u2699'), QColor(60, 60, 60)}; // services
    case 33: return {QChar(u'\u263B'), QColor(0, 90, 180)};  // people (address book, users)
    case 37: return {QChar(u'\u2261'), QColor(0, 120, 60)};  // register, code list
    case 48: return {QChar(u'\u26C1'), QColor(150, 90, 0)};  // database backup
    default: return {QChar(u'\u2022'), QColor(120, 120, 120)};
    }
}

// The 16-pixel list shows the same pictures under other indexes.
int image16As32(int index)
{
    static const int map[] = {-1, -1, -1, 18, 4, 0, 1, 2, 13, 20, 7, 8, 9, 10};
    return index >= 0 && index < int(std::size(map)) ? map[index] : -1;
}

QPixmap drawImage(int index, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    const Glyph g = glyph32(size == 16 ? image16As32(index) : index);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(1, 1, size - 2, size - 2);
    p.setPen(QPen(g.colour.darker(140), 1));
    p.setBrush(g.colour.lighter(185));
    p.drawRoundedRect(tile, size / 6.0, size / 6.0);
    QFont font;
    font.setPixelSize(int(size * 0.7));
    font.setBold(true);
    p.setFont(font);
    p.setPen(g.colour);
    p.drawText(tile, Qt::AlignCenter, QString(g.symbol));
    return pixmap;
}

const QString kMarkedOnlyHint = QStringLiteral(
    "Zobraz len označené záznamy alebo zobraz všetky záznamy (neber do úvahy označenie záznamu) (/,*)");

}  // namespace

QIcon ToolbarImage(int index, int size)
{
    static QHash<int, QIcon> cache;
    const int key = index * 100 + size;
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.insert(key, QIcon(drawImage(index, size)));
    return *it;
}

void SetActionImage(QAction* action, int index)
{
    const QToolBar* bar = nullptr;
    for (QObject* w : action->associatedObjects())
        if ((bar = qobject_cast<QToolBar*>(w)))
            break;
    const int size = bar && bar->iconSize().width() <= 16 ? 16 : 32;
    action->setProperty(kImageProperty, index);
    action->setIcon(ToolbarImage(index, size));
}

int ActionImage(const QAction* action)
{
    const QVariant v = action->property(kImageProperty);
    return v.isValid() ? v.toInt() : -1;
}

QAction* AddToolbarButton(QToolBar* toolbar, const QString& name, int imageIndex, bool checkable)
{
    QAction* action = toolbar->addAction(QString());
    action->setObjectName(name);
    action->setCheckable(checkable);
    SetActionImage(action, imageIndex);
    if (QWidget* button = toolbar->widgetForAction(action)) {
        button->setObjectName(name);
        if (toolbar->iconSize().width() >= 32)
            button->setFixedSize(39, 38);
    }
    return action;
}

QString ToolbarHint(int imageIndex, int iconSize)
{
    if (iconSize == 32) {
        switch (imageIndex) {
        case 0: return QStringLiteral("Pridanie záznamu (P,F2)");
        case 1: return QStringLiteral("Oprava záznamu (O,F4)");
        case 2: return QStringLiteral("Vymazanie záznamu (DELETE,F8)");
        case 3: return QStringLiteral("Tlač (T)");
        case 4: return QStringLiteral("Obnovenie zobrazenia (R)");
        case 5:
        case 6: return QStringLiteral("Zmena smeru zotriedenia (A)");
        case 7:
        case 8: return kMarkedOnlyHint;
        case 9: return QStringLiteral("Označ všetky záznamy (+)");
        case 10: return QStringLiteral("Odznač všetky záznamy (-)");
        case 11: return QStringLiteral("Ukáž záznam");
        case 12: return QStringLiteral("Informácie (I)");
        case 13: return QStringLiteral("Opakuj");
        case 14: return QStringLiteral("Kópia záznamu");
        case 15: return QStringLiteral("Ulož na disk");
        case 16: return QStringLiteral("Hľadaj v aktuálnom stĺpci (V)");
        case 17: return QStringLiteral("Filtrovanie záznamov (F)");
        case 18: return QStringLiteral("Zruš nadefinovaný filter (X)");
        case 20: return QStringLiteral("Súčet hodnôt zobrazený v spodnom riadku (S)");
        case 26: return QStringLiteral("Služby");
        default: return {};
        }
    }
    if (iconSize == 16) {
        switch (imageIndex) {
        case 3: return QStringLiteral("Zruš nadefinovaný filter (X)");
        case 4: return QStringLiteral("Obnovenie zobrazenia (R)");
        case 5: return QStringLiteral("Pridanie záznamu (P,F2)");
        case 6: return QStringLiteral("Oprava záznamu (O,F4)");
        case 7: return QStringLiteral("Vymazanie záznamu (DELETE,F8)");
        case 8: return QStringLiteral("Vykonaj");
        case 9: return QStringLiteral("Súčet hodnôt zobrazený v spodnom riadku (S)");
        case 10:
        case 11: return kMarkedOnlyHint;
        case 12: return QStringLiteral("Označ všetky záznamy (+)");
        case 13: return QStringLiteral("Odznač všetky záznamy (-)");
        default: return {};
        }
    }
    return {};
}

void SetupToolbarHints(QToolBar* toolbar)
{
    const int size = toolbar->iconSize().width();
    if (size != 32 && size != 16)
        return;
    for (QAction* action : toolbar->actions()) {
        if (action->isSeparator() || (!action->toolTip().trimmed().isEmpty() && action->toolTip() != action->text()))
            continue;
        const int image = ActionImage(action);
        const QString hint = image < 0 ? QString() : ToolbarHint(image, size);
        if (!hint.isEmpty())
            action->setToolTip(hint);
    }
}
