// Interpolators and effect containers, their timers on the platform's task list and the fake clock.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "animfixture.h"
#include "gv/anim/gveffects.h"
#include "gv/anim/gvinterpolator.h"
#include "gv/anim/gvinterpolatorregistry.h"
#include "platform/draw/drawspec.h"

namespace gv_test {
namespace {

class InterpolatorTest : public AnimTest {
protected:
    // The effects of an "effects" element, loaded with owner (none: no owner).
    std::unique_ptr<GVCustomEffects> LoadEffects(const char* text, GVBase* owner = nullptr) {
        auto effects = std::make_unique<GVCustomEffects>();
        effects->Load(Parse(text), owner);
        return effects;
    }
    // The one interpolator of a single element.
    std::unique_ptr<GVDefInterpolator> LoadOne(const char* element) {
        GVInterpolatorRegistry::Creator creator =
            GVInterpolatorRegistry::Find(Parse(element)->GetName());
        if (creator == nullptr) return nullptr;
        std::unique_ptr<GVDefInterpolator> effect(dynamic_cast<GVDefInterpolator*>(creator()));
        GVCustomEffects owner;
        if (!effect->Load(mDocuments.back()->GetChildren().front(), &owner)) return nullptr;
        return effect;
    }
    // The scaling the interpolator gives a block of scaling 1 now. The block outlives the
    // interpolator, as an object's composed block does: its ticks flag the block last applied.
    float ScaleNow(GVDefInterpolator& effect) {
        mBlock.scaling = 1.0f;
        effect.Apply(mBlock);
        return mBlock.scaling;
    }
    GVData mBlock;
};

TEST_F(InterpolatorTest, KeysInterpolateOverTheTimeAndLoop) {
    auto scale = LoadOne("<ScaleInterpolator keys=\"1 2 1\" time=\"1000\" quant=\"250\"/>");
    ASSERT_NE(scale, nullptr);
    ASSERT_TRUE(scale->Start());
    ASSERT_NE(scale->GetTimer(), nullptr);  // no target: the platform's list
    EXPECT_FLOAT_EQ(ScaleNow(*scale), 1.0f);
    const float expected[] = {1.5f, 2.0f, 1.5f, 1.0f, 1.5f};
    for (float value : expected) {
        Step(250);
        EXPECT_FLOAT_EQ(ScaleNow(*scale), value) << scale->elapsed;
    }
    EXPECT_EQ(scale->elapsed, 1250u);
    // Start again: from the beginning, on the same timer.
    TCustomOnTimerCaller* timer = scale->GetTimer();
    scale->Start();
    EXPECT_EQ(scale->elapsed, 0u);
    EXPECT_EQ(scale->GetTimer(), timer);
}

TEST_F(InterpolatorTest, EachKindActsOnItsParameter) {
    GVData block;
    block.scaling = 2.0f;
    block.alpha = 0.5f;
    block.rotate = 1.0f;
    block.deltaX = 10.0f;
    block.deltaY = 20.0f;
    block.changed = 0;
    auto scale = LoadOne("<ScaleInterpolator keys=\"3 5\" time=\"100\"/>");
    auto alpha = LoadOne("<AlphaInterpolator keys=\"0.5 1\" time=\"100\"/>");
    auto rotate = LoadOne("<RotateInterpolator keys=\"2 4\" time=\"100\"/>");
    auto move = LoadOne("<DeltaMoveInterpolator keys=\"1,2 3,6\" time=\"100\"/>");
    for (GVDefInterpolator* effect : {scale.get(), alpha.get(), rotate.get(), move.get()}) {
        ASSERT_NE(effect, nullptr);
        effect->elapsed = 50;  // half way
        effect->Apply(block);
    }
    EXPECT_FLOAT_EQ(block.scaling, 8.0f);  // × 4
    EXPECT_FLOAT_EQ(block.alpha, 0.375f);  // × 0.75
    EXPECT_FLOAT_EQ(block.rotate, 4.0f);   // + 3
    EXPECT_FLOAT_EQ(block.deltaX, 12.0f);  // + 2
    EXPECT_FLOAT_EQ(block.deltaY, 24.0f);  // + 4
    EXPECT_EQ(block.changed, 1);
}

TEST_F(InterpolatorTest, LoadReadsTimeQuantAndKeysOnly) {
    auto effect = LoadOne(
        "<ScaleInterpolator keys=\"1 2\" time=\"0x3E8\" quant=\"010\" targets=\"1\" enable=\"0\" "
        "id=\"x\"/>");
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->time, 1000u);
    EXPECT_EQ(effect->quant, 8u);
    EXPECT_EQ(effect->targets, 8u);
    EXPECT_TRUE(effect->enabled);
    EXPECT_EQ(effect->id.Length(), 0u);

    auto defaults = LoadOne("<AlphaInterpolator keys=\"1 0\"/>");
    ASSERT_NE(defaults, nullptr);
    EXPECT_EQ(defaults->time, 100u);
    EXPECT_EQ(defaults->quant, 30u);

    EXPECT_EQ(LoadOne("<AlphaInterpolator keys=\"x y\"/>"), nullptr);    // no key: no effect
    EXPECT_EQ(LoadOne("<DeltaMoveInterpolator keys=\"5\"/>"), nullptr);  // no whole pair
}

TEST_F(InterpolatorTest, TheDefaultTimeInsideAStateIsDefdelayTimesFramesSquared) {
    GVObject* object = MakeObject(6,
                                  "<states><state id=\"s\" defdelay=\"100\" framelist=\"0..3\">"
                                  "<ScaleInterpolator keys=\"1 2\"/></state>"
                                  "<state id=\"huge\" defdelay=\"2000000000\" framelist=\"0..5\">"
                                  "<ScaleInterpolator keys=\"1 2\"/></state></states>",
                                  nullptr);
    auto* inside =
        dynamic_cast<GVDefInterpolator*>(object->GetStates()->GetAt(0)->GetEffects()->GetAt(0));
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(inside->time, 1600u);
    // A product past the int range saturates.
    auto* huge =
        dynamic_cast<GVDefInterpolator*>(object->GetStates()->GetAt(1)->GetEffects()->GetAt(0));
    ASSERT_NE(huge, nullptr);
    EXPECT_EQ(huge->time, 2147483647u);
}

TEST_F(InterpolatorTest, KeyTextsAreScannedWithAtofRules) {
    const struct {
        const char* keys;
        std::vector<float> values;
    } cases[] = {
        {"1-2", {1.0f}},
        {"1e3", {1000.0f, 3.0f}},
        {"+5", {5.0f}},
        {"0.5;-.25 x 3", {0.5f, -0.25f, 3.0f}},
        {"1e99", {INFINITY, 99.0f}},  // saturates
    };
    for (const auto& c : cases) {
        GVScaleInterpolator scale;
        EXPECT_EQ(scale.LoadKeys(c.keys), static_cast<int32_t>(c.values.size())) << c.keys;
        EXPECT_EQ(scale.GetKeys(), c.values) << c.keys;
    }
    GVDeltaMoveInterpolator move;
    EXPECT_EQ(move.LoadKeys("0 0 10 5 7"), 2);
    ASSERT_EQ(move.GetKeys().size(), 2u);
    EXPECT_EQ(move.GetKeys()[1].x, 10.0f);
    EXPECT_EQ(move.GetKeys()[1].y, 5.0f);
}

TEST_F(InterpolatorTest, TheTargetsSpeedDividesTheQuant) {
    GVObject* object = MakeObject(2, nullptr, nullptr);
    auto effect = LoadOne("<ScaleInterpolator keys=\"1 2\" quant=\"30\"/>");
    effect->SetTarget(object);
    object->SetSpeed(2.0f, false);
    effect->Start();
    Step(30);
    Step(30);
    EXPECT_EQ(effect->elapsed, 30u);  // 15 per tick
    object->SetSpeed(0.0f, false);
    Step(30);
    EXPECT_EQ(effect->elapsed, 30u);
    object->SetSpeed(-1.0f, false);  // backwards wraps below 0
    Step(30);
    Step(30);
    EXPECT_EQ(effect->elapsed, 0xFFFFFFE2u);
}

TEST_F(InterpolatorTest, ADisabledInterpolatorStopsAndKeepsItsTime) {
    auto effect = LoadOne("<AlphaInterpolator keys=\"1 0\" quant=\"30\"/>");
    effect->Start();
    Step(30);
    Step(30);
    ASSERT_EQ(effect->elapsed, 60u);
    effect->SetEnabled(false);
    Step(30);
    EXPECT_EQ(effect->elapsed, 60u);
    EXPECT_TRUE(effect->GetTimer()->IsStopped());
    Step(30);
    EXPECT_EQ(effect->elapsed, 60u);
}

TEST_F(InterpolatorTest, TickFlagsTheLastAppliedBlock) {
    auto effect = LoadOne("<ScaleInterpolator keys=\"1 2\" quant=\"30\"/>");
    GVData block;
    effect->Apply(block);
    block.changed = 0;
    effect->Start();
    Step(30);
    EXPECT_EQ(block.changed, 1);
}

TEST_F(InterpolatorTest, SingleKeysZeroTimeAndLongTimesStayWithinTheKeys) {
    auto single = LoadOne("<ScaleInterpolator keys=\"3\" time=\"1000\"/>");
    single->elapsed = 500;
    EXPECT_FLOAT_EQ(ScaleNow(*single), 3.0f);
    auto zero = LoadOne("<ScaleInterpolator keys=\"4 8\" time=\"0\"/>");
    zero->elapsed = 500;
    EXPECT_FLOAT_EQ(ScaleNow(*zero), 4.0f);
    // Just below the end of a pass of 20,000,000 ms, float rounding reaches the last key: the
    // last key applies, nothing past it is read.
    auto longTime = LoadOne("<ScaleInterpolator keys=\"1 2\" time=\"20000000\"/>");
    longTime->elapsed = 20000000 - 1;
    EXPECT_FLOAT_EQ(ScaleNow(*longTime), 2.0f);
    // A product that wraps in 32 bits stays within the keys too.
    auto wrapped = LoadOne("<ScaleInterpolator keys=\"1 2 3 4 5\" time=\"-1\"/>");
    wrapped->elapsed = 0xFFFFFFF0u;
    const float value = ScaleNow(*wrapped);
    EXPECT_GE(value, 1.0f);
    EXPECT_LE(value, 5.0f);
}

TEST_F(InterpolatorTest, CopiesTakeTimeQuantAndKeysIntoTheirOwnKindOnly) {
    auto scale = LoadOne("<ScaleInterpolator keys=\"1 2 4\" time=\"700\" quant=\"20\"/>");
    scale->elapsed = 99;
    GVScaleInterpolator copy;
    copy.SetEnabled(false);
    ASSERT_EQ(scale->CopyTo(&copy), &copy);
    EXPECT_EQ(copy.time, 700u);
    EXPECT_EQ(copy.quant, 20u);
    EXPECT_EQ(copy.keyCount, 3);
    EXPECT_EQ(copy.GetKeys(), (std::vector<float>{1, 2, 4}));
    EXPECT_EQ(copy.elapsed, 0u);
    EXPECT_FALSE(copy.enabled);
    EXPECT_EQ(copy.GetTimer(), nullptr);

    GVAlphaInterpolator other;
    EXPECT_EQ(scale->CopyTo(&other), nullptr);
    EXPECT_EQ(other.keyCount, 0);
    GVData notAnEffect;
    EXPECT_EQ(scale->CopyTo(&notAnEffect), nullptr);
    EXPECT_EQ(scale->CopyTo(nullptr), nullptr);
}

// An effect whose registry name nobody registered.
class StrayEffect : public GVEffect {
public:
    str GetTypeName() const override { return "StrayEffect"; }
};

TEST_F(InterpolatorTest, ContainersMakeAndCloneThroughTheRegistry) {
    GVData owner;
    auto effects = LoadEffects(
        "<effects><ScaleInterpolator keys=\"1 2\"/><Sparkle keys=\"1 2\"/>"
        "<AlphaInterpolator/></effects>",
        &owner);
    ASSERT_EQ(effects->GetCount(), 1);  // the unknown element and the keyless one are skipped
    EXPECT_STREQ(effects->GetAt(0)->GetClassName(), "GVScaleInterpolator");
    EXPECT_TRUE(effects->GetAt(0)->IsKindOf("GVEffect"));
    EXPECT_FALSE(effects->GetAt(0)->IsKindOf("GVAlphaInterpolator"));
    EXPECT_EQ(effects->GetOwner(), &owner);

    StrayEffect stray;
    EXPECT_EQ(effects->CloneItem(&stray), nullptr);
    GVEffect plain;
    EXPECT_EQ(effects->CloneItem(&plain), nullptr);

    GVCustomEffects copy;
    ASSERT_EQ(effects->CopyTo(&copy), &copy);
    ASSERT_EQ(copy.GetCount(), 1);
    EXPECT_NE(copy.GetAt(0), effects->GetAt(0));
    EXPECT_STREQ(copy.GetAt(0)->GetTypeName().c_str(), "ScaleInterpolator");
}

// Writes each call it gets into a shared log.
class RecordingEffect : public GVEffect {
public:
    RecordingEffect(uint32_t bits, const char* name, std::vector<std::string>* log)
        : GVEffect(bits), mName(name), mLog(log) {}
    bool Start() override { return startAnswer; }
    bool Stop() override {
        Note("stop");
        return true;
    }
    bool BeforeDraw(TDrawSpec&) override {
        Note("before");
        return allowDraw;
    }
    void AfterDraw(TDrawSpec&) override { Note("after"); }
    void OnFrameChanged(int32_t previous) override { Note("frame" + std::to_string(previous)); }
    void Apply(GVData&) override { Note("apply"); }

    bool startAnswer = true;
    bool allowDraw = true;

private:
    void Note(const std::string& what) { mLog->push_back(mName + ":" + what); }
    std::string mName;
    std::vector<std::string>* mLog;
};

TEST_F(InterpolatorTest, RunningListsFollowStartStopAndTheTargetsBits) {
    std::vector<std::string> log;
    GVCustomEffects own;
    auto* a = new RecordingEffect(GVEffect::kBeforeDraw | GVEffect::kApply, "a", &log);
    auto* b = new RecordingEffect(
        GVEffect::kBeforeDraw | GVEffect::kAfterDraw | GVEffect::kFrameChange, "b", &log);
    auto* refused = new RecordingEffect(GVEffect::kApply, "c", &log);
    refused->startAnswer = false;
    own.Add(a);
    own.Add(b);
    own.Add(refused);

    GVEffects effects;
    TDrawSpec spec;
    GVData block;
    EXPECT_TRUE(effects.CallBeforeDraw(spec));  // empty: drawn
    effects.StartAll(&own);
    EXPECT_EQ(effects.GetRunningCount(), 2);
    EXPECT_TRUE(effects.CallBeforeDraw(spec));
    effects.CallAfterDraw(spec);
    effects.CallFrameChanged(3);
    effects.ApplyAll(block);
    EXPECT_EQ(log,
              (std::vector<std::string>{"a:before", "b:before", "b:after", "b:frame3", "a:apply"}));
    // The first refusal ends the walk.
    log.clear();
    a->allowDraw = false;
    EXPECT_FALSE(effects.CallBeforeDraw(spec));
    EXPECT_EQ(log, (std::vector<std::string>{"a:before"}));

    effects.StopAll(&own);
    EXPECT_EQ(effects.GetRunningCount(), 0);
    log.clear();
    EXPECT_TRUE(effects.CallBeforeDraw(spec));
    effects.ApplyAll(block);
    EXPECT_TRUE(log.empty());

    GVObject target;
    EXPECT_TRUE(own.SetTargets(&target));
    EXPECT_EQ(b->GetTarget(), &target);
    EXPECT_FALSE(own.SetTargets(nullptr));
}

TEST_F(InterpolatorTest, DestroyingTheObjectsContainerStopsNothing) {
    std::vector<std::string> log;
    GVCustomEffects own;
    own.Add(new RecordingEffect(GVEffect::kApply, "a", &log));
    {
        GVEffects effects;
        effects.StartAll(&own);
        effects.Add(new RecordingEffect(GVEffect::kApply, "mine", &log));
    }  // frees the lists, then deletes only its own effect
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(own.GetCount(), 1);
}

}  // namespace
}  // namespace gv_test
