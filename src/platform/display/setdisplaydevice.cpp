// The display set-up's side of the device: its creation with the anti-aliasing retry (step 18),
// and after a creation that worked the interfaces and capabilities (step 21), the default device
// state (step 22), a first present (step 23), the state every frame starts from with the assets
// restored (step 24) and the display's figures (step 25).
#include <atomic>
#include <numbers>

#include "foundation/assetmanager.h"
#include "foundation/log.h"
#include "math/mat4.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxerror.h"
#include "platform/display/dxtextureformat.h"
#include "platform/display/setdisplayrun.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/win32platform.h"
#include "platform/windowsystemhooks.h"

namespace setdisplay {
namespace {

// The set-up gives the cursor its first image once in the process, when nothing else has.
std::atomic<bool> gCursorImageSet{false};

// Textures of a larger width-to-height ratio than this are what a device must take for the
// game to use non-square textures.
constexpr DWORD kLeastAspectRatio = 64;

void SetRenderState(IDirect3DDevice7* device, D3DRENDERSTATETYPE state, DWORD value) {
    HRESULT result = device->SetRenderState(state, value);
    if (result != D3D_OK) LOG_DX_ERROR(result);
}

void SetStageState(IDirect3DDevice7* device, D3DTEXTURESTAGESTATETYPE state, DWORD value) {
    HRESULT result = device->SetTextureStageState(0, state, value);
    if (result != D3D_OK) LOG_DX_ERROR(result);
}

void ReadCapabilities(TRun& run) {
    D3DDEVICEDESC7 caps{};
    HRESULT result = run.record.mDevice->GetCaps(&caps);
    if (result != D3D_OK) LOG_DX_ERROR(result);
    run.record.mSeparateTextureMemories =
        (caps.dwDevCaps & D3DDEVCAPS_SEPARATETEXTUREMEMORIES) != 0;
    run.record.mNoSpecularGouraud =
        (caps.dpcTriCaps.dwShadeCaps & D3DPSHADECAPS_SPECULARGOURAUDRGB) == 0;
    run.record.mSquareTextures =
        (caps.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0 ||
        caps.dwMaxTextureAspectRatio < kLeastAspectRatio;
}

// The device's render target becomes the render target and the back buffer; the pointer stays
// the device's (the reference GetRenderTarget added is given back).
void TakeRenderTarget(TRun& run) {
    IDirectDrawSurface7* target = nullptr;
    HRESULT result = run.record.mDevice->GetRenderTarget(&target);
    if (result != D3D_OK) {
        LOG_DX_ERROR(result);
        target = nullptr;
    }
    if (target != nullptr) target->Release();
    run.record.mRenderTarget = target;
    run.record.mBackBuffer = target;
}

void SetStartState(TRun& run) {
    TPlatformData& display = run.display;
    TMat4 identity;
    display.SetWorldTransform(identity);
    display.SetViewTransform(identity);
    display.SetPerspective(0.1f, 1000.0f, std::numbers::pi_v<float> / 4.0f, 0.0f);
    display.SetAmbient(TVec4{1.0f, 1.0f, 1.0f, 1.0f});
    D3DMATERIAL7 material{};
    material.diffuse = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    material.ambient = D3DCOLORVALUE{0.5f, 0.5f, 0.5f, 1.0f};
    material.specular = D3DCOLORVALUE{1.0f, 1.0f, 1.0f, 1.0f};
    material.emissive = D3DCOLORVALUE{0.0f, 0.0f, 0.0f, 0.0f};
    material.power = 0.0f;
    display.SetMaterial(material);
}

void ReadDisplayFigures(TRun& run) {
    IDirectDraw7* directDraw = run.record.mDirectDraw;
    DWORD frequency = 0;
    HRESULT result = directDraw->GetMonitorFrequency(&frequency);
    if (result != DD_OK) LOG_DX_ERROR(result);
    TPlatform::SetConfig("monitorfrequency", str::Format("%d", static_cast<int>(frequency)));
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof mode;
    result = directDraw->GetDisplayMode(&mode);
    if (result != DD_OK) LOG_DX_ERROR(result);
    run.record.mBitDepth = static_cast<int32_t>(mode.ddpfPixelFormat.dwRGBBitCount);
}

}  // namespace

void ForgetCursorImageCall() {
    gCursorImageSet.store(false);
}

bool CreateDevice(TRun& run) {
    TDisplayRecord& record = run.record;
    int bitsPerPixel = record.mLowMemoryVideo ? 16 : 32;
    DWORD flags = 1;
    if (run.childOfHost) flags |= CDisplay::kFlagKeepWindow;
    if (record.mHintAntialias) flags |= CDisplay::kFlagAntialiasHint;
    bool created =
        run.context.Create(run.window, run.fullscreen, run.width, run.height, bitsPerPixel, flags);
    if (!created && (flags & CDisplay::kFlagAntialiasHint) != 0) {
        // No render state is touched: there is no device, and the next one starts from the
        // default state.
        record.mAntialias = false;
        record.mHintAntialias = false;
        flags &= ~CDisplay::kFlagAntialiasHint;
        created = run.context.Create(run.window, run.fullscreen, run.width, run.height,
                                     bitsPerPixel, flags);
    }
    return created;
}

void SetDefaultDeviceState(IDirect3DDevice7* device) {
    SetRenderState(device, D3DRENDERSTATE_AMBIENT, 0xFFFFFFFF);
    SetRenderState(device, D3DRENDERSTATE_ZENABLE, TRUE);
    SetRenderState(device, D3DRENDERSTATE_ZWRITEENABLE, TRUE);
    SetRenderState(device, D3DRENDERSTATE_COLORVERTEX, TRUE);
    SetRenderState(device, D3DRENDERSTATE_LIGHTING, TRUE);
    SetRenderState(device, D3DRENDERSTATE_NORMALIZENORMALS, TRUE);
    SetRenderState(device, D3DRENDERSTATE_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
    SetRenderState(device, D3DRENDERSTATE_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL);
    SetRenderState(device, D3DRENDERSTATE_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL);
    SetRenderState(device, D3DRENDERSTATE_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL);
    SetRenderState(device, D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    SetRenderState(device, D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    SetRenderState(device, D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    SetRenderState(device, D3DRENDERSTATE_WRAP0, 0);
    SetStageState(device, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    SetStageState(device, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    SetStageState(device, D3DTSS_MIPFILTER, D3DTFP_LINEAR);
    SetStageState(device, D3DTSS_COLOROP, D3DTOP_MODULATE);
    SetStageState(device, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    SetStageState(device, D3DTSS_COLORARG2, D3DTA_CURRENT);
    SetStageState(device, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    SetStageState(device, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    SetStageState(device, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
    SetRenderState(device, D3DRENDERSTATE_ALPHATESTENABLE, TRUE);
    SetRenderState(device, D3DRENDERSTATE_ALPHAREF, 1);
    SetRenderState(device, D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    SetRenderState(device, D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD);
}

void FinishSetup(TRun& run) {
    TDisplayRecord& record = run.record;
    record.mFallbackInProgress = false;
    ShowMainWindow(run);

    record.mDirectDraw = run.context.GetDirectDraw();
    record.mDirect3D = run.context.GetDirect3D();
    record.mDevice = run.context.GetDevice();
    ReadCapabilities(run);
    TakeRenderTarget(run);

    SetDefaultDeviceState(record.mDevice);
    record.mDepthTest = true;
    record.mDepthWrite = true;
    // A new device may list other texture formats.
    ForgetAlphaTextureFormat();

    TAssetManager* assets = run.application.GetAssetManager();
    TWindowManager* windows = run.application.GetWindowManager();
    if (assets != nullptr && assets->GetEntryCount() > 0 && windows != nullptr &&
        !windowsystemhooks::IsDrawingSuspended(windows)) {
        run.context.Present();
    }

    // A display that does not work stays not ready; the next restore tries again.
    if (!run.display.IsWorking()) return;
    SetStartState(run);
    if (run.context.GetCursorTexture() == nullptr && !gCursorImageSet.exchange(true)) {
        run.application.SetCursorImage(nullptr, 2, 2, false);
    }
    run.display.RestoreAssets();
    windowsystemhooks::MarkDirty(windows);

    if (run.fullscreen) record.mFullscreenHasWorked = true;
    ReadDisplayFigures(run);
    record.mReady.store(true);
}

}  // namespace setdisplay
