#pragma once

#include "fb/Connection.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A fresh database file for one test, opened through the embedded engine.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();

    const QString& path() const { return m_path; }
    fb::Connection& connection() { return *m_connection; }
    // Another attachment to the same file: a second workstation.
    std::unique_ptr<fb::Connection> openSecond() const;
    // Runs DDL or DML statements, each in its own transaction.
    void exec(const QStringList& statements);

    static QStringList params();
    static constexpr const char* user = "SYSDBA";
    static constexpr const char* password = "masterkey";

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<fb::Connection> m_connection;
};
