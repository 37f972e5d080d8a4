// The idle pass of the tick: every creature without a task is given something to do. The sick
// walk to the hospital grounds (those with the first, harmless disease stay where they are); the
// healthy flake out, unless a doctor is on its way to them. While the tutorial's hyena is shown,
// idle monsters flake out too.
#include "simulation/taskkind.h"
#include "simulation/world.h"
#include "simulation/worldpass.h"

using worldpass::ListCopy;

namespace {

// The disease that needs no treatment.
constexpr int kDiseaseHarmless = 1;
constexpr int kTutorialHyenaShown = 21;

// The hospital grounds, where a sick creature waits.
bool IsOnHospitalGrounds(const GVWorldObject& view) {
    const float x = view.GetX();
    const float y = view.GetY();
    return x >= 1689.0f && x <= 2150.0f && y >= 1570.0f && y <= 1791.0f;
}

}  // namespace

void GWorld::RunIdlePass() {
    for (GCreature* creature : ListCopy(mCreatures)) {
        if (!IsInWorld(creature) || creature == mHeld || creature->GetTask() != nullptr ||
            mSchedule.CountTasksOf(creature, true) > 0)
            continue;
        const int disease = creature->GetDisease();
        if (disease == kDiseaseHarmless) continue;
        if (disease != 0) {
            // Without a view its place is unknown: it is not sent.
            const GVWorldObject* view = creature->GetView();
            if (view != nullptr && !IsOnHospitalGrounds(*view))
                CallStarter(GStarter::kTreatment, kTaskGoToHospital, creature, mPlaces[kHospital]);
            continue;
        }
        if (!IsAwaitingDoctor(creature)) StartTask(kTaskFlakeOut, creature, nullptr);
    }
    if (!mGlobalData.IsTutorialEventSet(kTutorialHyenaShown)) return;
    for (GMonster* monster : ListCopy(mMonsters)) {
        if (IsInWorld(monster) && monster->GetTask() == nullptr &&
            mSchedule.CountTasksOf(monster, true) == 0)
            StartTask(kTaskFlakeOut, monster, nullptr);
    }
}

bool GWorld::IsAwaitingDoctor(const GCreature* creature) const {
    for (const std::unique_ptr<GCreature>& doctor : mCreatures) {
        if (doctor->GetBeforeTarget(kTaskDoctor) == creature) return true;
    }
    return false;
}
