// Texture surfaces made by TDxTextureData::CreateSurface: the square rule with its borders on both
// paths, no device, the alpha format and its cache, the fallback chain, the render target's
// z-buffer and its switch, D3DX with its clearing and its 16-bit substitution.
#include <gtest/gtest.h>

#include <string>

#include "dxtexturefixture.h"
#include "port/display/pixelformats.h"

namespace {

using dx_testing::ArgOf;
using port::control::DeviceSpec;
using port::control::Failure;

constexpr uint8_t kSimple = TTextureData::kSimple;
constexpr uint8_t kAlpha = TTextureData::kHasAlpha;
constexpr uint8_t kTarget = TTextureData::kRenderTarget;
constexpr uint8_t kCreated = TTextureData::kCreated;

class DxTextureCreateTest : public dx_testing::DxTextureTest {};

DDPIXELFORMAT Rgb(DWORD bits, DWORD alpha, DWORD red, DWORD green, DWORD blue,
                  DWORD flags = DDPF_RGB | DDPF_ALPHAPIXELS) {
    DDPIXELFORMAT format{};
    format.dwSize = sizeof format;
    format.dwFlags = flags;
    format.dwRGBBitCount = bits;
    format.dwRGBAlphaBitMask = alpha;
    format.dwRBitMask = red;
    format.dwGBitMask = green;
    format.dwBBitMask = blue;
    return format;
}

TEST(DxTextureMasks, CountBitsLowestBitAndPowersOfTwo) {
    EXPECT_EQ(CountBits(0), 0);
    EXPECT_EQ(CountBits(0xF000), 4);
    EXPECT_EQ(CountBits(0xFFFFFFFF), 32);
    EXPECT_EQ(LowestBit(0), 0);
    EXPECT_EQ(LowestBit(0x001F), 0);
    EXPECT_EQ(LowestBit(0xF800), 11);
    EXPECT_EQ(LowestBit(0x80000000), 31);
    EXPECT_EQ(NextPowerOfTwo(0), 2u);
    EXPECT_EQ(NextPowerOfTwo(1), 2u);
    EXPECT_EQ(NextPowerOfTwo(100), 128u);
    EXPECT_EQ(NextPowerOfTwo(128), 128u);
}

TEST(DxTextureMasks, PixelFormatsMapBothWays) {
    for (raster::TPixelFormat format :
         {raster::TPixelFormat::R5G6B5, raster::TPixelFormat::A4R4G4B4,
          raster::TPixelFormat::R8G8B8, raster::TPixelFormat::X8R8G8B8,
          raster::TPixelFormat::A8R8G8B8}) {
        EXPECT_EQ(port::display::PixelFormatOf(port::display::DescribePixelFormat(format)), format);
    }
    EXPECT_EQ(port::display::PixelFormatOf(port::control::DepthFormat(16)),
              raster::TPixelFormat::Unknown);
    EXPECT_EQ(port::display::PixelFormatOf(port::control::TextureFormat("L8")),
              raster::TPixelFormat::Unknown);
}

TEST_F(DxTextureCreateTest, SquareDeviceGives128SquareWithBorders14And39OnBothPaths) {
    DeviceSpec device = port::control::DefaultDevice();
    device.textureCaps = D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY;
    ASSERT_TRUE(MakeDisplay(32, device));
    EXPECT_TRUE(TRenderer::GetInstance()->NeedsSquareTextures());
    // DirectDraw makes render targets (simple surfaces are never made square), D3DX the rest.
    struct Case {
        uint8_t flags;
        bool byD3DX;
    } cases[] = {{kTarget, false}, {0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        TDxTextureData* data = MakeData(c.flags);
        ASSERT_TRUE(data->CreateSurface(100, 50, false));
        ASSERT_NE(data->GetSurface(), nullptr);
        EXPECT_EQ(data->IsMadeByD3DX(), c.byD3DX);
        EXPECT_EQ(data->GetWidth(), 100u);
        EXPECT_EQ(data->GetHeight(), 50u);
        EXPECT_EQ(data->GetSurfaceWidth(), 128u);
        EXPECT_EQ(data->GetSurfaceHeight(), 128u);
        EXPECT_EQ(data->GetBorderX(), 14);
        EXPECT_EQ(data->GetBorderY(), 39);
        DDSURFACEDESC2 desc = DescOf(data->GetSurface());
        EXPECT_EQ(desc.dwWidth, 128u);
        EXPECT_EQ(desc.dwHeight, 128u);
    }
}

TEST_F(DxTextureCreateTest, WithoutADeviceSizesArePowersOfTwoAndFlag0x80Answers) {
    for (uint8_t flags : {uint8_t{0}, kCreated, uint8_t(kSimple | kCreated)}) {
        TDxTextureData* data = MakeData(flags);
        EXPECT_EQ(data->CreateSurface(100, 50, true), (flags & kCreated) != 0);
        EXPECT_EQ(data->GetSurface(), nullptr);
        EXPECT_EQ(data->GetSurfaceWidth(), 128u);
        EXPECT_EQ(data->GetSurfaceHeight(), 64u);
    }
}

TEST_F(DxTextureCreateTest, DeviceGoneAnswerEndsAsWithoutADevice) {
    ASSERT_TRUE(MakeDisplay());
    for (uint8_t flags : {kSimple, uint8_t(kSimple | kCreated)}) {
        port::control::InjectFailure("CreateSurface", 0x8876024E, 1);
        TDxTextureData* data = MakeData(flags);
        EXPECT_EQ(data->CreateSurface(100, 50, false), (flags & kCreated) != 0);
        EXPECT_EQ(data->GetSurface(), nullptr);
        EXPECT_EQ(data->GetSurfaceWidth(), 128u);
        EXPECT_EQ(data->GetSurfaceHeight(), 64u);
        EXPECT_EQ(CountCalls("D3DXCreateTexture"), 0);
    }
}

TEST_F(DxTextureCreateTest, AlphaFormatChoiceByList) {
    const DDPIXELFORMAT a8 = port::control::TextureFormat("A8R8G8B8");
    const DDPIXELFORMAT x8 = port::control::TextureFormat("X8R8G8B8");
    const DDPIXELFORMAT a4 = port::control::TextureFormat("A4R4G4B4");
    const DDPIXELFORMAT r5 = port::control::TextureFormat("R5G6B5");
    const DDPIXELFORMAT a1 = Rgb(16, 0x8000, 0x7C00, 0x03E0, 0x001F);
    // 8 alpha bits but a 2-bit blue mask.
    const DDPIXELFORMAT a8r3g3b2 = Rgb(16, 0xFF00, 0x00E0, 0x001C, 0x0003);
    const DDPIXELFORMAT luminanceAlpha =
        Rgb(16, 0xFF00, 0x00FF, 0, 0, DDPF_LUMINANCE | DDPF_ALPHAPIXELS | DDPF_RGB);
    struct Case {
        const char* name;
        std::vector<DDPIXELFORMAT> list;
        uint32_t bits;
        const DDPIXELFORMAT* chosen;
    } cases[] = {
        {"default list at 32", {a8, x8, a4, r5}, 32, &a8},
        {"default list at 16", {a8, x8, a4, r5}, 16, &a4},
        {"more alpha later wins", {a1, a4}, 16, &a4},
        {"less alpha later loses", {a4, a1}, 16, &a4},
        {"first stays against narrow blue", {a1, a8r3g3b2}, 16, &a1},
        {"first taken even with narrow blue", {a8r3g3b2, a1}, 16, &a8r3g3b2},
        {"luminance and no alpha skipped", {luminanceAlpha, r5, x8}, 16, nullptr},
        {"none of the bit count", {a8, x8}, 16, nullptr},
        {"empty", {}, 32, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceSpec device = port::control::DefaultDevice();
        device.textureFormats = c.list;
        ASSERT_TRUE(MakeDisplay(32, device));
        ForgetAlphaTextureFormat();
        const DDPIXELFORMAT* chosen = ChooseAlphaTextureFormat(Record().mDevice, c.bits, false);
        if (c.chosen == nullptr) {
            EXPECT_EQ(chosen, nullptr);
        } else {
            ASSERT_NE(chosen, nullptr);
            EXPECT_EQ(chosen->dwRGBAlphaBitMask, c.chosen->dwRGBAlphaBitMask);
            EXPECT_EQ(chosen->dwBBitMask, c.chosen->dwBBitMask);
            EXPECT_EQ(chosen->dwRGBBitCount, c.chosen->dwRGBBitCount);
        }
        mDisplay.reset();
    }
}

TEST_F(DxTextureCreateTest, AlphaFormatIsEnumeratedOncePerBitCount) {
    ASSERT_TRUE(MakeDisplay(32));
    port::control::KeepCallLog(true);
    IDirect3DDevice7* device = Record().mDevice;
    ASSERT_NE(ChooseAlphaTextureFormat(device, 32, false), nullptr);
    EXPECT_EQ(CountCalls("EnumTextureFormats"), 1);
    // A second alpha surface at the same bit count asks nothing.
    TDxTextureData* data = MakeData(kSimple | kAlpha);
    ASSERT_TRUE(data->CreateSurface(16, 16, false));
    EXPECT_EQ(CountCalls("EnumTextureFormats"), 1);
    // Another bit count asks again, and so does an alpha render target after a failure.
    ChooseAlphaTextureFormat(device, 16, false);
    EXPECT_EQ(CountCalls("EnumTextureFormats"), 2);
    ChooseAlphaTextureFormat(device, 16, true);
    EXPECT_EQ(CountCalls("EnumTextureFormats"), 3);
    ForgetAlphaTextureFormat();
    ChooseAlphaTextureFormat(device, 16, false);
    EXPECT_EQ(CountCalls("EnumTextureFormats"), 4);
}

TEST_F(DxTextureCreateTest, AlphaRenderTargetOn16BitsWithoutAlphaFormatsGets4444) {
    ASSERT_TRUE(MakeDisplay(16, DeviceListing({"R5G6B5", "X8R8G8B8"})));
    TDxTextureData* data = MakeData(kTarget | kAlpha);
    ASSERT_TRUE(data->CreateSurface(64, 64, true));
    ASSERT_NE(data->GetSurface(), nullptr);
    EXPECT_FALSE(data->IsMadeByD3DX());
    DDPIXELFORMAT format = DescOf(data->GetSurface()).ddpfPixelFormat;
    EXPECT_TRUE(format.dwFlags & DDPF_ALPHAPIXELS);
    EXPECT_EQ(format.dwRGBBitCount, 16u);
    EXPECT_EQ(format.dwRGBAlphaBitMask, 0xF000u);
    EXPECT_EQ(format.dwRBitMask, 0x0F00u);
    EXPECT_EQ(format.dwGBitMask, 0x00F0u);
    EXPECT_EQ(format.dwBBitMask, 0x000Fu);
}

// Each DirectDraw attempt of a simple alpha surface on a 32-bit display, as the call log shows
// it: the listed format, the display's with alpha, that with video memory, the plain texture.
TEST_F(DxTextureCreateTest, FallbackChainEndsInD3DXWhenDirectDrawRefusesAll) {
    ASSERT_TRUE(MakeDisplay(32));
    port::control::KeepCallLog(true);
    port::control::InjectFailure("CreateSurface", Failure{static_cast<uint32_t>(E_OUTOFMEMORY), -1, 0, nullptr});
    TDxTextureData* data = MakeData(kSimple | kAlpha);
    ASSERT_TRUE(data->CreateSurface(32, 32, false));
    auto attempts = Calls("CreateSurface");
    ASSERT_EQ(attempts.size(), 4u);
    EXPECT_EQ(ArgOf(attempts[0], "alpha"), 1);
    EXPECT_EQ(ArgOf(attempts[1], "alpha"), 1);
    EXPECT_EQ(ArgOf(attempts[2], "alpha"), 1);
    EXPECT_NE(ArgOf(attempts[2], "caps") & DDSCAPS_VIDEOMEMORY, 0);
    EXPECT_EQ(ArgOf(attempts[3], "alpha"), 0);
    EXPECT_EQ(ArgOf(attempts[3], "caps"), DDSCAPS_TEXTURE);
    EXPECT_EQ(CountCalls("D3DXCreateTexture"), 1);
    EXPECT_TRUE(data->IsMadeByD3DX());
    EXPECT_NE(data->GetSurface(), nullptr);
}

TEST_F(DxTextureCreateTest, OpaqueSurfaceRetriesWithMemorySwapped) {
    ASSERT_TRUE(MakeDisplay(32));
    port::control::KeepCallLog(true);
    port::control::InjectFailure("CreateSurface", DDERR_INVALIDPARAMS, 1);
    TDxTextureData* data = MakeData(kSimple);
    ASSERT_TRUE(data->CreateSurface(32, 32, false));
    auto attempts = Calls("CreateSurface");
    ASSERT_EQ(attempts.size(), 2u);
    EXPECT_NE(ArgOf(attempts[0], "caps") & DDSCAPS_VIDEOMEMORY, 0);
    EXPECT_NE(ArgOf(attempts[1], "caps") & DDSCAPS_SYSTEMMEMORY, 0);
    EXPECT_EQ(ArgOf(attempts[1], "caps") & DDSCAPS_VIDEOMEMORY, 0);
    EXPECT_FALSE(data->IsMadeByD3DX());
}

TEST_F(DxTextureCreateTest, PlainFallbackLogsMissingAlphaAndReadsOpaque) {
    ASSERT_TRUE(MakeDisplay(32));
    // Every attempt with alpha pixels is refused: the plain texture in the display's format is made.
    port::control::InjectFailure(
        "CreateSurface", Failure{static_cast<uint32_t>(DDERR_INVALIDPIXELFORMAT), -1, 0,
                                 [](const port::CallInfo& call) { return call.Arg("alpha") == 1; }});
    TDxTextureData* data = MakeData(kSimple | kAlpha);
    ASSERT_TRUE(data->CreateSurface(16, 16, false));
    EXPECT_FALSE(data->IsMadeByD3DX());
    EXPECT_TRUE(Logged("SURFACE request FAILED to get DDPF_ALPHAPIXELS."));
    std::vector<uint32_t> in(16 * 16, 0x00123456), out(16 * 16);
    ASSERT_TRUE(data->SetPixels(16, 16, in.data()));
    ASSERT_TRUE(data->ReadPixels(16, 16, out.data()));
    EXPECT_EQ(out[0], 0xFF123456u);
    EXPECT_EQ(out[255], 0xFF123456u);
}

TEST_F(DxTextureCreateTest, D3DXSubstitutionOn32BitsLogsAndSwitchesToLowMemoryOnce) {
    ASSERT_TRUE(MakeDisplay(32, DeviceListing({"A4R4G4B4", "R5G6B5"})));
    TDxTextureData* data = MakeData(0);
    ASSERT_TRUE(data->CreateSurface(64, 64, false));
    EXPECT_TRUE(data->IsMadeByD3DX());
    EXPECT_EQ(DescOf(data->GetSurface()).ddpfPixelFormat.dwRGBBitCount, 16u);
    const std::string line =
        "D3DXCreateTexture::CreateSurface: Created a 16 bit texture when requesting 32 bits. "
        "Switching to 16 bit mode";
    EXPECT_TRUE(Logged(line));
    EXPECT_TRUE(Logged("OutOfVideoMemory triggered!"));
    EXPECT_TRUE(Record().mLowMemoryVideo);
    // A second one logs its line again but the mode is switched only once.
    TDxTextureData* second = MakeData(0);
    ASSERT_TRUE(second->CreateSurface(64, 64, false));
    int switches = 0;
    for (const std::string& message : LogLines()) switches += message == "OutOfVideoMemory triggered!";
    EXPECT_EQ(switches, 1);
}

TEST_F(DxTextureCreateTest, D3DXFailureReportsSuccessOnlyWhenLostOrNoDevice) {
    ASSERT_TRUE(MakeDisplay(32));
    port::control::InjectFailure("D3DXCreateTexture", E_OUTOFMEMORY, 1);
    EXPECT_FALSE(MakeData(0)->CreateSurface(32, 32, false));
    port::control::InjectFailure("D3DXCreateTexture", 0x8876024E, 1);
    TDxTextureData* noDevice = MakeData(0);
    EXPECT_TRUE(noDevice->CreateSurface(32, 32, false));
    EXPECT_EQ(noDevice->GetSurface(), nullptr);
    mDisplay->SetBroken(true);
    port::control::InjectFailure("D3DXCreateTexture", E_OUTOFMEMORY, 1);
    EXPECT_TRUE(MakeData(0)->CreateSurface(32, 32, false));
}

TEST_F(DxTextureCreateTest, MipmapsAskTheWholeChain) {
    ASSERT_TRUE(MakeDisplay(32));
    port::control::KeepCallLog(true);
    TDxTextureData* mipmapped = MakeData(TTextureData::kMipmaps);
    ASSERT_TRUE(mipmapped->CreateSurface(64, 64, false));
    EXPECT_EQ(mipmapped->GetMipRequest(), -1);
    EXPECT_GT(port::control::TextureLevelCount(mipmapped->GetSurface()), 1);
    TDxTextureData* single = MakeData(0);
    ASSERT_TRUE(single->CreateSurface(64, 64, false));
    EXPECT_EQ(single->GetMipRequest(), 0);
    auto creates = Calls("D3DXCreateTexture");
    ASSERT_EQ(creates.size(), 2u);
    EXPECT_EQ(ArgOf(creates[0], "mip"), 0);
    EXPECT_EQ(ArgOf(creates[1], "mip"), static_cast<long long>(D3DX_TEXTURE_NOMIPMAP));
}

// D3DX memory comes with whatever was there before: asked to clear, the surface is cleared on
// this path too (a created texture and its restore read back zeros); not asked, it is left.
TEST_F(DxTextureCreateTest, D3DXSurfacesAreClearedWhenAsked) {
    ASSERT_TRUE(MakeDisplay(32));
    for (bool clear : {true, false}) {
        SCOPED_TRACE(clear);
        TDxTextureData* data = MakeData(kCreated | kAlpha);
        ASSERT_TRUE(data->CreateSurface(16, 16, clear));
        ASSERT_TRUE(data->IsMadeByD3DX());
        port::control::Image image = port::control::SurfaceImage(data->GetSurface());
        ASSERT_EQ(image.argb.size(), 256u);
        int zeros = 0;
        for (uint32_t pixel : image.argb) zeros += pixel == 0;
        if (clear) {
            EXPECT_EQ(zeros, 256);
        } else {
            EXPECT_LT(zeros, 256);
        }
    }
}

TEST_F(DxTextureCreateTest, RenderTargetGetsItsOwnZBufferOrIsMadeWithout) {
    ASSERT_TRUE(MakeDisplay(32));
    TDxTextureData* attached = MakeData(kTarget);
    ASSERT_TRUE(attached->CreateSurface(64, 32, false));
    DDSCAPS2 zCaps{};
    zCaps.dwCaps = DDSCAPS_ZBUFFER;
    IDirectDrawSurface7* zBuffer = nullptr;
    ASSERT_EQ(attached->GetSurface()->GetAttachedSurface(&zCaps, &zBuffer), DD_OK);
    EXPECT_EQ(DescOf(zBuffer).dwWidth, 64u);
    zBuffer->Release();

    port::control::InjectFailure("AddAttachedSurface", DDERR_INVALIDPARAMS, 1);
    TDxTextureData* unattached = MakeData(kTarget);
    EXPECT_TRUE(unattached->CreateSurface(64, 32, false));
    EXPECT_NE(unattached->GetSurface(), nullptr);
    int dxLine = LogIndex("DX Error: ");
    int attachLine = LogIndex("FAILED to attach z-buffer for render surface!");
    ASSERT_GE(attachLine, 0);
    EXPECT_LT(dxLine, attachLine);

    port::control::InjectFailure(
        "CreateSurface",
        Failure{static_cast<uint32_t>(E_OUTOFMEMORY), 1, 0,
                [](const port::CallInfo& call) { return call.Arg("caps") & DDSCAPS_ZBUFFER; }});
    TDxTextureData* noZ = MakeData(kTarget);
    EXPECT_TRUE(noZ->CreateSurface(64, 32, false));
    EXPECT_GE(LogIndex("FAILED to create z-buffer for render surface!"), 0);
}

TEST_F(DxTextureCreateTest, AlphaRenderTargetRefusedTwiceOn16BitsMarksAndNextIs32Bits) {
    ASSERT_TRUE(MakeDisplay(16));
    port::control::KeepCallLog(true);
    port::control::InjectFailure("SetViewport", DDERR_CURRENTLYNOTAVAIL, 2);
    TDxTextureData* first = MakeData(kTarget | kAlpha);
    EXPECT_TRUE(first->CreateSurface(64, 64, false));
    EXPECT_TRUE(Logged("Bad viewport in switching render target!"));
    EXPECT_TRUE(Logged("Failed to SetRenderTarget with bit depth 16"));
    EXPECT_TRUE(mDisplay->GetContext()->HasRenderTargetFailure());
    EXPECT_TRUE(mDisplay->IsBroken());
    // The render target went back to the back buffer.
    EXPECT_EQ(Record().mRenderTarget, Record().mBackBuffer);

    port::control::KeepCallLog(true);
    TDxTextureData* next = MakeData(kTarget | kAlpha);
    next->CreateSurface(64, 64, false);
    auto attempts = Calls("CreateSurface");
    ASSERT_FALSE(attempts.empty());
    EXPECT_EQ(ArgOf(attempts[0], "bits"), 32);
    EXPECT_EQ(ArgOf(attempts[0], "alpha"), 1);
    EXPECT_EQ(CountCalls("EnumTextureFormats"), 1);
}

TEST_F(DxTextureCreateTest, SetRenderTargetSizesTheTargetAndIgnoresTheSameSurface) {
    ASSERT_TRUE(MakeDisplay(32));
    TDxTextureData* data = MakeData(kTarget);
    ASSERT_TRUE(data->CreateSurface(200, 100, false));
    port::control::KeepCallLog(true);
    mDisplay->SetRenderTarget(data->GetSurface());
    EXPECT_EQ(Record().mRenderTarget, data->GetSurface());
    EXPECT_EQ(Record().mTargetRect.right, 200);
    EXPECT_EQ(Record().mTargetRect.bottom, 100);
    mDisplay->SetRenderTarget(data->GetSurface());
    EXPECT_EQ(CountCalls("SetRenderTarget"), 1);
    // A refusal other than on 16 bits is logged once per run.
    port::control::InjectFailure("SetViewport", DDERR_INVALIDPARAMS, 4);
    mDisplay->SetRenderTarget(Record().mBackBuffer);
    mDisplay->SetRenderTarget(data->GetSurface());
    int lines = 0;
    for (const std::string& message : LogLines())
        lines += message.rfind("Failed to SetRenderTarget with alpha bit depth", 0) == 0;
    EXPECT_LE(lines, 1);
    EXPECT_FALSE(mDisplay->IsBroken());
}

}  // namespace
