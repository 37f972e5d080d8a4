// Failure injection, so that tests can make any stand-in for a Windows operation fail. Every
// such operation asks ShouldFail with its Windows name at entry: the port layer's own
// ("CreateMutexA", "GlobalAlloc" ...) and the file layer's ("CreateFileA", "WriteFile",
// "FlushFileBuffers", "MoveFileExA", "CopyFileA", "MapViewOfFile"). When a test armed that name
// (port/control.h: InjectFailure), the operation fails with the armed error, which ShouldFail
// leaves for GetLastError. Unarmed, it answers false at the cost of one look at an empty table.
//
// Any thread may call it.
#pragma once

namespace port {

// True (and the armed error set as the last error) when the operation must fail this time.
bool ShouldFail(const char* operation);

}  // namespace port
