// Pixels in and out of texture surfaces: round trips in every format with the surface bytes the
// rasterizer writes, locks (direct and shadowed), copies bounded by the surface, clearing, copies
// between surfaces, release and restore with the byte counter and the broken state.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dxtexturefixture.h"
#include <deque>

#include "foundation/file/fileindex.h"
#include "foundation/file/filemaphandler.h"
#include "platform/texture/memorytexturedata.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedatasource.h"
#include "port/display/pixelformats.h"
#include "raster/surfaceops.h"

namespace {

using port::control::DeviceSpec;
using port::control::Failure;

constexpr uint8_t kSimple = TTextureData::kSimple;
constexpr uint8_t kAlpha = TTextureData::kHasAlpha;

uint32_t Pattern(int x, int y) {
    return static_cast<uint32_t>(0x30 + x * 9 + y * 5) << 24 |
           static_cast<uint32_t>(x * 37 + y * 11) << 16 |
           static_cast<uint32_t>(x * 5 + y * 101) << 8 | static_cast<uint32_t>(x * 71 + y * 3);
}

std::vector<uint32_t> Image(int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = Pattern(x, y);
    return pixels;
}

class DxTexturePixelsTest : public dx_testing::DxTextureTest {
protected:
    // A stand-in back buffer of the format, so that surfaces "in the display's format" get it.
    void DisplayFormatIs(raster::TPixelFormat format) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = 8;
        desc.dwHeight = 8;
        desc.ddpfPixelFormat = port::display::DescribePixelFormat(format);
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        ASSERT_EQ(Record().mDirectDraw->CreateSurface(&desc, &mFakeBack, nullptr), DD_OK);
        Record().mBackBuffer = mFakeBack;
    }
    void TearDown() override {
        mTextures.clear();
        if (mDisplay != nullptr && mFakeBack != nullptr) {
            Record().mBackBuffer = mDisplay->GetContext()->GetBackBuffer();
            mFakeBack->Release();
        }
        DxTextureTest::TearDown();
    }
    IDirectDrawSurface7* mFakeBack = nullptr;
};

// SetPixels writes exactly what raster::WritePixels writes, and ReadPixels reads it back as the
// rasterizer reads (alpha 255 without the alpha flag).
TEST_F(DxTexturePixelsTest, RoundTripsInEveryFormatMatchTheRasterizer) {
    struct Case {
        raster::TPixelFormat format;
        raster::TPixelFormat display;
        uint8_t flags;
    } cases[] = {
        {raster::TPixelFormat::R5G6B5, raster::TPixelFormat::R5G6B5, kSimple},
        {raster::TPixelFormat::A4R4G4B4, raster::TPixelFormat::R5G6B5, kSimple | kAlpha},
        {raster::TPixelFormat::R8G8B8, raster::TPixelFormat::R8G8B8, kSimple},
        {raster::TPixelFormat::X8R8G8B8, raster::TPixelFormat::X8R8G8B8, kSimple},
        {raster::TPixelFormat::A8R8G8B8, raster::TPixelFormat::X8R8G8B8, kSimple | kAlpha},
    };
    const int width = 37, height = 11;
    std::vector<uint32_t> image = Image(width, height);
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.format));
        ASSERT_TRUE(MakeDisplay(32));
        DisplayFormatIs(c.display);
        TDxTextureData* data = MakeData(c.flags);
        ASSERT_TRUE(data->CreateSurface(width, height, true));
        ASSERT_EQ(port::display::PixelFormatOf(DescOf(data->GetSurface()).ddpfPixelFormat),
                  c.format);
        ASSERT_TRUE(data->SetPixels(width, height, image.data()));

        raster::TSurface expected;
        ASSERT_TRUE(expected.Create(width, height, c.format));
        raster::WritePixels(expected, raster::SurfaceRect(expected), image.data(), width);
        DDSURFACEDESC2 locked{};
        locked.dwSize = sizeof locked;
        ASSERT_EQ(data->GetSurface()->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DD_OK);
        for (int y = 0; y < height; ++y) {
            ASSERT_EQ(std::memcmp(static_cast<uint8_t*>(locked.lpSurface) + y * locked.lPitch,
                                  expected.Row(y), width * expected.BytesPerPixel()),
                      0)
                << "row " << y;
        }
        data->GetSurface()->Unlock(nullptr);

        std::vector<uint32_t> back(image.size()), wanted(image.size());
        ASSERT_TRUE(data->ReadPixels(width, height, back.data()));
        raster::ReadPixels(expected, raster::SurfaceRect(expected), wanted.data(), width);
        EXPECT_EQ(back, wanted);
        mTextures.clear();
        Record().mBackBuffer = mDisplay->GetContext()->GetBackBuffer();
        mFakeBack->Release();
        mFakeBack = nullptr;
        mDisplay.reset();
    }
}

TEST_F(DxTexturePixelsTest, WithoutTheAlphaFlagEveryAlphaBitIsSet) {
    ASSERT_TRUE(MakeDisplay(32));
    DisplayFormatIs(raster::TPixelFormat::A8R8G8B8);
    TDxTextureData* data = MakeData(kSimple);
    ASSERT_TRUE(data->CreateSurface(4, 4, false));
    std::vector<uint32_t> in(16, 0x00102030), out(16);
    ASSERT_TRUE(data->SetPixels(4, 4, in.data()));
    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(data->Lock(&pixels, &pitch));
    EXPECT_EQ(pixels[0], 0xFF102030u);
    data->Unlock();
}

TEST_F(DxTexturePixelsTest, LockOfA8R8G8B8IsTheSurfaceMemoryWithPitchInPixels) {
    ASSERT_TRUE(MakeDisplay(32));
    TDxTextureData* data = MakeData(kSimple | kAlpha);
    ASSERT_TRUE(data->CreateSurface(100, 20, true));
    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(data->Lock(&pixels, &pitch));
    EXPECT_EQ(pitch, 112);  // rows padded to 448 bytes
    pixels[3 * pitch + 5] = 0x80112233;
    data->Unlock();
    port::control::Image image = port::control::SurfaceImage(data->GetSurface());
    EXPECT_EQ(image.At(5, 3), 0x80112233u);
    // Locked and unlocked directly: no pixel copy in between.
    EXPECT_FALSE(data->IsMadeByD3DX());
}

TEST_F(DxTexturePixelsTest, LockOf16BitsHandsOutAShadowWrittenBackOnUnlock) {
    ASSERT_TRUE(MakeDisplay(16));
    TDxTextureData* data = MakeData(kSimple);
    ASSERT_TRUE(data->CreateSurface(8, 4, true));
    std::vector<uint32_t> image = Image(8, 4);
    ASSERT_TRUE(data->SetPixels(8, 4, image.data()));
    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(data->Lock(&pixels, &pitch));
    EXPECT_EQ(pitch, 8);
    // R5G6B5 read back: top bits of each channel, low bits zero, alpha 255.
    uint32_t p = image[1 * 8 + 2];
    uint32_t wanted = 0xFF000000u | (p & 0x00F80000u) | (p & 0x0000FC00u) | (p & 0x000000F8u);
    EXPECT_EQ(pixels[1 * pitch + 2], wanted);
    pixels[2 * pitch + 3] = 0xFFFF0000;
    data->Unlock();
    std::vector<uint32_t> back(32);
    ASSERT_TRUE(data->ReadPixels(8, 4, back.data()));
    EXPECT_EQ(back[2 * 8 + 3], 0xFFF80000u);
    EXPECT_EQ(back[1 * 8 + 2], wanted);
}

TEST_F(DxTexturePixelsTest, ShadowOfAD3DXTextureIsWrittenBackThroughTheConversion) {
    ASSERT_TRUE(MakeDisplay(16));
    TDxTextureData* data = MakeData(kAlpha);
    ASSERT_TRUE(data->CreateSurface(16, 16, false));
    ASSERT_TRUE(data->IsMadeByD3DX());
    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(data->Lock(&pixels, &pitch));
    pixels[0] = 0x80FF8040;
    port::control::KeepCallLog(true);
    data->Unlock();
    EXPECT_EQ(CountCalls("D3DXLoadTextureFromMemory"), 0);
    EXPECT_TRUE(data->IsMadeByD3DX());
    std::vector<uint32_t> back(256);
    ASSERT_TRUE(data->ReadPixels(16, 16, back.data()));
    EXPECT_EQ(back[0], 0x80F08040u);
}

// Copies never pass the surface: an upload larger than the texture D3DX capped, and a read
// larger than the surface, which gives transparent black beyond it.
TEST_F(DxTexturePixelsTest, CopiesStayInsideTheSurface) {
    DeviceSpec device = port::control::DefaultDevice();
    device.maxTextureWidth = device.maxTextureHeight = 1024;
    ASSERT_TRUE(MakeDisplay(32, device));
    TDxTextureData* capped = MakeData(kAlpha);
    ASSERT_TRUE(capped->CreateSurface(2048, 2048, false));
    EXPECT_EQ(capped->GetSurfaceWidth(), 1024u);
    std::vector<uint32_t> big(2048u * 2048u, 0xFF336699);
    EXPECT_TRUE(capped->SetPixels(2048, 2048, big.data()));
    // The same through the locking path.
    TDxTextureData* simple = MakeData(kSimple | kAlpha);
    ASSERT_TRUE(simple->CreateSurface(16, 16, false));
    EXPECT_TRUE(simple->SetPixels(2048, 2048, big.data()));

    std::vector<uint32_t> in = Image(16, 16);
    ASSERT_TRUE(simple->SetPixels(16, 16, in.data()));
    std::vector<uint32_t> out(32 * 32, 0xDEADBEEF);
    ASSERT_TRUE(simple->ReadPixels(32, 32, out.data()));
    EXPECT_EQ(out[0], in[0]);
    EXPECT_EQ(out[15 * 32 + 15], in[15 * 16 + 15]);
    EXPECT_EQ(out[15 * 32 + 16], 0u);
    EXPECT_EQ(out[16 * 32], 0u);
    EXPECT_EQ(out[32 * 32 - 1], 0u);
}

TEST_F(DxTexturePixelsTest, WithoutASurfacePixelsAndLocksAreRefused) {
    TDxTextureData* data = MakeData(0);
    uint32_t pixel = 0;
    uint32_t* pixels = nullptr;
    int pitch = 0;
    EXPECT_FALSE(data->SetPixels(1, 1, &pixel));
    EXPECT_FALSE(data->ReadPixels(1, 1, &pixel));
    EXPECT_FALSE(data->Lock(&pixels, &pitch));
    data->Unlock();
    data->Clear();
    data->CopyRect(0, 0, nullptr, nullptr);
}

TEST_F(DxTexturePixelsTest, ClearRestoresALostSurfaceAndFillsAgain) {
    ASSERT_TRUE(MakeDisplay(32));
    TDxTextureData* data = MakeData(kSimple | kAlpha);
    ASSERT_TRUE(data->CreateSurface(8, 8, false));
    std::vector<uint32_t> image = Image(8, 8);
    ASSERT_TRUE(data->SetPixels(8, 8, image.data()));
    port::control::KeepCallLog(true);
    port::control::InjectFailure("Blt", DDERR_SURFACELOST, 1);
    data->Clear();
    EXPECT_EQ(CountCalls("Restore"), 1);
    EXPECT_EQ(CountCalls("Blt"), 2);
    std::vector<uint32_t> back(64, 7);
    ASSERT_TRUE(data->ReadPixels(8, 8, back.data()));
    EXPECT_EQ(back, std::vector<uint32_t>(64, 0u));
}

TEST_F(DxTexturePixelsTest, CopyRectIntoATextureAndItsFailures) {
    ASSERT_TRUE(MakeDisplay(32));
    TDxTextureData* source = MakeData(kSimple | kAlpha);
    ASSERT_TRUE(source->CreateSurface(8, 8, false));
    std::vector<uint32_t> image = Image(8, 8);
    ASSERT_TRUE(source->SetPixels(8, 8, image.data()));
    SetTextureDataMaker([]() -> std::unique_ptr<TTextureData> {
        return std::make_unique<TDxTextureData>();
    });
    auto target = TTexture::Create(16, 16, true);
    SetTextureDataMaker(nullptr);
    auto* into = dynamic_cast<TDxTextureData*>(target->GetData());
    ASSERT_NE(into, nullptr);
    ASSERT_NE(into->GetSurface(), nullptr);
    into->Clear();

    TRect from{2, 2, 6, 6};
    source->CopyRect(4, 5, &from, target);
    std::vector<uint32_t> back(256);
    ASSERT_TRUE(into->ReadPixels(16, 16, back.data()));
    EXPECT_EQ(back[5 * 16 + 4], image[2 * 8 + 2]);
    EXPECT_EQ(back[8 * 16 + 7], image[5 * 8 + 5]);

    // A lost surface marks the display broken.
    port::control::InjectFailure("BltFast", DDERR_SURFACELOST, 1);
    source->CopyRect(0, 0, nullptr, target);
    EXPECT_TRUE(mDisplay->IsBroken());
    mDisplay->SetBroken(false);

    // Any other refusal copies through GDI, clipped, and is logged only once.
    into->Clear();
    port::control::InjectFailure("BltFast", DDERR_INVALIDRECT, 2);
    source->CopyRect(12, 12, nullptr, target);
    source->CopyRect(12, 12, nullptr, target);
    ASSERT_TRUE(into->ReadPixels(16, 16, back.data()));
    EXPECT_EQ(back[12 * 16 + 12], image[0]);
    EXPECT_EQ(back[15 * 16 + 15], image[3 * 8 + 3]);
    int dxLines = 0;
    for (const std::string& line : LogLines()) dxLines += line.rfind("DX Error:", 0) == 0;
    EXPECT_LE(dxLines, 1);
    EXPECT_FALSE(mDisplay->IsBroken());

    // A texture without a surface as the target marks broken (past the throttle).
    into->Release();
    port::control::SetTime(100000 + 1000);
    source->CopyRect(0, 0, nullptr, target);
    EXPECT_TRUE(mDisplay->IsBroken());
}

TEST_F(DxTexturePixelsTest, ReleasingA256SquareOfPitch1024Lowers262144Bytes) {
    ASSERT_TRUE(MakeDisplay(32));
    TDxTextureData* data = MakeData(kSimple | kAlpha);
    ASSERT_TRUE(data->CreateSurface(256, 256, false));
    EXPECT_EQ(DescOf(data->GetSurface()).lPitch, 1024);
    uint64_t before = Record().mTextureBytes;
    EXPECT_GE(before, 262144u);
    data->Release();
    EXPECT_EQ(data->GetSurface(), nullptr);
    EXPECT_EQ(before - Record().mTextureBytes, 262144u);
    // The destructor takes off the rest.
    TDxTextureData* target = MakeData(TTextureData::kRenderTarget);
    ASSERT_TRUE(target->CreateSurface(64, 64, false));
    EXPECT_GT(Record().mTextureBytes, 0u);
    mTextures.clear();
    EXPECT_EQ(Record().mTextureBytes, 0u);
}

class DxTextureRestoreTest : public DxTexturePixelsTest {
protected:
    void TearDown() override {
        for (const std::string& name : mFiles) RegisterMemoryFile(name.c_str(), nullptr, 0);
        DxTexturePixelsTest::TearDown();
    }
    void Put(const std::string& name, const std::string& bytes) {
        mBlocks.push_back(bytes);
        mFiles.push_back(name);
        RegisterMemoryFile(name.c_str(), mBlocks.back().data(),
                           static_cast<uint32_t>(mBlocks.back().size()));
    }
    std::vector<std::string> mFiles;
    std::deque<std::string> mBlocks;
};

TEST_F(DxTextureRestoreTest, EmptyTextureComesBackClearedOrMarksBroken) {
    ASSERT_TRUE(MakeDisplay(32));
    TDxTextureData* data = MakeData(kSimple | kAlpha);
    ASSERT_TRUE(data->CreateSurface(32, 16, false));
    data->Release();
    data->Restore();
    ASSERT_NE(data->GetSurface(), nullptr);
    EXPECT_FALSE(mDisplay->IsBroken());

    data->Release();
    port::control::InjectFailure("CreateSurface", Failure{static_cast<uint32_t>(E_OUTOFMEMORY), -1, 0, nullptr});
    port::control::InjectFailure("D3DXCreateTexture", E_OUTOFMEMORY, 1);
    data->Restore();
    EXPECT_TRUE(Logged("TDxTextureData::Restore: Failed to restore 32x16 texture (32,16)"));
    EXPECT_TRUE(mDisplay->IsBroken());
}

TEST_F(DxTextureRestoreTest, FromAFileGoneOrBroken) {
    ASSERT_TRUE(MakeDisplay(32));
    // A file that exists but does not decode.
    Put("gone.png", "not a png at all");
    EXPECT_TRUE(ImageFileExists("gone.png?simple"));
    EXPECT_TRUE(ImageFileExists("gone"));
    EXPECT_FALSE(ImageFileExists("other"));
    EXPECT_FALSE(ImageFileExists("other.png?gone.png"));

    // Restore of a name whose file no longer exists: logged, not broken.
    struct Named : TDxTextureData {
        void Name(const char* image, const char* mask) {
            mImageName = image;
            mMaskName = mask;
        }
    };
    auto named = std::make_unique<Named>();
    named->Name("missing.png", "");
    named->Restore();
    EXPECT_TRUE(Logged("TDxTextureData::Restore: Failed to restore from file missing.png."));
    EXPECT_FALSE(mDisplay->IsBroken());

    // A file that exists but fails: broken (throttled).
    named->Name("gone.png", "");
    named->Restore();
    EXPECT_TRUE(Logged("TDxTextureData::Restore: Failed to restore from file gone.png."));
    EXPECT_TRUE(mDisplay->IsBroken());

    // Image and mask: broken only when both exist.
    mDisplay->SetBroken(false);
    named->Name("gone.png", "nomask.png");
    named->Restore();
    EXPECT_TRUE(Logged("TDxTextureData::Restore: Failed to restore from file gone.png and nomask.png."));
    EXPECT_FALSE(mDisplay->IsBroken());
}

// The display's data is found behind every texture that has it, whatever its exact type.
TEST(DxTextureDataTest, FoundBehindTexturesOfEveryKind) {
    struct Derived : TDxTextureData {};
    TDxTextureData display;
    Derived derived;
    TMemoryTextureData memory;
    EXPECT_EQ(AsDxTextureData(nullptr), nullptr);
    EXPECT_EQ(AsDxTextureData(&display), &display);
    EXPECT_EQ(AsDxTextureData(&derived), static_cast<TDxTextureData*>(&derived));
    EXPECT_EQ(AsDxTextureData(&memory), nullptr);
}

}  // namespace
