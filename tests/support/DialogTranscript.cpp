#include "support/DialogTranscript.h"

DialogTranscript::DialogTranscript(std::optional<int> fallback) : m_fallback(fallback)
{
    m_previous = setDialogResponder([this](const DialogRequest& r) { return respond(r); });
}

DialogTranscript::~DialogTranscript()
{
    setDialogResponder(std::move(m_previous));
}

DialogTranscript& DialogTranscript::answer(int result)
{
    m_answers.enqueue(result);
    return *this;
}

int DialogTranscript::respond(const DialogRequest& request)
{
    m_requests.append(request);
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return m_fallback.value_or(request.defaultResult);
}

const char* dialogKindName(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Standard:
        return "Standard";
    case DialogKind::Red:
        return "Red";
    case DialogKind::Gray:
        return "Gray";
    case DialogKind::Plain:
        return "Plain";
    }
    return "?";
}
