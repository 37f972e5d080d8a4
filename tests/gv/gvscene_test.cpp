// The scene's members and depth order.
#include "gv/gvscene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "gv/gvobject.h"

namespace {

std::unique_ptr<GVObject> AtDepth(float depth) {
    auto object = std::make_unique<GVObject>();
    object->GetComposed().deltaZ = depth;
    return object;
}

TEST(SceneTest, EqualDepthsKeepTheirJoiningOrder) {
    GVScene scene;
    auto a = AtDepth(1), b = AtDepth(0), c = AtDepth(1), d = AtDepth(1), e = AtDepth(-2);
    for (GVObject* object : {a.get(), b.get(), c.get(), d.get(), e.get()})
        object->AttachToScene(&scene, false);
    a->AttachToScene(&scene, false);  // once only
    EXPECT_EQ(scene.GetObjectCount(), 5u);
    EXPECT_EQ(scene.GetDepthOrder(),
              (std::vector<GVObject*>{e.get(), b.get(), a.get(), c.get(), d.get()}));
    EXPECT_EQ(a->GetSceneCount(), 1u);
    EXPECT_EQ(a->GetScene(0), &scene);
    EXPECT_EQ(a->GetScene(1), nullptr);
}

TEST(SceneTest, ReinsertPutsAnObjectAfterEveryObjectAtItsNewDepth) {
    GVScene scene;
    auto a = AtDepth(0), b = AtDepth(5), c = AtDepth(5), d = AtDepth(0);
    for (GVObject* object : {a.get(), b.get(), c.get(), d.get()})
        object->AttachToScene(&scene, false);
    // a's depth changes; its entry is still under the old one until the update re-sorts it.
    a->GetComposed().deltaZ = 5;
    scene.Reinsert(a.get(), 0);
    EXPECT_EQ(scene.GetDepthOrder(), (std::vector<GVObject*>{d.get(), b.get(), c.get(), a.get()}));
    // Removal finds the entry under the depth it now has.
    EXPECT_EQ(scene.RemoveObject(a.get()), 1u);
    EXPECT_EQ(scene.RemoveObject(a.get()), 0u);
    EXPECT_EQ(scene.GetDepthOrder(), (std::vector<GVObject*>{d.get(), b.get(), c.get()}));
}

TEST(SceneTest, AnEntryIsFoundWhateverDepthItWasFiledUnder) {
    GVScene scene;
    auto a = AtDepth(1), b = AtDepth(NAN), c = AtDepth(2);
    for (GVObject* object : {a.get(), b.get(), c.get()})
        object->AttachToScene(&scene, false);
    EXPECT_EQ(scene.GetDepthOrder(), (std::vector<GVObject*>{b.get(), a.get(), c.get()}));
    // Changed without a re-sort: removal still finds the entry.
    a->GetComposed().deltaZ = 7;
    a->DetachFromScene(&scene, false);
    b->DetachFromScene(&scene, false);
    EXPECT_EQ(scene.GetDepthOrder(), (std::vector<GVObject*>{c.get()}));
    EXPECT_EQ(a->GetSceneCount(), 0u);
}

TEST(SceneTest, ObjectsAndScenesLeaveEachOtherWhicheverGoesFirst) {
    auto kept = AtDepth(0);
    {
        GVScene first, second;
        kept->AttachToScene(&first, false);
        kept->AttachToScene(&second, false);
        {
            auto gone = AtDepth(0);
            gone->AttachToScene(&first, false);
        }
        EXPECT_EQ(first.GetObjectCount(), 1u);
        EXPECT_EQ(first.GetDepthOrder(), (std::vector<GVObject*>{kept.get()}));
        EXPECT_EQ(kept->GetSceneCount(), 2u);
    }
    EXPECT_EQ(kept->GetSceneCount(), 0u);
    kept->DetachFromScene(nullptr, false);
    kept->AttachToScene(nullptr, false);
    EXPECT_EQ(kept->GetSceneCount(), 0u);
}

}  // namespace
