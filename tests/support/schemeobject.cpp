#include "support/schemeobject.h"

#include "gv/gvobject.h"
#include "simulation/data/objectdata.h"
#include "simulation/views/worldobject.h"

namespace testing_support {
namespace {

class SchemeData : public GObjectData {};

}  // namespace

SchemeObject::SchemeObject(const char* fullName) : GObject(kCreature) {
    auto data = std::make_unique<SchemeData>();
    data->fullName = fullName;
    SetData(std::move(data));
}

SchemeObject::~SchemeObject() = default;

void SchemeObject::PlaceAt(float x, float y) {
    mOwnView = std::make_unique<GVWorldObject>(nullptr, new GVObject(), nullptr);
    mOwnView->SetPosition(x, y);
    SetView(mOwnView.get());
}

}  // namespace testing_support
