// The Direct3D object: device enumeration, depth formats, device creation and eviction of
// managed textures.
#include "port/device/direct3d.h"

#include <vector>

#include "port/device/device.h"
#include "port/device/devicelist.h"
#include "port/device/managed.h"
#include "port/display/displaystate.h"
#include "port/display/surface.h"
#include "port/failinjection.h"

namespace port::display {

HRESULT CreateDirect3D(DirectDraw* draw, void** object) {
    *object = static_cast<IDirect3D7*>(new device::Direct3D(draw));
    return DD_OK;
}

}  // namespace port::display

namespace port::device {

Direct3D::Direct3D(display::DirectDraw* draw)
    : mId(draw->Id()), mDraw(draw), mAdapter(draw->AdapterOf()), mDevices(DevicesOf(mAdapter)) {
    mDraw->AddRef();
}

Direct3D::~Direct3D() {
    mDraw->Release();
}

HRESULT Direct3D::QueryInterface(const IID& iid, void** object) {
    ClearOut(object);
    return TracedCall("IDirect3D7::QueryInterface", {{"object", mId}},
                      [&] { return QueryOwn(IID_IDirect3D7, iid, object); });
}

const control::DeviceSpec* Direct3D::Find(const GUID& guid) const {
    for (const control::DeviceSpec& spec : mDevices) {
        if (IsEqualGUID(spec.guid, guid)) return &spec;
    }
    return nullptr;
}

HRESULT Direct3D::EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, void* context) {
    return TracedCall("EnumDevices", {{"object", mId}}, [&] {
        if (callback == nullptr) return DDERR_INVALIDPARAMS;
        for (const control::DeviceSpec& spec : mDevices) {
            D3DDEVICEDESC7 desc;
            DescribeDevice(spec, &desc);
            std::vector<char> description(spec.description.begin(), spec.description.end());
            description.push_back('\0');
            std::vector<char> name(spec.name.begin(), spec.name.end());
            name.push_back('\0');
            if (callback(description.data(), name.data(), &desc, context) == D3DENUMRET_CANCEL) {
                break;
            }
        }
        return D3D_OK;
    });
}

HRESULT Direct3D::EnumZBufferFormats(const GUID& device, LPD3DENUMPIXELFORMATSCALLBACK callback,
                                     void* context) {
    return TracedCall("EnumZBufferFormats", {{"object", mId}}, [&] {
        if (callback == nullptr) return DDERR_INVALIDPARAMS;
        const control::DeviceSpec* spec = Find(device);
        if (spec == nullptr) return D3DERR_INVALIDDEVICE;
        for (const DDPIXELFORMAT& format : spec->depthFormats) {
            DDPIXELFORMAT copy = format;
            if (callback(&copy, context) == D3DENUMRET_CANCEL) break;
        }
        return D3D_OK;
    });
}

HRESULT Direct3D::CreateDevice(const GUID& device, IDirectDrawSurface7* target,
                               IDirect3DDevice7** out) {
    ClearOut(out);
    uint32_t id = target != nullptr ? display::Surface::From(target)->Id() : 0;
    int bits = target != nullptr ? display::Surface::From(target)->BitCount() : 0;
    return TracedCall("CreateDevice", {{"object", mId}, {"surface", id}, {"bits", bits}}, [&] {
        if (out == nullptr || target == nullptr) return DDERR_INVALIDPARAMS;
        const control::DeviceSpec* spec = Find(device);
        if (spec == nullptr) return D3DERR_INVALIDDEVICE;
        display::Surface* surface = display::Surface::From(target);
        const display::SurfaceShape& shape = surface->Shape();
        if ((shape.caps & DDSCAPS_3DDEVICE) == 0) return DDERR_INVALIDPARAMS;
        if (!raster::IsRenderFormat(shape.pixels)) return DDERR_INVALIDPIXELFORMAT;
        if ((spec->devCaps & D3DDEVCAPS_HWRASTERIZATION) &&
            (shape.caps & DDSCAPS_SYSTEMMEMORY) != 0) {
            return D3DERR_TARGETINSYSTEMMEMORY;
        }
        *out = new Device(*spec, mId, mAdapter, surface);
        return D3D_OK;
    });
}

HRESULT Direct3D::EvictManagedTextures() {
    return TracedCall("EvictManagedTextures", {{"object", mId}}, [&] {
        EvictManaged(mAdapter->budget.get());
        return D3D_OK;
    });
}

}  // namespace port::device
