#include "framework/MainConnection.h"

#include <stdexcept>

namespace {
fb::Connection* g_connection = nullptr;
}

void setMainConnection(fb::Connection* connection)
{
    g_connection = connection;
}

fb::Connection& mainConnection()
{
    if (!g_connection)
        throw std::logic_error("No main database connection is registered (setMainConnection was not called)");
    return *g_connection;
}

bool hasMainConnection()
{
    return g_connection != nullptr;
}

namespace {

bool g_lost = false;

}  // namespace

void markMainConnectionLost()
{
    g_lost = true;
}

bool mainConnectionLost()
{
    return g_lost;
}

std::function<void()>& mainConnectionReopen()
{
    static std::function<void()> reopen;
    return reopen;
}

void ReopenMainConnectionIfLost()
{
    if (!g_lost || !mainConnectionReopen())
        return;
    mainConnectionReopen()();
    g_lost = false;
}
