#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/file/file.h"
#include "../platform/mvecwriter.h"
#include "foundation/file/fileindex.h"
#include "mainwindowfixture.h"
#include "platform/display/dxcontext.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/font/fontcache.h"
#include "platform/font/vecfont.h"
#include "platform/image/pngdecoder.h"
#include "platform/mainwindowstate.h"
#include "platform/platformdata.h"
#include "platform/platformevent.h"
#include "platform/systemcursorimage.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedata.h"
#include "platform/win32platform.h"
#include "port/window/input.h"
#include "port/window/messages.h"
#include "port/window/queue.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"
#include "support/tempdir.h"
#include "ui/windowmanager.h"

namespace startup_test {
namespace {

// The whole file as the file layer reads it.
std::string ReadWholeFile(const char* name) {
    TFile file;
    if (!file.Open(name, 0)) return "<none>";
    std::string bytes(static_cast<size_t>(file.GetSize()), '\0');
    bytes.resize(static_cast<size_t>(file.Read(bytes.data(), static_cast<int>(bytes.size()))));
    return bytes;
}

// The timer messages for the window waiting in the queue now, taken out.
int TakeTimerMessages(HWND window) {
    int count = 0;
    MSG msg{};
    while (PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE)) {
        if (msg.wParam == 0) ++count;
    }
    return count;
}

TEST_F(MainWindowTest, SetupScreenTwiceMakesOneScreenAndOneDrawer) {
    TRecordingRenderSink sink;
    RunWith("", [&](TPlatform* platform) {
        TRenderer::GetInstance()->SetSink(&sink);
        TWin32Platform* shell = platform->GetPlatform();
        platform->SetupScreen(800, 600, false);
        TScreen* screen = TWindowManager::Get()->GetScreen();
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(std::string(screen->GetName().c_str()), "_screen_");
        TScreen::TBounds bounds = screen->GetRect();
        EXPECT_EQ(bounds.right, 800);
        EXPECT_EQ(bounds.bottom, 600);
        TBvMiniVecDraw* drawer = shell->GetVecDraw();
        EXPECT_NE(drawer, nullptr);
        // The first set-up clears the root window to transparent black (the calibration's
        // fills go into its own textures).
        auto screenFills = [&sink] {
            std::vector<TRecordingRenderSink::Fill> fills;
            for (const auto& fill : sink.mFills) {
                if (fill.texture == nullptr) fills.push_back(fill);
            }
            return fills;
        };
        ASSERT_EQ(screenFills().size(), 1u);
        EXPECT_EQ(screenFills()[0].colour.w, 0.0f);

        platform->SetupScreen(1024, 768, false);
        EXPECT_EQ(TWindowManager::Get()->GetScreen(), screen);
        EXPECT_EQ(shell->GetVecDraw(), drawer);
        EXPECT_EQ(screenFills().size(), 1u);
        TRenderer* renderer = TRenderer::GetInstance();
        EXPECT_EQ(renderer->GetTopViewport(), (TRect{0, 0, 1024, 768}));
        // Popped to its base, then the new screen pushed: never more than two.
        platform->SetupScreen(640, 480, false);
        EXPECT_EQ(renderer->GetTopViewport(), (TRect{0, 0, 640, 480}));
        EXPECT_EQ(renderer->GetViewportCount(), 2u);
        EXPECT_TRUE(shell->GetPlatformData()->IsReady());
        TRenderer::GetInstance()->SetSink(nullptr);
    });
}

// A one-glyph font file whose glyph is a square.
std::vector<uint8_t> FontWithGlyph(uint32_t code) {
    testing_support::MvecGlyph glyph;
    glyph.code = code;
    glyph.top = -8;
    glyph.outline = testing_support::OutlineWriter().Rect(0, -8, 8, 0).End().Bytes();
    return testing_support::WriteMvec({glyph});
}

TEST_F(MainWindowTest, FirstSetupScreenReadsTheDefaultFontOnce) {
    RunWith("", [&](TPlatform* platform) {
        std::vector<uint8_t> first = FontWithGlyph('d');
        RegisterMemoryFile(TVecFontCache::kDefaultFontName, first.data(),
                           static_cast<uint32_t>(first.size()));
        platform->SetupScreen(800, 600, false);
        // Read by the set-up, before any text asked for it: the font holds the file's glyph.
        TVecFontCache& cache = platform->GetPlatform()->GetFontCache();
        ASSERT_EQ(cache.GetSize(), 1u);
        TVecFont* font = GetVecFont(TVecFontCache::kDefaultFontName);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->FindGlyph('d'), 0);

        // Another file under the name now: a second set-up does not read it.
        std::vector<uint8_t> second = FontWithGlyph('e');
        RegisterMemoryFile(TVecFontCache::kDefaultFontName, second.data(),
                           static_cast<uint32_t>(second.size()));
        platform->SetupScreen(1024, 768, false);
        EXPECT_EQ(cache.GetSize(), 1u);
        EXPECT_EQ(GetVecFont(TVecFontCache::kDefaultFontName), font);
        EXPECT_EQ(font->FindGlyph('e'), -1);
        RegisterMemoryFile(TVecFontCache::kDefaultFontName, nullptr, 0);
    });
}

TEST_F(MainWindowTest, SetupScreenGoesOnWithoutAFontFile) {
    RunWith("", [&](TPlatform* platform) {
        RegisterMemoryFile(TVecFontCache::kDefaultFontName, nullptr, 0);
        platform->SetupScreen(800, 600, false);
        TWin32Platform* shell = platform->GetPlatform();
        EXPECT_NE(shell->GetVecDraw(), nullptr);
        EXPECT_NE(TWindowManager::Get()->GetScreen(), nullptr);
        // The program's built-in font stands in.
        TVecFont* font = GetVecFont(TVecFontCache::kDefaultFontName);
        ASSERT_NE(font, nullptr);
        EXPECT_GE(font->FindGlyph('W'), 0);
    });
}

TEST_F(MainWindowTest, SetupScreenTimerReachesThePumpEveryQuarterSecond) {
    RunWith("", [](TPlatform* platform) {
        // The events of the turns up to the first idle one.
        auto settle = [platform] {
            std::vector<int> types;
            for (int i = 0; i < 100; ++i) {
                TPlatformEvent event;
                platform->GetEvent(event);
                if (event.type == kEventIdle) return types;
                types.push_back(event.type);
            }
            ADD_FAILURE() << "the queue never ran dry";
            return types;
        };
        HWND window = platform->GetPlatform()->GetMainWindow();
        platform->SetupScreen(800, 600, false);
        settle();
        port::control::AdvanceTime(249);
        EXPECT_EQ(settle(), std::vector<int>{});
        port::control::AdvanceTime(1);
        EXPECT_EQ(settle(), std::vector<int>{kEventNothing});
        port::control::AdvanceTime(250);
        EXPECT_EQ(settle(), std::vector<int>{kEventNothing});
        port::control::AdvanceTime(250);
        EXPECT_EQ(TakeTimerMessages(window), 1);
    });
}

TEST_F(MainWindowTest, EmbeddedScaleIsTheHostWidthOverTheGameWidthInAWindow) {
    // The desktop holds the host's client area (the display set-up ends a game whose scaled
    // window would not fit).
    port::control::SetDesktop(2560, 1600, 32);
    HWND host = MakeForeign(1600, 1000);
    RunWith(HostLine(host), [](TPlatform* platform) {
        TWin32Platform* shell = platform->GetPlatform();
        platform->SetupScreen(800, 600, true);
        float scale = 0.0f;
        EXPECT_TRUE(shell->GetEmbeddedScale(&scale));
        EXPECT_FLOAT_EQ(scale, 2.0f);
        EXPECT_FLOAT_EQ(shell->GetScaleY(), 2.0f);
        EXPECT_FALSE(shell->GetPlatformData()->IsFullscreen());
        EXPECT_FALSE(platform->IsFullscreen());
    });
    RunWith("", [](TPlatform* platform) {
        TWin32Platform* shell = platform->GetPlatform();
        platform->SetupScreen(800, 600, false);
        float scale = 0.0f;
        EXPECT_FALSE(shell->GetEmbeddedScale(&scale));
        EXPECT_FLOAT_EQ(scale, 1.0f);
    });
}

TEST_F(MainWindowTest, BuiltInCursorDecodesToA32By32ArrowWithTransparentPixels) {
    RunWith("", [](TPlatform*) {
        uint8_t* pixels = nullptr;
        int width = 0, height = 0, side = 0;
        bool alpha = false;
        ASSERT_TRUE(DecodePng(kSystemCursorName, &pixels, &width, &height, &side, &alpha, 4096));
        EXPECT_EQ(width, 32);
        EXPECT_EQ(height, 32);
        EXPECT_TRUE(alpha);
        auto alphaAt = [&](int x, int y) { return pixels[(y * side + x) * 4 + 3]; };
        EXPECT_EQ(alphaAt(0, 0), 0);
        EXPECT_EQ(alphaAt(31, 31), 0);
        EXPECT_EQ(alphaAt(2, 2), 255);  // the hot spot is the tip
        int transparent = 0;
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) transparent += alphaAt(x, y) == 0 ? 1 : 0;
        }
        EXPECT_GT(transparent, 512);
        ReleasePngPixels(pixels);
    });
}

TEST_F(MainWindowTest, SystemCursorImageIsRegisteredOnlyWhenTheFileIsMissing) {
    RunWith("", [](TPlatform*) {
        std::string bytes = ReadWholeFile(kSystemCursorName);
        EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(kSystemCursorPng),
                                     kSystemCursorPngSize));
    });
    testing_support::WriteFileBytes(Asset(kSystemCursorName), "the game's own cursor");
    RunWith("", [](TPlatform*) {
        EXPECT_EQ(ReadWholeFile(kSystemCursorName), "the game's own cursor");
        TPlatform::EnsureSystemCursorImage();
        EXPECT_EQ(ReadWholeFile(kSystemCursorName), "the game's own cursor");
    });
}

TEST_F(MainWindowTest, EmptyCursorImageShowsTheBuiltInCursorLoadedOnce) {
    RunWith("", [](TPlatform* platform) {
        TWin32Platform* shell = platform->GetPlatform();
        platform->SetupScreen(800, 600, false);
        TDXContext* context = shell->GetPlatformData()->GetContext();
        platform->SetCursorImage(nullptr, 2, 2, false);
        std::shared_ptr<TTexture> system = shell->GetMainWindowState().systemCursorImage;
        ASSERT_NE(system, nullptr);
        EXPECT_EQ(system->GetWidth(), 32);
        EXPECT_TRUE(system->IsSimple());
        EXPECT_EQ(context->GetCursorTexture(), system);
        // The class cursor is gone: only the software cursor shows in the client area.
        EXPECT_EQ(GetClassLongA(shell->GetMainWindow(), GCL_HCURSOR), 0u);

        // A second call reads no file: with the file gone it still shows the kept image.
        RegisterMemoryFile(kSystemCursorName, nullptr, 0);
        ASSERT_FALSE(FileExists(kSystemCursorName));
        platform->SetCursorImage(nullptr, 2, 2, false);
        EXPECT_EQ(shell->GetMainWindowState().systemCursorImage, system);
        EXPECT_EQ(context->GetCursorTexture(), system);
    });
}

TEST_F(MainWindowTest, HiddenCursorStoresTheImageWithoutShowingIt) {
    RunWith("", [](TPlatform* platform) {
        TWin32Platform* shell = platform->GetPlatform();
        platform->SetupScreen(800, 600, false);
        std::shared_ptr<TTexture> arrow = TTexture::Create(16, 16, true);
        ASSERT_NE(arrow, nullptr);
        TDXContext* context = shell->GetPlatformData()->GetContext();
        // What the display shows now: the system cursor when this process's first set-up gave
        // it its one-time image, else nothing.
        std::shared_ptr<TTexture> shown = context->GetCursorTexture();
        ASSERT_NE(shown, arrow);

        platform->ShowCursor(false);
        EXPECT_FALSE(shell->IsCursorVisible());
        platform->SetCursorImage(arrow, 5, 6, false);
        const TMainWindowState& state = shell->GetMainWindowState();
        EXPECT_EQ(state.cursorImage, arrow);
        EXPECT_EQ(state.cursorHotX, 5);
        EXPECT_EQ(state.cursorHotY, 6);
        EXPECT_EQ(context->GetCursorTexture(), shown);

        // Forced: shown at once, nothing stored.
        platform->SetCursorImage(nullptr, 9, 9, true);
        EXPECT_EQ(state.cursorImage, arrow);
        EXPECT_EQ(state.cursorHotX, 5);
        platform->SetCursorImage(arrow, 1, 1, true);
        EXPECT_EQ(context->GetCursorTexture(), arrow);
        EXPECT_EQ(state.cursorHotX, 5);
    });
}

TEST_F(MainWindowTest, SetMousePosMovesTheSystemCursorThroughTheDisplayScale) {
    // The desktop holds the host's client area (the display set-up ends a game whose scaled
    // window would not fit).
    port::control::SetDesktop(2560, 1600, 32);
    HWND host = MakeForeign(1600, 1200);
    RunWith(HostLine(host), [](TPlatform* platform) {
        platform->SetupScreen(800, 600, false);
        POINT origin{0, 0};
        ClientToScreen(platform->GetPlatform()->GetMainWindow(), &origin);
        platform->SetMousePos(10, 20);
        POINT cursor{};
        GetCursorPos(&cursor);
        EXPECT_EQ(cursor.x, origin.x + 20);
        EXPECT_EQ(cursor.y, origin.y + 40);
    });
}

TEST_F(MainWindowTest, ReadyToDrawAndTextureDataFollowTheDisplay) {
    RunWith("", [](TPlatform* platform) {
        EXPECT_FALSE(platform->IsReadyToDraw());  // no display yet
        EXPECT_NE(platform->GetPlatform()->CreateTextureData(), nullptr);
        platform->SetupScreen(800, 600, false);
        EXPECT_TRUE(platform->IsReadyToDraw());
        // Textures made now get their data from the display.
        std::shared_ptr<TTexture> texture = TTexture::Create(16, 16, true);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->GetWidth(), 16);
    });
    // Once the application object is gone, textures get in-memory data again.
    auto after = std::make_shared<TTexture>();
    EXPECT_NE(after->GetData(), nullptr);
}

}  // namespace
}  // namespace startup_test
