// DirectDraw surfaces: what CreateSurface accepts, what GetSurfaceDesc and Lock describe, the
// memory a new surface holds, busy surfaces, z-buffer attachment and lifetimes.
#include <cstring>
#include <set>

#include "displayfixture.h"
#include "port/display/control.h"
#include "port/window/gdi.h"
#include "port/window/window.h"

namespace {

using display_testing::DisplayTest;
using display_testing::EmptyDesc;
using display_testing::FormatOf;
using display_testing::Held;
using display_testing::SurfacePtr;
using raster::TPixelFormat;

TEST_F(DisplayTest, CreateSurfaceChecksTheDescription) {
    DDPIXELFORMAT x555 = FormatOf(TPixelFormat::R5G6B5);
    x555.dwRBitMask = 0x7C00;
    x555.dwGBitMask = 0x03E0;
    DDPIXELFORMAT luminance = FormatOf(TPixelFormat::X8R8G8B8);
    luminance.dwFlags = DDPF_LUMINANCE;
    DDPIXELFORMAT z24 = FormatOf(TPixelFormat::D16);
    z24.dwFlags |= DDPF_STENCILBUFFER;
    z24.dwZBufferBitDepth = 24;
    z24.dwZBitMask = 0xFFFFFF;
    struct Case {
        const char* what;
        DWORD fields;
        DWORD caps;
        DWORD caps2;
        int width, height;
        DDPIXELFORMAT format;
        HRESULT expected;
    } cases[] = {
        {"plain", DDSD_CAPS, DDSCAPS_OFFSCREENPLAIN, 0, 8, 8, {}, DD_OK},
        {"no type: plain", DDSD_CAPS, DDSCAPS_SYSTEMMEMORY, 0, 8, 8, {}, DD_OK},
        {"no caps at all", 0, 0, 0, 8, 8, {}, DD_OK},
        {"texture 4444", DDSD_CAPS | DDSD_PIXELFORMAT, DDSCAPS_TEXTURE, 0, 8, 8,
         FormatOf(TPixelFormat::A4R4G4B4), DD_OK},
        {"render target", DDSD_CAPS | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE,
         DDSCAPS_TEXTURE | DDSCAPS_3DDEVICE, DDSCAPS2_HINTANTIALIASING, 8, 8,
         FormatOf(TPixelFormat::A8R8G8B8), DD_OK},
        {"24-bit plain", DDSD_CAPS | DDSD_PIXELFORMAT, DDSCAPS_OFFSCREENPLAIN, 0, 8, 8,
         FormatOf(TPixelFormat::R8G8B8), DD_OK},
        {"24-bit render target", DDSD_CAPS | DDSD_PIXELFORMAT,
         DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, 0, 8, 8, FormatOf(TPixelFormat::R8G8B8),
         DDERR_INVALIDPIXELFORMAT},
        {"24-bit texture", DDSD_CAPS | DDSD_PIXELFORMAT, DDSCAPS_TEXTURE, 0, 8, 8,
         FormatOf(TPixelFormat::R8G8B8), DDERR_INVALIDPIXELFORMAT},
        {"z-buffer", DDSD_CAPS | DDSD_PIXELFORMAT, DDSCAPS_ZBUFFER, 0, 8, 8,
         FormatOf(TPixelFormat::D16), DD_OK},
        {"z24 with stencil", DDSD_CAPS | DDSD_PIXELFORMAT, DDSCAPS_ZBUFFER, 0, 8, 8, z24, DD_OK},
        {"z-buffer in a colour format", DDSD_CAPS | DDSD_PIXELFORMAT, DDSCAPS_ZBUFFER, 0, 8, 8,
         FormatOf(TPixelFormat::X8R8G8B8), DDERR_INVALIDPIXELFORMAT},
        {"depth format as a texture", DDSD_CAPS | DDSD_PIXELFORMAT, DDSCAPS_TEXTURE, 0, 8, 8,
         FormatOf(TPixelFormat::D16), DDERR_INVALIDPIXELFORMAT},
        {"555", DDSD_CAPS | DDSD_PIXELFORMAT, DDSCAPS_TEXTURE, 0, 8, 8, x555,
         DDERR_INVALIDPIXELFORMAT},
        {"luminance", DDSD_CAPS | DDSD_PIXELFORMAT, DDSCAPS_TEXTURE, 0, 8, 8, luminance,
         DDERR_INVALIDPIXELFORMAT},
        {"two types",
         DDSD_CAPS,
         DDSCAPS_TEXTURE | DDSCAPS_OFFSCREENPLAIN,
         0,
         8,
         8,
         {},
         DDERR_INVALIDPARAMS},
        {"both memories",
         DDSD_CAPS,
         DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY,
         0,
         8,
         8,
         {},
         DDERR_INVALIDPARAMS},
        {"unknown capability", DDSD_CAPS, 0x80000000u, 0, 8, 8, {}, DDERR_INVALIDPARAMS},
        {"unknown field",
         DDSD_CAPS | 0x80000000u,
         DDSCAPS_OFFSCREENPLAIN,
         0,
         8,
         8,
         {},
         DDERR_INVALIDPARAMS},
        {"width 0", DDSD_CAPS, DDSCAPS_OFFSCREENPLAIN, 0, 0, 8, {}, DDERR_INVALIDPARAMS},
        {"largest", DDSD_CAPS, DDSCAPS_OFFSCREENPLAIN, 0, 16384, 1, {}, DD_OK},
        {"too large", DDSD_CAPS, DDSCAPS_OFFSCREENPLAIN, 0, 16385, 1, {}, DDERR_INVALIDPARAMS},
        {"primary with a size",
         DDSD_CAPS,
         DDSCAPS_PRIMARYSURFACE,
         0,
         8,
         8,
         {},
         DDERR_INVALIDPARAMS},
    };
    for (const Case& c : cases) {
        DDSURFACEDESC2 desc = EmptyDesc();
        desc.dwFlags = c.fields | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = static_cast<DWORD>(c.width);
        desc.dwHeight = static_cast<DWORD>(c.height);
        desc.ddsCaps.dwCaps = c.caps;
        desc.ddsCaps.dwCaps2 = c.caps2;
        desc.ddpfPixelFormat = c.format;
        SurfacePtr surface;
        EXPECT_EQ(mDraw->CreateSurface(&desc, surface.Out(), nullptr), c.expected) << c.what;
        EXPECT_EQ(surface.get() != nullptr, c.expected == DD_OK) << c.what;
    }
    // A description without its size, and no out pointer.
    DDSURFACEDESC2 desc = EmptyDesc();
    desc.dwSize = 0;
    SurfacePtr surface;
    EXPECT_EQ(mDraw->CreateSurface(&desc, surface.Out(), nullptr), DDERR_INVALIDPARAMS);
    desc = EmptyDesc();
    EXPECT_EQ(mDraw->CreateSurface(&desc, nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DisplayTest, TheDescriptionTellsWhatWasMade) {
    SurfacePtr surface(MakeSurface(100, 3, TPixelFormat::X8R8G8B8, DDSCAPS_TEXTURE));
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0xAB, sizeof desc);
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
    // Pitch: 400 bytes a row rounded up to 64.
    EXPECT_EQ(desc.lPitch, 448);
    EXPECT_EQ(desc.dwWidth, 100u);
    EXPECT_EQ(desc.dwHeight, 3u);
    EXPECT_EQ(desc.ddsCaps.dwCaps, DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY);
    EXPECT_EQ(desc.ddpfPixelFormat.dwFlags, DDPF_RGB);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 32u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0x00FF0000u);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&desc);
    for (size_t i = 0; i < sizeof desc; ++i)
        ASSERT_NE(bytes[i], 0xAB) << "byte " << i << " was left as it was";

    SurfacePtr system(
        MakeSurface(5, 5, TPixelFormat::A4R4G4B4, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY));
    ASSERT_EQ(system->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.ddsCaps.dwCaps, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY);
    EXPECT_EQ(desc.ddpfPixelFormat.dwFlags, DDPF_RGB | DDPF_ALPHAPIXELS);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBAlphaBitMask, 0xF000u);
    EXPECT_EQ(desc.lPitch, 64);
    desc.dwSize = 12;
    EXPECT_EQ(system->GetSurfaceDesc(&desc), DDERR_INVALIDPARAMS);
}

TEST_F(DisplayTest, ANewSurfaceHoldsNoiseAndDiffersFromTheNext) {
    SurfacePtr a(MakeSurface(64, 16, TPixelFormat::R5G6B5));
    SurfacePtr b(MakeSurface(64, 16, TPixelFormat::R5G6B5));
    std::vector<uint32_t> first = RawPixels(a.get());
    int zeros = 0;
    for (uint32_t pixel : first)
        zeros += pixel == 0;
    EXPECT_LT(zeros, 16);
    EXPECT_NE(first, RawPixels(b.get()));
}

TEST_F(DisplayTest, LockGivesTheMemoryOfTheRectangle) {
    SurfacePtr surface(MakeSurface(10, 6, TPixelFormat::R8G8B8));
    DDSURFACEDESC2 whole = EmptyDesc();
    ASSERT_EQ(surface->Lock(nullptr, &whole, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(whole.lPitch, 64);
    EXPECT_TRUE(whole.dwFlags & DDSD_LPSURFACE);
    auto* base = static_cast<uint8_t*>(whole.lpSurface);
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);

    RECT part{2, 3, 5, 4};
    DDSURFACEDESC2 desc = EmptyDesc();
    ASSERT_EQ(surface->Lock(&part, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(static_cast<uint8_t*>(desc.lpSurface), base + 3 * 64 + 2 * 3);
    EXPECT_EQ(desc.dwWidth, 10u);  // the surface's description, not the rectangle's
    // A second lock, and an Unlock too many.
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(surface->Unlock(&part), DD_OK);
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);

    struct Case {
        RECT rect;
        DWORD flags;
        HRESULT expected;
    } cases[] = {
        {{0, 0, 11, 6}, DDLOCK_WAIT, DDERR_INVALIDRECT},
        {{-1, 0, 2, 2}, DDLOCK_WAIT, DDERR_INVALIDRECT},
        {{3, 3, 3, 4}, DDLOCK_WAIT, DDERR_INVALIDRECT},
        {{0, 0, 10, 6}, 0x80000000u, DDERR_INVALIDPARAMS},
        {{0, 0, 10, 6}, DDLOCK_WAIT | DDLOCK_WRITEONLY, DD_OK},
    };
    for (const Case& c : cases) {
        RECT rect = c.rect;
        EXPECT_EQ(surface->Lock(&rect, &desc, c.flags, nullptr), c.expected);
        if (c.expected == DD_OK) {
            EXPECT_EQ(surface->Unlock(&rect), DD_OK);
        }
    }
}

TEST_F(DisplayTest, ABusySurfaceRefusesWorkButAnswersQueries) {
    SurfacePtr target(MakeSurface(8, 8, TPixelFormat::X8R8G8B8));
    SurfacePtr source(MakeSurface(8, 8, TPixelFormat::X8R8G8B8));
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    for (bool byDc : {false, true}) {
        HDC dc = nullptr;
        DDSURFACEDESC2 desc = EmptyDesc();
        if (byDc) {
            ASSERT_EQ(target->GetDC(&dc), DD_OK);
        } else {
            ASSERT_EQ(target->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        }
        EXPECT_EQ(target->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr),
                  DDERR_SURFACEBUSY);
        EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_SURFACEBUSY);
        EXPECT_EQ(source->Blt(nullptr, target.get(), nullptr, DDBLT_WAIT, nullptr),
                  DDERR_SURFACEBUSY);
        EXPECT_EQ(target->BltFast(0, 0, source.get(), nullptr, DDBLTFAST_WAIT), DDERR_SURFACEBUSY);
        EXPECT_EQ(target->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
        HDC second = nullptr;
        EXPECT_EQ(target->GetDC(&second), DDERR_SURFACEBUSY);
        EXPECT_EQ(second, nullptr);
        DDSURFACEDESC2 query = EmptyDesc();
        EXPECT_EQ(target->GetSurfaceDesc(&query), DD_OK);
        EXPECT_EQ(target->GetFlipStatus(DDGFS_ISFLIPDONE), DD_OK);
        EXPECT_EQ(target->GetBltStatus(DDGBS_ISBLTDONE), DD_OK);
        EXPECT_EQ(target->IsLost(), DD_OK);
        bool busy = false;
        for (const port::control::SurfaceInfo& info : port::control::Surfaces()) {
            if (info.id == port::control::SurfaceId(target.get())) busy = info.busy;
        }
        EXPECT_TRUE(busy);
        if (byDc) {
            EXPECT_EQ(target->Unlock(nullptr), DDERR_NOTLOCKED);
            EXPECT_EQ(target->ReleaseDC(dc), DD_OK);
            EXPECT_EQ(target->ReleaseDC(dc), DDERR_NOTLOCKED);
        } else {
            EXPECT_EQ(target->ReleaseDC(dc), DDERR_NOTLOCKED);
            EXPECT_EQ(target->Unlock(nullptr), DD_OK);
        }
        EXPECT_EQ(target->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    }
}

TEST_F(DisplayTest, ALockOnTheDesktopBelongsToThePrimaryThatTookIt) {
    // Primaries share the desktop's memory: a lock is ended by the surface that took it, or by
    // its last Release, never left behind for the other primaries.
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{0, 0, 40, 30});
    SurfacePtr first(MakePrimary(window));
    Held<IDirectDraw7> other;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(other.Out()), IID_IDirectDraw7,
                                 nullptr),
              DD_OK);
    ASSERT_EQ(other->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    SurfacePtr second;
    ASSERT_EQ(other->CreateSurface(&desc, second.Out(), nullptr), DD_OK);

    DDSURFACEDESC2 locked = EmptyDesc();
    ASSERT_EQ(first->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(second->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(second->Unlock(nullptr), DDERR_NOTLOCKED);
    EXPECT_TRUE(port::control::PlayerView().Empty());

    first.Reset();  // released while locked
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0x00123456;
    RECT spot{0, 0, 40, 30};
    EXPECT_EQ(second->Blt(&spot, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    port::control::Image view = port::control::PlayerView();
    ASSERT_FALSE(view.Empty());
    EXPECT_EQ(view.At(39, 29), 0xFF123456u);
}

TEST_F(DisplayTest, StatusQueriesAnswerDoneAndCheckTheirQuestion) {
    SurfacePtr surface(MakeSurface(4, 4, TPixelFormat::R5G6B5));
    EXPECT_EQ(surface->GetFlipStatus(DDGFS_ISFLIPDONE), DD_OK);
    EXPECT_EQ(surface->GetFlipStatus(DDGFS_CANFLIP), DD_OK);
    EXPECT_EQ(surface->GetBltStatus(DDGBS_ISBLTDONE), DD_OK);
    EXPECT_EQ(surface->GetFlipStatus(0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface->GetBltStatus(DDGBS_CANBLT | DDGBS_ISBLTDONE), DDERR_INVALIDPARAMS);
}

TEST_F(DisplayTest, AZBufferAttachesWithAReferenceOfItsHolder) {
    SurfacePtr target(
        MakeSurface(16, 8, TPixelFormat::X8R8G8B8, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE));
    DDSCAPS2 zcaps{DDSCAPS_ZBUFFER, 0, 0, 0};
    IDirectDrawSurface7* missing = reinterpret_cast<IDirectDrawSurface7*>(0x1);
    EXPECT_EQ(target->GetAttachedSurface(&zcaps, &missing), DDERR_NOTFOUND);
    EXPECT_EQ(missing, nullptr);
    SurfacePtr found;

    IDirectDrawSurface7* z = MakeSurface(16, 8, TPixelFormat::D16);
    SurfacePtr smallZ(MakeSurface(8, 8, TPixelFormat::D16));
    SurfacePtr plain(MakeSurface(16, 8, TPixelFormat::X8R8G8B8));
    EXPECT_EQ(target->AddAttachedSurface(smallZ.get()), DDERR_INVALIDPARAMS);
    EXPECT_EQ(target->AddAttachedSurface(plain.get()), DDERR_INVALIDPARAMS);
    EXPECT_EQ(z->AddAttachedSurface(target.get()), DDERR_INVALIDPARAMS);
    ASSERT_EQ(target->AddAttachedSurface(z), DD_OK);
    EXPECT_EQ(target->AddAttachedSurface(z), DDERR_INVALIDPARAMS);
    // The last outside reference goes; the attachment keeps the z-buffer alive and usable.
    EXPECT_EQ(z->Release(), 1u);
    ASSERT_EQ(target->GetAttachedSurface(&zcaps, found.Out()), DD_OK);
    ASSERT_EQ(found.get(), z);
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0xFFFF;
    EXPECT_EQ(found->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    EXPECT_EQ(RawPixel(found.get(), 15, 7), 0xFFFFu);
    EXPECT_EQ(target->DeleteAttachedSurface(0, smallZ.get()), DDERR_NOTATTACHED);
    EXPECT_EQ(target->DeleteAttachedSurface(0, found.get()), DD_OK);
    EXPECT_EQ(target->DeleteAttachedSurface(0, nullptr), DDERR_NOTATTACHED);
    // Ours is now the last reference (ASan sees the z-buffer freed with it).
    EXPECT_EQ(found.Take()->Release(), 0u);

    // A holder freed with its z-buffer attached lets it go.
    IDirectDrawSurface7* holder = MakeSurface(8, 8, TPixelFormat::R5G6B5);
    ASSERT_EQ(holder->AddAttachedSurface(smallZ.get()), DD_OK);
    holder->Release();
    EXPECT_EQ(smallZ->AddRef(), 2u);
    smallZ->Release();
}

TEST_F(DisplayTest, ObjectsLiveUntilTheirLastRelease) {
    // A surface, its clipper and a device context outlive the DirectDraw object that made them.
    IDirectDrawSurface7* surface = MakeSurface(4, 4, TPixelFormat::A8R8G8B8);
    IDirectDrawSurface7* other = MakeSurface(4, 4, TPixelFormat::R5G6B5);
    Held<IDirectDrawClipper> clipper;
    ASSERT_EQ(mDraw->CreateClipper(0, clipper.Out(), nullptr), DD_OK);
    ASSERT_EQ(surface->SetClipper(clipper.get()), DD_OK);
    EXPECT_EQ(mDraw->Release(), 0u);
    mDraw = nullptr;
    HDC dc = nullptr;
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_EQ(surface->Release(), 1u);  // the device context holds the last one
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    // The window system's ReleaseDC does not take a surface's device context away.
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
    EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 0);

    // QueryInterface adds a reference; an unknown interface answers none.
    void* same = nullptr;
    ASSERT_EQ(other->QueryInterface(IID_IDirectDrawSurface7, &same), DD_OK);
    EXPECT_EQ(same, other);
    void* none = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(other->QueryInterface(IID_IDirectDraw7, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(other->Release(), 1u);
    EXPECT_EQ(other->Release(), 0u);
}

TEST_F(DisplayTest, OnePrimaryPerObjectShowingTheDesktop) {
    port::control::SetDesktop(800, 600, 16);
    SurfacePtr primary(MakePrimary());
    ASSERT_NE(primary.get(), nullptr);
    DDSURFACEDESC2 desc = EmptyDesc();
    ASSERT_EQ(primary->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, 800u);
    EXPECT_EQ(desc.dwHeight, 600u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0xF800u);
    EXPECT_EQ(desc.lPitch, 1600);

    DDSURFACEDESC2 again = EmptyDesc();
    again.dwFlags = DDSD_CAPS;
    again.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    SurfacePtr second;
    EXPECT_EQ(mDraw->CreateSurface(&again, second.Out(), nullptr), DDERR_INVALIDPARAMS);

    // Another object's primary shares the memory: what one writes the other shows.
    Held<IDirectDraw7> other;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(other.Out()), IID_IDirectDraw7,
                                 nullptr),
              DD_OK);
    ASSERT_EQ(other->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    ASSERT_EQ(other->CreateSurface(&again, second.Out(), nullptr), DD_OK);
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = 0x1234;
    RECT spot{10, 20, 11, 21};
    ASSERT_EQ(primary->Blt(&spot, nullptr, nullptr, DDBLT_COLORFILL, &fx), DD_OK);
    EXPECT_EQ(RawPixel(second.get(), 10, 20), 0x1234u);

    // Without a primary left, the object may make one again; a palettised desktop has none.
    primary.Reset();
    port::control::SetDesktop(640, 480, 8);
    EXPECT_EQ(mDraw->CreateSurface(&again, primary.Out(), nullptr), DDERR_INVALIDPIXELFORMAT);
}

TEST_F(DisplayTest, CreationAndLevelsCheckTheirArguments) {
    GUID unknown{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    void* object = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(DirectDrawCreateEx(&unknown, &object, IID_IDirectDraw7, nullptr),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(DirectDrawCreateEx(nullptr, &object, IID_IDirectDrawSurface7, nullptr),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(DirectDrawCreateEx(nullptr, nullptr, IID_IDirectDraw7, nullptr), DDERR_INVALIDPARAMS);

    HWND window = MakeWindow();
    EXPECT_EQ(mDraw->SetCooperativeLevel(window, DDSCL_NORMAL | DDSCL_FPUPRESERVE), DD_OK);
    EXPECT_EQ(mDraw->SetCooperativeLevel(window, DDSCL_FPUPRESERVE), DDERR_INVALIDPARAMS);
    EXPECT_EQ(mDraw->SetCooperativeLevel(window, DDSCL_NORMAL | 0x40000000u), DDERR_INVALIDPARAMS);
    DestroyWindow(window);
    EXPECT_EQ(mDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DDERR_INVALIDPARAMS);

    Held<IDirectDrawClipper> clipper;
    EXPECT_EQ(mDraw->CreateClipper(1, clipper.Out(), nullptr), DDERR_INVALIDPARAMS);
    ASSERT_EQ(mDraw->CreateClipper(0, clipper.Out(), nullptr), DD_OK);
    EXPECT_EQ(clipper->SetHWnd(0, window), DDERR_INVALIDPARAMS);
    HWND bound = reinterpret_cast<HWND>(0x1);
    EXPECT_EQ(clipper->GetHWnd(&bound), DD_OK);
    EXPECT_EQ(bound, nullptr);
}

TEST(DisplayResults, OurOwnCodesAreDistinctAndApartFromTheFixedOnes) {
    // The program tells results apart by value: a code of our own that collided with another
    // would send it down the wrong path.
    const HRESULT fixed[] = {S_OK,
                             E_FAIL,
                             E_POINTER,
                             E_INVALIDARG,
                             E_NOINTERFACE,
                             E_OUTOFMEMORY,
                             DDERR_OUTOFVIDEOMEMORY,
                             DDERR_SURFACELOST,
                             DDERR_WASSTILLDRAWING,
                             D3DERR_TARGETINSYSTEMMEMORY,
                             D3DERR_DESKTOPCOLOURS,
                             DDERR_TEXTURENOTNOW};
    const HRESULT own[] = {
        DDERR_WRONGMODE,           DDERR_NOEXCLUSIVEMODE,    DDERR_EXCLUSIVEMODEALREADYSET,
        DDERR_CURRENTLYNOTAVAIL,   DDERR_INVALIDMODE,        DDERR_INVALIDOBJECT,
        DDERR_INVALIDPARAMS,       DDERR_INVALIDPIXELFORMAT, DDERR_INVALIDRECT,
        DDERR_SURFACEBUSY,         DDERR_NOTFLIPPABLE,       DDERR_NOTFOUND,
        DDERR_NOTLOCKED,           DDERR_NOTATTACHED,        D3DERR_SCENE_IN_SCENE,
        D3DERR_SCENE_NOT_IN_SCENE, D3DERR_SCENE_END_FAILED,  D3DERR_ZBUFFER_NOTPRESENT,
        D3DERR_INVALIDDEVICE};
    std::set<HRESULT> seen(std::begin(fixed), std::end(fixed));
    EXPECT_EQ(seen.size(), std::size(fixed));
    for (HRESULT code : own) {
        EXPECT_EQ(static_cast<uint32_t>(code) >> 16, 0x8876u) << std::hex << code;
        EXPECT_TRUE(FAILED(code)) << std::hex << code;
        EXPECT_TRUE(seen.insert(code).second) << std::hex << code << " is given twice";
    }
}

}  // namespace
