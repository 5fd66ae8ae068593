// The program's own __cxa_throw: it records the thrower's stack and passes the
// throw on to the next definition in the lookup order (the C++ runtime, or a
// sanitizer's interceptor in front of it). The definition in the executable
// comes first for every module, the C++ runtime's own throws included.
// No <cxxabi.h> here: its declaration would clash with this definition.
#include "platform/StackCapture.h"

#include <dlfcn.h>
#include <execinfo.h>
#include <time.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxFrames = 64;
constexpr int kRecords = 8;  // a handler may throw and catch a few of its own meanwhile

struct ThrowRecord {
    void* object = nullptr;
    timespec time{};
    int count = 0;
    void* frames[kMaxFrames];
};

// Fixed storage: a throw of std::bad_alloc must not need memory.
thread_local ThrowRecord t_records[kRecords];
thread_local unsigned t_next = 0;

using CxaThrow = void (*)(void*, void*, void (*)(void*));

CxaThrow nextThrow()
{
    static const CxaThrow next = reinterpret_cast<CxaThrow>(dlsym(RTLD_NEXT, "__cxa_throw"));
    return next;
}

void* objectOf(const std::exception_ptr& error)
{
    // libstdc++'s exception_ptr is the thrown object's address and nothing else.
    static_assert(sizeof(std::exception_ptr) == sizeof(void*));
    void* object = nullptr;
    std::memcpy(&object, &error, sizeof object);
    return object;
}

CapturedStack toStack(const timespec& time, void* const* frames, int count)
{
    CapturedStack s;
    s.frames.reserve(count);
    for (int i = 0; i < count; ++i)
        s.frames.push_back(reinterpret_cast<std::uintptr_t>(frames[i]));
    if (!s.frames.empty())
        s.throwAddress = s.frames.front();
    s.captured = QDateTime::fromMSecsSinceEpoch(qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000);
    return s;
}

// Where the caller's frame starts: the frames before it are this file's own
// and, in a sanitizer build, the sanitizer's wrapper around backtrace().
int thrower(void* const* frames, int n, void* returnAddress)
{
    for (int i = 0; i < n; ++i)
        if (frames[i] == returnAddress)
            return i;
    return n > 1 ? 1 : 0;
}

}  // namespace

// The signature the compiler itself declares (the type_info as void*).
extern "C" [[noreturn]] void __cxa_throw(void* object, void* type, void (*destructor)(void*))
{
    ThrowRecord& r = t_records[t_next++ % kRecords];
    r.object = nullptr;  // half-written records are never matched
    clock_gettime(CLOCK_REALTIME, &r.time);
    void* frames[kMaxFrames + 2];
    const int n = backtrace(frames, kMaxFrames + 2);
    const int first = thrower(frames, n, __builtin_return_address(0));
    r.count = std::min(n - first, kMaxFrames);
    std::memcpy(r.frames, frames + first, sizeof(void*) * r.count);
    r.object = object;
    nextThrow()(object, type, destructor);
    __builtin_unreachable();
}

CapturedStack StackOfException(const std::exception_ptr& error)
{
    void* object = objectOf(error);
    if (!object)
        return {};
    // Newest first: an address freed and reused belongs to the later throw.
    for (unsigned i = 1; i <= kRecords; ++i) {
        const ThrowRecord& r = t_records[(t_next - i) % kRecords];
        if (r.object == object)
            return toStack(r.time, r.frames, r.count);
    }
    return {};
}

CapturedStack CaptureStackHere(int skip)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    void* frames[kMaxFrames + 2];
    const int n = backtrace(frames, kMaxFrames + 2);
    const int drop = std::min(n, thrower(frames, n, __builtin_return_address(0)) + std::max(skip, 0));
    return toStack(now, frames + drop, std::min(n - drop, kMaxFrames));
}
