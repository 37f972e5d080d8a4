// Message boxes. Every box is recorded (port/window/control.h). The headless backend never
// blocks: it answers the box's first button (IDOK for MB_OK), or what a test asked for; the
// sdl backend shows the box and waits for the user. Texts are the program's 8-bit text; text
// that is not UTF-8 is shown as Windows-1252.
//
// Any thread may call it.
#pragma once

#include <string>

#include "port/win32types.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The button chosen; 0 on failure.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT flags);

namespace port {

// A box as the program asked for it: what the backend shows and tests read back.
struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
};

}  // namespace port
