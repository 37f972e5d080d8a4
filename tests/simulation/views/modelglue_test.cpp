// The world's objects on their views, drawn from the stand-in sprites: what a creature's task,
// item, disease and prescriptions show, its devolving, and a grave that fades.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../recordingworld.h"
#include "../testobjects.h"
#include "simulation/creature.h"
#include "simulation/grave.h"
#include "simulation/schedule/schedule.h"
#include "viewfixture.h"

namespace views_test {
namespace {

using simtest::CreatureBlock;
using simtest::MakePlace;
using simtest::RecordingWorld;

class ModelGlueTest : public ViewTest {
protected:
    // A creature of the world on a view at (200, 200), its view showing "fight".
    std::unique_ptr<GCreature> Creature() {
        auto creature = simtest::MakeCreature(&mRecording, CreatureBlock("Puff"));
        GVWorldCreature* view = MakeCreature(200, 200);
        view->SetState(Key("fight"));
        creature->SetView(view);
        return creature;
    }
    GVWorldCreature* ViewOf(const GCreature& creature) const { return creature.GetCreatureView(); }

    RecordingWorld mRecording;
    GSchedule mSchedule;
};

TEST_F(ModelGlueTest, TheStateAndWorkEffectOfEachTask) {
    auto idol = MakePlace("Idol Lion 1");
    auto bin = MakePlace("Food bin");
    auto tank = MakePlace("Water Tank 2");
    const struct {
        const char* name;
        int kind;
        GObject* object;
        int itemInWork;
        const char* state;
        const char* shown;
    } rows[] = {
        {"flakeout: no change", 7, nullptr, 0, "fight", "fight"},
        {"be ill: no change", 18, nullptr, 0, "fight", "fight"},
        {"special flakeout", 27, nullptr, 0, "think", "think"},
        {"failure", 21, nullptr, 0, "failed", "stay_SW"},
        {"rest", 9, nullptr, 0, "flakeOut", "flakeOut"},
        {"wait for the ark", 26, nullptr, 0, "flakeOut", "flakeOut"},
        {"celebrate", 24, nullptr, 0, "celebrate", "celebrate"},
        {"celebrate a victory", 25, nullptr, 0, "celebrate", "celebrate"},
        {"build an idol", 4, idol.get(), 0, "work", "splinters_on_left"},
        {"build anything else", 4, bin.get(), 0, "work", "chips_on_left"},
        {"gather water", 3, tank.get(), 0, "work", "splashes_on_left"},
        {"make wood", 16, bin.get(), 11, "work", "splinters_on_left"},
        {"make another item: effects off", 16, bin.get(), 9, "work", "work"},
        {"unload at a water tank", 32, tank.get(), 0, "work", "splashes_on_left"},
        {"unload anywhere else", 32, bin.get(), 0, "work", "dust_on_left"},
        {"forage: effects off", 2, bin.get(), 0, "work", "work"},
        {"a walk without an object: no change", 19, nullptr, 0, "fight", "fight"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto creature = Creature();
        creature->SetItemInWork(row.itemInWork);
        simtest::AddTask(mSchedule, creature.get(), row.object, 100, row.kind);
        creature->UpdateViewState();
        EXPECT_EQ(ViewOf(*creature)->GetState(), Key(row.state));
        EXPECT_EQ(Shown(ViewOf(*creature)), row.shown);
    }
    auto idle = Creature();
    idle->UpdateViewState();
    EXPECT_EQ(ViewOf(*idle)->GetState(), Key("stay"));
    EXPECT_EQ(Shown(ViewOf(*idle)), "stay_NE");
}

TEST_F(ModelGlueTest, BreedingShowsTheSubjectAndHidesThePartner) {
    auto subject = Creature();
    auto partner = Creature();
    simtest::AddTask(mSchedule, subject.get(), partner.get(), 100, 1);
    subject->UpdateViewState();
    partner->UpdateViewState();
    EXPECT_EQ(ViewOf(*subject)->GetState(), Key("breed"));
    EXPECT_EQ(ViewOf(*partner)->GetState(), Key("hidden"));
}

TEST_F(ModelGlueTest, WalksGoToTheObjectAndRunForTheDoctor) {
    const struct {
        const char* name;
        int kind;
        int lastTask;
        float speed;
    } rows[] = {
        {"to a target", 19, 2, 1.0f},   {"for food", 10, 0, 1.0f},
        {"for water", 12, 0, 1.0f},     {"to build the ark", 33, 0, 1.0f},
        {"a doctor runs", 19, 5, 6.5f}, {"the medicine fetch runs", 38, 0, 6.5f},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto creature = Creature();
        creature->GetCreatureData()->runSpeed = 6.5f;
        creature->SetLastTask(row.lastTask);
        ViewOf(*creature)->SetSpeed(1.0f);
        auto target = Creature();
        ViewOf(*target)->SetPosition(400, 200);
        simtest::AddTask(mSchedule, creature.get(), target.get(), 100, row.kind);
        creature->UpdateViewState();
        EXPECT_EQ(ViewOf(*creature)->GetState(), Key("walk"));
        EXPECT_GT(ViewOf(*creature)->GetDestination().x, 300.0f);
        EXPECT_EQ(ViewOf(*creature)->GetSpeed(), row.speed);
    }
    // The creature a walk goes to does not walk itself.
    auto walker = Creature();
    auto patient = Creature();
    simtest::AddTask(mSchedule, walker.get(), patient.get(), 100, 19);
    patient->UpdateViewState();
    EXPECT_EQ(ViewOf(*patient)->GetState(), Key("fight"));
}

TEST_F(ModelGlueTest, TheMarksShowItemDiseaseAndCollectedPrescriptions) {
    auto creature = Creature();
    creature->SetItemType(2);
    creature->SetItemSpecial(true);
    creature->SetDisease(4);
    EXPECT_EQ(Shown(ViewOf(*creature), "disease"), "Fever");  // at once
    creature->GetPrescriptions() = {{3, true}, {2, false}, {1, true}, {4, true}, {0, true}};
    creature->RefreshViewMarks();
    GVWorldCreature* view = ViewOf(*creature);
    EXPECT_TRUE(Visible(view, "s-shovel"));
    EXPECT_FALSE(Visible(view, "shovel"));
    EXPECT_TRUE(Visible(view, "smallberries"));  // type 3
    EXPECT_FALSE(Visible(view, "roots"));        // type 2, not collected
    EXPECT_TRUE(Visible(view, "yayaflowers"));   // type 1

    creature->GetPrescriptions() = {{4, true}, {2, true}};
    creature->SetDisease(0);
    creature->SetItemType(0);
    creature->RefreshViewMarks();
    EXPECT_FALSE(Visible(view, "smallberries"));
    EXPECT_TRUE(Visible(view, "roots"));
    EXPECT_FALSE(Visible(view, "yayaflowers"));
    EXPECT_FALSE(Visible(view, "s-shovel"));
    EXPECT_EQ(Shown(view, "disease"), "None");

    creature->PassToView(2);
    EXPECT_EQ(Shown(view, "icon"), "icon_lbn");
    creature->SetMode(4);
    EXPECT_EQ(view->GetVariant(), 4);

    // UpdateViewState refreshes the marks too.
    creature->SetDisease(0);
    creature->SetItemType(3);
    creature->SetItemSpecial(false);
    creature->UpdateViewState();
    EXPECT_TRUE(Visible(view, "hammer"));
}

TEST_F(ModelGlueTest, DevolvingHidesTheCreatureItsShadowAndItsMark) {
    // The stand-in with a shadow and a selection mark of its own.
    const std::string frame =
        "<images><img name=\"standin.png\"/></images><framelist centering=\"left\"><frame x=\"0\" "
        "y=\"0\" w=\"8\" h=\"8\" regx=\"4\" regy=\"8\"/></framelist>";
    const auto part = [&](const char* id, const char* normal, const char* hidden) {
        return std::string("<obj id=\"") + id + "\">" + frame + "<states><state id=\"" + normal +
               "\" framelist=\"0\"/><state id=\"" + hidden + "\" framelist=\"0\"/></states></obj>";
    };
    std::string text = testing_support::WorldSprites::Description();
    text.insert(text.rfind("</objects>"), part("shadow", "shadow_normal", "shadow_hidden") +
                                              part("mark", "mark_normal", "mark_hidden"));
    mSprites->Put("xml/devolver.xml", text);

    auto creature = simtest::MakeCreature(&mRecording, CreatureBlock("Puff"));
    auto* view = static_cast<GVWorldCreature*>(mManager->CreateVisual("devolver", 1));
    ASSERT_NE(view, nullptr);
    creature->SetView(view);
    creature->SetItemType(4);
    creature->RefreshViewMarks();
    EXPECT_TRUE(Visible(view, "tomahawk"));

    mRecording.Refuse({15});
    EXPECT_FALSE(creature->StartDevolve());
    EXPECT_NE(view->GetState(), Key("hidden"));
    EXPECT_NE(Shown(view, "shadow"), "shadow_hidden");

    mRecording.Refuse({});
    EXPECT_TRUE(creature->StartDevolve());
    EXPECT_EQ(view->GetState(), Key("hidden"));
    EXPECT_EQ(Shown(view), "hidden");
    EXPECT_EQ(Shown(view, "shadow"), "shadow_hidden");
    EXPECT_EQ(Shown(view, "mark"), "mark_hidden");
    EXPECT_FALSE(Visible(view, "tomahawk"));
}

TEST_F(ModelGlueTest, WithoutACreatureViewNothingHappens) {
    auto creature = simtest::MakeCreature(&mRecording, CreatureBlock("Puff"));
    auto bin = MakePlace("Food bin");
    simtest::AddTask(mSchedule, creature.get(), bin.get(), 100, 4);
    creature->UpdateViewState();
    creature->RefreshViewMarks();
    creature->ShowWork();
    creature->PassToView(1);
    creature->SetDisease(3);
    creature->SetMode(2);
    EXPECT_EQ(creature->GetDisease(), 3);
    EXPECT_EQ(creature->GetMode(), 2);

    simtest::FakeView plain;  // a view, but not a creature's
    creature->SetView(&plain);
    EXPECT_EQ(creature->GetCreatureView(), nullptr);
    creature->UpdateViewState();
    creature->RefreshViewMarks();
    EXPECT_TRUE(creature->StartDevolve());
}

TEST_F(ModelGlueTest, AGraveFadesOnce) {
    GGrave grave;
    auto* view = static_cast<GVWorldCreature*>(mManager->CreateVisual("skeleton", 4));
    ASSERT_NE(view, nullptr);
    grave.SetView(view);
    for (int tick = 1; tick <= 300; ++tick)
        ASSERT_EQ(grave.CountDown(), 300 - tick);
    EXPECT_NE(Shown(view, "body"), "disappear");
    EXPECT_EQ(grave.CountDown(), -1);  // the 301st
    EXPECT_EQ(Shown(view, "body"), "disappear");
    view->GetSprite()->GetChild("body")->SetStateRecursive(Key("hidden"), true, false);
    EXPECT_EQ(grave.CountDown(), -1);
    EXPECT_EQ(grave.CountDown(), -1);
    EXPECT_EQ(Shown(view, "body"), "hidden");  // switched once only
}

}  // namespace
}  // namespace views_test
