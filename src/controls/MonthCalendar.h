#pragma once

#include "framework/SettingsRoots.h"

#include <QDate>
#include <QDialog>

class QCalendarWidget;

// TfrmMonthCalendar: a window 205 by 187 pixels, centred, captioned
// "Zvoľte dátum...", filled by a month calendar with week numbers. Enter or a
// double-click closes it with OK, Esc with Cancel; Left / Right move one day,
// Up / Down one week. Its position and size are remembered in the per-user
// settings store under settingsroot::Lindavo + "\TfrmMonthCalendar" (Left,
// Top, Width, Height).
class TfrmMonthCalendar : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMonthCalendar(QWidget* parent = nullptr);
    ~TfrmMonthCalendar() override;

    QDate date() const;
    void setDate(const QDate& date);
    QCalendarWidget* calendar() const { return m_calendar; }

    static QString settingsKey() { return QString(settingsroot::Lindavo) + QStringLiteral("\\TfrmMonthCalendar"); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    QCalendarWidget* m_calendar;
};
