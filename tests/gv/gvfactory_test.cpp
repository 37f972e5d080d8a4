// The factory: keys, creators, the description cache, "@"-paths inside a file, the creation modes,
// and what loading takes from the parent (textures, the hit tester's kind) and what not (frames).
#include "gv/gvfactory.h"

#include <gtest/gtest.h>

#include "factoryfixture.h"
#include "gv/hittest/gvhittester.h"
#include "gv/anim/gvstate.h"
#include "gv/gvtextobject.h"
#include "gv/keys/statekeys.h"

namespace gv_test {
namespace {

TEST_F(FactoryTest, KeysFollowTheNameAndTheOwnerChain) {
    GVFactory& factory = Factory();
    PutFile("xml/hut.xml",
            "<main id=\"hut\"><objects>" + Sprite("obj", "id=\"door\"", "<objects>" +
                                                  Sprite("obj", "id=\"knob\"") + "</objects>") +
                "</objects></main>");
    GVObject* hut = factory.GetObjectDesc("hut");
    ASSERT_NE(hut, nullptr);
    GVObject* door = hut->GetChild("door");
    ASSERT_NE(door, nullptr);
    struct Case {
        const char* name;
        GVObject* owner;
        const char* key;
    } cases[] = {
        {"level1", nullptr, "xml/level1.xml"},
        {"panel?text", nullptr, "xml/panel.xml"},
        {"?text", nullptr, ""},
        {"", nullptr, ""},
        {"door", hut, "xml/hut.xml@door"},
        {"", hut, "xml/hut.xml@#1"},  // the hut has one child
        {"x?text", hut, "xml/hut.xml@x"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(factory.MakeKey(c.name, c.owner)), c.key) << c.name;
    // The nested child was cached under its own key as the hut loaded; its parent is set only
    // while loading, so the template names no owner chain beyond its loader.
    EXPECT_TRUE(factory.IsCached("xml/hut.xml@door"));
    EXPECT_TRUE(factory.IsCached("xml/door.xml@hut@knob"));
}

TEST_F(FactoryTest, ASecondCreationClonesTheCachedTemplateWithoutReadingTheFile) {
    PutFile("xml/level1.xml", Sprite("main", "id=\"level1\"", "", 4));
    GVObject* first = Keep(Factory().CreateObject("level1", true));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(Factory().IsCached("xml/level1.xml"));
    RemoveFile("xml/level1.xml");
    GVObject* second = Keep(Factory().CreateObject("level1", true));
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(second->GetFrames(), first->GetFrames());  // both share the template's list
    EXPECT_EQ(second->GetFrames()->GetCount(), 4);
    EXPECT_TRUE(mScene.HasObject(second));
    // Without the cache the file is needed again.
    EXPECT_EQ(Factory().CreateObject("level1", false), nullptr);
    EXPECT_EQ(Factory().GetMode(), GVFactory::kModeIdle);
    EXPECT_TRUE(Factory().ReleaseObjectDesc("xml/level1.xml"));
    EXPECT_FALSE(Factory().ReleaseObjectDesc("xml/level1.xml"));
    EXPECT_EQ(Factory().CreateObject("level1", true), nullptr);
}

TEST_F(FactoryTest, TheNameSuffixChoosesTheCreator) {
    PutFile("xml/panel.xml", Sprite("main", "id=\"panel\""));
    GVObject* text = Keep(Factory().CreateObject("panel?text", true));
    ASSERT_NE(text, nullptr);
    EXPECT_NE(dynamic_cast<GVTextObject*>(text), nullptr);
    EXPECT_TRUE(Factory().IsCached("xml/panel.xml"));
    EXPECT_EQ(Factory().CreateObject("panel?nothing", true), nullptr);
    EXPECT_EQ(Factory().CreateObject("panel?nothing", false), nullptr);
    GVObject* plain = Keep(Factory().CreateObject("panel", false));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(dynamic_cast<GVTextObject*>(plain), nullptr);

    // An empty key without a node: nothing from "default", an unloaded object from "text".
    GVFactory::GVObjectCreator* creator = Factory().GetCreator("x?text");
    ASSERT_NE(creator, nullptr);
    EXPECT_EQ(Text(creator->GetName()), "text");
    std::unique_ptr<GVObject> empty(creator->Create("", nullptr, nullptr));
    EXPECT_NE(dynamic_cast<GVTextObject*>(empty.get()), nullptr);
    EXPECT_EQ(Factory().GetCreator("x")->Create("", nullptr, nullptr), nullptr);
    EXPECT_EQ(Factory().GetCreator("x?"), nullptr);
    EXPECT_EQ(Factory().CreateObject("", true), nullptr);
}

TEST_F(FactoryTest, PathsSelectNestedDescriptionsByPositionAndId) {
    TXmlNode* main = Parse(
        "<main><objects><obj id=\"a\"/><obj id=\"door\"><objects><obj id=\"knob\" n=\"1\"/>"
        "</objects></obj><obj id=\"c\"/></objects></main>");
    ASSERT_NE(main, nullptr);
    struct Case {
        const char* key;
        const char* id;  // null: nothing
    } cases[] = {
        {"xml/a.xml", ""},  // the element itself
        {"xml/a.xml@#0", "a"},
        {"xml/a.xml@#1", "door"},
        {"xml/a.xml@#2", "c"},
        {"xml/a.xml@#3", nullptr},
        {"xml/a.xml@#5", nullptr},
        {"xml/a.xml@#-1", nullptr},
        {"xml/a.xml@#99999999999999999999", nullptr},
        {"xml/a.xml@door@knob", "knob"},
        {"xml/a.xml@#1@#0", "knob"},
        {"xml/a.xml@Door", nullptr},  // ids compare exactly
        {"xml/a.xml@door@knob@x", nullptr},  // the knob has no "objects"
        {"xml/a.xml@missing@knob", nullptr},
    };
    for (const Case& c : cases) {
        TXmlNode* found = GVFactory::FindObjectDescription(c.key, main);
        if (c.id == nullptr) {
            EXPECT_EQ(found, nullptr) << c.key;
        } else {
            ASSERT_NE(found, nullptr) << c.key;
            EXPECT_EQ(Text(found->GetAttribute("id")), c.id) << c.key;
        }
    }
    EXPECT_EQ(GVFactory::FindObjectDescription("xml/a.xml@#0", nullptr), nullptr);

    // Through the creator: the file part of the key is read, the path walks inside it.
    PutFile("xml/a.xml", "<main>" + std::string("<objects>") + Sprite("obj", "id=\"one\"") +
                             Sprite("obj", "id=\"two\"", "", 3) + Sprite("obj", "id=\"three\"") +
                             "</objects></main>");
    GVFactory::GVObjectCreator* creator = Factory().GetCreator("default");
    std::unique_ptr<GVObject> second(creator->Create("xml/a.xml@#1", nullptr, nullptr));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Text(second->GetName()), "two");
    EXPECT_EQ(second->GetFrames()->GetCount(), 3);
    EXPECT_EQ(creator->Create("xml/a.xml@#5", nullptr, nullptr), nullptr);
}

TEST_F(FactoryTest, ANestedCreationUnderADirectLoadLoadsDirectly) {
    // The outer creation loads directly; the child it makes while loading is not cached.
    PutFile("xml/outer.xml", Sprite("main", "id=\"outer\"", "<objects>" +
                                                              Sprite("obj", "id=\"inner\"") +
                                                              "</objects>"));
    GVObject* outer = Keep(Factory().CreateObject("outer", false));
    ASSERT_NE(outer, nullptr);
    EXPECT_FALSE(Factory().IsCached("xml/outer.xml"));
    EXPECT_FALSE(Factory().IsCached("xml/outer.xml@inner"));
    ASSERT_NE(outer->GetChild("inner"), nullptr);
    EXPECT_EQ(outer->GetChild("inner")->GetParentObject(), outer);

    // A creation asked for with the cache while a direct one runs loads directly too.
    PutFile("xml/probe.xml", Sprite("main", "id=\"probe\""));
    PutFile("xml/host.xml", Sprite("main", "id=\"host\" export=\"probe\""));
    GVObject* host = Keep(Factory().CreateObject("host", false));
    ASSERT_NE(host, nullptr);
    EXPECT_NE(host->GetChild("probe"), nullptr);
    EXPECT_FALSE(Factory().IsCached("xml/probe.xml"));
    // With the cache, the export is a cached template and the host holds a live clone of it.
    GVObject* cachedHost = Keep(Factory().CreateObject("host", true));
    ASSERT_NE(cachedHost, nullptr);
    EXPECT_TRUE(Factory().IsCached("xml/probe.xml"));
    EXPECT_NE(cachedHost->GetChild("probe"), Factory().GetObjectDesc("probe"));
}

TEST_F(FactoryTest, AChildWithoutImagesDrawsFromItsParentsSetButHasNoFramesOfItsParent) {
    PutFile("xml/tree.xml",
            Sprite("main", "id=\"tree\"",
                   "<objects><obj id=\"leaf\"><images><img name=\"missing.png\"/></images>"
                   "<framelist><frame w=\"8\" h=\"8\"/></framelist></obj>"
                   "<obj id=\"bare\"><objects>" +
                       Sprite("obj", "id=\"twig\"") + "</objects></obj></objects>",
                   2));
    GVObject* tree = Keep(Factory().CreateObject("tree", true));
    ASSERT_NE(tree, nullptr);
    GVObject* leaf = tree->GetChild("leaf");
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->GetTextures(), tree->GetTextures());
    ASSERT_NE(leaf->GetFrames(), nullptr);
    EXPECT_EQ(leaf->GetFrames()->GetCount(), 1);  // its own list
    // "bare" has no "images" and no "framelist": the parent's set, but no frames and no states.
    GVObject* bare = tree->GetChild("bare");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->GetTextures(), tree->GetTextures());
    EXPECT_EQ(bare->GetFrames(), nullptr);
    EXPECT_EQ(bare->GetStates(), nullptr);
    EXPECT_NE(bare->GetChild("twig"), nullptr);
    // A top-level object whose images fail has nothing to lend from.
    PutFile("xml/lone.xml",
            "<main id=\"lone\"><images><img name=\"missing.png\"/></images>"
            "<framelist><frame w=\"8\" h=\"8\"/></framelist></main>");
    EXPECT_EQ(Factory().CreateObject("lone", true), nullptr);
    EXPECT_FALSE(Factory().IsCached("xml/lone.xml"));
}

TEST_F(FactoryTest, AnObjectWithFramesAndNoStatesPlaysNormal) {
    PutFile("xml/plain.xml", Sprite("main", "id=\"plain\"", "", 3));
    GVObject* plain = Keep(Factory().CreateObject("plain", true));
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(plain->GetStates(), nullptr);
    EXPECT_EQ(plain->GetStates()->GetCount(), 1);
    EXPECT_EQ(plain->GetStateId(), GetStateKeys().normal);
    EXPECT_EQ(plain->GetCurrentState()->frames, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(plain->GetFramePosition(), 0);
    ASSERT_NE(plain->GetCurrentFrame(), nullptr);
    EXPECT_EQ(plain->GetCurrentFrame(), plain->GetFrames()->GetAt(0));
    // Three frames in a scene: the timer runs.
    EXPECT_NE(plain->GetTimer(), nullptr);
}

TEST_F(FactoryTest, AChildWithoutHitTestTakesItsParentsTesterKind) {
    PutFile("xml/t.xml",
            Sprite("main", "id=\"t\" hit_test=\"alpha\"",
                   "<objects>" + Sprite("obj", "id=\"inherits\"") +
                       Sprite("obj", "id=\"own\" hit_test=\"default\"") +
                       Sprite("obj", "id=\"none\" hit_test=\"none\"") + "</objects>"));
    PutFile("xml/u.xml", Sprite("main", "id=\"u\" hit_test=\"none\"",
                                "<objects>" + Sprite("obj", "id=\"c\"") + "</objects>"));
    PutFile("xml/v.xml", Sprite("main", "id=\"v\""));
    GVObject* t = Keep(Factory().CreateObject("t", true));
    GVObject* u = Keep(Factory().CreateObject("u", true));
    GVObject* v = Keep(Factory().CreateObject("v", true));
    ASSERT_TRUE(t != nullptr && u != nullptr && v != nullptr);
    ASSERT_NE(t->GetHitTester(), nullptr);
    EXPECT_EQ(Text(t->GetHitTester()->GetTypeName()), "alpha");
    ASSERT_NE(t->GetChild("inherits")->GetHitTester(), nullptr);
    EXPECT_EQ(Text(t->GetChild("inherits")->GetHitTester()->GetTypeName()), "alpha");
    EXPECT_EQ(Text(t->GetChild("own")->GetHitTester()->GetTypeName()), "default");
    EXPECT_EQ(t->GetChild("none")->GetHitTester(), nullptr);
    // A parent without a tester hands down "none"; a top-level object gets "default".
    EXPECT_EQ(u->GetHitTester(), nullptr);
    EXPECT_EQ(u->GetChild("c")->GetHitTester(), nullptr);
    ASSERT_NE(v->GetHitTester(), nullptr);
    EXPECT_EQ(Text(v->GetHitTester()->GetTypeName()), "default");
    // Clones share the template's tester.
    EXPECT_EQ(t->GetHitTester(), Factory().GetObjectDesc("t")->GetHitTester());
}

}  // namespace
}  // namespace gv_test
