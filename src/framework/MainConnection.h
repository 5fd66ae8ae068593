#pragma once

#include <functional>

namespace fb {
class Connection;
}

// The one database connection of the running program. The main window registers
// it at start; tests register their own. Helpers that make transactions use it.
void setMainConnection(fb::Connection* connection);

// Throws std::logic_error when no connection has been registered.
fb::Connection& mainConnection();

bool hasMainConnection();

// A lost connection (the server restarted, the network dropped): the error
// translation marks it, and the next unit of work on the main connection
// reopens it first, through the hook the main window installs (the same
// settings, the same user). Throws fb::Error while the server still cannot
// be reached; the mark stays then.
void markMainConnectionLost();
bool mainConnectionLost();
std::function<void()>& mainConnectionReopen();
void ReopenMainConnectionIfLost();
