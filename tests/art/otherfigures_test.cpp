// The figures that are no creature through their real views: a grave fades to nothing in its
// frame time while its idle timer goes on sending "stay_NE" and its head turns; hyenas and ark
// part movers (which the world gives no hit rectangle, so they are picked by their sprite) are
// picked on their drawn body and missed 10 pixels outside its outline.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "creaturefixture.h"
#include "gv/anim/gvstate.h"
#include "simulation/params/globaldata.h"

namespace art_test {
namespace {

TEST_F(ArtViewTest, AGraveFadesToHiddenInItsFrameTimeWhileItsIdleTimerTurnsItsHead) {
    const CastFigure* figure = Cast().FindFigure("skeleton");
    ASSERT_NE(figure, nullptr);
    GVWorldCreature* grave = MakeFigure(*figure, kX, kY);
    ASSERT_NE(grave, nullptr);
    GVObject* sprite = grave->GetSprite();
    grave->SetState(Key("stay"));
    GVObject* body = sprite->GetChild("body");
    ASSERT_NE(body, nullptr);
    ASSERT_TRUE(Drew(Draw(), body));

    // As the grave sends it when its time is up.
    sprite->SetStateRecursive(Key("disappear"), true, false);
    ASSERT_EQ(StateOf(body), "disappear");
    const GVState* fade = body->GetStates()->GetAt(body->GetStates()->FindByKey(Key("disappear")));
    ASSERT_NE(fade, nullptr);
    const float fadeTime = float(fade->defdelay * fade->GetFrameCount()) * body->GetSpeed();
    // Steps of a tenth of a frame, each with more view updates than the idle timer's longest
    // wait spread over the fade, and the keys the idle timer shows sent besides.
    const uint32_t step = uint32_t(std::ceil(float(fade->defdelay) * body->GetSpeed() / 10));
    const int updatesPerStep =
        int(2 * (testing_support::kIdleBase + 2 * testing_support::kIdleRange) * step /
            uint32_t(std::max(1.0f, fadeTime))) +
        1;
    const char* const idleKeys[] = {"stay_NE", "stay_NE_headLeft", "stay_NE_headRight"};
    float elapsed = 0;
    int sent = 0;
    while (elapsed < fadeTime - float(step)) {
        SCOPED_TRACE(std::to_string(elapsed) + " ms into the fade");
        for (int u = 0; u < updatesPerStep; ++u)
            mManager->RefreshAll();
        sprite->SetStateRecursive(Key(idleKeys[sent++ % 3]), true, false);
        const DrawnFrame frame = Draw();
        ASSERT_EQ(StateOf(body), "disappear") << "the fade was cut";
        EXPECT_TRUE(Drew(frame, body));
        Advance(step);
        elapsed += float(step);
    }
    // The last frame's time, and a step for the timer that comes due at its end.
    for (int s = 0; s < 12; ++s) {
        for (int u = 0; u < updatesPerStep; ++u)
            mManager->RefreshAll();
        Advance(step);
    }
    EXPECT_EQ(StateOf(body), "hidden");
    EXPECT_TRUE(Draw().Of(sprite).empty()) << "something of a faded grave still draws";
}

// The hyenas and the movers, straight from the data's counts.
std::vector<std::string> PickedBySprite() {
    std::vector<std::string> names;
    for (int level = 1; level <= GlobalData::kLevelCount; ++level)
        names.push_back("hyena_l" + std::to_string(level));
    for (int part = 1; part <= GlobalData::kArkPartCount; ++part)
        names.push_back("ark_part_mover_" + std::to_string(part));
    return names;
}

// Opaque as the alpha hit test counts it (alpha above 80).
constexpr float kOpaque = 80.0f / 255.0f;
constexpr int kMargin = 10;

using PickedBySpriteTest = CreatureViewTest;

TEST_P(PickedBySpriteTest, PickedOnItsDrawnBodyAndMissedOutsideItsOutline) {
    for (const Facing& facing : kFacings) {
        for (const char* activity : {"stay", "walk"}) {
            SCOPED_TRACE(std::string(activity) + " facing " + facing.name);
            mView->SetState(Key("stay"));
            mView->SetDirection(facing.vector);
            mView->SetState(Key(activity));
            const DrawnFrame frame = Draw();
            const std::vector<DrawnQuad> figure = Figure(frame);
            float left, top, right, bottom;
            ASSERT_TRUE(DrawnFrame::Bounds(figure, &left, &top, &right, &bottom));
            // The figure's opacity on a pixel grid around its quads, a margin and more beyond.
            const int x0 = int(std::floor(left)) - 2 * kMargin;
            const int y0 = int(std::floor(top)) - 2 * kMargin;
            const int width = int(std::ceil(right)) + 2 * kMargin - x0;
            const int height = int(std::ceil(bottom)) + 2 * kMargin - y0;
            std::vector<float> alpha(size_t(width * height));
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    alpha[size_t(y * width + x)] =
                        DrawnFrame::AlphaAt(figure, float(x0 + x) + 0.5f, float(y0 + y) + 0.5f);
            const auto at = [&](int x, int y) {
                return x < 0 || y < 0 || x >= width || y >= height ? 0.0f
                                                                   : alpha[size_t(y * width + x)];
            };
            const auto nearInk = [&](int x, int y) {
                for (int dy = -kMargin; dy <= kMargin; ++dy)
                    for (int dx = -kMargin; dx <= kMargin; ++dx)
                        if (dx * dx + dy * dy <= kMargin * kMargin && at(x + dx, y + dy) > 0.0f)
                            return true;
                return false;
            };
            int hits = 0, misses = 0;
            for (int y = 0; y < height; y += 2) {
                for (int x = 0; x < width; x += 2) {
                    const TVec2 point(float(x0 + x) + 0.5f, float(y0 + y) + 0.5f);
                    const bool solid = at(x, y) > kOpaque && at(x - 1, y) > kOpaque &&
                                       at(x + 1, y) > kOpaque && at(x, y - 1) > kOpaque &&
                                       at(x, y + 1) > kOpaque;
                    if (solid) {
                        ++hits;
                        EXPECT_EQ(mManager->PickObjectAt(point, nullptr,
                                                         GVWorldManager::kPickCreatures, 0),
                                  mView)
                            << "not picked on its body at " << point.x << ", " << point.y;
                    } else if (!nearInk(x, y)) {
                        ++misses;
                        EXPECT_EQ(mManager->PickObjectAt(point, nullptr,
                                                         GVWorldManager::kPickCreatures, 0),
                                  nullptr)
                            << "picked " << kMargin << " px outside its outline at " << point.x
                            << ", " << point.y;
                    }
                }
            }
            EXPECT_GT(hits, 20);
            EXPECT_GT(misses, 20);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Art, PickedBySpriteTest, ::testing::ValuesIn(PickedBySprite()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

}  // namespace
}  // namespace art_test
