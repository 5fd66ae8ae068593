#pragma once

#include "maintenance/BackupState.h"

#include <QLabel>

// The main window's line with the date of the newest verified backup: red when
// it is more than seven days old, when there is none, or when the last check
// failed (the reason in the tooltip).
class TBackupStatusLabel : public QLabel {
    Q_OBJECT
public:
    explicit TBackupStatusLabel(QWidget* parent = nullptr);

    void showStatus(const BackupStatus& status, const QDate& today);
    // While the automatic backup runs.
    void showRunning();
    bool alarming() const { return m_alarming; }

private:
    void setAlarming(bool alarming);
    void fitText(const QString& text);
    bool m_alarming = false;
    qreal m_pointSize = 9;
};
