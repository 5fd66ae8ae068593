#pragma once

#include <concepts>
#include <exception>
#include <functional>
#include <utility>

// Qt does not support exceptions leaving a slot or an event handler: a window
// runs the body of every slot that can meet an error inside runReportingUnexpected (or
// connects guarded(...)), and an escaping error goes to the program's
// unexpected-error handler. The window stays open and usable.

using UnexpectedErrorHandler = std::function<void(std::exception_ptr)>;
// The program installs its error dialog here; without one the error is
// written to the log.
void setUnexpectedErrorHandler(UnexpectedErrorHandler handler);
void reportUnexpectedError(std::exception_ptr error);

// Runs `body`; true when nothing escaped it.
bool runReportingUnexpected(const std::function<void()>& body);

// A slot for connect(): connect(button, &QPushButton::clicked, this, guarded([this] { save(); })).
// The constraint lets Qt count the arguments the body takes.
template <class F>
auto guarded(F body)
{
    return [body = std::move(body)]<class... Args>(Args&&... args) -> void
        requires std::invocable<const F&, Args...>
    {
        runReportingUnexpected([&] { std::invoke(body, std::forward<Args>(args)...); });
    };
}
