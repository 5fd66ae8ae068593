#include "app/DeadlineCountsPanel.h"

#include "fb/Error.h"
#include "fb/Transaction.h"
#include "framework/Clock.h"
#include "framework/MainConnection.h"
#include "framework/Session.h"
#include "framework/SlotGuard.h"
#include "framework/TransactionHelpers.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>

namespace {

QPushButton* countButton(const char* name, QWidget* parent)
{
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFlat(true);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setCursor(Qt::PointingHandCursor);
    QFont bold = b->font();
    bold.setBold(true);
    b->setFont(bold);
    return b;
}

// Red for late jobs, orange for today's, the plain text for tomorrow's; a
// count of none is plain whatever it counts.
void paint(QPushButton* b, int count, const QColor& colour)
{
    b->setStyleSheet(count > 0 && colour.isValid() ? QStringLiteral("color: %1").arg(colour.name()) : QString());
}

}  // namespace

DeadlineCountsPanel::DeadlineCountsPanel(QWidget* parent) : QGroupBox(QStringLiteral("Neodoslané preklady:"), parent)
{
    setObjectName(QStringLiteral("pnlTerminy"));
    btnPoTermine = countButton("btnPoTermine", this);
    btnDnes = countButton("btnDnes", this);
    btnZajtra = countButton("btnZajtra", this);
    btnPoTermine->setToolTip(QStringLiteral("Neodoslané preklady, ktorých termín už uplynul"));
    btnDnes->setToolTip(QStringLiteral("Neodoslané preklady s termínom dnes"));
    btnZajtra->setToolTip(QStringLiteral("Neodoslané preklady s termínom zajtra"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 0, 2, 2);
    row->setSpacing(2);
    for (QPushButton* b : {btnPoTermine, btnDnes, btnZajtra})
        row->addWidget(b, 1);
    const auto open = [this](QPushButton* b, DeadlineFilter filter) {
        connect(b, &QPushButton::clicked, this, guarded([this, filter] { emit openRegister(filter); }));
    };
    open(btnPoTermine, DeadlineFilter::Late);
    open(btnDnes, DeadlineFilter::Today);
    open(btnZajtra, DeadlineFilter::Tomorrow);

    tmRefresh = new QTimer(this);
    tmRefresh->setObjectName(QStringLiteral("tmRefresh"));
    tmRefresh->setInterval(kRefreshMs);
    // Behind another window the counts wait: showing the main window again
    // reads them anyway, and no read runs under a window's own work.
    connect(tmRefresh, &QTimer::timeout, this, [this] {
        if (isVisible())
            refresh();
    });
    tmRefresh->start();
    display(std::nullopt);
}

void DeadlineCountsPanel::refresh()
{
    if (!hasMainConnection() || sessionUser().isNull()) {
        display(std::nullopt);
        return;
    }
    try {
        fb::Transaction tr(mainConnection(), TransactionParams(true, true));
        tr.start();
        const DeadlineCounts counts = ReadDeadlineCounts(tr, Clock::today());
        tr.commit();
        display(counts);
    } catch (const fb::Error& e) {
        display(std::nullopt, e.message());
    }
}

void DeadlineCountsPanel::display(const std::optional<DeadlineCounts>& counts, const QString& problem)
{
    m_counts = counts;
    const auto number = [&](int DeadlineCounts::*field) {
        return counts ? QString::number((*counts).*field) : QStringLiteral("?");
    };
    btnPoTermine->setText(QStringLiteral("Po &termíne: ") + number(&DeadlineCounts::late));
    btnDnes->setText(QStringLiteral("&Dnes: ") + number(&DeadlineCounts::today));
    btnZajtra->setText(QStringLiteral("Za&jtra: ") + number(&DeadlineCounts::tomorrow));
    paint(btnPoTermine, counts ? counts->late : 0, QColor(Qt::red));
    paint(btnDnes, counts ? counts->today : 0, QColor(230, 120, 0));
    paint(btnZajtra, 0, QColor());
    for (QPushButton* b : {btnPoTermine, btnDnes, btnZajtra})
        b->setEnabled(bool(counts));
    setToolTip(problem.isEmpty() ? QString() : QStringLiteral("Počty sa nepodarilo načítať: ") + problem);
}

void DeadlineCountsPanel::showEvent(QShowEvent* event)
{
    QGroupBox::showEvent(event);
    refresh();
}
