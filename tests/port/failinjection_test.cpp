// Failure injection shared by every service: HRESULT answers, "after k successes", predicates
// over a call's arguments, the call log, and the Windows calls' injections as they were.
#include "displayfixture.h"
#include "port/system/lasterror.h"
#include "port/system/sync.h"
#include "port/window/gdi.h"

namespace {

using display_testing::DisplayTest;
using display_testing::SurfacePtr;
using port::control::Failure;
using raster::TPixelFormat;

Failure Answer(HRESULT result, int count, int after = 0,
               std::function<bool(const port::CallInfo&)> when = {}) {
    Failure failure;
    failure.code = static_cast<uint32_t>(result);
    failure.count = count;
    failure.after = after;
    failure.when = std::move(when);
    return failure;
}

TEST_F(DisplayTest, APredicateFailsOnlyTheCallsThatMatch) {
    // "CreateSurface with VIDEOMEMORY and an alpha format".
    port::control::InjectFailure(
        "CreateSurface", Answer(DDERR_OUTOFVIDEOMEMORY, -1, 0, [](const port::CallInfo& call) {
            return (call.Arg("caps") & DDSCAPS_VIDEOMEMORY) && call.Arg("alpha") == 1;
        }));
    SurfacePtr plain(
        MakeSurface(4, 4, TPixelFormat::X8R8G8B8, DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY));
    SurfacePtr system(
        MakeSurface(4, 4, TPixelFormat::A8R8G8B8, DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY));
    EXPECT_NE(plain.get(), nullptr);
    EXPECT_NE(system.get(), nullptr);
    DDSURFACEDESC2 desc = display_testing::EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = desc.dwHeight = 4;
    desc.ddpfPixelFormat = display_testing::FormatOf(TPixelFormat::A4R4G4B4);
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY;
    SurfacePtr alpha;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(mDraw->CreateSurface(&desc, alpha.Out(), nullptr), DDERR_OUTOFVIDEOMEMORY);
        EXPECT_EQ(alpha.get(), nullptr);
    }
    port::control::InjectFailure("CreateSurface", Answer(0, 0));
    EXPECT_EQ(mDraw->CreateSurface(&desc, alpha.Out(), nullptr), DD_OK);
}

TEST_F(DisplayTest, AfterSuccessesCountsTheMatchingCalls) {
    SurfacePtr a(MakeSurface(4, 4, TPixelFormat::R5G6B5));
    SurfacePtr b(MakeSurface(4, 4, TPixelFormat::X8R8G8B8));
    // Two "still drawing" answers for the 32-bit surface, after it answered twice.
    port::control::InjectFailure(
        "GetFlipStatus", Answer(DDERR_WASSTILLDRAWING, 2, 2,
                                [](const port::CallInfo& call) { return call.Arg("bits") == 32; }));
    std::vector<HRESULT> answers;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(a->GetFlipStatus(DDGFS_ISFLIPDONE), DD_OK);  // never matches, never counts
        answers.push_back(b->GetFlipStatus(DDGFS_ISFLIPDONE));
    }
    EXPECT_EQ(answers, (std::vector<HRESULT>{DD_OK, DD_OK, DDERR_WASSTILLDRAWING,
                                             DDERR_WASSTILLDRAWING, DD_OK, DD_OK}));
}

TEST_F(DisplayTest, TheCallLogListsCallsInOrderWithTheirResults) {
    port::control::KeepCallLog(true);
    SurfacePtr surface(MakeSurface(4, 4, TPixelFormat::X8R8G8B8));
    uint32_t id = port::control::SurfaceId(surface.get());
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
    port::control::InjectFailure("IsLost", Answer(DDERR_SURFACELOST, 1));
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    std::vector<port::control::LoggedCall> log = port::control::CallLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].operation, "CreateSurface");
    EXPECT_EQ(log[0].args, "object=" + std::to_string(port::control::Surfaces()[0].owner) +
                               " caps=0x20 width=4 height=4 bits=32 alpha=0");
    EXPECT_EQ(log[0].result, DD_OK);
    EXPECT_EQ(log[1].operation, "Unlock");
    EXPECT_EQ(log[1].args, "surface=" + std::to_string(id) + " bits=32");
    EXPECT_EQ(log[1].result, DDERR_NOTLOCKED);
    EXPECT_EQ(log[2].operation, "IsLost");
    EXPECT_EQ(log[2].result, DDERR_SURFACELOST);
    port::control::KeepCallLog(false);
    EXPECT_EQ(surface->IsLost(), DD_OK);
    EXPECT_TRUE(port::control::CallLog().empty());
}

// A call skips the failure table and the log only while neither is in use: each way of arming,
// using up, clearing and logging turns the slow path on or off as the calls then see it.
TEST_F(DisplayTest, CallsSeeEveryChangeOfTheArmedFailuresAndTheLog) {
    SurfacePtr surface(MakeSurface(4, 4, TPixelFormat::X8R8G8B8));
    EXPECT_EQ(surface->IsLost(), DD_OK);
    port::control::InjectFailure("IsLost", Answer(DDERR_SURFACELOST, 1));
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(surface->IsLost(), DD_OK);  // used up
    port::control::InjectFailure("IsLost", Answer(DDERR_SURFACELOST, 2));
    port::control::KeepCallLog(true);
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    port::control::KeepCallLog(false);  // the log off, the failure still armed
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(surface->IsLost(), DD_OK);
    port::control::KeepCallLog(true);  // the log alone
    EXPECT_EQ(surface->IsLost(), DD_OK);
    ASSERT_EQ(port::control::CallLog().size(), 1u);
    EXPECT_EQ(port::control::CallLog()[0].operation, "IsLost");
    port::control::InjectFailure("IsLost", Answer(DDERR_SURFACELOST, 5));
    port::control::ClearFailures();
    EXPECT_EQ(surface->IsLost(), DD_OK);
    EXPECT_TRUE(port::control::CallLog().empty());
}

TEST_F(DisplayTest, AnInjectedFailureLeavesNoOutPointer) {
    SurfacePtr surface(MakeSurface(4, 4, TPixelFormat::X8R8G8B8));
    auto* junk = reinterpret_cast<IDirectDrawSurface7*>(0x1);
    DDSURFACEDESC2 desc = display_testing::EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = desc.dwHeight = 4;
    port::control::InjectFailure("CreateSurface", Answer(DDERR_OUTOFVIDEOMEMORY, 1));
    IDirectDrawSurface7* made = junk;
    EXPECT_EQ(mDraw->CreateSurface(&desc, &made, nullptr), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(made, nullptr);
    port::control::InjectFailure("GetAttachedSurface", Answer(DDERR_SURFACELOST, 1));
    DDSCAPS2 zcaps{DDSCAPS_ZBUFFER, 0, 0, 0};
    IDirectDrawSurface7* attached = junk;
    EXPECT_EQ(surface->GetAttachedSurface(&zcaps, &attached), DDERR_SURFACELOST);
    EXPECT_EQ(attached, nullptr);
    port::control::InjectFailure("DirectDrawCreateEx", Answer(E_FAIL, 1));
    void* object = junk;
    EXPECT_EQ(DirectDrawCreateEx(nullptr, &object, IID_IDirectDraw7, nullptr), E_FAIL);
    EXPECT_EQ(object, nullptr);

    // The surface's GetDC fails by its own name; the window system's GetDC keeps working.
    port::control::InjectFailure("IDirectDrawSurface7::GetDC", Answer(DDERR_SURFACELOST, 1));
    HDC screen = GetDC(nullptr);
    EXPECT_NE(screen, nullptr);
    ReleaseDC(nullptr, screen);
    HDC dc = reinterpret_cast<HDC>(0x1);
    EXPECT_EQ(surface->GetDC(&dc), DDERR_SURFACELOST);
    EXPECT_EQ(dc, nullptr);
    ASSERT_EQ(surface->GetDC(&dc), DD_OK);
    EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
}

TEST_F(DisplayTest, WindowsCallsFailAsBeforeAndTakeTheNewOptions) {
    port::control::InjectFailure("CreateMutexA", ERROR_ACCESS_DENIED, 1);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    EXPECT_NE(mutex, nullptr);
    CloseHandle(mutex);

    Failure later;
    later.code = ERROR_NOT_ENOUGH_MEMORY;
    later.after = 1;
    port::control::InjectFailure("CreateMutexA", later);
    mutex = CreateMutexA(nullptr, FALSE, nullptr);
    EXPECT_NE(mutex, nullptr);
    CloseHandle(mutex);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    mutex = CreateMutexA(nullptr, FALSE, nullptr);
    EXPECT_NE(mutex, nullptr);
    CloseHandle(mutex);
}

}  // namespace
