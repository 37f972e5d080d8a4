// Conversions between 8-bit text and UTF-16, by code page. Two code pages exist here: UTF-8
// (CP_UTF8) and Windows-1252, which is also the "ANSI" code page (CP_ACP) of the A calls.
//
// The Windows protocol holds: a length of -1 converts up to and including the terminator; an
// output size of 0 asks for the size needed; a buffer too small answers 0 with
// ERROR_INSUFFICIENT_BUFFER. Malformed UTF-8 becomes U+FFFD, or fails with
// ERROR_NO_UNICODE_TRANSLATION under MB_ERR_INVALID_CHARS; a character that Windows-1252 lacks
// becomes the default character ("?" unless one is given).
//
// Any thread may call these.
#pragma once

#include "port/win32types.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_WINDOWS_1252 = 1252;
constexpr UINT CP_UTF8 = 65001;

constexpr DWORD MB_ERR_INVALID_CHARS = 0x00000008;

int MultiByteToWideChar(UINT codePage, DWORD flags, const char* text, int length, WCHAR* wide,
                        int wideSize);
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* wide, int length, char* text,
                        int size, const char* defaultChar, BOOL* usedDefault);
