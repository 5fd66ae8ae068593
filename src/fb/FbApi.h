#pragma once

// Internal to the fb library: the Firebird OO API entry points and the conversion
// of its failures into fb::Error. Nothing outside src/fb includes this header.

#include "fb/Error.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QString>

#include <utility>

namespace fb::detail {

Firebird::IMaster* master();
Firebird::IUtil* util();
Firebird::IProvider* provider();

// Builds an fb::Error from a status vector (codes in order + formatted text).
Error errorFromStatus(const Firebird::IStatus* status);

// A status object for one call sequence; `wrapper` throws FbException on error.
class Status {
public:
    Status();
    ~Status();
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;
    Firebird::ThrowStatusWrapper* operator&() { return &m_wrapper; }
    Firebird::ThrowStatusWrapper& wrapper() { return m_wrapper; }

private:
    Firebird::IStatus* m_status;
    Firebird::ThrowStatusWrapper m_wrapper;
};

// Runs f(status) and turns a Firebird exception into fb::Error.
template <typename F>
auto call(F&& f)
{
    Status status;
    try {
        return f(&status);
    } catch (const Firebird::FbException& e) {
        throw errorFromStatus(e.getStatus());
    }
}

// Owning handle for a Firebird interface: released (or disposed) exactly once.
template <typename T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : m_p(p) {}
    ~Ref() { reset(); }
    Ref(Ref&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
    Ref& operator=(Ref&& o) noexcept
    {
        if (this != &o) {
            reset();
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // Gives up ownership without releasing (after a call that released it already).
    T* detach() { return std::exchange(m_p, nullptr); }
    void reset(T* p = nullptr)
    {
        if (m_p) {
            // reference-counted interfaces are released, disposable ones disposed
            if constexpr (requires { m_p->release(); })
                m_p->release();
            else
                m_p->dispose();
        }
        m_p = p;
    }

private:
    T* m_p = nullptr;
};

// Encodes program text for the wire; throws fb::Error naming the character WIN1250 lacks.
QByteArray encodeText(const QString& text);

}  // namespace fb::detail
