#include "reports/fEPrekladyTlac.h"

#include "controls/QDLBtn.h"
#include "framework/SlotGuard.h"
#include "framework/UiHelpers.h"
#include "reports/fEPrekladyTlacHodnotenie.h"
#include "reports/fEPrekladyTlacZiskovost.h"
#include "reports/fEPrekladyTlacZiskovostMesacna.h"
#include "reports/fEPrekladyTlacZoznam.h"

#include <QKeyEvent>

#include <algorithm>

TfrmEPrekladyTlac::TfrmEPrekladyTlac(ReportDialogCalls calls, QWidget* parent)
    : TFormUni(parent), m_calls(std::move(calls))
{
    setWindowTitle(QStringLiteral("Výber zostavy pre tlač"));

    struct Item {
        TQDLBtn** button;
        const char* name;
        const char* caption;
        std::function<void()> open;
    };
    const Item items[] = {
        {&btnZoznamObjednavatel, "btnZoznamObjednavatel", "&1. Zoznam prekladov podľa objednávateľov",
         [this] { runDialog<TfrmEPrekladyTlacZoznam>(0); }},
        {&btnZoznamPrekladatel, "btnZoznamPrekladatel", "&2. Zoznam prekladov podľa prekladateľov",
         [this] { runDialog<TfrmEPrekladyTlacZoznam>(1); }},
        {&btnZoznamPM, "btnZoznamPM", "&3. Zoznam prekladov podľa PM", [this] { runDialog<TfrmEPrekladyTlacZoznam>(2); }},
        {&btnZiskovostObjednavatelov, "btnZiskovostObjednavatelov", "&4. Ziskovosť prekladov podľa objednávateľov",
         [this] { runDialog<TfrmEPrekladyTlacZiskovost>(0); }},
        {&btnZiskovostPrekladatelov, "btnZiskovostPrekladatelov", "&5. Ziskovosť prekladov podľa prekladateľov",
         [this] { runDialog<TfrmEPrekladyTlacZiskovost>(1); }},
        {&btnZiskovostPM, "btnZiskovostPM", "&6. Ziskovosť prekladov podľa PM",
         [this] { runDialog<TfrmEPrekladyTlacZiskovost>(2); }},
        {&btnZiskovostMesacna, "btnZiskovostMesacna", "&7. Ziskovosť prekladov po mesiacoch",
         [this] { runDialog<TfrmEPrekladyTlacZiskovostMesacna>(0); }},
        {&btnHodnoteniePrekladatelov, "btnHodnoteniePrekladatelov", "&8. Hodnotenie prekladateľov",
         [this] { runDialog<TfrmEPrekladyTlacHodnotenie>(0); }},
    };
    const int height = 25, gap = 3, top = 8;
    int y = top;
    // 286 wide, or wider where the system's font needs it for the longest caption.
    int width = 286;
    for (const Item& item : items) {
        auto* b = new TQDLBtn(QString::fromUtf8(item.caption), this);
        b->setObjectName(QString::fromLatin1(item.name));
        b->setAutoDefault(false);
        width = std::max(width, b->sizeHint().width() + 16);
        b->move(8, y);
        y += height + gap;
        connect(b, &QPushButton::clicked, this, guarded(item.open));
        *item.button = b;
    }
    for (TQDLBtn* b : findChildren<TQDLBtn*>())
        b->resize(width - 16, height);
    setFixedSize(width, 237);
}

template <class Dialog>
void TfrmEPrekladyTlac::runDialog(int mode)
{
    Dialog dialog(m_calls, this);
    dialog.setReportMode(mode);
    dialog.Run();
}

bool TfrmEPrekladyTlac::keyPreview(QKeyEvent* event)
{
    if (ShiftCtrlAlt(event) == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        reject();
        return true;
    }
    return TFormUni::keyPreview(event);
}

void RunEPrekladyTlac(ReportDialogCalls calls)
{
    TfrmEPrekladyTlac menu(std::move(calls));
    menu.exec();
}
