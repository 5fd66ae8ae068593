#pragma once

#include "fb/Connection.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <QVariantMap>

#include <map>
#include <memory>

// A fresh database file for one test, opened through the embedded engine.
// Empty: only the file. Base: the version-0 schema. Migrated: the current
// schema (a template made once per test program, copied for each test).
class TestDatabase {
public:
    enum Kind { Empty, Base, Migrated };
    explicit TestDatabase(Kind kind = Empty);
    ~TestDatabase();

    const QString& path() const { return m_path; }
    fb::Connection& connection() { return *m_connection; }
    // Another attachment to the same file: a second workstation.
    std::unique_ptr<fb::Connection> openSecond() const;
    // Runs DDL or DML statements (no parameter scan), each in its own transaction.
    void exec(const QStringList& statements);
    // The first column of the first row of a query, in a read-only transaction.
    QVariant scalar(const QString& sql);
    // Every row of a table with a JEDIN key, column name -> value, by key.
    std::map<qint64, QVariantMap> rows(const QString& table);

    static QStringList params();
    static constexpr const char* user = "SYSDBA";
    static constexpr const char* password = "masterkey";

private:
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<fb::Connection> m_connection;
};
