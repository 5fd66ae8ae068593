#pragma once

#include <QString>

#include <exception>

// Reports a database error to the user in Slovak where the program knows what
// it means. Returns 0 when the error is not handled (the caller raises it
// again), otherwise a non-zero value telling what was reported: the server
// code, 2001 / 2002 for the job foreign keys, 2003 / 2004 for a language
// combination or unit still in use, -1 for a refused login,
// kClientErrorReported for a refusal of the client layer itself (its Slovak
// text shown once, as it stands). An error it shows is never raised again; one
// it returns 0 for shows nothing. Anything that is not an fb::Error gives 0.
constexpr int kClientErrorReported = -2;
// What the user reads when the link to the database broke.
extern const QString kConnectionLostText;
int TranslateDbError(const std::exception& error);
