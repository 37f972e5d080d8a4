// Full-screen flip chains and lost surfaces: what a flip exchanges, what a chain's back buffer is
// after the chain, loss by the control plane, by a focus change of the exclusive display and by
// a display mode change, and what Restore and RestoreAllSurfaces give back.
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "displayfixture.h"
#include "port/display/control.h"
#include "port/startup.h"
#include "port/window/messages.h"
#include "port/window/window.h"

namespace {

using display_testing::DisplayTest;
using display_testing::EmptyDesc;
using display_testing::Held;
using display_testing::SurfacePtr;
using raster::TPixelFormat;

using DrawPtr = Held<IDirectDraw7>;
constexpr DWORD kFullScreen = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;

DDBLTFX FillWith(DWORD color) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = color;
    return fx;
}

HRESULT Fill(IDirectDrawSurface7* surface, DWORD color) {
    DDBLTFX fx = FillWith(color);
    return surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

DDSURFACEDESC2 ChainDesc() {
    DDSURFACEDESC2 desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.ddsCaps.dwCaps =
        DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
    desc.dwBackBufferCount = 1;
    return desc;
}

// Every pixel of the image, or the first that differs.
bool AllAre(const port::control::Image& image, uint32_t argb) {
    for (uint32_t pixel : image.argb) {
        if (pixel != argb) return false;
    }
    return !image.Empty();
}

// A display at the exclusive level in a small mode of its own, with its window in front.
class FullScreenTest : public DisplayTest {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override {
        DisplayTest::SetUp();
        port::control::AdapterSpec adapter;
        adapter.modes = {{kWidth, kHeight, 32, 60}, {kWidth, kHeight, 16, 60}};
        port::control::SetAdapters({adapter});
        mDraw->Release();
        mDraw = nullptr;
        ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDraw), IID_IDirectDraw7,
                                     nullptr),
                  DD_OK);
        mWindow = MakeWindow(WS_POPUP, 0, true, RECT{0, 0, kWidth, kHeight});
        ASSERT_EQ(mDraw->SetCooperativeLevel(mWindow, kFullScreen), DD_OK);
        ASSERT_EQ(mDraw->SetDisplayMode(kWidth, kHeight, 32, 0, 0), DD_OK);
    }

    // The chain's front buffer, and its back buffer into *back.
    IDirectDrawSurface7* MakeChain(SurfacePtr* back) {
        DDSURFACEDESC2 desc = ChainDesc();
        IDirectDrawSurface7* front = nullptr;
        EXPECT_EQ(mDraw->CreateSurface(&desc, &front, nullptr), DD_OK);
        if (front == nullptr) return nullptr;
        DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
        EXPECT_EQ(front->GetAttachedSurface(&caps, back->Out()), DD_OK);
        return front;
    }

    HWND mWindow = nullptr;
};

// ---- Flip chains

TEST_F(FullScreenTest, FlipExchangesWhatFrontAndBackShow) {
    SurfacePtr back;
    SurfacePtr front(MakeChain(&back));
    ASSERT_NE(back.get(), nullptr);
    // The mode's size and format, both buffers in video memory.
    DDSURFACEDESC2 desc = EmptyDesc();
    ASSERT_EQ(back->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.dwWidth, static_cast<DWORD>(kWidth));
    EXPECT_EQ(desc.dwHeight, static_cast<DWORD>(kHeight));
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 32u);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_BACKBUFFER);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_VIDEOMEMORY);
    EXPECT_EQ(port::control::VideoMemory().used, 2u * 256u * kHeight);

    ASSERT_EQ(Fill(front.get(), 0x000000FF), DD_OK);
    ASSERT_EQ(Fill(back.get(), 0x00FF0000), DD_OK);
    EXPECT_TRUE(AllAre(port::control::PlayerView(), 0xFF0000FF));
    ASSERT_EQ(front->Flip(nullptr, 0), DD_OK);
    EXPECT_TRUE(AllAre(port::control::PlayerView(), 0xFFFF0000));
    // Each interface keeps its role and shows the other memory.
    EXPECT_TRUE(AllAre(port::control::SurfaceImage(front.get()), 0xFFFF0000));
    EXPECT_TRUE(AllAre(port::control::SurfaceImage(back.get()), 0xFF0000FF));
    ASSERT_EQ(back->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_BACKBUFFER);
    // What draws into the back buffer now draws into the new back memory.
    ASSERT_EQ(Fill(back.get(), 0x0000FF00), DD_OK);
    EXPECT_TRUE(AllAre(port::control::PlayerView(), 0xFFFF0000));
    ASSERT_EQ(front->Flip(back.get(), DDFLIP_WAIT), DD_OK);
    EXPECT_TRUE(AllAre(port::control::PlayerView(), 0xFF00FF00));

    // The attached back buffer is one interface.
    SurfacePtr again;
    DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
    ASSERT_EQ(front->GetAttachedSurface(&caps, again.Out()), DD_OK);
    EXPECT_EQ(again.get(), back.get());
}

TEST_F(FullScreenTest, AChainInA16BitModeIsR5G6B5) {
    ASSERT_EQ(mDraw->SetDisplayMode(kWidth, kHeight, 16, 0, 0), DD_OK);
    SurfacePtr back;
    SurfacePtr front(MakeChain(&back));
    DDSURFACEDESC2 desc = EmptyDesc();
    ASSERT_EQ(front->GetSurfaceDesc(&desc), DD_OK);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwGBitMask, 0x07E0u);
    EXPECT_EQ(desc.ddsCaps.dwCaps & (DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER),
              DDSCAPS_PRIMARYSURFACE | DDSCAPS_FRONTBUFFER);
}

TEST_F(FullScreenTest, OnlyAFrontBufferFlipsAndNotWhileBusy) {
    SurfacePtr back;
    SurfacePtr front(MakeChain(&back));
    SurfacePtr plain(MakeSurface(8, 8, TPixelFormat::X8R8G8B8));
    EXPECT_EQ(back->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);
    EXPECT_EQ(plain->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);
    EXPECT_EQ(front->Flip(plain.get(), 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(front->Flip(nullptr, 0x100), DDERR_INVALIDPARAMS);

    DDSURFACEDESC2 desc = EmptyDesc();
    ASSERT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(front->Flip(nullptr, 0), DDERR_SURFACEBUSY);
    ASSERT_EQ(back->Unlock(nullptr), DD_OK);
    HDC dc = nullptr;
    ASSERT_EQ(front->GetDC(&dc), DD_OK);
    EXPECT_EQ(front->Flip(nullptr, 0), DDERR_SURFACEBUSY);
    ASSERT_EQ(front->ReleaseDC(dc), DD_OK);
    EXPECT_EQ(front->Flip(nullptr, 0), DD_OK);
}

TEST_F(DisplayTest, TheWindowedPrimaryDoesNotFlip) {
    SurfacePtr primary(MakePrimary());
    EXPECT_EQ(primary->Flip(nullptr, 0), DDERR_NOTFLIPPABLE);
}

TEST_F(FullScreenTest, AChainNeedsTheExclusiveLevelOneBackBufferAndVideoMemory) {
    DrawPtr windowed;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(windowed.Out()),
                                 IID_IDirectDraw7, nullptr),
              DD_OK);
    ASSERT_EQ(windowed->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc = ChainDesc();
    SurfacePtr made;
    EXPECT_EQ(windowed->CreateSurface(&desc, made.Out(), nullptr), DDERR_NOEXCLUSIVEMODE);

    struct Case {
        const char* what;
        DWORD fields;
        DWORD caps;
        DWORD count;
    } cases[] = {
        {"two back buffers", DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
         DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, 2},
        {"no count", DDSD_CAPS, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX, 1},
        {"not complex", DDSD_CAPS | DDSD_BACKBUFFERCOUNT, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP, 1},
        {"not a primary", DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
         DDSCAPS_OFFSCREENPLAIN | DDSCAPS_FLIP | DDSCAPS_COMPLEX, 1},
        {"system memory", DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
         DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_SYSTEMMEMORY, 1},
    };
    for (const Case& c : cases) {
        desc.dwFlags = c.fields;
        desc.ddsCaps.dwCaps = c.caps;
        desc.dwBackBufferCount = c.count;
        EXPECT_EQ(mDraw->CreateSurface(&desc, made.Out(), nullptr), DDERR_INVALIDPARAMS) << c.what;
    }

    // Two buffers must fit the budget.
    port::control::AdapterSpec small;
    small.videoMemory = 256u * kHeight * 2 - 1;
    small.modes = {{kWidth, kHeight, 32, 60}};
    port::control::SetAdapters({small});
    DrawPtr tight;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(tight.Out()), IID_IDirectDraw7,
                                 nullptr),
              DD_OK);
    ASSERT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_NORMAL), DD_OK);
    ASSERT_EQ(tight->SetCooperativeLevel(mWindow, kFullScreen), DD_OK);
    desc = ChainDesc();
    EXPECT_EQ(tight->CreateSurface(&desc, made.Out(), nullptr), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(port::control::VideoMemory().used, 0u);
}

TEST_F(FullScreenTest, ABackBufferKeptPastItsChainIsLostAndHoldsNoMemory) {
    SurfacePtr back;
    SurfacePtr front(MakeChain(&back));
    ASSERT_EQ(Fill(back.get(), 0x00123456), DD_OK);
    SurfacePtr source(MakeSurface(kWidth, kHeight, TPixelFormat::X8R8G8B8));
    front.Reset();
    // Only the plain surface's bytes remain taken.
    EXPECT_EQ(port::control::VideoMemory().used, 256u * kHeight);

    DDSURFACEDESC2 desc = EmptyDesc();
    HDC dc = nullptr;
    EXPECT_EQ(back->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(desc.lpSurface, nullptr);
    EXPECT_EQ(Fill(back.get(), 0), DDERR_SURFACELOST);
    EXPECT_EQ(back->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(source->Blt(nullptr, back.get(), nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(back->BltFast(0, 0, source.get(), nullptr, 0), DDERR_SURFACELOST);
    EXPECT_EQ(back->GetDC(&dc), DDERR_SURFACELOST);
    EXPECT_EQ(back->Restore(), DDERR_SURFACELOST);
    EXPECT_EQ(mDraw->RestoreAllSurfaces(), DD_OK);
    EXPECT_EQ(back->IsLost(), DDERR_SURFACELOST);
    // The list shows it lost and without memory.
    bool listed = false;
    for (const port::control::SurfaceInfo& info : port::control::Surfaces()) {
        if (info.id != port::control::SurfaceId(back.get())) continue;
        listed = true;
        EXPECT_TRUE(info.lost);
        EXPECT_FALSE(info.resident);
    }
    EXPECT_TRUE(listed);
    // Full screen no longer shows a chain: the view is the window's again.
    EXPECT_EQ(port::control::PlayerView().width, kWidth);
}

// ---- Loss and restore

// One operation on a surface, as a row of the loss tables.
struct Operation {
    const char* name;
    HRESULT (*call)(IDirectDrawSurface7* surface, IDirectDrawSurface7* other);
};

const Operation kSurfaceOperations[] = {
    {"IsLost", [](IDirectDrawSurface7* s, IDirectDrawSurface7*) { return s->IsLost(); }},
    {"Lock",
     [](IDirectDrawSurface7* s, IDirectDrawSurface7*) {
         DDSURFACEDESC2 desc = EmptyDesc();
         HRESULT result = s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
         if (result == DD_OK) s->Unlock(nullptr);
         return result;
     }},
    {"Blt fill", [](IDirectDrawSurface7* s, IDirectDrawSurface7*) { return Fill(s, 0); }},
    {"Blt onto",
     [](IDirectDrawSurface7* s, IDirectDrawSurface7* other) {
         return s->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr);
     }},
    {"Blt from",
     [](IDirectDrawSurface7* s, IDirectDrawSurface7* other) {
         return other->Blt(nullptr, s, nullptr, DDBLT_WAIT, nullptr);
     }},
    {"BltFast",
     [](IDirectDrawSurface7* s, IDirectDrawSurface7* other) {
         return s->BltFast(0, 0, other, nullptr, DDBLTFAST_WAIT);
     }},
    {"GetDC",
     [](IDirectDrawSurface7* s, IDirectDrawSurface7*) {
         HDC dc = nullptr;
         HRESULT result = s->GetDC(&dc);
         if (result == DD_OK) s->ReleaseDC(dc);
         return result;
     }},
};

void ExpectEveryOperation(IDirectDrawSurface7* surface, IDirectDrawSurface7* other,
                          HRESULT expected, const char* when) {
    for (const Operation& operation : kSurfaceOperations) {
        EXPECT_EQ(operation.call(surface, other), expected) << operation.name << ", " << when;
    }
}

TEST_F(DisplayTest, LoseAllSurfacesLosesThemUntilRestoreAllGivesMemoryHoldingNoise) {
    SurfacePtr plain(MakeSurface(32, 16, TPixelFormat::X8R8G8B8));
    SurfacePtr texture(MakeSurface(32, 16, TPixelFormat::R5G6B5, DDSCAPS_TEXTURE));
    SurfacePtr other(MakeSurface(32, 16, TPixelFormat::X8R8G8B8, DDSCAPS_SYSTEMMEMORY));
    SurfacePtr primary(MakePrimary());
    ASSERT_EQ(Fill(plain.get(), 0x00ABCDEF), DD_OK);
    ASSERT_EQ(Fill(texture.get(), 0), DD_OK);
    ExpectEveryOperation(plain.get(), other.get(), DD_OK, "before");

    port::control::LoseAllSurfaces();
    for (IDirectDrawSurface7* surface : {plain.get(), texture.get(), primary.get()})
        EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    // The other surface is lost too; restore it alone to see the plain one's answers.
    ASSERT_EQ(other->Restore(), DD_OK);
    ExpectEveryOperation(plain.get(), other.get(), DDERR_SURFACELOST, "lost");
    EXPECT_EQ(plain->IsLost(), DDERR_SURFACELOST) << "Restore of one surface restores only it";
    for (const port::control::SurfaceInfo& info : port::control::Surfaces()) {
        EXPECT_EQ(info.lost, info.id != port::control::SurfaceId(other.get())) << info.id;
    }
    // Queries still answer.
    DDSURFACEDESC2 desc = EmptyDesc();
    EXPECT_EQ(plain->GetSurfaceDesc(&desc), DD_OK);

    ASSERT_EQ(mDraw->RestoreAllSurfaces(), DD_OK);
    ExpectEveryOperation(plain.get(), other.get(), DD_OK, "restored");
    EXPECT_EQ(primary->IsLost(), DD_OK);
    // The memory holds noise: neither what was drawn before nor zero.
    for (IDirectDrawSurface7* surface : {plain.get(), texture.get()}) {
        std::vector<uint32_t> pixels = RawPixels(surface);
        int same = 0, zero = 0;
        for (uint32_t pixel : pixels) {
            same += pixel == (surface == plain.get() ? 0x00ABCDEFu : 0u);
            zero += pixel == 0;
        }
        EXPECT_LT(same, 8);
        EXPECT_LT(zero, 8);
    }
}

TEST_F(DisplayTest, RestoreAllSurfacesRestoresOnlyItsOwnObjects) {
    DrawPtr other;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(other.Out()), IID_IDirectDraw7,
                                 nullptr),
              DD_OK);
    ASSERT_EQ(other->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    SurfacePtr mine(MakeSurface(8, 8, TPixelFormat::X8R8G8B8));
    DDSURFACEDESC2 desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = desc.dwHeight = 8;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    SurfacePtr theirs;
    ASSERT_EQ(other->CreateSurface(&desc, theirs.Out(), nullptr), DD_OK);
    port::control::LoseAllSurfaces();
    ASSERT_EQ(mDraw->RestoreAllSurfaces(), DD_OK);
    EXPECT_EQ(mine->IsLost(), DD_OK);
    EXPECT_EQ(theirs->IsLost(), DDERR_SURFACELOST);
}

TEST_F(FullScreenTest, AChainIsLostAndRestoredAsOne) {
    SurfacePtr back;
    SurfacePtr front(MakeChain(&back));
    port::control::LoseAllSurfaces();
    EXPECT_EQ(front->Flip(nullptr, 0), DDERR_SURFACELOST);
    EXPECT_EQ(back->IsLost(), DDERR_SURFACELOST);
    ASSERT_EQ(back->Restore(), DD_OK);
    EXPECT_EQ(front->IsLost(), DD_OK);
    EXPECT_EQ(front->Flip(nullptr, 0), DD_OK);
}

TEST_F(FullScreenTest, AnExclusiveDisplayLosingTheFocusLosesItsSurfacesUntilRestored) {
    SurfacePtr back;
    SurfacePtr front(MakeChain(&back));
    SurfacePtr plain(MakeSurface(8, 8, TPixelFormat::X8R8G8B8));
    HWND other = MakeWindow(WS_POPUP, 0, false, RECT{0, 0, 10, 10});
    // What the window procedure sees while its application is switched away from.
    std::optional<HRESULT> seenOnDeactivation;
    window_testing::SetHook(
        [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_ACTIVATEAPP && wParam == FALSE) {
                seenOnDeactivation = mDraw->TestCooperativeLevel();
            }
            return std::nullopt;
        });
    ASSERT_EQ(front->Flip(nullptr, 0), DD_OK);

    for (HWND away : {other, static_cast<HWND>(nullptr)}) {
        SCOPED_TRACE(away == nullptr ? "another program" : "another window of ours");
        port::control::InjectFocus(away);
        for (IDirectDrawSurface7* surface : {front.get(), back.get(), plain.get()})
            EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
        EXPECT_EQ(front->Flip(nullptr, 0), DDERR_SURFACELOST);
        EXPECT_EQ(mDraw->TestCooperativeLevel(), DDERR_NOEXCLUSIVEMODE);
        EXPECT_EQ(mDraw->SetCooperativeLevel(mWindow, kFullScreen), DDERR_NOEXCLUSIVEMODE);
        EXPECT_EQ(mDraw->RestoreAllSurfaces(), DDERR_NOEXCLUSIVEMODE);
        EXPECT_EQ(front->Restore(), DDERR_NOEXCLUSIVEMODE);
        EXPECT_EQ(mDraw->SetDisplayMode(kWidth, kHeight, 16, 0, 0), DDERR_NOEXCLUSIVEMODE);

        port::control::InjectFocus(mWindow);
        EXPECT_EQ(mDraw->TestCooperativeLevel(), DD_OK);
        EXPECT_EQ(mDraw->SetCooperativeLevel(mWindow, kFullScreen), DD_OK);
        EXPECT_EQ(front->IsLost(), DDERR_SURFACELOST) << "still lost until restored";
        ASSERT_EQ(mDraw->RestoreAllSurfaces(), DD_OK);
        for (IDirectDrawSurface7* surface : {front.get(), back.get(), plain.get()})
            EXPECT_EQ(surface->IsLost(), DD_OK);
        EXPECT_EQ(front->Flip(nullptr, 0), DD_OK);
    }
    ASSERT_TRUE(seenOnDeactivation.has_value());
    EXPECT_EQ(*seenOnDeactivation, DDERR_NOEXCLUSIVEMODE);
}

TEST_F(DisplayTest, AWindowedFocusChangeLosesNothing) {
    HWND main = MakeWindow();
    HWND other = MakeWindow();
    ASSERT_EQ(mDraw->SetCooperativeLevel(main, DDSCL_NORMAL), DD_OK);
    SurfacePtr primary(MakePrimary(main));
    SurfacePtr plain(MakeSurface(8, 8, TPixelFormat::X8R8G8B8));
    for (HWND focus : {other, static_cast<HWND>(nullptr), main}) {
        port::control::InjectFocus(focus);
        EXPECT_EQ(primary->IsLost(), DD_OK);
        EXPECT_EQ(plain->IsLost(), DD_OK);
        EXPECT_EQ(mDraw->TestCooperativeLevel(), DD_OK);
    }
}

TEST_F(DisplayTest, ADesktopModeChangeLosesTheSurfacesAndGivesTheWrongMode) {
    port::control::SetDesktop(1024, 768, 32);
    HWND main = MakeWindow();
    ASSERT_EQ(mDraw->SetCooperativeLevel(main, DDSCL_NORMAL), DD_OK);
    SurfacePtr primary(MakePrimary(main));
    SurfacePtr plain(MakeSurface(8, 8, TPixelFormat::X8R8G8B8));
    std::optional<HRESULT> seenOnChange;
    window_testing::SetHook([&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DISPLAYCHANGE) seenOnChange = mDraw->TestCooperativeLevel();
        return std::nullopt;
    });

    port::control::InjectDisplayChange(800, 600, 16);
    ASSERT_TRUE(seenOnChange.has_value());
    EXPECT_EQ(*seenOnChange, DDERR_WRONGMODE);
    EXPECT_EQ(mDraw->TestCooperativeLevel(), DDERR_WRONGMODE);
    EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(plain->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(plain->Restore(), DDERR_WRONGMODE);
    EXPECT_EQ(mDraw->RestoreAllSurfaces(), DDERR_WRONGMODE);
    // Going back to the first mode does not make the object right again: it is made anew.
    port::control::InjectDisplayChange(1024, 768, 32);
    EXPECT_EQ(mDraw->TestCooperativeLevel(), DDERR_WRONGMODE);
    DrawPtr fresh;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(fresh.Out()), IID_IDirectDraw7,
                                 nullptr),
              DD_OK);
    EXPECT_EQ(fresh->TestCooperativeLevel(), DD_OK);
}

TEST_F(FullScreenTest, TheExclusiveHolderIsNotInTheWrongModeAfterItsOwnModeChange) {
    EXPECT_EQ(mDraw->TestCooperativeLevel(), DD_OK);
    ASSERT_EQ(mDraw->SetDisplayMode(kWidth, kHeight, 16, 0, 0), DD_OK);
    EXPECT_EQ(mDraw->TestCooperativeLevel(), DD_OK);
}

// ---- Still drawing

TEST_F(FullScreenTest, StillDrawingIsAnsweredOnlyAsOftenAsATestAsks) {
    SurfacePtr back;
    SurfacePtr front(MakeChain(&back));
    struct Case {
        const char* operation;
        HRESULT (*call)(IDirectDrawSurface7* front, IDirectDrawSurface7* back);
    } cases[] = {
        {"GetFlipStatus", [](IDirectDrawSurface7* f,
                             IDirectDrawSurface7*) { return f->GetFlipStatus(DDGFS_ISFLIPDONE); }},
        {"GetBltStatus", [](IDirectDrawSurface7*,
                            IDirectDrawSurface7* b) { return b->GetBltStatus(DDGBS_ISBLTDONE); }},
        {"Flip", [](IDirectDrawSurface7* f, IDirectDrawSurface7*) { return f->Flip(nullptr, 0); }},
        {"Blt",
         [](IDirectDrawSurface7* f, IDirectDrawSurface7* b) {
             return f->Blt(nullptr, b, nullptr, DDBLT_WAIT, nullptr);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        port::control::InjectFailure(c.operation, DDERR_WASSTILLDRAWING, 3);
        // A present loop that repeats while the answer is "still drawing" ends.
        int repeats = 0;
        HRESULT result;
        while ((result = c.call(front.get(), back.get())) == DDERR_WASSTILLDRAWING)
            ++repeats;
        EXPECT_EQ(result, DD_OK);
        EXPECT_EQ(repeats, 3);
        EXPECT_EQ(c.call(front.get(), back.get()), DD_OK);
    }
}

// ---- Under the sdl backend

class SdlLossTest : public display_testing::SdlDisplayTest {};

TEST_F(SdlLossTest, SurfacesOfARealWindowAreLostAndRestored) {
    HWND window = MakeWindow(WS_POPUP, 0, true, RECT{0, 0, 64, 48});
    ASSERT_EQ(mDraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    {
        SurfacePtr primary(MakePrimary(window));
        port::control::LoseAllSurfaces();
        EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
        ASSERT_EQ(mDraw->RestoreAllSurfaces(), DD_OK);
        EXPECT_EQ(Fill(primary.get(), 0x00FF0000), DD_OK);
        EXPECT_EQ(port::control::PlayerView().At(0, 0), 0xFFFF0000u);
    }
    ASSERT_EQ(mDraw->SetCooperativeLevel(window, kFullScreen), DD_OK);
    DDSURFACEDESC2 desc = ChainDesc();
    SurfacePtr front;
    ASSERT_EQ(mDraw->CreateSurface(&desc, front.Out(), nullptr), DD_OK);
    port::control::InjectFocus(nullptr);
    EXPECT_EQ(front->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(mDraw->TestCooperativeLevel(), DDERR_NOEXCLUSIVEMODE);
    port::control::InjectFocus(window);
    EXPECT_EQ(mDraw->TestCooperativeLevel(), DD_OK);
    EXPECT_EQ(mDraw->RestoreAllSurfaces(), DD_OK);
    EXPECT_EQ(front->Flip(nullptr, 0), DD_OK);
}

}  // namespace
