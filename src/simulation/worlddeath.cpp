// The death of a creature: a grave takes its place on the landscape, with its nickname and a
// death text, the creature leaves the world (worldleaving.cpp's order: out of the list and every
// reference gone before its tasks are cancelled), the tribe window is told and the history gets
// a record. The last creature left alone dies too, after the game-over record.
#include <iterator>
#include <memory>

#include "simulation/data/saturate.h"
#include "simulation/params/localtext.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldmanager.h"
#include "simulation/world.h"
#include "simulation/worldkeys.h"
#include "simulation/worldsounds.h"

namespace {

constexpr int kCauseDisease = 3;
// The labels of the death causes: 0 defending, 1 hunger, 2 thirst, 3 disease, 4 old age.
constexpr const char* kCauseLabels[] = {"death_default_str", "death_hunger_str", "death_thirst_str",
                                        "death_disease_str", "death_age_str"};
// What a disease death adds, by disease 1 to 5.
constexpr const char* kDiseaseSuffixes[] = {": Sneezies", ": Tumrot", ": Kopox", ": Fever",
                                            ": Ebolio"};
constexpr int kSoundDeath = 64;

// The cause's text; a cause the world does not know reads as the first.
str CauseText(int cause) {
    const bool known = cause >= 0 && cause < static_cast<int>(std::size(kCauseLabels));
    return GetLocalizedText(kCauseLabels[known ? cause : 0]);
}

str DeathText(const GCreature& creature, int cause) {
    str text = GetLocalizedText(creature.GetNickName()) + " - " +
               "Age: " + str::Format("%0d", TruncateToInt(creature.GetAge())) + " - " +
               CauseText(cause);
    const int disease = creature.GetDisease();
    if (cause == kCauseDisease && disease >= 1 &&
        disease <= static_cast<int>(std::size(kDiseaseSuffixes)))
        text = text + kDiseaseSuffixes[disease - 1];
    return text;
}

GEventRecord DeathRecord(const GCreature& creature, int cause) {
    GEventRecord record;
    record.name = GetLocalizedText("Death");
    const GCreatureData* data = creature.GetCreatureData();
    if (data != nullptr && data->name == str("Puff")) {
        record.text = creature.GetNickName() + " - " + CauseText(cause);
    } else {
        record.text = creature.GetNickName() + " (" + GetLocalizedText("Level") + " " +
                      str::Format("%d", creature.GetLevel()) + ") - " + CauseText(cause);
    }
    return record;
}

// A parked creature index after the creature at index left the list.
int16_t AfterLeaving(int16_t parked, int index) {
    if (parked == index) return -1;
    return parked > 0 && parked > index ? static_cast<int16_t>(parked - 1) : parked;
}

}  // namespace

bool GWorld::OnCreatureDeath(GObject* object, int cause) {
    if (object == nullptr || object->GetKind() != GObject::kCreature) return false;
    auto* creature = static_cast<GCreature*>(object);
    int index = -1;
    for (size_t i = 0; i < mCreatures.size(); ++i)
        if (mCreatures[i].get() == creature) index = static_cast<int>(i);
    // A creature that has left the world dies only once.
    if (index < 0) return false;

    if (mSelected == creature) SelectObject(nullptr);
    if (mHeld == creature) TakeCreature(nullptr);
    mPlay.lastDeath[0] = mPlay.lastDeath[1];
    mPlay.lastDeath[1] = mPlay.lastDeath[2];
    mPlay.lastDeath[2] = cause;

    auto grave = std::make_unique<GGrave>();
    if (const GCreatureData* data = creature->GetCreatureData()) {
        auto block = std::make_unique<GCreatureData>(*data);
        block->animatorName = "skeleton";
        grave->SetData(std::move(block));
    }
    grave->SetNickName(creature->GetNickName());
    grave->SetDeath(DeathText(*creature, cause));
    if (mViewManager != nullptr) {
        if (GVWorldObject* view = mViewManager->CreateVisualFor(grave.get())) {
            if (view->IsKindOf(GVViewClass::kCreature))
                static_cast<GVWorldCreature*>(view)->SetTag("Grave");
            view->AddListener(this);
            grave->SetView(view);
            if (const GVWorldObject* body = creature->GetView())
                view->SetPosition(body->GetPosition());
        }
    }
    mGraves.push_back(std::move(grave));

    mPlay.parkedA = AfterLeaving(mPlay.parkedA, index);
    mPlay.parkedB = AfterLeaving(mPlay.parkedB, index);
    const GEventRecord record = DeathRecord(*creature, cause);
    // Out of the list, out of every memory, then its tasks cancelled; the tick deletes it.
    QueueForDeletion(creature);
    if (GVWorldCreature* view = creature->GetCreatureView()) {
        view->StopMoving();
        view->SetState(WorldKeys().hidden);
    }

    mPlay.creaturesChanged = true;
    GetMessageListener().RefreshTribe();
    AddEvent(record);
    WorldSounds().PlayEvent(nullptr, 0.0f, 0.0f, kSoundDeath, 0);
    if (mCreatures.size() == 1) {
        AddGameOverEvent();
        OnCreatureDeath(mCreatures.front().get(), 0);
    }
    return true;
}
