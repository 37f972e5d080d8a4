#include "simulation/location.h"

#include <cstdint>
#include <utility>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/data/saturate.h"
#include "simulation/data/savedvalues.h"
#include "simulation/views/worldlocation.h"

namespace {

constexpr int kBuildWork = 3;
constexpr int kHammer = 3;
constexpr int kNail = 6;

}  // namespace

GLocation::GLocation() : GObject(kLocation) {}

GLocation::~GLocation() = default;

void GLocation::OnTaskCancelled(GTaskData*) {
    SetTask(nullptr);
}

void GLocation::OnTaskCompleted(GTaskData*) {
    SetTask(nullptr);
}

void GLocation::OnTaskProgress(GTaskData*, float) {}

void GLocation::OnVisualEvent(GVWorldObject*, const GNameMask*) {}

void GLocation::SetData(std::unique_ptr<GObjectData> data) {
    if (data != nullptr && dynamic_cast<GLocationData*>(data.get()) == nullptr) {
        LogPrintf("GLocation::SetData: not a location block");
        return;
    }
    GObject::SetData(std::move(data));
}

void GLocation::Load(TXmlNode* node, LoadIdRegistry& ids) {
    SetData(std::make_unique<GLocationData>());
    GObject::Load(node, ids);
}

void GLocation::Save(TXmlNode* node, SaveIdRegistry& ids) const {
    GObject::Save(node, ids);
    if (const GVWorldLocation* view = AsLocationView(GetView())) {
        node->SetAttribute("UpgradeLevel", str::Format("%f", view->GetBuildLevel()));
    }
}

GVWorldLocation* GLocation::AsLocationView(GVWorldObject* view) {
    if (view == nullptr || !view->IsKindOf(GVViewClass::kLocation)) return nullptr;
    return static_cast<GVWorldLocation*>(view);
}

GResourceRecord* GLocation::FirstRecord(int type) const {
    GLocationData* data = GetLocationData();
    if (data == nullptr) return nullptr;
    for (GResourceRecord& record : data->resources) {
        if (record.type == type) return &record;
    }
    return nullptr;
}

void GLocation::ShowStock(const GResourceRecord& record) const {
    if (GVWorldLocation* view = AsLocationView(GetView())) {
        view->ShowStock(static_cast<float>(record.quantity),
                        static_cast<float>(record.maxQuantity));
    }
}

int GLocation::GetResourceQuantity(int type) const {
    const GLocationData* data = GetLocationData();
    if (data == nullptr) return 0;
    int64_t sum = 0;
    for (const GResourceRecord& record : data->resources) {
        if (record.type == type) sum += record.quantity;
    }
    return SaturateToInt(sum);
}

int GLocation::GetMaxQuantity(int type) const {
    const GLocationData* data = GetLocationData();
    if (data == nullptr) return 0;
    int64_t sum = 0;
    for (const GResourceRecord& record : data->resources) {
        if (record.type == type) sum += record.maxQuantity;
    }
    return SaturateToInt(sum);
}

bool GLocation::HasResourceType(int type) const {
    return FirstRecord(type) != nullptr;
}

int GLocation::GetRequiredEvent(int type) const {
    const GResourceRecord* record = FirstRecord(type);
    return record != nullptr ? record->requiredEvent : 0;
}

void GLocation::SetQuantity(int type, int quantity) {
    GResourceRecord* record = FirstRecord(type);
    if (record == nullptr) return;
    record->quantity = quantity;
    ShowStock(*record);
}

void GLocation::SetCapacity(int type, int maxQuantity, int addition) {
    GResourceRecord* record = FirstRecord(type);
    if (record == nullptr) return;
    record->maxQuantity = maxQuantity;
    if (record->quantity > maxQuantity) record->quantity = maxQuantity;
    if (addition >= 0) record->addition = addition;
    ShowStock(*record);
}

void GLocation::Grow(float factor) {
    GLocationData* data = GetLocationData();
    if (data == nullptr) return;
    for (GResourceRecord& record : data->resources) {
        int quantity = TruncateToInt(static_cast<double>(record.addition) * factor +
                                     static_cast<double>(record.quantity));
        if (quantity > record.maxQuantity) quantity = record.maxQuantity;
        if (quantity < 0) quantity = 0;
        record.quantity = quantity;
    }
    RefreshStockViews();
}

void GLocation::FinishBuilding() {
    GLocationData* data = GetLocationData();
    if (data == nullptr) return;
    for (GResourceRecord& record : data->resources) {
        if (record.maxQuantity == 0) record.quantity = record.afterBuildQuantity;
        record.maxQuantity = record.afterBuildQuantity;
        ShowStock(record);
    }
}

void GLocation::RefreshStockViews() const {
    const GLocationData* data = GetLocationData();
    if (data == nullptr) return;
    for (const GResourceRecord& record : data->resources)
        ShowStock(record);
}

bool GLocation::HasWorkFor(int item) const {
    const GLocationData* data = GetLocationData();
    if (data == nullptr) return false;
    for (const GResourceRecord& record : data->resources) {
        if (record.type != kBuildWork || record.quantity < 1) continue;
        if (record.requiredItem == item || (record.requiredItem == kHammer && item == kNail)) {
            return true;
        }
    }
    return false;
}

bool GLocation::IsBuilt() const {
    if (GetResourceQuantity(kBuildWork) < 1) return true;
    const GLocationData* data = GetLocationData();
    return data != nullptr && data->fullName.Find(" Broken", 0, 1) != str::npos;
}

bool GLocation::CanUse(const str& name, int level) const {
    const GLocationData* data = GetLocationData();
    if (data == nullptr) return false;
    const auto found = data->canUse.find(name);
    return found != data->canUse.end() && level >= found->second;
}

void GLocation::ReplaceData(const GLocationData& prototype) {
    // Taken out first and freed last: the prototype may be the old block itself.
    std::unique_ptr<GObjectData> old = TakeData();
    SetData(std::make_unique<GLocationData>(prototype));
}
