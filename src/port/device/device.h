// Internal: the Direct3D device, one raster::TRasterizer with the Direct3D shapes around it.
// The state the program sets is kept as it was given (for GetRenderState and the control plane)
// and written into the rasterizer's state at once; drawing binds the render target's memory, its
// attached z-buffer's and the texture's levels, under their stores' mutexes, and draws.
//
// References: the render target and the bound texture, each until replaced, unbound or the
// device's last Release.
//
// Threads: one thread uses a device at a time (the program's main thread); its drawing holds the
// store mutexes of what it draws with, so other threads may use those surfaces meanwhile.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "port/device/control.h"
#include "port/device/d3d.h"
#include "port/display/adapter.h"
#include "port/display/surface.h"
#include "port/refcounted.h"
#include "raster/rasterizer.h"

namespace port::device {

class ManagedTexture;

class Device final : public RefCounted<IDirect3DDevice7> {
public:
    // Takes a reference to the target. Starts with one reference, its creator's.
    Device(const control::DeviceSpec& spec, uint32_t drawId,
           std::shared_ptr<const display::Adapter> adapter, display::Surface* target);

    static Device* From(IDirect3DDevice7* device) { return static_cast<Device*>(device); }

    HRESULT QueryInterface(const IID& iid, void** object) override;
    HRESULT GetCaps(D3DDEVICEDESC7* desc) override;
    HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT SetRenderTarget(IDirectDrawSurface7* target, DWORD flags) override;
    HRESULT GetRenderTarget(IDirectDrawSurface7** target) override;
    HRESULT Clear(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, D3DVALUE z,
                  DWORD stencil) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) override;
    HRESULT SetViewport(D3DVIEWPORT7* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT7* viewport) override;
    HRESULT SetMaterial(D3DMATERIAL7* material) override;
    HRESULT GetMaterial(D3DMATERIAL7* material) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, void* vertices, DWORD count,
                          DWORD flags) override;
    HRESULT SetTexture(DWORD stage, IDirectDrawSurface7* texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                 DWORD* value) override;

    const control::DeviceSpec& Spec() const { return mSpec; }
    uint32_t DrawId() const { return mDrawId; }
    const std::shared_ptr<const display::Adapter>& AdapterOf() const { return mAdapter; }
    control::DeviceState State() const;

private:
    ~Device() override;

    HRESULT DoSetRenderState(DWORD state, DWORD value);
    HRESULT DoSetStageState(DWORD state, DWORD value);
    HRESULT DoSetRenderTarget(IDirectDrawSurface7* target, DWORD flags);
    HRESULT DoSetViewport(const D3DVIEWPORT7* viewport);
    HRESULT DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, D3DVALUE z);
    HRESULT DoDraw(D3DPRIMITIVETYPE type, DWORD fvf, const void* vertices, DWORD count,
                   DWORD flags);
    // DDERR_SURFACELOST while the target or the texture is lost (dropping the kept stores); else
    // DD_OK.
    HRESULT CheckLost();
    // Binds the target, its z-buffer and the texture to the rasterizer with their stores locked
    // and runs `work`, which answers whether it wrote depth; DDERR_SURFACEBUSY while one of them
    // is locked or has a device context out.
    template <typename Work>
    HRESULT WithSurfaces(bool texture, Work&& work);
    // The stores of the target and its z-buffer, looked up again when the layer's store epoch
    // moved or the target changed.
    void Bind();
    // Whether the bound z-buffer, whose mutex the caller holds, still holds all through what the
    // device's last whole clear wrote.
    bool DepthStillCleared(const display::PixelStore& depth) const;

    // The stores the device draws with, kept between draws (a lookup takes several locks) until
    // its next call after a change; so a store given up meanwhile (a detached z-buffer's, the
    // desktop's of the previous mode) lives until then.
    struct Binding {
        bool valid = false;
        uint64_t epoch = 0;  // display::StoreEpoch() before the lookup
        std::shared_ptr<display::PixelStore> target;
        std::shared_ptr<display::PixelStore> depth;  // null without a z-buffer
        bool targetShown = false;                    // the player sees the target
        // mTexture's, once looked up, when it has no store of its own (Surface::OwnStore)
        std::shared_ptr<display::PixelStore> texture;
    };
    // What the device knows the z-buffer holds: after a clear of all of it to `z`, the store's
    // hold count at the end of that clear, carried forward by the device's own holds that wrote no
    // depth. Another hold in between (a lock, a blit, a restore) ends the knowledge.
    struct ClearedDepth {
        std::weak_ptr<display::PixelStore> store;
        uint64_t holds = 0;
        float z = 0.0f;
        bool valid = false;
    };

    const control::DeviceSpec mSpec;
    const uint32_t mDrawId;  // the DirectDraw object's id: owner of the textures D3DX makes
    const std::shared_ptr<const display::Adapter> mAdapter;

    display::Surface* mTarget;                     // holds a reference
    display::Surface* mTexture = nullptr;          // holds a reference
    ManagedTexture* mManaged = nullptr;            // the bound texture's, when managed
    display::PixelStore* mTextureStore = nullptr;  // mTexture->OwnStore()
    bool mInScene = false;

    DWORD mRenderStates[kD3DRenderStateCount] = {};
    DWORD mStageStates[kD3DStageStateCount] = {};
    D3DMATRIX mWorld{};
    D3DMATRIX mView{};
    D3DMATRIX mProjection{};
    D3DVIEWPORT7 mViewport{};
    D3DMATERIAL7 mMaterial{};

    Binding mBinding;
    ClearedDepth mClearedDepth;

    raster::TRasterizer mRasterizer;
};

}  // namespace port::device
