// A world object for the sound scheme's tests, fuzz target and stress test: a creature that is
// only a full name (the scheme's type name) and, when placed, a view of its own at a point, where
// the scheme hears it. Main thread only.
#pragma once

#include <memory>

#include "simulation/object.h"

class GVWorldObject;

namespace testing_support {

class SchemeObject : public GObject {
public:
    explicit SchemeObject(const char* fullName);
    ~SchemeObject() override;
    SchemeObject(const SchemeObject&) = delete;
    SchemeObject& operator=(const SchemeObject&) = delete;

    // Gives the object a view of its own at that point.
    void PlaceAt(float x, float y);

    void OnTaskCancelled(GTaskData*) override {}
    void OnTaskCompleted(GTaskData*) override {}
    void OnTaskProgress(GTaskData*, float) override {}
    void OnVisualEvent(GVWorldObject*, const GNameMask*) override {}

private:
    std::unique_ptr<GVWorldObject> mOwnView;
};

}  // namespace testing_support
