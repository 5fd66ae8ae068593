#pragma once

#include "db/MemTable.h"
#include "db/MigrationRunner.h"

#include <QDialog>

#include <memory>

class QLabel;
class QListWidget;
class QPushButton;

namespace fb {
class Connection;
}

// The runner's messages as the window shows them: the red error dialog, the
// plain message box, and database errors through the error translation.
void ReportThroughDialogs(MigrationRunner& runner);

// The migration window: shows the progress of each pass and closes itself once
// the database reaches the supported version.
class TfrmUpdate : public QDialog {
    Q_OBJECT
public:
    TfrmUpdate(fb::Connection& connection, int supportedVersion, QWidget* parent = nullptr);
    // The same with another package (tests).
    TfrmUpdate(fb::Connection& connection, int supportedVersion, const QByteArray& package, QWidget* parent = nullptr);
    ~TfrmUpdate() override;

    // False when the package holds fewer scripts than supported: the
    // application must end.
    bool packageUsable() const { return m_packageUsable; }
    MigrationRunner& runner() { return *m_runner; }

    void AddItem(const QString& line);

public slots:
    void btnGoClick();

private:
    void init(const QByteArray& package);

    fb::Connection& m_connection;
    int m_supported;
    MemTable m_table;
    std::unique_ptr<MigrationRunner> m_runner;
    bool m_packageUsable = true;

    QListWidget* lb = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* btnGo = nullptr;
};
