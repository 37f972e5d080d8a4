#include "port/system/version.h"

#include <atomic>
#include <cstring>

#include "port/system/control.h"
#include "port/system/lasterror.h"

#ifndef UMBRAVA_VERSION_MAJOR
#define UMBRAVA_VERSION_MAJOR 0
#define UMBRAVA_VERSION_MINOR 0
#define UMBRAVA_VERSION_PATCH 0
#endif
#ifndef UMBRAVA_PRODUCT_NAME
#define UMBRAVA_PRODUCT_NAME "Umbrava"
#endif
#ifndef UMBRAVA_BUILD_TAG
#define UMBRAVA_BUILD_TAG "umbrava"
#endif

namespace {

constexpr DWORD kMagic = 0x55564552u;  // marks a block made by GetFileVersionInfoA
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr size_t kTextSize = 64;

struct VersionBlock {
    DWORD magic;
    VS_FIXEDFILEINFO fixed;
    char productName[kTextSize];
    char internalName[kTextSize];
};

std::atomic<bool> gHidden{false};

void Fill(VersionBlock& block) {
    std::memset(&block, 0, sizeof block);
    block.magic = kMagic;
    block.fixed.dwSignature = 0xFEEF04BDu;
    block.fixed.dwStrucVersion = 0x00010000u;
    block.fixed.dwFileVersionMS = (UMBRAVA_VERSION_MAJOR << 16) | UMBRAVA_VERSION_MINOR;
    block.fixed.dwFileVersionLS = (UMBRAVA_VERSION_PATCH << 16) | 0;
    block.fixed.dwProductVersionMS = block.fixed.dwFileVersionMS;
    block.fixed.dwProductVersionLS = block.fixed.dwFileVersionLS;
    std::strncpy(block.productName, UMBRAVA_PRODUCT_NAME, kTextSize - 1);
    std::strncpy(block.internalName, UMBRAVA_BUILD_TAG, kTextSize - 1);
}

}  // namespace

namespace port::control {
void SetVersionInfoHidden(bool hidden) {
    gHidden.store(hidden);
}
}  // namespace port::control

DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle) {
    if (handle != nullptr) *handle = 0;
    if (path == nullptr || gHidden.load()) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return 0;
    }
    return sizeof(VersionBlock);
}

BOOL GetFileVersionInfoA(const char* path, DWORD, DWORD size, void* data) {
    if (path == nullptr || data == nullptr || gHidden.load()) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return FALSE;
    }
    if (size < sizeof(VersionBlock)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    VersionBlock block;
    Fill(block);
    std::memcpy(data, &block, sizeof block);
    return TRUE;
}

BOOL VerQueryValueA(const void* data, const char* subBlock, void** buffer, UINT* length) {
    if (data == nullptr || subBlock == nullptr || buffer == nullptr) return FALSE;
    auto* block = static_cast<VersionBlock*>(const_cast<void*>(data));
    if (block->magic != kMagic) return FALSE;
    const char* text = nullptr;
    if (std::strcmp(subBlock, "\\") == 0) {
        *buffer = &block->fixed;
        if (length != nullptr) *length = sizeof(VS_FIXEDFILEINFO);
        return TRUE;
    } else if (std::strcmp(subBlock, "\\StringFileInfo\\040904b0\\ProductName") == 0) {
        text = block->productName;
    } else if (std::strcmp(subBlock, "\\StringFileInfo\\040904b0\\InternalName") == 0) {
        text = block->internalName;
    } else {
        return FALSE;
    }
    *buffer = const_cast<char*>(text);
    if (length != nullptr) *length = static_cast<UINT>(std::strlen(text) + 1);
    return TRUE;
}
