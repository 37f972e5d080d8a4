// Shared by the glyph drawer's tests: a recording renderer in an open 2-D frame, the drawer with
// line ends at the span's own coordinates and four shade slots in colours of their own, and the
// coverage of every pixel read back from the recorded line lists (ramp alpha 255 x 16 c / 256
// names the coverage c).
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "foundation/assetmanager.h"
#include "mvecwriter.h"
#include "platform/draw/bvminivecdraw.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/texture/memorytexturedata.h"
#include "platform/texture/texture.h"

constexpr uint32_t kFill = 0xFF0000;     // slot 1
constexpr uint32_t kStroke0 = 0x00FF00;  // slot 255
constexpr uint32_t kStroke1 = 0x0000FF;  // slot 254
constexpr uint32_t kExtra = 0xFFFFFF;    // slot 2

// Pixel → colour (rgb) → coverage.
using CoverageMap = std::map<std::pair<int, int>, std::map<uint32_t, int>>;

class VecDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAssetManager(&mManager);
        TRenderer* renderer = TRenderer::GetInstance();
        renderer->SetSink(&mSink);
        mDraw = std::make_unique<TBvMiniVecDraw>();
        mDraw->SetOffsets(0.0f, 0.0f, 0.0f);
        SetColors();
    }
    void TearDown() override {
        mDraw.reset();
        TRenderer::DestroyInstance();
        SetAssetManager(nullptr);
    }

    void OpenFrame() {
        TRenderer::GetInstance()->BeginDraw(false);
        TRenderer::GetInstance()->Begin2d();
    }
    void SetColors() {
        mDraw->SetShadeColors(1, 0xFF000000u | kFill, 1.0f);
        mDraw->SetShadeColors(255, 0xFF000000u | kStroke0, 1.0f);
        mDraw->SetShadeColors(254, 0xFF000000u | kStroke1, 1.0f);
        mDraw->SetShadeColors(2, 0xFF000000u | kExtra, 1.0f);
    }

    static int CoverageOfAlpha(uint32_t alpha) {
        for (int c = 1; c <= 16; ++c) {
            if (255u * 16u * static_cast<uint32_t>(c) / 256u == alpha) return c;
        }
        ADD_FAILURE() << "alpha " << alpha << " is no ramp entry";
        return 0;
    }

    // Flushes and reads every span drawn since the last call.
    CoverageMap Drawn() {
        mDraw->FlushBatch();
        CoverageMap map;
        for (const TRecordingRenderSink::Draw& draw : mSink.mDraws) {
            EXPECT_EQ(draw.primitive, TRenderer::kLineList);
            EXPECT_EQ(draw.kind, TVertexBatch::kScreenVertex);
            for (size_t i = 0; i + 1 < draw.screenVertices.size(); i += 2) {
                const TTLVertex& a = draw.screenVertices[i];
                const TTLVertex& b = draw.screenVertices[i + 1];
                EXPECT_EQ(a.y, b.y);
                EXPECT_EQ(a.diffuse, b.diffuse);
                const int y = static_cast<int>(a.y);
                for (int x = static_cast<int>(a.x); x < static_cast<int>(b.x); ++x) {
                    int& c = map[{x, y}][a.diffuse & 0xFFFFFF];
                    EXPECT_EQ(c, 0) << "pixel " << x << "," << y << " drawn twice in one colour";
                    c = CoverageOfAlpha(a.diffuse >> 24);
                }
            }
        }
        mSink.mDraws.clear();
        return map;
    }

    static int At(const CoverageMap& map, int x, int y, uint32_t color) {
        auto pixel = map.find({x, y});
        if (pixel == map.end()) return 0;
        auto c = pixel->second.find(color);
        return c == pixel->second.end() ? 0 : c->second;
    }

    // An outline of serial 0 kept alive by the fixture.
    TGlyphOutline Outline(const testing_support::OutlineWriter& writer) {
        mOutlines.push_back(std::make_unique<std::vector<uint8_t>>(writer.Bytes()));
        return TGlyphOutline{mOutlines.back()->data(), mOutlines.back()->size(), 0, 0};
    }

    TAssetManager mManager;
    TRecordingRenderSink mSink;
    std::unique_ptr<TBvMiniVecDraw> mDraw;
    std::vector<std::unique_ptr<std::vector<uint8_t>>> mOutlines;
};
