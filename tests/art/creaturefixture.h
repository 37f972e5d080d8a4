// Shared by the tests of the creature views over the real art: one figure of the data (a creature
// or a hyena, the test's parameter) made and configured as the world makes it, standing at
// (kX, kY) on the real level, with what the tests ask of what it drew.
#pragma once

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "gv/gvchilds.h"
#include "viewfixture.h"

namespace art_test {

using testing_support::CastFigure;
using testing_support::CastKind;

constexpr float kX = 400.0f;
constexpr float kY = 300.0f;

struct Facing {
    const char* name;
    TVec2 vector;
    bool right;  // the effects show on the right-hand side
};
const Facing kFacings[] = {{"NE", TVec2(1, 0), true},
                           {"NW", TVec2(0, -1), false},
                           {"SW", TVec2(-1, 0), false},
                           {"SE", TVec2(0, 1), true}};

const char* const kItems[] = {"stick", "shovel",   "hammer",   "tomahawk",  "fertilizer",
                              "nail",  "food",     "water",    "rock",      "stone_2",
                              "woods", "s-shovel", "s-hammer", "s-tomahawk"};
const char* const kLoads[] = {"smallberries", "roots", "yayaflowers"};
const char* const kDiseases[] = {"None", "Sneezies", "Tumrot", "Kopox", "Fever", "Ebolio"};
const char* const kIcons[] = {"icon_null", "icon_lb", "icon_lbn", "icon_qm"};
const char* const kEffects[] = {"dust", "chips", "splinters", "splashes", "pillage"};

inline std::string VariantName(const std::string& base, int index) {
    if (index == 0) return base;
    return index <= 8 ? base + std::to_string(index + 1) : base + "0";
}

// The activities the world sends a figure of the kind.
inline std::vector<std::string> Activities(const CastFigure& figure) {
    std::vector<std::string> list = {"stay", "walk", "work", "fight", "hidden"};
    if (figure.kind == CastKind::kCreature) {
        for (const char* a : {"failed", "flakeOut", "think", "celebrate"})
            list.push_back(a);
        if (figure.species == "Puff") list.push_back("breed");
        if (figure.species == "Gorilla") list.push_back("chop_woods");
    }
    return list;
}

class CreatureViewTest : public ArtViewTest, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        ArtViewTest::SetUp();
        mFigure = Cast().FindFigure(GetParam());
        ASSERT_NE(mFigure, nullptr) << GetParam() << " is not in the data";
        mView = MakeFigure(*mFigure, kX, kY);
        ASSERT_NE(mView, nullptr);
        mSprite = mView->GetSprite();
    }

    GVObject* Child(const std::string& id) const { return mSprite->GetChild(id.c_str()); }
    bool Drew(const DrawnFrame& frame, const std::string& id) const {
        const GVObject* child = Child(id);
        return child != nullptr && ArtViewTest::Drew(frame, child);
    }
    // The hit rectangle grown by 20 pixels on every side.
    bool InsideGrownHitRect(const std::vector<DrawnQuad>& quads) const {
        float l, t, r, b;
        if (!DrawnFrame::Bounds(quads, &l, &t, &r, &b)) return true;
        const float left = kX - float(mFigure->hitX) - 20, top = kY - float(mFigure->hitY) - 20;
        const float right = left + float(mFigure->hitWidth) + 40;
        const float bottom = top + float(mFigure->hitHeight) + 40;
        return l >= left && t >= top && r <= right && b <= bottom;
    }
    // The quads of the figure's body and head (the parts standing on its position).
    std::vector<DrawnQuad> Figure(const DrawnFrame& frame) const {
        std::vector<DrawnQuad> quads;
        for (const char* part : {"body", "head"}) {
            for (int i = 0; i < 10; ++i) {
                const GVObject* child = Child(VariantName(part, i));
                if (child == nullptr) continue;
                for (const DrawnQuad& q : frame.Of(child))
                    quads.push_back(q);
            }
        }
        return quads;
    }

    // The figure stands on its position: its shadow lies on it, and straight above it the body
    // (between the legs of a four-legged animal, at most half the figure's height up) is opaque.
    void StandsOnItsPosition(const DrawnFrame& frame) const {
        const GVObject* shadow = Child("shadow");
        ASSERT_NE(shadow, nullptr);
        EXPECT_GT(DrawnFrame::AlphaAt(frame.Of(shadow), kX, kY - 0.5f), 0.3f)
            << "the shadow does not lie on the position";
        const std::vector<DrawnQuad> figure = Figure(frame);
        float left, top, right, bottom;
        ASSERT_TRUE(DrawnFrame::Bounds(figure, &left, &top, &right, &bottom));
        EXPECT_TRUE(left < kX && kX < right && top < kY && kY <= bottom + 1)
            << "the figure is drawn beside its position";
        const int most = int(bottom - top) / 2;
        int up = 0;
        while (up <= most && DrawnFrame::AlphaAt(figure, kX, kY - 0.5f - float(up)) <= 0.99f)
            ++up;
        EXPECT_LE(up, most) << "the figure does not stand over its position";
    }
    // Every child of the figure that drew in the frame, by id.
    std::set<std::string> DrawnChildren(const DrawnFrame& frame) const {
        std::set<std::string> ids;
        for (int32_t i = 0; i < mSprite->GetChildCount(); ++i) {
            const GVObject* child = mSprite->GetChilds()->GetAt(i);
            if (ArtViewTest::Drew(frame, child)) ids.insert(child->GetName().c_str());
        }
        return ids;
    }

    const CastFigure* mFigure = nullptr;
    GVWorldCreature* mView = nullptr;
    GVObject* mSprite = nullptr;
};

}  // namespace art_test
