// The scheme as the world reaches it: installed behind the world's sound interface, it hears a
// task's sound start and the scheduler's stops at the task's end (the task's kind, and 62 for a
// build), the catch-up's disabling with StopAll, and the water fall's event 58 on its object at
// (0, 0); removed, the world talks to the silent scheme again.
#include "audio/sound.h"
#include "audio/soundinstance.h"
#include "foundation/xml/xmlnode.h"
#include "gamesound/gamesounds.h"
#include "schemefixture.h"
#include "simulation/schedule/schedule.h"
#include "simulation/schedule/scheduletask.h"
#include "simulation/schedule/taskdata.h"
#include "simulation/worldsounds.h"

namespace gamesound_testing {
namespace {

constexpr int kBuildTask = 4;
constexpr int kBuildingSound = 62;
constexpr int kWaterFlowing = 58;

class SchemeWorldTest : public SchemeTest {
protected:
    void SetUp() override {
        SchemeTest::SetUp();
        InstallGameSounds();
    }
    // The singleton outlives the test: it lets go of its sounds and of the view.
    void TearDown() override {
        GSoundScheme& scheme = GSoundScheme::Get();
        scheme.Load(nullptr, &mNames);
        scheme.SetViewPort(nullptr);
        scheme.SetEnabled(false);
        RemoveGameSounds();
        SchemeTest::TearDown();
    }

    // The world's logic loading (its Load through the sound interface, then the enabled flag):
    // the scheme file into the installed scheme.
    void LoadLogic(const char* elements) {
        TXmlNode document;
        document.ParseString((std::string("<SoundScheme>") + elements + "</SoundScheme>").c_str());
        ASSERT_TRUE(WorldSounds().Load(&document, &mNames));
        WorldSounds().SetEnabled(true);
        GSoundScheme::Get().SetViewPort(&mView);
    }
};

TEST_F(SchemeWorldTest, TheWorldTalksToTheSchemeUntilItIsRemoved) {
    const GSoundScheme& scheme = GSoundScheme::Get();
    LoadLogic(R"(<E Event="Birth"><O type="loop" src="birth.ogg"/></E>)");
    EXPECT_TRUE(scheme.IsEnabled());
    WorldSounds().PlayEvent(nullptr, 0.0f, 0.0f, 63, 0);
    EXPECT_TRUE(scheme.IsPlaying(nullptr, 0.0f, 0.0f, 63));

    // The silent scheme hears the world now.
    RemoveGameSounds();
    WorldSounds().SetEnabled(false);
    WorldSounds().StopAll();
    EXPECT_TRUE(scheme.IsEnabled());
    EXPECT_TRUE(scheme.IsPlaying(nullptr, 0.0f, 0.0f, 63));
    WorldSounds().SetEnabled(true);

    InstallGameSounds();
    WorldSounds().SetEnabled(false);
    WorldSounds().StopAll();
    EXPECT_FALSE(scheme.IsEnabled());
    EXPECT_FALSE(scheme.IsPlaying(nullptr, 0.0f, 0.0f, 63));
}

// A build task's sounds start with it (its kind, and 62 on the place) and the scheduler stops
// both at its end, for its subject only.
TEST_F(SchemeWorldTest, ATasksSoundsLastAsLongAsTheTask) {
    LoadLogic(R"(<E Event="build"><O type="loop" src="hammer.ogg"/></E>
                 <E Event="Dig"><O type="loop" src="dig.ogg"/></E>)");
    SchemeObject* builder = MakeObject("Gnu");
    SchemeObject* other = MakeObject("Gnu");
    SchemeObject* place = MakeObject("Well");
    GSchedule schedule;
    auto data = std::make_unique<GTaskData>();
    data->subject = builder;
    data->object = place;
    auto task = std::make_unique<GScheduleTask>();
    task->Init(std::move(data), builder, place, 1000, 1000, kBuildTask, 0);
    GScheduleTask* added = schedule.AddTask(std::move(task));
    builder->SetTask(added);
    WorldSounds().PlayEvent(builder, 0.0f, 0.0f, kBuildTask, 0);
    WorldSounds().PlayEvent(builder, 0.0f, 0.0f, kBuildingSound, 0);
    WorldSounds().PlayEvent(other, 0.0f, 0.0f, kBuildTask, 0);
    ASSERT_EQ(Buffers().size(), 3u);

    schedule.Update(1000, false);
    const GSoundScheme& scheme = GSoundScheme::Get();
    EXPECT_FALSE(scheme.IsPlaying(builder, 0.0f, 0.0f, kBuildTask));
    EXPECT_FALSE(scheme.IsPlaying(builder, 0.0f, 0.0f, kBuildingSound));
    EXPECT_TRUE(scheme.IsPlaying(other, 0.0f, 0.0f, kBuildTask));
    Run(100);
    EXPECT_EQ(Buffers().size(), 1u);
}

// The catch-up: disabled and stopped, the world's sounds are refused; enabled again, Update
// starts the fixed points.
TEST_F(SchemeWorldTest, TheCatchUpSilencesTheScheme) {
    LoadLogic(R"(<E Event="Bonus" PosX="300" PosY="200"><O type="loop" src="sea.ogg"/></E>
                 <E Event="Birth"><O type="trigger" src="birth.ogg"/></E>)");
    WorldSounds().PlayEvent(nullptr, 0.0f, 0.0f, 63, 0);
    WorldSounds().Update();
    EXPECT_EQ(Buffers().size(), 2u);
    WorldSounds().SetEnabled(false);
    WorldSounds().StopAll();
    EXPECT_FALSE(WorldSounds().IsEnabled());
    WorldSounds().PlayEvent(nullptr, 0.0f, 0.0f, 63, 0);
    EXPECT_FALSE(GSoundScheme::Get().IsPlaying(nullptr, 0.0f, 0.0f, 63));
    Run(100);
    EXPECT_TRUE(Buffers().empty());
    WorldSounds().SetEnabled(true);
    WorldSounds().Update();
    EXPECT_TRUE(GSoundScheme::Get().IsPlaying(nullptr, 300.0f, 200.0f, 61));
    EXPECT_EQ(Buffers().size(), 1u);
}

// The water fall raises 58 on its own object at (0, 0): its own entry plays, where its view is.
TEST_F(SchemeWorldTest, TheWaterFallIsHeardFromItsOwnEntry) {
    LoadLogic(R"(<E Event="WaterFlowing"><O type="trigger" src="anything.ogg"/></E>
                 <E Object="Water Fall" Event="WaterFlowing">
                   <O type="loop" src="water_flowing.ogg" volume="100"/></E>)");
    SchemeObject* fall = MakeObjectAt("Water Fall", 1800.0f, 300.0f);
    WorldSounds().PlayEvent(fall, 0.0f, 0.0f, kWaterFlowing, 0);
    const auto& playing = GSoundScheme::Get().GetPlaying();
    ASSERT_EQ(playing.size(), 1u);
    EXPECT_EQ(std::string(playing.begin()->second->GetSound()->GetName().c_str()),
              "audio/sfx/water_flowing.ogg");
    // 1000 units right of the view.
    EXPECT_EQ(LastVolume(), DeviceVolume(0.5f));
    WorldSounds().PlayEvent(fall, 0.0f, 0.0f, kWaterFlowing, 0);
    EXPECT_EQ(GSoundScheme::Get().GetInstances().size(), 1u);
    WorldSounds().StopEvent(fall, 0.0f, 0.0f, kWaterFlowing);
    EXPECT_TRUE(playing.empty());
}

}  // namespace
}  // namespace gamesound_testing
