#pragma once

#include <exception>

// Shows an error that no window handled. The full exception dialog with the
// error log replaces the body of this function; callers stay as they are.
void ShowUnexpectedError(const std::exception& error);
void ShowUnexpectedError(const char* what);

// Makes ShowUnexpectedError the handler of errors that escape a guarded slot
// (framework/SlotGuard.h). The program does this at start-up.
void InstallUnexpectedErrorHandler();
