#include "simulation/worldfacts.h"

#include "simulation/creature.h"
#include "simulation/location.h"

namespace {

GCreature* AsCreature(GObject* object) {
    return object != nullptr && object->GetKind() == GObject::kCreature
               ? static_cast<GCreature*>(object)
               : nullptr;
}

GLocation* AsLocation(GObject* object) {
    return object != nullptr && object->GetKind() == GObject::kLocation
               ? static_cast<GLocation*>(object)
               : nullptr;
}

}  // namespace

str GWorldFacts::GetNickName(GObject* creature) {
    const GCreature* c = AsCreature(creature);
    return c != nullptr ? c->GetNickName() : str();
}

int GWorldFacts::GetLevel(GObject* creature) {
    const GCreature* c = AsCreature(creature);
    return c != nullptr ? c->GetLevel() : 0;
}

int GWorldFacts::GetItem(GObject* creature) {
    const GCreature* c = AsCreature(creature);
    return c != nullptr ? c->GetItemType() : 0;
}

float GWorldFacts::GetAge(GObject* creature) {
    const GCreature* c = AsCreature(creature);
    return c != nullptr ? c->GetAge() : 0.0f;
}

bool GWorldFacts::IsIll(GObject* creature) {
    const GCreature* c = AsCreature(creature);
    return c != nullptr && c->IsIll();
}

int GWorldFacts::GetResourceQuantity(GObject* location, int type) {
    const GLocation* l = AsLocation(location);
    return l != nullptr ? l->GetResourceQuantity(type) : 0;
}

int GWorldFacts::GetMaxQuantity(GObject* location, int type) {
    const GLocation* l = AsLocation(location);
    return l != nullptr ? l->GetMaxQuantity(type) : 0;
}

str GWorldFacts::GetDisplayName(GObject* object) {
    const GObjectData* data = object != nullptr ? object->GetData() : nullptr;
    return data != nullptr ? data->name : str();
}
