// Hit testers: the registry, the box tester and the alpha masks built from images.
#include <memory>
#include <set>
#include <utility>

#include "gv/hittest/gvalphahittester.h"
#include "gv/hittest/gvhittester.h"
#include "gv/gvobject.h"
#include "gvfixture.h"

namespace {

using gv_test::GvTest;
using gv_test::Pixels;

using Hits = std::set<std::pair<int, int>>;

class GvHitTesterTest : public GvTest {
protected:
    // An object whose texture set and frame list come from the fragments.
    std::unique_ptr<GVObject> MakeObject(const char* images, const char* frames) {
        auto object = std::make_unique<GVObject>();
        auto set = std::make_shared<GVTextures>();
        set->Load(Parse(images), object.get());
        object->SetTextures(set);
        auto list = std::make_shared<GVFrames>();
        EXPECT_TRUE(list->Load(Parse(frames), object.get()));
        object->SetFrames(list);
        return object;
    }
    // Every point of the frame's rectangle, and a border of two around it, that hits.
    static Hits HitsOf(GVHitTester& tester, const GVFrame& frame) {
        Hits hits;
        for (int y = -2; y < frame.GetHeight() + 2; ++y)
            for (int x = -2; x < frame.GetWidth() + 2; ++x)
                if (tester.HitTest(x, y, frame)) hits.insert({x, y});
        return hits;
    }
    static Hits Everywhere(int width, int height) {
        Hits hits;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                hits.insert({x, y});
        return hits;
    }
    const GVFrame& Frame(const GVObject& object, int i) { return *object.GetFrames()->GetAt(i); }
    std::shared_ptr<TTexture> Texture(const GVObject& object, int i) {
        return object.GetTextures()->GetAt(i)->texture;
    }
    // Locks taken and not yet released.
    int Outstanding(const GVObject& object, int i) {
        TMemoryTextureData* memory = Memory(Texture(object, i));
        return memory->GetLockCount() - memory->GetUnlockCount();
    }
};

TEST_F(GvHitTesterTest, RegistryAndBoxTester) {
    EXPECT_EQ(GVHitTesterRegistry::Create("none"), nullptr);
    EXPECT_EQ(GVHitTesterRegistry::Create("Alpha"), nullptr);
    std::unique_ptr<GVHitTester> box(GVHitTesterRegistry::Create("default"));
    ASSERT_NE(box, nullptr);
    EXPECT_NE(dynamic_cast<GVDefHitTester*>(box.get()), nullptr);
    EXPECT_EQ(box->GetKind(), GVBase::kHitTesterOrParams);
    EXPECT_TRUE(box->Build(nullptr));
    GVFrame frame;
    EXPECT_TRUE(box->HitTest(-5, 1000, frame));
    EXPECT_FALSE(box->Save(Element("e")));
    EXPECT_TRUE(box->Load(Element("e"), nullptr));

    std::unique_ptr<GVHitTester> alpha(GVHitTesterRegistry::Create("alpha"));
    ASSERT_NE(dynamic_cast<GVAlphaHitTester*>(alpha.get()), nullptr);
    EXPECT_STREQ(alpha->GetTypeName().c_str(), "alpha");
    EXPECT_FALSE(alpha->Save(Element("e")));
}

TEST_F(GvHitTesterTest, AlphaBuildWithoutObjectOrFrames) {
    GVAlphaHitTester tester;
    EXPECT_FALSE(tester.Build(nullptr));
    GVObject bare;
    EXPECT_TRUE(tester.Build(&bare));
    bare.SetFrames(std::make_shared<GVFrames>());
    EXPECT_TRUE(tester.Build(&bare));
    GVFrame frame;
    EXPECT_FALSE(tester.HitTest(0, 0, frame));
    EXPECT_EQ(tester.GetMask(0), nullptr);
}

TEST_F(GvHitTesterTest, MasksFollowTheOpaquePixels) {
    Pixels transparent(16, 16);
    transparent.Fill(0, 0, 16, 16, 80);
    Pixels opaque(16, 16);
    opaque.Fill(0, 0, 16, 16, 255);
    // One opaque pixel at (5, 7) of a frame that starts at (2, 3).
    Pixels single(16, 16);
    single.Fill(7, 10, 8, 11, 81);
    // A ring: the border of a 9 × 9 square.
    Pixels ring(9, 9);
    ring.Fill(0, 0, 9, 9, 255);
    ring.Fill(1, 1, 8, 8, 0);
    PutImage("anim/transparent.png", transparent);
    PutImage("anim/opaque.png", opaque);
    PutImage("anim/single.png", single);
    PutImage("anim/ring.png", ring);

    std::unique_ptr<GVObject> object = MakeObject(
        "<images><img name=\"transparent.png\"/><img name=\"opaque.png\"/>"
        "<img name=\"single.png\"/><img name=\"ring.png\"/></images>",
        "<framelist>"
        "<frame img=\"0\" w=\"16\" h=\"16\"/>"
        "<frame img=\"1\" x=\"4\" y=\"2\" w=\"6\" h=\"5\"/>"
        "<frame img=\"2\" x=\"2\" y=\"3\" w=\"10\" h=\"12\"/>"
        "<frame img=\"3\" w=\"9\" h=\"9\"/>"
        "</framelist>");
    GVAlphaHitTester tester;
    ASSERT_TRUE(tester.Build(object.get()));

    EXPECT_TRUE(HitsOf(tester, Frame(*object, 0)).empty());
    EXPECT_EQ(HitsOf(tester, Frame(*object, 1)), Everywhere(6, 5));

    const GVAlphaHitTester::Mask* mask = tester.GetMask(2);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->rows[7].first, 4);
    EXPECT_EQ(mask->rows[7].last, 5);
    EXPECT_EQ(mask->columns[5].first, 6);
    EXPECT_EQ(mask->columns[5].last, 8);
    EXPECT_EQ(mask->rows[6].first, -1);
    EXPECT_EQ(mask->columns[4].first, -1);
    EXPECT_EQ(HitsOf(tester, Frame(*object, 2)), (Hits{{5, 7}}));

    Hits ringHits = HitsOf(tester, Frame(*object, 3));
    EXPECT_EQ(ringHits, Everywhere(9, 9));  // the transparent centre included
}

TEST_F(GvHitTesterTest, OpaqueMeansAlphaAbove80) {
    Pixels edge(2, 1);
    edge.Fill(0, 0, 1, 1, 80);
    edge.Fill(1, 0, 2, 1, 81);
    PutImage("anim/edge.png", edge);
    std::unique_ptr<GVObject> object =
        MakeObject("<images><img name=\"edge.png\"/></images>",
                   "<framelist><frame w=\"1\" h=\"1\"/><frame x=\"1\" w=\"1\" h=\"1\"/></framelist>");
    GVAlphaHitTester tester;
    ASSERT_TRUE(tester.Build(object.get()));
    EXPECT_FALSE(tester.HitTest(0, 0, Frame(*object, 0)));
    EXPECT_TRUE(tester.HitTest(0, 0, Frame(*object, 1)));
}

TEST_F(GvHitTesterTest, FramesOfTwoImagesInTurnHoldOneLockAtATime) {
    // A is opaque on its left half, B on its right half.
    Pixels a(8, 4);
    a.Fill(0, 0, 4, 4, 255);
    Pixels b(8, 4);
    b.Fill(4, 0, 8, 4, 255);
    PutImage("anim/a.png", a);
    PutImage("anim/b.png", b);
    const char* images = "<images><img name=\"a.png\"/><img name=\"b.png\"/></images>";
    const char* frames =
        "<framelist><frame img=\"0\" w=\"8\" h=\"4\"/><frame img=\"1\" w=\"8\" h=\"4\"/>"
        "<frame img=\"0\" x=\"2\" w=\"6\" h=\"4\"/></framelist>";
    std::unique_ptr<GVObject> object = MakeObject(images, frames);

    GVAlphaHitTester tester;
    ASSERT_TRUE(tester.Build(object.get()));
    EXPECT_FALSE(tester.HoldsLock());
    for (int image : {0, 1}) {
        EXPECT_EQ(Outstanding(*object, image), 0) << image;
        EXPECT_GE(Memory(Texture(*object, image))->GetLockCount(), 1) << image;
    }
    // A once for its run; B once; the revisited A frame is not locked again.
    EXPECT_EQ(Memory(Texture(*object, 0))->GetLockCount(), 1);
    EXPECT_EQ(Memory(Texture(*object, 1))->GetLockCount(), 1);
    EXPECT_EQ(HitsOf(tester, Frame(*object, 0)), Everywhere(4, 4));
    Hits right;
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x)
            right.insert({x, y});
    EXPECT_EQ(HitsOf(tester, Frame(*object, 1)), right);
    Hits third;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            third.insert({x, y});
    EXPECT_EQ(HitsOf(tester, Frame(*object, 2)), third);

    // Frame by frame: a new image lets go of the old one first; the last frame lets go.
    tester.BuildFrameMask(0, true);
    EXPECT_EQ(Outstanding(*object, 0), 1);
    tester.BuildFrameMask(2, true);
    EXPECT_EQ(Outstanding(*object, 0), 1);  // the same image stays locked
    tester.BuildFrameMask(1, true);
    EXPECT_EQ(Outstanding(*object, 0), 0);
    EXPECT_EQ(Outstanding(*object, 1), 1);
    tester.BuildFrameMask(2, false);
    EXPECT_EQ(Outstanding(*object, 0), 0);
    EXPECT_EQ(Outstanding(*object, 1), 0);
    EXPECT_FALSE(tester.HoldsLock());

    // Destroying a tester that holds a lock lets go of it.
    {
        GVAlphaHitTester holder;
        ASSERT_TRUE(holder.Build(object.get()));
        holder.BuildFrameMask(1, true);
        EXPECT_EQ(Outstanding(*object, 1), 1);
    }
    EXPECT_EQ(Outstanding(*object, 1), 0);
}

TEST_F(GvHitTesterTest, PitchWiderThanTheImage) {
    // 5 pixels wide: the surface row is 8 pixels.
    Pixels narrow(5, 3);
    narrow.Fill(3, 0, 5, 3, 255);
    PutImage("anim/narrow.png", narrow);
    std::unique_ptr<GVObject> object = MakeObject("<images><img name=\"narrow.png\"/></images>",
                                                  "<framelist><frame w=\"5\" h=\"3\"/></framelist>");
    uint32_t* pixels = nullptr;
    int pitch = 0;
    ASSERT_TRUE(Texture(*object, 0)->Lock(&pixels, &pitch));
    Texture(*object, 0)->Unlock();
    ASSERT_GT(pitch, 5);
    GVAlphaHitTester tester;
    ASSERT_TRUE(tester.Build(object.get()));
    Hits expected;
    for (int y = 0; y < 3; ++y)
        for (int x = 3; x < 5; ++x)
            expected.insert({x, y});
    EXPECT_EQ(HitsOf(tester, Frame(*object, 0)), expected);
}

TEST_F(GvHitTesterTest, FramesThatCannotBeReadNeverHitOutsideTheImage) {
    Pixels opaque(8, 8);
    opaque.Fill(0, 0, 8, 8, 255);
    PutImage("anim/opaque.png", opaque);
    PutImage("anim/refused.png", opaque);
    std::unique_ptr<GVObject> object = MakeObject(
        "<images><img name=\"opaque.png\"/><img name=\"refused.png\"/></images>",
        "<framelist>"
        "<frame x=\"4\" y=\"6\" w=\"10\" h=\"10\"/>"          // past the right and bottom
        "<frame x=\"-3\" y=\"-2\" w=\"5\" h=\"4\"/>"          // before the left and top
        "<frame x=\"6\" y=\"6\" w=\"-4\" h=\"-4\"/>"          // negative size
        "<frame x=\"0\" w=\"0\" h=\"8\"/>"                    // no width
        "<frame img=\"5\" w=\"8\" h=\"8\"/>"                  // outside the set
        "<frame img=\"-1\" w=\"8\" h=\"8\"/>"
        "<frame img=\"1\" w=\"8\" h=\"8\"/>"                  // its lock is refused
        "<frame img=\"2\" w=\"8\" h=\"8\"/>"                  // an entry without image
        "<frame x=\"-2000000000\" y=\"-2000000000\" w=\"2147483647\" h=\"2147483647\"/>"
        "<frame x=\"2147483647\" w=\"1\" h=\"1\"/>"
        "</framelist>");
    GVTexture* empty = new GVTexture("anim/");
    object->GetTextures()->Add(empty);
    Memory(Texture(*object, 1))->SetLockFails(true);

    GVAlphaHitTester tester;
    ASSERT_TRUE(tester.Build(object.get()));
    EXPECT_EQ(Outstanding(*object, 0), 0);
    EXPECT_EQ(Memory(Texture(*object, 1))->GetUnlockCount(), 0);

    // Only the pixels on the image hit.
    EXPECT_EQ(HitsOf(tester, Frame(*object, 0)), Everywhere(4, 2));
    Hits corner;
    for (int y = 2; y < 4; ++y)
        for (int x = 3; x < 5; ++x)
            corner.insert({x, y});
    EXPECT_EQ(HitsOf(tester, Frame(*object, 1)), corner);
    for (int i = 2; i < 8; ++i)
        EXPECT_TRUE(HitsOf(tester, Frame(*object, i)).empty()) << "frame " << i;

    // The huge frame has the image at (2000000000, 2000000000); its mask keeps only that part.
    const GVFrame& huge = Frame(*object, 8);
    const GVAlphaHitTester::Mask* mask = tester.GetMask(8);
    ASSERT_NE(mask, nullptr);
    EXPECT_LE(mask->rows.size(), 16u);
    EXPECT_LE(mask->columns.size(), 16u);
    const int32_t at = 2000000000;
    EXPECT_TRUE(tester.HitTest(at, at, huge));
    EXPECT_TRUE(tester.HitTest(at + 7, at + 7, huge));
    EXPECT_FALSE(tester.HitTest(at - 1, at, huge));  // in the widened row span, off the image
    EXPECT_FALSE(tester.HitTest(at + 8, at, huge));
    EXPECT_FALSE(tester.HitTest(0, 0, huge));
    EXPECT_FALSE(tester.HitTest(2147483646, 2147483646, huge));
    EXPECT_TRUE(HitsOf(tester, Frame(*object, 9)).empty());

    // A frame index without a mask never hits.
    GVFrame stray;
    stray.index = 99;
    EXPECT_FALSE(tester.HitTest(0, 0, stray));
    stray.index = -1;
    EXPECT_FALSE(tester.HitTest(0, 0, stray));
}

}  // namespace
