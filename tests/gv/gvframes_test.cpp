// Texture sets, frame lists and the registration points the calculator gives their frames.
#include <climits>

#include "gv/gvframe.h"
#include "gv/gvobject.h"
#include "gv/gvregcalc.h"
#include "gv/gvtexture.h"
#include "gvfixture.h"

namespace {

using gv_test::GvTest;
using gv_test::Pixels;
using gv_test::Text;

class GvFramesTest : public GvTest {
protected:
    // The image names of a set's textures, as their texture data stored them.
    static std::string ImageName(const GVTextures& set, int i) {
        return Text(set.GetAt(i)->texture->GetData()->GetImageName());
    }
};

TEST_F(GvFramesTest, TextureSetFindsImagesInItsFolder) {
    PutImage("anim/hut/door.png", Pixels(4, 4));
    PutImage("anim/other/door.png", Pixels(4, 4));
    PutImage("anim/door.png", Pixels(4, 4));

    GVObject owner;
    GVTextures set;
    EXPECT_EQ(set.GetKind(), GVBase::kTextures);
    ASSERT_TRUE(set.Load(Parse("<images path=\"anim/hut/\">"
                               "<img name=\"door.png\"/>"
                               "<img name=\"door.png\" path=\"anim/other/\"/>"
                               "<img path=\"anim/\"/>"
                               "<img name=\"missing.png\"/>"
                               "<other name=\"door.png\"/>"
                               "</images>"),
                         &owner));
    ASSERT_EQ(set.GetCount(), 2);
    EXPECT_EQ(ImageName(set, 0), "anim/hut/door.png");
    EXPECT_EQ(ImageName(set, 1), "anim/other/door.png");
    EXPECT_EQ(Text(set.GetAt(0)->path), "anim/hut/door.png");
    EXPECT_EQ(set.Find("anim/other/door.png"), 1);
    EXPECT_EQ(set.GetOwner(), &owner);

    // Without a "path" the set's own folder, "anim/" unless the maker gave another.
    GVTextures plain;
    EXPECT_EQ(Text(plain.GetFolder()), "anim/");
    ASSERT_TRUE(plain.Load(Parse("<images><img name=\"door.png\"/></images>"), nullptr));
    EXPECT_EQ(ImageName(plain, 0), "anim/door.png");
    // Both sets hold the one cached texture.
    GVTextures again;
    ASSERT_TRUE(again.Load(Parse("<images><img name=\"door.png\"/></images>"), nullptr));
    EXPECT_EQ(again.GetAt(0)->texture, plain.GetAt(0)->texture);

    // No image loads: the set fails.
    GVTextures none;
    EXPECT_FALSE(none.Load(Parse("<images><img name=\"nothing.png\"/></images>"), nullptr));
    EXPECT_FALSE(none.Load(nullptr, nullptr));

    // A copy of a set has no items.
    GVTextures copy;
    ASSERT_EQ(set.CopyTo(&copy), &copy);
    EXPECT_EQ(copy.GetCount(), 0);
    EXPECT_EQ(set.GetAt(0)->CopyTo(set.GetAt(1)), nullptr);
}

TEST_F(GvFramesTest, TextureReadsMinRegAndCenteringAndSavesThem) {
    PutImage("anim/a.png", Pixels(2, 2));
    struct Case {
        const char* attributes;
        int32_t x, y;
        int32_t centering;
        const char* savedMinReg;
        const char* savedCentering;
    };
    const Case cases[] = {
        {"min_reg=\"3,4\" centering=\"left\"", 3, 4, 2, "3,4", "left"},
        {"min_reg=\"7\" centering=\"Left\"", INT_MAX, INT_MAX, 4, "", ""},
        {"centering=\"old\"", INT_MAX, INT_MAX, 0, "", "old"},
        {"min_reg=\"-2, x\" centering=\"delta_left\"", -2, 0, 1, "-2,0", "delta_left"},
        {"min_reg=\"99999999999,1\" centering=\"center\"", INT_MAX, 1, 3, "2147483647,1",
         "center"},
        {"centering=\"CENTER\"", INT_MAX, INT_MAX, 4, "", ""},
    };
    for (const Case& c : cases) {
        std::string text = std::string("<img name=\"a.png\" ") + c.attributes + "/>";
        SCOPED_TRACE(text);
        GVTexture texture("anim/");
        ASSERT_TRUE(texture.Load(Parse(text.c_str()), nullptr));
        EXPECT_EQ(texture.minRegX, c.x);
        EXPECT_EQ(texture.minRegY, c.y);
        EXPECT_EQ(texture.centering, c.centering);
        TXmlNode* saved = Element("img");
        ASSERT_TRUE(texture.Save(saved));
        EXPECT_EQ(Text(saved->GetAttribute("min_reg")), c.savedMinReg);
        EXPECT_EQ(Text(saved->GetAttribute("centering")), c.savedCentering);
        EXPECT_EQ(Text(saved->GetAttribute("name")), "");
        EXPECT_EQ(Text(saved->GetAttribute("path")), "");
    }
    GVTexture nameless("anim/");
    EXPECT_FALSE(nameless.Load(Parse("<img path=\"anim/\"/>"), nullptr));
    EXPECT_EQ(nameless.texture, nullptr);
}

TEST_F(GvFramesTest, FrameLoadsItsRectangleAndSavesIt) {
    GVFrame frame;
    ASSERT_TRUE(frame.Load(Parse("<frame x=\"3\" y=\"4\" w=\"10\" h=\"20\" img=\"2\" regx=\"1.5\""
                                 " regy=\"-2\" centering=\"left\"/>"),
                           nullptr));
    EXPECT_EQ(frame.left, 3);
    EXPECT_EQ(frame.top, 4);
    EXPECT_EQ(frame.right, 13);
    EXPECT_EQ(frame.bottom, 24);
    EXPECT_EQ(frame.image, 2);
    EXPECT_EQ(frame.regX1, 1.5f);
    EXPECT_EQ(frame.regY1, -2.0f);
    EXPECT_EQ(frame.centering, kCenteringLeft);

    TXmlNode* saved = Element("frame");
    ASSERT_TRUE(frame.Save(saved));
    EXPECT_EQ(Text(saved->GetAttribute("x")), "3");
    EXPECT_EQ(Text(saved->GetAttribute("y")), "4");
    EXPECT_EQ(Text(saved->GetAttribute("w")), "10");
    EXPECT_EQ(Text(saved->GetAttribute("h")), "20");
    EXPECT_EQ(Text(saved->GetAttribute("img")), "2");
    std::string all = Text(saved->ToString());
    EXPECT_EQ(all.find("regx"), std::string::npos);
    EXPECT_EQ(all.find("regy"), std::string::npos);
    EXPECT_EQ(all.find("centering"), std::string::npos);

    // Zero size fails; one side of zero loads; a negative width puts right left of left;
    // numbers that are no numbers read 0.
    GVFrame zero;
    EXPECT_FALSE(zero.Load(Parse("<frame x=\"5\" w=\"0\" h=\"0\"/>"), nullptr));
    EXPECT_FALSE(zero.Load(Parse("<frame w=\"abc\" h=\"\"/>"), nullptr));
    GVFrame tall;
    EXPECT_TRUE(tall.Load(Parse("<frame w=\"0\" h=\"10\"/>"), nullptr));
    GVFrame negative;
    ASSERT_TRUE(negative.Load(Parse("<frame x=\"10\" w=\"-4\" h=\"3\"/>"), nullptr));
    EXPECT_EQ(negative.right, 6);

    // Numbers beyond the int range saturate, sums included; "nan" and huge registration points
    // truncate to the int range and NaN to 0.
    GVFrame huge;
    ASSERT_TRUE(huge.Load(Parse("<frame x=\"99999999999\" y=\"-2147483648\" w=\"2000000000\""
                                " h=\"-5\" regx=\"nan\" regy=\"1e30\"/>"),
                          nullptr));
    EXPECT_EQ(huge.left, INT_MAX);
    EXPECT_EQ(huge.right, INT_MAX);
    EXPECT_EQ(huge.bottom, INT_MIN);
    TVec2 corner = huge.GetRegCorner(0);
    EXPECT_EQ(corner.x, 0.0f);
    EXPECT_EQ(corner.y, static_cast<float>(INT_MAX));
    TXmlNode* hugeSaved = Element("frame");
    ASSERT_TRUE(huge.Save(hugeSaved));
    EXPECT_EQ(Text(hugeSaved->GetAttribute("w")), "");
}

TEST_F(GvFramesTest, FrameCornersAndCopy) {
    GVFrame frame;
    frame.SetRegCorner(0, 1.9f, -2.9f);
    frame.SetRegCorner(GVFrame::kCornerMirrorX, 30.5f, 99.0f);  // y goes to y1
    frame.SetRegCorner(GVFrame::kCornerMirrorY, 77.0f, 40.25f);  // x goes to x1
    EXPECT_EQ(frame.regX1, 77.0f);
    EXPECT_EQ(frame.regY1, 99.0f);
    EXPECT_EQ(frame.regX2, 30.5f);
    EXPECT_EQ(frame.regY2, 40.25f);
    frame.SetRegCorner(0, 1.9f, -2.9f);
    struct Case {
        int32_t corner;
        float x, y;
    };
    for (const Case& c : {Case{0, 1, -2}, Case{1, 30, -2}, Case{2, 1, 40}, Case{3, 30, 40}}) {
        TVec2 point = frame.GetRegCorner(c.corner);
        EXPECT_EQ(point.x, c.x) << c.corner;
        EXPECT_EQ(point.y, c.y) << c.corner;
    }

    frame.left = 1;
    frame.top = 2;
    frame.right = 3;
    frame.bottom = 4;
    frame.image = 5;
    frame.centering = kCenteringLeft;
    frame.index = 6;
    GVFrame copy;
    ASSERT_EQ(frame.CopyTo(&copy), &copy);
    EXPECT_EQ(copy.right, 3);
    EXPECT_EQ(copy.bottom, 4);
    EXPECT_EQ(copy.image, 5);
    EXPECT_EQ(copy.regX2, 30.5f);
    EXPECT_EQ(copy.regY1, -2.9f);
    EXPECT_EQ(copy.centering, kCenteringNone);
    EXPECT_EQ(copy.index, 0);
}

TEST_F(GvFramesTest, FrameListNumbersItsFrames) {
    GVFrames frames;
    EXPECT_FALSE(frames.Load(Parse("<framelist><frame w=\"0\" h=\"0\"/></framelist>"), nullptr));
    EXPECT_EQ(frames.GetCount(), 0);
    ASSERT_TRUE(frames.Load(Parse("<framelist centering=\"center\">"
                                  "<frame x=\"0\" w=\"1\"/>"
                                  "<frame w=\"0\" h=\"0\"/>"
                                  "<frame x=\"2\" w=\"1\"/>"
                                  "<frame x=\"3\" w=\"0\" h=\"10\"/>"
                                  "<frame x=\"4\" w=\"1\"/>"
                                  "<frame x=\"5\" w=\"1\"/>"
                                  "</framelist>"),
                            nullptr));
    EXPECT_EQ(frames.centering, kCenteringCenter);
    ASSERT_EQ(frames.GetCount(), 5);
    const int32_t lefts[] = {0, 2, 3, 4, 5};
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(frames.GetAt(i)->index, i);
        EXPECT_EQ(frames.GetAt(i)->left, lefts[i]);
    }
    // Every frame was added with index 0: the key index holds the first only.
    EXPECT_EQ(frames.Find(0), 0);
    EXPECT_EQ(frames.Find(3), -1);
    EXPECT_FALSE(frames.Save(Element("framelist")));
}

// Registration points: a frame list loaded with an owner object that has a texture set.
class GvRegCalcTest : public GvFramesTest {
protected:
    void SetUp() override {
        GvFramesTest::SetUp();
        PutImage("anim/plain.png", Pixels(2, 2));
        PutImage("anim/left.png", Pixels(2, 2));
    }
    // A texture set of plain.png (no centering) and left.png ("left").
    void GiveTextures(GVObject& object) {
        auto set = std::make_shared<GVTextures>();
        ASSERT_TRUE(set->Load(Parse("<images><img name=\"plain.png\"/>"
                                    "<img name=\"left.png\" centering=\"left\"/></images>"),
                              &object));
        object.SetTextures(set);
    }
    struct Point {
        float x, y, mirroredX, mirroredY;
    };
    static void ExpectPoints(const GVFrames& frames, std::initializer_list<Point> points) {
        ASSERT_EQ(frames.GetCount(), static_cast<int32_t>(points.size()));
        int32_t i = 0;
        for (const Point& p : points) {
            const GVFrame& frame = *frames.GetAt(i);
            EXPECT_EQ(frame.regX1, p.x) << "frame " << i;
            EXPECT_EQ(frame.regY1, p.y) << "frame " << i;
            EXPECT_EQ(frame.regX2, p.mirroredX) << "frame " << i;
            EXPECT_EQ(frame.regY2, p.mirroredY) << "frame " << i;
            ++i;
        }
    }
};

TEST_F(GvRegCalcTest, LeftMirrorsAboutTheFrameSize) {
    GVFrames frames;
    ASSERT_TRUE(frames.Load(Parse("<framelist centering=\"left\">"
                                  "<frame w=\"40\" h=\"20\" regx=\"10\" regy=\"5\"/>"
                                  "<frame w=\"40\" h=\"20\" regx=\"10.7\" regy=\"-3.9\"/>"
                                  "</framelist>"),
                            nullptr));
    ExpectPoints(frames, {{10, 5, 30, 15}, {10, -3, 30, 23}});
}

TEST_F(GvRegCalcTest, OldSubtractsTheMinimum) {
    GVFrames frames;
    ASSERT_TRUE(frames.Load(Parse("<framelist centering=\"old\">"
                                  "<frame w=\"40\" h=\"20\" regx=\"2\" regy=\"3\"/>"
                                  "<frame w=\"30\" h=\"10\" regx=\"12\" regy=\"8\"/>"
                                  "</framelist>"),
                            nullptr));
    // min (2, 3): the first frame gets (0, 0); mirrored size − reg − min.
    ExpectPoints(frames, {{0, 0, 36, 14}, {10, 5, 16, -1}});

    // Without any centering, "old" too.
    GVFrames plain;
    ASSERT_TRUE(plain.Load(Parse("<framelist><frame w=\"40\" h=\"20\" regx=\"2\" regy=\"3\"/>"
                                 "<frame w=\"30\" h=\"10\" regx=\"12\" regy=\"8\"/></framelist>"),
                           nullptr));
    ExpectPoints(plain, {{0, 0, 36, 14}, {10, 5, 16, -1}});
}

TEST_F(GvRegCalcTest, ModeComesFromFrameListOrTexture) {
    GVObject object;
    GiveTextures(object);

    // Frame 0 on left.png without centering takes "left"; frame 1 on plain.png takes "old";
    // frame 2 names its own; frame 3's image is outside the set: "old".
    GVFrames frames;
    ASSERT_TRUE(frames.Load(Parse("<framelist>"
                                  "<frame img=\"1\" w=\"40\" h=\"20\" regx=\"10\" regy=\"5\"/>"
                                  "<frame img=\"0\" w=\"40\" h=\"20\" regx=\"10\" regy=\"5\"/>"
                                  "<frame img=\"1\" w=\"40\" h=\"20\" regx=\"10\" regy=\"5\""
                                  " centering=\"center\"/>"
                                  "<frame img=\"9\" w=\"40\" h=\"20\" regx=\"10\" regy=\"5\"/>"
                                  "</framelist>"),
                            &object));
    ExpectPoints(frames, {{10, 5, 30, 15}, {0, 0, 20, 10}, {10, 5, 30, 15}, {0, 0, 20, 10}});

    // The list's mode wins over the texture's.
    GVFrames listed;
    ASSERT_TRUE(listed.Load(Parse("<framelist centering=\"old\">"
                                  "<frame img=\"1\" w=\"40\" h=\"20\" regx=\"10\" regy=\"5\"/>"
                                  "</framelist>"),
                            &object));
    ExpectPoints(listed, {{0, 0, 20, 10}});

    // An owner that is no object lends no textures: "old".
    GVData notAnObject;
    GVFrames orphan;
    ASSERT_TRUE(orphan.Load(Parse("<framelist>"
                                  "<frame img=\"1\" w=\"40\" h=\"20\" regx=\"10\" regy=\"5\"/>"
                                  "</framelist>"),
                            &notAnObject));
    ExpectPoints(orphan, {{0, 0, 20, 10}});
}

TEST_F(GvRegCalcTest, DeltaLeftAddsTheMinimumWhenTheTextureIsThere) {
    GVObject object;
    GiveTextures(object);
    const char* list =
        "<framelist centering=\"delta_left\">"
        "<frame img=\"0\" w=\"40\" h=\"20\" regx=\"4\" regy=\"2\"/>"
        "<frame img=\"7\" w=\"40\" h=\"20\" regx=\"10\" regy=\"5\"/>"
        "</framelist>";
    GVFrames frames;
    ASSERT_TRUE(frames.Load(Parse(list), &object));
    // min (4, 2). Frame 0: mirrored size − reg + min; frame 1 has no texture entry: as "old".
    ExpectPoints(frames, {{0, 0, 40, 20}, {6, 3, 26, 13}});

    // Without a texture set at all, every frame computes as "old".
    GVFrames bare;
    ASSERT_TRUE(bare.Load(Parse(list), nullptr));
    ExpectPoints(bare, {{0, 0, 32, 16}, {6, 3, 26, 13}});
}

TEST_F(GvRegCalcTest, ExtremePointsDoNotOverflow) {
    GVFrames frames;
    ASSERT_TRUE(frames.Load(Parse("<framelist centering=\"old\">"
                                  "<frame x=\"-2147483648\" w=\"2147483647\" h=\"1\""
                                  " regx=\"-1e30\" regy=\"1e30\"/>"
                                  "<frame w=\"5\" h=\"5\" regx=\"2147483647\" regy=\"nan\"/>"
                                  "</framelist>"),
                            nullptr));
    // min (INT_MIN, 0). Frame 1: reg (INT_MAX, 0), so x = INT_MAX − INT_MIN, a 64-bit value.
    const GVFrame& second = *frames.GetAt(1);
    EXPECT_EQ(second.regX1, 4294967295.0f);
    EXPECT_EQ(second.regY1, 0.0f);
    EXPECT_EQ(second.GetRegCorner(0).x, static_cast<float>(INT_MAX));
}

}  // namespace
