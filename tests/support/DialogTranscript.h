#pragma once

#include "framework/Dialogs.h"

#include <QList>
#include <QQueue>

#include <optional>

// Records every dialog the code under test shows and answers it instead of the
// user: from the queue of scripted answers while it lasts, then with the
// fallback answer, or, without one, with the request's own default result.
// Restores the previous responder when destroyed.
class DialogTranscript {
public:
    explicit DialogTranscript(std::optional<int> fallback = std::nullopt);
    ~DialogTranscript();
    DialogTranscript(const DialogTranscript&) = delete;
    DialogTranscript& operator=(const DialogTranscript&) = delete;

    DialogTranscript& answer(int result);

    const QList<DialogRequest>& requests() const { return m_requests; }
    const DialogRequest& last() const { return m_requests.constLast(); }
    qsizetype count() const { return m_requests.size(); }
    void clear() { m_requests.clear(); }

private:
    int respond(const DialogRequest& request);

    QList<DialogRequest> m_requests;
    QQueue<int> m_answers;
    std::optional<int> m_fallback;
    DialogResponder m_previous;
};

const char* dialogKindName(DialogKind kind);
