// Internal: the Direct3D object of a DirectDraw object. It holds a reference to the DirectDraw
// object and the device list it saw when made; it makes devices on render targets and takes
// managed textures out of video memory. Any thread may call it.
#pragma once

#include <memory>
#include <vector>

#include "port/device/control.h"
#include "port/device/d3d.h"
#include "port/display/adapter.h"
#include "port/display/directdraw.h"
#include "port/refcounted.h"

namespace port::device {

class Direct3D final : public RefCounted<IDirect3D7> {
public:
    // Starts with one reference, its creator's.
    explicit Direct3D(display::DirectDraw* draw);

    HRESULT QueryInterface(const IID& iid, void** object) override;
    HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, void* context) override;
    HRESULT EnumZBufferFormats(const GUID& device, LPD3DENUMPIXELFORMATSCALLBACK callback,
                               void* context) override;
    HRESULT CreateDevice(const GUID& device, IDirectDrawSurface7* target,
                         IDirect3DDevice7** out) override;
    HRESULT EvictManagedTextures() override;

private:
    ~Direct3D() override;
    const control::DeviceSpec* Find(const GUID& guid) const;

    const uint32_t mId;
    display::DirectDraw* const mDraw;  // holds a reference
    const std::shared_ptr<const display::Adapter> mAdapter;
    const std::vector<control::DeviceSpec> mDevices;
};

}  // namespace port::device
