// The device's life, capabilities and state: render states, stage-0 states, transforms, the
// viewport and the material, each kept as given and written into the rasterizer's state.
// Scenes, targets, clears and drawing are in devicedraw.cpp.
#include "port/device/device.h"

#include <cmath>
#include <cstring>

#include "port/device/devicelist.h"
#include "port/device/managed.h"
#include "port/failinjection.h"
#include "raster/transform.h"

namespace port::device {
namespace {

D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

TMat4 ToMat4(const D3DMATRIX& m) {
    TMat4 out;
    static_assert(sizeof out.m == sizeof m);
    std::memcpy(out.m, &m, sizeof m);
    return out;
}

raster::TColorF ToColor(const D3DCOLORVALUE& c) {
    return {c.r, c.g, c.b, c.a};
}

bool InRange(DWORD value, DWORD low, DWORD high) {
    return value >= low && value <= high;
}

// A combiner argument: a source with the two modifier bits.
bool ValidArg(DWORD value) {
    return (value & raster::arg::kSourceMask) <= raster::arg::kSpecular &&
           (value & ~(raster::arg::kSourceMask | raster::arg::kComplement |
                      raster::arg::kAlphaReplicate)) == 0;
}

}  // namespace

Device::Device(const control::DeviceSpec& spec, uint32_t drawId,
               std::shared_ptr<const display::Adapter> adapter, display::Surface* target)
    : mSpec(spec), mDrawId(drawId), mAdapter(std::move(adapter)), mTarget(target) {
    mTarget->AddRef();
    // The control plane's pixel-centre shift, as it stood when the device was made.
    mRasterizer.SetPixelCentreShift(PixelCentreShift());
    // The X byte of an X8R8G8B8 target keeps the drawn alpha (other formats are unaffected):
    // the drawing code may copy the back buffer's words into a texture and keep them as alpha.
    mRasterizer.SetAlphaInXByte(true);
    // The recorded defaults are the rasterizer's (raster/renderstate.h).
    const raster::TRenderState& s = mRasterizer.State();
    mRenderStates[D3DRENDERSTATE_ZENABLE] = s.zEnable;
    mRenderStates[D3DRENDERSTATE_ZWRITEENABLE] = s.zWriteEnable;
    mRenderStates[D3DRENDERSTATE_ZFUNC] = static_cast<DWORD>(s.zFunc);
    mRenderStates[D3DRENDERSTATE_ALPHAFUNC] = static_cast<DWORD>(s.alphaFunc);
    mRenderStates[D3DRENDERSTATE_SRCBLEND] = static_cast<DWORD>(s.srcBlend);
    mRenderStates[D3DRENDERSTATE_DESTBLEND] = static_cast<DWORD>(s.destBlend);
    mRenderStates[D3DRENDERSTATE_CULLMODE] = static_cast<DWORD>(s.cullMode);
    mRenderStates[D3DRENDERSTATE_SHADEMODE] = static_cast<DWORD>(s.shadeMode);
    mRenderStates[D3DRENDERSTATE_CLIPPING] = s.clipping;
    mRenderStates[D3DRENDERSTATE_LIGHTING] = s.lighting;
    mRenderStates[D3DRENDERSTATE_TEXTUREFACTOR] = s.textureFactor;
    mRenderStates[D3DRENDERSTATE_COLORVERTEX] = 1;
    mRenderStates[D3DRENDERSTATE_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    mRenderStates[D3DRENDERSTATE_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    const raster::TStageState& t = s.stage0;
    mStageStates[D3DTSS_COLOROP] = static_cast<DWORD>(t.colorOp);
    mStageStates[D3DTSS_COLORARG1] = t.colorArg1;
    mStageStates[D3DTSS_COLORARG2] = t.colorArg2;
    mStageStates[D3DTSS_ALPHAOP] = static_cast<DWORD>(t.alphaOp);
    mStageStates[D3DTSS_ALPHAARG1] = t.alphaArg1;
    mStageStates[D3DTSS_ALPHAARG2] = t.alphaArg2;
    mStageStates[D3DTSS_ADDRESSU] = static_cast<DWORD>(t.addressU);
    mStageStates[D3DTSS_ADDRESSV] = static_cast<DWORD>(t.addressV);
    mStageStates[D3DTSS_MAGFILTER] = static_cast<DWORD>(t.magFilter);
    mStageStates[D3DTSS_MINFILTER] = static_cast<DWORD>(t.minFilter);
    mStageStates[D3DTSS_MIPFILTER] = static_cast<DWORD>(t.mipFilter);
    mWorld = mView = mProjection = Identity();
    // The viewport starts as the whole target.
    mViewport = {0,
                 0,
                 static_cast<DWORD>(target->Shape().width),
                 static_cast<DWORD>(target->Shape().height),
                 0.0f,
                 1.0f};
    DoSetViewport(&mViewport);
    mRasterizer.Transforms().projection = ToMat4(mProjection);
}

Device::~Device() {
    if (mTexture != nullptr) mTexture->Release();
    mTarget->Release();
}

HRESULT Device::QueryInterface(const IID& iid, void** object) {
    ClearOut(object);
    return TracedCall("IDirect3DDevice7::QueryInterface", {},
                      [&] { return QueryOwn(IID_IUnknown, iid, object); });
}

HRESULT Device::GetCaps(D3DDEVICEDESC7* desc) {
    return TracedCall("IDirect3DDevice7::GetCaps", {}, [&] {
        if (desc == nullptr) return DDERR_INVALIDPARAMS;
        DescribeDevice(mSpec, desc);
        return D3D_OK;
    });
}

HRESULT Device::EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) {
    return TracedCall("EnumTextureFormats", {}, [&] {
        if (callback == nullptr) return DDERR_INVALIDPARAMS;
        for (const DDPIXELFORMAT& format : mSpec.textureFormats) {
            DDPIXELFORMAT copy = format;
            if (callback(&copy, context) == D3DENUMRET_CANCEL) break;
        }
        return D3D_OK;
    });
}

[[gnu::hot]] HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    auto body = [&] { return DoSetRenderState(state, value); };
    if (!CallsWatched()) return body();
    return TracedCall("SetRenderState", {{"state", state}, {"value", value, true}}, body);
}

[[gnu::hot]] HRESULT Device::DoSetRenderState(DWORD state, DWORD value) {
    if (state >= kD3DRenderStateCount) return DDERR_INVALIDPARAMS;
    raster::TRenderState& s = mRasterizer.State();
    switch (state) {
        case D3DRENDERSTATE_ANTIALIAS:
            s.antialias = value != 0;
            break;
        case D3DRENDERSTATE_ZENABLE:
            s.zEnable = value != 0;
            break;
        case D3DRENDERSTATE_ZWRITEENABLE:
            s.zWriteEnable = value != 0;
            break;
        case D3DRENDERSTATE_ZFUNC:
            if (!InRange(value, D3DCMP_NEVER, D3DCMP_ALWAYS)) return DDERR_INVALIDPARAMS;
            s.zFunc = static_cast<raster::TCompare>(value);
            break;
        case D3DRENDERSTATE_ALPHATESTENABLE:
            s.alphaTestEnable = value != 0;
            break;
        case D3DRENDERSTATE_ALPHAREF:
            s.alphaRef = value;
            break;
        case D3DRENDERSTATE_ALPHAFUNC:
            if (!InRange(value, D3DCMP_NEVER, D3DCMP_ALWAYS)) return DDERR_INVALIDPARAMS;
            s.alphaFunc = static_cast<raster::TCompare>(value);
            break;
        case D3DRENDERSTATE_ALPHABLENDENABLE:
            s.alphaBlendEnable = value != 0;
            break;
        case D3DRENDERSTATE_SRCBLEND:
        case D3DRENDERSTATE_DESTBLEND:
            if (!InRange(value, D3DBLEND_ZERO, D3DBLEND_INVDESTCOLOR)) return DDERR_INVALIDPARAMS;
            (state == D3DRENDERSTATE_SRCBLEND ? s.srcBlend : s.destBlend) =
                static_cast<raster::TBlend>(value);
            break;
        case D3DRENDERSTATE_CULLMODE:
            if (!InRange(value, D3DCULL_NONE, D3DCULL_CCW)) return DDERR_INVALIDPARAMS;
            s.cullMode = static_cast<raster::TCull>(value);
            break;
        case D3DRENDERSTATE_SHADEMODE:
            if (!InRange(value, D3DSHADE_FLAT, D3DSHADE_GOURAUD)) return DDERR_INVALIDPARAMS;
            s.shadeMode = static_cast<raster::TShade>(value);
            break;
        case D3DRENDERSTATE_SPECULARENABLE:
            s.specularEnable = value != 0;
            break;
        case D3DRENDERSTATE_CLIPPING:
            s.clipping = value != 0;
            break;
        case D3DRENDERSTATE_LIGHTING:
            s.lighting = value != 0;
            break;
        case D3DRENDERSTATE_AMBIENT:
            s.ambient = value;
            break;
        case D3DRENDERSTATE_TEXTUREFACTOR:
            s.textureFactor = value;
            break;
        case D3DRENDERSTATE_DIFFUSEMATERIALSOURCE:
        case D3DRENDERSTATE_SPECULARMATERIALSOURCE:
        case D3DRENDERSTATE_AMBIENTMATERIALSOURCE:
        case D3DRENDERSTATE_EMISSIVEMATERIALSOURCE:
            if (value > D3DMCS_COLOR2) return DDERR_INVALIDPARAMS;
            break;
        default:
            // Kept (WRAP0, COLORVERTEX, NORMALIZENORMALS ...) without changing the drawing:
            // the rasterizer's lighting reads the material only.
            break;
    }
    mRenderStates[state] = value;
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    return TracedCall("GetRenderState", {{"state", state}}, [&] {
        if (value == nullptr || state >= kD3DRenderStateCount) return DDERR_INVALIDPARAMS;
        *value = mRenderStates[state];
        return D3D_OK;
    });
}

[[gnu::hot]] HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                                  DWORD value) {
    auto body = [&] { return stage != 0 ? DDERR_INVALIDPARAMS : DoSetStageState(state, value); };
    if (!CallsWatched()) return body();
    return TracedCall("SetTextureStageState",
                      {{"stage", stage}, {"state", state}, {"value", value, true}}, body);
}

[[gnu::hot]] HRESULT Device::DoSetStageState(DWORD state, DWORD value) {
    if (state >= kD3DStageStateCount) return DDERR_INVALIDPARAMS;
    raster::TStageState& t = mRasterizer.State().stage0;
    switch (state) {
        case D3DTSS_COLOROP:
        case D3DTSS_ALPHAOP:
            if (!InRange(value, D3DTOP_DISABLE, D3DTOP_ADD)) return DDERR_INVALIDPARAMS;
            (state == D3DTSS_COLOROP ? t.colorOp : t.alphaOp) =
                static_cast<raster::TTextureOp>(value);
            break;
        case D3DTSS_COLORARG1:
        case D3DTSS_COLORARG2:
        case D3DTSS_ALPHAARG1:
        case D3DTSS_ALPHAARG2:
            if (!ValidArg(value)) return DDERR_INVALIDPARAMS;
            (state == D3DTSS_COLORARG1   ? t.colorArg1
             : state == D3DTSS_COLORARG2 ? t.colorArg2
             : state == D3DTSS_ALPHAARG1 ? t.alphaArg1
                                         : t.alphaArg2) = value;
            break;
        case D3DTSS_ADDRESSU:
        case D3DTSS_ADDRESSV:
            if (!InRange(value, D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP)) return DDERR_INVALIDPARAMS;
            (state == D3DTSS_ADDRESSU ? t.addressU : t.addressV) =
                static_cast<raster::TAddress>(value);
            break;
        case D3DTSS_MAGFILTER:
        case D3DTSS_MINFILTER:
            if (!InRange(value, D3DTFG_POINT, D3DTFG_LINEAR)) return DDERR_INVALIDPARAMS;
            (state == D3DTSS_MAGFILTER ? t.magFilter : t.minFilter) =
                static_cast<raster::TFilter>(value);
            break;
        case D3DTSS_MIPFILTER:
            if (!InRange(value, D3DTFP_NONE, D3DTFP_LINEAR)) return DDERR_INVALIDPARAMS;
            t.mipFilter = static_cast<raster::TMipFilter>(value);
            break;
        default:
            return DDERR_INVALIDPARAMS;
    }
    mStageStates[state] = value;
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state, DWORD* value) {
    return TracedCall("GetTextureStageState", {{"stage", stage}, {"state", state}}, [&] {
        if (value == nullptr || stage != 0 || state >= kD3DStageStateCount) {
            return DDERR_INVALIDPARAMS;
        }
        *value = mStageStates[state];
        return D3D_OK;
    });
}

[[gnu::hot]] HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) {
    auto body = [&] {
        if (matrix == nullptr) return DDERR_INVALIDPARAMS;
        raster::TTransforms& transforms = mRasterizer.Transforms();
        switch (type) {
            case D3DTRANSFORMSTATE_WORLD:
                mWorld = *matrix;
                transforms.world = ToMat4(mWorld);
                break;
            case D3DTRANSFORMSTATE_VIEW:
                mView = *matrix;
                transforms.view = ToMat4(mView);
                break;
            case D3DTRANSFORMSTATE_PROJECTION:
                mProjection = *matrix;
                transforms.projection = ToMat4(mProjection);
                break;
            default:
                return DDERR_INVALIDPARAMS;
        }
        return D3D_OK;
    };
    if (!CallsWatched()) return body();
    return TracedCall("SetTransform", {{"type", type}}, body);
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) {
    return TracedCall("GetTransform", {{"type", type}}, [&] {
        if (matrix == nullptr) return DDERR_INVALIDPARAMS;
        switch (type) {
            case D3DTRANSFORMSTATE_WORLD:
                *matrix = mWorld;
                return D3D_OK;
            case D3DTRANSFORMSTATE_VIEW:
                *matrix = mView;
                return D3D_OK;
            case D3DTRANSFORMSTATE_PROJECTION:
                *matrix = mProjection;
                return D3D_OK;
            default:
                return DDERR_INVALIDPARAMS;
        }
    });
}

HRESULT Device::SetViewport(D3DVIEWPORT7* viewport) {
    return TracedCall("SetViewport", {}, [&] {
        if (viewport == nullptr) return DDERR_INVALIDPARAMS;
        return DoSetViewport(viewport);
    });
}

HRESULT Device::DoSetViewport(const D3DVIEWPORT7* viewport) {
    // The viewport lies inside the render target, with a finite depth range inside 0..1.
    // The fields are unsigned: a negative origin reads as a huge one and fails the same test.
    const display::SurfaceShape& shape = mTarget->Shape();
    uint64_t right = uint64_t{viewport->dwX} + viewport->dwWidth;
    uint64_t bottom = uint64_t{viewport->dwY} + viewport->dwHeight;
    if (right > static_cast<uint64_t>(shape.width) ||
        bottom > static_cast<uint64_t>(shape.height)) {
        return DDERR_INVALIDPARAMS;
    }
    auto depthOk = [](float z) { return std::isfinite(z) && z >= 0.0f && z <= 1.0f; };
    if (!depthOk(viewport->dvMinZ) || !depthOk(viewport->dvMaxZ)) return DDERR_INVALIDPARAMS;
    mViewport = *viewport;
    raster::TViewport& v = mRasterizer.Viewport();
    v.x = static_cast<int>(viewport->dwX);
    v.y = static_cast<int>(viewport->dwY);
    v.width = static_cast<int>(viewport->dwWidth);
    v.height = static_cast<int>(viewport->dwHeight);
    v.minZ = viewport->dvMinZ;
    v.maxZ = viewport->dvMaxZ;
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT7* viewport) {
    return TracedCall("GetViewport", {}, [&] {
        if (viewport == nullptr) return DDERR_INVALIDPARAMS;
        *viewport = mViewport;
        return D3D_OK;
    });
}

HRESULT Device::SetMaterial(D3DMATERIAL7* material) {
    return TracedCall("SetMaterial", {}, [&] {
        if (material == nullptr) return DDERR_INVALIDPARAMS;
        mMaterial = *material;
        raster::TMaterial& m = mRasterizer.Material();
        m.diffuse = ToColor(material->diffuse);
        m.ambient = ToColor(material->ambient);
        m.specular = ToColor(material->specular);
        m.emissive = ToColor(material->emissive);
        m.power = material->power;
        return D3D_OK;
    });
}

HRESULT Device::GetMaterial(D3DMATERIAL7* material) {
    return TracedCall("GetMaterial", {}, [&] {
        if (material == nullptr) return DDERR_INVALIDPARAMS;
        *material = mMaterial;
        return D3D_OK;
    });
}

control::DeviceState Device::State() const {
    control::DeviceState state;
    state.renderStates.assign(std::begin(mRenderStates), std::end(mRenderStates));
    state.stageStates.assign(std::begin(mStageStates), std::end(mStageStates));
    state.world = mWorld;
    state.view = mView;
    state.projection = mProjection;
    state.viewport = mViewport;
    state.material = mMaterial;
    state.texture = mTexture != nullptr ? mTexture->Id() : 0;
    state.renderTarget = mTarget->Id();
    state.inScene = mInScene;
    return state;
}

}  // namespace port::device
