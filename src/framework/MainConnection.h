#pragma once

namespace fb {
class Connection;
}

// The one database connection of the running program. The main window registers
// it at start; tests register their own. Helpers that make transactions use it.
void setMainConnection(fb::Connection* connection);

// Throws std::logic_error when no connection has been registered.
fb::Connection& mainConnection();

bool hasMainConnection();
