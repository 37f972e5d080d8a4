// Hit tests and picking: the frame's edges, mirrored objects, scaling, transforms without an
// inverse, and FindObjectAt over a parent and its children.
#include <gtest/gtest.h>

#include <string>

#include "factoryfixture.h"
#include "gv/gvframe.h"
#include "platform/draw/drawspec.h"

namespace gv_test {
namespace {

class PickingTest : public FactoryTest {
protected:
    void SetUp() override {
        FactoryTest::SetUp();
        // A 10 × 6 frame, transparent but for four pixels: (0, 1) and (9, 3) at the two ends of
        // rows, (1, 0) and (3, 5) at the two ends of columns.
        Pixels mask(10, 6, 0x00FFFFFFu);
        for (auto [x, y] : {std::pair{0, 1}, {9, 3}, {1, 0}, {3, 5}})
            mask.At(x, y) = 0xFFFFFFFFu;
        PutImage("anim/mask.png", mask);
    }

    // A live, updated object of the mask at (100, 200) with the alpha tester.
    GVObject* Masked(const std::string& flip) {
        GVObject* object =
            Make("<main deltaX=\"100\" deltaY=\"200\" hit_test=\"alpha\" flip=\"" + flip +
                 "\"><images><img name=\"mask.png\"/></images><framelist><frame x=\"0\" "
                 "y=\"0\" w=\"10\" h=\"6\"/></framelist></main>");
        if (object != nullptr) object->Update();
        return object;
    }
    // The view point that maps back to the frame point (x, y) of the object, unturned and
    // unscaled: its position less its registration point, plus the point.
    static TVec2 ViewPoint(const GVObject& object, float x, float y) {
        const TDrawSpec& spec = *object.GetDrawSpec();
        return TVec2(spec.mTransform.m[6] - spec.mOffset.x + x,
                     spec.mTransform.m[7] - spec.mOffset.y + y);
    }
};

TEST_F(PickingTest, TheRightAndBottomEdgesMissAndTheLeftAndTopEdgesHit) {
    GVObject* plain = Make(Sprite("main", "deltaX=\"100\" deltaY=\"200\""));
    GVObject* big = Make(Sprite("main", "deltaX=\"100\" deltaY=\"200\" scaling=\"2\""));
    ASSERT_TRUE(plain && big);
    plain->Update();
    big->Update();
    // The frame covers (100, 200) to (116, 216); scaled by 2, to (132, 232).
    struct Case {
        GVObject* object;
        float x, y;
        bool hit;
    } cases[] = {
        {plain, 100, 200, true},  {plain, 115.9f, 215.9f, true}, {plain, 116, 205, false},
        {plain, 105, 216, false}, {plain, 99.9f, 205, false},    {plain, 105, 199.9f, false},
        {big, 100, 200, true},    {big, 131.5f, 231.5f, true},   {big, 132, 210, false},
        {big, 110, 232, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.object->HitTest(TVec2(c.x, c.y)), c.hit)
            << (c.object == big ? "scaled " : "") << c.x << "," << c.y;
}

TEST_F(PickingTest, AMirroredObjectHitsItsMirroredPixelAtBothEnds) {
    struct Case {
        const char* flip;
        float x, y;  // the point in the drawn frame, from its top-left
        bool hit;
    } cases[] = {
        // Unmirrored: the pixel under the point.
        {"", 0, 1, true},
        {"", 9, 1, false},
        {"", 0, 3, false},
        {"", 9, 3, true},
        {"", 1, 0, true},
        {"", 1, 5, false},
        {"", 3, 0, false},
        {"", 3, 5, true},
        // "H": column 0 shows pixel 9 and column 9 pixel 0.
        {"H", 0, 1, false},
        {"H", 9, 1, true},
        {"H", 0, 3, true},
        {"H", 9, 3, false},
        // "V": row 0 shows pixel row 5 and row 5 pixel row 0.
        {"V", 1, 0, false},
        {"V", 1, 5, true},
        {"V", 3, 0, true},
        {"V", 3, 5, false},
    };
    for (const Case& c : cases) {
        GVObject* object = Masked(c.flip);
        ASSERT_NE(object, nullptr);
        // At the pixel's corner and inside it: the same pixel.
        for (float inside : {0.0f, 0.5f}) {
            const TVec2 point = ViewPoint(*object, c.x + inside, c.y + inside);
            EXPECT_EQ(object->HitTest(point), c.hit)
                << "flip \"" << c.flip << "\" at " << c.x + inside << "," << c.y + inside;
        }
        mLive.clear();
    }
}

TEST_F(PickingTest, NoHitWhenHiddenWithoutATesterOrWithoutAnInverse) {
    GVObject* hidden = Make(Sprite("main", "visible=\"0\""));
    GVObject* untested = Make(Sprite("main", "hit_test=\"none\""));
    GVObject* flat = Make(Sprite("main", "scaling=\"0\""));
    // Scaled so little that the transform's determinant is 0 in floats, while the scaling
    // itself is still above 0.
    GVObject* tiny = Make(Sprite("main", "scaling=\"1e-23\""));
    GVObject* parent =
        Make(Sprite("main", "scaling=\"0\"",
                    "<objects>" + Sprite("obj", "id=\"c\" deltaX=\"5\"") + "</objects>"));
    ASSERT_TRUE(hidden && untested && flat && tiny && parent);
    for (GVObject* object : {hidden, untested, flat, tiny, parent}) {
        object->Update();
        EXPECT_FALSE(object->HitTest(TVec2(0, 0)));
        EXPECT_FALSE(object->HitTest(TVec2(1, 1)));
    }
    ASSERT_GT(tiny->GetComposed().scaling, 0.0f);
    TVec2 local;
    EXPECT_FALSE(tiny->ScreenToLocal(TVec2(3, 4), local));
    EXPECT_EQ(local.x, 3);
    EXPECT_EQ(parent->FindObjectAt(0, 0, 1, nullptr), nullptr);
    EXPECT_EQ(parent->FindObjectAt(5, 0, 1, nullptr), nullptr);
}

TEST_F(PickingTest, FindObjectAtLooksIntoChildrenAsDeepAsAskedAndMovesByTheOffset) {
    // The parent covers (100, 200)–(116, 216); both children (150, 200)–(166, 216), the first
    // one in child order is answered; the grandchild (150, 300)–(166, 316).
    GVObject* parent = Make(
        Sprite("main", "deltaX=\"100\" deltaY=\"200\"",
               "<objects>" +
                   Sprite("obj", "id=\"a\" deltaX=\"50\"",
                          "<objects>" + Sprite("obj", "id=\"g\" deltaY=\"100\"") + "</objects>") +
                   Sprite("obj", "id=\"b\" deltaX=\"50\"") + "</objects>"));
    ASSERT_NE(parent, nullptr);
    parent->Update();
    GVObject* a = parent->GetChild("a");
    ASSERT_NE(a, nullptr);
    GVObject* grandchild = a->GetChild("g");
    ASSERT_NE(grandchild, nullptr);
    const TVec2 offset(150, 200);
    struct Case {
        float x, y;
        int32_t depth;
        const TVec2* offset;
        GVObject* found;
    } cases[] = {
        {105, 205, 0, nullptr, parent},  {105, 205, 1, nullptr, parent},
        {155, 205, 0, nullptr, nullptr}, {155, 205, 1, nullptr, a},
        {155, 305, 1, nullptr, nullptr}, {155, 305, 2, nullptr, grandchild},
        {5, 5, 0, &offset, nullptr},     {5, 5, 1, &offset, a},
        {-45, 5, 0, &offset, parent},    {500, 500, 5, nullptr, nullptr},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parent->FindObjectAt(c.x, c.y, c.depth, c.offset), c.found)
            << c.x << "," << c.y << " depth " << c.depth << (c.offset ? " with offset" : "");
}

}  // namespace
}  // namespace gv_test
