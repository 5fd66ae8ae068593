#pragma once

#include <QString>

namespace fb {
class Connection;
}

// The database's schema as one readable script, from the system tables:
// domains, sequences, exceptions, tables with their keys, indexes, views,
// procedures, functions and triggers with their bodies, each kind in name
// order. The schema a newcomer reads without replaying every update script
// (src/db/schema/current.sql is this text of a freshly migrated database).
QString SchemaText(fb::Connection& connection);
