// What the DirectX stand-ins (display, device, sound) share: interface identifiers, the IUnknown
// base with its reference counting, and the generic HRESULTs. Each room's results of its own are
// in its result header (display/ddresult.h, sound/dsresult.h).
#pragma once

#include "port/system/guid.h"
#include "port/win32types.h"

using IID = GUID;
using ULONG = uint32_t;

inline bool IsEqualGUID(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           a.Data4[0] == b.Data4[0] && a.Data4[1] == b.Data4[1] && a.Data4[2] == b.Data4[2] &&
           a.Data4[3] == b.Data4[3] && a.Data4[4] == b.Data4[4] && a.Data4[5] == b.Data4[5] &&
           a.Data4[6] == b.Data4[6] && a.Data4[7] == b.Data4[7];
}

// A value of our own.
extern const IID IID_IUnknown;

class IUnknown {
public:
    virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};

// An HRESULT written as its bits.
constexpr HRESULT kDxError(uint32_t value) {
    return static_cast<HRESULT>(value);
}

// Generic failures with their usual values.
constexpr HRESULT E_NOINTERFACE = kDxError(0x80004002u);
constexpr HRESULT E_POINTER = kDxError(0x80004003u);
constexpr HRESULT E_INVALIDARG = kDxError(0x80070057u);
constexpr HRESULT E_OUTOFMEMORY = kDxError(0x8007000Eu);
