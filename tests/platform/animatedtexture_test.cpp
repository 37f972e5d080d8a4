// TAnimatedTexture: the XML form, finding the file and the sheet, the cache, the frame size, and
// drawing read back through the recording renderer sink.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "animationfixture.h"
#include "platform/draw/drawspec.h"

namespace {

using Messages = std::vector<std::string>;
using CornerList = std::vector<std::pair<float, float>>;

// Three frames; the second and third carry no registration of their own, the third no "xform".
const char* const kWalkXml = R"(<sequence name="walk" source="walk.psd">
  <img regx="" regy="7" w="128" h="64" name="walk.png" mask=""/>
  <framelist>
    <frame x="8" y="4" w="40" h="20" name="a" alpha="">
      <anchor name="hand" x="3" y="-4"/>
      <note x="1"/>
      <anchor name="foot" x="5" y="6"/>
    </frame>
    <comment/>
    <frame x="48" y="4" w="30" h="22" regx="10" regy="5" xform="1 0" alpha="0.5"/>
    <frame x="78" y="4" w="12" h="28"/>
  </framelist>
  <script luascript="function DoAnim() end"/>
</sequence>
)";

std::string Sequence(const std::string& inside) {
    return "<sequence name=\"s\">" + inside + "</sequence>";
}

const std::string kImg = R"(<img name="walk.png"/>)";
const std::string kOneFrame = R"(<framelist><frame x="0" y="0" w="4" h="4"/></framelist>)";

TEST_F(AnimationTest, XmlFramesInheritRegistrationAndTransform) {
    Put("walk.xml", kWalkXml);
    auto animation = Make("walk.xml");
    ASSERT_TRUE(animation->LoadXml("walk.xml"));
    const TAnimationData& data = animation->GetAnimation();
    EXPECT_EQ(data.mSequenceName, "walk");
    EXPECT_EQ(data.mSource, "walk.psd");
    // An empty "regx" leaves the image registration unread, "regy" included.
    EXPECT_EQ(data.mImageRegX, 0);
    EXPECT_EQ(data.mImageRegY, 0);
    EXPECT_EQ(data.mImageWidth, 128);
    EXPECT_EQ(data.mImageHeight, 64);
    EXPECT_EQ(data.mImageName, "walk.png");
    EXPECT_EQ(data.mScript, "function DoAnim() end");
    EXPECT_EQ(data.mMaxWidth, 40);
    EXPECT_EQ(data.mMaxHeight, 28);
    ASSERT_EQ(data.GetFrameCount(), 3);

    const TAnimationFrame& first = data.mFrames[0];
    EXPECT_EQ(first.mName, "a");
    EXPECT_EQ(first.mRegX, 0);
    EXPECT_EQ(first.mRegY, 0);
    EXPECT_FALSE(first.HasTransform());
    EXPECT_EQ(first.mOpacity, 1.0f);
    ASSERT_EQ(first.mAnchors.size(), 2u);
    EXPECT_EQ(first.mAnchors[0].mName, "hand");
    EXPECT_EQ(first.mAnchors[0].mY, -4);
    EXPECT_EQ(first.mAnchors[1].mName, "foot");
    EXPECT_EQ(first.mAnchors[1].mX, 5);

    const TAnimationFrame& second = data.mFrames[1];
    EXPECT_EQ(second.mX, 48);
    EXPECT_EQ(second.mRegX, 10);
    EXPECT_EQ(second.mRegY, 5);
    EXPECT_EQ(second.mOpacity, 0.5f);
    // "1 0": a and b, the rest 0.
    const float ab[6] = {1, 0, 0, 0, 0, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(second.mTransform[i], ab[i]) << i;

    const TAnimationFrame& third = data.mFrames[2];
    EXPECT_EQ(third.mRegX, 10);
    EXPECT_EQ(third.mRegY, 5);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(third.mTransform[i], ab[i]) << i;
    EXPECT_EQ(third.mOpacity, 1.0f);
    EXPECT_TRUE(third.mAnchors.empty());
}

TEST_F(AnimationTest, XmlScriptSources) {
    struct Case {
        std::string script;
        std::string expected;
    } cases[] = {
        {R"x(<script luascript="a()">b()</script>)x", "a()"},
        {R"x(<script luascript="">b()</script>)x", "b()"},
        {"", "function DoAnim()\n    delay(60);\n    frames{1};\nend\n"},
    };
    for (const Case& c : cases) {
        Put("s.xml", Sequence(kImg + kOneFrame + c.script));
        auto animation = Make("s.xml");
        EXPECT_TRUE(animation->LoadXml("s.xml")) << c.script;
        EXPECT_EQ(animation->GetAnimation().mScript, c.expected.c_str()) << c.script;
    }
}

TEST_F(AnimationTest, DefaultScriptListsTheFrames) {
    EXPECT_EQ(TAnimatedTexture::MakeScript(3),
              "function DoAnim()\n    delay(60);\n    frames{1,2,3};\nend\n");
    EXPECT_EQ(TAnimatedTexture::MakeScript(0), "function DoAnim()\n    delay(60);\nend\n");
}

TEST_F(AnimationTest, XmlFailuresAreLogged) {
    struct Case {
        std::string xml;
        std::string message;
        int frames;
    } cases[] = {
        {"<other/>", "Animation s.xml does not contain a sequence node", 0},
        {Sequence(kOneFrame), "Animation s.xml does not contain an img node", 1},
        {Sequence(kImg), "Animation s.xml does not contain a framelist node", 0},
        {Sequence(kImg + "<framelist><frames/><f/></framelist>"),
         "Animation s.xml does not contain any frames!", 0},
    };
    for (const Case& c : cases) {
        mLog.Clear();
        Put("s.xml", c.xml);
        auto animation = Make("s.xml");
        EXPECT_FALSE(animation->LoadXml("s.xml")) << c.xml;
        EXPECT_EQ(mLog.Messages(), Messages{c.message});
        // Without the img the frames are still read.
        EXPECT_EQ(animation->GetAnimation().GetFrameCount(), c.frames) << c.xml;
    }
}

TEST_F(AnimationTest, XmlTransformNumbers) {
    struct Case {
        const char* xform;
        float expected[6];
    } cases[] = {
        {"1 0 0 1 10 20", {1, 0, 0, 1, 10, 20}},
        {"2", {2, 0, 0, 0, 0, 0}},
        {"1 2 3 4 5 6 7", {1, 2, 3, 4, 5, 6}},
        {"0.5 x -3", {0.5f, 0, -3, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        Put("s.xml",
            Sequence(kImg + "<framelist><frame w=\"1\" xform=\"" + c.xform + "\"/></framelist>"));
        auto animation = Make("s.xml");
        ASSERT_TRUE(animation->LoadXml("s.xml"));
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(animation->GetAnimation().mFrames[0].mTransform[i], c.expected[i])
                << c.xform << " " << i;
    }
}

TEST_F(AnimationTest, LoadFindsTheFileAndItsForm) {
    AnmBytes anm;
    anm.Header(2, 1).Frame(2, 0);
    Put("anim/walk.xml", kWalkXml);
    Put("anim/RUN.XML", kWalkXml);
    Put("anim/hop.anm", anm.Bytes());
    Put("anim/data.bin", kWalkXml);
    struct Case {
        const char* name;
        bool loads;
        int frames;
    } cases[] = {
        {"anim/walk", true, 3},       // + ".xml"
        {"anim/walk.xml", true, 3},   // as given
        {"anim/RUN.XML", true, 3},    // the form in any case
        {"anim/hop", true, 1},        // + ".anm"
        {"anim/data.bin", false, 0},  // neither form
        {"anim/none", false, 0},
    };
    for (const Case& c : cases) {
        auto animation = Make(c.name);
        EXPECT_EQ(animation->Load("", ""), c.loads) << c.name;
        EXPECT_EQ(animation->GetAnimation().GetFrameCount(), c.frames) << c.name;
        if (c.loads) {
            EXPECT_EQ(animation->GetAnimation().mDirectory, "anim/") << c.name;
        }
    }

    auto top = Make("walk");
    Put("walk.xml", kWalkXml);
    ASSERT_TRUE(top->Load("", ""));
    EXPECT_EQ(top->GetAnimation().mDirectory, "");

    auto backslashed = Make("data\\anim\\walk.xml");
    Put("data\\anim\\walk.xml", kWalkXml);
    ASSERT_TRUE(backslashed->Load("", ""));
    EXPECT_EQ(backslashed->GetAnimation().mDirectory, "data\\anim\\");

    auto overridden = Make("anim/walk.xml");
    ASSERT_TRUE(overridden->Load("other.png", "other_mask.png"));
    EXPECT_EQ(overridden->GetAnimation().mImageName, "other.png");
    EXPECT_EQ(overridden->GetAnimation().mMaskName, "other_mask.png");
    auto maskOnly = Make("anim/walk.xml");
    ASSERT_TRUE(maskOnly->Load("", "m.png"));
    EXPECT_EQ(maskOnly->GetAnimation().mImageName, "walk.png");
    EXPECT_EQ(maskOnly->GetAnimation().mMaskName, "m.png");
}

TEST_F(AnimationTest, SheetBesideTheAnimationFirst) {
    Put("anim/walk.xml", kWalkXml);
    Put("walk.png", SolidPng(128, 64, 0xFF102030u));
    std::shared_ptr<TAnimatedTexture> fromTop = TAnimatedTexture::Get("anim/walk.xml", "", "");
    ASSERT_NE(fromTop, nullptr);
    EXPECT_EQ(fromTop->GetData()->GetImageName(), "walk.png");
    // The sheet always has alpha, whatever the image says.
    EXPECT_EQ(Flags(fromTop) & (TTextureData::kHasAlpha | TTextureData::kAlphaFromImage),
              TTextureData::kHasAlpha);
    fromTop.reset();

    Put("anim/walk.png", SolidPng(128, 64, 0xFF405060u));
    std::shared_ptr<TAnimatedTexture> beside = TAnimatedTexture::Get("anim/walk.xml", "", "");
    ASSERT_NE(beside, nullptr);
    EXPECT_EQ(beside->GetData()->GetImageName(), "anim/walk.png");

    // A mask is looked for beside the animation with its image.
    Put("anim/walk_mask.png", SolidPng(128, 64, 0xFF808080u));
    std::shared_ptr<TAnimatedTexture> masked =
        TAnimatedTexture::Get("anim/walk.xml", "", "walk_mask.png");
    ASSERT_NE(masked, nullptr);
    EXPECT_EQ(masked->GetData()->GetMaskName(), "anim/walk_mask.png");
}

TEST_F(AnimationTest, GetCachesUnderItsKeyAndFailsWithoutTheSheet) {
    Put("walk.xml", kWalkXml);
    Put("walk.png", SolidPng(128, 64, 0xFF102030u));
    std::shared_ptr<TAnimatedTexture> first = TAnimatedTexture::Get("walk.xml", "", "");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->GetClassName(), "TAnimatedTexture");
    EXPECT_TRUE(first->IsKindOf(TAnimatedTexture::TypeId()));
    EXPECT_TRUE(first->IsKindOf(TTexture::TypeId()));
    EXPECT_TRUE(first->IsKindOf(TAsset::TypeId()));
    EXPECT_EQ(TAnimatedTexture::MakeKey("walk.xml", "a", "b"), "walk.xml:a:b");
    EXPECT_EQ(AssetCast<TAnimatedTexture>(mManager.FindAsset("walk.xml::")), first);

    // The cached texture is answered as it is, even after its frame was changed.
    first->GetAnimation().mCurrentFrame = 2;
    std::shared_ptr<TAnimatedTexture> second = TAnimatedTexture::Get("walk.xml", "", "");
    EXPECT_EQ(second, first);
    EXPECT_EQ(second->GetAnimation().mCurrentFrame, 2);
    EXPECT_NE(TAnimatedTexture::Get("walk.xml", "walk.png", ""), first);

    // A plain texture under the key is not an animated one.
    std::shared_ptr<TTexture> plain = TTexture::Get("walk.png", 0);
    mManager.AddAsset("x.xml::", plain);
    EXPECT_EQ(TAnimatedTexture::FindCached("x.xml::"), nullptr);

    Put("nosheet.xml", Sequence(R"(<img name="missing.png"/>)" + kOneFrame));
    EXPECT_EQ(TAnimatedTexture::Get("nosheet.xml", "", ""), nullptr);
    EXPECT_EQ(TAnimatedTexture::Get("absent.xml", "", ""), nullptr);
    EXPECT_EQ(mManager.FindAsset("absent.xml::"), nullptr);
}

TEST_F(AnimationTest, SizeIsTheCurrentFrames) {
    Put("walk.xml", kWalkXml);
    auto animation = Make("walk.xml");
    EXPECT_EQ(animation->GetWidth(), 0);  // no frames
    ASSERT_TRUE(animation->LoadXml("walk.xml"));
    TAnimationData& data = animation->GetAnimation();
    struct Case {
        int index;
        int width;
        int height;
    } cases[] = {{0, 40, 20}, {2, 12, 28}, {3, 0, 0}, {-1, 0, 0}, {-2, 0, 0}};
    for (const Case& c : cases) {
        data.mCurrentFrame = c.index;
        EXPECT_EQ(animation->GetWidth(), c.width) << c.index;
        EXPECT_EQ(animation->GetHeight(), c.height) << c.index;
    }
}

// A 128 × 64 sheet with the frames of kWalkXml; the first frame has its registration set to
// (10, 5) and its opacity to 0.5.
class AnimationDrawTest : public AnimationTest {
protected:
    void SetUp() override {
        AnimationTest::SetUp();
        Put("walk.xml", kWalkXml);
        Put("walk.png", SolidPng(128, 64, 0xFF102030u));
        mAnimation = TAnimatedTexture::Get("walk.xml", "", "");
        ASSERT_NE(mAnimation, nullptr);
        TAnimationFrame& first = mAnimation->GetAnimation().mFrames[0];
        first.mRegX = 10;
        first.mRegY = 5;
        first.mOpacity = 0.5f;
        ASSERT_TRUE(TRenderer::GetInstance()->BeginDraw(false));
        ASSERT_TRUE(TRenderer::GetInstance()->Begin2d());
    }
    void TearDown() override {
        mAnimation.reset();
        AnimationTest::TearDown();
    }
    CornerList DrawnCorners() const {
        CornerList corners;
        if (mSink.mDraws.size() != 1) return corners;
        for (const TLVertex& vertex : mSink.mDraws[0].vertices)
            corners.emplace_back(vertex.x, vertex.y);
        return corners;
    }
    const std::vector<TLVertex>& Vertices() const { return mSink.mDraws.at(0).vertices; }

    std::shared_ptr<TAnimatedTexture> mAnimation;
};

TEST_F(AnimationDrawTest, FrameAtItsRegistrationPointMirroredByTheFlips) {
    struct Case {
        uint32_t flags;
        CornerList corners;
    } cases[] = {
        // 40 × 20 from (-10, -5).
        {0, {{-10, -5}, {30, -5}, {30, 15}, {-10, 15}}},
        // Mirrored: the frame spans -30 to 10, so its mirrored x 30 is at the draw position;
        // the first corner still samples the frame's left edge.
        {TDrawSpec::kFlipHorizontal, {{10, -5}, {-30, -5}, {-30, 15}, {10, 15}}},
        {TDrawSpec::kFlipVertical, {{-10, 5}, {30, 5}, {30, -15}, {-10, -15}}},
    };
    for (const Case& c : cases) {
        mSink.mDraws.clear();
        TDrawSpec spec;
        spec.mFlags = c.flags;
        mAnimation->Draw(spec);
        EXPECT_EQ(DrawnCorners(), c.corners) << c.flags;
        ASSERT_EQ(mSink.mDraws.size(), 1u);
        EXPECT_EQ(mSink.mDraws[0].texture, mAnimation.get());
        EXPECT_EQ(Vertices()[0].u, 8.0f / 128.0f);
        EXPECT_EQ(Vertices()[0].v, 4.0f / 64.0f);
        EXPECT_EQ(Vertices()[2].u, 48.0f / 128.0f);
        EXPECT_EQ(Vertices()[2].v, 24.0f / 64.0f);
    }

    // An offset the draw record brings is kept.
    mSink.mDraws.clear();
    TDrawSpec spec;
    spec.mFlags = TDrawSpec::kUseOffset;
    spec.mOffset = TVec2(1, 2);
    mAnimation->Draw(spec);
    EXPECT_EQ(DrawnCorners(), (CornerList{{-1, -2}, {39, -2}, {39, 18}, {-1, 18}}));
}

TEST_F(AnimationDrawTest, FrameTransformAppliesBeforeTheSpecs) {
    TAnimationData& data = mAnimation->GetAnimation();
    data.mCurrentFrame = 1;
    TAnimationFrame& frame = data.mFrames[1];
    frame.mRegX = 0;
    frame.mRegY = 0;
    const float shift[6] = {1, 0, 0, 1, 10, 20};
    for (int i = 0; i < 6; ++i)
        frame.mTransform[i] = shift[i];
    // At (100, 50), scaled by 2: the frame's (10, 20) is scaled too.
    mAnimation->DrawAt(100, 50, 1.0f, 2.0f, 0.0f, 0);
    EXPECT_EQ(DrawnCorners(), (CornerList{{120, 90}, {180, 90}, {180, 134}, {120, 134}}));
}

TEST_F(AnimationDrawTest, SourceRectangleAndOpacity) {
    TDrawSpec spec;
    spec.mFlags = TDrawSpec::kUseSourceRect;
    spec.mSourceRect = TRect{2, 2, 100, 100};
    spec.mOpacity = 0.5f;
    mAnimation->Draw(spec);
    ASSERT_EQ(mSink.mDraws.size(), 1u);
    // Moved by the frame's (8, 4) and cut to the frame: (10, 6) to (48, 24).
    EXPECT_EQ(Vertices()[0].u, 10.0f / 128.0f);
    EXPECT_EQ(Vertices()[0].v, 6.0f / 64.0f);
    EXPECT_EQ(Vertices()[2].u, 48.0f / 128.0f);
    EXPECT_EQ(Vertices()[2].v, 24.0f / 64.0f);
    EXPECT_EQ(DrawnCorners()[2], (std::pair<float, float>(28, 13)));
    // 0.5 of the draw record times the frame's 0.5.
    EXPECT_EQ(Vertices()[0].diffuse >> 24, 0x3Fu);

    // A rectangle far outside the int range does not wrap around.
    mSink.mDraws.clear();
    spec.mSourceRect = TRect{INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX};
    mAnimation->Draw(spec);
    ASSERT_EQ(mSink.mDraws.size(), 1u);
}

TEST_F(AnimationDrawTest, NothingWithoutAFrameToDraw) {
    TAnimationData& data = mAnimation->GetAnimation();
    for (int index : {-1, 3, 100}) {
        data.mCurrentFrame = index;
        mAnimation->Draw(TDrawSpec());
    }
    data.mCurrentFrame = 0;
    data.mFrames[0].mWidth = 0;
    mAnimation->Draw(TDrawSpec());
    data.SetFrames({});
    mAnimation->Draw(TDrawSpec());
    EXPECT_TRUE(mSink.mDraws.empty());
}

TEST_F(AnimationDrawTest, CopyRectCoversTheWholeSheet) {
    TRenderer::GetInstance()->End2d();
    TRenderer::GetInstance()->EndDraw(0);
    std::shared_ptr<TTexture> target = TTexture::Create(128, 64, false);
    ASSERT_NE(target, nullptr);
    TRect wide{-4, 0, 100, 60};
    mAnimation->CopyRectTo(0, 0, &wide, target);
    const TMemoryTextureData* data = Memory(mAnimation);
    ASSERT_EQ(data->GetCopies().size(), 1u);
    EXPECT_EQ(data->GetCopies()[0].source, (TRect{0, 0, 100, 60}));
    EXPECT_EQ(Memory(target)->GetPixel(99, 59), 0xFF102030u);
}

}  // namespace
