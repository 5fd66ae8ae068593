#pragma once

#include "register/HistoriaSql.h"

#include <QDialog>

#include <initializer_list>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// The change history of one job (newest first: when, who, which field, the
// old and the new value), or the list of deleted jobs, each of which opens
// its own history. Read-only; Esc closes. The history is read once, in one
// statement, before the window opens.
class TfrmHistoriaPrekladu : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Job, Deleted };
    TfrmHistoriaPrekladu(Kind kind, std::vector<HistoryRow> rows, const QString& title, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    const std::vector<HistoryRow>& rows() const { return m_rows; }

    QTableWidget* grHistoria = nullptr;
    // The whole of the current row's values (a long note does not fit a cell).
    QPlainTextEdit* eDetail = nullptr;
    QLabel* lblPocet = nullptr;
    QPushButton* btnZavri = nullptr;

    // The deleted job of the current row: its history (Enter, double click).
    void OpenCurrentJob();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill();
    void fitColumns(std::initializer_list<int> columns);
    void showDetail();

    Kind m_kind;
    std::vector<HistoryRow> m_rows;
};

// Reads the history of job `preklad` and shows it modally over `parent`
// (`title` names the job). False when the read failed (the error reported).
bool ShowJobHistory(const QVariant& preklad, const QString& title, QWidget* parent);
// The deleted jobs, newest deletion first.
bool ShowDeletedJobs(QWidget* parent);
