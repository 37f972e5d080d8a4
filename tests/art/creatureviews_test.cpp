// Every creature and hyena description through a real creature view, made and configured as the
// world makes it under the real "level1" and drawn after every step: every activity in the four
// directions, standing on its position; whole passes of every state its body and head both play,
// in step; the idle variations through the views' seeded generator; and the keys no drawing
// answers. (Its parts are creatureparts_test.cpp's.)
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "creaturefixture.h"
#include "gv/anim/gvstate.h"

namespace art_test {
namespace {

// A body draws its own head where the description hides the head child (the breeding pair).
bool HeadDrawnByTheBody(const std::string& activity) {
    return activity == "breed";
}

TEST_P(CreatureViewTest, EveryActivityInEveryDirectionDrawsAndHiddenDrawsNothing) {
    for (const std::string& activity : Activities(*mFigure)) {
        for (const Facing& facing : kFacings) {
            SCOPED_TRACE(activity + " facing " + facing.name);
            mView->SetState(Key("stay"));
            mView->SetDirection(facing.vector);
            mView->SetState(Key(activity));
            const DrawnFrame frame = Draw();
            const std::vector<DrawnQuad> mine = frame.Of(mSprite);
            if (activity == "hidden") {
                EXPECT_TRUE(mine.empty()) << mine.size() << " quads of a hidden figure";
                continue;
            }
            EXPECT_TRUE(Drew(frame, "body"));
            EXPECT_EQ(Drew(frame, "head"), !HeadDrawnByTheBody(activity));
            if (activity == "stay" || activity == "walk" || activity == "work")
                StandsOnItsPosition(frame);
        }
    }
}

// Body and head run timers of their own: through a whole pass of every state both have, they
// show the same frame position at every step, and both draw. Every body and head variant plays
// (each head with the body the world pairs it with first, every body with the first head).
TEST_P(CreatureViewTest, BodyAndHeadStepTogetherThroughWholePassesOfEveryStateBothHave) {
    std::vector<std::pair<int, int>> pairs;
    for (int h = 0; h < mFigure->heads; ++h)
        pairs.emplace_back(h % mFigure->bodies, h);
    for (int b = 1; b < mFigure->bodies; ++b)
        pairs.emplace_back(b, 0);
    for (const auto& [b, h] : pairs) {
        mView->ShowBody(b);
        mView->ShowHead(h);
        GVObject* body = Child(VariantName("body", b));
        GVObject* head = Child(VariantName("head", h));
        ASSERT_NE(body, nullptr);
        ASSERT_NE(head, nullptr);
        const GVStates* states = body->GetStates();
        ASSERT_NE(states, nullptr);
        for (int32_t s = 0; s < states->GetCount(); ++s) {
            const GVState* state = states->GetAt(s);
            const GNameMask key = state->id;
            if (head->GetStates()->FindByKey(key) < 0) continue;
            const std::string name = FormatFlagMask(key).c_str();
            SCOPED_TRACE(VariantName("body", b) + " and " + VariantName("head", h) + " in " + name);
            mSprite->SetStateRecursive(key, true, false);
            ASSERT_EQ(body->GetStateId(), key);
            ASSERT_EQ(head->GetStateId(), key);
            const bool hidden = name == "hidden";
            // Half a frame's time a step, through the whole list and one frame more.
            const float period = float(state->defdelay) * body->GetSpeed();
            const int steps = 2 * state->GetFrameCount() + 2;
            for (int step = 0; step < steps; ++step) {
                const DrawnFrame frame = Draw();
                ASSERT_EQ(body->GetFramePosition(), head->GetFramePosition()) << "step " << step;
                if (!hidden) {
                    EXPECT_TRUE(ArtViewTest::Drew(frame, body)) << "step " << step;
                    EXPECT_EQ(ArtViewTest::Drew(frame, head), !HeadDrawnByTheBody(name))
                        << "step " << step;
                }
                Advance(uint32_t(std::ceil(period / 2)));
            }
        }
    }
}

// The idle variations as the manager's refresh runs them (the views' seeded generator): standing,
// the head turns and the body stays; in "failed" the head turns every few updates until the
// figure gives up and stands; walking, the turn keys reach no drawing.
TEST_P(CreatureViewTest, IdleVariationsTurnTheHeadAndNothingElse) {
    GVObject* body = Child("body");
    GVObject* head = Child("head");
    ASSERT_NE(body, nullptr);
    ASSERT_NE(head, nullptr);
    for (const Facing& facing : kFacings) {
        SCOPED_TRACE(facing.name);
        const std::string stay = std::string("stay_") + facing.name;
        mView->SetState(Key("walk"));
        mView->SetDirection(facing.vector);
        mView->SetState(Key("stay"));
        std::set<std::string> heads;
        for (int update = 0; update < 260; ++update) {
            mManager->RefreshAll();
            Draw();
            EXPECT_EQ(StateOf(body), stay) << update;
            heads.insert(StateOf(head));
        }
        EXPECT_TRUE(heads.count(stay + "_headLeft") || heads.count(stay + "_headRight"))
            << "no head turn in 260 updates";
        for (const std::string& shown : heads)
            EXPECT_EQ(shown.rfind(stay, 0), 0u) << shown;

        mView->SetState(Key("walk"));
        for (int update = 0; update < 260; ++update) {
            mManager->RefreshAll();
            EXPECT_EQ(StateOf(head), std::string("walk_") + facing.name) << update;
        }
    }
    if (mFigure->kind != CastKind::kCreature) return;
    mView->SetState(Key("failed"));
    int turns = 0;
    std::string last = StateOf(head);
    for (int update = 0; update < 200 && StateOf(body).rfind("stay_SW", 0) == 0; ++update) {
        mManager->RefreshAll();
        Draw();
        if (StateOf(head) != last && StateOf(head).find("_head") != std::string::npos) ++turns;
        last = StateOf(head);
        if (mView->GetState() != Key("failed")) break;
    }
    EXPECT_GE(turns, 3) << "the head does not turn while the figure has failed";
    EXPECT_EQ(mView->GetState(), Key("stay")) << "a failed figure never gives up";
}

// Keys the world sends that no drawing answers leave the picture as it was.
TEST_P(CreatureViewTest, KeysNoDrawingAnswersChangeNothingDrawn) {
    for (const char* activity : {"stay", "walk", "work"}) {
        mView->SetState(Key(activity));
        for (const char* key : {"walk_NE_headLeft", "work_SE", "forage", "gather_water"}) {
            const std::string before = DrawnFrame::Signature(Draw().Of(mSprite));
            mSprite->SetStateRecursive(Key(key), true, false);
            EXPECT_EQ(DrawnFrame::Signature(Draw().Of(mSprite)), before)
                << key << " in " << activity;
        }
    }
}

// A creature view names no layout, whatever its sprite's root id.
TEST_P(CreatureViewTest, ACreatureViewNamesNoLayout) {
    EXPECT_STREQ(mView->GetLayoutName().c_str(), "");
    EXPECT_EQ(mView->GetLayout(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Art, CreatureViewTest, ::testing::ValuesIn(AnimalNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

// The parameters above are the cast's creatures and hyenas, as the game's loaders read them.
TEST_F(ArtViewTest, TheViewTestsCoverEveryCreatureAndHyenaOfTheData) {
    std::vector<std::string> cast;
    for (const CastFigure& figure : Cast().Figures())
        if (figure.kind == CastKind::kCreature || figure.kind == CastKind::kMonster)
            cast.push_back(figure.name);
    EXPECT_EQ(cast, AnimalNames());
}

}  // namespace
}  // namespace art_test
