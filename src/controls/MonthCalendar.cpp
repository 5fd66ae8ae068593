#include "controls/MonthCalendar.h"

#include "framework/UserSettings.h"
#include "framework/UiHelpers.h"
#include "framework/WindowPlacement.h"

#include <QCalendarWidget>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

TfrmMonthCalendar::TfrmMonthCalendar(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMonthCalendar"));
    setWindowTitle(QStringLiteral("Zvoľte dátum..."));
    m_calendar = new QCalendarWidget(this);
    m_calendar->setObjectName(QStringLiteral("MonthCalendar1"));
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    m_calendar->setGridVisible(false);
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_calendar);
    connect(m_calendar, &QCalendarWidget::activated, this, [this] { accept(); });
    // Enter and Esc reach the dialog through the calendar's table.
    if (auto* view = m_calendar->findChild<QTableView*>())
        view->installEventFilter(this);
    m_calendar->installEventFilter(this);

    resize(205, 187);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    RestorePlacement(this, settingsKey(), Placement::PositionAndSize);
}

TfrmMonthCalendar::~TfrmMonthCalendar() = default;

QDate TfrmMonthCalendar::date() const
{
    return m_calendar->selectedDate();
}

void TfrmMonthCalendar::setDate(const QDate& date)
{
    m_calendar->setSelectedDate(date);
}

bool TfrmMonthCalendar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (isEnterKey(key)) {
            accept();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmMonthCalendar::done(int result)
{
    StorePlacement(this, settingsKey(), Placement::PositionAndSize);
    QDialog::done(result);
}
