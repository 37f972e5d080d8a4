// Internal: the reference counting every object of the DirectX stand-ins shares (display, device,
// sound). An object starts with one reference, its creator's, and deletes itself at its last
// Release. Any thread may add and release references.
#pragma once

#include <atomic>

#include "port/unknown.h"

namespace port {

// Out parameters are null unless the call succeeds, a failure injected by a test included: the
// methods clear them before anything else.
template <typename T>
void ClearOut(T** out) {
    if (out != nullptr) *out = nullptr;
}

template <typename Interface>
class RefCounted : public Interface {
public:
    ULONG AddRef() override { return ++mRefs; }
    ULONG Release() override {
        ULONG left = --mRefs;
        if (left == 0) delete this;
        return left;
    }

protected:
    // QueryInterface for an object that answers its own interface and IUnknown only.
    HRESULT QueryOwn(const IID& own, const IID& iid, void** object) {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (!IsEqualGUID(iid, own) && !IsEqualGUID(iid, IID_IUnknown)) return E_NOINTERFACE;
        AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }

private:
    std::atomic<ULONG> mRefs{1};
};

}  // namespace port
