// The binary animation form: the same animation as XML and, through the xml2anm writer, as
// ".anm" loads to the same data; versions, tags, the optional script part, and damaged files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animationfixture.h"
#include "anmwriter.h"

namespace {

using Messages = std::vector<std::string>;

// Frames that inherit registration and transform, anchors, opacities and a script.
const char* const kScriptedXml = R"(<sequence name="jump" source="jump.psd">
  <img regx="4" regy="5" w="256" h="128" name="jump.png" mask="jump_mask.png"/>
  <framelist>
    <frame x="0" y="0" w="32" h="48" name="up" regx="16" regy="40" alpha="0.75">
      <anchor name="hand" x="3" y="-4"/>
      <anchor name="foot" x="5" y="6"/>
    </frame>
    <frame x="32" y="0" w="30" h="50" xform="1 0 0 1 10 20"/>
    <frame x="62" y="0" w="31" h="46" name="down" alpha="0.25"/>
  </framelist>
  <script luascript="function DoAnim() delay(30) end"/>
</sequence>
)";

const char* const kPlainXml = R"(<sequence name="idle">
  <img name="idle.png"/>
  <framelist><frame x="1" y="2" w="3" h="4"/><frame x="5" y="6" w="7" h="8"/></framelist>
</sequence>
)";

class AnimationAnmTest : public AnimationTest {
protected:
    // The ".anm" bytes the tool writes for the XML.
    std::string Convert(const char* xml) {
        Put("in.xml", xml);
        std::string bytes;
        EXPECT_TRUE(tools::ConvertXmlToAnm("in.xml", &bytes));
        return bytes;
    }
    // Loads the bytes as "p.anm" into a new animation; *animation receives it.
    bool LoadBytes(const std::string& bytes, std::shared_ptr<TAnimatedTexture>* animation) {
        Put("p.anm", bytes);
        *animation = Make("p.anm");
        return (*animation)->LoadAnm("p.anm");
    }
};

TEST_F(AnimationAnmTest, XmlAndAnmLoadToEqualData) {
    for (const char* xml : {kScriptedXml, kPlainXml}) {
        std::string anm = Convert(xml);
        auto fromXml = Make("in.xml");
        ASSERT_TRUE(fromXml->LoadXml("in.xml"));
        std::shared_ptr<TAnimatedTexture> fromAnm;
        ASSERT_TRUE(LoadBytes(anm, &fromAnm));
        EXPECT_EQ(AnimationDifference(fromXml->GetAnimation(), fromAnm->GetAnimation()), "");
    }
    // Only an animation with a script of its own carries the script part.
    EXPECT_NE(Convert(kScriptedXml).find("SCRP"), std::string::npos);
    std::string plain = Convert(kPlainXml);
    EXPECT_EQ(plain.find("SCRP"), std::string::npos);
    std::shared_ptr<TAnimatedTexture> loaded;
    ASSERT_TRUE(LoadBytes(plain, &loaded));
    EXPECT_EQ(loaded->GetAnimation().mScript, TAnimatedTexture::MakeScript(2));
    // The frame that inherits its transform has it written out.
    ASSERT_TRUE(LoadBytes(Convert(kScriptedXml), &loaded));
    EXPECT_EQ(loaded->GetAnimation().mFrames[2].mTransform[5], 20.0f);
    EXPECT_EQ(loaded->GetAnimation().mFrames[2].mRegX, 16);
}

TEST_F(AnimationAnmTest, VersionsAndTheScriptPart) {
    struct Case {
        int32_t version;
        float opacity;  // what the frames read
    } cases[] = {{1, 1.0f}, {2, 0.5f}, {0, 1.0f}};
    for (const Case& c : cases) {
        AnmBytes anm;
        anm.Header(c.version, 3).Frame(c.version, 0).Frame(c.version, 10).Frame(c.version, 20);
        std::shared_ptr<TAnimatedTexture> animation;
        ASSERT_TRUE(LoadBytes(anm.Bytes(), &animation)) << c.version;
        const TAnimationData& data = animation->GetAnimation();
        EXPECT_EQ(data.mImageName, "sheet.png") << c.version;  // after version 1's four floats
        EXPECT_EQ(data.mImageWidth, 64);
        ASSERT_EQ(data.GetFrameCount(), 3);
        EXPECT_EQ(data.mFrames[2].mX, 20);
        EXPECT_EQ(data.mFrames[2].mOpacity, c.opacity) << c.version;
        EXPECT_FALSE(data.mFrames[2].HasTransform());
        EXPECT_EQ(data.mScript, "function DoAnim()\n    delay(60);\n    frames{1,2,3};\nend\n");
    }

    AnmBytes scripted;
    scripted.Header(2, 1).Frame(2, 0).Tag("SCRP").String("go()");
    std::shared_ptr<TAnimatedTexture> animation;
    ASSERT_TRUE(LoadBytes(scripted.Bytes(), &animation));
    EXPECT_EQ(animation->GetAnimation().mScript, "go()");

    // Another tag where the script part would begin: the default script.
    AnmBytes other;
    other.Header(2, 1).Frame(2, 0).Tag("SCRQ").String("go()");
    ASSERT_TRUE(LoadBytes(other.Bytes(), &animation));
    EXPECT_EQ(animation->GetAnimation().mScript, TAnimatedTexture::MakeScript(1));

    // No frames: a count of 0 or less.
    for (int32_t count : {0, -5}) {
        AnmBytes none;
        none.Header(2, count).Tag("SCRP").String("");
        ASSERT_TRUE(LoadBytes(none.Bytes(), &animation)) << count;
        EXPECT_EQ(animation->GetAnimation().GetFrameCount(), 0);
        EXPECT_EQ(animation->GetAnimation().mScript, "");
    }
}

TEST_F(AnimationAnmTest, WrongTagsFailSilently) {
    AnmBytes good;
    good.Header(2, 1).Frame(2, 0);
    const std::string bytes = good.Bytes();
    for (const char* tag : {"ANIM", "IMGN", "FRMS"}) {
        std::string broken = bytes;
        broken.replace(broken.find(tag), 4, "XXXX");
        std::shared_ptr<TAnimatedTexture> animation;
        EXPECT_FALSE(LoadBytes(broken, &animation)) << tag;
    }
    std::shared_ptr<TAnimatedTexture> animation;
    EXPECT_FALSE(LoadBytes("", &animation));
    EXPECT_FALSE(Make("absent.anm")->LoadAnm("absent.anm"));
    EXPECT_EQ(mLog.Messages(), Messages{});
}

// Lengths and counts are checked against the bytes left before anything is allocated, so none
// of these asks for memory of its size (under AddressSanitizer this also runs with an
// allocation ceiling).
TEST_F(AnimationAnmTest, OversizedCountsAreRefused) {
    std::vector<std::string> files;
    files.push_back(AnmBytes().Tag("ANIM").Int(0).Int(2).Int(0x7FFFFFFF).Bytes());
    files.push_back(AnmBytes().Header(2, 0x7FFFFFFF).Bytes());
    // 65,536 frames are too many whatever the file holds.
    files.push_back(AnmBytes().Header(2, 65536).Bytes() + std::string(65536 * 56, '\0'));
    AnmBytes anchors;
    anchors.Header(2, 1).Int(0).Int(0).Int(0).Int(0).Int(1).Int(1).Float(1);
    for (int i = 0; i < 6; ++i)
        anchors.Float(0);
    anchors.String("f").Int(0x10000000);
    files.push_back(anchors.Bytes());
    for (size_t i = 0; i < files.size(); ++i) {
        std::shared_ptr<TAnimatedTexture> animation;
        EXPECT_FALSE(LoadBytes(files[i], &animation)) << i;
    }

    // A negative string length is an empty string.
    AnmBytes negative;
    negative.Tag("ANIM").Int(0).Int(2).Int(-3).String("src");
    negative.Tag("IMGN").Int(0).Int(0).Int(0).Int(0).Int(-1).Int(0).Tag("FRMS").Int(0);
    std::shared_ptr<TAnimatedTexture> animation;
    ASSERT_TRUE(LoadBytes(negative.Bytes(), &animation));
    EXPECT_EQ(animation->GetAnimation().mSequenceName, "");
    EXPECT_EQ(animation->GetAnimation().mSource, "src");
}

// Every prefix of a file loads or fails cleanly: cut before the script part it fails; cut at
// the script part or inside it, the frames are whole and the default script stands in.
TEST_F(AnimationAnmTest, EveryPrefixLoadsOrFailsCleanly) {
    std::string whole = Convert(kScriptedXml);
    auto reference = Make("in.xml");
    ASSERT_TRUE(reference->LoadXml("in.xml"));
    const size_t scriptStart = tools::WriteAnm(reference->GetAnimation(), false).size();
    ASSERT_EQ(whole.compare(scriptStart, 4, "SCRP"), 0);
    const str defaultScript = TAnimatedTexture::MakeScript(3);

    for (size_t size = 0; size < whole.size(); ++size) {
        std::shared_ptr<TAnimatedTexture> animation;
        bool loaded = LoadBytes(whole.substr(0, size), &animation);
        if (size < scriptStart) {
            EXPECT_FALSE(loaded) << size;
            continue;
        }
        ASSERT_TRUE(loaded) << size;
        EXPECT_EQ(animation->GetAnimation().GetFrameCount(), 3) << size;
        EXPECT_EQ(animation->GetAnimation().mScript, defaultScript) << size;
    }
    std::shared_ptr<TAnimatedTexture> animation;
    ASSERT_TRUE(LoadBytes(whole, &animation));
    EXPECT_EQ(animation->GetAnimation().mScript, "function DoAnim() delay(30) end");
}

}  // namespace
