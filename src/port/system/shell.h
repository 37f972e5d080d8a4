// The program's place in the file system: its own path, the current directory, full paths, the
// special folders for per-user data, shared data and the desktop, and opening links.
//
// Paths are the system's own ('/'-separated); where a Windows caller would pass backslashes they
// are read as separators. Text results follow the Windows protocol: the length copied, or, when
// the buffer is too small, the size needed including the terminator (0 on failure).
#pragma once

#include "port/system/showcommand.h"
#include "port/win32types.h"

// Special folder ids for SHGetFolderPathA.
constexpr int CSIDL_DESKTOP = 0x0000;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
constexpr int CSIDL_APPDATA = 0x001A;
constexpr int CSIDL_COMMON_APPDATA = 0x0023;
constexpr int CSIDL_FLAG_CREATE = 0x8000;

// A null module is the program itself.
DWORD GetModuleFileNameA(HMODULE module, char* buffer, DWORD size);
// The identity: there are no short names here, and the answer must stay stable because names
// and the installation key are made from it.
DWORD GetShortPathNameA(const char* longPath, char* buffer, DWORD size);
DWORD GetCurrentDirectoryA(DWORD size, char* buffer);
BOOL SetCurrentDirectoryA(const char* path);
// The absolute, normalised form of a path, which need not exist. filePart (optional) receives the
// position of the last component in the buffer.
DWORD GetFullPathNameA(const char* name, DWORD size, char* buffer, char** filePart);
UINT GetSystemDirectoryA(char* buffer, UINT size);

// The folder without a trailing separator, into a MAX_PATH buffer. CSIDL_FLAG_CREATE creates it
// when missing. Fails (E_FAIL) when the folder is unknown or cannot be made.
HRESULT SHGetFolderPathA(HWND owner, int folder, HANDLE token, DWORD flags, char* path);

// Opens a link with the system's opener, started with an argument vector (never a shell). Only
// http:, https: and mailto: links are opened; anything else is refused and logged. The link is the
// file, or, when the file names a program, its parameters. Answers a value above 32 on success.
HINSTANCE ShellExecuteA(HWND owner, const char* operation, const char* file, const char* parameters,
                        const char* directory, int showCommand);
