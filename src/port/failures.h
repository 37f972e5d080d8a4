// Internal: failure injection. Port operations ask ShouldFail with their own name at entry; when a
// test armed that name (port/control.h), the operation fails with the armed error, which it leaves
// for GetLastError.
#pragma once

namespace port {

// True (and the armed error set as the last error) when the operation must fail this time.
bool ShouldFail(const char* operation);

}  // namespace port
