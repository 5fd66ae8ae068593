#pragma once

#include <QString>
#include <QStringList>

namespace fb {
class Connection;
}

// Splits a script of statements each followed by a line holding only "^"
// (a leading "SET TERM ^ ;" line is skipped, as isql needs it and the client
// does not). Blank statements and comment-only statements are dropped.
QStringList SplitSqlScript(const QString& script);

// The statements of the version-0 schema carried by the program.
QStringList BaseSchemaStatements();

// Creates a new database file (dialect 3, WIN1250, page size 8192) at version 0.
void CreateBaseDatabase(const QString& path, const QString& user, const QString& password);

// Runs statements on an open connection, each committed on its own (DDL takes
// effect at commit, and later statements use the objects made before).
void ExecuteStatements(fb::Connection& connection, const QStringList& statements);
