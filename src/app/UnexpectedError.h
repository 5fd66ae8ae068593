#pragma once

#include <exception>

// The plain box for an error that no window handled: a failed reconnect shows
// its cause here. The program's handler of unexpected errors is the exception
// dialog (maintenance/fExceptionDialog.h, installed by LindavoApplication).
void ShowUnexpectedError(const std::exception& error);
void ShowUnexpectedError(const char* what);

// Makes ShowUnexpectedError the handler of errors that escape a guarded slot
// (framework/SlotGuard.h) in place of the dialog, for tests that read the
// plain box's text.
void InstallUnexpectedErrorHandler();
