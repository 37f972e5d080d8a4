// The device's scenes, render target, texture binding, clears and drawing through the
// rasterizer.
#include <mutex>

#include "port/device/device.h"
#include "port/device/managed.h"
#include "port/display/displaystate.h"
#include "port/failinjection.h"

namespace port::device {
namespace {

using display::Busy;
using display::PixelStore;
using display::StoreMutex;
using display::Surface;

bool Renderable(const Surface& surface) {
    return raster::IsRenderFormat(surface.Shape().pixels);
}

// Up to three distinct store mutexes locked together (std::lock avoids lock-order deadlocks) and
// unlocked at the end of the scope.
class LockAll {
public:
    LockAll(StoreMutex* a, StoreMutex* b, StoreMutex* c) {
        if (b == a) b = nullptr;
        if (c == a || c == b) c = nullptr;
        if (b == nullptr) std::swap(b, c);
        mMutexes[0] = a;
        mMutexes[1] = b;
        mMutexes[2] = c;
        if (c != nullptr) {
            std::lock(*a, *b, *c);
        } else if (b != nullptr) {
            std::lock(*a, *b);
        } else {
            a->lock();
        }
    }
    ~LockAll() {
        for (StoreMutex* m : mMutexes) {
            if (m != nullptr) m->unlock();
        }
    }
    LockAll(const LockAll&) = delete;
    LockAll& operator=(const LockAll&) = delete;

private:
    StoreMutex* mMutexes[3] = {};
};

// Holds the z-buffer reference Surface::AttachedZBuffer hands out.
struct ZBufferRef {
    Surface* surface;
    ~ZBufferRef() {
        if (surface != nullptr) surface->Release();
    }
};

}  // namespace

HRESULT Device::CheckLost() {
    bool lost = mTarget->Lost() || (mTexture != nullptr && mTexture->Lost());
    if (!lost) return D3D_OK;
    // A lost surface's memory may be on its way out (a freed chain gives its back memory up):
    // the device keeps none of it.
    mBinding = Binding{};
    return DDERR_SURFACELOST;
}

HRESULT Device::BeginScene() {
    return TracedCall("BeginScene", {}, [&] {
        if (mInScene) return D3DERR_SCENE_IN_SCENE;
        HRESULT lost = CheckLost();
        if (lost != D3D_OK) return lost;
        mInScene = true;
        return D3D_OK;
    });
}

HRESULT Device::EndScene() {
    return TracedCall("EndScene", {}, [&] {
        if (!mInScene) return D3DERR_SCENE_NOT_IN_SCENE;
        mInScene = false;
        return CheckLost();
    });
}

HRESULT Device::SetRenderTarget(IDirectDrawSurface7* target, DWORD flags) {
    uint32_t id = target != nullptr ? Surface::From(target)->Id() : 0;
    int bits = target != nullptr ? Surface::From(target)->BitCount() : 0;
    return TracedCall("SetRenderTarget", {{"surface", id}, {"bits", bits}, {"flags", flags, true}},
                      [&] { return DoSetRenderTarget(target, flags); });
}

HRESULT Device::DoSetRenderTarget(IDirectDrawSurface7* target, DWORD flags) {
    if (target == nullptr || flags != 0) return DDERR_INVALIDPARAMS;
    Surface* surface = Surface::From(target);
    if ((surface->Shape().caps & DDSCAPS_3DDEVICE) == 0) return DDERR_INVALIDPARAMS;
    if (!Renderable(*surface)) return DDERR_INVALIDPIXELFORMAT;
    surface->AddRef();
    mTarget->Release();
    mTarget = surface;
    mBinding.valid = false;
    // As a new target's viewport: the whole of it.
    D3DVIEWPORT7 whole{0,
                       0,
                       static_cast<DWORD>(surface->Shape().width),
                       static_cast<DWORD>(surface->Shape().height),
                       0.0f,
                       1.0f};
    DoSetViewport(&whole);
    return D3D_OK;
}

HRESULT Device::GetRenderTarget(IDirectDrawSurface7** target) {
    ClearOut(target);
    return TracedCall("GetRenderTarget", {}, [&] {
        if (target == nullptr) return DDERR_INVALIDPARAMS;
        mTarget->AddRef();
        *target = mTarget;
        return D3D_OK;
    });
}

[[gnu::hot]] HRESULT Device::SetTexture(DWORD stage, IDirectDrawSurface7* texture) {
    auto body = [&] {
        if (stage != 0) return DDERR_INVALIDPARAMS;
        Surface* surface = texture != nullptr ? Surface::From(texture) : nullptr;
        if (surface != nullptr) {
            if ((surface->Shape().caps & DDSCAPS_TEXTURE) == 0) return DDERR_INVALIDPARAMS;
            if (!Renderable(*surface)) return DDERR_INVALIDPIXELFORMAT;
            surface->AddRef();
        }
        if (mTexture != nullptr) mTexture->Release();
        mTexture = surface;
        mTextureStore = surface != nullptr ? surface->OwnStore() : nullptr;
        mBinding.texture.reset();
        mManaged =
            surface != nullptr ? static_cast<ManagedTexture*>(surface->DeviceData()) : nullptr;
        return D3D_OK;
    };
    if (!CallsWatched()) return body();
    uint32_t id = texture != nullptr ? Surface::From(texture)->Id() : 0;
    return TracedCall("SetTexture", {{"stage", stage}, {"surface", id}}, body);
}

void Device::Bind() {
    uint64_t epoch = display::StoreEpoch();
    if (mBinding.valid && mBinding.epoch == epoch) return;
    // The epoch is read before the lookups: a change meanwhile moves it, and the next call looks
    // again.
    mBinding.epoch = epoch;
    mBinding.target = mTarget->Store();
    ZBufferRef zbuffer{mTarget->AttachedZBuffer()};
    mBinding.depth = zbuffer.surface != nullptr ? zbuffer.surface->Store() : nullptr;
    mBinding.targetShown = display::IsShown(*mBinding.target);
    mBinding.texture.reset();
    mBinding.valid = true;
}

template <typename Work>
HRESULT Device::WithSurfaces(bool texture, Work&& work) {
    Bind();
    PixelStore* source = nullptr;
    if (texture && mTexture != nullptr) {
        source = mTextureStore;
        if (source == nullptr) {
            if (mBinding.texture == nullptr) mBinding.texture = mTexture->Store();
            source = mBinding.texture.get();
        }
    }
    PixelStore* target = mBinding.target.get();
    PixelStore* depth = mBinding.depth.get();
    {
        LockAll lock(&target->mutex, depth ? &depth->mutex : nullptr,
                     source ? &source->mutex : nullptr);
        for (const PixelStore* store : {target, depth, source}) {
            if (store != nullptr && store->busy != Busy::None) return DDERR_SURFACEBUSY;
        }
        mRasterizer.SetRenderTarget(&target->pixels);
        // A target without a z-buffer draws with depth test and depth write off.
        mRasterizer.SetDepthBuffer(depth ? &depth->pixels : nullptr);
        if (source != nullptr) {
            const raster::TSurface* levels[raster::kMaxLevels];
            int count = 0;
            levels[count++] = &source->pixels;
            if (mManaged != nullptr) {
                for (const raster::TSurface& level : mManaged->lower) {
                    if (count == raster::kMaxLevels) break;
                    levels[count++] = &level;
                }
            }
            mRasterizer.SetTexture(levels, count);
        } else {
            mRasterizer.SetTexture(nullptr, 0);
        }
        bool wroteDepth = work();
        // Nothing borrowed is kept past the call.
        mRasterizer.SetRenderTarget(nullptr);
        mRasterizer.SetDepthBuffer(nullptr);
        mRasterizer.SetTexture(nullptr, 0);
        // A hold of the device's own that wrote no depth keeps what it knew of the z-buffer.
        if (depth != nullptr && !wroteDepth && DepthStillCleared(*depth))
            mClearedDepth.holds = depth->mutex.Holds();
    }
    if (mBinding.targetShown) display::ShownStoreWritten();
    return D3D_OK;
}

bool Device::DepthStillCleared(const PixelStore& depth) const {
    // Equal owners without an atomic operation: the weak pointer keeps its control block, so a
    // new store never passes for a freed one.
    const std::weak_ptr<PixelStore>& known = mClearedDepth.store;
    bool same = !known.owner_before(mBinding.depth) && !mBinding.depth.owner_before(known);
    return mClearedDepth.valid && same && depth.mutex.Holds() == mClearedDepth.holds + 1;
}

HRESULT Device::Clear(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, D3DVALUE z,
                      DWORD /*stencil*/) {
    return TracedCall("Clear",
                      {{"target", mTarget->Id()}, {"flags", flags, true}, {"color", color, true}},
                      [&] { return DoClear(count, rects, flags, color, z); });
}

HRESULT Device::DoClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color,
                        D3DVALUE z) {
    if (count != 0 || rects != nullptr) return DDERR_INVALIDPARAMS;
    if ((flags & ~(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER)) != 0) return DDERR_INVALIDPARAMS;
    HRESULT lost = CheckLost();
    if (lost != D3D_OK) return lost;
    Bind();
    if ((flags & D3DCLEAR_ZBUFFER) && mBinding.depth == nullptr) return D3DERR_ZBUFFER_NOTPRESENT;
    return WithSurfaces(false, [&] {
        uint32_t clear = (flags & D3DCLEAR_TARGET) ? raster::kClearTarget : 0;
        // (Another thread may have taken the z-buffer away since the check above.)
        if ((flags & D3DCLEAR_ZBUFFER) == 0 || mBinding.depth == nullptr) {
            mRasterizer.Clear(clear, color, z);
            return false;
        }
        // A z-buffer still holding what the last clear to the same depth wrote is left as it is
        // (the game's 2-D frames clear it every frame and never write depth).
        const PixelStore& depth = *mBinding.depth;
        if (DepthStillCleared(depth) && z == mClearedDepth.z) {
            mRasterizer.Clear(clear, color, z);
            return false;
        }
        mRasterizer.Clear(clear | raster::kClearDepth, color, z);
        const raster::TSurface& pixels = depth.pixels;
        // (The rasterizer clears nothing into an empty target, a freed chain's.)
        bool whole = !mBinding.target->pixels.IsEmpty() && mViewport.dwX == 0 &&
                     mViewport.dwY == 0 &&
                     mViewport.dwWidth >= static_cast<DWORD>(pixels.Width()) &&
                     mViewport.dwHeight >= static_cast<DWORD>(pixels.Height()) &&
                     pixels.Format() == raster::TPixelFormat::D16;
        mClearedDepth.valid = whole;
        if (whole) {
            mClearedDepth.store = mBinding.depth;
            mClearedDepth.holds = depth.mutex.Holds();
            mClearedDepth.z = z;
        }
        // What was just learnt stands; a part cleared ends what was known.
        return !whole;
    });
}

[[gnu::hot]] HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, void* vertices,
                                           DWORD count, DWORD flags) {
    auto body = [&] { return DoDraw(type, fvf, vertices, count, flags); };
    if (!CallsWatched()) return body();
    return TracedCall(
        "DrawPrimitive",
        {{"type", type}, {"fvf", fvf, true}, {"count", count}, {"flags", flags, true}}, body);
}

[[gnu::hot]] HRESULT Device::DoDraw(D3DPRIMITIVETYPE type, DWORD fvf, const void* vertices,
                                    DWORD count, DWORD flags) {
    if (!mInScene) return D3DERR_SCENE_NOT_IN_SCENE;
    raster::TVertexFormat format;
    switch (fvf) {
        case D3DFVF_VERTEX:
            format = raster::TVertexFormat::Unlit;
            break;
        case D3DFVF_LVERTEX:
            format = raster::TVertexFormat::Lit;
            break;
        case D3DFVF_TLVERTEX:
            format = raster::TVertexFormat::Transformed;
            break;
        default:
            return DDERR_INVALIDPARAMS;
    }
    if (type < D3DPT_LINELIST || type > D3DPT_TRIANGLEFAN || flags != 0) {
        return DDERR_INVALIDPARAMS;
    }
    if (count > 0 && vertices == nullptr) return DDERR_INVALIDPARAMS;
    if (count > static_cast<DWORD>(INT32_MAX)) return DDERR_INVALIDPARAMS;
    HRESULT lost = CheckLost();
    if (lost != D3D_OK) return lost;
    if (count == 0) return D3D_OK;
    if (mManaged != nullptr && MakeResident(*mManaged) != DD_OK) return DDERR_OUTOFVIDEOMEMORY;

    auto primitive = static_cast<raster::TPrimitive>(type);
    return WithSurfaces(true, [&] {
        mRasterizer.Draw(primitive, format, vertices, static_cast<int>(count));
        const raster::TRenderState& state = mRasterizer.State();
        return state.zEnable && state.zWriteEnable;
    });
}

}  // namespace port::device
