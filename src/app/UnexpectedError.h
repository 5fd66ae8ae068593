#pragma once

#include <exception>

// Shows an error that no window handled. The full exception dialog with the
// error log replaces the body of this function; callers stay as they are.
void ShowUnexpectedError(const std::exception& error);
void ShowUnexpectedError(const char* what);
