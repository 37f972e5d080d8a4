// The text layout tests' world: the application object (for its font cache), a monospace font
// of exactly known metrics as "fonts/mono.mvec", a recording glyph drawer in the platform's
// place, and layouts the fixture deletes.
//
// The monospace font (monofont.h) at size 20: a run's scale is exactly 4 quarter pixels per font
// pixel: a glyph moves the pen 40 quarter pixels (10 pixels), the first glyph of a line 4 more
// (its ink one pixel in), and the baseline lies 60 quarter pixels below the line top
// ((3 + 12) × 4, the line's free share above the glyphs being 3 pixels). A line of n glyphs is
// 10 n + 1 pixels wide and fits a box at least 10 n + 2 pixels wide.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/file/fileindex.h"
#include "monofont.h"
#include "platform/font/fontcache.h"
#include "platform/font/vecfont.h"
#include "platform/platform.h"
#include "platform/text/textlayout.h"
#include "platform/win32platform.h"
#include "recordingvecdraw.h"

namespace text_testing {

constexpr const char* kMono = "fonts/mono.mvec";
constexpr int kSize = 20;
constexpr int kGlyph = 10;

class TextTest : public ::testing::Test {
protected:
    void SetUp() override {
        mMono = testing_support::MonoFont();
        PutFont(kMono, mMono);
        mApp = std::make_unique<TPlatform>();
        auto drawer = std::make_unique<testing_support::TRecordingVecDraw>();
        mDrawer = drawer.get();
        mApp->GetPlatform()->SetVecDraw(std::move(drawer));
    }
    void TearDown() override {
        for (TTextLayout* layout : mLayouts)
            TTextLayout::Delete(layout);
        mLayouts.clear();
        mApp.reset();
    }

    static void PutFont(const char* name, const std::vector<uint8_t>& bytes) {
        RegisterMemoryFile(name, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }
    // Registers the fallback font as "fonts/default.mvec" (before the first layout).
    void UseFallbackFont() {
        mFallback = testing_support::FallbackFont();
        PutFont(TVecFontCache::kDefaultFontName, mFallback);
    }
    static TVecFont& Font(const char* name = kMono) { return *GetVecFont(name); }

    TTextLayout* Make(const str& text, int width, int height = 200, uint32_t flags = 0,
                      int size = kSize, const char* font = kMono) {
        const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        mLayouts.push_back(TTextLayout::Create(text, width, height, flags, font, size, white));
        return mLayouts.back();
    }

    // The characters each line draws, its runs' byte ranges joined.
    static std::vector<std::string> LineTexts(const TTextLayout& layout) {
        const std::string text = layout.GetText().c_str();
        std::vector<std::string> lines;
        for (const auto& line : layout.GetLines()) {
            std::string shown;
            for (const TTextRun& run : line->runs) {
                if (run.end >= run.start)
                    shown += text.substr(static_cast<size_t>(run.start),
                                         static_cast<size_t>(run.end - run.start + 1));
            }
            lines.push_back(shown);
        }
        return lines;
    }
    static const TTextLine& Line(const TTextLayout& layout, int index) {
        return *layout.GetLines().at(static_cast<size_t>(index));
    }

    std::vector<uint8_t> mMono;
    std::vector<uint8_t> mFallback;
    std::unique_ptr<TPlatform> mApp;
    testing_support::TRecordingVecDraw* mDrawer = nullptr;
    std::vector<TTextLayout*> mLayouts;
};

}  // namespace text_testing
