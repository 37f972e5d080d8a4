#include "port/system/module.h"

#include <dlfcn.h>
#include <strings.h>

#include <cstring>

#include "port/failinjection.h"
#include "port/system/lasterror.h"

HMODULE LoadLibraryA(const char* name) {
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (port::ShouldFail("LoadLibraryA")) return nullptr;
    size_t length = std::strlen(name);
    if (length >= 4 && strcasecmp(name + length - 4, ".dll") == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void* library = dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
    return reinterpret_cast<HMODULE>(library);
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    if (module == nullptr || name == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* symbol = dlsym(module, name);
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
    if (module == nullptr || dlclose(module) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
