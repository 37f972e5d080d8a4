// The one log line of every DirectX failure:
//   "DX Error: <empty> (0x<result>), File <source file>, Line <line>"
// An out-of-video-memory result first switches the display to its low-memory mode
// (TPlatform::OutOfVideoMemory), so the mode is on before anyone reads the line.
//
// Any thread may call it (the log serialises its writers).
#pragma once

#include "port/win32types.h"

void LogDXError(HRESULT result, const char* file, int line);

// The reporting file's name without its folders, where the compiler gives it.
#if defined(__FILE_NAME__)
#define DX_SOURCE_FILE __FILE_NAME__
#else
#define DX_SOURCE_FILE __FILE__
#endif

// Logs the failure with the calling source file and line.
#define LOG_DX_ERROR(result) LogDXError((result), DX_SOURCE_FILE, __LINE__)
