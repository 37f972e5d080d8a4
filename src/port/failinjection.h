// Failure injection, so that tests can make any stand-in for a Windows operation fail. Every
// such operation asks at entry whether it must fail:
//   - the Windows calls answered with a last error ask ShouldFail with their Windows name: the
//     port layer's own ("CreateMutexA", "GlobalAlloc" ...) and the file layer's ("CreateFileA",
//     "WriteFile", "FlushFileBuffers", "MoveFileExA", "CopyFileA", "MapViewOfFile"); an armed
//     failure leaves its error for GetLastError;
//   - the DirectDraw, Direct3D and DirectSound calls, answered with an HRESULT, run through
//     TracedCall with their name and a few arguments; an armed failure is answered instead of
//     the call, and every call with its result goes to the call log while a test keeps one.
// Tests arm failures by name (port/control.h: InjectFailure), optionally only for calls whose
// arguments match, and only after a number of matching calls succeeded. Unarmed and without a
// call log, asking costs one look at one flag.
//
// Any thread may call it.
#pragma once

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "port/win32types.h"

namespace port {

// One argument of a call, as injection predicates and the call log see it.
struct CallArg {
    const char* name;
    int64_t value;
    bool hex = false;  // written in hexadecimal in the call log (flags, capabilities)
};

// A call of an operation; the Windows calls carry no arguments.
struct CallInfo {
    const char* operation;
    std::initializer_list<CallArg> args;

    bool Has(const char* name) const;
    // The named argument's value, `missing` when the call has none of that name.
    int64_t Arg(const char* name, int64_t missing = 0) const;
    // "name=value name=value ...", for the call log.
    std::string Brief() const;
};

// True (and the armed error set as the last error) when the operation must fail this time.
bool ShouldFail(const char* operation);

// True while a failure is armed or a test keeps the call log; set and cleared only with the
// failure table locked. Without either, a call runs its body and nothing else.
extern std::atomic<bool> gCallHooksOn;

// True, with the armed result, when the call must fail this time.
bool ShouldFailCall(const CallInfo& call, HRESULT* result);
// Adds the call and its result to the call log while a test keeps one.
void RecordCall(const CallInfo& call, HRESULT result);

// Whether calls are watched (a failure armed or a call log kept). Tested inline: the device
// answers thousands of calls a frame, nearly always unwatched. Its per-draw calls ask first, so
// that unwatched they do not even build their argument lists.
inline bool CallsWatched() {
    // Expected false, so the compiler moves the watched paths out of the calls' hot code.
    return __builtin_expect(gCallHooksOn.load(std::memory_order_acquire), false);
}

// Runs an operation answered with an HRESULT: an armed failure is answered instead of `body`, and
// the call goes to the call log with its result.
template <typename Body>
HRESULT TracedCall(const char* operation, std::initializer_list<CallArg> args, Body&& body) {
    if (!CallsWatched()) return body();
    CallInfo call{operation, args};
    HRESULT result;
    if (!ShouldFailCall(call, &result)) result = body();
    RecordCall(call, result);
    return result;
}

}  // namespace port
