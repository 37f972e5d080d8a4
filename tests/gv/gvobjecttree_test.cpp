// Object trees: what a parent hands down to its children at each link, the composed block the
// children end with, the depth re-sort, the recursive state and speed switches, and the transform
// and draw record read from the draw cache.
#include <gtest/gtest.h>

#include <cmath>

#include "factoryfixture.h"
#include "gv/keys/flagmasktext.h"
#include "gv/gvframe.h"
#include "gv/anim/gvstate.h"
#include "gv/keys/statekeys.h"
#include "math/mat3.h"
#include "platform/draw/drawspec.h"

namespace gv_test {
namespace {

TVec2 Map(const GVObject& object, float x, float y) {
    return TMat3::TransformPoint(TVec2{x, y}, object.GetDrawSpec()->mTransform);
}

TEST_F(FactoryTest, EachLinkHandsDownItsStageOfTheParentsComposition) {
    // Own block 1, description 10, state 100: the child sees the sum up to its link's stage.
    GVObject* parent = Make(Sprite(
        "main", "id=\"p\" deltaX=\"10\"",
        "<states><state id=\"normal\" deltaX=\"100\"/></states><objects>" +
            Sprite("obj", "id=\"l0\" link=\"0\"") + Sprite("obj", "id=\"l1\" link=\"1\"") +
            Sprite("obj", "id=\"l2\"") + Sprite("obj", "id=\"l3\" link=\"3\"") +
            Sprite("obj", "id=\"l7\" link=\"7\"") + "</objects>"));
    ASSERT_NE(parent, nullptr);
    parent->deltaX = 1;
    parent->changed = 1;
    parent->Update();
    struct Case {
        const char* child;
        float inherited;  // the child's inherited deltaX and its parent matrix's translation
    } cases[] = {{"l0", 0}, {"l1", 1}, {"l2", 11}, {"l3", 111}, {"l7", 0}};
    for (const Case& c : cases) {
        GVObject* child = parent->GetChild(c.child);
        ASSERT_NE(child, nullptr) << c.child;
        EXPECT_EQ(child->GetInherited().deltaX, c.inherited) << c.child;
        EXPECT_EQ(child->GetParentMatrix().m[6], c.inherited) << c.child;
        EXPECT_EQ(child->GetComposed().deltaX, c.inherited) << c.child;
    }
    EXPECT_EQ(parent->GetComposed().deltaX, 111);
    EXPECT_EQ(parent->GetLink(), 2);
    EXPECT_FALSE(parent->IsChanged());
}

TEST_F(FactoryTest, CompositionOfVisibilityFlipAndBlendReachesTheChild) {
    GVObject* parent = Make(Sprite("main", "id=\"p\" flip=\"H\" blend=\"add\"",
                                   "<objects>" + Sprite("obj", "id=\"c\" flip=\"H\" blend=\"mul\"") +
                                       Sprite("obj", "id=\"hidden\" visible=\"0\"") +
                                       Sprite("obj", "id=\"apart\" link=\"0\" blend=\"mul\"") +
                                       "</objects>"));
    ASSERT_NE(parent, nullptr);
    parent->Update();
    GVObject* child = parent->GetChild("c");
    // "H" over "H" is unflipped; the parent's "add" overrides the child's "mul".
    EXPECT_EQ(child->GetComposed().flip, 0u);
    EXPECT_EQ(child->GetComposed().blend, GVData::kBlendAdd);
    // A child that takes nothing is not updated by its parent, and keeps its own blend.
    parent->GetChild("apart")->Update();
    EXPECT_EQ(parent->GetChild("apart")->GetComposed().blend, GVData::kBlendMul);
    EXPECT_EQ(child->GetComposed().visible, 1);

    // The parent hides: its visible child is hidden, and a hidden one stays hidden.
    parent->visible = 0;
    parent->changed = 1;
    child->Update();  // starts from the changed parent
    EXPECT_EQ(child->GetComposed().visible, 0);
    EXPECT_EQ(parent->GetChild("hidden")->GetComposed().visible, 0);
    parent->visible = 1;
    parent->changed = 1;
    parent->Update();
    EXPECT_EQ(child->GetComposed().visible, 1);
    EXPECT_EQ(parent->GetChild("hidden")->GetComposed().visible, 0);
}

TEST_F(FactoryTest, ADepthChangePutsTheObjectAfterEveryObjectAlreadyAtItsNewDepth) {
    GVScene second;
    GVObject* a = Make(Sprite("main", "id=\"a\" deltaZ=\"5\""));
    GVObject* b = Make(Sprite("main", "id=\"b\" deltaZ=\"5\""));
    GVObject* low = Make(Sprite("main", "id=\"low\""));
    ASSERT_TRUE(a != nullptr && b != nullptr && low != nullptr);
    a->Update();
    b->Update();
    low->Update();
    b->AttachToScene(&second, false);
    low->AttachToScene(&second, false);
    GVObject* c = Make(Sprite("main", "id=\"c\" deltaZ=\"5\""));
    c->Update();
    c->AttachToScene(&second, false);
    EXPECT_EQ(mScene.GetDepthOrder(), (std::vector<GVObject*>{low, a, b, c}));
    EXPECT_EQ(second.GetDepthOrder(), (std::vector<GVObject*>{low, b, c}));
    low->deltaZ = 5;
    low->changed = 1;
    low->Update();
    EXPECT_EQ(mScene.GetDepthOrder(), (std::vector<GVObject*>{a, b, c, low}));
    EXPECT_EQ(second.GetDepthOrder(), (std::vector<GVObject*>{b, c, low}));
    // And back below all of them.
    low->deltaZ = -6;
    low->changed = 1;
    low->Update();
    EXPECT_EQ(mScene.GetDepthOrder(), (std::vector<GVObject*>{low, a, b, c}));
    for (GVObject* object : {a, b, c, low})
        object->DetachFromScene(&second, false);
}

TEST_F(FactoryTest, RecursiveSwitchesReachEveryChild) {
    const std::string walk2 = "<states><state id=\"walk\" framelist=\"0..1\"/></states>";
    const std::string walk4 =
        "<states><state id=\"walk\" framelist=\"0..3\" defdelay=\"150\"/></states>";
    GVObject* root = Make(Sprite(
        "main", "id=\"root\"",
        walk2 + "<objects>" +
            Sprite("obj", "id=\"long\"",
                   walk4 + "<objects>" + Sprite("obj", "id=\"leaf\"", walk2, 2) + "</objects>", 4) +
            Sprite("obj", "id=\"none\"") + "</objects>",
        2));
    ASSERT_NE(root, nullptr);
    const GNameMask key = ParseFlagMask("walk");
    // The longest pass: 4 frames × 150 ms in the middle of the tree.
    EXPECT_EQ(root->SetStateRecursive(key, true, false), 600);
    GVObject* longer = root->GetChild("long");
    EXPECT_EQ(root->GetStateId(), key);
    EXPECT_EQ(longer->GetStateId(), key);
    EXPECT_EQ(longer->GetChild("leaf")->GetStateId(), key);
    EXPECT_EQ(root->GetChild("none")->GetStateId(), GetStateKeys().normal);

    root->SetSpeed(2.0f, true);
    for (GVObject* object : {root, longer, longer->GetChild("leaf"), root->GetChild("none")})
        EXPECT_EQ(object->GetSpeed(), 2.0f);
    longer->SetSpeed(3.0f, false);
    EXPECT_EQ(longer->GetChild("leaf")->GetSpeed(), 2.0f);
}

TEST_F(FactoryTest, TheTransformTurnsAboutTheCenterScalesAboutTheOriginAndAppliesTheParentLast) {
    GVObject* parent = Make(Sprite(
        "main", "id=\"p\" deltaX=\"1000\" scaling=\"3\"",
        "<objects>" +
            Sprite("obj", "id=\"c\" center=\"8,8\" rotate=\"1.5707964\" scaling=\"2\" "
                          "deltaX=\"100\" deltaY=\"50\"") +
            "</objects>"));
    ASSERT_NE(parent, nullptr);
    parent->Update();
    GVObject* child = parent->GetChild("c");
    ASSERT_NE(child->GetDrawSpec(), nullptr);
    // In the child's own space (parent: ×3, then +1000 in x).
    struct Case {
        float x, y;      // frame pixel
        float ox, oy;    // before the parent's transform
    } cases[] = {
        {8, 8, 116, 66},  // the center: c·s + d, whatever the rotation
        {9, 8, 116, 68},  // one pixel right of it turns a quarter, doubled
        {8, 9, 114, 66},
        {0, 0, 132, 50},  // (−8, −8)·R·2 = (16, −16), then + c·s + d
    };
    for (const Case& c : cases) {
        const TVec2 p = Map(*child, c.x, c.y);
        EXPECT_NEAR(p.x, c.ox * 3 + 1000, 1e-3) << c.x << "," << c.y;
        EXPECT_NEAR(p.y, c.oy * 3, 1e-3) << c.x << "," << c.y;
    }
    // Unturned, scaling works about the frame's origin: (0, 0) lands on d.
    GVObject* plain = Make(Sprite("main", "id=\"q\" center=\"8,8\" scaling=\"2\" deltaX=\"5\""));
    plain->Update();
    EXPECT_NEAR(Map(*plain, 0, 0).x, 5, 1e-4);
    EXPECT_NEAR(Map(*plain, 16, 0).x, 37, 1e-4);
}

TEST_F(FactoryTest, TheDrawRecordComesFromTheComposedBlockAndTheFrame) {
    struct Case {
        const char* flip;
        uint32_t flags;
    } cases[] = {{"", 12}, {"H", 13}, {"V", 14}, {"HV", 15}};
    for (const Case& c : cases) {
        GVObject* object = Make(Sprite(
            "main", std::string("id=\"o\" alpha=\"0.5\" blend=\"sub\" flip=\"") + c.flip + "\"", "",
            2));
        ASSERT_NE(object, nullptr);
        object->colors[1] = 0.25f;
        object->changed = 1;
        object->Update();
        const TDrawSpec& spec = *object->GetDrawSpec();
        const GVFrame* frame = object->GetCurrentFrame();
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(spec.mFlags, c.flags) << c.flip;
        const TVec2 corner = frame->GetRegCorner(static_cast<int32_t>(c.flags & 3));
        EXPECT_EQ(spec.mOffset.x, corner.x) << c.flip;
        EXPECT_EQ(spec.mOffset.y, corner.y) << c.flip;
        EXPECT_EQ(spec.mOpacity, 0.5f);
        EXPECT_EQ(spec.mBlendMode, GVData::kBlendSub);
        EXPECT_EQ(spec.mColor.x, 1.0f);
        EXPECT_EQ(spec.mColor.y, 0.25f);
        EXPECT_EQ(spec.mSourceRect.left, 0);
        EXPECT_EQ(spec.mSourceRect.right, 16);
        // A given frame: its rectangle.
        object->UpdateDrawSpec(object->GetFrames()->GetAt(1));
        EXPECT_EQ(spec.mSourceRect.left, 16);
        EXPECT_EQ(spec.mSourceRect.top, 0);
        EXPECT_EQ(spec.mSourceRect.right, 32);
        EXPECT_EQ(spec.mSourceRect.bottom, 16);
    }
    // The registration corners differ when mirrored, so the choice shows.
    const GVFrame* frame = mLive.front()->GetFrames()->GetAt(0);
    EXPECT_NE(frame->GetRegCorner(0).x, frame->GetRegCorner(1).x);
    EXPECT_NE(frame->GetRegCorner(0).y, frame->GetRegCorner(2).y);

    // The flip that counts is the composed one: a parent's "H" mirrors an unflipped child.
    GVObject* parent = Make(Sprite("main", "id=\"p\" flip=\"H\"",
                                   "<objects>" + Sprite("obj", "id=\"c\"") + "</objects>"));
    parent->Update();
    EXPECT_EQ(parent->GetChild("c")->GetDrawSpec()->mFlags, 13u);

    // A record made before there is a frame: identity-like defaults.
    GVObject bare;
    bare.UpdateDrawSpec(nullptr);
    ASSERT_NE(bare.GetDrawSpec(), nullptr);
    EXPECT_EQ(bare.GetDrawSpec()->mFlags, 0u);
    EXPECT_EQ(bare.GetDrawSpec()->mOpacity, 1.0f);
    EXPECT_EQ(bare.GetDrawSpec()->mBlendMode, TDrawSpec::kKeepBlendMode);
}

}  // namespace
}  // namespace gv_test
