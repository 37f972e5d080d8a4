// Saving, copying, activating and deleting object trees, and the guards of the factory: the
// descriptions that name themselves, nesting beyond the limit, children that cannot be made
// live, and frame numbers past the frame list.
#include <gtest/gtest.h>

#include <string>

#include "factoryfixture.h"
#include "gv/keys/flagmasktext.h"
#include "gv/anim/gveffects.h"
#include "gv/hittest/gvhittester.h"
#include "gv/anim/gvstate.h"
#include "gv/keys/statekeys.h"
#include "platform/draw/drawspec.h"

namespace gv_test {
namespace {

const char kEffects[] =
    "<effects><ScaleInterpolator id=\"grow\" keys=\"1 2\"/></effects>"
    "<states><state id=\"walk\" framelist=\"0..1\"/><state id=\"jump\" framelist=\"1\"/></states>";

TEST_F(FactoryTest, SavingWritesTheDescriptionButNeitherStatesNorExportedChildren) {
    PutFile("xml/probe.xml", Sprite("main", "id=\"probe\""));
    PutFile("xml/full.xml",
            Sprite("main",
                   "id=\"full\" deltaX=\"3\" alpha=\"0.5\" flip=\"H\" blend=\"add\" link=\"3\" "
                   "export=\"probe\"",
                   std::string("<params a=\"1\" b=\"two\"/>") + kEffects, 2));
    GVObject* full = Factory().GetObjectDesc("full");
    ASSERT_NE(full, nullptr);
    ASSERT_NE(full->GetChild("probe"), nullptr);
    ASSERT_NE(full->GetStates(), nullptr);

    // Stale elements of a previous save go.
    TXmlNode* first = Parse("<obj><states/><objects><obj id=\"old\"/></objects></obj>");
    ASSERT_TRUE(full->Save(first));
    EXPECT_EQ(first->FindChild("states"), nullptr);
    EXPECT_EQ(first->FindChild("objects"), nullptr);
    ASSERT_NE(first->FindChild("params"), nullptr);
    EXPECT_EQ(Text(first->FindChild("params")->GetAttribute("b")), "two");
    EXPECT_EQ(Text(first->GetAttribute("id")), "full");
    EXPECT_EQ(Text(first->GetAttribute("link")), "3");
    EXPECT_EQ(Text(first->GetAttribute("blend")), "add");
    EXPECT_EQ(first->GetAttribute("export").Length(), 0u);

    // Save, load, save: the same text.
    GVObject reloaded;
    reloaded.Load(first, nullptr);
    TXmlNode* second = Element("obj");
    ASSERT_TRUE(reloaded.Save(second));
    EXPECT_EQ(Text(first->ToString()), Text(second->ToString()));

    // Link 2 is written as empty text.
    GVObject* probe = Factory().GetObjectDesc("probe");
    TXmlNode* third = Parse("<obj link=\"5\"/>");
    ASSERT_TRUE(probe->Save(third));
    bool quoted = false;
    EXPECT_EQ(third->GetAttribute("link", &quoted).Length(), 0u);
    EXPECT_EQ(probe->GetChild("anything"), nullptr);  // no children at all
    EXPECT_EQ(probe->GetChilds(), nullptr);
    EXPECT_FALSE(probe->Save(nullptr));
}

TEST_F(FactoryTest, ACopySharesImagesFramesAndTesterAndClonesEffectsAndStates) {
    GVObject* source = Make(Sprite("main", "id=\"src\"",
                                   std::string("<params a=\"1\"/>") + kEffects + "<objects>" +
                                       Sprite("obj", "id=\"kid\"") + "</objects>",
                                   2));
    ASSERT_NE(source, nullptr);
    const GNameMask jump = ParseFlagMask("jump");
    source->SetState(jump, true, false);
    GVObject copy;
    ASSERT_EQ(source->CopyTo(&copy), &copy);
    EXPECT_EQ(copy.GetTextures(), source->GetTextures());
    EXPECT_EQ(copy.GetFrames(), source->GetFrames());
    EXPECT_EQ(copy.GetHitTester(), source->GetHitTester());
    ASSERT_NE(copy.GetEffects(), nullptr);
    EXPECT_NE(copy.GetEffects(), source->GetEffects());
    EXPECT_EQ(copy.GetEffects()->GetCount(), 1);
    EXPECT_NE(copy.GetEffects()->GetAt(0), source->GetEffects()->GetAt(0));
    ASSERT_NE(copy.GetStates(), nullptr);
    EXPECT_NE(copy.GetStates(), source->GetStates());
    EXPECT_EQ(copy.GetStates()->GetCount(), source->GetStates()->GetCount());
    EXPECT_NE(copy.GetStates()->GetAt(0), source->GetStates()->GetAt(0));
    ASSERT_NE(copy.GetParams().Find("a"), nullptr);
    EXPECT_EQ(Text(copy.GetName()), "src");
    // The copy is put into the source's state.
    EXPECT_EQ(copy.GetStateId(), jump);
    // It lists the very children of the source, without owning them.
    ASSERT_NE(copy.GetChilds(), nullptr);
    EXPECT_EQ(copy.GetChild("kid"), source->GetChild("kid"));
    EXPECT_FALSE(copy.GetChilds()->IsOwning());
    EXPECT_TRUE(source->GetChilds()->IsOwning());
    // Nothing of the runtime side: scenes, parent.
    EXPECT_EQ(copy.GetSceneCount(), 0u);
    EXPECT_EQ(copy.GetParentObject(), nullptr);

    // Copies into the wrong kind give nothing.
    GVData block;
    EXPECT_EQ(source->CopyTo(&block), nullptr);
    GVStates states(0, nullptr);
    EXPECT_EQ(source->GetChilds()->CopyTo(&states), nullptr);
    EXPECT_EQ(states.GetCount(), 1 - 1);
}

TEST_F(FactoryTest, DeletingALiveTreeFreesEveryObjectOnceAndKeepsTheTemplates) {
    PutFile("xml/probe.xml", Sprite("main", "id=\"probe\"", kEffects, 2));
    PutFile("xml/tree.xml",
            Sprite("main", "id=\"tree\" export=\"probe\"",
                   "<objects>" +
                       Sprite("obj", "id=\"a\"",
                              "<objects>" + Sprite("obj", "id=\"a1\"") + Sprite("obj", "") +
                                  "</objects>") +
                       Sprite("obj", "id=\"b\"", kEffects, 2) + "</objects>"));
    GVObject* other = Keep(Factory().CreateObject("tree", true));
    ASSERT_NE(other, nullptr);
    for (int round = 0; round < 2; ++round) {
        GVObject* tree = Factory().CreateObject("tree", true);
        ASSERT_NE(tree, nullptr);
        ASSERT_EQ(tree->GetChildCount(), 3);
        EXPECT_EQ(tree->GetChilds()->GetExported().size(), 1u);
        GVObject* a = tree->GetChild("a");
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->GetChildCount(), 2);
        EXPECT_EQ(a->GetParentObject(), tree);
        EXPECT_EQ(a->GetChild("a1")->GetParentObject(), a);
        EXPECT_TRUE(mScene.HasObject(a->GetChild("a1")));
        EXPECT_EQ(mScene.GetObjectCount(), 12u);  // two trees of six
        // Let the timers of the children run once before the tree goes.
        port::control::AdvanceTime(500);
        mApp->UpdateTasks();
        delete tree;
        EXPECT_EQ(mScene.GetObjectCount(), 6u);
        EXPECT_TRUE(Factory().IsCached("xml/tree.xml"));
        EXPECT_TRUE(Factory().IsCached("xml/tree.xml@a"));
        EXPECT_TRUE(Factory().IsCached("xml/probe.xml"));
        EXPECT_NE(Factory().GetObjectDesc("tree")->GetChild("a"), nullptr);
    }
    // Timers of deleted objects end on the next turn; the other tree still animates.
    port::control::AdvanceTime(1000);
    mApp->UpdateTasks();
    EXPECT_EQ(other->GetChildCount(), 3);
}

TEST_F(FactoryTest, DescriptionsThatExportThemselvesLoadWithoutTheLoop) {
    PutFile("xml/self.xml", Sprite("main", "id=\"self\" export=\"self\""));
    PutFile("xml/ping.xml", Sprite("main", "id=\"ping\" export=\"pong\""));
    PutFile("xml/pong.xml", Sprite("main", "id=\"pong\" export=\"ping\""));
    for (bool cached : {true, false}) {
        GVObject* self = Keep(Factory().CreateObject("self", cached));
        ASSERT_NE(self, nullptr);
        EXPECT_EQ(self->GetChilds(), nullptr);
        GVObject* ping = Keep(Factory().CreateObject("ping", cached));
        ASSERT_NE(ping, nullptr);
        GVObject* pong = ping->GetChild("pong");
        ASSERT_NE(pong, nullptr);
        EXPECT_EQ(pong->GetChilds(), nullptr);
        EXPECT_EQ(Factory().GetMode(), GVFactory::kModeIdle);
    }
    // The pong inside ping was cached as it loaded; loaded on its own it is still incomplete
    // (its ping could not be made while ping was loading), as the cache keeps it.
    EXPECT_NE(Factory().GetObjectDesc("pong"), nullptr);
}

std::string Nested(int depth, bool framesAtTheBottom) {
    std::string text = framesAtTheBottom ? Sprite("obj", "id=\"bottom\"") : "<obj id=\"bottom\"/>";
    for (int i = depth - 1; i > 0; --i)
        text = "<obj id=\"n" + std::to_string(i) + "\"><objects>" + text + "</objects></obj>";
    return "<main id=\"deep\"><objects>" + text + "</objects></main>";
}

TEST_F(FactoryTest, NestingIsFollowedUpToItsLimit) {
    // 300 levels: the levels past the limit are not made, so those above have no children and no
    // frames, and nothing loads.
    PutFile("xml/deep.xml", Nested(300, true));
    EXPECT_EQ(Factory().CreateObject("deep", true), nullptr);
    EXPECT_EQ(Factory().CreateObject("deep", false), nullptr);
    EXPECT_EQ(Factory().GetMode(), GVFactory::kModeIdle);
    Factory().ReleaseAll();
    // 200 levels load and go live whole.
    PutFile("xml/deep.xml", Nested(200, true));
    GVObject* deep = Keep(Factory().CreateObject("deep", false));
    ASSERT_NE(deep, nullptr);
    int levels = 0;
    for (GVObject* at = deep; at->GetChilds() != nullptr; at = at->GetChilds()->GetAt(0))
        ++levels;
    EXPECT_EQ(levels, 200);
    EXPECT_EQ(mScene.GetObjectCount(), 201u);
}

TEST_F(FactoryTest, AChildThatCannotBeMadeLiveIsDropped) {
    PutFile("xml/holder.xml", Sprite("main", "id=\"holder\"",
                                     "<objects>" + Sprite("obj", "id=\"good\"") + "</objects>"));
    GVObject* holder = Factory().GetObjectDesc("holder");
    ASSERT_NE(holder, nullptr);
    // A child whose name names no creator, slipped into the template's list.
    GVObject stray;
    ASSERT_TRUE(stray.Load(Parse(Sprite("obj", "id=\"stray?nothing\"").c_str()), nullptr));
    holder->GetChilds()->Add(&stray);
    ASSERT_EQ(holder->GetChildCount(), 2);
    GVObject* live = Keep(Factory().Instantiate(holder, &mScene, nullptr, true));
    ASSERT_NE(live, nullptr);
    ASSERT_EQ(live->GetChildCount(), 1);
    EXPECT_EQ(Text(live->GetChilds()->GetAt(0)->GetName()), "good");
    EXPECT_EQ(live->GetChilds()->IndexOf("good"), 0);
    EXPECT_EQ(live->GetChilds()->IndexOf("stray?nothing"), -1);
    holder->GetChilds()->Remove(&stray);
}

TEST_F(FactoryTest, AFrameNumberPastTheFrameListShowsNoFrame) {
    GVObject* object = Make(Sprite("main", "id=\"o\"", "", 2));
    ASSERT_NE(object, nullptr);
    auto* state = new GVState();
    state->id = ParseFlagMask("odd");
    state->frames = {0, 5, -3};
    object->GetStates()->Add(state);
    object->SetState(state->id, true, false);
    EXPECT_EQ(object->GetCurrentFrame(), object->GetFrames()->GetAt(0));
    object->SetFrame(1);
    EXPECT_EQ(object->GetFramePosition(), 1);
    EXPECT_EQ(object->GetCurrentFrame(), nullptr);
    object->SetFrame(2);
    EXPECT_EQ(object->GetCurrentFrame(), nullptr);
    object->changed = 1;
    object->Update();  // draws nothing, reads nothing past the list
    EXPECT_EQ(object->GetDrawSpec()->mSourceRect.right, 16);
}

}  // namespace
}  // namespace gv_test
