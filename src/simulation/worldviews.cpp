// The view makers: a world object's view made anew by the view manager, configured from the
// object's block and placed. Creatures get a head and a body variant in turn from the player's
// two counters, so that creatures of one kind do not look alike; hyenas look like the current
// level. While a view is made the scene's view port stands at the origin, and it is put back
// where it was afterwards.
#include "foundation/random.h"
#include "gv/gvscene.h"
#include "simulation/data/saturate.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldlocation.h"
#include "simulation/views/worldmanager.h"
#include "simulation/world.h"

namespace {

// The variant sequence: the counters step through it.
constexpr int kVariantSequence[] = {0, 8, 1, 9, 5, 7, 3, 6, 4, 2};
constexpr int kHeadCounters = 10;
constexpr int kBodyCounters = 6;
constexpr int kThirdVariants = 4;
// The idle timing every figure's view is configured with.
constexpr uint32_t kIdleBase = 75;
constexpr uint32_t kIdleRange = 25;

// The counter of the player's preferences; a value outside 0 to count - 1 reads 0.
int ReadCounter(GWorldPrefs& prefs, const char* key, int count) {
    const int value = prefs.GetInt(key, 0);
    return value >= 0 && value < count ? value : 0;
}

// The scene's view port at the origin for as long as it lives, then back where it was; the scene
// is updated at both moves.
class CameraAtOrigin {
public:
    explicit CameraAtOrigin(GVScene* scene) : mScene(scene) {
        if (mScene == nullptr) return;
        const GVRect& rect = mScene->GetViewPort().GetRect();
        mSaved = TVec2(rect.left, rect.top);
        mScene->GetViewPort().Place(TVec2(0.0f, 0.0f));
        mScene->UpdateObjects();
    }
    ~CameraAtOrigin() {
        if (mScene == nullptr) return;
        mScene->GetViewPort().Place(mSaved);
        mScene->UpdateObjects();
    }
    CameraAtOrigin(const CameraAtOrigin&) = delete;
    CameraAtOrigin& operator=(const CameraAtOrigin&) = delete;

private:
    GVScene* mScene;
    TVec2 mSaved;
};

GVHitRect HitRectOf(const GHitRect& rect) {
    return GVHitRect{rect.dx, rect.dy, rect.w, rect.h};
}

// A figure's view (creature or monster) set up from its block: speed, idle timing and hit
// rectangle, its own animation factor, the head and body variants and no carried item.
void SetUpFigure(GVWorldObject* view, float speed, const GVHitRect& hitRect, float factor, int head,
                 int body) {
    const GVViewConfig config{speed, kIdleBase, kIdleRange, hitRect};
    view->Configure(&config);
    view->SetOwnSpeedFactor(factor);
    if (!view->IsKindOf(GVViewClass::kCreature)) return;
    auto* figure = static_cast<GVWorldCreature*>(view);
    figure->ShowHead(head);
    figure->ShowBody(body);
    figure->SetItem(0, false);
}

}  // namespace

void GWorld::DropView(GObject* object) {
    if (GVWorldObject* old = object->GetView()) {
        object->SetView(nullptr);
        mViewManager->RemoveVisual(old);
    }
}

GVWorldObject* GWorld::MakeView(GObject* object) {
    GVWorldObject* view = mViewManager->CreateVisualFor(object);
    if (view == nullptr) return nullptr;
    view->AddListener(this);
    object->SetView(view);
    return view;
}

TVec2 GWorld::SpotFor(int16_t x, int16_t y, bool walkable) {
    if (walkable) {
        if (x >= 0 && y >= 0) return TVec2(x, y);
        return RandomWalkablePoint(0, kWidth, 0, kHeight);
    }
    const int spotX = x >= 0 ? x : mRandom.NextRange(0, kWidth);
    const int spotY = y >= 0 ? y : mRandom.NextRange(0, kHeight);
    return TVec2(static_cast<float>(spotX), static_cast<float>(spotY));
}

void GWorld::PlaceView(GVWorldObject* view, int16_t x, int16_t y, bool walkable) {
    view->SetPosition(SpotFor(x, y, walkable));
}

bool GWorld::MakeCreatureView(GCreature* creature, int16_t x, int16_t y) {
    GCreatureData* data = creature != nullptr ? creature->GetCreatureData() : nullptr;
    if (data == nullptr || mViewManager == nullptr) return false;
    DropView(creature);
    if (data->maxAnimatorsHeads < 1 || data->maxAnimatorsBodies < 1) {
        data->animatorName = data->baseAnimatorName;
        data->curHeadAnimator = 0;
        data->curAnimator = 0;
    } else if (data->curHeadAnimator < 0) {
        const int head = ReadCounter(mPrefs, "currentHeadCounter", kHeadCounters);
        const int body = ReadCounter(mPrefs, "currentBodyCounter", kBodyCounters);
        mPrefs.SetInt("currentHeadCounter", (head + 1) % kHeadCounters, false);
        mPrefs.SetInt("currentBodyCounter", (body + 1) % kBodyCounters, !mPlay.simulating);
        data->curHeadAnimator =
            static_cast<int16_t>(kVariantSequence[head] % data->maxAnimatorsHeads);
        data->curAnimator = static_cast<int16_t>(kVariantSequence[body] % data->maxAnimatorsBodies);
        data->animatorName = data->baseAnimatorName;
    }
    if (data->curVoice < 0)
        data->curVoice = static_cast<int16_t>(mRandom.NextRange(0, kThirdVariants));

    CameraAtOrigin camera(mViewManager->GetScene());
    GVWorldObject* view = MakeView(creature);
    if (view == nullptr) return false;
    SetUpFigure(view, creature->GetSpeed(), HitRectOf(data->hitRect), data->animSpeedKoef,
                data->curHeadAnimator, data->curAnimator);
    PlaceView(view, x, y, true);
    return true;
}

bool GWorld::MakeMonsterView(GMonster* monster, int16_t x, int16_t y) {
    GMonsterData* data = monster != nullptr ? monster->GetMonsterData() : nullptr;
    if (data == nullptr || mViewManager == nullptr) return false;
    DropView(monster);
    if (data->currentAnimator < 0) {
        data->animatorName = str::Format("hyena_l%d", mGlobalData.GetCurrentLevel() + 1);
        data->currentAnimator = 0;
    }

    CameraAtOrigin camera(mViewManager->GetScene());
    GVWorldObject* view = MakeView(monster);
    if (view == nullptr) return false;
    SetUpFigure(view, data->speed, GVHitRect{}, data->animSpeedKoef, data->currentAnimator,
                data->currentAnimator);
    PlaceView(view, x, y, true);
    return true;
}

bool GWorld::MakeLocationView(GLocation* location, int16_t x, int16_t y) {
    const GLocationData* data = location != nullptr ? location->GetLocationData() : nullptr;
    if (data == nullptr || mViewManager == nullptr) return false;
    DropView(location);
    CameraAtOrigin camera(mViewManager->GetScene());
    GVWorldObject* view = MakeView(location);
    if (view == nullptr) return false;
    PlaceView(view, x, y, false);
    if (GVWorldLocation* place = GLocation::AsLocationView(view))
        place->SetBuildLevel(data->animatorStartLevel);
    location->RefreshStockViews();
    return true;
}
