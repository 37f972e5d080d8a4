// Checks 4 and 11 to 18 on the 77 locations: names that resolve, looks, build and item records,
// transforms and broken partners, event gates, herbs, record order, who may use a place.
#include <algorithm>
#include <map>
#include <set>

#include "lintcontext.h"
#include "simulation/taskkind.h"

namespace datalint {

namespace {

enum ResourceType { kFood = 1, kWater = 2, kBuild = 3, kDevolution = 4, kItem = 5 };
enum Item { kNail = 6, kStone = 9, kStone2 = 10, kWood = 11 };

// The events the records are gated by: wells, metal and pool; channel water; nails; irrigation;
// the flower bud; the ark; stone and wood.
const std::set<int> kRecordEvents = {5, 10, 13, 23, 25, 29, 35};

const std::set<std::string> kHerbs = {"YayaFlower", "Smallberry", "Konut Roots"};
const std::set<std::string> kBreakable = {"Food Bin", "Water Tank", "Hospital"};

// The transforms the progression is built on.
const std::map<std::string, std::string>& FixedTransforms() {
    static const std::map<std::string, std::string> transforms = [] {
        std::map<std::string, std::string> t = {
            {"Pre_foodbin", "Food Bin"},          {"Pre_watertank", "Water Tank"},
            {"Pre_hospital", "Hospital"},         {"Fertilizer", "Pre Konut Bush 2"},
            {"Pre Konut Bush 2", "Konut Bush 2"}, {"PreFlower", "YayaFlower"},
        };
        for (int k = 1; k <= 4; ++k) {
            t["Ark Part Place " + std::to_string(k)] = "Ark Part " + std::to_string(k);
        }
        for (const char* idol : {"Elephant", "Giraffe", "Lion", "Monkey", "Zebra"}) {
            for (int n = 1; n < 4; ++n) {
                t[std::string("Idol ") + idol + " " + std::to_string(n)] =
                    std::string("Idol ") + idol + " " + std::to_string(n + 1);
            }
        }
        return t;
    }();
    return transforms;
}

const GLocationData* Location(const DefinitionFile& d) {
    return d.kind == DefinitionKind::kLocation ? static_cast<const GLocationData*>(d.prototype)
                                               : nullptr;
}

bool HasWork(const GLocationData& location) {
    return std::any_of(location.resources.begin(), location.resources.end(),
                       [](const GResourceRecord& r) { return r.type == kBuild && r.quantity > 0; });
}

std::string RecordLabel(const TXmlNode* child, size_t index) {
    return std::string(child->GetName().c_str()) + " #" + std::to_string(index + 1);
}

void CheckNames(Context& c, const DefinitionFile& d) {
    auto species = [&](const std::string& element, const std::string& name) {
        if (!name.empty() && !IsAnimal(name)) {
            c.Report(d.file, element, "4", "\"" + name + "\" is no species");
        }
    };
    auto item = [&](const std::string& element, const std::string& name) {
        if (!name.empty() && c.names.GetItemKind(name.c_str()) == 0) {
            c.Report(d.file, element, "4", "\"" + name + "\" is no item");
        }
    };
    if (const TXmlNode* resources = Child(d.root, "Resources")) {
        size_t index = 0;
        for (const TXmlNode* child : resources->GetChildren()) {
            const std::string element = RecordLabel(child, index++);
            if (c.names.GetResourceKind(child->GetName()) == 0) {
                c.Report(d.file, element, "4", "no such resource");
            }
            if (Given(child, "Action") && c.names.GetTaskKind(Attr(child, "Action").c_str()) == 0) {
                c.Report(d.file, element, "4", "Action names no task");
            }
            if (Given(child, "ResourceRequired") &&
                c.names.GetResourceKind(Attr(child, "ResourceRequired").c_str()) == 0) {
                c.Report(d.file, element, "4", "ResourceRequired names no resource");
            }
            item(element, Attr(child, "ItemRequired"));
            item(element, Attr(child, "ItemProducted"));
            species(element, Attr(child, "NameRequired"));
        }
    }
    if (const TXmlNode* components = Child(d.root, "Components")) {
        for (const TXmlNode* child : components->GetChildren()) {
            const std::string element = child->GetName().c_str();
            if (c.names.GetPlantKind(child->GetName()) == 0) {
                c.Report(d.file, element, "4", "no such plant");
            }
            item(element, Attr(child, "ItemRequiredToResearch"));
            species(element, Attr(child, "NameRequired"));
        }
    }
    if (const TXmlNode* bonus = Child(d.root, "Bonus")) {
        if (c.names.GetTaskKind(Attr(bonus, "Action").c_str()) == 0) {
            c.Report(d.file, "Bonus", "4", "Action names no task");
        }
    }
    if (const TXmlNode* canUse = Child(d.root, "CanUse")) {
        for (const TXmlNode* child : canUse->GetChildren()) {
            species("CanUse " + std::string(child->GetName().c_str()), child->GetName().c_str());
        }
    }
}

// Check 12: build and item records as the rules read them. Guards building, FinishBuilding and
// item production.
void CheckRecords(Context& c, const DefinitionFile& d, const GLocationData& location) {
    const TXmlNode* resources = Child(d.root, "Resources");
    if (resources == nullptr) return;
    const bool herb = kHerbs.count(d.fullName) != 0;
    size_t index = 0;
    for (const TXmlNode* child : resources->GetChildren()) {
        const int type = c.names.GetResourceKind(child->GetName());
        const std::string element = RecordLabel(child, index++);
        if (type == kBuild) {
            const bool herbRecord = herb && index == 1;
            if (!herbRecord && Attr(child, "Action") != "build") {
                c.Report(d.file, element, "12", "a Build record has Action build");
            }
            if (!Given(child, "AfterBuildQuantity")) {
                c.Report(d.file, element, "12", "AfterBuildQuantity is written on Build records");
            }
            if (!herbRecord && IntAttr(child, "Quantity") <= 0) {
                c.Report(d.file, element, "12", "a Build record has work to do (Quantity > 0)");
            }
        } else if (type == kItem) {
            if (Attr(child, "Action") != "productitem" || !Given(child, "ItemProducted") ||
                IntAttr(child, "SaveItemRequired") != 1 || IntAttr(child, "Quantity") < 1) {
                c.Report(d.file, element, "12",
                         "an Item record has Action productitem, ItemProducted, "
                         "SaveItemRequired 1 and Quantity 1");
            }
        }
    }
    // Check 15: event gates. Guards the global events' gating of production and the stone and
    // wood gate the treasures open.
    for (size_t i = 0; i < location.resources.size(); ++i) {
        const GResourceRecord& record = location.resources[i];
        const std::string element = "record #" + std::to_string(i + 1);
        if (record.requiredEvent < 0 || record.requiredEvent > kHighestEvent ||
            (record.requiredEvent != 0 && kRecordEvents.count(record.requiredEvent) == 0)) {
            c.Report(d.file, element, "15",
                     "EventRequired " + std::to_string(record.requiredEvent) +
                         " is not one of the gates 5, 10, 13, 23, 25, 29, 35");
        }
        const int product = record.productionItem;
        if ((product == kStone || product == kStone2 || product == kWood) &&
            record.requiredEvent != 35) {
            c.Report(d.file, element, "15", "stone and wood production is gated by event 35");
        }
        if (d.fullName == "Tree" &&
            (record.type != kItem || product != kWood || record.requiredName != str("Gorilla"))) {
            c.Report(d.file, element, "15", "the Tree holds only Gorilla wood records");
        }
    }
}

// Checks 13 and 14: transforms and broken partners. Guards the transform after building, the
// hyenas' wrecking and the repair.
void CheckTransforms(Context& c, const DefinitionFile& d, const GLocationData& location) {
    const std::string transform = location.afterBuildTransform.c_str();
    const std::string& name = d.fullName;
    if (!transform.empty()) {
        if (c.names.FindLocationDefinition(location.afterBuildTransform) == nullptr) {
            c.Report(d.file, "AfterBuildTransform", "13",
                     "\"" + transform + "\" names no location");
        }
        if (!HasWork(location)) {
            c.Report(d.file, "AfterBuildTransform", "13",
                     "a transform needs a Build record with work to do");
        }
        std::set<std::string> visited = {name};
        const GLocationData* at = c.names.FindLocationDefinition(location.afterBuildTransform);
        while (at != nullptr && at->afterBuildTransform.Length() != 0) {
            if (!visited.insert(at->fullName.c_str()).second) {
                c.Report(d.file, "AfterBuildTransform", "13", "the transforms go round");
                break;
            }
            at = c.names.FindLocationDefinition(at->afterBuildTransform);
        }
    }
    const auto fixed = FixedTransforms().find(name);
    if (fixed != FixedTransforms().end() && transform != fixed->second) {
        c.Report(d.file, "AfterBuildTransform", "13", "must lead to \"" + fixed->second + "\"");
    }
    if (name.rfind("Idol ", 0) == 0 && name.back() == '4' &&
        (std::any_of(location.resources.begin(), location.resources.end(),
                     [](const GResourceRecord& r) { return r.type == kBuild; }) ||
         !transform.empty())) {
        c.Report(d.file, "Resources", "13", "the last idol stage has no work and no transform");
    }

    const std::string suffix = " Broken";
    const bool broken = name.size() > suffix.size() &&
                        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
    if (broken) {
        const std::string base = name.substr(0, name.size() - suffix.size());
        const GLocationData* original = c.names.FindLocationDefinition(base.c_str());
        if (kBreakable.count(base) == 0 || original == nullptr) {
            c.Report(d.file, "Location", "14", "only Food Bin, Water Tank and Hospital break");
            return;
        }
        if (!HasWork(location) || transform != base) {
            c.Report(d.file, "Resources", "14", "a broken place has repair work and turns back");
        }
        auto stock = [](const GLocationData& l) {
            std::multiset<std::pair<int, int>> s;
            for (const GResourceRecord& r : l.resources) {
                if (r.type == kFood || r.type == kWater) s.insert({r.type, r.maxQuantity});
            }
            return s;
        };
        if (stock(location) != stock(*original)) {
            c.Report(d.file, "Resources", "14", "the stock records differ from " + base + "'s");
        }
    } else if (kBreakable.count(name) != 0 &&
               c.names.FindLocationDefinition((name + suffix).c_str()) == nullptr) {
        c.Report(d.file, "Location", "14", "no \"" + name + suffix + "\" partner");
    }
}

// Checks 16 and 17: herb records and record order. Guards herb collection and research, and the
// first-matching-record rule of a creature reacting to a place.
void CheckOrder(Context& c, const DefinitionFile& d, const GLocationData& location) {
    const auto& records = location.resources;
    const std::string& name = d.fullName;
    if (kHerbs.count(name) != 0) {
        if (location.components.size() != 1) {
            c.Report(d.file, "Components", "16", "a herb has exactly one component");
        } else if (records.empty() || records[0].type != location.components[0].type ||
                   records[0].quantity != 0 || records[0].maxQuantity != 0 ||
                   records[0].afterBuildQuantity != 0) {
            c.Report(d.file, "Resources", "16",
                     "the first record is the herb-type record: the plant's kind, all 0");
        }
    }
    auto firstIs = [&](auto test, const char* what) {
        if (records.empty() || !test(records[0])) c.Report(d.file, "Resources", "17", what);
    };
    if (name == "Food Bin") {
        firstIs([](const GResourceRecord& r) { return r.type == kFood; }, "stock record first");
    } else if (name == "Water Tank") {
        firstIs([](const GResourceRecord& r) { return r.type == kWater; }, "stock record first");
    } else if (name == "Metal Pile") {
        firstIs(
            [](const GResourceRecord& r) {
                return r.type == kItem && r.productionItem == kNail && r.requiredEvent == 13;
            },
            "the Nail record gated by event 13 comes first");
    } else if (name == "Konut Bush" || name.rfind("Well_", 0) == 0) {
        firstIs([](const GResourceRecord& r) { return r.type == kBuild; },
                "the Build record comes first");
    } else if (name == "Konut Bush 2") {
        size_t item = records.size(), food = records.size();
        for (size_t i = records.size(); i-- > 0;) {
            if (records[i].type == kItem) item = i;
            if (records[i].type == kFood) food = i;
        }
        if (!(item < food)) {
            c.Report(d.file, "Resources", "17", "the Item record comes before the Food record");
        }
    }
}

// Check 18: who may use a place. Guards the drop and hover rules and the field feeding.
void CheckCanUse(Context& c, const DefinitionFile& d, const GLocationData& location) {
    const std::string& name = d.fullName;
    const bool worked = std::any_of(location.resources.begin(), location.resources.end(),
                                    [](const GResourceRecord& r) {
                                        return r.action != 0 || r.type == kDevolution;
                                    }) ||
                        !location.components.empty() || name.rfind("Bonus", 0) == 0 ||
                        name.rfind("Treasure", 0) == 0 || name.rfind("Ark Part", 0) == 0;
    if (worked && location.canUse.empty()) {
        c.Report(d.file, "CanUse", "18", "a place creatures work at lists who may use it");
    }
    const bool field = name.find("Konut Bush") != std::string::npos &&
                       std::any_of(location.resources.begin(), location.resources.end(),
                                   [](const GResourceRecord& r) { return r.type == kFood; });
    if (field && location.canUse.count("Puff") == 0) {
        c.Report(d.file, "CanUse", "18", "a food field admits Puff");
    }
    for (const auto& [species, level] : location.canUse) {
        if (level < 1 || level > 4) {
            c.Report(d.file, "CanUse " + std::string(species.c_str()), "18", "Level is 1 to 4");
        }
    }
}

}  // namespace

void CheckLocations(Context& c) {
    for (const DefinitionFile& d : c.definitions) {
        if (d.kind != DefinitionKind::kLocation || d.root == nullptr) continue;
        CheckNames(c, d);
        const GLocationData* location = Location(d);
        if (location == nullptr) continue;
        // Check 11: the binder compares Name, the rest of the program FullName.
        if (location->name != location->fullName) {
            c.Report(d.file, "Location", "11", "Name and FullName must be equal");
        }
        if (location->animatorName.Length() == 0) {
            c.Report(d.file, "Animator", "11", "the Animator has no Name");
        }
        CheckRecords(c, d, *location);
        CheckTransforms(c, d, *location);
        CheckOrder(c, d, *location);
        CheckCanUse(c, d, *location);
    }
}

}  // namespace datalint
