#pragma once

#include "register/DeadlineSql.h"

#include <QGroupBox>

#include <optional>

class QPushButton;
class QTimer;

// The main window's deadlines at a glance: how many jobs not yet sent are
// late, due today and due tomorrow. Each count is a button that asks for the
// register with exactly those jobs.
//
// The counts are read again whenever the window that holds the panel is shown
// (coming back from another window) and every five minutes. They are read on
// the main connection and only while somebody is logged in; a failed read
// shows "?" rather than a dialog, since nobody asked for it.
class DeadlineCountsPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit DeadlineCountsPanel(QWidget* parent = nullptr);

    // Reads the counts now (today from the program's clock).
    void refresh();
    // What the buttons show: nothing read yet (or nobody logged in), or the counts.
    const std::optional<DeadlineCounts>& counts() const { return m_counts; }

    static constexpr int kRefreshMs = 5 * 60 * 1000;

    QPushButton* btnPoTermine = nullptr;
    QPushButton* btnDnes = nullptr;
    QPushButton* btnZajtra = nullptr;
    QTimer* tmRefresh = nullptr;

signals:
    void openRegister(DeadlineFilter filter);

protected:
    // The panel is shown with its window: each time the main window comes back.
    void showEvent(QShowEvent* event) override;

private:
    void display(const std::optional<DeadlineCounts>& counts, const QString& problem = {});

    std::optional<DeadlineCounts> m_counts;
};
