#pragma once

#include <functional>

class QWidget;

// Runs `callback` on the next modal window that opens (one other than the modal
// window active right now), so a test can drive a window shown with exec().
// Polls from the event loop; after `timeoutMs` without a new modal window the
// test fails and the callback is dropped.
void onNextModal(std::function<void(QWidget*)> callback, int timeoutMs = 5000);
