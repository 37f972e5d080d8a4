// Surfaces made by Wrap over memory the caller holds: every surface utility writes and reads the
// same bytes as on a surface that owns its memory, and leaves the bytes past each row's width
// alone, whatever the pitch.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "raster/surface.h"
#include "raster/surfaceops.h"

namespace raster {
namespace {

constexpr int kWidth = 13;
constexpr int kHeight = 7;
// Bytes past each row of the view, beyond what an owning surface would pad.
constexpr int kExtraPitch = 24;
constexpr uint8_t kGuard = 0xCD;

uint32_t Pattern(int x, int y) {
    return static_cast<uint32_t>(0x40 + x * 13 + y * 7) << 24 |
           static_cast<uint32_t>(x * 37 + y * 11) << 16 |
           static_cast<uint32_t>(x * 5 + y * 101) << 8 | static_cast<uint32_t>(x * 71 + y * 3);
}

void Paint(TSurface& s) {
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) s.SetPixel(x, y, Pattern(x, y));
}

// Caller-held memory: rows of the owning surface's bytes, then guard bytes up to the wider pitch,
// and guard rows before and after.
struct Held {
    Held(const TSurface& like) {
        pitch = like.Pitch() + kExtraPitch;
        rowBytes = like.Width() * like.BytesPerPixel();
        memory.assign(static_cast<size_t>(pitch) * (like.Height() + 2), kGuard);
        for (int y = 0; y < like.Height(); ++y)
            std::memcpy(First() + static_cast<size_t>(y) * pitch, like.Row(y), rowBytes);
        EXPECT_TRUE(view.Wrap(First(), like.Width(), like.Height(), pitch, like.Format()));
    }
    uint8_t* First() { return memory.data() + pitch; }
    // Whether every byte outside the rows' widths still holds the guard.
    bool GuardsIntact() const {
        for (size_t i = 0; i < memory.size(); ++i) {
            size_t row = i / pitch;
            size_t column = i % pitch;
            bool inside = row >= 1 && row <= static_cast<size_t>(view.Height()) &&
                          column < static_cast<size_t>(rowBytes);
            if (!inside && memory[i] != kGuard) return false;
        }
        return true;
    }
    int pitch = 0;
    int rowBytes = 0;
    std::vector<uint8_t> memory;
    TSurface view;
};

// Whether the rows of the two surfaces hold the same bytes (padding not compared).
void ExpectSameRows(const TSurface& a, const TSurface& b) {
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    for (int y = 0; y < a.Height(); ++y)
        ASSERT_EQ(std::memcmp(a.Row(y), b.Row(y), a.Width() * a.BytesPerPixel()), 0) << "row " << y;
}

const TPixelFormat kFormats[] = {TPixelFormat::R5G6B5, TPixelFormat::A4R4G4B4,
                                 TPixelFormat::R8G8B8, TPixelFormat::X8R8G8B8,
                                 TPixelFormat::A8R8G8B8};

std::string FormatName(TPixelFormat format) {
    return "format " + std::to_string(static_cast<int>(format));
}

// An operation on a destination, given a painted source of another format.
struct Operation {
    const char* name;
    std::function<void(TSurface& dest, const TSurface& source)> run;
};

const Operation kOperations[] = {
    {"FillRaw", [](TSurface& d, const TSurface&) { FillRaw(d, TRect{-2, 1, 9, 40}, 0x12345678); }},
    {"Fill", [](TSurface& d, const TSurface&) { Fill(d, TRect{3, -1, 40, 5}, 0x80FF4020); }},
    {"CopyRect", [](TSurface& d, const TSurface& s) { CopyRect(s, TRect{1, 1, 12, 6}, d, 2, 3); }},
    {"CopyRectKeep",
     [](TSurface& d, const TSurface& s) {
         CopyRect(s, SurfaceRect(s), d, -1, 0, TXByte::Keep);
     }},
    {"CopyWithinItself",
     [](TSurface& d, const TSurface&) { CopyRect(d, TRect{0, 0, 10, 5}, d, 2, 1); }},
    {"StretchRect",
     [](TSurface& d, const TSurface& s) { StretchRect(s, TRect{0, 0, 6, 3}, d, TRect{-3, 0, 20, 9}); }},
    {"RedToAlpha", [](TSurface& d, const TSurface& s) { RedToAlpha(s, SurfaceRect(s), d, 1, 1); }},
    {"MakeOpaque", [](TSurface& d, const TSurface&) { MakeOpaque(d, TRect{2, 2, 30, 30}); }},
    {"BuildMipLevelInto",
     [](TSurface& d, const TSurface& s) { BuildMipLevel(s, d, TMipReduce::Box); }},
    {"WritePixels",
     [](TSurface& d, const TSurface&) {
         std::vector<uint32_t> in(40 * 40);
         for (size_t i = 0; i < in.size(); ++i) in[i] = Pattern(static_cast<int>(i), 3);
         WritePixels(d, TRect{-4, -2, 30, 30}, in.data(), 40);
     }},
};

TEST(SurfaceView, WrapRefusesWhatCreateRefusesAndAShortPitch) {
    std::vector<uint8_t> memory(4096);
    TSurface view;
    EXPECT_FALSE(view.Wrap(nullptr, 4, 4, 16, TPixelFormat::A8R8G8B8));
    EXPECT_FALSE(view.Wrap(memory.data(), 0, 4, 16, TPixelFormat::A8R8G8B8));
    EXPECT_FALSE(view.Wrap(memory.data(), 4, TSurface::kMaxSide + 1, 16, TPixelFormat::A8R8G8B8));
    EXPECT_FALSE(view.Wrap(memory.data(), 4, 4, 16, TPixelFormat::Unknown));
    EXPECT_FALSE(view.Wrap(memory.data(), 4, 4, 15, TPixelFormat::A8R8G8B8));
    EXPECT_TRUE(view.IsEmpty());
    EXPECT_FALSE(view.IsView());
    ASSERT_TRUE(view.Wrap(memory.data(), 5, 4, 15, TPixelFormat::R8G8B8));
    EXPECT_TRUE(view.IsView());
    EXPECT_EQ(view.Pixels(), memory.data());
    EXPECT_EQ(view.Pitch(), 15);
    EXPECT_EQ(view.Row(2), memory.data() + 30);
}

TEST(SurfaceView, DestroyAndCreateAfterAViewLeaveTheMemoryAndOwnAgain) {
    std::vector<uint8_t> memory(64, 0x5A);
    {
        TSurface view;
        ASSERT_TRUE(view.Wrap(memory.data(), 4, 4, 16, TPixelFormat::A8R8G8B8));
        view.Destroy();
        EXPECT_TRUE(view.IsEmpty());
        ASSERT_TRUE(view.Wrap(memory.data(), 4, 4, 16, TPixelFormat::A8R8G8B8));
        // Create over a view forgets the view and owns new memory (freed at the end of scope).
        ASSERT_TRUE(view.Create(3, 3, TPixelFormat::R5G6B5));
        EXPECT_FALSE(view.IsView());
        EXPECT_NE(view.Pixels(), memory.data());
        TSurface moved = std::move(view);
        ASSERT_TRUE(view.Wrap(memory.data(), 4, 4, 16, TPixelFormat::A8R8G8B8));
    }
    // The views never freed nor wrote the caller's memory.
    for (uint8_t byte : memory) EXPECT_EQ(byte, 0x5A);
}

TEST(SurfaceView, EveryUtilityWritesTheBytesItWritesOnAnOwningSurface) {
    for (TPixelFormat format : kFormats) {
        for (const Operation& operation : kOperations) {
            SCOPED_TRACE(FormatName(format) + " " + operation.name);
            TSurface owned;
            ASSERT_TRUE(owned.Create(kWidth, kHeight, format));
            Paint(owned);
            TSurface source;
            ASSERT_TRUE(source.Create(kWidth, kHeight, TPixelFormat::A8R8G8B8));
            Paint(source);
            Held held(owned);
            operation.run(owned, source);
            operation.run(held.view, source);
            ExpectSameRows(owned, held.view);
            EXPECT_TRUE(held.GuardsIntact());
        }
    }
}

TEST(SurfaceView, AViewReadsAsTheOwningSurfaceReads) {
    for (TPixelFormat format : kFormats) {
        SCOPED_TRACE(FormatName(format));
        TSurface owned;
        ASSERT_TRUE(owned.Create(kWidth, kHeight, format));
        Paint(owned);
        Held held(owned);
        // Read-back.
        std::vector<uint32_t> fromOwned(20 * 20, 7), fromView(20 * 20, 7);
        ReadPixels(owned, TRect{-1, -1, 19, 19}, fromOwned.data(), 20);
        ReadPixels(held.view, TRect{-1, -1, 19, 19}, fromView.data(), 20);
        EXPECT_EQ(fromOwned, fromView);
        // As the source of a copy, a stretch, red to alpha and a mip level.
        auto copies = [](const TSurface& from, TSurface& to) {
            CopyRect(from, TRect{2, 1, 11, 7}, to, 0, 0);
            StretchRect(from, TRect{0, 0, 13, 7}, to, TRect{0, 3, 30, 9}, TXByte::Keep);
            RedToAlpha(from, TRect{0, 0, 5, 5}, to, 20, 0);
        };
        TSurface intoA, intoB;
        ASSERT_TRUE(intoA.Create(30, 9, TPixelFormat::A8R8G8B8));
        ASSERT_TRUE(intoB.Create(30, 9, TPixelFormat::A8R8G8B8));
        copies(owned, intoA);
        copies(held.view, intoB);
        ExpectSameRows(intoA, intoB);
        TSurface mipA, mipB;
        ASSERT_TRUE(mipA.Create(7, 4, format));
        ASSERT_TRUE(mipB.Create(7, 4, format));
        BuildMipLevel(owned, mipA, TMipReduce::Nearest);
        BuildMipLevel(held.view, mipB, TMipReduce::Nearest);
        ExpectSameRows(mipA, mipB);
        EXPECT_TRUE(held.GuardsIntact());
    }
}

}  // namespace
}  // namespace raster
