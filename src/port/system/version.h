// The program's version data, as Windows keeps it in a program file: a fixed part with the file
// version, and texts under "\StringFileInfo\040904b0\". Here the data are the build's own
// constants, answered for the program's own path; a test can hide them (port/control.h).
#pragma once

#include "port/win32types.h"

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle);
BOOL GetFileVersionInfoA(const char* path, DWORD handle, DWORD size, void* data);
// "\" gives the VS_FIXEDFILEINFO; "\StringFileInfo\040904b0\ProductName" and "...\InternalName"
// give texts (length in characters, terminator included).
BOOL VerQueryValueA(const void* block, const char* subBlock, void** buffer, UINT* length);
